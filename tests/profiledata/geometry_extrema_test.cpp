#include "profiledata/geometry_gpr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace geometry_extrema_test {

using Entries = std::vector<std::pair<int, long double>>;

Entries EntriesOf(const std::vector<TMaxSample2>& list) {
  Entries out;
  for (const auto& e : list) {
    EXPECT_FALSE(e.isPolochka);
    out.emplace_back(e.NumSampleMax, e.AmplMax);
  }
  return out;
}

std::vector<long double> Extended(const std::vector<int32_t>& v) { return {v.begin(), v.end()}; }

const TMaxSample2 kStale{77, 77.0L, true};

// Each series is searched as one trace; the expected lists are traced by hand through
// the walk (candidate f = i + 1 with its neighbours, runs handled first).
struct SeriesCase {
  std::string name;
  std::vector<int32_t> x;
  bool maxima;
  Entries expected;
};

void PrintTo(const SeriesCase& c, std::ostream* os) { *os << c.name; }

class TraceExtrema : public testing::TestWithParam<SeriesCase> {};

TEST_P(TraceExtrema, ListsTheExtrema) {
  const auto& c = GetParam();
  auto lists = std::make_unique<TarMax2InTraces>();
  (*lists)[5] = {kStale, kStale};
  const auto block = Extended(c.x);
  const int n = static_cast<int>(c.x.size());
  const int written = FindTraceExtrema(0, 5, n, *lists, block, c.maxima);
  EXPECT_EQ(EntriesOf((*lists)[5]), c.expected);
  EXPECT_EQ(written, static_cast<int>(c.expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, TraceExtrema,
    testing::Values(
        // One positive peak: sample 0, the peak, the last sample. The bump at 7 (-2) is
        // a maximum but not above 0.
        SeriesCase{"OnePeak", {-1, 2, 5, 9, 4, 1, -3, -2, -4, -5}, true, {{0, -1}, {3, 9}, {9, -5}}},
        SeriesCase{"OneTrough", {-1, 2, 5, 9, 4, 1, -3, -2, -4, -5}, false, {{0, -1}, {6, -3}, {9, -5}}},
        // Clipped peak at samples 40..49: met as a run to the right at i = 39 (run of
        // 9 extra samples), reported at 39, (9 - 2) div 2 + 40 = 43 and 47.
        SeriesCase{"ClippedPlateauInTheMiddle",
                   [] {
                     std::vector<int32_t> x(60);
                     for (int k = 0; k < 60; ++k) x[k] = k < 40 ? k : k < 50 ? 100 : 100 - 5 * (k - 49);
                     return x;
                   }(),
                   true,
                   {{0, 0}, {39, 100}, {43, 100}, {47, 100}, {59, 50}}},
        // A run from sample 0 (x0..x5): met as a run to the left, 0 is not repeated,
        // middle (5 - 2) div 2 + 1 = 2, last i - 1 = 4; then the peak at 8.
        SeriesCase{"PlateauAtTheStart",
                   {7, 7, 7, 7, 7, 7, 3, 1, 5, 2, 0, -1},
                   true,
                   {{0, 7}, {2, 7}, {4, 7}, {8, 5}, {11, -1}}},
        // A run to the end (x3..x9): the walk stops at i = n - 3 = 7, so the run is
        // reported at 2 (the sample before it, holding the run value), 4 and 6.
        SeriesCase{"PlateauAtTheEnd",
                   {0, 3, 1, 4, 4, 4, 4, 4, 4, 4},
                   true,
                   {{0, 0}, {1, 3}, {2, 4}, {4, 4}, {6, 4}, {9, 4}}},
        // A two-sample top is a short run: reported once, at its first sample.
        SeriesCase{"ShortFlatTop", {0, 1, 6, 6, 2, 0, -1, -2}, true, {{0, 0}, {2, 6}, {7, -2}}},
        // After a short run to the left (x0 = x1) the candidate index stays at the
        // run's middle: the peak x2 = 7 is listed at sample 1. The zeros x3..x7 that
        // follow are a long run to the right, listed at 2, 4 and 5.
        SeriesCase{"PeakAfterAShortRunIsListedEarly",
                   {0, 0, 7, 0, 0, 0, 0, 0, 5},
                   true,
                   {{0, 0}, {1, 7}, {2, 0}, {4, 0}, {5, 0}, {8, 5}}},
        // A peak at 2 falling onto a long run x3..x8: the run would also be listed at
        // 2; the peak keeps that index alone.
        SeriesCase{"PeakFallingOntoARunKeepsItsIndex",
                   {0, 2, 9, 1, 1, 1, 1, 1, 1, 0, 3, 0},
                   true,
                   {{0, 0}, {2, 9}, {4, 1}, {6, 1}, {11, 0}}},
        SeriesCase{"RunAfterARiseInMinimaMode",
                   {0, 2, 9, 1, 1, 1, 1, 1, 1, 0, 3, 0},
                   false,
                   {{0, 0}, {2, 1}, {4, 1}, {6, 1}, {9, 0}, {11, 0}}},
        // The candidate never passes n - 3: the trough at n - 2 is not listed.
        SeriesCase{"SecondToLastSampleIsNoCandidate", {0, 4, 0, 4, 0}, true, {{0, 0}, {1, 4}, {4, 0}}},
        SeriesCase{"ThreeSamples", {1, 9, 1}, true, {{0, 1}, {2, 1}}},
        SeriesCase{"TwoSamples", {3, -3}, false, {{0, 3}, {1, -3}}},
        SeriesCase{"OneSampleIsListedOnce", {6}, true, {{0, 6}}}),
    [](const auto& info) { return info.param.name; });

// Random series of few distinct values (many runs, short and long): the list always
// starts at 0, ends at n - 1 and has strictly increasing indices, which the envelope's
// interpolation needs.
TEST(TraceExtrema, IndicesAlwaysIncrease) {
  uint32_t state = 12345;
  const auto next = [&state] { return state = state * 1664525u + 1013904223u, state >> 16; };
  std::vector<TMaxSample2> list;
  for (int round = 0; round < 20000; ++round) {
    const int n = 2 + static_cast<int>(next() % 40);
    std::vector<long double> x(static_cast<size_t>(n));
    for (auto& v : x) v = static_cast<int>(next() % 3) - 1;
    for (bool maxima : {true, false}) {
      for (int longRun : {TraceLongRun, RowLongRun, 5}) {
        geometry_detail::FindSeriesExtrema(x.data(), 1, n, longRun, maxima, list);
        ASSERT_GE(list.size(), 2u);
        ASSERT_EQ(list.front().NumSampleMax, 0);
        ASSERT_EQ(list.back().NumSampleMax, n - 1);
        for (size_t j = 1; j < list.size(); ++j) ASSERT_LT(list[j - 1].NumSampleMax, list[j].NumSampleMax);
      }
    }
  }
}

TEST(TraceExtrema, SearchesTheAskedTraceOfTheBlock) {
  // Three traces of 6 samples; trace 1 has its peak at 2, trace 2 at 3.
  const std::vector<long double> block{0, 0, 0, 0, 0, 0,  //
                                       1, 2, 8, 3, 2, 1,  //
                                       1, 2, 3, 8, 2, 1};
  auto lists = std::make_unique<TarMax2InTraces>();
  EXPECT_EQ(FindTraceExtrema(1, 0, 6, *lists, block, true), 3);
  EXPECT_EQ(EntriesOf((*lists)[0]), (Entries{{0, 1}, {2, 8}, {5, 1}}));
  EXPECT_EQ(FindTraceExtrema(2, 39999, 6, *lists, block, true), 3);
  EXPECT_EQ(EntriesOf((*lists)[39999]), (Entries{{0, 1}, {3, 8}, {5, 1}}));
}

TEST(TraceExtrema, OutOfRangeArgumentsTouchNothingBeyondTheList) {
  const std::vector<long double> block{1, 2, 8, 3, 2, 1};
  auto lists = std::make_unique<TarMax2InTraces>();
  (*lists)[0] = {kStale};
  (*lists)[39999] = {kStale};

  // No such list.
  EXPECT_EQ(FindTraceExtrema(0, -1, 6, *lists, block, true), 0);
  EXPECT_EQ(FindTraceExtrema(0, 40000, 6, *lists, block, true), 0);
  EXPECT_EQ((*lists)[0].size(), 1u);
  EXPECT_EQ((*lists)[39999].size(), 1u);

  // A source trace outside the block, or no samples: the list is emptied, not left
  // holding an earlier search.
  struct Case {
    int trace, samples;
  };
  for (const Case c : {Case{1, 6}, Case{-1, 6}, Case{0, 7}, Case{0, 0}, Case{0, -3}}) {
    (*lists)[0] = {kStale};
    EXPECT_EQ(FindTraceExtrema(c.trace, 0, c.samples, *lists, block, true), 0);
    EXPECT_TRUE((*lists)[0].empty()) << c.trace << " " << c.samples;
  }
}

// The same series along a row, transposed into 12 traces of 2 samples. Across traces
// a run counts as long only beyond 300 traces, so the top x3..x7 is one candidate at
// its middle index (6 - 2 - 2) div 2 + 3 = 4; along a trace it is a run listed at 2, 4, 5.
TEST(RowExtrema, RunsAcrossTracesAreLongOnlyBeyond300) {
  const std::vector<int32_t> series{0, 1, 2, 8, 8, 8, 8, 8, 3, 1, 0, -1};
  std::vector<long double> rows(series.size() * 2, 0.0L);
  for (size_t t = 0; t < series.size(); ++t) rows[t * 2 + 1] = series[t];
  auto lists = std::make_unique<TarMax2InTraces>();

  EXPECT_EQ(FindRowExtrema(1, 2, *lists, rows, true, 12), 3);
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 0}, {4, 8}, {11, -1}}));

  const auto trace = Extended(series);
  FindTraceExtrema(0, 2, 12, *lists, trace, true);
  EXPECT_EQ(EntriesOf((*lists)[2]), (Entries{{0, 0}, {2, 8}, {4, 8}, {5, 8}, {11, -1}}));
}

