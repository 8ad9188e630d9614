#include "raster/fixed_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <stdexcept>

namespace {

TEST(FixedMath, RoundingOfFixedToInteger) {
  struct Case {
    TFixed a;
    int32_t floor, ceil, round;
  };
  const Case cases[] = {
      {0, 0, 0, 0},
      {1, 0, 1, 0},
      {-1, -1, 0, 0},
      {0x8000, 0, 1, 0},      // an exact half rounds down
      {0x8001, 0, 1, 1},
      {0x18000, 1, 2, 1},
      {-0x8000, -1, 0, -1},
      {0x10000, 1, 1, 1},
      {-0x10000, -1, -1, -1},
      {-0x18000, -2, -1, -2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FxFloor(c.a), c.floor) << c.a;
    EXPECT_EQ(FxCeil(c.a), c.ceil) << c.a;
    EXPECT_EQ(FxRound(c.a), c.round) << c.a;
  }
}

TEST(FixedMath, MultiplyAndDivide) {
  EXPECT_EQ(FxMul(0x18000, 0x18000), 0x24000);    // 1.5 x 1.5 = 2.25
  EXPECT_EQ(FxMul(-0x18000, 0x10000), -0x18000);
  EXPECT_EQ(FxMul(-1, 1), -1);                     // toward minus infinity
  EXPECT_EQ(FxMul(1, 1), 0);
  // (2^31 - 1)^2 shr 16 = 2^46 - 2^16; its low 32 bits are $FFFF0000.
  EXPECT_EQ(FxMul(0x7FFFFFFF, 0x7FFFFFFF), -0x10000);

  EXPECT_EQ(FxDiv(0x30000, 0x20000), 0x18000);
  EXPECT_EQ(FxDiv(-0x10000, 0x30000), -0x5555);  // -0.33333 truncated toward zero
  EXPECT_EQ(FxDiv(0x10000, -0x30000), -0x5555);
  // Outside the callers' range: saturated, no fault.
  EXPECT_EQ(FxDiv(1, 0), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(FxDiv(-0x7FFFFFFF, 1), std::numeric_limits<int32_t>::min());
}

TEST(FixedMath, DivisionsTruncateTowardZero) {
  EXPECT_EQ(Div256(-1), 0);
  EXPECT_EQ(Div256(-256), -1);
  EXPECT_EQ(Div256(-257), -1);
  EXPECT_EQ(Div256(511), 1);
  EXPECT_EQ(Div512(-511), 0);
  EXPECT_EQ(Div512(-1024), -2);

  struct Case {
    int32_t a, b, q, r;
  };
  for (const Case c : {Case{7, 2, 3, 1}, Case{-7, 2, -3, -1}, Case{7, -2, -3, 1}, Case{-7, -2, 3, -1},
                       Case{6, 3, 2, 0}}) {
    int32_t r = 99;
    EXPECT_EQ(DivWithRemainder(c.a, c.b, r), c.q) << c.a << " / " << c.b;
    EXPECT_EQ(r, c.r) << c.a << " / " << c.b;
  }
  int32_t r = 0;
  EXPECT_THROW(DivWithRemainder(1, 0, r), std::domain_error);
}

TEST(FixedMath, MulDivEdges) {
  struct Case {
    int32_t a, b, d, result;
  };
  const Case cases[] = {
      {5, 3, 2, 8},            // 7.5 rounds away from zero
      {-5, 3, 2, -8},
      {5, -3, -2, 8},          // two negative signs cancel
      {-5, -3, -2, -8},
      {7, 1, 2, 4},
      {-7, 1, 2, -4},
      {4, 1, 3, 1},
      {5, 1, 3, 2},
      {0, 5, -3, 0},
      {1, 1, 0, -1},           // zero divisor: the overflow marker
      {0x7FFFFFFF, 0x7FFFFFFF, 1, -1},
      // Divisor 4: the marker from twice the upper half >= 4, i.e. a product >= 2^33.
      {0x10000, 0x20000, 4, -1},
      {0x10000, 0x1FFFF, 4, 0x7FFFC000},
      {std::numeric_limits<int32_t>::min(), 1, std::numeric_limits<int32_t>::min(), 1},
  };
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.d), c.result) << c.a << " " << c.b << " " << c.d;
}

// Against the exact quotient rounded half away from zero, in 64-bit arithmetic.
TEST(FixedMath, MulDivMatchesTheRoundedQuotient) {
  std::mt19937 rng(31);
  std::uniform_int_distribution<int32_t> factor(-40000, 40000), divisor(-5000, 5000);
  for (int i = 0; i < 200000; ++i) {
    const int32_t a = factor(rng), b = factor(rng);
    int32_t d = divisor(rng);
    if (d == 0) d = 1;
    const int64_t n = std::llabs(int64_t{a} * b), m = std::llabs(int64_t{d});
    int64_t expected = (2 * n + m) / (2 * m);
    if ((int64_t{a} * b < 0) != (d < 0)) expected = -expected;
    ASSERT_EQ(MulDiv(a, b, d), expected) << a << " " << b << " " << d;
  }
}

TEST(FixedMath, HypotenuseAndSineCosine) {
  EXPECT_EQ(IntHypot(3, 4), 5);
  EXPECT_EQ(IntHypot(-6, 8), 10);
  EXPECT_EQ(IntHypot(1, 1), 1);  // 1.414
  EXPECT_EQ(IntHypot(2, 3), 4);  // 3.606
  EXPECT_EQ(IntHypot(0, 0), 0);
  EXPECT_EQ(IntHypot(3.0f, 4.0f), 5.0f);
  EXPECT_FLOAT_EQ(IntHypot(1.0f, 2.0f), std::sqrt(5.0f));

  float s = 0, c = 0;
  SineCosine(0.0f, s, c);
  EXPECT_EQ(s, 0.0f);
  EXPECT_EQ(c, 1.0f);
  SineCosine(2.0f, s, c);
  EXPECT_FLOAT_EQ(s, std::sin(2.0f));
  EXPECT_FLOAT_EQ(c, std::cos(2.0f));
}

}  // namespace
