// A tool window's mirror: a dock widget of the frame (a QMainWindow), docked in the frame's
// dock area at the side its Docked names, or floating as a window of its own at its place.
// Docked, the dock area gives it its height (its width at the top or bottom); the program's
// width (height) is what the area keeps for it.
#include <algorithm>

#include <QDockWidget>
#include <QLayout>
#include <QMainWindow>

#include "platform/qt/qt_backend.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {

using ui::Prop;

namespace {

Qt::DockWidgetArea AreaOf(int64_t docked) {
  switch (docked) {
    case ui::kDockLeft:
      return Qt::LeftDockWidgetArea;
    case ui::kDockTop:
      return Qt::TopDockWidgetArea;
    case ui::kDockRight:
      return Qt::RightDockWidgetArea;
    case ui::kDockBottom:
      return Qt::BottomDockWidgetArea;
    default:
      return Qt::NoDockWidgetArea;
  }
}

}  // namespace

bool WindowMirror::tool_window() const {
  return view_.structure != nullptr && (view_.structure->attrs & ui::kAttrToolBox) != 0;
}

void WindowMirror::ApplyMinWidth() {
  if (!client_ || !tool_window()) return;
  // Other windows hold their client area at its size; the model keeps their Width above
  // MinWidth.
  const auto least = static_cast<int32_t>(Number(view_.properties, Prop::MinWidth, 0));
  // A height of its own keeps the dock widget's layout from a minimum it cannot take.
  client_->setMinimumSize(std::max(0, ui::HorizontalPixels(least, backend_.Metrics())), 1);
}

void WindowMirror::SizeFloating(QDockWidget& dock, QSize client) {
  // The dock widget draws a frame of its own around the client while it floats.
  dock.resize(client);
  if (QLayout* layout = dock.layout()) layout->activate();
  const QSize inner = dock.widget() != nullptr ? dock.widget()->size() : client;
  dock.resize(client + (client - inner));
}

void WindowMirror::ApplyDocked() {
  auto* dock = qobject_cast<QDockWidget*>(top_.data());
  if (dock == nullptr) return;
  WindowMirror* frame = backend_.frame();
  auto* main = frame != nullptr ? qobject_cast<QMainWindow*>(frame->top()) : nullptr;
  const Qt::DockWidgetArea area =
      main != nullptr ? AreaOf(Number(view_.properties, Prop::Docked, ui::kDockFloat))
                      : Qt::NoDockWidgetArea;
  if (area == dock_area_) return;
  const QRect px = PixelRect(view_.at);
  dock_area_ = area;
  if (area == Qt::NoDockWidgetArea) {
    dock->setFloating(true);
    SizeFloating(*dock, QSize(std::max(px.width(), 1), std::max(px.height(), 1)));
    dock->move(px.topLeft());
    if (!view_.shown_nowhere() && !view_.hidden) dock->show();
    return;
  }
  main->addDockWidget(area, dock);
  dock->setFloating(false);
  if (!view_.shown_nowhere() && !view_.hidden) dock->show();
  const bool beside = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
  main->resizeDocks({dock}, {beside ? px.width() : px.height()},
                    beside ? Qt::Horizontal : Qt::Vertical);
}

void WindowMirror::ApplyToolGeometry(const ui::RectDu& before) {
  auto* dock = qobject_cast<QDockWidget*>(top_.data());
  if (dock == nullptr) return;
  const ui::RectDu& at = view_.at;
  const QRect px = PixelRect(at);
  if (dock_area_ == Qt::NoDockWidgetArea) {
    if (at.width != before.width || at.height != before.height) {
      SizeFloating(*dock, QSize(std::max(px.width(), 1), std::max(px.height(), 1)));
    }
    if (at.x != before.x || at.y != before.y) dock->move(px.topLeft());
    return;
  }
  WindowMirror* frame = backend_.frame();
  auto* main = frame != nullptr ? qobject_cast<QMainWindow*>(frame->top()) : nullptr;
  if (main == nullptr) return;
  const bool beside = dock_area_ == Qt::LeftDockWidgetArea || dock_area_ == Qt::RightDockWidgetArea;
  if (beside && at.width != before.width) {
    main->resizeDocks({dock}, {px.width()}, Qt::Horizontal);
  } else if (!beside && at.height != before.height) {
    main->resizeDocks({dock}, {px.height()}, Qt::Vertical);
  }
}

}  // namespace platform::qt
