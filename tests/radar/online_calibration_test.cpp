// The stages that measure rather than filter: the radar's zero offset and the
// command that sets it, the automatic gain calibration and its end conditions,
// and the trace store behind the online depth slice.

#include "profiledata/gpr_constants.h"
#include "profiledata/setting_data.h"
#include "radar/online_stages.h"
#include "radar/packet_codes.h"
#include "tests/profiledata/channel_store_env.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using TTrace = std::array<int32_t, PluginsOnline::TraceArrayLength>;

class RegistrationScope {
public:
  RegistrationScope() { RegisterOnlineStages(); }
  ~RegistrationScope() { UnregisterOnlineStages(); }
};

class OnlineMeasure : public ::testing::Test {
protected:
  OnlineMeasure() {
    radar.OpenLog(QStringLiteral("O"));
    store = std::make_unique<T2Dview>(nullptr);
    store->Settings()->RestoreLongTrace(30);
    store->Settings()->SetSettingRadar(&radar);
    stages = dynamic_cast<TOnlineStageSet*>(store->OnlineStages());
  }
  QStringList Log() const { return ReadLogLines(radar.Log().FileName()); }

  TProgramFolderScope folder;
  TFakeRadarShell radarShell;
  TFakeRadarSet set;
  THooksScope hooks{&radarShell, &set};
  TStoreEnv env;
  RegistrationScope registration;
  TFakeRadar radar;
  std::unique_ptr<T2Dview> store;
  TOnlineStageSet* stages = nullptr;
};

// A trace of 30 samples: `top` on the upper third, `level` below it.
TTrace Raw(int32_t top, int32_t level) {
  TTrace t{};
  for (int k = 0; k < 30; ++k) t[k] = k < 10 ? top : level;
  return t;
}

// ---- Device zero offset --------------------------------------------------------------------

TEST_F(OnlineMeasure, DeviceOffsetAveragesTheLowerTwoThirds) {
  PluginsOnline::TDeviceOffset& offset = stages->DeviceOffset;
  offset.Init();
  EXPECT_EQ(offset.MinTraceDepth, 10);  // round(30 / 3)
  // The upper third is left out; the per-trace means are averaged.
  TTrace a = Raw(1000000, 3000), b = Raw(-1000000, 3400);
  offset.ExecuteLastTrace(a.data(), 30);
  offset.ExecuteLastTrace(b.data(), 30);
  EXPECT_EQ(a, Raw(1000000, 3000));  // the raw trace is only read
  EXPECT_EQ(offset.CountTraces, 2);
  offset.CalculateOffset(nullptr);
  // round(3200 x 4096 / 131071) = round(100.003)
  EXPECT_EQ(offset.FinishDeviceOffset, 100);
  // Without traces nothing is computed.
  offset.Init();
  offset.FinishDeviceOffset = -5;
  offset.CalculateOffset(nullptr);
  EXPECT_EQ(offset.FinishDeviceOffset, -5);
}

TEST_F(OnlineMeasure, DeviceOffsetSendsTheNewZeroOffsetOrLogsTheError) {
  struct TCase {
    int32_t zeroOffset;
    int32_t level;  // measured mean of the lower part
    int32_t finish;
    int32_t sent;  // -1: nothing sent
  };
  const TCase cases[] = {
      {1000, 3200, 100, 900},       // 900 = 3 x 256 + 132
      {64099, 3200, 100, 63999},    // largest value sent
      {64100, 3200, 100, -1},       // 64000 is refused
      {100, 3200, 100, -1},         // equal: 0 is refused
      {0, 3200, 100, -1},           // -100 as 16 bits = 65436
      {0, -3200, -100, 100},        // 0 - (-100)
      {70000, 3200, 100, 4364},     // 69900 mod 65536
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.zeroOffset);
    const size_t sentBefore = radar.Sent().size();
    const qsizetype logBefore = Log().size();
    radar.SetZeroOffset(c.zeroOffset);
    stages->DeviceOffset.Init();
    TTrace t = Raw(0, c.level);
    stages->DeviceOffset.ExecuteLastTrace(t.data(), 30);
    stages->DeviceOffset.CalculateOffset();
    EXPECT_EQ(stages->DeviceOffset.FinishDeviceOffset, c.finish);
    const QStringList lines = Log().mid(logBefore);
    ASSERT_FALSE(lines.isEmpty());
    const auto sent = radar.Sent();
    if (c.sent < 0) {
      EXPECT_EQ(sent.size(), sentBefore);
      EXPECT_EQ(lines.size(), 1);
      EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\tError FinishDeviceOffset=") + QString::number(c.finish)))
          << lines[0].toStdString();
      EXPECT_EQ(radar.ZeroOffset(), c.zeroOffset);
    } else {
      ASSERT_EQ(sent.size(), sentBefore + 1);
      EXPECT_EQ(sent.back(), Frame(0xC6, {16, static_cast<uint8_t>(c.sent >> 8), static_cast<uint8_t>(c.sent & 0xFF)}));
      EXPECT_TRUE(lines.last().endsWith(QStringLiteral("\tSet ZeroOffset=") + QString::number(c.sent)))
          << lines.join(u'|').toStdString();
      EXPECT_EQ(radar.ZeroOffset(), c.sent);
    }
  }
}

