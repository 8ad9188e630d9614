// The online stages' double forms against the extended ones they stand for. The
// wavelet filter's fast sum: the same bits for real Ricker taps, taps that make
// exact and near halves, sums beyond the int32 range, short traces and the edges,
// with and without AVX2; the background stage's window mean likewise.

#include "platform/rtl/rounding.h"
#include "radar/plugins_online.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace wavelet_sum_test {

struct TTapSet {
  std::string name;
  std::vector<long double> taps;
};

std::vector<long double> RickerTaps(long double timescale, long double dt) {
  std::vector<long double> line, taps;
  int32_t start = 0, stop = -1, count = 0;
  PluginsOnline::PrepareRickerTaps(timescale / 3.4L, dt, 1.0L, 450, 900, 0.0L, line, start, stop, count, taps);
  taps.resize(static_cast<size_t>(count));
  return taps;
}

std::vector<TTapSet> TapSets() {
  std::vector<TTapSet> sets;
  sets.push_back({"ricker 3 ns at 0.2 ns", RickerTaps(3.0L, 0.2L)});
  sets.push_back({"ricker 10 ns at 0.1 ns", RickerTaps(10.0L, 0.1L)});
  sets.push_back({"ricker 1 ns at 0.5 ns", RickerTaps(1.0L, 0.5L)});
  // Odd samples times these land exactly on halves: every output needs the chain.
  sets.push_back({"halves", {0.5L, -0.5L, 1.5L, 0.5L, -2.5L}});
  sets.push_back({"one half", {0.5L}});
  // Within the double products' error of a half, on either side.
  sets.push_back({"near halves", {0.5L + 0x1p-40L, 0.5L - 0x1p-45L, -0.5L + 0x1p-60L, 0.25L + 0x1p-50L}});
  // Sums past the int32 range, which the result saturates.
  sets.push_back({"large", {3.0L, -2.5L, 1.0000001L, 2.0L}});
  sets.push_back({"two taps", {0.3L, 0.7L}});
  return sets;
}

