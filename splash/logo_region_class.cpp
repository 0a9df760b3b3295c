#include "splash/logo_region_class.h"

#include <span>
#include <vector>

#include "platform/region/region.h"
#include "platform/region/shapes.h"
#include "platform/ui/desktop.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/window.h"
#include "splash/outline_points.h"

namespace splash {
namespace {

using platform::region::CombineMode;
using platform::region::CombineRgn;
using platform::region::CreatePolygonRgn;
using platform::region::CreateRectRgn;
using platform::region::FillMode;
using platform::region::Point;
using platform::region::Region;

// The largest outline, the central figure.
constexpr size_t kVertexBufferSize = 523;

struct Offset {
  int16_t dx;
  int16_t dy;
};

void AddFigure(LogoPointQueue& points, std::span<const OutlinePoint> figure, Offset offset) {
  for (const OutlinePoint& p : figure) {
    points.buffer.X = static_cast<int16_t>(p.x + offset.dx);
    points.buffer.Y = static_cast<int16_t>(p.y + offset.dy);
    points.Add();
  }
}

}  // namespace

const platform::RecordLayout& LogoPointRecord::Layout() {
  static const platform::RecordLayout layout = platform::MakeLayout<LogoPointRecord>(
      "LPQ", platform::Field<&LogoPointRecord::X>("X"), platform::Field<&LogoPointRecord::Y>("Y"));
  return layout;
}

void ZOVLogoRegionClass::AddLogoPoints1(LogoPointQueue& q) { AddFigure(q, LogoFigure(), {0, 0}); }
void ZOVLogoRegionClass::AddLogoPoints2(LogoPointQueue& q) {
  AddFigure(q, LogoFigure(), {91, 138});
}
void ZOVLogoRegionClass::AddLogoPoints3(LogoPointQueue& q) {
  AddFigure(q, LogoFigure(), {102, -136});
}
void ZOVLogoRegionClass::AddLogoPoints4(LogoPointQueue& q) { AddFigure(q, LogoCentre(), {0, 0}); }
void ZOVLogoRegionClass::AddLogoPoints5(LogoPointQueue& q) { AddFigure(q, LogoFigure(), {574, 5}); }
void ZOVLogoRegionClass::AddLogoPoints6(LogoPointQueue& q) {
  AddFigure(q, LogoFigure(), {295, 220});
}
void ZOVLogoRegionClass::AddLogoPoints7(LogoPointQueue& q) {
  AddFigure(q, LogoFigure(), {310, -228});
}
void ZOVLogoRegionClass::AddLogoPoints8(LogoPointQueue& q) {
  AddFigure(q, LogoFigure(), {500, 140});
}
void ZOVLogoRegionClass::AddLogoPoints9(LogoPointQueue& q) {
  AddFigure(q, LogoFigure(), {513, -133});
}

void ZOVLogoRegionClass::BuildLogoRegion() {
  using platform::ui::GetSystemMetrics;
  platform::ui::AssertRuntimeLockHeld();
  const int32_t dx = GetSystemMetrics(platform::ui::kSmCxFrame);
  const int32_t dy =
      GetSystemMetrics(platform::ui::kSmCyCaption) + GetSystemMetrics(platform::ui::kSmCyFrame);
  LogoPointQueue points;
  std::vector<Point> vertices(kVertexBufferSize);
  Region logo = CreateRectRgn(0, 0, 0, 0);
  using AddOutline = void (ZOVLogoRegionClass::*)(LogoPointQueue&);
  constexpr AddOutline kOutlines[] = {
      &ZOVLogoRegionClass::AddLogoPoints1, &ZOVLogoRegionClass::AddLogoPoints2,
      &ZOVLogoRegionClass::AddLogoPoints3, &ZOVLogoRegionClass::AddLogoPoints4,
      &ZOVLogoRegionClass::AddLogoPoints5, &ZOVLogoRegionClass::AddLogoPoints6,
      &ZOVLogoRegionClass::AddLogoPoints7, &ZOVLogoRegionClass::AddLogoPoints8,
      &ZOVLogoRegionClass::AddLogoPoints9,
  };
  for (AddOutline add : kOutlines) {
    points.Free();
    (this->*add)(points);
    // An outline longer than the buffer is cut to it rather than written past its end.
    const size_t n = std::min(points.Records(), vertices.size());
    for (size_t i = 1; i <= n; ++i) {
      const LogoPointRecord p = points.entry(i);
      vertices[i - 1] = {p.X + dx, p.Y + dy};
    }
    const Region outline = CreatePolygonRgn(std::span(vertices).first(n), FillMode::kWinding);
    CombineRgn(logo, logo, outline, CombineMode::kXor);
  }
  points.Free();
  const platform::ui::Window* target = platform::ui::TargetWindow();
  if (target == nullptr) return;
  platform::ui::SetWindowRgn(target->handle(), std::move(logo), /*redraw=*/true);
}

}  // namespace splash
