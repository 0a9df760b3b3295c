// Where a window's mirror stands on the screen: the frame growing to show its children,
// the program's position, size, maximized state and outline applied to the widgets, and the
// user's moves and sizes posted back to the model.
#include <algorithm>
#include <cstdlib>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegion>
#include <QScreen>

#include "platform/qt/qt_backend.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"
#include "platform/qt/window_shape.h"
#include "platform/region/region.h"

namespace platform::qt {

using ui::Input;
using ui::Prop;

// A child larger than the frame's area would open cut off behind the frame's edges; the frame
// grows to show it whole, as far as the screen allows. The frame's size in the model stays as
// declared: this is only how the display makes room.
void WindowMirror::GrowFrameToShow(QWidget* main, QMdiArea* area, QWidget* child) {
  if (main == nullptr || area == nullptr || child == nullptr) return;
  // The area may have pushed the child past its top-left edge to fit it; place it back.
  if (child->x() < 0 || child->y() < 0)
    child->move(std::max(0, child->x()), std::max(0, child->y()));
  const QSize missing(std::max(0, child->x() + child->width() - area->width()),
                      std::max(0, child->y() + child->height() - area->height()));
  if (missing.width() == 0 && missing.height() == 0) return;
  main->resize(WithinScreen(*main, (main->size() + missing).expandedTo(main->size())));
}

// `size` cut to the screen's available area less the window's own frame: a frame never
// grows past the screen, whatever asks it to.
QSize WindowMirror::WithinScreen(const QWidget& window, QSize size) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return size;
  const QSize decoration = window.frameGeometry().size() - window.size();
  return size.boundedTo(screen->availableGeometry().size() - decoration);
}

QRect WindowMirror::PixelRect(const ui::RectDu& du) const {
  const ui::RectDu px = ui::PixelsFromDialogUnits(du, backend_.Metrics());
  return QRect(px.x, px.y, px.width, px.height);
}

// The model keeps the size a maximized window is restored to; the display shows it maximized
// and reports the maximized size back.
void WindowMirror::ApplyMaximized() {
  if (!top_) return;
  const bool maximized = Flag(view_.properties, Prop::Maximize);
  if (maximized == top_->isMaximized()) return;
  if (maximized) {
    top_->showMaximized();
  } else {
    top_->showNormal();
  }
}

// Hide hides the window and shows it again; shown again, an iconized window is restored.
void WindowMirror::ApplyHidden() {
  if (!top_ || hidden_by_shape_ || view_.shown_nowhere()) return;
  if (view_.hidden) {
    top_->hide();
    return;
  }
  if (!top_->isHidden()) return;
  if (!Flag(view_.properties, Prop::Iconize)) {
    top_->setWindowState(top_->windowState() & ~Qt::WindowMinimized);
  }
  top_->show();
}

// A position or size the program set while the window is open. Sizes the user made come
// back through the model in whole dialog units, so a difference smaller than one unit is
// rounding and leaves the window as the user left it.
void WindowMirror::ApplyGeometry(const ui::RectDu& before) {
  if (!top_ || !client_ || top_->isMaximized()) return;
  if (tool_window()) return ApplyToolGeometry(before);
  const ui::RectDu& at = view_.at;
  if (at.x == before.x && at.y == before.y && at.width == before.width &&
      at.height == before.height) {
    return;
  }
  const ui::TextMetrics m = backend_.Metrics();
  const int unit_x = std::max(1, m.average_char_width_px / 4);
  const int unit_y = std::max(1, m.char_height_px / 8);
  const QRect px = PixelRect(at);
  const QSize wanted(std::max(px.width(), 40), std::max(px.height(), 20));
  QWidget* sized = view_.kind == ui::WindowKind::kFrame ? top_.data() : client_.data();
  if (std::abs(sized->width() - wanted.width()) >= unit_x ||
      std::abs(sized->height() - wanted.height()) >= unit_y) {
    if (view_.kind == ui::WindowKind::kFrame) {
      top_->resize(WithinScreen(*top_, wanted));
    } else {
      client_->setMinimumSize(wanted);
      client_->resize(wanted);
      if (QWidget* container = client_->parentWidget()) container->adjustSize();
      if (auto* sub = qobject_cast<QMdiSubWindow*>(top_.data())) {
        sub->resize(client_->parentWidget()->size().grownBy(sub->contentsMargins()));
      } else {
        top_->adjustSize();
      }
    }
  }
  if ((at.x != before.x || at.y != before.y) &&
      ((top_->pos() - px.topLeft()).manhattanLength() >= unit_x)) {
    top_->move(px.topLeft());
  }
}

void WindowMirror::ApplyShape() {
  if (!top_) return;
  // Frameless with a drawn caption and frame while shaped; TopMost and Opacity.
  ApplyWindowLook(*top_, view_, backend_.SystemMetric(32), backend_.SystemMetric(4));
  const std::shared_ptr<const region::Region>& shape = view_.shape;
  if (shape && shape->empty()) {
    // An empty outline shows the window nowhere.
    hidden_by_shape_ = true;
    top_->hide();
    return;
  }
  if (hidden_by_shape_) {
    hidden_by_shape_ = false;
    if (!view_.shown_nowhere() && !view_.hidden) top_->show();
  }
  if (!shape) {
    top_->clearMask();
    return;
  }
  QRegion mask;
  for (const region::Rect& r : shape->Rects()) {
    mask += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  top_->setMask(mask);
}

void WindowMirror::PostPlacement(bool moved) {
  if (!top_ || !client_ || applying() || closing_) return;
  const ui::TextMetrics& m = backend_.Metrics();
  const QPoint at = top_->pos();
  const QSize size = client_->size();
  Input in;
  in.kind = moved ? Input::Kind::kMoved : Input::Kind::kSized;
  in.at = {at.x() * 4 / m.average_char_width_px, at.y() * 8 / m.char_height_px,
           size.width() * 4 / m.average_char_width_px, size.height() * 8 / m.char_height_px};
  Post(in);
}

}  // namespace platform::qt
