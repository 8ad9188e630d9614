// The spectrum tool's computations without a window: the averaged line with
// its singly rounded terms and clamped centre, the frequency axis, the window
// statistics, the transform against direct sums, the harmonic kernels and the
// correlation's reach.

#include "tests/tools/tool_test_support.h"
#include "tools/imaging/spectrum_kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace spectrum_kernel_test {

// `traces` traces of `longTrace` samples, sample (t, e) = f(t, e).
template <class F>
std::vector<int32_t> Channel(int64_t traces, int longTrace, F f) {
  std::vector<int32_t> v;
  for (int64_t t = 0; t < traces; ++t)
    for (int e = 0; e < longTrace; ++e) v.push_back(f(t, e));
  return v;
}

TEST(SpectrumKernel, TheVerticalLineAveragesTheTracesAroundTheCentreTermByTerm) {
  // Trace t holds 22 x t + e: the mean of traces 0 .. 10 is 110 + e.
  const auto data = Channel(30, 4, [](int64_t t, int e) { return static_cast<int32_t>(22 * t + e); });
  const TSpectrumSamples s{data.data(), 30, 4};
  // k = 11, each term round((22 t + e) / 11) = 2 t + round(e / 11): e = 0 .. 3 add 0.
  EXPECT_EQ(AverageLine(s, false, 0, 10), (std::vector<double>{110, 110, 110, 110}));
  // Centre 20: traces 10 .. 29 are cut at the end, 10 .. 29 = 20 traces.
  const auto line = AverageLine(s, false, 25, 10);
  // k = 15 (traces 15 .. 29): sum of round((22 t + e) / 15).
  for (int e = 0; e < 4; ++e) {
    int64_t sum = 0;
    for (int t = 15; t <= 29; ++t) sum += std::llrint((22.0 * t + e) / 15.0);
    EXPECT_EQ(line[static_cast<size_t>(e)], static_cast<double>(sum)) << e;
  }
}

TEST(SpectrumKernel, EachTermIsRoundedHalfToEvenBeforeItIsAdded) {
  // Two traces of 1s: round(1 / 2) = 0 twice (a rounded mean would give 1);
  // 5s: round(2.5) = 2 twice = 4; 3s: round(1.5) = 2 twice = 4.
  const std::vector<int32_t> data{1, 5, 3, 1, 5, 3};
  const TSpectrumSamples s{data.data(), 2, 3};
  EXPECT_EQ(AverageLine(s, false, 0, 1), (std::vector<double>{0, 4, 4}));
  // Horizontally the rows of each trace: row 1 of 3 with +-1 = all three rows.
  // round(1/3) + round(5/3) + round(3/3) = 0 + 2 + 1.
  EXPECT_EQ(AverageLine(s, true, 1, 1), (std::vector<double>{3, 3}));
}

TEST(SpectrumKernel, ACentreOutsideTheChannelIsClampedIntoIt) {
  const auto data = Channel(5, 3, [](int64_t t, int e) { return static_cast<int32_t>(100 * t + e); });
  const TSpectrumSamples s{data.data(), 5, 3};
  struct TCase {
    bool horizontal;
    int64_t centre;
    std::vector<double> line;
  };
  const TCase cases[] = {
      {false, 1000, {400, 401, 402}},  // the last trace alone
      {false, -50, {0, 1, 2}},         // the first
      {true, 99, {2, 102, 202, 302, 402}},  // the last row
      {true, -7, {0, 100, 200, 300, 400}},  // the first row
  };
  for (const TCase& c : cases) EXPECT_EQ(AverageLine(s, c.horizontal, c.centre, 0), c.line) << c.centre;
  EXPECT_TRUE(AverageLine({data.data(), 0, 3}, false, 0, 10).empty());
  EXPECT_TRUE(AverageLine({data.data(), 5, 0}, true, 0, 10).empty());
}

TEST(SpectrumKernel, TheHighestFrequencyFollowsTheAntennaType) {
  struct TCase {
    int type;
    int32_t maxFr;
  };
  const TCase cases[] = {{0, 800},   {1, 300},  {4, 300},   {13, 300},  {2, 800},  {14, 800}, {3, 1200},
                         {15, 1200}, {16, 1000}, {17, 1000}, {19, 1000}, {20, 150}, {21, 150}, {23, 150},
                         {24, 77},   {30, 77},   {-1, 77}};
  for (const TCase& c : cases) EXPECT_EQ(MaxFrOfUnit(c.type, 77), c.maxFr) << c.type;
}