std::vector<int32_t> RandomTrace(std::mt19937& rng, int32_t n, int32_t kind) {
  std::uniform_int_distribution<int32_t> full(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
  std::uniform_int_distribution<int32_t> small(-40000, 40000);
  std::vector<int32_t> trace(static_cast<size_t>(n));
  for (int32_t& v : trace) {
    switch (kind) {
      case 0: v = full(rng); break;
      case 1: v = small(rng); break;
      case 2: v = small(rng) | 1; break;  // odd
      default: v = (full(rng) % 2 == 0) ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int32_t>::min();
    }
  }
  return trace;
}

TEST(WaveletSum, EqualsTheExtendedChainBitForBit) {
  std::mt19937 rng(20261211);
  const int32_t lengths[] = {1, 2, 3, 4, 5, 7, 8, 9, 12, 23, 44, 45, 46, 47, 60, 101, 1024};
  for (const TTapSet& set : TapSets()) {
    ASSERT_FALSE(set.taps.empty()) << set.name;
    const int32_t count = static_cast<int32_t>(set.taps.size());
    for (int32_t n : lengths) {
      for (int32_t kind = 0; kind < 4; ++kind) {
        for (int repeat = 0; repeat < (n >= 1024 ? 8 : 3); ++repeat) {
          const std::vector<int32_t> in = RandomTrace(rng, n, kind);
          std::vector<int32_t> expected(in.size(), 12345), fast(in.size(), -1), baseline(in.size(), -2);
          PluginsOnline::WaveletSumExact(in.data(), n, set.taps.data(), count, expected.data());
          PluginsOnline::WaveletSum(in.data(), n, set.taps.data(), count, fast.data(), true);
          PluginsOnline::WaveletSum(in.data(), n, set.taps.data(), count, baseline.data(), false);
          for (int32_t k = 0; k < n; ++k) {
            ASSERT_EQ(fast[k], expected[k]) << set.name << ", n " << n << ", data " << kind << ", k " << k;
            ASSERT_EQ(baseline[k], expected[k]) << set.name << ", n " << n << ", data " << kind << ", k " << k;
          }
        }
      }
    }
  }
}

// The cases where the double path must hand over: an exact half rounds to the even
// neighbour of the whole chain's sum, not of the product alone.
TEST(WaveletSum, ExactHalvesRoundToEvenOfTheRunningSum) {
  const std::vector<long double> taps = {0.5L, 0.5L, 0.5L};  // h = 2: out[k] reads in[k-2 .. k]
  const std::vector<int32_t> in = {2, 1, 3, 1, 0};
  std::vector<int32_t> out(in.size(), -1);
  PluginsOnline::WaveletSum(in.data(), 5, taps.data(), 3, out.data());
  // k = 0: in[0]: round(1) = 1
  // k = 1: in[0..1]: 1, round(1 + 0.5) = 2 (the product alone would round to 0)
  // k = 2: in[0..2]: 1, 2, round(2 + 1.5) = 4
  // k = 3: in[1..3]: round(0.5) = 0, round(0 + 1.5) = 2, round(2 + 0.5) = 2
  // k = 4: in[2..3] only (the last sample is never read): 2, round(2 + 0.5) = 2
  const std::vector<int32_t> expected = {1, 2, 4, 2, 2};
  EXPECT_EQ(out, expected);
}

// The background stage's window mean in doubles against the extended form: sums
// and divisors of every size the stage holds (up to 303 traces of any int32),
// divisors that make exact halves, and results past the int32 range.
TEST(WindowMeanOfWholeSums, EqualsTheExtendedFormBitForBit) {
  std::mt19937_64 rng(1211);
  std::uniform_int_distribution<int32_t> full(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
  const int32_t divisors[] = {1, 2, 3, 4, 7, 100, 101, 302, 303};
  for (int32_t divisor : divisors) {
    for (int32_t kind = 0; kind < 3; ++kind) {
      constexpr int32_t n = 1000;
      std::vector<int32_t> x(n);
      std::vector<long double> sums(n);
      for (int32_t i = 0; i < n; ++i) {
        x[i] = kind == 1 ? full(rng) % 1000 : full(rng);
        int64_t s = 0;
        if (kind == 2) {
          // s = x d - (j + 1/2) d for even d: a result of exactly j + 1/2.
          s = static_cast<int64_t>(x[i]) * divisor - (static_cast<int64_t>(full(rng) % 100000) * 2 + 1) * divisor / 2;
        } else {
          for (int32_t t = 0; t < divisor; ++t) s += kind == 1 ? full(rng) % 1000 : full(rng);
        }
        sums[i] = static_cast<long double>(s);
      }
      std::vector<int32_t> expected(n), fast(x);
      PluginsOnline::SubtractWindowMean(x.data(), sums.data(), static_cast<long double>(divisor), expected.data(), n);
      PluginsOnline::SubtractWindowMeanOfWholeSums(fast.data(), sums.data(), divisor, fast.data(), n);
      for (int32_t i = 0; i < n; ++i)
        ASSERT_EQ(fast[i], expected[i]) << "divisor " << divisor << ", data " << kind << ", i " << i;
    }
  }
}

// The gain stage's product: exact and near halves, saturation, factors beyond
// double's range and not a number.
TEST(GainProductRounded, EqualsTheExtendedFormBitForBit) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> full(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
  std::uniform_real_distribution<double> factor(0.0, 4.0);
  const long double specials[] = {0.5L, 1.5L, 0.5L + 0x1p-40L, 0.5L - 0x1p-45L, 2.5L + 0x1p-60L, 1.0L, 0.0L, -0.5L,
                                  0x1p-1070L, 1e-4940L, 1e4000L, std::numeric_limits<long double>::quiet_NaN()};
  for (int i = 0; i < 200000; ++i) {
    int32_t x = i % 3 == 0 ? (full(rng) % 100000) | 1 : full(rng);
    long double g = i % 2 == 0 ? specials[i / 2 % std::size(specials)] : static_cast<long double>(factor(rng)) + 0x1p-58L * (i % 7);
    if (i % 5 == 1) {
      // x g a few units of the double's last place from a half, on either side.
      x = full(rng) | 1;
      const int32_t k = full(rng) % 4000;
      g = (std::floor(x / 3.0L) + 0.5L) / x * (1.0L + k * 0x1p-62L);
    }
    ASSERT_EQ(PluginsOnline::GainProductRounded(x, g), RoundToInt32Fast(x * g)) << x << " x " << static_cast<double>(g);
  }
}

}  // namespace wavelet_sum_test
