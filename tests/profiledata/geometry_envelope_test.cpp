#include "profiledata/geometry_gpr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<int, long double>>;

Entries EntriesOf(const std::vector<TMaxSample2>& list) {
  Entries out;
  for (const auto& e : list) out.emplace_back(e.NumSampleMax, e.AmplMax);
  return out;
}

std::vector<TMaxSample2> ListOf(const Entries& entries) {
  std::vector<TMaxSample2> list;
  for (const auto& [k, v] : entries) list.push_back(TMaxSample2{k, v, false});
  return list;
}

// Through (0,1), (2,5), (6,0): tangents s0 = 4/2 = 2, s1 = (4/2)/2 + (-5/2)/4 = 0.375,
// s2 = -5/4. With h00..h11 the Hermite basis at t:
//   k=1 (d=2, t=1/2): 1/2 + 1/8*2*2 + 5/2 - 1/8*2*0.375           = 3.40625
//   k=3 (d=4, t=1/4): 27/32*5 + 9/64*4*0.375 - 3/64*4*(-1.25)     = 4.6640625
//   k=4 (t=1/2):      5/2 + 1/8*4*0.375 - 1/8*4*(-1.25)           = 3.3125
//   k=5 (t=3/4):      5/32*5 + 3/64*4*0.375 - 9/64*4*(-1.25)      = 1.5546875
TEST(HermiteThroughExtrema, InterpolatesBetweenTheEntries) {
  std::vector<long double> e(7, 99.0L);
  HermiteThroughExtrema(ListOf({{0, 1}, {2, 5}, {6, 0}}), e);
  EXPECT_EQ(e, (std::vector<long double>{1, 3.40625L, 5, 4.6640625L, 3.3125L, 1.5546875L, 0}));
}

TEST(HermiteThroughExtrema, ReproducesAStraightLine) {
  // Points on y = 2k + 1: every tangent is 2 and the cubic collapses to the line.
  std::vector<long double> e(8);
  HermiteThroughExtrema(ListOf({{0, 1}, {3, 7}, {7, 15}}), e);
  for (int k = 0; k < 8; ++k) EXPECT_NEAR(e[k], 2.0L * k + 1, 1e-15L) << k;
}

// A list the interpolation cannot walk ends it before any interpolation; what it wrote
// is the entry values up to there, and no earlier content survives.
TEST(HermiteThroughExtrema, UnwalkableListsGiveEntryValuesOnly) {
  struct Case {
    const char* name;
    Entries list;
    std::vector<long double> expected;
  };
  const Case cases[] = {
      {"repeated index", {{0, 1}, {2, 5}, {2, 3}, {6, 0}}, {1, 0, 5, 0, 0, 0, 0}},
      {"index going back", {{0, 1}, {4, 5}, {2, 0}, {6, 0}}, {1, 0, 0, 0, 5, 0, 0}},
      {"index past the end", {{0, 1}, {2, 5}, {7, 0}}, {1, 0, 5, 0, 0, 0, 0}},
      {"negative index", {{-1, 2}, {3, 4}, {6, 1}}, {0, 0, 0, 0, 0, 0, 0}},
      {"single entry", {{3, 4}}, {0, 0, 0, 4, 0, 0, 0}},
      {"empty", {}, {0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    std::vector<long double> e(7, 99.0L);
    HermiteThroughExtrema(ListOf(c.list), e);
    EXPECT_EQ(e, c.expected) << c.name;
  }
}

// Trace x = 1 0 5 5 4 1 0 (trace 1 of a two-trace block). Maxima: (0,1), (2,5), (6,0).
// Pass 1: A = the curve above = 1, 3.40625, 5, 4.6640625, 3.3125, 1.5546875, 0, below x
// at 3 and 4: R = A - x = 0, 3.40625, 0, -0.3359375, -0.6875, 0.5546875, 0.
// Minima of R: (0,0), (4,-0.6875), (6,0); tangents -0.171875, 0.0859375, 0.34375:
//   E(1) = 9/64*4*(-0.171875) + 5/32*(-0.6875) - 3/64*4*0.0859375     = -0.22021484375
//   E(2) = 1/8*4*(-0.171875) + 1/2*(-0.6875) - 1/8*4*0.0859375        = -0.47265625
//   E(3) = 3/64*4*(-0.171875) + 27/32*(-0.6875) - 9/64*4*0.0859375    = -0.66064453125
//   E(5) = 1/2*(-0.6875) + 1/8*2*0.0859375 - 1/8*2*0.34375            = -0.408203125
// Pass 2: A - E lies nowhere below x, so the envelope is A - E.
TEST(TraceEnvelope, RaisesTheCurveWhereItFallsBelowTheTrace) {
  std::vector<long double> block{3, 1, 4, 1, 5, 9, 2,  //
                                 1, 0, 5, 5, 4, 1, 0};
  auto lists = std::make_unique<TarMax2InTraces>();
  ASSERT_EQ(FindTraceExtrema(1, 1, 7, *lists, block, true), 3);
  ASSERT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 1}, {2, 5}, {6, 0}}));

  TraceEnvelope(1, 7, 2, *lists, block);
  const std::vector<long double> expected{1,      3.62646484375L, 5.47265625L, 5.32470703125L,
                                          4,      1.962890625L,   0};
  EXPECT_EQ(std::vector<long double>(block.begin() + 7, block.end()), expected);
  EXPECT_EQ(std::vector<long double>(block.begin(), block.begin() + 7),
            (std::vector<long double>{3, 1, 4, 1, 5, 9, 2}));
  // The list holds the last search made: the minima of R.
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 0}, {4, -0.6875L}, {6, 0}}));
}

