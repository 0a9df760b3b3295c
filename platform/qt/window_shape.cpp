#include "platform/qt/window_shape.h"

#include <algorithm>
#include <memory>
#include <string>

#include <QEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QObject>
#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <QWindow>

#include "platform/core/number.h"
#include "platform/ui/prop.h"
#include "platform/ui/structure.h"

namespace platform::qt {
namespace {

constexpr char kDrawnFrameName[] = "pex_drawn_frame";

std::string PropertyOf(const ui::WindowView& view, ui::Prop p) {
  const auto it = view.properties.find({static_cast<int32_t>(p), 0});
  return it != view.properties.end() ? it->second : std::string();
}

// Paints the caption and frame of a frameless window under its contents, and moves the
// window when the caption is dragged.
class DrawnFrame final : public QObject {
 public:
  DrawnFrame(QWidget& top, int32_t frame_px, int32_t caption_px)
      : QObject(&top), top_(top), frame_px_(frame_px), caption_px_(caption_px) {
    setObjectName(QLatin1String(kDrawnFrameName));
    top.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &top_) return false;
    if (event->type() == QEvent::Paint) Paint();
    if (event->type() == QEvent::MouseButtonPress) {
      auto* press = static_cast<QMouseEvent*>(event);
      const bool on_caption = press->position().y() < frame_px_ + caption_px_;
      if (press->button() == Qt::LeftButton && on_caption && top_.windowHandle() != nullptr) {
        top_.windowHandle()->startSystemMove();
        return true;
      }
    }
    return false;
  }

 private:
  void Paint() {
    // The paint event of the window itself: its children paint over this afterwards.
    QPainter p(&top_);
    const QPalette& pal = top_.palette();
    const QRect all = top_.rect();
    p.fillRect(all, pal.color(QPalette::Window).darker(130));
    p.fillRect(all.adjusted(1, 1, -1, -1), pal.color(QPalette::Window));
    const QRect caption(frame_px_, frame_px_, all.width() - 2 * frame_px_, caption_px_);
    const bool active = top_.isActiveWindow();
    p.fillRect(caption, active ? pal.color(QPalette::Highlight) : pal.color(QPalette::Mid));
    p.setPen(active ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::WindowText));
    p.drawText(caption.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, top_.windowTitle());
  }

  QWidget& top_;
  const int32_t frame_px_;
  const int32_t caption_px_;
};

// Changes the window's flags; Qt hides a window whose flags change, so one that was shown is
// shown again.
void SetFlag(QWidget& top, Qt::WindowType flag, bool on) {
  if (top.windowFlags().testFlag(flag) == on) return;
  const bool shown = top.isVisible();
  top.setWindowFlag(flag, on);
  if (shown) top.show();
}

}  // namespace

bool DrawsOwnFrame(const QWidget& top) {
  return top.findChild<DrawnFrame*>(QLatin1String(kDrawnFrameName), Qt::FindDirectChildrenOnly) !=
         nullptr;
}

void ApplyWindowLook(QWidget& top, const ui::WindowView& view, int32_t frame_px,
                     int32_t caption_px) {
  if (!top.isWindow()) return;
  const std::string opacity = PropertyOf(view, ui::Prop::Opacity);
  const double level = opacity.empty() ? 255.0 : std::clamp(TextToNumber(opacity), 0.0, 255.0);
  if (level / 255.0 != top.windowOpacity()) top.setWindowOpacity(level / 255.0);

  SetFlag(top, Qt::WindowStaysOnTopHint, !PropertyOf(view, ui::Prop::TopMost).empty());

  // A tool window has neither caption nor frame of the system's to draw in their place.
  const bool tool = view.structure != nullptr && (view.structure->attrs & ui::kAttrToolBox) != 0;
  const bool shaped = view.shape != nullptr && !tool;
  if (shaped == DrawsOwnFrame(top)) return;
  const QSize contents = top.layout() != nullptr ? top.layout()->contentsRect().size() : QSize();
  if (shaped) {
    // The window owns its drawn frame as its Qt child from here on.
    std::make_unique<DrawnFrame>(top, frame_px, caption_px).release();
    if (top.layout() != nullptr) {
      top.layout()->setContentsMargins(frame_px, frame_px + caption_px, frame_px, frame_px);
    }
  } else {
    // Taken back from the window and freed; the frame leaves its parent as it goes.
    std::unique_ptr<DrawnFrame>(
        top.findChild<DrawnFrame*>(QLatin1String(kDrawnFrameName), Qt::FindDirectChildrenOnly));
    if (top.layout() != nullptr) top.layout()->setContentsMargins(0, 0, 0, 0);
  }
  SetFlag(top, Qt::FramelessWindowHint, shaped);
  // The contents keep their size: the window grows or shrinks by the caption and frame.
  if (top.layout() != nullptr && contents.isValid()) {
    const QMargins m = top.layout()->contentsMargins();
    top.resize(contents.grownBy(m));
  }
  top.update();
}

}  // namespace platform::qt
