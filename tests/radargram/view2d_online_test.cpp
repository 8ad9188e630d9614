// The recording window's online display driven directly: a real radar set by
// channel slot with radars whose last trace the test writes, the window's
// PaintLastTrace as a reader thread calls it, and the online painter's passes.

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/sound.h"
#include "platform/ui/menus.h"
#include "platform/ui/panels.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers.h"
#include "profiledata/markers_data.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/online_stages.h"
#include "radargram/online_strip.h"
#include "radargram/view2d_form.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

namespace view2d_online_test {

// Every sound asked for, never busy.
class TRecordingSound : public ISoundOutput {
public:
  bool Busy() override { return false; }
  void Start(const QString& resourceName) override { started.push_back(resourceName); }
  std::vector<QString> started;
};

class View2DOnline : public ::testing::Test {
protected:
  void SetUp() override {
    SetSoundOutput(&sound);
    RegisterOnlineStages();
    radar.OpenLog(QStringLiteral("Online"));
    control.AddRadarToChanal(0, &radar);
    env.shell.controlRadar = &control;
    env.shell.runActionChecked = true;
    env.shell.radarStarted = true;
    window = env.Create(1);
    store = window->GetView2DByIndx(0);
    settings = store->Settings();
    settings->SetOverStep(5);  // 200 samples
    settings->SetRunMode(rmWheel);
  }
  void TearDown() override {
    if (window) window->Free();
    env.shell.controlRadar = nullptr;
    control.RadarNil();
    SetSoundOutput(nullptr);
    UnregisterOnlineStages();
  }
  // The radar's next trace: sample i is base + i.
  void NextTrace(int32_t base) {
    std::lock_guard guard(radar.SectPaint);
    for (size_t i = 0; i < radar.LastArray.size(); ++i) radar.LastArray[i] = base + static_cast<int32_t>(i);
  }
  // The hand-over as the radar's reader thread makes it.
  TTraceStored Hand(int32_t numCollision, TDirectForCart direction = dForward, int32_t lost = 0) {
    std::lock_guard guard(radar.SectPaint);
    const TTraceHandOver trace{radar,     radar.LastArray, numCollision, direction, lost, radar.LastDirect.load(),
                               radar.LastRecived.load()};
    const TTraceStored stored = window->PaintLastTrace(trace);
    radar.LastDirect = stored.LastDirect;
    radar.LastRecived = stored.LastRecived;
    return stored;
  }
  // Starts the channel at position p with its first trace to come.
  void StartAt(int64_t p) {
    store->SetMinNumTraces(p);
    store->SetMaxNumTraces(p);
    store->SetPosTraces(p);
    store->FirstTrace = true;
  }
  int32_t SampleOf(int64_t trace, int i) const { return store->IndexTraces.Trace(trace)[i]; }