TEST_F(OnlineMeasure, DeviceOffsetStopsAccumulatingAt20000Traces) {
  PluginsOnline::TDeviceOffset& offset = stages->DeviceOffset;
  offset.Init();
  TTrace t = Raw(0, 32);
  for (int i = 0; i < 20005; ++i) offset.ExecuteLastTrace(t.data(), 30);
  EXPECT_EQ(offset.CountTraces, 20000);
  EXPECT_EQ(offset.NakoplMidleAmp, 32.0L * 20000);
  offset.Applay = false;
  offset.Init();
  offset.ExecuteLastTrace(t.data(), 30);
  EXPECT_EQ(offset.CountTraces, 0);
}

// ---- Wavelet time scale in simple mode ----------------------------------------------------------

TEST_F(OnlineMeasure, WaveletTakesTheUnitTimeScaleOnlyInSimpleMode) {
  store->Settings()->RestoreLongTrace(1024);
  store->Settings()->RestoreSpanWidth(204.8);
  const long double unitScale = UnitParams(store->Settings()->GetTypeGPR()).TimeScaleForWavelet;
  ASSERT_GT(unitScale, 0);
  ASSERT_NE(unitScale, 1.5L);
  TParametrsWavelet p;
  p.pApplay = true;
  p.pTimescale = 1.5L;
  stages->SetOnlineParameters(TOnlineStageSet::WaveletName, p);
  const int32_t tapsAt15 = stages->Wavelet.CorLength;
  TTrace t{};
  stages->Wavelet.ExecuteLastTrace(t.data(), 1024);
  EXPECT_EQ(stages->Wavelet.Timescale, 1.5L);
  radarShell.simpleMode = true;
  stages->Wavelet.ExecuteLastTrace(t.data(), 1024);
  EXPECT_EQ(stages->Wavelet.Timescale, unitScale);
  // The correlation function was rebuilt for the new scale.
  EXPECT_NE(stages->Wavelet.CorLength, tapsAt15);
}

// ---- Gain calibration ------------------------------------------------------------------

TEST_F(OnlineMeasure, CalibrationEndsAfterSixtyCollectedTraces) {
  stages->WindowedBackgroundRemoval.WidthWindow = 10;
  TGainCalibration& cal = stages->GainCalibration;
  cal.Init();
  EXPECT_EQ(cal.StartNumTrace, 10);
  // Collected trace N holds 1000 (N + 1): the mean keeps moving by 1 / (N + 1).
  for (int i = 1; i <= 69; ++i) {
    const int32_t value = i >= 10 ? 1000 * (i - 10 + 1) : 7;
    TTrace t{};
    t.fill(value);
    cal.AddTraceForGain(t.data(), 30);
    ASSERT_TRUE(cal.Running()) << i;
  }
  EXPECT_EQ(cal.NumTraces, 59);
  EXPECT_EQ(cal.ProgressText(), QStringLiteral("69 (99%)"));
  TTrace t{};
  t.fill(1);
  cal.AddTraceForGain(t.data(), 30);
  EXPECT_FALSE(cal.Running());
  EXPECT_EQ(cal.NumTraces, 60);
  // Ended: further traces are not counted.
  cal.AddTraceForGain(t.data(), 30);
  EXPECT_EQ(cal.CountLATraces, 70);
}

