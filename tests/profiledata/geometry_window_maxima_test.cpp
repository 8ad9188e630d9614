#include "profiledata/geometry_gpr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace geometry_window_maxima_test {

using Entries = std::vector<std::pair<int, long double>>;

Entries EntriesOf(const std::vector<TMaxSample2>& list) {
  Entries out;
  for (const auto& e : list) {
    EXPECT_FALSE(e.isPolochka);
    out.emplace_back(e.NumSampleMax, e.AmplMax);
  }
  return out;
}

const TMaxSample2 kStale{77, 77.0L, true};

// Five traces of six samples (one trace per line), windows of 3 x 3. Traces 1..3 and
// samples 1..4 are candidates:
//   (1,4) = 7 ties with (1,3) and (2,3) and nothing in its window is larger;
//   (2,2) = 9 ties with (3,1); (3,1) = 9 ties with (2,2);
//   (1,1) = 5 and (1,3) = 7 see the 9 at (2,2); (3,4) = 6 sees the 7 at (2,3).
const std::vector<int32_t> kGrid{0, 0, 0, 0, 0, 0,  //
                                 0, 5, 1, 7, 7, 0,  //
                                 0, 2, 9, 7, 3, 0,  //
                                 0, 9, 1, 2, 6, 0,  //
                                 0, 0, 0, 0, 0, 0};

TEST(WindowMaxima, EqualNeighboursDoNotExcludeAValue) {
  struct Case {
    long double threshold;
    Entries trace1, trace2, trace3;
  };
  // Values at or below the threshold never count.
  const Case cases[] = {
      {2, {{4, 7}}, {{2, 9}}, {{1, 9}}},
      {6.5L, {{4, 7}}, {{2, 9}}, {{1, 9}}},
      {7, {}, {{2, 9}}, {{1, 9}}},
      {9, {}, {}, {}},
  };
  for (const auto& c : cases) {
    auto lists = std::make_unique<TarMax2InTraces>();
    for (auto& list : *lists) list = {kStale};
    FindWindowMaxima(1, 1, 1, *lists, kGrid, 5, 6, c.threshold);
    EXPECT_EQ(EntriesOf((*lists)[1]), c.trace1) << c.threshold;
    EXPECT_EQ(EntriesOf((*lists)[2]), c.trace2) << c.threshold;
    EXPECT_EQ(EntriesOf((*lists)[3]), c.trace3) << c.threshold;
    // The border traces are no candidates and keep their lists.
    EXPECT_EQ((*lists)[0].size(), 1u);
    EXPECT_EQ((*lists)[4].size(), 1u);
  }
}

TEST(WindowMaxima, FirstSampleLimitsTheCandidates) {
  auto lists = std::make_unique<TarMax2InTraces>();
  // From sample 2 on, (3,1) is no candidate, but still excludes nothing it ties with.
  FindWindowMaxima(1, 1, 2, *lists, kGrid, 5, 6, 2);
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{4, 7}}));
  EXPECT_EQ(EntriesOf((*lists)[2]), (Entries{{2, 9}}));
  EXPECT_TRUE((*lists)[3].empty());
}

TEST(WindowMaxima, WiderWindowAcrossTraces) {
  // halfTraces 2, halfSamples 0: only trace 2 is a candidate; its column windows are
  // the whole sample columns. Column maxima 9 (col 1), 9 (col 2), 7 (col 3), 7 (col 4).
  auto lists = std::make_unique<TarMax2InTraces>();
  FindWindowMaxima(2, 0, 0, *lists, kGrid, 5, 6, 0);
  EXPECT_EQ(EntriesOf((*lists)[2]), (Entries{{2, 9}, {3, 7}}));
}

TEST(WindowMaxima, WindowNeverReachesBeforeTheTrace) {
  // A large value at sample 0: with halfSamples 1 the window of sample 0 would start at
  // -1, so the candidates start at sample 1 whatever firstSample says. (1,1) = 1 sees
  // the 50; (1,2) = 3 is the largest of its window.
  const std::vector<int32_t> grid{0, 0, 0, 0,  //
                                  50, 1, 3, 0,  //
                                  0, 0, 0, 0};
  for (int firstSample : {0, -5}) {
    auto lists = std::make_unique<TarMax2InTraces>();
    FindWindowMaxima(1, 1, firstSample, *lists, grid, 3, 4, 0);
    EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{2, 3}})) << firstSample;
  }
}

TEST(WindowMaxima, NegativeHalfWidthsAreSingleValueWindows) {
  const std::vector<int32_t> grid{1, 3, 2,  //
                                  4, 4, 0};
  auto lists = std::make_unique<TarMax2InTraces>();
  FindWindowMaxima(-2, -1, 0, *lists, grid, 2, 3, 0);
  EXPECT_EQ(EntriesOf((*lists)[0]), (Entries{{0, 1}, {1, 3}, {2, 2}}));
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 4}, {1, 4}}));
}

TEST(WindowMaxima, StaysWithinTheBlockAndTheLists) {
  auto lists = std::make_unique<TarMax2InTraces>();
  for (auto& list : *lists) list = {kStale};
  // Ten traces announced, three in the block.
  const std::vector<int32_t> grid{1, 2, 3, 4, 5, 6, 7, 8, 9};
  FindWindowMaxima(0, 0, 0, *lists, grid, 10, 3, 3);
  EXPECT_TRUE((*lists)[0].empty());
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 4}, {1, 5}, {2, 6}}));
  EXPECT_EQ(EntriesOf((*lists)[2]), (Entries{{0, 7}, {1, 8}, {2, 9}}));
  EXPECT_EQ((*lists)[3].size(), 1u);

  // 40002 traces of one sample: the candidates end with the last list.
  std::vector<int32_t> column(40002, 1);
  FindWindowMaxima(0, 0, 0, *lists, column, 40002, 1, 0);
  EXPECT_EQ(EntriesOf((*lists)[39999]), (Entries{{0, 1}}));

  // No samples or no traces: nothing is read or emptied.
  FindWindowMaxima(0, 0, 0, *lists, grid, 3, 0, 0);
  FindWindowMaxima(0, 0, 0, *lists, grid, 0, 3, 0);
  EXPECT_EQ(EntriesOf((*lists)[1]), (Entries{{0, 1}}));
}

}  // namespace geometry_window_maxima_test
