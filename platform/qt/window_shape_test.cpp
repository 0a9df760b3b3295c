// The look of shaped windows on Qt's offscreen platform: frameless with a drawn caption and
// frame while shaped, the system's frame again without an outline, TopMost and Opacity.
#include "platform/qt/window_shape.h"

#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include <gtest/gtest.h>

#include "platform/region/shapes.h"
#include "platform/ui/prop.h"

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

}  // namespace
}  // namespace platform::qt