TEST_F(OnlineMeasure, CalibrationMeasuresTheRelativeChangeOfTheMeanTrace) {
  // Window 1: the first trace is collected trace 0.
  stages->WindowedBackgroundRemoval.WidthWindow = 1;
  TGainCalibration& cal = stages->GainCalibration;
  struct TCase {
    std::vector<int32_t> values;  // one constant trace each
    long double srOtkl;
    bool running;
  };
  const TCase cases[] = {
      {{100}, 1.0L, true},                       // the first collected trace
      {{100, 300}, 1.0L, true},                  // |100 - 200| / 100
      {{100, 300, 400}, 1.0L / 3, true},         // |200 - 800/3| / 200
      {{-100, -300}, -1.0L, true},               // signed like the mean
      {{0, 5}, 2500.0L, true},                   // |0 - 2.5| / 0.001
      {{250, 250}, 0.0L, false},                 // identical: converged
      {{20000, 20030}, 0.00075L, true},          // |20000 - 20015| / 20000
      {{20000, 20010}, 0.00025L, false},         // |20000 - 20005| / 20000: converged
  };
  for (const TCase& c : cases) {
    cal.Init();
    for (int32_t v : c.values) {
      TTrace t{};
      t.fill(v);
      cal.AddTraceForGain(t.data(), 30);
    }
    EXPECT_NEAR(static_cast<double>(cal.SrOtkl), static_cast<double>(c.srOtkl), 1e-6) << c.values.back();
    EXPECT_EQ(cal.Running(), c.running) << c.values.back();
  }
  // A converged calibration leaves out the trace that ended it.
  EXPECT_EQ(cal.NumTraces, 1);
}

TEST_F(OnlineMeasure, IdenticalTracesEndTheCalibrationAtTheSecondCollectedTrace) {
  stages->WindowedBackgroundRemoval.WidthWindow = 10;
  TGainCalibration& cal = stages->GainCalibration;
  cal.Init();
  TTrace t{};
  for (int k = 0; k < 30; ++k) t[k] = (k % 5 - 2) * 1000;
  for (int i = 1; i <= 10; ++i) cal.AddTraceForGain(t.data(), 30);
  EXPECT_TRUE(cal.Running());
  EXPECT_EQ(cal.ProgressText(), QStringLiteral("10 (14%)"));
  cal.AddTraceForGain(t.data(), 30);
  EXPECT_FALSE(cal.Running());
  EXPECT_EQ(cal.NumTraces, 1);
}

TEST_F(OnlineMeasure, CalibrationResultSetsTheDisplayNormalisationAndTheCurve) {
  stages->WindowedBackgroundRemoval.WidthWindow = 1;
  TGainCalibration& cal = stages->GainCalibration;
  cal.Init();
  // Largest |sample| 10, 40, 20, 30 and the trace being collected: with
  // KoefArrMax 0.75 the third of 10 20 30 40 (index round(4 x 0.75 - 1) = 2).
  const int32_t peaks[] = {10, -40, 20, 30, 30};
  for (int32_t peak : peaks) {
    TTrace t{};
    for (int k = 0; k < 30; ++k) t[k] = k == 12 ? peak : (k % 3) - 1;
    cal.AddTraceForGain(t.data(), 30);
  }
  ASSERT_TRUE(cal.Running());
  // The fifth trace is collected trace 4: four came before it.
  ASSERT_EQ(cal.NumTraces, 4);
  EXPECT_EQ(cal.GetMaxDezoData(), 30);
  const TListOfDots& curve = stages->TVGC.ListofBaseDots;
  const TPoint before = curve.GetVal(1);
  cal.CreateGainOnline();
  EXPECT_NEAR(static_cast<double>(store->Settings()->NrmCoef), 127.0 / 30, 1e-12);
  EXPECT_NE(curve.GetVal(1), before);
  // Nothing collected: nothing changes.
  cal.Init();
  store->Settings()->NrmCoef = 0.5L;
  cal.CreateGainOnline();
  EXPECT_EQ(store->Settings()->NrmCoef, 0.5L);
}

// ---- Online depth-slice store -----------------------------------------------------------

TTrace Filled(int32_t v) {
  TTrace t{};
  t.fill(v);
  return t;
}

TEST(OnlineData, RepaintEveryEightTraces) {
  TOnlineData data;
  TTrace t = Filled(1);
  for (int i = 0; i < 7; ++i) data.AddTrace(t.data(), 1024, i % 3 - 1, 1.0L);  // direction 0 counts too
  EXPECT_FALSE(data.isReadyPaint());
  data.AddTrace(t.data(), 1024, 1, 1.0L);
  EXPECT_TRUE(data.isReadyPaint());
  data.SetReadyPaintOff();
  EXPECT_FALSE(data.isReadyPaint());
  for (int i = 0; i < 7; ++i) data.AddTrace(t.data(), 1024, 1, 1.0L);
  EXPECT_FALSE(data.isReadyPaint());
  data.AddTrace(t.data(), 1024, 1, 1.0L);
  EXPECT_TRUE(data.isReadyPaint());
}