  TRadargramEnv env;
  TRecordingSound sound;
  TFakeRadar radar;
  TControlRadar control;
  TView2DForm* window = nullptr;
  T2Dview* store = nullptr;
  TSettingData* settings = nullptr;
};

TEST_F(View2DOnline, ACollisionCountStoresCopiesForwardAndTheNextPassWarns) {
  StartAt(10);
  NextTrace(100);
  Hand(5);  // the first trace of a recording counts once whatever the count
  ASSERT_EQ(store->MaxNumTraces(), 11);
  EXPECT_EQ(SampleOf(10, 0), 100);
  EXPECT_FALSE(window->PlayBOOM);

  NextTrace(300);
  radar.AccelerometerValues = {1, 2, 3, 4};
  const TTraceStored stored = Hand(3);
  EXPECT_EQ(store->MinNumTraces(), 10);
  EXPECT_EQ(store->MaxNumTraces(), 14);
  for (int64_t t = 11; t <= 13; ++t) {
    EXPECT_EQ(SampleOf(t, 0), 300) << t;
    EXPECT_EQ(SampleOf(t, 199), 499) << t;
    ASSERT_NE(settings->IndexIncl.Entry(t), nullptr);
    EXPECT_EQ(settings->IndexIncl.Entry(t)->Values, (std::array<int16_t, 4>{1, 2, 3, 4}));
  }
  EXPECT_EQ(stored.LastRecived, 14);
  EXPECT_EQ(radar.LastRecived.load(), 14);
  EXPECT_EQ(store->SizeDat(), 4 * 200 * 4);
  EXPECT_TRUE(settings->WasStarted);
  EXPECT_TRUE(window->PlayBOOM) << "repeated traces at the end of the profile";

  window->PaintOnlineThread();
  EXPECT_EQ(sound.started, (std::vector<QString>{QStringLiteral("BOOM")}));
  EXPECT_FALSE(window->PlayBOOM);
  window->PaintOnlineThread();
  EXPECT_EQ(sound.started.size(), 1u) << "played once";
}

TEST_F(View2DOnline, GroundAlreadyRecordedIsDroppedAndBackwardMovesPrepend) {
  StartAt(0);
  for (int k = 0; k < 10; ++k) {
    NextTrace(k * 1000);
    Hand(1);
  }
  ASSERT_EQ(store->NumTraces(), 10);
  NextTrace(-7);
  Hand(5, dBackward);
  EXPECT_EQ(store->PosTraces(), 5);
  Hand(5, dForward);
  EXPECT_EQ(store->PosTraces(), 10);
  EXPECT_EQ(store->NumTraces(), 10) << "back and forth over recorded ground stores nothing";
  EXPECT_EQ(SampleOf(9, 0), 9000);

  Hand(10, dBackward);
  EXPECT_EQ(store->NumTraces(), 10) << "back at the first trace: still inside";
  NextTrace(-50);
  const TTraceStored stored = Hand(2, dBackward);
  EXPECT_EQ(store->MinNumTraces(), -2);
  EXPECT_EQ(store->MaxNumTraces(), 10);
  EXPECT_EQ(SampleOf(-1, 0), -50);
  EXPECT_EQ(SampleOf(-2, 0), -50);
  EXPECT_EQ(stored.LastRecived, -2);
  EXPECT_EQ(stored.LastDirect, dBackward);
  EXPECT_EQ(settings->MinNumIncl, -2);
}

TEST_F(View2DOnline, ADistanceChannelGoingBackInvertsTheDirection) {
  struct TCase {
    TTopoType topo;
    TDirection channel;
    TDirectForCart expected;
  };
  const TCase cases[] = {{ttWheel, back, dBackward}, {ttWheel, forth, dForward}, {ttGPS, back, dForward},
                         {ttNil, back, dForward}};
  for (const TCase& c : cases) {
    settings->SetTopoType(c.topo);
    settings->SetDirection(c.channel);
    StartAt(0);
    EXPECT_EQ(Hand(1, dForward).Direction, c.expected) << int{c.topo} << " " << int{c.channel};
  }
}

TEST_F(View2DOnline, LostWiFiTracesAreZeroTracesThatStayZeroOnScreen) {
  // A background removal that would move an all-zero trace off zero.
  auto* stages = dynamic_cast<TOnlineStageSet*>(store->OnlineStages());
  ASSERT_NE(stages, nullptr);
  stages->SetWidthWindow(4);
  stages->SetWindowedBackgroundRemovalApplay(true);
  env.shell.radarStarted = false;
  window->PrepareForRunning();
  env.shell.radarStarted = true;
  StartAt(0);
  radar.LastPaint = 0;
  radar.LastRecived = 0;
  radar.AccelerometerValues = {5, 6, 7, 8};
  for (int k = 0; k < 3; ++k) {
    NextTrace(2000 + 500 * k);
    Hand(1);
  }
  NextTrace(4000);
  Hand(1, dForward, 2);
  ASSERT_EQ(store->NumTraces(), 6);
  EXPECT_EQ(store->PosTraces(), 6);
  for (int64_t t : {3, 4}) {
    SCOPED_TRACE(t);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(SampleOf(t, i), 0);
    ASSERT_NE(settings->IndexIncl.Entry(t), nullptr);
    EXPECT_EQ(*settings->IndexIncl.Entry(t), TInclRecord{});
  }
  EXPECT_EQ(SampleOf(5, 0), 4000);
  EXPECT_EQ(settings->IndexIncl.Entry(5)->Values, (std::array<int16_t, 4>{5, 6, 7, 8}));

  window->PaintOnlineThread();
  EXPECT_EQ(radar.LastPaint.load(), 6) << "the painter caught up";
  TBitmap& strip = *window->OnRunBmpFull_[0];
  for (int64_t t : {3, 4})
    for (int r = 0; r < 200; ++r)
      ASSERT_EQ(strip.ScanLine(r)[window->OnlineStripColumn(0, t)], online_strip::ZeroIndex) << t << " row " << r;
  bool signal = false;
  for (int r = 0; r < 200; ++r) signal |= strip.ScanLine(r)[window->OnlineStripColumn(0, 5)] != online_strip::ZeroIndex;
  EXPECT_TRUE(signal) << "the received trace is drawn";
}

TEST_F(View2DOnline, AStepEndsOnTheUserInterfaceThreadAfterOneTrace) {
  settings->SetRunMode(rmStep);
  StartAt(0);
  NextTrace(1);
  std::thread reader([&] { Hand(1); });
  reader.join();
  EXPECT_EQ(store->NumTraces(), 1);
  EXPECT_TRUE(env.shell.runActionChecked) << "nothing of the user interface on the reader thread";
  EXPECT_EQ(env.shell.updatemenuCalls, 0);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !env.shell.runActionChecked; }, std::chrono::milliseconds(5000)));
  EXPECT_EQ(env.shell.runImage, 6);
  EXPECT_EQ(env.shell.runMenuCaption, QStringLiteral("Start"));
  EXPECT_FALSE(env.shell.radarStarted);
  EXPECT_EQ(env.shell.updatemenuCalls, 1);
}

