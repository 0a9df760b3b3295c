// The glide of the mouse cursor or of a window towards a target, one turn at a time: each
// turn takes where the thing is now and answers where to put it next, so a hand move of the
// cursor makes the glide aim again from there.
//
//   Glide glide(target, {.per_pixel = 25, .end_distance2 = 5, .desktop = desktop});
//   for (;;) {
//     const GlideTurn turn = glide.Turn(GetCursorPos());
//     SetCursorPos(turn.at.x, turn.at.y);
//     if (turn.kind != GlideTurn::kMove) break;
//   }
#pragma once

#include <cstdint>

#include "platform/region/region.h"

namespace assistant {

struct GlideSettings {
  // Turns per pixel of a slanted path (below 1 counts as 1); straight paths move one pixel
  // a turn.
  double per_pixel = 1;
  // The glide ends at the target once the squared distance is below this.
  int32_t end_distance2 = 5;
  // The desktop; a right or bottom of 0 or less sets no bound on that side.
  platform::region::Rect desktop;
};

struct GlideTurn {
  enum Kind {
    kMove,         // put it at `at` and take another turn
    kArrived,      // put it at `at`, the target; the glide ends
    kLeftDesktop,  // the path left the desktop; `at` is the target
  };
  Kind kind = kMove;
  platform::region::Point at;
};

class Glide {
 public:
  Glide(platform::region::Point target, GlideSettings settings);
  // One turn from `now`, where the cursor (or window) is.
  GlideTurn Turn(platform::region::Point now);

  // The glide point and step, for tests.
  double cx() const { return cx_; }
  int32_t cy() const { return cy_; }
  double dx() const { return dx_; }

 private:
  void Aim(platform::region::Point from);

  platform::region::Point target_;
  GlideSettings settings_;
  double cx_;
  int32_t cy_;
  double a_ = 0;
  double b_ = 0;
  double dx_ = 0;
};

}  // namespace assistant