TEST(RowExtrema, RefusesRowsOutsideTheBlock) {
  const std::vector<long double> rows{1, 2, 3, 4, 5, 6};  // 3 traces of 2 samples
  auto lists = std::make_unique<TarMax2InTraces>();
  // Row 2 of 2-sample traces does not exist: its list is emptied. Row -1 has no list.
  (*lists)[2] = {kStale};
  EXPECT_EQ(FindRowExtrema(2, 2, *lists, rows, true, 3), 0);
  EXPECT_TRUE((*lists)[2].empty());
  EXPECT_EQ(FindRowExtrema(-1, 2, *lists, rows, true, 3), 0);
  EXPECT_EQ(FindRowExtrema(40000, 2, *lists, rows, true, 3), 0);
  (*lists)[0] = {kStale};
  EXPECT_EQ(FindRowExtrema(0, 2, *lists, rows, true, 4), 0);  // trace 3 does not exist
  EXPECT_TRUE((*lists)[0].empty());
  EXPECT_EQ(FindRowExtrema(0, 2, *lists, rows, true, 3), 2);
  EXPECT_EQ(EntriesOf((*lists)[0]), (Entries{{0, 1}, {2, 5}}));
}

// 310 traces of 2 samples. Row 0: 0, 1, then 305 traces of 5 (2..306), 2, 1, 0; the
// run to the right from i = 1 ends at i = 305: 304 extra traces > 300, listed at 1,
// (304 - 2) div 2 + 2 = 153 and 304. Row 1 is constant: a run to the left from 0 up to
// the walk's end i = 307, middle (307 - 2) div 2 + 1 = 153, last 306.
TEST(RowExtrema, PipelineListsEveryRow) {
  constexpr int kTraces = 310;
  std::vector<int32_t> data(kTraces * 2);
  for (int t = 0; t < kTraces; ++t) {
    data[t * 2] = t == 0 ? 0 : t == 1 ? 1 : t <= 306 ? 5 : 309 - t;
    data[t * 2 + 1] = 3;
  }
  const auto before = data;
  auto lists = std::make_unique<TarMax2InTraces>();
  (*lists)[2] = {kStale};
  FindExtremaInRows(2, kTraces, true, *lists, data);
  EXPECT_EQ(EntriesOf((*lists)[0]), (Entries{{0, 0}, {1, 5}, {153, 5}, {304, 5}, {309, 0}}));
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 3}, {153, 3}, {306, 3}, {309, 3}}));
  EXPECT_EQ((*lists)[2].size(), 1u);  // no third row
  EXPECT_EQ(data, before);
}