TEST_F(View2DOnline, AnNmeaSentenceIsNumberedByTheStoredTracesAndAddedOnTheUserInterfaceThread) {
  StartAt(0);
  for (int k = 0; k < 120; ++k) Hand(1);
  store->SetPosTraces(60);
  const QString sentence = QStringLiteral("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");
  radar.SetLastNMEA(sentence);
  std::thread reader([&] { Hand(1); });
  reader.join();
  EXPECT_EQ(store->NumTraces(), 120) << "inside the recorded range";
  EXPECT_TRUE(settings->NMEIStrings.isEmpty()) << "the list is not touched on the reader thread";
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !settings->NMEIStrings.isEmpty(); }, std::chrono::milliseconds(5000)));
  EXPECT_EQ(settings->NMEIStrings, QStringList{QStringLiteral("120=") + sentence});
  radar.SetLastNMEA(QString());
  Hand(1);
  Application->ProcessMessages();
  EXPECT_EQ(settings->NMEIStrings.size(), 1);
}

TEST_F(View2DOnline, NothingIsStoredWhileTheRunActionIsUnchecked) {
  StartAt(0);
  env.shell.runActionChecked = false;
  radar.SetSerNum(4321);
  Hand(1);
  EXPECT_EQ(store->NumTraces(), 0);
  EXPECT_EQ(store->PosTraces(), 0);
  EXPECT_EQ(settings->GetSerNum(), 4321) << "the serial number is taken all the same";
}

