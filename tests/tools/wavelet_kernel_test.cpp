// The wavelet filters' kernels and correlations on their own: the taps of the
// time scale at a sample interval, the one kernel builder shared with the online
// stage, and both correlations against a direct sum over the taps with the
// edge rules written out.

#include "profiledata/setting_data.h"
#include "radar/plugins_online.h"
#include "tests/tools/tool_test_support.h"
#include "tools/wavelet_kernel.h"

#include <gtest/gtest.h>

#include <vector>

namespace wavelet_kernel_test {

// The sum of one output sample written out: taps in order, p < 0 adds nothing,
// p past the end mirrors, a mirrored position before the start adds nothing.
long double DirectSum(const std::vector<int32_t>& x, int64_t stride, int64_t count, int64_t offset,
                      const std::vector<long double>& taps, int64_t k) {
  const int64_t n = static_cast<int64_t>(taps.size());
  const int64_t half = KernelHalf(static_cast<int32_t>(n));
  long double sum = 0;
  for (int64_t l = 0; l < n; ++l) {
    int64_t p = k + l - half;
    if (p < 0) continue;
    if (p > count - 1) p = 2 * (count - 1) - p;
    if (p < 0) continue;
    sum += taps[static_cast<size_t>(l)] * x[static_cast<size_t>(offset + p * stride)];
  }
  return sum;
}

std::vector<long double> Taps(int n, int seed) {
  std::vector<long double> taps;
  for (int i = 0; i < n; ++i) taps.push_back(((i * 37 + seed * 11) % 23 - 11) / 97.0L);
  return taps;
}

TEST(WaveletKernel, TwoNanosecondsAtATenthOfANanosecond) {
  auto channel = MakeChannel(1, 1000);
  TSettingData& settings = *channel->Settings();
  settings.RestoreSpanWidth(100.0);
  std::vector<long double> line;
  int32_t start = 0, stop = 0, length = 0;
  std::vector<long double> taps;
  PluginsOnline::PrepareWaveletTaps(2.0L, &settings, line, start, stop, length, taps, 1.0L, 0.05L);
  EXPECT_EQ(start, 421);
  EXPECT_EQ(stop, 479);
  EXPECT_EQ(length, 59);
  EXPECT_EQ(KernelHalf(length), 30) << "m = 29 is odd: half = m + 1";
  long double absSum = 0;
  for (long double t : taps) absSum += t < 0 ? -t : t;
  EXPECT_NEAR(static_cast<double>(absSum), 1.0, 1e-15);
  for (int i = 0; i < length; ++i) EXPECT_EQ(taps[i], taps[length - 1 - i]) << "symmetric about 450";

  // One harmonic is the online stage's kernel bit for bit.
  std::vector<long double> onlineLine, onlineTaps;
  int32_t os = 0, oe = 0, ol = 0;
  PluginsOnline::PrepareWaveletTaps(2.0L, &settings, onlineLine, os, oe, ol, onlineTaps);
  EXPECT_EQ(onlineTaps, taps);
  EXPECT_EQ(ol, length);

  // Below 0.17 ns the width is under 0.05: no taps for the tool; the online stage
  // (no such rule) still has some.
  PluginsOnline::PrepareWaveletTaps(0.16L, &settings, line, start, stop, length, taps, 1.0L, 0.05L);
  EXPECT_EQ(length, 0);
  EXPECT_TRUE(taps.empty());
  EXPECT_GT(start, stop);
  PluginsOnline::PrepareWaveletTaps(0.16L, &settings, onlineLine, os, oe, ol, onlineTaps);
  EXPECT_GT(ol, 0);
}

TEST(WaveletKernel, WideKernelsAreKeptWhole) {
  auto channel = MakeChannel(1, 1000);
  TSettingData& settings = *channel->Settings();
  settings.RestoreSpanWidth(20.0);  // 0.02 ns a sample: a 20 ns wavelet spans the line
  std::vector<long double> line, taps;
  int32_t start = 0, stop = 0, length = 0;
  PluginsOnline::PrepareWaveletTaps(20.0L, &settings, line, start, stop, length, taps, 1.0L, 0.05L);
  EXPECT_GT(length, 300);
  EXPECT_EQ(static_cast<int32_t>(taps.size()), length);
  TWaveletKernels kernels;
  kernels.CorFunc = taps;
  kernels.CorLength = length;
  kernels.line = line;
  kernels.StoreHarmonic(2);
  EXPECT_EQ(kernels.Taps(2), taps);
  EXPECT_EQ(kernels.TapCount(2), length);
}

TEST(WaveletKernel, HarmonicWeights) {
  EXPECT_EQ(HarmonicWeight(0, 0), 1.0L);
  EXPECT_NEAR(static_cast<double>(HarmonicWeight(1, 2)), std::exp(-1.0 / 2.0), 1e-15);  // s = 1
  EXPECT_NEAR(static_cast<double>(HarmonicWeight(3, 2)), std::exp(-9.0 / 2.0), 1e-15);
}

struct TTraceCase {
  int L;
  int taps;
};

TEST(WaveletKernel, TraceCorrelationMatchesTheDirectSum) {
  // Kernels shorter than, as long as and longer than the trace (mirrored
  // positions before the first sample add nothing), odd and even tap counts.
  const std::vector<TTraceCase> cases{{64, 1}, {64, 2}, {64, 9}, {64, 59}, {7, 9}, {5, 12}, {3, 59}, {1, 4}, {64, 64}};
  for (const TTraceCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "L " << c.L << ", taps " << c.taps);
    std::vector<int32_t> x;
    for (int k = 0; k < c.L; ++k) x.push_back(TestSample(3, k));
    const std::vector<long double> taps = Taps(c.taps, c.L);
    std::vector<long double> acc(static_cast<size_t>(c.L), 0.5L);
    CorrelateTrace(x.data(), c.L, taps.data(), c.taps, KernelHalf(c.taps), acc.data());
    for (int k = 0; k < c.L; ++k) EXPECT_EQ(acc[static_cast<size_t>(k)], 0.5L + DirectSum(x, 1, c.L, 0, taps, k)) << k;
  }
}

