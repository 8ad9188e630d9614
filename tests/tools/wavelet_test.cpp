// The wavelet filter tool: its run against the correlation written out (one and
// several harmonics, invert, an empty kernel), any thread count, a break, the
// simple mode and the online stage, the parameter sets and the chain records of
// every format.

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "radar/online_parameters.h"
#include "radar/plugins_online.h"
#include "tests/profiledata/fake_hooks.h"
#include "tests/profiledata/fake_online_stages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/tool_form.h"
#include "tools/tool_shell.h"
#include "tools/wavelet.h"

#include <gtest/gtest.h>

#include <cmath>

namespace wavelet_test {

// The filter written out from its rules: every harmonic's taps from the shared
// builder, the correlation with p < 0 adding nothing and the end mirrored, the
// harmonics summed in order, then rounded (or subtracted from the input).
std::vector<int32_t> Reference(const std::vector<int32_t>& x, int64_t N, int L, const T2Dview& view, long double T,
                               int count, long double D, bool invert) {
  const int H = (count - 1) / 2;
  std::vector<int32_t> out(x.size());
  std::vector<std::vector<long double>> kernels;
  for (int h = -H; h <= H; ++h) {
    std::vector<long double> line, taps;
    int32_t a = 0, b = 0, n = 0;
    const long double width = T + D * h;
    const long double s = (H + 1) / 3.0L;
    const long double w = width > 0 ? std::exp(-static_cast<long double>(h * h) / (2 * s * s)) : 0;
    PluginsOnline::PrepareWaveletTaps(width, view.Settings(), line, a, b, n, taps, w, 0.05L);
    kernels.push_back(taps);
  }
  for (int64_t t = 0; t < N; ++t)
    for (int k = 0; k < L; ++k) {
      long double buf = 0;
      for (const auto& taps : kernels) {
        const int n = static_cast<int>(taps.size());
        const int half = static_cast<int>(std::nearbyint(n / 2.0));
        long double sum = 0;
        for (int l = 0; l < n; ++l) {
          int p = k + l - half;
          if (p < 0) continue;
          if (p > L - 1) p = 2 * (L - 1) - p;
          if (p < 0) continue;
          sum += taps[static_cast<size_t>(l)] * x[static_cast<size_t>(t * L + p)];
        }
        buf += sum;
      }
      const int32_t xi = x[static_cast<size_t>(t * L + k)];
      out[static_cast<size_t>(t * L + k)] = RoundToInt32(invert ? xi - buf : buf);
    }
  return out;
}

class TSimpleShell : public IToolShell {
public:
  int32_t Language() const override { return 1033; }
  std::array<T2Dview*, 5> CurrentViews() const override { return {}; }
  bool SimpleMode() const override { return simple; }
  bool simple = true;
};

class WaveletToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TWavelet tool;

  // A channel at dt = 0.1 ns.
  static std::unique_ptr<T2Dview> Channel(int64_t traces, int L) {
    auto view = MakeChannel(traces, L);
    view->Settings()->RestoreSpanWidth(0.1 * L);
    return view;
  }
  void Set(int channel, long double T, int count = 1, long double D = 1.0L, bool invert = false, bool apply = true) {
    TParametrsWavelet p;
    p.pApplay = apply;
    p.pTimescale = T;
    p.pHarmonicCount = count;
    p.pdHarmonic = D;
    p.pisInvert = invert;
    tool.SetParam(channel, &p);
  }
};

struct TWaveletCase {
  long double T;
  int count;
  long double D;
  bool invert;
};

TEST_F(WaveletToolTest, RunsMatchTheCorrelationWrittenOut) {
  const int64_t N = 40;
  const int L = 100;
  auto view = Channel(N, L);
  const std::vector<int32_t> x = TestTraces(N, L);
  tool.SetView_(0, view.get());
  const std::vector<TWaveletCase> cases{
      {2.0L, 1, 1.0L, false}, {2.0L, 1, 1.0L, true},  {1.3L, 5, 0.4L, false},
      {3.0L, 9, 0.5L, true},  {0.5L, 3, 1.0L, false}, {20.0L, 1, 1.0L, false},  // longer than the trace
  };
  for (const TWaveletCase& c : cases) {
    const std::vector<int32_t> expected = Reference(x, N, L, *view, c.T, c.count, c.D, c.invert);
    for (int count : {1, 3, 8}) {
      SCOPED_TRACE(testing::Message() << "T " << static_cast<double>(c.T) << ", harmonics " << c.count << ", invert "
                                      << c.invert << ", threads " << count);
      PoolThreadsScope pool(count);
      Set(0, c.T, c.count, c.D, c.invert);
      SetSamples(*view, x);
      tool.execute(false, 0);
      EXPECT_EQ(Samples(*view), expected);
    }
  }
}

