#include "raster/line_clip.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Segment {
  int32_t x1, y1, x2, y2;
  bool operator==(const Segment&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Segment& s) {
  return os << "(" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << ")";
}

// Window [0, 8] x [0, 8] unless noted; expected ends worked by hand from the
// outcode moves (rows first, the end's move using the moved start).
TEST(ClipSegment, MovesEndsToTheWindowEdges) {
  struct Case {
    Segment in;
    bool result;
    Segment out;
  };
  const Case cases[] = {
      {{1, 2, 7, 6}, true, {1, 2, 7, 6}},              // inside: untouched
      {{-3, -1, -1, 9}, false, {-3, -1, -1, 9}},       // both left: no move
      {{-10, 5, 10, 5}, true, {0, 5, 8, 5}},           // across, left and right
      {{-4, -2, 6, 8}, true, {0, 2, 2, 4}},            // window [0, 4]: y = x + 2
      {{-1, 0, 2, 1}, true, {0, 0, 2, 1}},             // MulDiv(1, 1, 3) rounds to 0
      {{-2, 0, 2, 1}, true, {0, 1, 2, 1}},             // MulDiv(2, 1, 4) = 0.5 rounds away from zero
      {{3, 12, 5, -4}, true, {4, 8, 5, 0}},            // through top and bottom: 8 - 12 over 16 rows
      {{-10, 1, 1, -10}, false, {-10, 1, -9, 0}},      // misses the corner after a partial move
  };
  for (const Case& c : cases) {
    Segment s = c.in;
    const int32_t max = (c.in == Segment{-4, -2, 6, 8}) ? 4 : 8;
    EXPECT_EQ(ClipSegment(s.x1, s.y1, s.x2, s.y2, 0, 0, max, max), c.result) << c.in;
    EXPECT_EQ(s, c.out) << c.in;
  }
}

// Random segments: a true result leaves both ends inside the bounds, on the
// original line within rounding.
TEST(ClipSegment, ClippedEndsLieInsideAndOnTheLine) {
  std::mt19937 rng(12);
  int clipped = 0;
  for (int i = 0; i < 20000; ++i) {
    auto v = [&] { return static_cast<int32_t>(rng() % 4001) - 2000; };
    const Segment in{v(), v(), v(), v()};
    Segment s = in;
    if (!ClipSegment(s.x1, s.y1, s.x2, s.y2, -300, -200, 500, 700)) continue;
    ++clipped;
    for (auto [x, y] : {std::pair{s.x1, s.y1}, std::pair{s.x2, s.y2}}) {
      ASSERT_TRUE(x >= -300 && x <= 500 && y >= -200 && y <= 700) << in << " -> " << s;
      // Distance from the original line, in units of the longer delta.
      const double dx = in.x2 - in.x1, dy = in.y2 - in.y1;
      const double cross = std::abs(dx * (y - in.y1) - dy * (x - in.x1)) / std::max(std::abs(dx), std::abs(dy));
      ASSERT_LE(cross, 2.0) << in << " -> " << s;
    }
  }
  EXPECT_GT(clipped, 3000);
}

}  // namespace
