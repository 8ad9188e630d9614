// Sample/time/depth and trace/distance conversions, the device-offset forms, and the
// defined results for zero or non-finite divisors from damaged records.

#include "profiledata/setting_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr int32_t kMaxInt = std::numeric_limits<int32_t>::max();
constexpr int32_t kMinInt = std::numeric_limits<int32_t>::min();

// Window 100 ns over 500 samples (dt = 0.2 ns), 100 mm/ns, time zero at sample 50
// (10 ns); trace step 5 x 10 mm = 50 mm, stored traces from 100 on.
class Conversions : public ::testing::Test {
protected:
  void SetUp() override {
    SetAcquisitionShell(nullptr);
    s.RestoreSpanWidth(100);
    s.SetSpeedLight(100);
    s.SetNullShift(50);
    s.SetWheelStep(10);
    s.SetWheelMult(5);
    s.SetMinTrace(100);
  }
  TSettingData s{nullptr};
};

TEST_F(Conversions, SamplesTimeAndDepth) {
  EXPECT_NEAR(double(s.SampleToTime(250)), 50.0, 1e-12);
  EXPECT_NEAR(double(s.SampleToTime(-5)), -1.0, 1e-12);
  EXPECT_NEAR(double(s.SampleToDepth(550)), 5.0, 1e-12);  // 500 samples x 0.2 ns x 100 / 2000
  EXPECT_EQ(s.SampleToDepth(50), 0);
  EXPECT_NEAR(double(s.TimeToDepth(60)), 2.5, 1e-12);     // (60 - 10) x 100 / 2000
  EXPECT_NEAR(double(s.GetDepth()), 5.0, 1e-12);          // 100 x 100 / 2000
  EXPECT_EQ(s.GetSpanDepth(), "5.0");
  EXPECT_NEAR(double(s.GetDepthInM()), 4.5, 1e-12);       // (100 - 10) x 100 / 2000
  EXPECT_EQ(s.DepthToSample(5), 550);                     // 5 / 0.01 m per sample + 50
  EXPECT_EQ(s.DepthToSample(-0.5), 0);
}

TEST_F(Conversions, RoundingIsHalfToEven) {
  const struct {
    long double ns;
    int32_t sample;
  } times[] = {{50, 250}, {0.5L, 2}, {1.5L, 8}, {-0.5L, -2}, {0.25L, 1}, {0.375L, 2}};  // x 5 samples/ns
  for (const auto& t : times) EXPECT_EQ(s.TimeToSample(t.ns), t.sample) << double(t.ns);

  const struct {
    long double m;
    int32_t trace;
  } dists[] = {{0, 0}, {10, 200}, {0.125L, 2}, {0.375L, 8}, {-0.125L, -2}};  // x 20 traces/m
  for (const auto& d : dists) EXPECT_EQ(s.DistToTrace(d.m), d.trace) << double(d.m);

  s.SetWheelMult(1);
  s.SetWheelStep(2.5);
  EXPECT_EQ(s.GetStepDistance(), 2);
  s.SetWheelStep(3.5);
  EXPECT_EQ(s.GetStepDistance(), 4);
}

TEST_F(Conversions, TraceStepIsSinglePrecision) {
  s.SetWheelStep(31.47);
  EXPECT_EQ(s.GetMeasureStep(), 157.35f);
  EXPECT_NE(double(s.GetMeasureStep()), 5 * 31.47);
  EXPECT_EQ(s.GetStepDistance(), 157);
}

TEST_F(Conversions, TracesAndDistanceCountFromMinTrace) {
  EXPECT_EQ(s.TraceToDist(100), 0);
  EXPECT_NEAR(double(s.TraceToDist(300)), 10.0, 1e-12);  // 50 mm x 200 / 1000
  EXPECT_NEAR(double(s.TraceToDist(90)), -0.5, 1e-12);
  // The way back does not add MinTrace.
  EXPECT_EQ(s.DistToTrace(10), 200);
  EXPECT_EQ(s.DistToTrace(0), 0);

  s.SetWasFlip(true);
  EXPECT_NEAR(double(s.TraceToDist(300)), -10.0, 1e-12);
  EXPECT_EQ(s.DistToTrace(10), -200);
  EXPECT_EQ(s.DistToTrace(-10), 200);
  EXPECT_EQ(s.DistToTrace(0), 0);
}