TEST_F(WaveletToolTest, TheKernelOfTwoNanoseconds) {
  auto view = Channel(2, 1000);
  tool.SetView_(0, view.get());
  tool.GetParam(0);
  tool.PrepareLine(0);
  EXPECT_EQ(tool.Kernels.TapCount(0), 59);
  EXPECT_EQ(tool.Kernels.mstart, 421);
  EXPECT_EQ(tool.Kernels.mstop, 479);
}

TEST_F(WaveletToolTest, BelowTheSmallestWidthZerosOrTheInput) {
  auto view = Channel(3, 50);
  const std::vector<int32_t> x = TestTraces(3, 50);
  tool.SetView_(0, view.get());
  Set(0, 0.16L);
  SetSamples(*view, x);
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), std::vector<int32_t>(x.size(), 0));
  Set(0, 0.16L, 1, 1.0L, true);
  SetSamples(*view, x);
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), x);
}

TEST_F(WaveletToolTest, ABreakLeavesTheInput) {
  auto view = Channel(3000, 64);
  const std::vector<int32_t> x = TestTraces(3000, 64);
  tool.SetView_(0, view.get());
  Set(0, 2.0L, 3, 0.5L);
  SetSamples(*view, x);
  int64_t now = 0;
  SetToolSliceClock([&] { return now += 100; });
  host.breakAtYield = 1;
  tool.execute(false, 0);
  SetToolSliceClock({});
  EXPECT_TRUE(host.br);
  EXPECT_EQ(Samples(*view), x);
}

TEST_F(WaveletToolTest, SimpleModeTakesTheAntennasTimeScale) {
  auto view = Channel(2, 50);
  view->Settings()->SetTypeGPR(Unit01);  // 7.0 ns
  tool.SetView_(1, view.get());
  Set(1, 2.0L);
  tool.execute(false, 1);
  EXPECT_EQ(tool.Param[1].Timescale, 2.0L) << "not in simple mode";
  TSimpleShell shell;
  SetToolShell(&shell);
  tool.execute(false, 1);
  SetToolShell(nullptr);
  EXPECT_EQ(tool.Param[1].Timescale, 7.0L);
  EXPECT_EQ(tool.Timescale, 7.0L);
}

TEST_F(WaveletToolTest, SetParamViewGivesTheOnlineStageTimeScaleAndApply) {
  FakeShell shell;
  ShellScope shellScope(&shell);
  FakeStagesFactory factory;
  FactoryScope factoryScope(&factory);
  auto view = Channel(2, 10);
  host.views = {nullptr, view.get()};
  auto* stages = static_cast<FakeOnlineStages*>(view->OnlineStages());
  ASSERT_NE(stages, nullptr);
  Set(1, 4.5L, 5, 0.3L, true, true);
  tool.SetParamView(view.get());
  EXPECT_EQ(stages->timescale, 4.5L);
  EXPECT_TRUE(stages->waveletApplay);
  EXPECT_EQ(factory.log.waveletInits, 0) << "no rebuild is asked for";
}

TEST_F(WaveletToolTest, AddingTakesEachChannelsAntennaTimeScale) {
  std::vector<std::unique_ptr<T2Dview>> views;
  const TTypeGPR units[] = {Unit01, unknown, Unit02};
  for (int c = 0; c < 3; ++c) {
    views.push_back(Channel(2, 10));
    views.back()->Settings()->SetTypeGPR(units[c]);
    tool.SetView_(c, views.back().get());
  }
  tool.SetCurrentNumberView(0);
  tool.SetPropertyes(true);
  const long double unit01 = UnitParams(Unit01).TimeScaleForWavelet;
  const long double unit0 = UnitParams(unknown).TimeScaleForWavelet;
  const long double unit02 = UnitParams(Unit02).TimeScaleForWavelet;
  EXPECT_EQ(tool.Param[0].Timescale, unit01);
  EXPECT_EQ(tool.Param[1].Timescale, unit0);
  EXPECT_EQ(tool.Param[2].Timescale, unit02);
  EXPECT_EQ(tool.Param[3].Timescale, unit02) << "no view: the last time scale";
  EXPECT_EQ(tool.Timescale, unit01);
  tool.Form()->CloseDialog();
  Application->ProcessMessages();
}

