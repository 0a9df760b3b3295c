// Pictures shown in a place: an image control's picture, a window's or a control's wallpaper.
// The picture is read once per name by the program's readers (picture_image.h) and painted by
// our own code stretched, centred or tiled (platform/ui/picture_mode.h); a metafile is drawn
// at the size it fills. A picture that cannot be read shows nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QCursor>
#include <QImage>
#include <QWidget>

#include "platform/image/metafile.h"
#include "platform/ui/picture_mode.h"

class QPainter;

namespace platform::qt {

// A picture as read for showing, with what painting it needs.
class ShownPicture {
 public:
  // Reads `name` unless it is the name shown already; an empty name shows nothing.
  void SetName(std::string_view name);
  const std::string& name() const { return name_; }
  bool empty() const { return image_.isNull() && !meta_; }
  // Paints the picture into `place` in `mode`; nothing for an empty picture.
  void Paint(QPainter& painter, const QRect& place, ui::PictureMode mode);
  // The picture painted on `ground` of `size` in `mode`.
  QImage Render(QSize size, ui::PictureMode mode, const QColor& ground);

 private:
  // The picture at `size`: a metafile drawn at that size, kept until another size is asked.
  const QImage& AtSize(QSize size);

  std::string name_;
  QImage image_;  // at the natural size
  std::optional<image::Metafile> meta_;
  QImage drawn_;  // the metafile at the size last asked
};

// An image control: its picture in its mode within its rectangle.
class PictureWidget final : public QWidget {
 public:
  explicit PictureWidget(QWidget* parent);
  void SetPicture(std::string_view name, ui::PictureMode mode);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  ShownPicture picture_;
  ui::PictureMode mode_ = ui::PictureMode::kStretched;
};

// Gives `widget` the wallpaper `name` in `mode`, painted beneath what the widget paints
// itself; an empty name takes it away. An MDI area shows it as its background.
void SetWallpaper(QWidget& widget, std::string_view name, ui::PictureMode mode);

// The cursor `name` stands for: a ".cur" file or one of the program's own cursors with its
// hot spot, any other picture with its middle as the hot spot; nullopt when it cannot be read.
std::optional<QCursor> LoadPictureCursor(std::string_view name);

// Gives `widget` the cursor `name`, or its ordinary one for an empty or unreadable name.
void SetPictureCursor(QWidget& widget, std::string_view name);

}  // namespace platform::qt