TEST_F(View2DOnline, AtTheEndOfTheTraceRangeTheRecordingStopsOnceAndKeepsItsTraces) {
  StartAt(TTraceTable::LastIndex - 2);
  NextTrace(9);
  Hand(1);
  Hand(4);  // three places left for four copies
  EXPECT_EQ(store->MaxNumTraces(), TTraceTable::LastIndex + 1);
  EXPECT_EQ(store->PosTraces(), store->MaxNumTraces());
  EXPECT_EQ(SampleOf(TTraceTable::LastIndex, 0), 9);
  Hand(1);
  TDialogScript::QueueAnswer(mrOk);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return !env.shell.runExecutions.empty(); }, std::chrono::milliseconds(5000)));
  Application->ProcessMessages();
  ASSERT_EQ(TDialogScript::Shown().size(), 1u) << "one message for the recording";
  EXPECT_TRUE(TDialogScript::Shown()[0].Text.contains(QStringLiteral("no room")));
  EXPECT_EQ(env.shell.runExecutions, (std::vector<bool>{false}));
  EXPECT_EQ(env.shell.stopActions, 1);
  EXPECT_EQ(store->NumTraces(), 3) << "the first trace and the two copies that fitted";
}

TEST_F(View2DOnline, PastThirtyThousandTracesWithTheRunButtonDownTheNextPassStops) {
  struct TCase {
    int64_t traces;
    bool down;
    bool stops;
  };
  for (const TCase& c : {TCase{30001, true, true}, TCase{30000, true, false}, TCase{30001, false, false}}) {
    SCOPED_TRACE(c.traces);
    env.shell.runExecutions.clear();
    env.shell.stopActions = 0;
    env.shell.radarStarted = true;
    env.shell.runActionChecked = true;
    env.shell.runButtonDown = c.down;
    store->SetMinNumTraces(0);
    store->SetMaxNumTraces(c.traces);
    window->PaintOnlineThread();
    EXPECT_EQ(env.shell.stopActions, c.stops ? 1 : 0);
    EXPECT_EQ(env.shell.runActionChecked.load(), !c.stops);
  }
}

TEST_F(View2DOnline, CursorTicksMoveThePositionAndLeavingTheRangeWarns) {
  env.shell.radarStarted = false;
  window->PrepareForRunning();
  StartAt(0);
  for (int k = 0; k < 10; ++k) Hand(1);
  store->SetPosTraces(2);
  settings->SetDirection(back);
  radar.SetCurMode(cmCursor);
  TChartAxis* left = window->GetChartByIndx(0)->LeftAxis();
  left->LabelsFont()->SetColor(clBlack);
  radar.CurWheelTicks = 1;
  window->PaintOnlineThread();
  EXPECT_EQ(store->PosTraces(), 1);
  EXPECT_TRUE(env.shell.runActionEnabled) << "still inside";
  EXPECT_TRUE(sound.started.empty());

  radar.CurWheelTicks = 4;
  window->PaintOnlineThread();
  EXPECT_EQ(store->PosTraces(), -3);
  EXPECT_EQ(radar.CurWheelTicks.load(), 0);
  EXPECT_TRUE(window->AutOfRange);
  EXPECT_EQ(left->LabelsFont()->Color(), static_cast<TColor>(0x0000FF));
  EXPECT_TRUE(left->LabelsFont()->Style().Contains(fsBold));
  EXPECT_EQ(sound.started, (std::vector<QString>{QStringLiteral("SND2")}));
  EXPECT_FALSE(env.shell.runActionEnabled);
  EXPECT_FALSE(env.shell.bindingActionEnabled);
  EXPECT_EQ(env.shell.cmCursor, QStringLiteral("-3"));

  settings->SetDirection(forth);
  radar.CurWheelTicks = 5;
  window->PaintOnlineThread();
  EXPECT_EQ(store->PosTraces(), 2);
  EXPECT_FALSE(window->AutOfRange);
  EXPECT_EQ(left->LabelsFont()->Color(), clBlack) << "back inside";
  EXPECT_TRUE(env.shell.runActionEnabled);
  EXPECT_EQ(sound.started.size(), 1u);
}