TEST(RowExtrema, PipelineStaysWithinTheBlockAndTheLists) {
  auto lists = std::make_unique<TarMax2InTraces>();
  // Five traces announced, two in the block: the rows run over the two.
  const std::vector<int32_t> data{4, 1, 2, 6};
  FindExtremaInRows(2, 5, true, *lists, data);
  EXPECT_EQ(EntriesOf((*lists)[0]), (Entries{{0, 4}, {1, 2}}));
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 1}, {1, 6}}));

  // 40001 rows of one trace: the last row has no list.
  const std::vector<int32_t> tall(40001, 9);
  FindExtremaInRows(40001, 1, true, *lists, tall);
  EXPECT_EQ(EntriesOf((*lists)[39999]), (Entries{{0, 9}}));
}

TEST(ExtremaInTraces, WithoutEnvelopeListsEveryTraceAndKeepsTheBlock) {
  // Trace 0 and 1 as the hand-traced series above, trace 2 flat.
  std::vector<int32_t> data{-1, 2, 5, 9, 4, 1, -3, -2, -4, -5,  //
                            0,  0, 7, 0, 0, 0, 0,  0,  5,  0,   //
                            3,  3, 3, 3, 3, 3, 3,  3,  3,  3};
  const auto before = data;
  auto lists = std::make_unique<TarMax2InTraces>();
  (*lists)[3] = {kStale};
  FindExtremaInTraces(10, 3, true, *lists, data, otFreq, false);
  EXPECT_EQ(data, before);
  EXPECT_EQ(EntriesOf((*lists)[0]), (Entries{{0, -1}, {3, 9}, {9, -5}}));
  // x0 = x1 short run: the peak at 2 listed at 1; zeros x3..x7 a long run to the right.
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 0}, {1, 7}, {2, 0}, {4, 0}, {5, 0}, {9, 0}}));
  // Flat trace: run to the left up to i = 7, middle (7 - 2) div 2 + 1 = 3, last 6.
  EXPECT_EQ(EntriesOf((*lists)[2]), (Entries{{0, 3}, {3, 3}, {6, 3}, {9, 3}}));
  EXPECT_EQ((*lists)[3].size(), 1u);

  // Minima of the same block.
  FindExtremaInTraces(10, 1, false, *lists, data, otAmplitude, false);
  EXPECT_EQ(EntriesOf((*lists)[0]), (Entries{{0, -1}, {6, -3}, {9, -5}}));
}