TEST(WaveletKernel, EdgesOfATrace) {
  // Three taps, half 2 (round(1.5) to even): out[k] = x[k-2] + 10 x[k-1] + 100 x[k].
  const std::vector<int32_t> x{1, 2, 3, 4};
  const std::vector<long double> taps{1, 10, 100};
  std::vector<long double> acc(4, 0.0L);
  CorrelateTrace(x.data(), 4, taps.data(), 3, KernelHalf(3), acc.data());
  EXPECT_EQ(acc, (std::vector<long double>{100, 210, 321, 432})) << "before sample 0 nothing";
  // Half 0: out[k] = x[k] + 10 x[k+1] + 100 x[k+2], past the end mirrored.
  CorrelateTrace(x.data(), 4, taps.data(), 3, 0, acc.data());
  EXPECT_EQ(acc, (std::vector<long double>{100 + 321, 210 + 432, 321 + 3 + 40 + 300, 432 + 4 + 30 + 200}));
}

TEST(WaveletKernel, RowCorrelationMatchesTheDirectSumForAnyBlocks) {
  for (const TTraceCase& c : std::vector<TTraceCase>{{9, 11}, {3, 25}, {2, 40}, {17, 4}}) {
    const int64_t N = c.L;  // traces
    const int L = 7;
    SCOPED_TRACE(testing::Message() << "N " << N << ", taps " << c.taps);
    const std::vector<int32_t> x = TestTraces(N, L);
    const std::vector<long double> taps = Taps(c.taps, 5);
    std::vector<long double> whole(static_cast<size_t>(N * L), 0.0L);
    CorrelateRows(x.data(), N, L, taps.data(), c.taps, KernelHalf(c.taps), 0, N, whole.data());
    for (int64_t t = 0; t < N; ++t)
      for (int s = 0; s < L; ++s)
        ASSERT_EQ(whole[static_cast<size_t>(t * L + s)], DirectSum(x, L, N, s, taps, t)) << t << ", " << s;
    // Split into blocks: the same sums.
    std::vector<long double> split(static_cast<size_t>(N * L), 0.0L);
    for (int64_t a = 0; a < N; a += 2)
      CorrelateRows(x.data(), N, L, taps.data(), c.taps, KernelHalf(c.taps), a, std::min<int64_t>(N, a + 2),
                    split.data() + a * L);
    EXPECT_EQ(split, whole);
  }
}

}  // namespace wavelet_kernel_test