TEST_F(View2DOnline, AMasterReportingGpsWithPositionsOutsideBothRangesStopsWithAMessage) {
  window->PrepareForRunning();
  StartAt(0);
  for (int k = 0; k < 5; ++k) Hand(1);
  radar.SetGPSstate(gpsOn);
  radar.LastRecived = 50;
  TDialogScript::QueueAnswer(mrOk);
  window->PaintOnlineThread();
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text, QStringLiteral("GPS is not synchronized with GPR\r\nDecrease Number of Samples"));
  EXPECT_EQ(radar.LastRecived.load(), 5);
  EXPECT_EQ(env.shell.runExecutions, (std::vector<bool>{false}));
  EXPECT_EQ(env.shell.stopActions, 1);
}

}  // namespace view2d_online_test

namespace view2d_online_test {

TEST_F(View2DOnline, ThePaintThreadWaitsSuspendedPaintsWhenResumedAndStopsWithTheCloseQuery) {
  TOnlinePaintThread* thread = window->OnlinePaintThread.get();
  ASSERT_NE(thread, nullptr);
  EXPECT_FALSE(thread->Started()) << "created suspended";
  EXPECT_EQ(thread->Priority(), tpLower);
  EXPECT_EQ(thread->SleepTm, 100);
  thread->SleepTm = 5;
  StartAt(0);
  NextTrace(40);
  window->PrepareForRunning();
  Hand(1);
  thread->Resume();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return thread->Passes() >= 3; }, std::chrono::milliseconds(10000)));
  EXPECT_EQ(radar.LastPaint.load(), 1) << "the passes paint";

  bool canClose = false;
  env.shell.radarStarted = false;
  TDialogScript::QueueAnswer(mrNo);  // the recorded trace is not saved
  window->FormCloseQuery(nullptr, canClose);
  ASSERT_TRUE(canClose);
  EXPECT_TRUE(thread->Suspended());
  Application->ProcessMessages();
  const int64_t passes = thread->Passes();
  for (int i = 0; i < 5; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Application->ProcessMessages();
  }
  EXPECT_EQ(thread->Passes(), passes);
  window->Free();  // joins the thread
  window = nullptr;
}

}  // namespace view2d_online_test