TEST(OnlineData, StoresInDirectionAndSumsTheLast32) {
  TOnlineData data;
  for (int32_t v = 1; v <= 3; ++v) {
    const TTrace t = Filled(v);
    data.AddTrace(t.data(), 1024, 1, 1.0L);
  }
  const TTrace back = Filled(9);
  data.AddTrace(back.data(), 1024, -1, 0.25L);
  const TTrace none = Filled(100);
  data.AddTrace(none.data(), 1024, 0, 0.1L);  // not stored, MinNrm untouched
  ASSERT_EQ(data.CountTraces, 4);
  const int32_t order[] = {9, 1, 2, 3};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(data.Record(i)[500], order[i]) << i;
  EXPECT_EQ(data.Record(0)[1023], 9);
  EXPECT_EQ(data.Record(0)[1024], 0);  // beyond the 1024 samples passed
  EXPECT_EQ(data.MinNrm, 0.25L);
  EXPECT_EQ(data.MemSizeData, 4104000);
  // Traces 1 .. 40 added: the sum holds the last 32, 9 .. 40 = 820 - 36.
  TOnlineData more;
  for (int32_t v = 1; v <= 40; ++v) {
    const TTrace t = Filled(v);
    more.AddTrace(t.data(), 1026, v % 2 ? 1 : -1, 1.0L);
  }
  EXPECT_EQ(more.SumLastArray[0], 784);
  EXPECT_EQ(more.SumLastArray[1024], 784);
  more.Init();
  EXPECT_EQ(more.CountTraces, 0);
  EXPECT_EQ(more.SumLastArray[0], 0);
  EXPECT_EQ(more.MinNrm, 1.0L);
}

TEST(OnlineData, StrongestReflectionIsTheMiddleOfTheHeaviestInnerRun) {
  struct TCase {
    std::vector<std::pair<int, int64_t>> ranges;  // from index on, value (to the next range)
    int32_t expected;
  };
  const TCase cases[] = {
      // first run 0..99 (+) left out; inner runs 100..199 (-5 each), 200..219 (+100);
      // last run 220..1024 (-1). |2000| > |-500|: middle of 200..219 = 209.
      {{{0, 50}, {100, -5}, {200, 100}, {220, -1}}, 209},
      // The negative run weighs more: middle of 100..199 = 149.
      {{{0, 50}, {100, -50}, {200, 100}, {220, -1}}, 149},
      // Equal weights go to the negative run.
      {{{0, 1}, {100, -20}, {200, 100}, {220, 1}}, 149},
      // Only a positive inner run: it outweighs the missing negative one.
      {{{0, 0}, {10, 3}, {20, 0}}, 14},
      // Only a zero inner run: neither exists, and the first run stands in for
      // both: middle (0 + 9) / 2.
      {{{0, 1}, {10, 0}, {20, 1}}, 4},
      // A single run: middle of 0..1024.
      {{{0, 2}}, 512},
  };
  for (const TCase& c : cases) {
    TOnlineData data;
    for (size_t r = 0; r < c.ranges.size(); ++r) {
      const int end = r + 1 < c.ranges.size() ? c.ranges[r + 1].first : 1025;
      for (int k = c.ranges[r].first; k < end; ++k) data.SumLastArray[k] = c.ranges[r].second;
    }
    EXPECT_EQ(data.GetNumSimpleInMaxSumLastArray(), c.expected);
  }
}

TEST(OnlineData, DepthSliceRowScalesTheLargestValueOfTheWindow) {
  TOnlineData data;
  // Sample 100 of the four records: 10, -20, 30, 1000 (mean |x| 265, limit 795,
  // so the largest below it is 30 and g = 127 / 30).
  const int32_t at100[] = {10, -20, 30, 1000};
  for (int32_t v : at100) {
    TTrace t{};
    t[100] = v;
    t[102] = v == 10 ? -25 : 0;  // inside a half window of 2 only
    data.AddTrace(t.data(), 1024, 1, 0.5L);
  }
  std::vector<uint8_t> row(6, 7);
  data.GetScanInDeep32(row, 100, 0, false);
  // round(127 / 30 x v) + 128, clamped to -128 .. 127 first.
  EXPECT_EQ(row, (std::vector<uint8_t>{170, 43, 255, 255, 7, 7}));
  data.GetScanInDeep32(row, 100, 2, false);
  EXPECT_EQ(row[0], 22);  // -25 wins over 10: round(-105.83) + 128
  data.GetScanInDeep32(row, 100, 0, true);  // g = MinNrm = 0.5
  EXPECT_EQ(row, (std::vector<uint8_t>{133, 118, 143, 255, 7, 7}));
  std::vector<uint8_t> untouched(4, 7);
  data.GetScanInDeep32(untouched, 2000, 0, false);
  EXPECT_EQ(untouched, std::vector<uint8_t>(4, 7));
}

}  // namespace
