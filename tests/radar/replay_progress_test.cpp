// The progress figure of a replayed backup: both roundings are half to even.

#include "radar/ftp_replay.h"

#include <gtest/gtest.h>

namespace {

TEST(ReplayProgress, PercentOfTheLoadedBytesAlreadyReplayedThenTheImageWidth) {
  struct TCase {
    int64_t loaded, remaining;
    int32_t panelWidth;
    int32_t percent, width;
  };
  const TCase cases[] = {
      {1000, 1000, 300, 0, 0},        // nothing replayed yet
      {1000, 1, 300, 100, 300},       // 99.9 %
      {8, 7, 100, 12, 12},            // 12.5 % rounds to the even 12
      {8, 5, 100, 38, 38},            // 37.5 % rounds to the even 38
      {200, 199, 150, 0, 0},          // 0.5 % rounds to 0
      {200, 197, 150, 2, 3},          // 1.5 % -> 2; 2 x 150 / 100 = 3
      {1000, 670, 150, 33, 50},       // 33 x 1.5 = 49.5 rounds to the even 50
      {1000, 950, 50, 5, 2},          // 5 x 0.5 = 2.5 rounds to the even 2
      {0x6000000, 0x2FFFFFF, 1920, 50, 960},  // the largest buffer
      {0, 0, 300, 0, 0},              // nothing loaded
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.loaded << " loaded, " << c.remaining << " left, panel " << c.panelWidth);
    const int32_t percent = ReplayPercent(c.loaded, c.remaining);
    EXPECT_EQ(percent, c.percent);
    EXPECT_EQ(ReplayProgressWidth(percent, c.panelWidth), c.width);
  }
}

}  // namespace