namespace view2d_online_test {

TEST_F(View2DOnline, TheIndicatorShowsTheWheelSpeedAndBlinksInContinuousMode) {
  window->PrepareForRunning();
  radar.SetCurMode(cmWheel);
  radar.SetMaxSpeedLimit(4);
  window->PaintIndicator(&radar);
  const int unit = window->ButtonPanel->Height() / 14;
  ASSERT_GT(unit, 0);
  EXPECT_EQ(window->IndicatorTop, (14 - 4) * unit);
  EXPECT_EQ(radar.LastMaxSpeedLimit.load(), 4);
  EXPECT_EQ(radar.MaxSpeedLimit(), 0) << "the next pass shows the next maximum";
  EXPECT_EQ(window->ButtonPanel->Color(), clBtnFace);

  radar.SetCurMode(cmCont);
  window->PaintIndicator(&radar);
  EXPECT_EQ(window->ButtonPanel->Color(), static_cast<TColor>(0x00FFFF));
  window->PaintIndicator(&radar);
  EXPECT_EQ(window->ButtonPanel->Color(), static_cast<TColor>(0x00FF00));
  window->PaintIndicator(&radar);
  EXPECT_EQ(window->ButtonPanel->Color(), static_cast<TColor>(0x00FFFF));
}

TEST_F(View2DOnline, ARepaintNextToTheCursorPaintsTheNeighbourInsideTheRange) {
  struct TCase {
    TDirection direction;
    int64_t received;
    int64_t painted;
  };
  StartAt(0);
  for (int k = 0; k < 10; ++k) Hand(1);  // traces 0..9, range [0, 10]
  for (const TCase& c : {TCase{back, 5, 6}, TCase{forth, 5, 4}, TCase{back, 10, 9}, TCase{forth, 0, 1}}) {
    settings->SetDirection(c.direction);
    radar.LastRecived = c.received;
    radar.LastPaint = c.received;
    window->ShiftLastPaint(0);
    EXPECT_EQ(radar.LastPaint.load(), c.painted) << int{c.direction} << " at " << c.received;
  }
  radar.LastRecived = 5;
  radar.LastPaint = 3;
  window->ShiftLastPaint(0);
  EXPECT_EQ(radar.LastPaint.load(), 3) << "traces still to paint: left alone";
}

TEST_F(View2DOnline, TracesAndMetresConvertByTheChannelsStepAndTheDeviceOffset) {
  settings->SetTopoType(ttWheel);
  settings->SetWheelMult(1);
  settings->SetWheelStep(50);
  ASSERT_EQ(settings->GetMeasureStep(), 50.0f);
  EXPECT_EQ(window->DistToMasterTrace(1.0L), 20);
  EXPECT_EQ(window->DistToMasterTrace(0.0249L), 0);
  window->SetDeviceOffsets(250000, 0, 0);  // 2.5 m
  EXPECT_DOUBLE_EQ(static_cast<double>(window->TraceToDistView(40, 0, false)), 4.5);
  EXPECT_EQ(window->DistToTraceView(0, false, 2.0L), 40);
  window->SetDirection(1);
  EXPECT_EQ(window->GetDirection(), 1);
  EXPECT_EQ(settings->GetDirection(), back);
}

}  // namespace view2d_online_test

namespace view2d_online_test {

TEST_F(View2DOnline, PreparingARecordingAlignsTheChannelsAndStartsTheStrips) {
  window->Free();
  window = env.Create(2);
  store = window->GetView2DByIndx(0);
  settings = store->Settings();
  TSettingData& second = *window->GetView2DByIndx(1)->Settings();
  settings->SetOverStep(5);
  settings->SetRunMode(rmCont);
  settings->SetTopoType(ttWheel);
  settings->SetSpeedLight(100);
  settings->SetDirection(back);
  settings->SetComments(QStringLiteral("line 7"));
  second.SetOverStep(2);
  store->SetPosTraces(33);
  env.shell.radarStarted = false;
  window->PrepareForRunning();
  EXPECT_EQ(settings->GetTopoType(), ttNil) << "only a wheel recording places traces by distance";
  EXPECT_EQ(second.GetRunMode(), rmCont);
  EXPECT_EQ(second.GetTopoType(), ttNil);
  EXPECT_EQ(second.GetOverStep(), 5);
  EXPECT_EQ(second.GetSpeedLight(), 100);
  EXPECT_EQ(second.GetDirection(), back);
  EXPECT_EQ(second.GetComments(), QStringLiteral("line 7"));
  EXPECT_EQ(radar.LastPaint.load(), 33);
  EXPECT_EQ(radar.LastRecived.load(), 33);
  EXPECT_FALSE(window->DistanceMenu->Enabled());
  EXPECT_TRUE(window->TracesMenu->Checked());
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    TBitmap& strip = *window->OnRunBmpFull_[static_cast<size_t>(i)];
    EXPECT_EQ(strip.Width(), 2100);
    EXPECT_EQ(strip.Height(), 200);
    EXPECT_EQ(strip.ScanLine(199)[2099], online_strip::ZeroIndex);
    EXPECT_EQ(window->OnRunBmp_[static_cast<size_t>(i)]->Height(), 200);
  }
}

