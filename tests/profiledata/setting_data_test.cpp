// Scan settings in the acquisition program: defaults, setter clamps, and the side
// effects on the radar (parameter re-send) and on the radargram window (property
// list refills, tool-chain notice), including the refusals while traces exist.

#include "profiledata/setting_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <gtest/gtest.h>

#include <QDate>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

// The settings live in a store that is channel 2 (the active one) of a visible
// radargram window, which is also the main window's active window. The radar is a
// Unit01 (windows 120, 180, 240, 300 ns) with old firmware.
class AcquisitionSettings : public ::testing::Test {
protected:
  FakeRadar radar;
  FakeShell shell;
  FakeWindow window;
  FakeStore store{&window};
  TSettingData* settings = nullptr;  // owned by the store

  void SetUp() override {
    radar.type = Unit01;
    shell.radar = &radar;
    shell.topoType = ttOdometerA;
    shell.odometerMult = 7;
    shell.activeWindow = &window;
    SetAcquisitionShell(&shell);
    window.AddChannel(&store, 2, true);
    Fresh();
  }
  void TearDown() override { SetAcquisitionShell(nullptr); }

  void Fresh() {
    if (settings) settings->Free();
    settings = new TSettingData(&store);
    ResetCounters();
  }
  void ResetCounters() {
    radar.resends = 0;
    window.filledLists.clear();
    window.radarChanges = 0;
  }
};

TEST_F(AcquisitionSettings, NewSettingsTakeTheMainWindowsRadarAndDistanceSource) {
  EXPECT_EQ(settings->Owner(), &store);
  EXPECT_EQ(settings->Radar, &radar);
  EXPECT_EQ(settings->GetSettingRadar(), &radar);
  EXPECT_EQ(settings->GetVersion(), 42);
  EXPECT_EQ(settings->GetFileName(), "DodavARA.dezo");
  EXPECT_EQ(settings->GetComments(), QDate::currentDate().toString("dd_MM_yyyy"));
  EXPECT_EQ(settings->GetTypeGPR(), Unit01);
  EXPECT_EQ(settings->GetSpanIndex(), 2);
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 240.0);
  EXPECT_EQ(settings->GetOverStep(), 2);
  EXPECT_EQ(settings->GetLongTrace(), 500);
  EXPECT_EQ(settings->GetStacking(), 10);
  EXPECT_EQ(settings->GetSpeedLight(), 299);
  EXPECT_EQ(settings->GetTopoType(), ttOdometerA);
  EXPECT_DOUBLE_EQ(settings->GetWheelStep(), 11.18);
  EXPECT_EQ(settings->GetWheelMult(), 7);
  EXPECT_EQ(settings->GetStepDistance(), 78);  // 7 x 11.18 = 78.26
  EXPECT_EQ(settings->GetRunMode(), rmCont);
  EXPECT_EQ(settings->GetAngle(), 9000000);
  EXPECT_EQ(settings->GetAzimuth(), 0);
  EXPECT_EQ(settings->GetStackingCurve(), 130);
  EXPECT_EQ(settings->GetStackingVolume(), 10);
  EXPECT_EQ(settings->NrmCoef, 0.015L);
  EXPECT_FALSE(settings->GetNeedForSave());
  EXPECT_TRUE(settings->NewFile);
  EXPECT_FALSE(settings->WasStarted);
  EXPECT_EQ(settings->GetRadarTypeStr(), QString::fromLatin1(GPRUnitParams[1].UnitName));
  // Construction sets fields directly: nothing is re-sent or refreshed.
  EXPECT_EQ(radar.resends, 0);
  EXPECT_TRUE(window.filledLists.empty());
}

TEST_F(AcquisitionSettings, AdvancedStackingStartsOnForFirmware7AndNewer) {
  const struct {
    bool withRadar;
    uint16_t firmware;
    bool expected;
  } cases[] = {{true, 6, false}, {true, 7, true}, {true, 12, true}, {false, 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "firmware " << c.firmware << " radar " << c.withRadar);
    radar.firmware = c.firmware;
    shell.radar = c.withRadar ? &radar : nullptr;
    Fresh();
    EXPECT_EQ(settings->GetAdvanceStacking(), c.expected);
    settings->initial();  // the defaults of a new recording switch it off again
    EXPECT_FALSE(settings->GetAdvanceStacking());
  }
}