// 0 4 0 4 0: maxima (0,0), (1,4), (4,0); the crest at 3 = n - 2 is no candidate.
// Curve: s = 4, 4/3, -4/3 and on 1..4 (d = 3) E(2) = 80/27 + 16/27 + 8/27 = 104/27,
// E(3) = 28/27 + 8/27 + 16/27 = 52/27 < 4. R = 0 0 104/27 -56/27 0 has its minimum at 3
// too, out of the search's reach, so the minima are (0,0), (4,0), their curve is 0 and
// the refinement stops with the envelope below the trace at sample 3.
TEST(TraceEnvelope, SecondToLastSampleIsNotReached) {
  std::vector<long double> block{0, 4, 0, 4, 0};
  auto lists = std::make_unique<TarMax2InTraces>();
  FindTraceExtrema(0, 0, 5, *lists, block, true);
  TraceEnvelope(0, 5, 1, *lists, block);
  const long double expected[] = {0, 4, 104.0L / 27, 52.0L / 27, 0};
  for (int k = 0; k < 5; ++k) EXPECT_NEAR(block[k], expected[k], 1e-15L) << k;
  EXPECT_EQ(EntriesOf((*lists)[0]), (Entries{{0, 0}, {4, 0}}));
}

TEST(TraceEnvelope, ConstantTraceIsItsOwnEnvelope) {
  for (long double c : {1e6L, 7.25L, 1.5241578750190521e16L}) {
    std::vector<long double> block(64, c);
    auto lists = std::make_unique<TarMax2InTraces>();
    FindTraceExtrema(0, 0, 64, *lists, block, true);
    TraceEnvelope(0, 64, 1, *lists, block);
    // Within a few units of the last place of the 64-bit mantissa (2^-64 = 5.4e-20).
    for (int k = 0; k < 64; ++k)
      EXPECT_LE(std::fabs(block[k] - c), c * 1e-18L) << "c = " << static_cast<double>(c) << ", k = " << k;
  }
}

// (1000 sin(2 pi k / 16))^2 over 64 samples: crests of 10^6 at k = 4, 12, ..., 60. The
// envelope never falls below the signal and passes through every inner crest; the outer
// crests at 4 and 60 lie next to the near-zero end samples and may be overshot.
TEST(TraceEnvelope, SquaredSineStaysAboveAndTouchesTheCrests) {
  std::vector<long double> x(64);
  for (int k = 0; k < 64; ++k) {
    const long double v = std::round(1000 * std::sin(2 * std::numbers::pi * k / 16));
    x[k] = v * v;
  }
  auto block = x;
  auto lists = std::make_unique<TarMax2InTraces>();
  FindTraceExtrema(0, 0, 64, *lists, block, true);
  TraceEnvelope(0, 64, 1, *lists, block);
  for (int k = 0; k < 64; ++k) EXPECT_GE(block[k], x[k]) << k;
  for (int k = 12; k <= 52; k += 8) EXPECT_EQ(block[k], 1e6L) << k;
}