TEST(ExtremaInTraces, StaysWithinTheBlockAndTheLists) {
  auto lists = std::make_unique<TarMax2InTraces>();
  (*lists)[2] = {kStale};
  std::vector<int32_t> data{1, 5, 2, 0, 2, 6, 1, 0};  // two traces of 4
  FindExtremaInTraces(4, 3, true, *lists, data, otAmplitude, false);
  EXPECT_EQ(EntriesOf((*lists)[0]), (Entries{{0, 1}, {1, 5}, {3, 0}}));
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 2}, {1, 6}, {3, 0}}));
  EXPECT_EQ((*lists)[2].size(), 1u);

  // 40001 traces of 2 samples: only 40000 lists exist.
  std::vector<int32_t> many(40001 * 2, 4);
  many[39999 * 2 + 1] = -4;
  FindExtremaInTraces(2, 40001, true, *lists, many, otAmplitude, false);
  EXPECT_EQ(EntriesOf((*lists)[39999]), (Entries{{0, 4}, {1, -4}}));

  // No samples or no traces: nothing to search.
  (*lists)[0] = {kStale};
  FindExtremaInTraces(0, 2, true, *lists, data, otAmplitude, true);
  FindExtremaInTraces(4, 0, true, *lists, data, otAmplitude, true);
  EXPECT_EQ((*lists)[0].size(), 1u);
}

}  // namespace geometry_extrema_test
