// The automatic time zero without the window: the mean trace of integer terms,
// the envelope peak, and the degenerate channels.

#include "radargram/time_zero.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace time_zero_test {

namespace tz = time_zero;

TEST(TimeZeroMean, EachTermIsDividedByTheTraceCountOnItsOwn) {
  // Three traces of two samples: 5/3 + 5/3 + 5/3 = 3 (not 15/3 = 5); -4/3 -> -1 each.
  const std::vector<int32_t> raw{5, -4, 5, -4, 5, -4};
  EXPECT_EQ(tz::MeanTraceOfTerms(raw.data(), 3, 2, {}), (std::vector<int32_t>{3, -3}));
  // Divisors first, rounded half to even: 5/2 = 2.5 -> 2, then 2/3 = 0; 7/2 = 3.5 -> 4.
  const std::vector<int32_t> raw2{5, 7};
  EXPECT_EQ(tz::MeanTraceOfTerms(raw2.data(), 1, 2, {2, 2}), (std::vector<int32_t>{2, 4}));
  EXPECT_TRUE(tz::MeanTraceOfTerms(raw.data(), 0, 2, {}).empty());
  EXPECT_TRUE(tz::MeanTraceOfTerms(raw.data(), 3, 0, {}).empty());
}

TEST(TimeZeroSample, AllZeroAndTinyValuesGiveSampleZero) {
  EXPECT_EQ(tz::ZeroSampleOfMeanTrace(std::vector<int32_t>(64, 0), 50.0), 0);
  // Values smaller than the trace count: every term is 0.
  std::vector<int32_t> raw(10 * 64, 0);
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<int32_t>(i % 7) - 3;
  const std::vector<int32_t> mean = tz::MeanTraceOfTerms(raw.data(), 10, 64, {});
  EXPECT_EQ(mean, std::vector<int32_t>(64, 0));
  EXPECT_EQ(tz::ZeroSampleOfMeanTrace(mean, 50.0), 0);
  EXPECT_EQ(tz::ZeroSampleOfMeanTrace({}, 50.0), 0);
}

// The envelope of a trace by the test's own direct Hilbert sum in double.
std::vector<double> Envelope(const std::vector<int32_t>& x) {
  const int n = static_cast<int>(x.size());
  std::vector<double> e(x.size());
  for (int i = 0; i < n; ++i) {
    double h = 0;
    for (int j = 0; j < n; ++j)
      if (j != i) h += x[static_cast<size_t>(j)] / double(i - j);
    h /= std::numbers::pi;
    e[static_cast<size_t>(i)] = std::sqrt(double(x[static_cast<size_t>(i)]) * x[static_cast<size_t>(i)] + h * h);
  }
  return e;
}

TEST(TimeZeroSample, APulseGivesThePeakOfTheEnvelopeOfTheMeanTrace) {
  constexpr int kTraces = 6, kSamples = 128;
  std::vector<int32_t> raw(kTraces * kSamples);
  for (int b = 0; b < kTraces; ++b)
    for (int i = 0; i < kSamples; ++i) {
      const double t = i - 41.0 - (b % 2);  // the pulse wanders by a sample
      raw[static_cast<size_t>(b * kSamples + i)] =
          static_cast<int32_t>(std::lround(600000 * std::exp(-t * t / 18.0) * std::cos(t * 0.9)) + 1000);
    }
  const std::vector<int32_t> mean = tz::MeanTraceOfTerms(raw.data(), kTraces, kSamples, {});
  int64_t a = 0;
  for (int32_t m : mean) a += m;
  a /= kSamples;
  const std::vector<double> envelope = Envelope(mean);
  int expected = 0;
  double best = -1;
  for (int i = 0; i < kSamples; ++i)
    if (std::fabs(std::lround(envelope[static_cast<size_t>(i)]) - double(a)) > best) {
      best = std::fabs(std::lround(envelope[static_cast<size_t>(i)]) - double(a));
      expected = i;
    }
  EXPECT_NEAR(expected, 41, 2);
  EXPECT_EQ(tz::ZeroSampleOfMeanTrace(mean, 50.0), expected);
}

TEST(TimeZeroText, ShiftIsTimeTimesSpeedOverTwoThousand) {
  EXPECT_EQ(tz::ZeroLevelDepthText(10.0L, 100), QStringLiteral("0.50"));
  EXPECT_EQ(tz::ZeroLevelDepthText(0.0L, 100), QStringLiteral("0.00"));
  EXPECT_EQ(tz::ZeroLevelDepthText(123.4L, 299), QStringLiteral("18.45"));
}

}  // namespace time_zero_test
