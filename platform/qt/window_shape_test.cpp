// The look of shaped windows on Qt's offscreen platform: frameless with a drawn caption and
// frame while shaped, the system's frame again without an outline, TopMost and Opacity; and
// a program's outlines reaching its window through the backend: masked, hidden while empty.
#include "platform/qt/window_shape.h"

#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QRegion>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/region/shapes.h"
#include "platform/testing/overlapping_windows.h"
#include "platform/ui/desktop.h"
#include "platform/ui/prop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

constexpr int32_t kFrame = 4;
constexpr int32_t kCaption = 19;

// A top-level window as the mirror builds a plain one: contents 200 x 100 in a layout.
struct PlainWindow {
  PlainWindow() {
    contents->setFixedSize(200, 100);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(contents.get());
    top->adjustSize();
    top->show();
  }
  // Children are destroyed first; each leaves its Qt parent as it goes.
  std::unique_ptr<QWidget> top = std::make_unique<QWidget>();
  std::unique_ptr<QVBoxLayout> layout = std::make_unique<QVBoxLayout>(top.get());
  std::unique_ptr<QWidget> contents = std::make_unique<QWidget>(top.get());
};

ui::WindowView ViewWith(std::shared_ptr<const region::Region> shape) {
  ui::WindowView view;
  view.shape = std::move(shape);
  return view;
}