TEST(SpectrumKernel, TheFrequencyAxisOfBothModes) {
  // 600 traces at 60 traces per second: 10 s.
  const TFrequencyAxis h = FrequencyAxis(true, 600, 50, 1.0L / 60, 800);
  EXPECT_NEAR(static_cast<double>(h.dTime), 10000, 1e-9);
  EXPECT_EQ(h.MaxFr, 30);
  EXPECT_EQ(h.MinFr, 0);
  EXPECT_EQ(h.M, 300);
  // Vertical: a 200 ns trace up to 1200 MHz.
  const TFrequencyAxis v = FrequencyAxis(false, 600, 200, 1.0L / 60, 1200);
  EXPECT_EQ(v.dTime, 200);
  EXPECT_EQ(v.MaxFr, 1200);
  EXPECT_EQ(v.MinFr, 5);
  EXPECT_EQ(v.M, 240);
  // No traces: 1000 x StepTime.
  const TFrequencyAxis none = FrequencyAxis(false, 0, 200, 0.01L, 1200);
  EXPECT_NEAR(static_cast<double>(none.dTime), 10, 1e-12);
  // No time span: no entries and no division by it.
  for (const TFrequencyAxis& empty : {FrequencyAxis(false, 600, 0, 0.01L, 1200), FrequencyAxis(false, 600, -5, 0.01L, 1200),
                                      FrequencyAxis(true, 0, 200, 0, 1200)}) {
    EXPECT_EQ(empty.M, 0);
    EXPECT_EQ(empty.MinFr, 0);
  }
}

TEST(SpectrumKernel, TheWindowStatistics) {
  const std::vector<double> line{7, 1, 2, 9};
  const TLineStatistics two = WindowStatistics(line, 1, 2);
  EXPECT_DOUBLE_EQ(two.Mean, 1.5);
  EXPECT_NEAR(two.Deviation, std::sqrt(0.5), 1e-15) << "over k - 1";
  const TLineStatistics one = WindowStatistics(line, 3, 3);
  EXPECT_EQ(one.Mean, 9);
  EXPECT_EQ(one.Deviation, 0);
  // Reversed and overlong windows are the same window inside the line.
  EXPECT_DOUBLE_EQ(WindowStatistics(line, 2, 1).Mean, 1.5);
  EXPECT_DOUBLE_EQ(WindowStatistics(line, -4, 40).Mean, 19.0 / 4);
  EXPECT_EQ(WindowStatistics({}, 0, 5).Mean, 0);
}

// The transform's definition, in extended precision and direct sines.
std::vector<long double> DirectSpectrum(const std::vector<double>& line, int64_t a, int64_t b, int M) {
  const long double n = static_cast<long double>(line.size());
  std::vector<long double> out(static_cast<size_t>(M) + 1, 0);
  for (int k = 1; k <= M; ++k) {
    const long double w = 2 * std::numbers::pi_v<long double> * k / n;
    long double re = 0, im = 0;
    for (int64_t i = a; i <= b; ++i) {
      re += line[static_cast<size_t>(i)] * std::cos(w * i);
      im += line[static_cast<size_t>(i)] * std::sin(w * i);
    }
    out[static_cast<size_t>(k)] = std::sqrt(re * re + im * im) / n;
  }
  return out;
}

TEST(SpectrumKernel, TheTransformMatchesTheDirectSumsForAnyThreadCount) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> value(-1e6, 1e6);
  std::vector<double> line(3001);
  for (double& v : line) v = value(random);
  const int M = 700;
  const auto direct = DirectSpectrum(line, 400, 2600, M);
  std::vector<double> first;
  for (int threads : {1, 3, 8}) {
    PoolThreadsScope scope(threads);
    const std::vector<double> fast = AmplitudeSpectrum(line, 400, 2600, M);
    ASSERT_EQ(fast.size(), static_cast<size_t>(M) + 1);
    EXPECT_EQ(fast[0], 0);
    // Relative to the sum of the window's magnitudes over n, the scale of every entry.
    long double scale = 0;
    for (int64_t i = 400; i <= 2600; ++i) scale += std::fabs(line[static_cast<size_t>(i)]);
    scale /= static_cast<long double>(line.size());
    for (int k = 1; k <= M; ++k)
      ASSERT_NEAR(fast[static_cast<size_t>(k)], static_cast<double>(direct[static_cast<size_t>(k)]),
                  static_cast<double>(scale) * 1e-9)
          << k;
    if (first.empty()) first = fast;
    EXPECT_EQ(fast, first) << threads << " threads";
  }
}

