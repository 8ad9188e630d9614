// The online chain of a channel: wavelet correlation, windowed background removal
// and gain on single traces, deferred parameter changes, the stage names of the
// settings window, and the stage set as the channel store creates and persists it.

#include "platform/rtl/ini_files.h"
#include "profiledata/gpr_constants.h"
#include "radar/online_stages.h"
#include "tests/profiledata/channel_store_env.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numeric>
#include <vector>

namespace online_stages_test {

using PluginsOnline::TraceArrayLength;
using TTrace = std::array<int32_t, TraceArrayLength>;

class RegistrationScope {
public:
  RegistrationScope() { RegisterOnlineStages(); }
  ~RegistrationScope() { UnregisterOnlineStages(); }
};

// A channel of the acquisition program with the real stages.
class OnlineChannel : public ::testing::Test {
protected:
  OnlineChannel() {
    store = std::make_unique<T2Dview>(nullptr);
    SetTrace(1024, 204.8);  // dt = 0.2 ns
    stages = dynamic_cast<TOnlineStageSet*>(store->OnlineStages());
  }
  void SetTrace(int32_t longTrace, double spanWidth) {
    store->Settings()->RestoreLongTrace(longTrace);
    store->Settings()->RestoreSpanWidth(spanWidth);
  }

  TStoreEnv env;
  RegistrationScope registration;
  std::unique_ptr<T2Dview> store;
  TOnlineStageSet* stages = nullptr;
};

TTrace Constant(int32_t value, int32_t n) {
  TTrace t{};
  std::fill_n(t.begin(), n, value);
  return t;
}

// ---- Creation and the chain ------------------------------------------------------------

TEST_F(OnlineChannel, StoreCreatesTheRealStagesWithTheirStartValues) {
  ASSERT_NE(stages, nullptr);
  EXPECT_FALSE(stages->Wavelet.Applay);
  EXPECT_FALSE(stages->WindowedBackgroundRemoval.Applay);
  EXPECT_FALSE(stages->TVGC.Applay);
  EXPECT_TRUE(stages->DeviceOffset.Applay);
  EXPECT_EQ(stages->Comparator.Threshold, 30000);
  EXPECT_EQ(stages->WindowedBackgroundRemoval.WidthWindow, 100);
  // The wavelet is initialised at creation: the time scale of the channel's unit.
  EXPECT_EQ(stages->Wavelet.Timescale,
            static_cast<long double>(UnitParams(store->Settings()->GetTypeGPR()).TimeScaleForWavelet));
  const TListOfDots& dots = stages->TVGC.ListofBaseDots;
  EXPECT_EQ(dots.GetHeight(), 450);
  EXPECT_EQ(dots.Getwidth(), 280);
  EXPECT_EQ(dots.GetVal(0), (TPoint{140, 0}));
  EXPECT_EQ(dots.GetVal(1), (TPoint{207, 450}));
}

TEST(OnlineRegistration, WithoutTheFactoryChannelsHaveNoStages) {
  TStoreEnv env;
  {
    RegistrationScope registration;
    T2Dview store(nullptr);
    EXPECT_NE(dynamic_cast<TOnlineStageSet*>(store.OnlineStages()), nullptr);
  }
  T2Dview store(nullptr);
  EXPECT_EQ(store.OnlineStages(), nullptr);
}

TEST_F(OnlineChannel, ChainWithEveryStageOffLeavesTheTraceUnchanged) {
  stages->InitChain();
  TTrace trace{};
  for (int k = 0; k < TraceArrayLength; ++k) trace[k] = (k * 7919) % 2001 - 1000;
  const TTrace before = trace;
  for (int i = 0; i < 3; ++i) stages->ExecuteChain(trace.data(), 1024);
  EXPECT_EQ(trace, before);
}

// ---- Wavelet ---------------------------------------------------------------------------------

TEST_F(OnlineChannel, WaveletCorrelationFunctionIsASymmetricNormalisedRicker) {
  TParametrsWavelet p;
  p.pApplay = true;
  p.pTimescale = 3.0L;
  ASSERT_TRUE(stages->SetOnlineParameters(TOnlineStageSet::WaveletName, p));
  const PluginsOnline::TWavelet& w = stages->Wavelet;
  ASSERT_GT(w.CorLength, 10);
  ASSERT_EQ(static_cast<int>(w.CorFunc.size()), w.CorLength);
  // Trimmed symmetrically about sample 450.
  EXPECT_EQ(w.start + w.stop, 900);
  long double absSum = 0;
  for (int i = 0; i < w.CorLength; ++i) {
    EXPECT_NEAR(static_cast<double>(w.CorFunc[i]), static_cast<double>(w.CorFunc[w.CorLength - 1 - i]), 1e-15) << i;
    absSum += std::fabs(w.CorFunc[i]);
  }
  EXPECT_NEAR(static_cast<double>(absSum), 1.0, 1e-12);
  // s = 3 / 3.4 = 0.882 ns = 4.41 samples: the main lobe changes sign between 4
  // and 5 samples from the centre, and the peak sits in the middle.
  const int mid = 450 - w.start;
  EXPECT_GT(w.CorFunc[mid], 0);
  EXPECT_GT(w.CorFunc[mid + 4], 0);
  EXPECT_LT(w.CorFunc[mid + 5], 0);
  for (int i = 0; i < w.CorLength; ++i) EXPECT_LE(std::fabs(w.CorFunc[i]), w.CorFunc[mid]);
  // Ricker shape: line(u) / line(0) = (1 - u^2) e^(-u^2/2) at u = 2 dt / s.
  const double u = 0.2 * 2 / (3.0 / 3.4);
  EXPECT_NEAR(static_cast<double>(w.CorFunc[mid + 2] / w.CorFunc[mid]), (1 - u * u) * std::exp(-u * u / 2), 1e-12);
}

TEST_F(OnlineChannel, WaveletCorrelatesAnImpulseWithTheRoundedTaps) {
  TParametrsWavelet p;
  p.pApplay = true;
  p.pTimescale = 3.0L;
  stages->SetOnlineParameters(TOnlineStageSet::WaveletName, p);
  const PluginsOnline::TWavelet& w = stages->Wavelet;
  const int n = 1024;
  const int h = static_cast<int>(std::nearbyint(w.CorLength / 2.0));
  struct TCase {
    int position;
    int32_t amplitude;
  };
  for (const TCase c : {TCase{500, 100000}, TCase{0, -77777}, TCase{3, 5000}, TCase{n - 2, 40000}}) {
    TTrace trace{};
    trace[c.position] = c.amplitude;
    stages->Wavelet.ExecuteLastTrace(trace.data(), n);
    for (int k = 0; k < n; ++k) {
      // Output k reads input k + d - h; only d = position - k + h meets the impulse.
      const int d = c.position - k + h;
      const int32_t expected =
          d >= 0 && d < w.CorLength ? static_cast<int32_t>(std::nearbyintl(c.amplitude * w.CorFunc[d])) : 0;
      ASSERT_EQ(trace[k], expected) << "impulse at " << c.position << ", sample " << k;
    }
  }
  // The last sample is never read.
  TTrace last{};
  last[n - 1] = 1000000;
  stages->Wavelet.ExecuteLastTrace(last.data(), n);
  EXPECT_EQ(last, TTrace{});
}

TEST_F(OnlineChannel, WaveletRoundsAfterEveryTap) {
  TParametrsWavelet p;
  p.pApplay = true;
  p.pTimescale = 3.0L;
  stages->SetOnlineParameters(TOnlineStageSet::WaveletName, p);
  const PluginsOnline::TWavelet& w = stages->Wavelet;
  const int h = static_cast<int>(std::nearbyint(w.CorLength / 2.0));
  // 2 on three samples around 500. Every single product is below one half, so
  // each rounded step stays 0, while the exact sum of the three rounds to 1.
  TTrace trace{};
  long double exact = 0;
  for (int i = 499; i <= 501; ++i) {
    trace[i] = 2;
    const int d = i - 500 + h;
    ASSERT_LT(std::fabs(2 * w.CorFunc[d]), 0.5L);
    exact += 2 * w.CorFunc[d];
  }
  ASSERT_GT(exact, 0.5L);
  stages->Wavelet.ExecuteLastTrace(trace.data(), 1024);
  EXPECT_EQ(trace[500], 0);
}

TEST_F(OnlineChannel, ParameterRecordsGoOnlyToTheNamedStage) {
  TParametrsWavelet wavelet;
  wavelet.pApplay = true;
  wavelet.pTimescale = 2.0L;
  // A wavelet record under another stage's name changes nothing.
  EXPECT_TRUE(stages->SetOnlineParameters(TOnlineStageSet::GainName, wavelet));
  EXPECT_FALSE(stages->TVGC.Applay);
  EXPECT_NE(stages->Wavelet.Timescale, 2.0L);
  // An unknown name changes nothing.
  EXPECT_FALSE(stages->SetOnlineParameters(QStringLiteral("Wavelet"), wavelet));
  EXPECT_FALSE(stages->Wavelet.Applay);
  EXPECT_TRUE(stages->SetOnlineParameters(QStringLiteral("Wavelet Filter"), wavelet));
  EXPECT_TRUE(stages->Wavelet.Applay);
  EXPECT_EQ(stages->Wavelet.Timescale, 2.0L);

  TParametrsWindowedBackgroundRemoval background;
  background.pApplay = true;
  background.pWidthWindow = 7;
  stages->SetOnlineParameters(QStringLiteral("Background Remover with Window"), background);
  EXPECT_TRUE(stages->WindowedBackgroundRemoval.Applay);
  EXPECT_EQ(stages->WindowedBackgroundRemoval.WidthWindow, 7);
  // A width the queue cannot hold is brought inside it.
  background.pWidthWindow = 100000;
  stages->SetOnlineParameters(TOnlineStageSet::BackgroundName, background);
  EXPECT_EQ(stages->WindowedBackgroundRemoval.WidthWindow, 302);
  background.pWidthWindow = -4;
  stages->SetOnlineParameters(TOnlineStageSet::BackgroundName, background);
  EXPECT_EQ(stages->WindowedBackgroundRemoval.WidthWindow, 0);

  TParametrsGain gain;
  gain.pApplay = true;
  gain.pListOfBaseDots.SetWidth(200);
  gain.pListOfBaseDots.SetHeight(100);
  gain.pListOfBaseDots.SetPoint(0, 100, 0);
  gain.pListOfBaseDots.SetPoint(1, 120, 100);
  stages->SetOnlineParameters(QStringLiteral("TVGC"), gain);
  EXPECT_TRUE(stages->TVGC.Applay);
  EXPECT_EQ(stages->TVGC.ListofBaseDots.GetHeight(), 100);
  EXPECT_EQ(stages->TVGC.ListofBaseDots.GetVal(1), (TPoint{120, 100}));
}

// ---- Windowed background removal -------------------------------------------------------------

struct TBackgroundCase {
  int32_t width;
  int32_t value;
  std::array<int32_t, 4> expected;  // the first four constant traces after Init
};

TEST_F(OnlineChannel, BackgroundRemovalOnConstantTraces) {
  SetTrace(16, 204.8);
  // W = 2: c, c - 2c/2, c - 2c/3, then the window is full (c - 2c/3 again).
  // W = 1: c, then c - c/2, halves to even.
  const TBackgroundCase cases[] = {
      {2, 900, {900, 0, 300, 300}},  {2, 1000, {1000, 0, 333, 333}}, {1, 5, {5, 2, 2, 2}},
      {1, 7, {7, 4, 4, 4}},          {1, -5, {-5, -2, -2, -2}},      {0, 7, {7, 7, 7, 7}},
      {3, 400, {400, 0, 0, 100}},  // fourth: 400 - 1200/4
  };
  for (const TBackgroundCase& c : cases) {
    TParametrsWindowedBackgroundRemoval p;
    p.pApplay = true;
    p.pWidthWindow = c.width;
    stages->SetOnlineParameters(TOnlineStageSet::BackgroundName, p);
    for (int i = 0; i < 4; ++i) {
      TTrace trace = Constant(c.value, 20);
      stages->WindowedBackgroundRemoval.ExecuteLastTrace(trace.data(), 20);
      for (int k = 0; k < 16; ++k) ASSERT_EQ(trace[k], c.expected[i]) << "W " << c.width << " trace " << i;
      // Beyond the channel's 16 samples nothing changes.
      EXPECT_EQ(trace[17], c.value);
    }
  }
}

TEST_F(OnlineChannel, BackgroundChangeWhileRunningWaitsForTheTraceAndRestartsTheWindow) {
  PluginsOnline::TWindowedBackgroundRemoval& stage = stages->WindowedBackgroundRemoval;
  TParametrsWindowedBackgroundRemoval p;
  p.pApplay = true;
  p.pWidthWindow = 2;
  stages->SetOnlineParameters(TOnlineStageSet::BackgroundName, p);
  auto run = [&] {
    TTrace trace = Constant(900, 1024);
    stage.ExecuteLastTrace(trace.data(), 1024);
    return trace[10];
  };
  EXPECT_EQ(run(), 900);
  EXPECT_EQ(run(), 0);

  TParametrsWindowedBackgroundRemoval change;
  change.pApplay = true;
  change.pWidthWindow = 1;
  bool nestedUnchanged = false;
  stage.DuringTrace = [&] {
    stage.DuringTrace = nullptr;
    stages->SetOnlineParameters(TOnlineStageSet::BackgroundName, change);
    EXPECT_EQ(stage.WidthWindow, 2);  // not yet
    EXPECT_TRUE(stage.tempGetParam);
    // A nested trace while running is not processed.
    TTrace nested = Constant(50, 1024);
    const int32_t held = stage.CountTraces;
    stage.ExecuteLastTrace(nested.data(), 1024);
    nestedUnchanged = nested == Constant(50, 1024) && stage.CountTraces == held;
  };
  // This trace still runs with W = 2.
  EXPECT_EQ(run(), 300);
  EXPECT_TRUE(nestedUnchanged);
  EXPECT_EQ(stage.WidthWindow, 1);
  EXPECT_FALSE(stage.tempGetParam);
  EXPECT_EQ(stage.CountTraces, 0);
  // The window starts afresh with W = 1.
  EXPECT_EQ(run(), 900);
  EXPECT_EQ(run(), 450);

  // Switched off while running: the current trace is processed, the next is not.
  change.pApplay = false;
  stage.DuringTrace = [&] {
    stage.DuringTrace = nullptr;
    stages->SetOnlineParameters(TOnlineStageSet::BackgroundName, change);
  };
  EXPECT_EQ(run(), 450);
  EXPECT_FALSE(stage.Applay);
  EXPECT_EQ(run(), 900);
}

// ---- Gain ----------------------------------------------------------------------------------------

TEST_F(OnlineChannel, GainAppliesTheCurveRowByRow) {
  // A straight curve at x = 135 of a 280-wide box: gain 2^(-5/10) on rows 0..4.
  TParametrsGain p;
  p.pApplay = true;
  p.pListOfBaseDots.SetWidth(280);
  p.pListOfBaseDots.SetHeight(5);
  p.pListOfBaseDots.SetPoint(0, 135, 0);
  p.pListOfBaseDots.SetPoint(1, 135, 5);
  stages->SetOnlineParameters(TOnlineStageSet::GainName, p);
  SetTrace(8, 204.8);
  // Rows round(k x 5 / 8) = 0 1 1 2 2 3 4 4 all lie on the straight part.
  struct TCase {
    int32_t in, out;  // 7 x 0.7071 = 4.95; -1000 x 0.7071 = -707.1; 1 x 0.7071
  };
  for (const TCase c : {TCase{7, 5}, TCase{-1000, -707}, TCase{1, 1}, TCase{0, 0}}) {
    TTrace trace = Constant(c.in, 10);
    stages->TVGC.ExecuteLastTrace(trace.data(), 10);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(trace[k], c.out) << "in " << c.in << " sample " << k;
    EXPECT_EQ(trace[8], c.in);  // beyond the channel's 8 samples
  }
  EXPECT_EQ(stages->TVGC.ListDotsHeight, 5);

  // The default curve on 4 samples: rows k x 450 / 4 = 0, 112.5 -> 112, 225,
  // 337.5 -> 338 (halves to even), each with that row's gain.
  TListOfDots fresh;
  fresh.SetWidth(280);
  fresh.SetHeight(450);
  fresh.SetPoint(0, 140, 0);
  fresh.SetPoint(1, 207, 450);
  fresh.PrepaerValues();
  p.pListOfBaseDots.Assign(fresh);
  stages->SetOnlineParameters(TOnlineStageSet::GainName, p);
  SetTrace(4, 204.8);
  TTrace trace = Constant(100000, 4);
  stages->TVGC.ExecuteLastTrace(trace.data(), 4);
  const int rows[4] = {0, 112, 225, 338};
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(trace[k], static_cast<int32_t>(std::nearbyintl(100000 * fresh.Rval(rows[k])))) << k;
}

TEST_F(OnlineChannel, DefaultGainCurveStartsAtOneAndRisesToAbout2To6Point7) {
  stages->TVGC.Applay = true;
  stages->TVGC.Init();
  TTrace trace = Constant(1000, 1024);
  stages->TVGC.ExecuteLastTrace(trace.data(), 1024);
  EXPECT_EQ(trace[0], 1000);
  // The row above the last point's: gain close to 2^6.7 = 104.
  const int k = 1022;  // row round(1022 x 450 / 1024) = 449
  EXPECT_NEAR(trace[k], 1000 * std::pow(2.0, 6.7), 1000 * std::pow(2.0, 6.7) * 0.05);
  for (int i = 1; i < 1022; ++i) EXPECT_GE(trace[i], trace[i - 1]) << i;
}

// ---- Persistence -----------------------------------------------------------------------------

TEST_F(OnlineChannel, IniSectionsRoundTripThroughTheRealStages) {
  TMemIniFile ini(env.Path(QStringLiteral("main.ini")));
  env.shell.mainIni = &ini;
  store->Settings()->SetSerNum(55);
  stages->Comparator.Threshold = 1234;
  stages->Comparator.Applay = true;
  stages->WindowedBackgroundRemoval.WidthWindow = 17;
  stages->WindowedBackgroundRemoval.Applay = true;
  stages->Wavelet.Timescale = 2.5L;
  stages->Wavelet.Applay = false;
  stages->TVGC.Applay = false;
  TListOfDots& dots = stages->TVGC.ListofBaseDots;
  dots.SetHeight(600);
  dots.SetPoint(2, 160, 300);
  ASSERT_TRUE(store->WriteOnlinePlaginsParameters());

  T2Dview other(nullptr);
  other.Settings()->SetSerNum(55);
  ASSERT_TRUE(other.ReadOnlinePlaginsParameters());
  auto* read = dynamic_cast<TOnlineStageSet*>(other.OnlineStages());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Comparator.Threshold, 1234);
  EXPECT_TRUE(read->Comparator.Applay);
  EXPECT_EQ(read->WindowedBackgroundRemoval.WidthWindow, 17);
  EXPECT_TRUE(read->WindowedBackgroundRemoval.Applay);
  EXPECT_FALSE(read->Wavelet.Applay);
  EXPECT_FALSE(read->TVGC.Applay);
  // The wavelet is initialised after reading: its unit's time scale wins.
  EXPECT_EQ(read->Wavelet.Timescale,
            static_cast<long double>(UnitParams(other.Settings()->GetTypeGPR()).TimeScaleForWavelet));
  EXPECT_EQ(ini.ReadFloat(QStringLiteral("Wavelet_55"), QStringLiteral("Timescale"), 0), 2.5);
  const TListOfDots& got = read->TVGC.ListofBaseDots;
  ASSERT_EQ(got.GetCount(), dots.GetCount());
  EXPECT_EQ(got.GetHeight(), 600);
  for (int i = 0; i < dots.GetCount(); ++i) EXPECT_EQ(got.GetVal(i), dots.GetVal(i)) << i;
}

}  // namespace online_stages_test
