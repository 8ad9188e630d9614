// Decoded traces: acknowledgements, collision counts, directions, numbered traces
// and where each trace goes (preferences dialog, settings preview, recording window).

#include "platform/ui/application.h"
#include "radar/packet_codes.h"
#include "radar/radar_link_state.h"
#include "radar/radar_messages.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radar/sim_expectations.h"

#include <gtest/gtest.h>

namespace {

class RadarTraceHandOver : public ::testing::Test {
protected:
  void SetUp() override {
    radar.OpenLog(QStringLiteral("H"));
    radar.SetFirmwareVer(19);
    set.slotRadars[2] = &radar;
    WiFiTracesLost = false;
    MasterDirection = dForward;
  }
  radarsim::TTraceSpec Spec(uint32_t index, radarsim::TTraceFormat format = radarsim::tfReadydata2) const {
    radarsim::TTraceSpec spec;
    spec.Firmware = radar.FirmwareVer();
    spec.Format = format;
    spec.Index = index;
    spec.Samples = 30;
    spec.Accelerometer = {static_cast<int16_t>(index), -3, 7, static_cast<int16_t>(-static_cast<int>(index))};
    return spec;
  }
  void Feed(const radarsim::TTraceSpec& spec) { parser.Feed(radarsim::EncodeTrace(spec)); }
  std::vector<TBytes> Acks() const {
    std::vector<TBytes> acks;
    for (const TBytes& p : radar.Sent())
      if (p[6] == bcpAckofReceipt) acks.push_back(p);
    return acks;
  }

  TProgramFolderScope folder;
  TFakeRadarShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRecordingWindow window;
  TFakeRadar radar;
  TParserUnderTest parser{radar};
};

TEST_F(RadarTraceHandOver, EachTraceGoesToTheFirstPreviewThatIsOpenElseToTheRecording) {
  shell.Record(&window);
  radar.LengthLastArray = 30;
  shell.settingsVisible = true;
  shell.preferencesExist = true;
  Feed(Spec(1));
  shell.preferencesExist = false;
  Feed(Spec(2));
  shell.settingsVisible = false;
  Feed(Spec(3));
  shell.runActionChecked = false;
  Feed(Spec(4));
  Application->ProcessMessages();

  const auto toPreferences = shell.preferences.Messages(WM_PAINTLASTTRACE);
  ASSERT_EQ(toPreferences.size(), 1u);
  EXPECT_EQ(toPreferences[0].WParam, 0u);
  const auto toSettings = shell.settings.Messages(WM_PAINTLASTTRACE);
  ASSERT_EQ(toSettings.size(), 1u);
  EXPECT_EQ(toSettings[0].WParam, 30u) << "samples per trace";
  EXPECT_EQ(toSettings[0].LParam, 2) << "the radar's channel slot";
  const auto recorded = window.Calls();
  ASSERT_EQ(recorded.size(), 1u) << "only trace 3: a stopped Run command records nothing";
  ExpectTraceSamples(recorded[0].Samples, Spec(3));
  ExpectTraceSamples(radar.CopyLastArray(), Spec(4));
  EXPECT_EQ(radar.AccelerometerValues, (std::array<int16_t, 4>{4, -3, 7, -4}));
}

TEST_F(RadarTraceHandOver, RepeatedSequenceNumbersAreAcknowledgedButStoredOnce) {
  shell.Record(&window);
  Feed(Spec(5));
  Feed(Spec(5));
  Feed(Spec(6));
  ASSERT_EQ(window.Count(), 2u);
  EXPECT_TRUE(LogContains(radar.Log().FileName(), QStringLiteral("numCurTrace = numLastTrace  bcpAckofReceipt: startPos=0 BlockLength=")));
  const auto acks = Acks();
  ASSERT_EQ(acks.size(), 3u) << "every trace is acknowledged at once";
  EXPECT_EQ(acks[0], Frame(0x91, {5}));
  EXPECT_EQ(acks[2], Frame(0x91, {6}));

  radar.SetWithoutAck(true);
  Feed(Spec(7));
  Feed(Spec(7));
  EXPECT_EQ(Acks().size(), 4u) << "without acknowledgements only a repeat is acknowledged";
}

TEST_F(RadarTraceHandOver, CollisionCountsAddUpAndFirmware18NeverStoresZero) {
  shell.Record(&window);
  auto spec = Spec(1);
  spec.Collision = 3;
  Feed(spec);
  spec = Spec(2);
  spec.Collision = 2;
  Feed(spec);
  EXPECT_EQ(radar.GetNumCollision(), 2);
  EXPECT_EQ(radar.GetSumCollision(), 3) << "(3 - 1) + (2 - 1)";
  EXPECT_EQ(window.Calls().back().NumCollision, 2);

  radar.SetCurMode(cmCont);
  Feed(Spec(3));
  EXPECT_EQ(radar.GetSumCollision(), 0) << "continuous mode: one position per trace";

  radar.SetCurMode(cmStop);
  radar.SetFirmwareVer(18);
  window.longTrace = 30;  // channel 0's trace length: 16-bit samples
  spec = Spec(4);
  spec.Collision = 0;
  Feed(spec);
  EXPECT_EQ(window.Calls().back().NumCollision, 1);
  EXPECT_TRUE(LogContains(radar.Log().FileName(), QStringLiteral(" change NumCollision=1")));
  const size_t stored = window.Count();
  radar.SetModeRadar(TRadarRole::slave);
  spec = Spec(5);
  spec.Collision = 0;
  Feed(spec);
  EXPECT_EQ(window.Count(), stored) << "a slave without a collision count from its master is dropped";
}

TEST_F(RadarTraceHandOver, DirectionsFollowTheMasterAndAGpsRecordingRunsForward) {
  shell.Record(&window);
  auto spec = Spec(1);
  spec.Backward = true;
  Feed(spec);
  EXPECT_EQ(radar.GetRadarDirection(), dForward) << "the fake radar has no direction of its own";
  EXPECT_EQ(parser.FDirectionForCart, dBackward);
  EXPECT_EQ(MasterDirection, dBackward) << "a single radar publishes its direction";

  radar.SetModeRadar(TRadarRole::slave);
  MasterDirection = dForward;
  spec.Index = 2;
  Feed(spec);
  EXPECT_EQ(parser.FDirectionForCart, dForward) << "a slave takes the master's";

  radar.SetModeRadar(TRadarRole::single);
  radar.SetGPSstate(gpsOn);
  shell.radarStarted = true;
  spec.Index = 3;
  spec.Nmea = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
  Feed(spec);
  EXPECT_EQ(parser.FDirectionForCart, dForward) << "a GPS-placed recording runs forward";
}

TEST_F(RadarTraceHandOver, NumberedTracesCountTheGapAndFlagLostTraces) {
  shell.hasCurrentChild = true;
  shell.runChild = &window;
  shell.runActionChecked = true;
  NumberedTracesArrive = false;
  Feed(Spec(1, radarsim::tfReadydata3));
  Feed(Spec(2, radarsim::tfReadydata3));
  EXPECT_FALSE(WiFiTracesLost);
  EXPECT_TRUE(NumberedTracesArrive);
  Feed(Spec(5, radarsim::tfReadydata3));
  const auto calls = window.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].NumCollisionWiFi, 0);
  EXPECT_EQ(calls[2].NumCollisionWiFi, 2) << "traces 3 and 4 are missing";
  EXPECT_TRUE(WiFiTracesLost);
  EXPECT_EQ(radar.LengthLastArray, 30);
  ExpectTraceSamples(calls[2].Samples, Spec(5, radarsim::tfReadydata3));
  EXPECT_EQ(Acks().back(), Frame(0x91, {5})) << "the low byte of the trace number";

  auto late = Spec(0x105, radarsim::tfReadydata3);  // low byte 5 again
  Feed(late);
  EXPECT_EQ(window.Count(), 3u) << "the same low byte as the last trace is not stored";
}