TEST_F(AcquisitionSettings, InitialRestoresTheDefaults) {
  settings->SetSpanIndex(0);
  settings->SetOverStep(4);
  settings->SetSpeedLight(120);
  settings->SetStartXShift(55);
  settings->SetStackingVolume(3);
  settings->SetWasFlip(true);
  settings->Topocorrection = true;
  settings->NewFile = false;
  shell.topoType = ttTrolleyB;
  shell.odometerMult = 2;

  settings->initial();
  EXPECT_EQ(settings->GetSpanIndex(), 2);
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 240.0);
  EXPECT_EQ(settings->GetOverStep(), 2);
  EXPECT_EQ(settings->GetLongTrace(), 500);
  EXPECT_EQ(settings->GetSpeedLight(), 299);
  EXPECT_EQ(settings->GetStartXShift(), 0);
  EXPECT_EQ(settings->GetStackingVolume(), 10);
  EXPECT_FALSE(settings->GetWasFlip());
  EXPECT_FALSE(settings->Topocorrection);
  EXPECT_EQ(settings->GetTopoType(), ttTrolleyB);
  EXPECT_DOUBLE_EQ(settings->GetWheelStep(), 26.03);
  EXPECT_EQ(settings->GetWheelMult(), 2);
  EXPECT_FALSE(settings->GetNeedForSave());
  EXPECT_TRUE(settings->NewFile);
}