TEST(TraceEnvelope, RefusesTracesOutsideTheLimits) {
  struct Case {
    const char* name;
    int trace, samples, traces;
    size_t blockSize;
  };
  const Case cases[] = {
      {"no samples", 0, 0, 1, 8},
      {"trace past the count", 2, 4, 2, 12},
      {"negative trace", -1, 4, 2, 8},
      {"block shorter than the trace", 1, 4, 2, 7},
      {"trace without a list", 40000, 1, 40001, 40001},
  };
  for (const auto& c : cases) {
    std::vector<long double> block(c.blockSize);
    for (size_t k = 0; k < block.size(); ++k) block[k] = static_cast<long double>(k % 5);
    const auto before = block;
    auto lists = std::make_unique<TarMax2InTraces>();
    lists->back() = ListOf({{0, 9}, {1, 9}});
    (*lists)[0] = ListOf({{0, 9}, {1, 9}});
    TraceEnvelope(c.trace, c.samples, c.traces, *lists, block);
    EXPECT_EQ(block, before) << c.name;
    EXPECT_EQ(lists->back().size(), 2u) << c.name;
    EXPECT_EQ((*lists)[0].size(), 2u) << c.name;
  }
}

// The i32 pipeline squares, takes the envelope and writes round(sqrt). 0 2 0 2 0 squares
// to the trace above: envelope 0, 4, 104/27, 52/27, 0 -> 0, 2, round(1.9626) = 2,
// round(1.3878) = 1, 0.
TEST(ExtremaInTraces, EnvelopeInAmplitudeUnits) {
  struct Case {
    const char* name;
    std::vector<int32_t> trace, expected;
  };
  const Case cases[] = {
      {"short trace", {0, 2, 0, 2, 0}, {0, 2, 2, 1, 0}},
      {"positive constant", std::vector<int32_t>(40, 1000), std::vector<int32_t>(40, 1000)},
      {"negative constant", std::vector<int32_t>(40, -1000), std::vector<int32_t>(40, 1000)},
      {"largest value", std::vector<int32_t>(40, INT32_MAX), std::vector<int32_t>(40, INT32_MAX)},
      // sqrt(2^62) = 2^31 does not fit: saturated.
      {"smallest value", std::vector<int32_t>(40, INT32_MIN), std::vector<int32_t>(40, INT32_MAX)},
  };
  for (const auto& c : cases) {
    auto data = c.trace;
    auto lists = std::make_unique<TarMax2InTraces>();
    FindExtremaInTraces(static_cast<int>(data.size()), 1, true, *lists, data, otAmplitude, true);
    EXPECT_EQ(data, c.expected) << c.name;
  }
}

// A carrier of period 8 under the envelope |sin(pi k / 32)|: two lobes meeting at 32.
// With otFreq the second lobe comes out negative; magnitudes are those of otAmplitude,
// and each trace starts again at +1 (two equal traces give equal output).
TEST(ExtremaInTraces, FrequencyOutputAlternatesTheLobes) {
  constexpr int n = 64;
  std::vector<int32_t> source(2 * n);
  for (int t = 0; t < 2; ++t)
    for (int k = 0; k < n; ++k)
      source[t * n + k] = static_cast<int32_t>(
          std::lround(1000 * std::sin(std::numbers::pi * k / 32) * std::cos(2 * std::numbers::pi * k / 8)));

  auto lists = std::make_unique<TarMax2InTraces>();
  auto amplitude = source;
  FindExtremaInTraces(n, 2, true, *lists, amplitude, otAmplitude, true);
  auto frequency = source;
  FindExtremaInTraces(n, 2, true, *lists, frequency, otFreq, true);

  for (int k = 0; k < 2 * n; ++k) {
    EXPECT_GE(amplitude[k], 0) << k;
    EXPECT_EQ(std::abs(frequency[k]), amplitude[k]) << k;
  }
  for (int k = 1; k < 32; ++k) EXPECT_GT(frequency[k], 0) << k;
  for (int k = 33; k < n; ++k) EXPECT_LT(frequency[k], 0) << k;
  EXPECT_EQ(amplitude[16], 1000);  // the crest of the first lobe is reached
  EXPECT_EQ(frequency[48], -1000);
  EXPECT_TRUE(std::equal(frequency.begin(), frequency.begin() + n, frequency.begin() + n));
}

