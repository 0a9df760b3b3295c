#include "assistant/glide.h"

#include <cmath>

namespace assistant {

using platform::region::Point;

Glide::Glide(Point target, GlideSettings settings)
    : target_(target), settings_(settings), cx_(target.x), cy_(target.y) {
  if (settings_.per_pixel < 1) settings_.per_pixel = 1;
}

void Glide::Aim(Point from) {
  const Point t = target_;
  if (t.x != from.x && t.y != from.y) {
    a_ = static_cast<double>(t.y - from.y) / (t.x - from.x);
    b_ = from.y - a_ * from.x;
    const double d = std::hypot(t.x - from.x, t.y - from.y);
    dx_ = (t.x - from.x) / d / settings_.per_pixel;
  } else if (t.y == from.y) {
    a_ = 0;
    b_ = from.y;
    dx_ = from.x < t.x ? 1 : -1;
  } else {
    dx_ = 0;
  }
  cx_ = from.x;
}

GlideTurn Glide::Turn(Point now) {
  if (static_cast<int32_t>(std::trunc(cx_)) != now.x || cy_ != now.y) {
    Aim(now);
  } else {
    const double ex = cx_ - target_.x;
    const double ey = cy_ - target_.y;
    if (ex * ex + ey * ey < settings_.end_distance2) return {GlideTurn::kArrived, target_};
  }
  if (dx_ != 0) {
    cx_ += dx_;
    cy_ = static_cast<int32_t>(std::trunc(a_ * cx_ + b_));
  } else {
    cy_ = now.y < target_.y ? now.y + 1 : now.y - 1;
  }
  const platform::region::Rect& desk = settings_.desktop;
  if (cx_ < 0 || cy_ < 0 || (desk.right > 0 && cx_ > desk.right) ||
      (desk.bottom > 0 && cy_ > desk.bottom)) {
    return {GlideTurn::kLeftDesktop, target_};
  }
  return {GlideTurn::kMove, {static_cast<int32_t>(std::trunc(cx_)), cy_}};
}

}  // namespace assistant