TEST_F(AcquisitionSettings, SettersClampTheirValues) {
  const struct {
    const char* name;
    std::function<void(TSettingData&)> set;
    std::function<double(const TSettingData&)> get;
    double expected;
  } cases[] = {
      {"OverStep 0", [](TSettingData& s) { s.SetOverStep(0); }, [](const TSettingData& s) { return s.GetOverStep(); }, 1},
      {"OverStep 9", [](TSettingData& s) { s.SetOverStep(9); }, [](const TSettingData& s) { return s.GetOverStep(); }, 5},
      {"LongTrace OverStep 0", [](TSettingData& s) { s.SetOverStep(0); }, [](const TSettingData& s) { return s.GetLongTrace(); }, 1000},
      {"LongTrace OverStep 3", [](TSettingData& s) { s.SetOverStep(3); }, [](const TSettingData& s) { return s.GetLongTrace(); }, 333},
      {"LongTrace OverStep 4", [](TSettingData& s) { s.SetOverStep(4); }, [](const TSettingData& s) { return s.GetLongTrace(); }, 250},
      {"LongTrace OverStep 9", [](TSettingData& s) { s.SetOverStep(9); }, [](const TSettingData& s) { return s.GetLongTrace(); }, 200},
      {"Stacking 0", [](TSettingData& s) { s.SetStacking(0); }, [](const TSettingData& s) { return s.GetStacking(); }, 1},
      {"Stacking 100", [](TSettingData& s) { s.SetStacking(100); }, [](const TSettingData& s) { return s.GetStacking(); }, 64},
      {"Stacking 64", [](TSettingData& s) { s.SetStacking(64); }, [](const TSettingData& s) { return s.GetStacking(); }, 64},
      {"SpeedLight 300", [](TSettingData& s) { s.SetSpeedLight(120); s.SetSpeedLight(300); }, [](const TSettingData& s) { return s.GetSpeedLight(); }, 299},
      {"SpeedLight 5", [](TSettingData& s) { s.SetSpeedLight(5); }, [](const TSettingData& s) { return s.GetSpeedLight(); }, 10},
      {"SpeedLight -7", [](TSettingData& s) { s.SetSpeedLight(-7); }, [](const TSettingData& s) { return s.GetSpeedLight(); }, 10},
      {"SpeedLight 10", [](TSettingData& s) { s.SetSpeedLight(10); }, [](const TSettingData& s) { return s.GetSpeedLight(); }, 10},
      {"WheelStep -1", [](TSettingData& s) { s.SetWheelStep(-1); }, [](const TSettingData& s) { return s.GetWheelStep(); }, 0},
      {"WheelStep NaN", [](TSettingData& s) { s.SetWheelStep(std::nan("")); }, [](const TSettingData& s) { return s.GetWheelStep(); }, 0},
      {"SpanIndex 200", [](TSettingData& s) { s.SetSpanIndex(200); }, [](const TSettingData& s) { return s.GetSpanIndex(); }, 3},
      {"SpanIndex 4", [](TSettingData& s) { s.SetSpanIndex(1); s.SetSpanIndex(4); }, [](const TSettingData& s) { return s.GetSpanIndex(); }, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    c.set(*settings);
    EXPECT_EQ(c.get(*settings), c.expected);
  }
}

// What each setter does on a change. Window lists: 2 = this channel's own refill
// (it is the active channel, slot 2), 0 = the active window's refill of channel 0.
struct SideEffects {
  const char* name;
  std::function<void(TSettingData&)> set;
  bool needForSave;
  int resends;
  std::vector<int> lists;
};

TEST_F(AcquisitionSettings, ChangedValuesHaveTheirSideEffects) {
  const SideEffects cases[] = {
      {"SpanIndex", [](TSettingData& s) { s.SetSpanIndex(1); }, true, 1, {2}},
      {"FileName", [](TSettingData& s) { s.SetFileName("a.dezo"); }, true, 0, {}},
      {"Comments", [](TSettingData& s) { s.SetComments("line 7"); }, true, 0, {2}},
      {"WasFlip", [](TSettingData& s) { s.SetWasFlip(true); }, true, 0, {2}},
      {"WasFlipVert", [](TSettingData& s) { s.SetWasFlipVert(true); }, true, 0, {2}},
      {"OverStep", [](TSettingData& s) { s.SetOverStep(3); }, true, 1, {2}},
      {"Stacking", [](TSettingData& s) { s.SetStacking(20); }, true, 1, {2}},
      {"WheelStep", [](TSettingData& s) { s.SetWheelStep(20); }, true, 0, {2}},
      {"WheelMult", [](TSettingData& s) { s.SetWheelMult(3); }, true, 1, {2}},
      {"RunMode", [](TSettingData& s) { s.SetRunMode(rmWheel); }, true, 0, {2}},
      {"SpeedLight", [](TSettingData& s) { s.SetSpeedLight(100); }, true, 0, {2}},
      {"NullShift", [](TSettingData& s) { s.SetNullShift(5); }, true, 0, {}},
      {"TopoType", [](TSettingData& s) { s.SetTopoType(ttGPS); }, false, 0, {}},
      {"StartXShift", [](TSettingData& s) { s.SetStartXShift(100); }, true, 0, {0}},
      {"StartYShift", [](TSettingData& s) { s.SetStartYShift(100); }, true, 0, {0}},
      {"StartZShift", [](TSettingData& s) { s.SetStartZShift(100); }, true, 0, {0}},
      {"Direction", [](TSettingData& s) { s.SetDirection(back); }, true, 0, {0}},
      {"Azimuth", [](TSettingData& s) { s.SetAzimuth(5); }, true, 0, {0}},
      {"Angle", [](TSettingData& s) { s.SetAngle(5); }, true, 0, {0}},
      {"StackingCurve", [](TSettingData& s) { s.SetStackingCurve(100); }, true, 0, {0}},
      {"StackingVolume", [](TSettingData& s) { s.SetStackingVolume(20); }, true, 0, {0}},
      {"AdvanceStacking", [](TSettingData& s) { s.SetAdvanceStacking(true); }, false, 0, {0}},
      {"SerNum", [](TSettingData& s) { s.SetSerNum(61); }, false, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    c.set(*settings);
    EXPECT_EQ(settings->GetNeedForSave(), c.needForSave);
    EXPECT_EQ(radar.resends, c.resends);
    EXPECT_EQ(window.filledLists, c.lists);
    EXPECT_EQ(window.radarChanges, 0);
  }
  // A re-send marks the radar's parameters as not loaded.
  EXPECT_EQ(radar.lastPcLoading, 1.0);
}

TEST_F(AcquisitionSettings, UnchangedValuesDoNothingButSpanIndex4AndWheelMultStillResend) {
  const SideEffects cases[] = {
      {"SpanIndex 2", [](TSettingData& s) { s.SetSpanIndex(2); }, false, 0, {}},
      {"SpanIndex 4", [](TSettingData& s) { s.SetSpanIndex(4); }, true, 1, {2}},
      {"WheelMult 7", [](TSettingData& s) { s.SetWheelMult(7); }, false, 1, {}},
      {"FileName", [](TSettingData& s) { s.SetFileName("DodavARA.dezo"); }, false, 0, {}},
      {"Comments", [](TSettingData& s) { s.SetComments(s.GetComments()); }, false, 0, {}},
      {"WasFlip", [](TSettingData& s) { s.SetWasFlip(false); }, false, 0, {}},
      {"OverStep", [](TSettingData& s) { s.SetOverStep(2); }, false, 0, {}},
      {"Stacking", [](TSettingData& s) { s.SetStacking(10); }, false, 0, {}},
      {"SpeedLight 300 is 299", [](TSettingData& s) { s.SetSpeedLight(300); }, false, 0, {}},
      {"WheelStep", [](TSettingData& s) { s.SetWheelStep(11.18); }, false, 0, {}},
      {"RunMode", [](TSettingData& s) { s.SetRunMode(rmCont); }, false, 0, {}},
      {"NullShift", [](TSettingData& s) { s.SetNullShift(0); }, false, 0, {}},
      {"StartXShift", [](TSettingData& s) { s.SetStartXShift(0); }, false, 0, {}},
      {"Direction", [](TSettingData& s) { s.SetDirection(forth); }, false, 0, {}},
      {"Azimuth", [](TSettingData& s) { s.SetAzimuth(0); }, false, 0, {}},
      {"Angle", [](TSettingData& s) { s.SetAngle(9000000); }, false, 0, {}},
      {"StackingCurve", [](TSettingData& s) { s.SetStackingCurve(130); }, false, 0, {}},
      {"StackingVolume", [](TSettingData& s) { s.SetStackingVolume(10); }, false, 0, {}},
      {"AdvanceStacking", [](TSettingData& s) { s.SetAdvanceStacking(false); }, false, 0, {}},
      {"TypeGPR", [](TSettingData& s) { s.SetTypeGPR(Unit01); }, false, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    c.set(*settings);
    EXPECT_EQ(settings->GetNeedForSave(), c.needForSave);
    EXPECT_EQ(radar.resends, c.resends);
    EXPECT_EQ(window.filledLists, c.lists);
    EXPECT_EQ(window.radarChanges, 0);
  }
}

TEST_F(AcquisitionSettings, SpanWidthFollowsTheRadarsUnitUnlessTheChannelIsUnknown) {
  settings->SetSpanIndex(0);
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 120.0);
  settings->SetSpanIndex(7);  // becomes 3
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 300.0);

  // The width comes from the radar's unit, not from the channel's TypeGPR.
  radar.type = Unit03;  // 16, 24, 32, 40 ns
  settings->SetSpanIndex(4);
  EXPECT_EQ(settings->GetSpanIndex(), 3);
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 40.0);

  // A channel of unit type 0 uses the unknown unit's windows whatever the radar is;
  // the TypeGPR setter re-picks the width itself.
  settings->SetTypeGPR(unknown);
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 133.3);

  // Without a radar: row 0 as well, and nothing to re-send to.
  settings->SetTypeGPR(Unit03);
  settings->Radar = nullptr;
  ResetCounters();
  settings->SetSpanIndex(1);
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 79.95);
  EXPECT_EQ(radar.resends, 0);
}