TEST_F(View2DOnline, TheSpaceKeysMarkGoesToTheNextPaintedTrace) {
  window->PrepareForRunning();
  StartAt(0);
  for (int k = 0; k < 3; ++k) Hand(1);
  window->ReadyTopo = true;
  window->PaintOnlineThread();
  EXPECT_FALSE(window->ReadyTopo);
  ASSERT_NE(settings->SurfaceMarkersArray, nullptr);
  ASSERT_EQ(settings->SurfaceMarkersArray->Count(), 1);
  EXPECT_EQ(settings->SurfaceMarkersArray->GetSurfaceMarker(0)->GetNumTrace(), 3);
  EXPECT_EQ(settings->SurfaceMarkersArray->GetSurfaceMarker(0)->GetComment(), QStringLiteral("S0"));
}

}  // namespace view2d_online_test

namespace view2d_online_test {

TEST_F(View2DOnline, MarkersOverTheOnlineImageArePlacedByTheStretchAndOnlyInsideIt) {
  window->PrepareForRunning();
  ASSERT_NE(settings->SurfaceMarkersArray, nullptr);
  ASSERT_NE(settings->ObjectMarkersArray, nullptr);
  window->ShowComentsSurfaceMarkers = false;
  window->ShowComentsObjectMarkers = false;
  const int64_t origin = window->OnRunBmpFullOrigin_[0];
  // Columns 10 (first shown) .. 60; a surface marker at column 30 and one at
  // 70 (outside); an object marker at column 40, sample 50.
  settings->SurfaceMarkersArray->Add(0, static_cast<int32_t>(origin + 30), QString());
  settings->SurfaceMarkersArray->Add(0, static_cast<int32_t>(origin + 70), QString());
  settings->ObjectMarkersArray->Add(0, static_cast<TColor>(0xFF0000), QString(), 50, static_cast<int32_t>(origin + 40));
  TBitmap& back = *window->GetChartByIndx(0)->BackImage();
  back.Canvas()->Brush()->SetColor(clWhite);
  back.Canvas()->FillRect(Rect(0, 0, back.Width(), back.Height()));
  window->PaintMarkersOnline(0, 10, 2.0, 3.0, 200, 0, 60);
  const auto pixel = [&](int x, int y) { return reinterpret_cast<const TColor32*>(back.ScanLine(y))[x] & 0xFFFFFF; };
  EXPECT_EQ(pixel(60, 6), 0xFFFF00u) << "the yellow triangle at (30 - 10) x 3";
  EXPECT_EQ(pixel(180, 6), 0xFFFFFFu) << "column 70 lies past the right edge";
  EXPECT_EQ(pixel(90 + 4, 100), 0x0000FFu) << "the cross's arm at ((40 - 10) x 3, 50 x 2), in its colour";
  EXPECT_EQ(pixel(90, 100 - 4), 0x0000FFu);
}

TEST_F(View2DOnline, AReplayedBackupEndsWithTheStopActionsOnceRunIsUncheckedAndAllIsPainted) {
  env.shell.radarStarted = false;
  window->PrepareForRunning();
  env.shell.radarStarted = true;
  StartAt(0);
  radar.LastPaint = 0;
  radar.LastRecived = 0;
  window->OnlinePaintThread->IsBackup = true;
  for (int k = 0; k < 3; ++k) {
    NextTrace(1000 + 100 * k);
    Hand(1);
  }
  window->PaintOnlineThread();
  window->PaintOnlineThread();
  ASSERT_EQ(radar.LastPaint.load(), 3);
  EXPECT_EQ(env.shell.stopActions, 0) << "caught up with a replay that still runs";
  EXPECT_TRUE(window->OnlinePaintThread->IsBackup);

  // The end of the replay unchecks Run; the next pass ends the backup once.
  env.shell.runActionChecked = false;
  window->PaintOnlineThread();
  EXPECT_EQ(env.shell.stopActions, 1);
  EXPECT_FALSE(window->OnlinePaintThread->IsBackup);
  window->PaintOnlineThread();
  EXPECT_EQ(env.shell.stopActions, 1);
}

}  // namespace view2d_online_test
