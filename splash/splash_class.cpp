#include "splash/splash_class.h"

#include <algorithm>
#include <span>
#include <string>

#include "platform/core/call_trace.h"
#include "platform/core/number.h"
#include "platform/region/shapes.h"
#include "platform/ui/codes.h"
#include "platform/ui/desktop.h"
#include "platform/ui/prop.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "splash/outline_points.h"

namespace splash {
namespace {

using namespace platform::ui;
using platform::region::CombineMode;
using platform::region::CombineRgn;
using platform::region::CreateEllipticRgn;
using platform::region::CreatePolygonRgn;
using platform::region::CreateRectRgn;
using platform::region::FillMode;

constexpr int kSplashPolygons = 5;
// The circle grows and shrinks by this many pixels a step.
constexpr float kCircleStep = 4.0f;

// The lines are centred; their places and the button's are set in pixels once the window is
// open (PlaceInOutline).
constexpr ControlDecl kControls[] = {
    String("?String1", "Zovantrix presents", {62, 8, 130, 10}),
    String("?String2", "Pexolind version 1.10", {62, 18, 130, 10}),
    String("?String3", "made by the Pexolind team", {62, 28, 130, 10}),
    Button("?CLOSEBUTTON", "&Continue", {102, 152, 50, 16}).Hidden().Std(StdAction::kClose),
};
constexpr WindowStructure kWindow{"zovsplash", "P1$WINDOW",      WindowKind::kPlain,
                                  " ",         {0, 0, 254, 185}, kControls};
constexpr FieldId kCloseButton = kWindow.Equate("?CLOSEBUTTON");
static_assert(kCloseButton == 4);

// One step of the circle: the outline within `r` pixels of the centre (cx, cy), shown at
// once.
void ShowCircleStep(ZOVSplashClass& splash, Window& window, float cx, float cy, float r) {
  // Each corner is cut to a whole number toward zero.
  splash.R3 = CreateEllipticRgn(static_cast<int32_t>(cx - r), static_cast<int32_t>(cy - r),
                                static_cast<int32_t>(cx + r), static_cast<int32_t>(cy + r));
  CombineRgn(splash.R3, splash.R3, splash.R1, CombineMode::kAnd);
  SetWindowRgn(window.handle(), splash.R3, /*redraw=*/true);
  window.Display();
}

// The window's size comes in dialog units, so its pixels follow the display's font, while the
// outline is fixed in pixels: where the font is smaller than the outline was drawn for, the
// window grows until the whole outline fits, instead of cutting the logo off. Requires Pixels.
void FitOutline(Window& window, const platform::region::Region& outline) {
  const platform::region::Rect box = outline.BoundingBox();
  for (auto [prop, needed] :
       {std::pair{Prop::Width, box.right}, std::pair{Prop::Height, box.bottom}}) {
    const auto have = static_cast<int32_t>(platform::TextToNumber(window.Get(kNoField, prop)));
    // Pixels are stored as whole dialog units, rounded down: ask for a little more.
    if (have < needed) window.Set(kNoField, prop, std::to_string(needed + 4));
  }
}

// Where the controls go, in pixels of the outline's own table (before DX and DY): the
// three lines in the band above the holes, "&Continue" centred in the band below them.
constexpr int32_t kOutlineCentreX = 252;
constexpr int32_t kLinesTop = 10;
constexpr int32_t kLinesBottom = 84;  // the holes begin at 85
constexpr int32_t kLineWidth = 240;
constexpr int32_t kButtonTop = 300;  // the hole of the middle letter ends at 294
constexpr int32_t kButtonBottomLimit = 346;
constexpr int32_t kButtonWidthLimit = 200;

// Pixels of the client area to whole dialog units that stay within them: the start rounds
// up and the end down, as the display converts each back rounding down.
RectDu UnitsWithin(int32_t x, int32_t y, int32_t width, int32_t height, const TextMetrics& m) {
  const int32_t per_x = std::max(1, m.average_char_width_px);
  const int32_t per_y = std::max(1, m.char_height_px);
  const int32_t left = (x * 4 + per_x - 1) / per_x;
  const int32_t top = (y * 8 + per_y - 1) / per_y;
  const int32_t right = (x + width) * 4 / per_x;
  const int32_t bottom = (y + height) * 8 / per_y;
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

// The outline is fixed in pixels while the controls' dialog units follow the font: the lines
// and the button are placed in pixels relative to the outline, sized by the font but never
// past the solid bands they sit in, so they show whole and clear of the holes for any font.
void PlaceInOutline(Window& window, const ZOVSplashClass& splash) {
  const TextMetrics m = GetTextMetrics();
  // The outline's table point (x, y) lies at client point (x + ox, y + oy).
  const int32_t ox = splash.DX - GetSystemMetrics(kSmCxFrame);
  const int32_t oy = splash.DY - GetSystemMetrics(kSmCyCaption) - GetSystemMetrics(kSmCyFrame);
  const int32_t line = std::min(m.char_height_px + 2, (kLinesBottom - kLinesTop) / 3);
  for (FieldId f = 1; f <= 3; ++f) {
    const RectDu at = UnitsWithin(kOutlineCentreX - kLineWidth / 2 + ox,
                                  kLinesTop + (f - 1) * line + oy, kLineWidth, line, m);
    window.SetPosition(f, at.x, at.y, at.width, at.height);
    window.Set(f, Prop::Center, "1");
  }
  // The size a 50 x 16 unit button has in this font.
  const int32_t width = std::min(m.average_char_width_px * 50 / 4, kButtonWidthLimit);
  const int32_t height = std::min(m.char_height_px * 2, kButtonBottomLimit - kButtonTop);
  const RectDu at =
      UnitsWithin(kOutlineCentreX - width / 2 + ox, kButtonTop + oy, width, height, m);
  window.SetPosition(kCloseButton, at.x, at.y, at.width, at.height);
}

}  // namespace

void ZOVSplashClass::BuildSplashRegion() {
  AssertRuntimeLockHeld();
  DX = static_cast<int16_t>(GetSystemMetrics(kSmCxFrame));
  DY = static_cast<int16_t>(GetSystemMetrics(kSmCyCaption) + GetSystemMetrics(kSmCyFrame) - 1);
  R1 = CreateRectRgn(0, 0, 0, 0);
  for (int n = 1; n <= kSplashPolygons; ++n) {
    const std::span<const OutlinePoint> outline = SplashOutline(n);
    const size_t count = std::min(outline.size(), POINTS.size());
    for (size_t i = 0; i < count; ++i) {
      POINTS[i] = {outline[i].x + DX, outline[i].y + DY};
    }
    R2 = CreatePolygonRgn(std::span(POINTS).first(count), FillMode::kWinding);
    CombineRgn(R1, R1, R2, CombineMode::kXor);
  }
}

void ZOVSplashClass::SplashWindow(uint8_t seconds) {
  AssertRuntimeLockHeld();
  // Reported so tests of the program's start-up see where the splash comes in its order.
  platform::TraceCall("ZOVSplashClass.SplashWindow " + std::to_string(seconds));
  Window window(kWindow);
  window.Open();
  BuildSplashRegion();
  // The window itself is what stays on top: its client area is no window of its own here.
  SetWindowPos(window.handle(), kHwndTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize | kSwpShowWindow);
  window.Set(kNoField, Prop::Pixels, "1");
  FitOutline(window, R1);
  PlaceInOutline(window, *this);
  const auto width = static_cast<float>(platform::TextToNumber(window.Get(kNoField, Prop::Width)));
  const auto height =
      static_cast<float>(platform::TextToNumber(window.Get(kNoField, Prop::Height)));
  const float largest = std::max(width, height);
  const float cx = width / 2.0f;
  const float cy = height / 2.0f;

  // The steps follow each other without a pause: each one's cost is its speed.
  for (float r = 1.0f; r <= largest; r += kCircleStep) ShowCircleStep(*this, window, cx, cy, r);

  window.Set(kNoField, Prop::Timer, std::to_string(int32_t{seconds} * 100));
  window.SetHidden(kCloseButton, kCloseButton, false);
  window.Select(kCloseButton);
  // "&Continue" closes the window by its standard action, which ends the loop early.
  while (window.Accept()) {
    if (window.event().event == kEventTimer) break;
  }

  for (float r = largest; r >= 1.0f; r -= kCircleStep) ShowCircleStep(*this, window, cx, cy, r);
  window.Close();
}

}  // namespace splash