TEST(WindowLook, AShapedWindowDrawsItsOwnCaptionAndFrameAroundItsContents) {
  PlainWindow w;
  ApplyWindowLook(
      *w.top,
      ViewWith(std::make_shared<const region::Region>(region::CreateEllipticRgn(0, 0, 208, 127))),
      kFrame, kCaption);
  EXPECT_TRUE(DrawsOwnFrame(*w.top));
  EXPECT_TRUE(w.top->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(w.top->isVisible());
  // The contents begin inside the drawn frame and caption, as the outline expects.
  EXPECT_EQ(w.contents->pos(), QPoint(kFrame, kFrame + kCaption));
  EXPECT_EQ(w.top->size(), QSize(200 + 2 * kFrame, 100 + 2 * kFrame + kCaption));

  // Without an outline the system draws the frame again.
  ApplyWindowLook(*w.top, ViewWith(nullptr), kFrame, kCaption);
  EXPECT_FALSE(DrawsOwnFrame(*w.top));
  EXPECT_FALSE(w.top->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(w.contents->pos(), QPoint(0, 0));
  EXPECT_EQ(w.top->size(), QSize(200, 100));
}

TEST(WindowLook, TopMostAndOpacityFollowTheirProperties) {
  PlainWindow w;
  constexpr std::pair<int32_t, int32_t> kTopMost{static_cast<int32_t>(ui::Prop::TopMost), 0};
  constexpr std::pair<int32_t, int32_t> kOpacity{static_cast<int32_t>(ui::Prop::Opacity), 0};
  ui::WindowView view = ViewWith(nullptr);
  view.properties = {{kTopMost, "1"}, {kOpacity, "51"}};
  ApplyWindowLook(*w.top, view, kFrame, kCaption);
  EXPECT_TRUE(w.top->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_NEAR(w.top->windowOpacity(), 0.2, 0.01);
  EXPECT_TRUE(w.top->isVisible());

  view.properties = {{kTopMost, ""}, {kOpacity, "255"}};
  ApplyWindowLook(*w.top, view, kFrame, kCaption);
  EXPECT_FALSE(w.top->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_DOUBLE_EQ(w.top->windowOpacity(), 1.0);
}

constexpr ui::ControlDecl kShapedControls[] = {
    ui::String("?Text", "Shaped", {4, 4, 60, 10}),
};
constexpr ui::WindowStructure kShapedWindow{"test$shaped", "Shaped",        ui::WindowKind::kPlain,
                                            "Shaped",      {0, 0, 120, 60}, kShapedControls};

// SetWindowRgn with an empty region hides the window (Qt would take an empty mask for no
// mask and show all of it); a later outline or none shows it again.
TEST(WindowOutline, AnEmptyOutlineHidesTheWindowUntilAnotherOneShowsIt) {
  QtBackend display;
  display.SetProgramEndedHandler([] {});
  ui::Runtime runtime{display};
  // Each timer event gives the window the next outline: empty, a rectangle, empty, none.
  runtime.StartMain([] {
    ui::Window window(kShapedWindow);
    window.Open();
    ui::SetProp(0, ui::Prop::Timer, 6000);  // a minute: it never runs out by itself here
    const std::optional<region::Region> outlines[] = {
        region::CreateRectRgn(0, 0, 0, 0), region::CreateRectRgn(0, 0, 50, 40),
        region::CreateRectRgn(0, 0, 0, 0), std::nullopt};
    size_t next = 0;
    while (window.Accept()) {
      if (ui::Event() == ui::kEventTimer && next < std::size(outlines)) {
        ui::SetWindowRgn(window.handle(), outlines[next++], /*redraw=*/true);
      }
    }
  });
  Settle(runtime);
  WindowMirror* m = display.Mirror(display.FindWindow("Shaped"));
  ASSERT_NE(m, nullptr);
  QWidget* top = m->top();
  auto* timer = top->findChild<QTimer*>();
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(top->isVisible());
  struct Step {
    const char* outline;
    bool visible;
    QRegion mask;
  };
  const Step kSteps[] = {
      {"empty", false, QRegion()},
      {"rectangle", true, QRegion(0, 0, 50, 40)},
      {"empty again", false, QRegion()},
      {"none", true, QRegion()},
  };
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.outline);
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
    Settle(runtime);
    EXPECT_EQ(top->isVisible(), step.visible);
    if (step.visible) {
      EXPECT_EQ(top->mask(), step.mask);
    }
  }

  m->CloseBoxPressed();
  Settle(runtime);
  runtime.Join();
  QCoreApplication::sendPostedEvents();
}

using platform::testing::kBehindWindow;
using platform::testing::kFrontWindow;

// A synthesized click where a shaped window covers another but its outline does not reaches
// the window behind it, as the user's own click would; inside the outline it reaches the
// shaped window's control.
TEST(WindowOutline, ASynthesizedClickOutsideTheOutlineReachesTheWindowBehind) {
  QtBackend display;
  display.SetProgramEndedHandler([] {});
  ui::Runtime runtime{display};
  std::mutex mutex;
  std::vector<std::string> accepted;
  auto note = [&](const char* name) {
    std::lock_guard lock(mutex);
    accepted.emplace_back(name);
  };
  runtime.StartMain([&] {
    ui::Window behind(kBehindWindow);
    behind.Open();
    ui::Start([&] {
      ui::Window front(kFrontWindow);
      front.Open();
      // The outline keeps the drawn caption and the button, which lie in its upper left.
      ui::SetWindowRgn(front.handle(), region::CreateRectRgn(0, 0, 100, 60), /*redraw=*/true);
      while (front.Accept()) {
        if (ui::Event() == ui::kEventAccepted) note("front");
      }
    });
    while (behind.Accept()) {
      if (ui::Event() == ui::kEventAccepted) note("behind");
    }
  });
  Settle(runtime);
  WindowMirror* behind = display.Mirror(display.FindWindow("Behind"));
  WindowMirror* front = display.Mirror(display.FindWindow("Front"));
  ASSERT_NE(behind, nullptr);
  ASSERT_NE(front, nullptr);
  QWidget* behind_button = behind->widget(kBehindWindow.Equate("?Behind"));
  QWidget* front_button = front->widget(kFrontWindow.Equate("?Front"));
  const QPoint outside = front->top()->mapToGlobal(QPoint(150, front->top()->height() / 2));
  ASSERT_TRUE(front->top()->rect().contains(front->top()->mapFromGlobal(outside)));
  ASSERT_TRUE(behind_button->rect().contains(behind_button->mapFromGlobal(outside)));
  struct Case {
    const char* where;
    QPoint at;
    QWidget* reached;
    const char* accepted;
  } cases[] = {
      {"outside the outline", outside, behind_button, "behind"},
      {"inside it", front_button->mapToGlobal(front_button->rect().center()), front_button,
       "front"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    {
      std::lock_guard lock(mutex);
      accepted.clear();
    }
    EXPECT_EQ(display.WidgetAt(c.at), c.reached);
    display.SetMousePosition(c.at.x(), c.at.y());
    display.SynthesizeMouseButton(1, true);
    display.SynthesizeMouseButton(1, false);
    Settle(runtime);
    std::lock_guard lock(mutex);
    EXPECT_EQ(accepted, std::vector<std::string>{c.accepted});
  }

  front->CloseBoxPressed();
  behind->CloseBoxPressed();
  Settle(runtime);
  runtime.Join();
  QCoreApplication::sendPostedEvents();
}

}  // namespace
}  // namespace platform::qt