TEST_F(AcquisitionSettings, InitSettingsByRadarUsesTheRadarsUnit) {
  radar.type = Unit24;  // 16, 32, 56, 80 ns
  settings->InitSettingsByRadar();
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 56.0);
  settings->Radar = nullptr;
  settings->InitSettingsByRadar();
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 106.6);
}

TEST_F(AcquisitionSettings, OverStepAndStackingResendOnlyForAChannelOfARadargramWindow) {
  FakeStore looseStore;  // a channel store without window
  TSettingData* loose = new TSettingData(&looseStore);
  loose->SetOverStep(3);
  loose->SetStacking(33);
  EXPECT_EQ(radar.resends, 0);
  EXPECT_EQ(loose->GetLongTrace(), 333);
  // SpanIndex and WheelMult need only the main window and the radar.
  loose->SetSpanIndex(1);
  EXPECT_EQ(radar.resends, 1);
  loose->SetWheelMult(loose->GetWheelMult());
  EXPECT_EQ(radar.resends, 2);
  loose->Radar = nullptr;
  loose->SetWheelMult(9);
  EXPECT_EQ(radar.resends, 2);
  EXPECT_TRUE(window.filledLists.empty());
}

TEST_F(AcquisitionSettings, RefreshesReachOnlyAVisibleWindowAndItsActiveChannel) {
  // Not the active channel: no own refill, but the channel-0 refill still runs.
  window.activeStore = nullptr;
  settings->SetComments("x");
  settings->SetStartXShift(1);
  EXPECT_EQ(window.filledLists, std::vector<int>({0}));

  // The channel-0 refill is done by the main window's active window.
  FakeWindow other;
  shell.activeWindow = &other;
  window.filledLists.clear();
  settings->SetDirection(back);
  EXPECT_TRUE(window.filledLists.empty());
  EXPECT_EQ(other.filledLists, std::vector<int>({0}));

  // No active window: nobody refills.
  shell.activeWindow = nullptr;
  settings->SetAngle(3);
  EXPECT_EQ(other.filledLists.size(), 1u);
  EXPECT_TRUE(window.filledLists.empty());

  // A hidden window refills nothing.
  shell.activeWindow = &window;
  window.activeStore = &store;
  window.visible = false;
  settings->SetComments("y");
  settings->SetStackingCurve(50);
  EXPECT_TRUE(window.filledLists.empty());
}

