// The directivity diagram and the diffraction summation both migrations run:
// the diagram's lobe and cosine table, and the fast summation (row tables,
// transposed copy, four traces at a time, the edges) against the sums written
// out term by term, for any thread count.

#include "tests/tools/imaging/migration_test_support.h"
#include "tools/imaging/diffraction_sum.h"
#include "tools/imaging/directivity_diagram.h"
#include "tools/imaging/migration_run.h"
#include "tools/tool_protocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace diffraction_sum_test {

using imaging_test_support::ReferenceAdvanced;

TEST(DirectivityDiagram, WidthOneIsTheCosineClosedAtRightAngles) {
  TDirectivityDiagram d;
  for (int theta = -89; theta <= 89; ++theta) {
    SCOPED_TRACE(theta);
    const long double expected = std::cos(theta * std::numbers::pi_v<long double> / 180);
    EXPECT_NEAR(static_cast<double>(d.Weight(theta)), static_cast<double>(expected), 1e-15);
  }
  EXPECT_EQ(d.Weight(90), 0);
  EXPECT_EQ(d.Weight(-90), 0);
  EXPECT_EQ(d.Weight(0), 1);
  // By cosine: arccos(1) = 0 degrees, arccos(0) = 90, arccos(0.5) = 60.
  EXPECT_EQ(d.DiagramWeight(1), 1);
  EXPECT_EQ(d.DiagramWeight(0), 0);
  EXPECT_EQ(d.DiagramWeight(0.5L), d.Weight(60));
  // Outside 0 .. 1 and not a number: no weight.
  EXPECT_EQ(d.DiagramWeight(-0.5L), 0);
  EXPECT_EQ(d.DiagramWeight(std::nanl("")), 0);
}

TEST(DirectivityDiagram, WidthZeroIsTakenAsOneAndWiderFactorsNarrowTheLobe) {
  TDirectivityDiagram d;
  d.Wdiag = 0;
  d.PaintDiagram();
  EXPECT_EQ(d.Wdiag, 1);
  TDirectivityDiagram one;
  EXPECT_EQ(d.Adiagram, one.Adiagram);
  EXPECT_EQ(d.AdiagramIndx, one.AdiagramIndx);

  d.Wdiag = 2;
  d.PaintDiagram();
  EXPECT_NEAR(static_cast<double>(d.Weight(44)), std::fabs(std::cos(88 * std::numbers::pi / 180)), 1e-15);
  for (int theta : {-90, -45, 45, 60, 90}) EXPECT_EQ(d.Weight(theta), 0) << theta;
  EXPECT_EQ(d.DiagramWeight(0.5L), 0) << "60 degrees is outside the narrowed lobe";
}

std::vector<int32_t> SumRows(const std::vector<int32_t>& in, int64_t n, int l, int32_t firstRow,
                         const TDiffractionRowTerms& terms) {
  std::vector<int32_t> out = in;
  TDiffractionSum job;
  job.In = in.data();
  job.Samples = static_cast<int64_t>(in.size());
  job.Out = out.data();
  job.Traces = n;
  job.LongTrace = l;
  job.FirstRow = firstRow;
  job.Terms = terms;
  TNullToolHost host;
  TRunYield yield(host, TYieldPolicy::PerTrace, true);
  EXPECT_TRUE(RunDiffractionSum(job, yield));
  return out;
}

struct TCase {
  int64_t traces;
  int longTrace;
  int32_t nullShift;
  double e;
  long double proportion;
};

TEST(DiffractionSum, MatchesTheTermByTermSumsForAnyThreadCount) {
  const TCase cases[] = {
      {37, 29, 4, 0.0, 1.5L},   // no spacing
      {37, 29, 0, 2.75, 0.8L},  // spacing, time zero at the first sample
      {150, 48, 6, 1.2, 3.0L},  // wide enough for the four-trace sums
      {9, 64, 2, 0.5, 0.0L},    // trace step 0: every offset arrives at s
      {5, 16, 20, 0.3, 1.0L},   // time zero past the trace: nothing to sum
  };
  TDirectivityDiagram diagram;
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.traces << " x " << c.longTrace << ", Z " << c.nullShift << ", e " << c.e
                                    << ", P " << static_cast<double>(c.proportion));
    const std::vector<int32_t> in = TestTraces(c.traces, c.longTrace);
    const std::vector<int32_t> expected =
        ReferenceAdvanced(in, c.traces, c.longTrace, c.nullShift, c.e, c.proportion, diagram);
    for (int threads : {1, 2, 8}) {
      PoolThreadsScope pool(threads);
      EXPECT_EQ(SumRows(in, c.traces, c.longTrace, c.nullShift,
                    AdvancedMigrationTerms(diagram, c.e, c.nullShift, c.proportion, c.longTrace)),
                expected)
          << threads << " threads";
    }
  }
}

