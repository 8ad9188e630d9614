// The depth-dependent stacking table, its mean count and the trace rate estimate.
// Expected tables are computed here from the ratio form of the curve,
// count(i) = round((e^(i/b) - 1) / (e^((n-1)/b) - 1) x volume + 1), b = curve /
// OverStep, n = samples per trace, evaluated in double precision in a form that
// cannot overflow for steep curves.

#include "profiledata/setting_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr long double kPerSounding = 1.18215327807e-5L;
constexpr long double kPerSample = 2.49583623828e-5L;

struct ExpectedTable {
  std::vector<TSteckingRun> runs;  // at most 1000
  double average = 0;
};

// (e^(i/b) - 1) / (e^(last/b) - 1); for b > 0 both terms are divided by e^(last/b).
double CurveRatio(int i, int last, double b) {
  if (b > 0) return std::exp((i - last) / b) * std::expm1(-i / b) / std::expm1(-last / b);
  return std::expm1(i / b) / std::expm1(last / b);
}

ExpectedTable CurveTable(int curve, int volume, int overStep, int samples) {
  const double b = double(curve) / overStep;
  ExpectedTable table;
  double sum = 0;
  for (int i = 0; i < samples; ++i) {
    const int count = int(std::nearbyint(CurveRatio(i, samples - 1, b) * volume + 1));
    sum += count;
    if ((table.runs.empty() || table.runs.back().Count != count) && table.runs.size() < 1000)
      table.runs.push_back({uint16_t(i), uint16_t(count)});
  }
  table.average = sum / (samples - 1);
  return table;
}

void ExpectTable(const TSettingData& s, const std::vector<TSteckingRun>& runs) {
  ASSERT_EQ(s.GetSteckingLength(), runs.size());
  for (size_t r = 0; r < runs.size(); ++r) {
    EXPECT_EQ(s.SteckingArray[r].Start, runs[r].Start) << "run " << r;
    EXPECT_EQ(s.SteckingArray[r].Count, runs[r].Count) << "run " << r;
  }
  for (size_t r = runs.size(); r < s.SteckingArray.size(); ++r)
    ASSERT_EQ(s.SteckingArray[r], (TSteckingRun{1000, 1})) << "unused run " << r;
}

class Stacking : public ::testing::Test {
protected:
  void SetUp() override { SetAcquisitionShell(nullptr); }
  void TearDown() override { SetAcquisitionShell(nullptr); }
  TSettingData settings{nullptr};
};

TEST_F(Stacking, DefaultCurveRisesFromOneToElevenOverTheTrace) {
  // Curve 130, volume 10, OverStep 2: 500 samples, b = 65.
  ASSERT_EQ(settings.GetLongTrace(), 500);
  const ExpectedTable expected = CurveTable(130, 10, 2, 500);
  ExpectTable(settings, expected.runs);

  EXPECT_EQ(settings.SteckingArray[0], (TSteckingRun{0, 1}));
  const TSteckingRun last = settings.SteckingArray[settings.GetSteckingLength() - 1];
  EXPECT_EQ(last.Count, 11);
  EXPECT_LE(last.Start, 499);
  for (int r = 1; r < settings.GetSteckingLength(); ++r)
    EXPECT_EQ(settings.SteckingArray[r].Count, settings.SteckingArray[r - 1].Count + 1) << r;

  // The mean divides the sum of the 500 counts by 499.
  EXPECT_NEAR(double(settings.GetAverageStecking()), expected.average, 1e-12);
  const long double prf = 1 / (500 * settings.GetAverageStecking() * kPerSounding + 500 * kPerSample);
  EXPECT_NEAR(double(settings.GetPRF()), double(prf), 1e-9);
}

TEST_F(Stacking, CurveAndVolumeSettersRebuildTheTable) {
  const struct {
    int curve, volume, overStep;
  } cases[] = {{30, 20, 1}, {500, 5, 5}, {-50, 10, 2}, {130, 64, 3}, {7, 3, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.curve << " / " << c.volume << " / " << c.overStep);
    settings.SetOverStep(uint8_t(c.overStep));
    settings.SetStackingVolume(c.volume);
    settings.SetStackingCurve(c.curve);
    const ExpectedTable expected = CurveTable(c.curve, c.volume, c.overStep, settings.GetLongTrace());
    ExpectTable(settings, expected.runs);
    EXPECT_NEAR(double(settings.GetAverageStecking()), expected.average, 1e-9);
  }
}