TEST_F(Conversions, WithShiftFormsAddTheDeviceOffset) {
  FakeShell shell;
  ShellScope scope(&shell);
  FakeWindow window;
  window.deviceX = 20000;  // 0.2 m
  FakeStore store(&window);
  TSettingData* t = new TSettingData(&store);
  t->SetWheelStep(10);
  t->SetWheelMult(5);
  t->SetMinTrace(40);  // not used by these forms
  t->SetStartXShift(5000);  // device offset 0.25 m

  EXPECT_NEAR(double(t->TraceToDistWithShift(100)), 5.25, 1e-12);  // 50 x 100 / 1000 + 0.25
  EXPECT_NEAR(double(t->TraceToDistWithShift(0)), 0.25, 1e-12);
  EXPECT_EQ(t->DistToTraceWithShift(5.25), 100);                  // (525000 - 25000) / 5000
  EXPECT_EQ(t->DistToTraceWithShift(0.25), 0);

  t->SetWasFlip(true);
  EXPECT_NEAR(double(t->TraceToDistWithShift(100)), -5.25, 1e-12);
  EXPECT_EQ(t->DistToTraceWithShift(-5.25), 100);                 // (-25000 + 525000) / 5000
  EXPECT_EQ(t->DistToTraceWithShift(5.25), -110);                 // (-25000 - 525000) / 5000

  // A store without window has no device offset.
  FakeStore loose;
  TSettingData* u = new TSettingData(&loose);
  u->SetWheelStep(10);
  u->SetWheelMult(5);
  u->SetStartXShift(5000);
  EXPECT_NEAR(double(u->TraceToDistWithShift(100)), 5.0, 1e-12);
  EXPECT_EQ(u->DistToTraceWithShift(5.0), 100);
}

TEST_F(Conversions, ZeroDivisorsGiveZero) {
  TSettingData z(nullptr);
  z.RestoreSpanWidth(0);
  EXPECT_EQ(z.TimeToSample(5), 0);
  EXPECT_EQ(z.DepthToSample(1), 0);
  EXPECT_EQ(z.SampleToTime(3), 0);

  z.RestoreSpanWidth(100);
  z.RestoreLongTrace(0);
  EXPECT_EQ(z.SampleToTime(3), 0);
  EXPECT_EQ(z.SampleToDepth(3), 0);
  EXPECT_EQ(z.TimeToSample(5), 0);
  EXPECT_EQ(z.DepthToSample(1), 0);
  EXPECT_NEAR(double(z.GetDepthInM()), 14.95, 1e-12);  // no time zero: 100 x 299 / 2000

  z.RestoreLongTrace(500);
  z.RestoreSpeedLight(0);
  EXPECT_EQ(z.DepthToSample(1), 0);
  EXPECT_EQ(z.GetDepth(), 0);

  // Trace step 0 (the planning program's default, or a multiplier of 0).
  ASSERT_EQ(z.GetMeasureStep(), 0.0f);
  EXPECT_EQ(z.DistToTrace(3), 0);
  EXPECT_EQ(z.DistToTraceWithShift(3), 0);
  EXPECT_EQ(z.TraceToDist(7), 0);
}

TEST_F(Conversions, NonFiniteAndHugeValuesSaturate) {
  TSettingData z(nullptr);
  z.RestoreSpanWidth(std::nan(""));
  EXPECT_EQ(z.TimeToSample(5), 0);
  z.RestoreSpanWidth(std::numeric_limits<double>::infinity());
  EXPECT_EQ(z.TimeToSample(5), 0);
  z.RestoreSpanWidth(1e-30);
  EXPECT_EQ(z.TimeToSample(1), kMaxInt);
  EXPECT_EQ(z.TimeToSample(-1), kMinInt);

  z.SetWheelMult(1);
  z.SetWheelStep(1);
  EXPECT_EQ(z.DistToTrace(1e30L), kMaxInt);
  EXPECT_EQ(z.DistToTrace(-1e30L), kMinInt);
  EXPECT_EQ(z.DistToTrace(std::numeric_limits<long double>::quiet_NaN()), 0);

  // A step beyond the float range is an infinite trace step, not an undefined cast.
  z.SetWheelStep(1e300);
  EXPECT_TRUE(std::isinf(z.GetMeasureStep()));
  EXPECT_EQ(z.DistToTrace(5), 0);
  EXPECT_EQ(z.GetStepDistance(), kMaxInt);
}

}  // namespace