TEST(DiffractionSum, OneOrTwoTracesGiveZerosFromTimeZeroOn) {
  TDirectivityDiagram diagram;
  for (int64_t n : {1, 2}) {
    const std::vector<int32_t> in = TestTraces(n, 10);
    const std::vector<int32_t> out = SumRows(in, n, 10, 3, AdvancedMigrationTerms(diagram, 0.7, 3, 2.0L, 10));
    for (int64_t t = 0; t < n; ++t)
      for (int s = 0; s < 10; ++s)
        EXPECT_EQ(out[static_cast<size_t>(t * 10 + s)], s < 3 ? in[static_cast<size_t>(t * 10 + s)] : 0)
            << n << " traces, trace " << t << ", sample " << s;
  }
}

// At time zero without spacing the zero-offset term has u = 0 and every other
// term cosine 0: nothing weighs.
TEST(DiffractionSum, WithoutSpacingTheTimeZeroSampleIsZero) {
  TDirectivityDiagram diagram;
  const std::vector<int32_t> in(20 * 12, 5000);
  const std::vector<int32_t> out = SumRows(in, 20, 12, 4, AdvancedMigrationTerms(diagram, 0.0, 4, 2.0L, 12));
  for (int64_t k = 0; k < 20; ++k) {
    EXPECT_EQ(out[static_cast<size_t>(k * 12 + 4)], 0) << k;
    if (k >= 1 && k <= 18) {
      EXPECT_EQ(out[static_cast<size_t>(k * 12 + 5)], 5000) << k;
    }
  }
}

// Rows without terms give zeros; an arrival before the trace start reads the
// previous trace's end, as the sample's index in the channel says.
TEST(DiffractionSum, RowsWithoutTermsAndArrivalsBeforeTheTrace) {
  const std::vector<int32_t> in = TestTraces(20, 6);
  const std::vector<int32_t> none = SumRows(in, 20, 6, 1, [](int32_t, int64_t, TDiffractionRow&) {});
  for (int64_t k = 0; k < 20; ++k)
    for (int s = 0; s < 6; ++s)
      EXPECT_EQ(none[static_cast<size_t>(k * 6 + s)], s < 1 ? in[static_cast<size_t>(k * 6 + s)] : 0);
  const std::vector<int32_t> before =
      SumRows(in, 20, 6, 0, [](int32_t, int64_t, TDiffractionRow& row) { row.Add(-1, 1); });
  for (int64_t k = 0; k < 20; ++k) {
    const int32_t expected = k >= 1 && k <= 18 ? in[static_cast<size_t>(k * 6 - 1)] : 0;
    for (int s = 0; s < 6; ++s) EXPECT_EQ(before[static_cast<size_t>(k * 6 + s)], expected) << k << ", " << s;
  }
}

TEST(DiffractionSum, CountsTheTermsItAdds) {
  // Trace step 0: every offset arrives at its row, so each output trace has a
  // term from every source trace 1 .. N - 2 on every row but time zero's.
  TDirectivityDiagram diagram;
  const std::vector<int32_t> in = TestTraces(10, 8);
  TDiffractionSum job;
  job.In = in.data();
  job.Samples = 80;
  job.Traces = 10;
  job.LongTrace = 8;
  job.FirstRow = 2;
  job.Terms = AdvancedMigrationTerms(diagram, 0.0, 2, 0.0L, 8);
  EXPECT_EQ(CountDiffractionTerms(job), 6 * 10 * 8);
}

}  // namespace diffraction_sum_test