TEST_F(Stacking, CurveZeroIsTakenAsOne) {
  settings.SetStackingCurve(0);
  EXPECT_EQ(settings.GetStackingCurve(), 1);
  ExpectTable(settings, CurveTable(1, 10, 2, 500).runs);
}

TEST_F(Stacking, Unit52StacksEvenlyOverTheTrace) {
  settings.SetTypeGPR(Unit52);
  settings.SetStackingVolume(7);
  ExpectTable(settings, {{0, 7}, {499, 7}});
  EXPECT_EQ(settings.GetAverageStecking(), 7);
  EXPECT_NEAR(double(settings.GetPRF()), double(1 / (500 * 7 * kPerSounding + 500 * kPerSample)), 1e-9);
}

TEST_F(Stacking, MoreThanAThousandRunsKeepTheFirstThousand) {
  // A nearly straight curve over 3000 samples changes the count at every sample.
  settings.SetOverStep(1);
  settings.RestoreLongTrace(3000);
  settings.SetStackingVolume(30000);
  settings.SetStackingCurve(1000000);
  const ExpectedTable expected = CurveTable(1000000, 30000, 1, 3000);
  ASSERT_EQ(expected.runs.size(), 1000u);
  ExpectTable(settings, expected.runs);
  EXPECT_NEAR(double(settings.GetAverageStecking()), expected.average, 1e-6);
}

TEST_F(Stacking, DegenerateTracesGiveASingleRunOfOne) {
  const struct {
    const char* name;
    int overStep;
    int32_t longTrace;
    int curve;
    long double prf;
  } cases[] = {
      {"one sample", 2, 1, 130, 1 / (kPerSounding + kPerSample)},
      {"no samples", 2, 0, 130, 0},
      {"negative length", 2, -5, 130, 1 / (-5 * kPerSounding - 5 * kPerSample)},
      // b = 0.2: e^(2999 / 0.2) overflows even in extended precision.
      {"overflowing curve", 5, 3000, 1, 1 / (3000 * kPerSounding + 3000 * kPerSample)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings.SetOverStep(uint8_t(c.overStep));
    settings.RestoreLongTrace(c.longTrace);
    settings.SetStackingCurve(c.curve);
    settings.PrepareStacking();
    ExpectTable(settings, {{0, 1}});
    EXPECT_EQ(settings.GetAverageStecking(), 1);
    EXPECT_TRUE(std::isfinite(settings.GetPRF()));
    EXPECT_NEAR(double(settings.GetPRF()), double(c.prf), 1e-6);
  }
}

TEST_F(Stacking, Unit52WithoutSamplesStaysInsideTheTrace) {
  settings.SetTypeGPR(Unit52);
  settings.RestoreLongTrace(0);
  settings.PrepareStacking();
  ExpectTable(settings, {{0, 10}, {0, 10}});
  EXPECT_EQ(settings.GetPRF(), 0);
}

TEST(StackingPrf, StackingSetterEstimatesTheRateFromTheStackingCount) {
  FakeShell shell;
  ShellScope scope(&shell);
  TSettingData settings(nullptr);
  settings.SetStacking(20);
  // 20 x 500 x 1.18215327807e-5 = 0.118215327807; 500 x 2.49583623828e-5 = 0.0124791811914
  EXPECT_NEAR(double(settings.GetPRF()), 1 / (0.118215327807 + 0.0124791811914), 1e-9);
  settings.SetOverStep(5);
  settings.SetStacking(1);
  // 1 x 200 x 1.18215327807e-5 = 0.00236430655614; 200 x 2.49583623828e-5 = 0.00499167247656
  EXPECT_NEAR(double(settings.GetPRF()), 1 / (0.00236430655614 + 0.00499167247656), 1e-7);
  EXPECT_EQ(TSettingData::TraceRate(10, 0), 0);
}

}  // namespace
