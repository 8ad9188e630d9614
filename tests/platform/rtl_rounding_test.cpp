#include "platform/rtl/rounding.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int64_t Max64 = std::numeric_limits<int64_t>::max();
constexpr int64_t Min64 = std::numeric_limits<int64_t>::min();

TEST(RtlRounding, RoundIsHalfToEven) {
  const struct {
    long double in;
    int64_t out;
  } cases[] = {
      {0.5L, 0},   {1.5L, 2},  {2.5L, 2},          {-0.5L, 0}, {-1.5L, -2},
      {-2.5L, -2}, {3.5L, 4},  {2.5000001L, 3},    {2.4999999L, 2},
      {-2.5000001L, -3},       {1e15L + 0.5L, 1000000000000000}, {0.0L, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Round(c.in), c.out) << static_cast<double>(c.in);
}

TEST(RtlRounding, TruncCutsTowardZero) {
  const struct {
    long double in;
    int64_t out;
  } cases[] = {{-1.7L, -1}, {1.7L, 1}, {-0.3L, 0}, {2.0L, 2}, {-9.99L, -9}};
  for (const auto& c : cases) EXPECT_EQ(Trunc(c.in), c.out) << static_cast<double>(c.in);
}

TEST(RtlRounding, HugeValuesSaturate) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const struct {
    long double in;
    int64_t round, trunc;
  } cases[] = {
      {1e30L, Max64, Max64},
      {-1e30L, Min64, Min64},
      {inf, Max64, Max64},
      {-inf, Min64, Min64},
      {9223372036854775807.0L, Max64, Max64},
      {-9223372036854775808.0L, Min64, Min64},
      {9223372036854775806.0L, Max64 - 1, Max64 - 1},  // exact in 64 mantissa bits
      {std::numeric_limits<long double>::quiet_NaN(), 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Round(c.in), c.round) << static_cast<double>(c.in);
    EXPECT_EQ(Trunc(c.in), c.trunc) << static_cast<double>(c.in);
  }
}

}  // namespace