TEST_F(WaveletToolTest, HarmonicStepBound) {
  tool.Timescale = 2.0L;
  tool.SetHarmonicCount(3);
  tool.dHarmonic = 1.0L;
  EXPECT_EQ(tool.ApplyHarmonicStepBound(), 1.3L);  // Int(10 x 2 / 1.5) / 10
  EXPECT_EQ(tool.dHarmonic, 1.0L);
  tool.dHarmonic = 1.4L;
  tool.ApplyHarmonicStepBound();
  EXPECT_EQ(tool.dHarmonic, 1.3L);
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

TMemoryStream Body(const QByteArray& afterName) {
  TMemoryStream s(afterName);
  s.SetPosition(0);
  return s;
}

QByteArray Int32s(std::initializer_list<int32_t> values) {
  QByteArray b;
  for (int32_t v : values) b.append(reinterpret_cast<const char*>(&v), 4);
  return b;
}

QByteArray Extended(long double v) {
  uint8_t bytes[ExtendedSize];
  ExtendedToBytes(v, bytes);
  return QByteArray(reinterpret_cast<const char*>(bytes), ExtendedSize);
}

TEST_F(WaveletToolTest, RecordsOfEveryFormat) {
  tool.Timescale = 3.25L;
  tool.isInvert = true;
  tool.SetHarmonicCount(5);
  tool.dHarmonic = 0.7L;
  tool.SetExecuting(false);
  TMemoryStream stream;
  tool.SaveToStream(stream);
  stream.SetPosition(4);
  ASSERT_EQ(TCommonTool::ReadShortString(stream), "Wavelet Filter");
  TWavelet other;
  other.ReadFromUniStream(stream, 2);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(other.Param[2].Timescale, 3.25L);
  EXPECT_TRUE(other.Param[2].isInvert);
  EXPECT_EQ(other.Param[2].HarmonicCount, 5);
  EXPECT_EQ(other.Param[2].dHarmonic, 0.7L);
  EXPECT_FALSE(other.Param[2].Apply);

  // Format 33: one harmonic, step 1.0, invert off.
  QByteArray f33("\x21\x01", 2);
  f33.append(Utf16("W")).append("\x01", 1).append(Extended(4.0L));
  auto s33 = Body(f33);
  other.ReadFromUniStream(s33, 3);
  EXPECT_EQ(other.Param[3].Timescale, 4.0L);
  EXPECT_EQ(other.Param[3].HarmonicCount, 1);
  EXPECT_EQ(other.Param[3].dHarmonic, 1.0L);
  EXPECT_FALSE(other.Param[3].isInvert);

  // Format 32: the fourth of ten values; the kernel behind it is skipped.
  QByteArray f32("\x20\x01", 2);
  f32.append(Utf16("W")).append("\x01", 1).append(Int32s({9, 9, 9, 30, 9, 9, 9, 9, 9, 9, 2})).append(Extended(1));
  auto s32 = Body(f32);
  other.ReadFromUniStream(s32, 0);
  EXPECT_NEAR(static_cast<double>(other.Param[0].Timescale), 22.2222222222, 1e-9);
  QByteArray f32zero("\x20\x01", 2);
  f32zero.append(Utf16("W")).append("\x01", 1).append(Int32s({1, 2, 3, 0, 5, 6, 7, 8, 9, 10}));
  auto s32zero = Body(f32zero);
  other.ReadFromUniStream(s32zero, 0);
  EXPECT_EQ(other.Param[0].Timescale, 1.6L);

  // The older form: an 8-bit caption, Apply and the ten values.
  QByteArray old("\x01" "W\x01", 3);
  old.append(Int32s({0, 0, 0, 30, 0, 0, 0, 0, 0, 0}));
  auto sOld = Body(old);
  other.ReadFromStream(sOld, 4);
  EXPECT_NEAR(static_cast<double>(other.Param[4].Timescale), 22.2222222222, 1e-9);
}

TEST_F(WaveletToolTest, RecordValuesOutsideTheirRangeAreMended) {
  QByteArray f34("\x22\x01", 2);
  f34.append(Utf16("W")).append("\x01", 1);
  f34.append(Extended(std::numeric_limits<long double>::quiet_NaN())).append("\x00", 1);
  f34.append(Int32s({1000})).append(Extended(std::numeric_limits<long double>::infinity()));
  auto s = Body(f34);
  tool.ReadFromUniStream(s, 1);
  EXPECT_EQ(tool.Param[1].Timescale, 2.0L) << "not finite: kept";
  EXPECT_EQ(tool.Param[1].dHarmonic, 1.0L);
  EXPECT_EQ(tool.Param[1].HarmonicCount, 19);
  EXPECT_EQ(tool.HarmonicHalf(), 9);
  QByteArray negative = f34;
  negative.replace(2 + 2 + 1 + 10 + 1, 4, Int32s({-5}));
  auto s2 = Body(negative);
  tool.ReadFromUniStream(s2, 1);
  EXPECT_EQ(tool.Param[1].HarmonicCount, 1);
}

TEST_F(WaveletToolTest, Defaults) {
  EXPECT_EQ(tool.GetCaption(), "Wavelet Filter");
  EXPECT_EQ(tool.AToolName, "Wavelet Filter");
  EXPECT_EQ(tool.GetVersion(), 16);
  EXPECT_EQ(tool.GetPluginArea().Right, 100);
  for (const TWaveletParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_EQ(p.Timescale, 2.0L);
    EXPECT_EQ(p.HarmonicCount, 1);
    EXPECT_EQ(p.dHarmonic, 1.0L);
    EXPECT_FALSE(p.isInvert);
  }
}

}  // namespace wavelet_test
