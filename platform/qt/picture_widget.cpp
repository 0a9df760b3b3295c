#include "platform/qt/picture_widget.h"

#include <cstdint>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "platform/core/message.h"
#include "platform/image/picture_name.h"
#include "platform/qt/metafile_painter.h"
#include "platform/qt/picture_image.h"

namespace platform::qt {
namespace {

constexpr char kCursorProperty[] = "pexCursor";
constexpr char kWallpaperName[] = "pexWallpaper";

}  // namespace

namespace {

// The side of the system's message icons, in pixels.
constexpr int kStandardIconSide = 32;

std::optional<QStyle::StandardPixmap> StandardIconOf(std::string_view name) {
  if (name == kIconExclamation) return QStyle::SP_MessageBoxWarning;
  if (name == kIconQuestion) return QStyle::SP_MessageBoxQuestion;
  if (name == kIconAsterisk) return QStyle::SP_MessageBoxInformation;
  if (name == kIconHand) return QStyle::SP_MessageBoxCritical;
  return std::nullopt;
}

}  // namespace

void ShownPicture::SetName(std::string_view name) {
  if (name == name_) return;
  name_ = std::string(name);
  image_ = QImage();
  meta_.reset();
  drawn_ = QImage();
  // The system's message icons by the names the program gives them.
  if (const std::optional<QStyle::StandardPixmap> standard = StandardIconOf(name)) {
    image_ = QApplication::style()->standardIcon(*standard).pixmap(kStandardIconSide).toImage();
    return;
  }
  const std::optional<std::string> path = image::ResolvePictureName(name);
  if (!path) return;
  const std::optional<std::vector<std::uint8_t>> bytes = image::ReadPictureFile(*path);
  if (!bytes) return;
  if (image::SniffFormat(*bytes) == image::Format::kWmf) {
    meta_ = image::ReadMetafile(*bytes);
    return;
  }
  if (const std::optional<image::Picture> picture = image::DecodePicture(*bytes)) {
    image_ = ImageFromPicture(*picture);
  }
}

const QImage& ShownPicture::AtSize(QSize size) {
  if (!meta_) return image_;
  if (drawn_.size() != size) drawn_ = DrawMetafile(*meta_, size);
  return drawn_;
}

void ShownPicture::Paint(QPainter& painter, const QRect& place, ui::PictureMode mode) {
  if (empty() || place.isEmpty()) return;
  const QSize natural = meta_ ? QSize(meta_->size.width, meta_->size.height) : image_.size();
  if (natural.isEmpty()) return;
  switch (mode) {
    case ui::PictureMode::kStretched: {
      const QImage& shown = AtSize(place.size());
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(place, shown);
      break;
    }
    case ui::PictureMode::kCentered: {
      const QImage& shown = AtSize(natural);
      const QPoint at(place.x() + (place.width() - natural.width()) / 2,
                      place.y() + (place.height() - natural.height()) / 2);
      painter.save();
      painter.setClipRect(place, Qt::IntersectClip);
      painter.drawImage(at, shown);
      painter.restore();
      break;
    }
    case ui::PictureMode::kTiled: {
      const QImage& shown = AtSize(natural);
      painter.drawTiledPixmap(place, QPixmap::fromImage(shown));
      break;
    }
  }
}

QImage ShownPicture::Render(QSize size, ui::PictureMode mode, const QColor& ground) {
  QImage out(size, QImage::Format_ARGB32_Premultiplied);
  if (out.isNull()) return out;
  out.fill(ground);
  QPainter painter(&out);
  Paint(painter, QRect(QPoint(0, 0), size), mode);
  return out;
}

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
  // Drawn on the window's surface: the mouse reaches what lies beneath (a region, a button).
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PictureWidget::SetPicture(std::string_view name, ui::PictureMode mode) {
  if (name == picture_.name() && mode == mode_) return;
  picture_.SetName(name);
  mode_ = mode;
  update();
}

void PictureWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  picture_.Paint(painter, rect(), mode_);
}

namespace {

// Paints a widget's wallpaper before the widget paints itself; for an MDI area, keeps its
// background brush the wallpaper at the area's size.
class Wallpaper final : public QObject {
 public:
  explicit Wallpaper(QWidget& widget) : QObject(&widget), widget_(widget) {
    setObjectName(kWallpaperName);
    if (auto* area = qobject_cast<QMdiArea*>(&widget)) {
      area_ = area;
      ground_ = area->background();
    }
    widget.installEventFilter(this);
  }
  void Set(std::string_view name, ui::PictureMode mode) {
    if (name == picture_.name() && mode == mode_) return;
    picture_.SetName(name);
    mode_ = mode;
    Refresh();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched != &widget_) return false;
    if (e->type() == QEvent::Resize && area_ != nullptr) Refresh();
    if (e->type() == QEvent::Paint && area_ == nullptr && !picture_.empty()) {
      QPainter painter(&widget_);
      picture_.Paint(painter, widget_.rect(), mode_);
    }
    return false;  // the widget paints itself above it
  }

 private:
  void Refresh() {
    if (area_ == nullptr) {
      widget_.update();
      return;
    }
    if (picture_.empty()) {
      area_->setBackground(ground_);
      return;
    }
    const QSize size = area_->viewport()->size();
    if (!size.isEmpty())
      area_->setBackground(QBrush(picture_.Render(size, mode_, ground_.color())));
  }

  QWidget& widget_;
  QMdiArea* area_ = nullptr;
  QBrush ground_;
  ShownPicture picture_;
  ui::PictureMode mode_ = ui::PictureMode::kStretched;
};

}  // namespace

void SetWallpaper(QWidget& widget, std::string_view name, ui::PictureMode mode) {
  // Found by name: without a meta-object of its own, a search by type would take any child.
  auto* wallpaper = static_cast<Wallpaper*>(
      widget.findChild<QObject*>(kWallpaperName, Qt::FindDirectChildrenOnly));
  if (wallpaper == nullptr) {
    if (name.empty()) return;
    wallpaper = new Wallpaper(widget);  // owned by `widget`, its Qt parent
  }
  wallpaper->Set(name, mode);
}

std::optional<QCursor> LoadPictureCursor(std::string_view name) {
  const std::optional<image::Picture> picture = image::LoadNamedPicture(name);
  if (!picture) return std::nullopt;
  const QImage image = ImageFromPicture(*picture);
  if (image.isNull()) return std::nullopt;
  const image::HotSpot hot =
      picture->hot_spot.value_or(image::HotSpot{picture->width / 2, picture->height / 2});
  return QCursor(QPixmap::fromImage(image), hot.x, hot.y);
}

void SetPictureCursor(QWidget& widget, std::string_view name) {
  // Read again only for another name: a control's properties come again with every change.
  const QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  const QVariant before = widget.property(kCursorProperty);
  if (before.isValid() && before.toString() == key) return;
  widget.setProperty(kCursorProperty, key);
  if (const std::optional<QCursor> cursor = name.empty() ? std::nullopt : LoadPictureCursor(name)) {
    widget.setCursor(*cursor);
  } else {
    widget.unsetCursor();
  }
}

}  // namespace platform::qt