TEST_F(AcquisitionSettings, SettingsWithoutAChannelStoreTouchNoWindow) {
  TComponent plainOwner(nullptr);
  TSettingData* orphan = new TSettingData(&plainOwner);
  orphan->SetComments("x");
  orphan->SetDirection(back);
  orphan->SetOverStep(4);
  orphan->SetTypeGPR(Unit07);
  EXPECT_EQ(orphan->GetTypeGPR(), Unit07);
  EXPECT_EQ(orphan->GetLongTrace(), 250);
  EXPECT_EQ(orphan->GetStartDeviceXShift(), 0);
  EXPECT_TRUE(window.filledLists.empty());
  EXPECT_EQ(radar.resends, 0);
}

TEST_F(AcquisitionSettings, UnitSerialNumberAndAdvancedStackingAreRefusedWhileTracesExist) {
  store.holdsTraces = true;
  settings->SetTypeGPR(Unit09);
  settings->SetSerNum(77);
  settings->SetAdvanceStacking(true);
  EXPECT_EQ(settings->GetTypeGPR(), Unit01);
  EXPECT_EQ(settings->GetSerNum(), 0);
  EXPECT_FALSE(settings->GetAdvanceStacking());
  EXPECT_TRUE(window.filledLists.empty());
  EXPECT_EQ(window.radarChanges, 0);
  // Other parameters still change.
  settings->SetSpeedLight(100);
  EXPECT_EQ(settings->GetSpeedLight(), 100);

  store.holdsTraces = false;
  settings->SetTypeGPR(Unit09);
  settings->SetSerNum(77);
  settings->SetAdvanceStacking(true);
  EXPECT_EQ(settings->GetTypeGPR(), Unit09);
  EXPECT_EQ(settings->GetSerNum(), 77);
  EXPECT_TRUE(settings->GetAdvanceStacking());
}

TEST_F(AcquisitionSettings, TypeGprInAVisibleWindowRepicksTheWindowAndTellsTheTools) {
  radar.type = Unit20;  // 240, 360, 480, 600 ns
  settings->SetTypeGPR(Unit20);
  EXPECT_EQ(settings->GetTypeGPR(), Unit20);
  EXPECT_EQ(settings->GetSpanIndex(), 2);
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 480.0);
  EXPECT_TRUE(settings->GetNeedForSave());
  EXPECT_EQ(radar.resends, 1);
  EXPECT_EQ(window.filledLists, std::vector<int>({2, 0}));
  EXPECT_EQ(window.radarChanges, 1);

  // In a hidden window only the value changes: the width is not picked again.
  radar.type = Unit01;
  Fresh();
  radar.type = Unit20;
  window.visible = false;
  settings->SetTypeGPR(Unit21);
  EXPECT_EQ(settings->GetTypeGPR(), Unit21);
  EXPECT_DOUBLE_EQ(settings->GetSpanWidth(), 240.0);
  EXPECT_FALSE(settings->GetNeedForSave());
  EXPECT_EQ(radar.resends, 0);
  EXPECT_EQ(window.radarChanges, 0);
}

TEST_F(AcquisitionSettings, DeviceShiftsAddTheWindowsDeviceOffset) {
  window.deviceX = 20000;
  window.deviceY = -7;
  window.deviceZ = 1;
  settings->SetStartXShift(5000);
  settings->SetStartYShift(3);
  settings->SetStartZShift(-1);
  EXPECT_EQ(settings->GetStartDeviceXShift(), 25000);
  EXPECT_EQ(settings->GetStartDeviceYShift(), -4);
  EXPECT_EQ(settings->GetStartDeviceZShift(), 0);
  // The 32-bit sum saturates instead of overflowing.
  window.deviceX = std::numeric_limits<int32_t>::max();
  window.deviceY = std::numeric_limits<int32_t>::min();
  settings->SetStartYShift(-10);
  EXPECT_EQ(settings->GetStartDeviceXShift(), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(settings->GetStartDeviceYShift(), std::numeric_limits<int32_t>::min());
}

}  // namespace
