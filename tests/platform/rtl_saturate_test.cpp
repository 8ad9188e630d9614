// 32-bit samples and fields: rounded half to even, saturated at the int32
// range instead of wrapping.

#include "platform/rtl/rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

TEST(Saturate, RoundsHalfToEvenAndSaturates) {
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  const std::vector<std::pair<long double, int32_t>> cases{
      {0.5L, 0},          {1.5L, 2},         {2.5L, 2},          {-2.5L, -2},        {-0.5L, 0},
      {2147483646.5L, 2147483646},           {2147483647.4L, kMax}, {2147483648.0L, kMax},
      {1e30L, kMax},      {-2147483648.4L, kMin},                 {-2147483649.0L, kMin},
      {-1e30L, kMin},     {std::numeric_limits<long double>::infinity(), kMax},
      {std::nanl(""), 0},
  };
  for (const auto& [in, out] : cases) {
    SCOPED_TRACE(static_cast<double>(in));
    EXPECT_EQ(RoundToInt32(in), out);
  }
  EXPECT_EQ(SaturateToInt32(int64_t{kMax} + 1), kMax);
  EXPECT_EQ(SaturateToInt32(-int64_t{kMax} - 2), kMin);
  EXPECT_EQ(SaturateToInt32(-77), -77);
}

}  // namespace
