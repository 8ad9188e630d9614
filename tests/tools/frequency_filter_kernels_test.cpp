// The recurrences of the band and low/high-pass filters on short traces whose
// outputs were worked out by hand from the formulas, the edges of each, exact
// sums of extreme samples, and in-place use.

#include "tools/frequency_filter_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace frequency_filter_kernels_test {

using TTrace = std::vector<int32_t>;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// omega0 300 rad/us, tau 2/300 us, 8 samples in 8 ns: dt = 0.001 us.
constexpr long double kDt = 0.001L;
const long double kA = kDt / (2.0L / 300);
const long double kB = 300.0L * 300 * kDt * kDt;

TTrace Filtered(void (*kernel)(const int32_t*, int32_t*, int, long double, long double), const TTrace& in) {
  TTrace out(in.size(), -7);
  kernel(in.data(), out.data(), static_cast<int>(in.size()), kA, kB);
  return out;
}

TTrace Impulse() { return {0, 0, 1000, 0, 0, 0, 0, 0}; }

TEST(FrequencyFilterKernels, BandPassAndBandStopOfAnImpulse) {
  EXPECT_EQ(Filtered(BandPassTrace, Impulse()), (TTrace{0, 0, 130, 216, 132, 60, 2, -41}));
  EXPECT_EQ(Filtered(BandStopTrace, Impulse()), (TTrace{130, 216, 1132, 60, 133, 177, 196, 195}));
}

TEST(FrequencyFilterKernels, BandStopTakesLookAheadSamplesAtTheStart) {
  // i = 0 stands x[1] and x[2] in for the samples before it, i = 1 stands x[3]
  // in for x[-1]: a step at sample 3 reaches y[1] only.
  const TTrace step{0, 0, 0, 1000, 1000, 1000};
  const TTrace out = Filtered(BandStopTrace, step);
  EXPECT_EQ(out[0], 0);
  // y[1] = ((a - 1) 1000 + (0 + 1000) + (2 - b)(0 - 0)) / (a + 1)
  EXPECT_EQ(out[1], std::lround(((kA - 1) * 1000 + 1000) / (kA + 1)));
}

TEST(FrequencyFilterKernels, ShortTracesCountMissingSamplesAsZero) {
  EXPECT_EQ(Filtered(BandStopTrace, TTrace{}), TTrace{});
  // One sample: x[1], x[2] missing -> 0; y[0] = x[0] / (a + 1).
  EXPECT_EQ(Filtered(BandStopTrace, TTrace{1150}), TTrace{1000});
  // Two samples: x[2] and x[3] missing.
  const TTrace two = Filtered(BandStopTrace, TTrace{1150, 0});
  EXPECT_EQ(two[0], std::lround((1150 + (2 - kB) * 0.0L) / (kA + 1)));
  EXPECT_EQ(two[1], std::lround((1150 * 0 + (2 - kB) * (two[0] - 1150.0L)) / (kA + 1)));
  EXPECT_EQ(Filtered(BandPassTrace, TTrace{1150}), TTrace{0});

  int32_t one = 1000;
  HighPassTrace(&one, &one, 1, 3.0L);  // x[1] missing: (1000 - 0 + 0) 3 / 4
  EXPECT_EQ(one, 750);
}

TEST(FrequencyFilterKernels, SumsOfExtremeSamplesAreExactAndOutputsSaturate) {
  // x[i] - x[i-2] of kMax and kMin does not wrap: a pure difference filter
  // (a large, b = 2 - so (2 - b) = 0) gives about the true difference, saturated.
  const TTrace in{kMin, 0, kMax, 0, kMin, 0};
  TTrace out(in.size());
  BandPassTrace(in.data(), out.data(), 6, 1e9L, 2.0L);
  EXPECT_EQ(out[2], kMax);
  EXPECT_EQ(out[4], kMin);
  // The band stop sums x[i] + x[i-2]: two maxima give twice kMax, saturated.
  const TTrace peaks{kMax, kMax, kMax, kMax};
  BandStopTrace(peaks.data(), out.data(), 4, 1e-9L, 2.0L);
  EXPECT_EQ(out[0], kMax);
  EXPECT_EQ(out[3], kMax);
  // The high pass's x[i] - x[i-1] from kMin to kMax.
  const TTrace jump{kMin, kMax};
  HighPassTrace(jump.data(), out.data(), 2, 1e9L);
  EXPECT_EQ(out[1], kMax);
}

TEST(FrequencyFilterKernels, LowAndHighPassOfAConstant) {
  // 250 MHz, 8 samples in 0.8 ns, one pass: c = 1 / (omega0 dt) for both.
  const long double c = 1 / (2 * std::numbers::pi_v<long double> * 250 * 0.0001L);
  const TTrace constant(8, 1000);
  TTrace out(8);
  LowPassTrace(constant.data(), out.data(), 8, c);
  EXPECT_EQ(out, (TTrace{136, 253, 354, 442, 518, 583, 640, 689}));
  HighPassTrace(constant.data(), out.data(), 8, c);
  EXPECT_EQ(out, (TTrace{864, 747, 646, 558, 482, 417, 360, 311}));
}

TEST(FrequencyFilterKernels, InPlaceGivesTheSameAsIntoAnotherBuffer) {
  TTrace in;
  for (int i = 0; i < 37; ++i) in.push_back((i * 7919) % 20001 - 10000);
  using TBand = void (*)(const int32_t*, int32_t*, int, long double, long double);
  for (TBand kernel : {TBand{BandPassTrace}, TBand{BandStopTrace}}) {
    TTrace inPlace = in;
    kernel(inPlace.data(), inPlace.data(), 37, kA, kB);
    EXPECT_EQ(inPlace, Filtered(kernel, in));
  }
  using TPass = void (*)(const int32_t*, int32_t*, int, long double);
  for (TPass kernel : {TPass{LowPassTrace}, TPass{HighPassTrace}}) {
    TTrace inPlace = in, other(37);
    kernel(inPlace.data(), inPlace.data(), 37, 2.5L);
    kernel(in.data(), other.data(), 37, 2.5L);
    EXPECT_EQ(inPlace, other);
  }
}

}  // namespace frequency_filter_kernels_test