// Traces longer than 1601 samples and channels of more than 40000 traces get their
// envelope as any other: the same values as the same trace among short ones.
TEST(ExtremaInTraces, LongTracesAndManyTracesAreEnveloped) {
  constexpr int n = 2400;
  std::vector<int32_t> data(n, 0);
  for (int k = 0; k < n; ++k)
    data[k] = static_cast<int32_t>(std::lround(1000 * std::sin(std::numbers::pi * k / 1200) *
                                               std::cos(2 * std::numbers::pi * k / 8)));
  const auto before = data;
  auto lists = std::make_unique<TarMax2InTraces>();
  FindExtremaInTraces(n, 1, true, *lists, data, otAmplitude, true);
  EXPECT_NE(data, before);
  for (int k = 0; k < n; ++k) ASSERT_GE(data[k], std::abs(before[k])) << k;
  EXPECT_EQ(data[600], 1000) << "the crest of the lobe";
  EXPECT_FALSE((*lists)[0].empty());

  // 40001 traces of 5 samples: the last one has no list and is enveloped all the same.
  std::vector<int32_t> many(40001 * 5);
  for (size_t i = 0; i < many.size(); ++i) many[i] = std::vector<int32_t>{0, 2, 0, 2, 0}[i % 5];
  FindExtremaInTraces(5, 40001, true, *lists, many, otAmplitude, true);
  for (int t : {0, 39999, 40000})
    EXPECT_EQ(std::vector<int32_t>(many.begin() + t * 5, many.begin() + t * 5 + 5), (std::vector<int32_t>{0, 2, 2, 1, 0}))
        << t;
}

// Traces longer than 1601 samples get their envelope too, and the samples of a short
// trace come out the same whether it is alone or the head of a long one.
TEST(ExtremaInTraces, LongTracesGetTheirEnvelopeAndLists) {
  std::vector<int32_t> data(2000, 0);
  data[0] = -3;
  data[100] = 5;
  auto lists = std::make_unique<TarMax2InTraces>();
  FindExtremaInTraces(2000, 1, true, *lists, data, otAmplitude, true);
  // The list holds the last search of the refinement, over the whole trace.
  ASSERT_FALSE((*lists)[0].empty());
  EXPECT_EQ((*lists)[0].back().NumSampleMax, 1999);
  EXPECT_EQ(data[0], 3) << "the envelope, not the raw trace";
  EXPECT_EQ(data[100], 5);
  EXPECT_GT(data[50], 0) << "the curve from the first maximum to the next";

  // A sine carrier: the envelope of a 2000-sample trace lies on the crests.
  std::vector<int32_t> sine(2000);
  for (int k = 0; k < 2000; ++k)
    sine[static_cast<size_t>(k)] = static_cast<int32_t>(std::lround(1000 * std::sin(2 * std::numbers::pi * k / 16)));
  auto envelope = sine;
  FindExtremaInTraces(2000, 1, true, *lists, envelope, otAmplitude, true);
  for (int k = 20; k < 1980; ++k) EXPECT_NEAR(envelope[static_cast<size_t>(k)], 1000, 30) << k;
}

// Lists given as a span of any length bound the traces worked on.
TEST(ExtremaInTraces, ListsOfAnyCountBoundTheTraces) {
  std::vector<int32_t> data{0, 4, 0, -4, 0, 4, 0, -4, 0, 4, 0, -4};
  std::vector<std::vector<TMaxSample2>> lists(2);
  auto table = std::make_unique<TarMax2InTraces>();
  auto expected = data;
  FindExtremaInTraces(4, 3, true, *table, expected, otAmplitude, true);
  FindExtremaInTraces(4, 3, true, lists, data, otAmplitude, true);
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 8, expected.begin()));
  EXPECT_EQ(std::vector<int32_t>(data.begin() + 8, data.end()), (std::vector<int32_t>{0, 4, 0, -4}));
}

}  // namespace
