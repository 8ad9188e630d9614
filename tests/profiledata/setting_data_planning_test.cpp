// Scan settings in the planning program: no main window is registered, so there are
// no distance defaults, no re-sends, no refreshes and no traces check. The store here
// still sits in a visible window and a radar is attached by hand, so that a missing
// hook shows as a call.

#include "profiledata/setting_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class PlanningSettings : public ::testing::Test {
protected:
  FakeRadar radar;
  FakeWindow window;
  FakeStore store{&window};
  TSettingData* settings = nullptr;  // owned by the store

  void SetUp() override {
    SetAcquisitionShell(nullptr);
    radar.type = Unit01;
    radar.firmware = 9;
    window.AddChannel(&store, 0, true);
    window.deviceX = 12345;
    settings = new TSettingData(&store);
  }
};

TEST_F(PlanningSettings, DefaultsLeaveTheDistanceSourceAndUnitAtZero) {
  EXPECT_EQ(settings->Radar, nullptr);
  EXPECT_EQ(settings->GetTopoType(), ttNil);
  EXPECT_EQ(settings->GetWheelStep(), 0.0);
  EXPECT_EQ(settings->GetWheelMult(), 0);
  EXPECT_EQ(settings->GetMeasureStep(), 0.0f);
  EXPECT_EQ(settings->GetRunMode(), rmStep);
  EXPECT_EQ(settings->GetTypeGPR(), unknown);
  EXPECT_EQ(settings->GetSpanWidth(), 0.0);
  EXPECT_EQ(settings->GetLongTrace(), 500);
  EXPECT_EQ(settings->GetSpanIndex(), 2);
  EXPECT_EQ(settings->GetOverStep(), 2);
  EXPECT_EQ(settings->GetSpeedLight(), 299);
  EXPECT_EQ(settings->GetAngle(), 9000000);
  EXPECT_FALSE(settings->GetAdvanceStacking());
  EXPECT_FALSE(settings->GetNeedForSave());
  // The stacking table is still built for 500 samples.
  EXPECT_GT(settings->GetSteckingLength(), 1);
}

TEST_F(PlanningSettings, SpanIndexOnlyStoresTheClampedIndex) {
  settings->SetSpanIndex(1);
  EXPECT_EQ(settings->GetSpanIndex(), 1);
  EXPECT_EQ(settings->GetSpanWidth(), 0.0);
  EXPECT_FALSE(settings->GetNeedForSave());
  settings->SetSpanIndex(9);
  EXPECT_EQ(settings->GetSpanIndex(), 3);
  settings->SetSpanIndex(4);
  EXPECT_EQ(settings->GetSpanIndex(), 3);
  EXPECT_EQ(settings->GetSpanWidth(), 0.0);
}

TEST_F(PlanningSettings, SettersNeitherResendNorRefresh) {
  settings->SetSettingRadar(&radar);
  settings->SetSpanIndex(1);
  settings->SetOverStep(3);
  settings->SetStacking(20);
  settings->SetWheelMult(4);
  settings->SetWheelMult(4);
  settings->SetComments("x");
  settings->SetSpeedLight(100);
  settings->SetStackingCurve(90);
  settings->SetAdvanceStacking(true);
  settings->SetTypeGPR(Unit02);
  EXPECT_EQ(radar.resends, 0);
  EXPECT_TRUE(window.filledLists.empty());
  EXPECT_EQ(window.radarChanges, 0);
  EXPECT_EQ(settings->GetLongTrace(), 333);
  EXPECT_EQ(settings->GetSpanWidth(), 0.0);
}

TEST_F(PlanningSettings, StackingDoesNotEstimateThePrf) {
  const long double before = settings->GetPRF();
  settings->SetStacking(40);
  EXPECT_EQ(settings->GetStacking(), 40);
  EXPECT_EQ(settings->GetPRF(), before);
}

TEST_F(PlanningSettings, PlacementSettersMarkForSaveWithoutRefresh) {
  const struct {
    const char* name;
    std::function<void(TSettingData&)> set;
    bool needForSave;
  } cases[] = {
      {"StartXShift", [](TSettingData& s) { s.SetStartXShift(10); }, true},
      {"StartYShift", [](TSettingData& s) { s.SetStartYShift(10); }, true},
      {"StartZShift", [](TSettingData& s) { s.SetStartZShift(10); }, true},
      {"Direction", [](TSettingData& s) { s.SetDirection(back); }, true},
      {"Angle", [](TSettingData& s) { s.SetAngle(4500000); }, true},
      {"Angle unchanged", [](TSettingData& s) { s.SetAngle(s.GetAngle()); }, false},
      {"Azimuth", [](TSettingData& s) { s.SetAzimuth(12); }, true},
      // The planning program marks the channel even for the same azimuth.
      {"Azimuth unchanged", [](TSettingData& s) { s.SetAzimuth(s.GetAzimuth()); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    settings->SetNeedForSave(false);
    c.set(*settings);
    EXPECT_EQ(settings->GetNeedForSave(), c.needForSave);
  }
  EXPECT_EQ(settings->GetAzimuth(), 12);
  EXPECT_TRUE(window.filledLists.empty());
}

TEST_F(PlanningSettings, NoTracesCheckForUnitSerialNumberAndAdvancedStacking) {
  store.holdsTraces = true;
  settings->SetTypeGPR(Unit09);
  settings->SetSerNum(77);
  settings->SetAdvanceStacking(true);
  EXPECT_EQ(settings->GetTypeGPR(), Unit09);
  EXPECT_EQ(settings->GetSerNum(), 77);
  EXPECT_TRUE(settings->GetAdvanceStacking());
}

TEST_F(PlanningSettings, NoDeviceOffsetsWithoutTheAcquisitionProgram) {
  settings->SetStartXShift(500);
  EXPECT_EQ(settings->GetStartDeviceXShift(), 0);
  settings->SetWheelStep(10);
  settings->SetWheelMult(1);  // trace step 10 mm
  EXPECT_EQ(settings->TraceToDistWithShift(100), 1.0L);
  EXPECT_EQ(settings->DistToTraceWithShift(1.0L), 100);
}

}  // namespace
