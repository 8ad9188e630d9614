// The reader threads' pure rules: the serial flow-control step and the GPS state
// with its hold-off.

#include "radar/flow_control.h"
#include "radar/gps_state.h"

#include <gtest/gtest.h>

namespace {

TEST(RadarFlowControl, StepsByBacklogGrowthInTracePackets) {
  // LengthLastArray 500: one trace packet of backlog growth is 2 x 500 - 130 = 870 bytes.
  struct TCase {
    const char* what;
    int32_t previous, fill;
    uint8_t delay, own;
    bool send;
    int step;
    bool records;
  };
  const TCase cases[] = {
      {"one packet of growth, little waiting", 0, 870, 50, 30, true, 1, true},
      {"one packet of growth, much waiting", 40000, 40870, 50, 30, true, 4, true},
      {"two packets of growth, little waiting", 0, 1740, 50, 30, true, 4, false},
      {"two packets of growth, much waiting", 36000, 37740, 50, 30, true, 20, false},
      {"never past 255", 0, 1740, 253, 30, true, 2, false},
      {"one packet of shrinkage", 1740, 870, 50, 30, true, -1, false},
      {"two packets of shrinkage", 3480, 1740, 50, 30, true, -4, false},
      {"never below the unit's own delay", 3480, 1740, 32, 30, true, -2, false},
      {"steady, empty buffer: back to the own delay", 5, 5, 50, 30, true, -20, false},
      {"steady, far above: at most -127 at once", 5, 5, 255, 0, true, -127, false},
      {"steady with data waiting: nothing", 500, 500, 50, 30, false, 0, false},
      {"a buffer started over counts as no growth", 70000, 100, 50, 30, false, 0, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TFlowControlInput in;
    in.PreviousFill = c.previous;
    in.Fill = c.fill;
    in.Delay = c.delay;
    in.OwnDelay = c.own;
    in.OverStep = 2;
    in.LengthLastArray = 500;
    const TFlowControlStep step = FlowControlStep(in);
    EXPECT_EQ(step.Send, c.send);
    EXPECT_EQ(step.Step, c.step);
    EXPECT_EQ(step.RecordBufferEnd, c.records);
    EXPECT_EQ(step.NewDelay, c.delay + c.step);
  }
}

TEST(RadarFlowControl, NothingBeforeTheFirstLoadDataOrWithADegenerateTraceLength) {
  TFlowControlInput in;
  in.PreviousFill = 0;
  in.Fill = 5000;
  in.Delay = 40;
  in.OwnDelay = 40;
  in.LengthLastArray = 500;
  in.OverStep = 0;
  EXPECT_FALSE(FlowControlStep(in).Send) << "OverStep 0: parameters never loaded";
  in.OverStep = 2;
  in.LengthLastArray = 65;  // 2 x 65 - 130 = 0 bytes per packet
  EXPECT_FALSE(FlowControlStep(in).Send);
}

TEST(RadarGpsState, NewSentencesDecideByTheSatelliteCountAndRepeatsCountDown) {
  const QString fix = QStringLiteral("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");
  const QString noFix = QStringLiteral("$GPGGA,123520,4807.038,N,01131.000,E,0,03,0.9,545.4,M,46.9,M,,*47");
  EXPECT_EQ(GgaSatelliteCount(fix), 8);
  EXPECT_EQ(GgaSatelliteCount(QStringLiteral("$GPGGA,1,2")), 0) << "no field 8";
  EXPECT_EQ(GgaSatelliteCount(QStringLiteral("a,b,c,d,e,f,g,xx,i")), 0) << "not a number";

  TGpsStateStep s = NextGpsState(fix, QString(), gpsNone, 0);
  EXPECT_EQ(s.State, gpsPos);
  EXPECT_EQ(s.HoldOff, 10);
  s = NextGpsState(noFix, fix, s.State, s.HoldOff);
  EXPECT_EQ(s.State, gpsOn) << "fewer than 4 satellites";
  for (int repeat = 1; repeat < 10; ++repeat) {
    s = NextGpsState(noFix, noFix, s.State, s.HoldOff);
    ASSERT_EQ(s.State, gpsOn) << "held for " << repeat << " repeats";
  }
  s = NextGpsState(noFix, noFix, s.State, s.HoldOff);
  EXPECT_EQ(s.State, gpsNone) << "the hold-off is spent at the tenth repeat";
  EXPECT_EQ(NextGpsState(QStringLiteral("$GPGGA,short"), QString(), gpsPos, 0).State, gpsNone)
      << "a text of 40 characters or less carries no fix";
}

}  // namespace