TEST(SpectrumKernel, ACosineOverTheWholeLineGivesHalfItsAmplitude) {
  const int n = 512;
  std::vector<double> line(n);
  for (int i = 0; i < n; ++i) line[static_cast<size_t>(i)] = std::llrint(1000 * std::cos(2 * std::numbers::pi * 8 * i / n));
  const std::vector<double> s = AmplitudeSpectrum(line, 0, n - 1, 20);
  EXPECT_NEAR(s[8], 500, 0.5);
  EXPECT_LT(s[7], 1);
  EXPECT_LT(s[9], 1);
  // An empty line or window: zeros, no division by the length.
  EXPECT_EQ(AmplitudeSpectrum({}, 0, 10, 4), std::vector<double>(5, 0.0));
  EXPECT_EQ(AmplitudeSpectrum(line, -10, -2, 4), std::vector<double>(5, 0.0));
}

TEST(SpectrumKernel, EveryKernelsTapsAddUpToOneInAbsoluteValue) {
  // A 1024-sample line over 50 ns (vertical) and a 30000-trace line over 100 s.
  struct TLine {
    long double dTime;
    int64_t n;
  };
  for (const TLine& l : {TLine{50, 1024}, TLine{100000, 30000}}) {
    for (int h = HarmonicFirst; h <= HarmonicLast; ++h) {
      const THarmonicKernel k = PrepareHarmonicKernel(h, l.dTime, l.n, l.n);
      ASSERT_EQ(k.Line.size(), static_cast<size_t>(HarmonicLineLength));
      ASSERT_FALSE(k.Taps.empty()) << h;
      ASSERT_EQ(k.Taps.size(), static_cast<size_t>(k.Stop - k.Start + 1));
      long double sum = 0;
      for (double t : k.Taps) sum += std::fabs(t);
      EXPECT_NEAR(static_cast<double>(sum), 1, 1e-12) << h;
      // Trimmed at 1/1000 of the largest value: the ends reach it, the outside does not.
      EXPECT_GE(std::fabs(k.Line[static_cast<size_t>(k.Start)]), k.MaxLine / 1000);
      EXPECT_GE(std::fabs(k.Line[static_cast<size_t>(k.Stop)]), k.MaxLine / 1000);
      if (k.Start > 0) EXPECT_LT(std::fabs(k.Line[static_cast<size_t>(k.Start - 1)]), k.MaxLine / 1000);
      if (k.Stop < HarmonicLineLength - 1) EXPECT_LT(std::fabs(k.Line[static_cast<size_t>(k.Stop + 1)]), k.MaxLine / 1000);
      EXPECT_EQ(k.Taps[static_cast<size_t>(450 - k.Start)] > 0, true) << "the peak in the middle";
    }
  }
  // No line, or a kernel too narrow to reach 0.05: no taps.
  EXPECT_TRUE(PrepareHarmonicKernel(2, 50, 0, 1024).Taps.empty());
  EXPECT_TRUE(PrepareHarmonicKernel(2, 50, 1024, 0).Taps.empty());
}

TEST(SpectrumKernel, TheCorrelationNeverReadsTheLinesLastValue) {
  const std::vector<double> taps{0.25, -0.5, 0.25};  // round(3 / 2) = 2: taps at -2, -1, 0
  std::vector<double> line{1, 2, 4, 8, 16, 0};
  const std::vector<double> base = CorrelateHarmonic(line, 6, taps);
  line.back() = 1e30;
  EXPECT_EQ(CorrelateHarmonic(line, 6, taps), base);
  ASSERT_EQ(base.size(), 6u);
  // result[h] = sum of line[h + t - 2] tap[t] over 0 <= h + t - 2 <= 4.
  const std::vector<double> expected{0.25 * 1, -0.5 * 1 + 0.25 * 2, 0.25 * 1 - 0.5 * 2 + 0.25 * 4,
                                     0.25 * 2 - 0.5 * 4 + 0.25 * 8, 0.25 * 4 - 0.5 * 8 + 0.25 * 16,
                                     0.25 * 8 - 0.5 * 16};
  for (size_t h = 0; h < 6; ++h) EXPECT_DOUBLE_EQ(base[h], expected[h]) << h;
  // No taps, or a count beyond the line: only the line's positions, nothing read past it.
  EXPECT_EQ(CorrelateHarmonic(line, 6, {}), std::vector<double>(6, 0.0));
  EXPECT_EQ(CorrelateHarmonic(line, 60, taps).size(), 6u);
}

}  // namespace spectrum_kernel_test
