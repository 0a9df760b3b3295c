#include "assistant/glide.h"

#include <cmath>

#include <gtest/gtest.h>

namespace assistant {
namespace {

using platform::region::Point;

// Follows the glide as the cursor would, the cursor put where each turn says; answers the
// last turn and counts the turns.
GlideTurn Follow(Glide& glide, Point& cursor, int* turns, int limit = 100000) {
  GlideTurn turn;
  for (*turns = 1; *turns <= limit; ++*turns) {
    turn = glide.Turn(cursor);
    cursor = turn.at;
    if (turn.kind != GlideTurn::kMove) break;
  }
  return turn;
}

TEST(Glide, ASlantedGlideCreepsByItsSlowDownAndEndsExactlyOnTheTarget) {
  Glide glide({100, 100}, {.per_pixel = 25, .end_distance2 = 5, .desktop = {0, 0, 1024, 768}});
  Point cursor{0, 0};
  GlideTurn first = glide.Turn(cursor);
  EXPECT_NEAR(glide.dx(), 100 / std::hypot(100.0, 100.0) / 25, 1e-12);
  EXPECT_NEAR(glide.dx(), 0.028, 0.0005);
  EXPECT_EQ(first.kind, GlideTurn::kMove);
  EXPECT_EQ(first.at.x, 0);
  cursor = first.at;
  int turns = 0;
  const GlideTurn last = Follow(glide, cursor, &turns);
  EXPECT_EQ(last.kind, GlideTurn::kArrived);
  EXPECT_EQ(last.at.x, 100);
  EXPECT_EQ(last.at.y, 100);
  // About 25 turns a pixel of x, less the last two pixels the end test takes.
  EXPECT_GT(turns, 3000);
}

TEST(Glide, StraightGlidesMoveAPixelATurnAndZeroSlowDownCountsAsOne) {
  struct Case {
    Point from;
    Point to;
    double per_pixel;
  };
  const Case kCases[] = {
      {{10, 50}, {40, 50}, 25},  // horizontal
      {{40, 50}, {10, 50}, 25},  // back
      {{30, 10}, {30, 40}, 25},  // vertical
      {{0, 0}, {30, 30}, 0},     // slanted, no slow-down stored
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.to.x);
    Glide glide(c.to, {.per_pixel = c.per_pixel, .end_distance2 = 5, .desktop = {}});
    Point cursor = c.from;
    int turns = 0;
    const GlideTurn last = Follow(glide, cursor, &turns, 1000);
    EXPECT_EQ(last.kind, GlideTurn::kArrived);
    EXPECT_EQ(last.at.x, c.to.x);
    EXPECT_EQ(last.at.y, c.to.y);
    EXPECT_LT(turns, 60);
  }
}

TEST(Glide, AHandMoveMakesItAimAgainFromThere) {
  Glide glide({100, 0}, {.per_pixel = 1, .end_distance2 = 5, .desktop = {}});
  Point cursor{0, 0};
  for (int i = 0; i < 10; ++i) cursor = glide.Turn(cursor).at;
  EXPECT_EQ(cursor.x, 10);
  // The user moves the mouse down and to the right: the glide now runs slanted from there.
  GlideTurn turn = glide.Turn({50, 50});
  EXPECT_NEAR(glide.dx(), 50 / std::hypot(50.0, 50.0), 1e-12);
  EXPECT_EQ(turn.at.x, 50);
  cursor = turn.at;
  int turns = 0;
  const GlideTurn last = Follow(glide, cursor, &turns, 1000);
  EXPECT_EQ(last.kind, GlideTurn::kArrived);
  EXPECT_EQ(last.at.x, 100);
  EXPECT_EQ(last.at.y, 0);
}

TEST(Glide, LeavingTheDesktopEndsOnTheTarget) {
  // The path from the desktop's edge heads out before it comes back: a glide that crosses
  // the left edge ends at once, on the target.
  Glide glide({-40, 10}, {.per_pixel = 1, .end_distance2 = 5, .desktop = {0, 0, 200, 100}});
  Point cursor{2, 10};
  int turns = 0;
  const GlideTurn last = Follow(glide, cursor, &turns, 100);
  EXPECT_EQ(last.kind, GlideTurn::kLeftDesktop);
  EXPECT_EQ(last.at.x, -40);
  EXPECT_EQ(last.at.y, 10);
  EXPECT_EQ(turns, 3);
}

}  // namespace
}  // namespace assistant