TEST_F(RadarTraceHandOver, OldFirmwareHasNoSequenceAndIsNotAcknowledged) {
  shell.Record(&window);
  radar.SetFirmwareVer(4);
  Feed(Spec(1));
  Feed(Spec(2));
  EXPECT_EQ(window.Count(), 2u) << "no repeat test without sequence numbers";
  EXPECT_TRUE(Acks().empty());
  ExpectTraceSamples(window.Calls()[1].Samples, Spec(2));
}

// A window that counts what it received and keeps the direction of the last trace,
// as the recording window does, and checks that it is called with SectPaint held.
class TCountingWindow : public IRecordingWindow {
public:
  TTraceStored PaintLastTrace(const TTraceHandOver& trace) override {
    // Another thread could take SectPaint now unless this call holds it.
    std::thread other([&] {
      lockFree = trace.Radar.SectPaint.try_lock();
      if (lockFree) trace.Radar.SectPaint.unlock();
    });
    other.join();
    TTraceStored stored = Unchanged(trace);
    stored.LastDirect = trace.Direction;
    stored.LastRecived = trace.LastRecived + trace.NumCollision;
    return stored;
  }
  int32_t Channel0LongTrace() const override { return 0; }
  bool lockFree = true;
};

TEST_F(RadarTraceHandOver, WhatTheWindowStoredBecomesTheRadarsRecord) {
  TCountingWindow counting;
  shell.Record(&counting);
  auto spec = Spec(1);
  spec.Collision = 2;
  Feed(spec);
  spec = Spec(2);
  spec.Backward = true;
  Feed(spec);
  EXPECT_EQ(radar.LastRecived, 3) << "two positions, then one";
  EXPECT_EQ(radar.LastDirect, dBackward);
  EXPECT_FALSE(counting.lockFree) << "the window reads the radar's array under its SectPaint";
}

}  // namespace
