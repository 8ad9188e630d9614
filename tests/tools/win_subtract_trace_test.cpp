// The windowed background removal: the plain and the Gauss window against the
// rules written out, for any thread count; a break; the window setter; the
// parameter sets, the online stage and the chain records.

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "radar/online_parameters.h"
#include "tests/profiledata/fake_hooks.h"
#include "tests/profiledata/fake_online_stages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/win_subtract_kernel.h"
#include "tools/win_subtract_trace.h"

#include <gtest/gtest.h>

#include <cmath>

namespace win_subtract_trace_test {

// The plain mode as one sweep with running sums, in extended precision.
std::vector<int32_t> PlainReference(const std::vector<int32_t>& x, int64_t N, int L, int W) {
  const int64_t Wn = std::min<int64_t>(W, N);
  const int64_t c = (Wn + 1) / 2, f = Wn / 2;
  std::vector<long double> acc(static_cast<size_t>(L), 0.0L);
  for (int64_t j = 0; j < Wn; ++j)
    for (int i = 0; i < L; ++i) acc[i] += x[static_cast<size_t>(j * L + i)];
  std::vector<int32_t> out(x.size());
  for (int64_t k = 0; k < N; ++k) {
    if (c <= k && k <= N - 1 - f)
      for (int i = 0; i < L; ++i) {
        acc[i] += x[static_cast<size_t>((k + f) * L + i)];
        acc[i] -= x[static_cast<size_t>((k - c) * L + i)];
      }
    for (int i = 0; i < L; ++i)
      out[static_cast<size_t>(k * L + i)] = RoundToInt32(x[static_cast<size_t>(k * L + i)] - acc[i] / Wn);
  }
  return out;
}

// The mean of traces a..b subtracted from trace k (one sample per trace).
int32_t MinusMean(const std::vector<int32_t>& x, int k, int a, int b) {
  long double s = 0;
  for (int j = a; j <= b; ++j) s += x[static_cast<size_t>(j)];
  return RoundToInt32(x[static_cast<size_t>(k)] - s / (b - a + 1));
}

class WinSubtractTraceTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TWinSubtractTrace tool;

  std::vector<int32_t> Run(T2Dview& view, int W, bool gauss = false, long double koef = 10.0L, int channel = 0) {
    tool.SetView_(channel, &view);
    TParametrsWindowedBackgroundRemoval p;
    p.pApplay = true;
    p.pWidthWindow = W;
    tool.SetParam(channel, &p);
    tool.GausseRun = gauss;
    tool.KoefGausse = koef;
    tool.execute(false, channel);
    return Samples(view);
  }
};

TEST_F(WinSubtractTraceTest, ShiftedWindowOfTwoTraces) {
  auto view = MakeChannel(3, 1);
  SetSamples(*view, {0, 3, 6});
  EXPECT_EQ(Run(*view, 2), (std::vector<int32_t>{-2, -2, 2}));
}

TEST_F(WinSubtractTraceTest, EvenWindowsReachOneTraceFurtherAhead) {
  auto view = MakeChannel(30, 1);
  std::vector<int32_t> x;
  for (int t = 0; t < 30; ++t) x.push_back(t * t * 7 - 3 * t);
  SetSamples(*view, x);
  EXPECT_EQ(Run(*view, 4)[10], MinusMean(x, 10, 9, 12));
  SetSamples(*view, x);
  EXPECT_EQ(Run(*view, 5)[10], MinusMean(x, 10, 8, 12));
  // The first traces use 0 .. Wn - 1, the last ones N - Wn .. N - 1.
  SetSamples(*view, x);
  const std::vector<int32_t> out = Run(*view, 5);
  EXPECT_EQ(out[1], MinusMean(x, 1, 0, 4));
  EXPECT_EQ(out[29], MinusMean(x, 29, 25, 29));
  // A window of at least N: the mean of all traces.
  SetSamples(*view, x);
  const std::vector<int32_t> all = Run(*view, 300);
  for (int k = 0; k < 30; ++k) EXPECT_EQ(all[k], MinusMean(x, k, 0, 29)) << k;
}

TEST_F(WinSubtractTraceTest, BlocksOnAnyThreadCountGiveTheSweepsResult) {
  const int64_t N = 2000;
  const int L = 13;
  auto view = MakeChannel(N, L);
  const std::vector<int32_t> x = TestTraces(N, L);
  for (int W : {1, 2, 7, 100, 300}) {
    const std::vector<int32_t> expected = PlainReference(x, N, L, W);
    for (int count : {1, 3, 8}) {
      SCOPED_TRACE(testing::Message() << "W " << W << ", threads " << count);
      PoolThreadsScope pool(count);
      SetSamples(*view, x);
      EXPECT_EQ(Run(*view, W), expected);
    }
  }
}

// Both forms of the plain kernel (the processor picks one) on blocks that start
// anywhere, ties and the int32 extremes among the samples, an odd trace length
// for the tail past the vector lanes.
TEST(WinSubtractKernel, VectorAndPortableFormsGiveTheSweepsResult) {
  const int64_t N = 700;
  const int L = 15;
  const std::vector<int32_t> x = TestTraces(N, L);
  for (int W : {1, 2, 4, 99, 100, 300}) {
    const std::vector<int32_t> expected = PlainReference(x, N, L, W);
    for (auto kernel : {SubtractPlainWindowMean, SubtractPlainWindowMeanPortable}) {
      std::vector<int32_t> out(x.size(), 12345);
      for (int64_t first = 0; first < N; first += 37)
        kernel(x.data(), N, L, W, first, std::min<int64_t>(N, first + 37), out.data());
      EXPECT_EQ(out, expected) << "W " << W << (kernel == SubtractPlainWindowMean ? " chosen form" : " portable");
    }
  }
}

TEST_F(WinSubtractTraceTest, GaussModeWeighsAShrinkingWindow) {
  const int64_t N = 40;
  const int L = 5;
  auto view = MakeChannel(N, L);
  const std::vector<int32_t> x = TestTraces(N, L);
  // Factor 10.0: a plain mean over max(0, k - 3) .. min(N - 1, k + 3).
  SetSamples(*view, x);
  std::vector<int32_t> out = Run(*view, 7, true, 10.0L);
  for (int64_t k = 0; k < N; ++k)
    for (int i = 0; i < L; ++i) {
      long double s = 0;
      const int64_t a = std::max<int64_t>(0, k - 3), b = std::min<int64_t>(N - 1, k + 3);
      for (int64_t j = a; j <= b; ++j) s += x[static_cast<size_t>(j * L + i)];
      ASSERT_EQ(out[static_cast<size_t>(k * L + i)], RoundToInt32(x[static_cast<size_t>(k * L + i)] - s / (b - a + 1)));
    }
  // Factor 1.0: Gauss weights with sigma = (half + 1) / 3.
  for (int count : {1, 4}) {
    PoolThreadsScope pool(count);
    SetSamples(*view, x);
    out = Run(*view, 7, true, 1.0L);
    const long double sigma = 4 / 3.0L;
    for (int64_t k = 0; k < N; ++k)
      for (int i = 0; i < L; ++i) {
        long double s = 0, S = 0;
        for (int64_t j = std::max<int64_t>(0, k - 3); j <= std::min<int64_t>(N - 1, k + 3); ++j) {
          const long double w = std::exp(-static_cast<long double>((j - k) * (j - k)) / (2 * sigma * sigma));
          s += w * x[static_cast<size_t>(j * L + i)];
          S += w;
        }
        ASSERT_EQ(out[static_cast<size_t>(k * L + i)], RoundToInt32(x[static_cast<size_t>(k * L + i)] - s / S));
      }
  }
}

TEST_F(WinSubtractTraceTest, ABreakLeavesTheInput) {
  const int64_t N = 3000;
  auto view = MakeChannel(N, 64);
  const std::vector<int32_t> x = TestTraces(N, 64);
  SetSamples(*view, x);
  int64_t now = 0;
  SetToolSliceClock([&] { return now += 100; });
  host.breakAtYield = 1;
  for (bool gauss : {false, true}) {
    host.br = false;
    host.yields = 0;
    EXPECT_EQ(Run(*view, 10, gauss), x);
    EXPECT_TRUE(host.br) << "the break came before the end";
  }
  SetToolSliceClock({});
}

TEST_F(WinSubtractTraceTest, WindowSetterAndParameterSets) {
  EXPECT_EQ(tool.GetCaption(), "Windowed Background Removal");
  EXPECT_EQ(tool.AToolName, "Background Remover with Window");
  EXPECT_EQ(tool.GetVersion(), 16);
  EXPECT_EQ(tool.WidthWindow(), 100);
  for (const auto& set : tool.Param) EXPECT_EQ(set.WidthWindow, 100);
  tool.SetWidthWindow(0);
  EXPECT_EQ(tool.WidthWindow(), 1);
  tool.SetWidthWindow(1000);
  EXPECT_EQ(tool.WidthWindow(), 300);

  TParametrsWindowedBackgroundRemoval p;
  p.pApplay = false;
  p.pWidthWindow = 42;
  tool.SetParam(3, &p);
  tool.GetParam(3);
  EXPECT_EQ(tool.WidthWindow(), 42);
  EXPECT_FALSE(tool.GetExecuting());
  p.pWidthWindow = 7;
  p.pApplay = true;
  tool.SetParameters("Background Remover with Window", &p);
  EXPECT_EQ(tool.WidthWindow(), 7);
  EXPECT_TRUE(tool.GetExecuting());
  tool.SaveParamPlugin(1);
  tool.SetAllParamAs(1);
  for (const auto& set : tool.Param) EXPECT_EQ(set.WidthWindow, 7);
}

TEST_F(WinSubtractTraceTest, SetParamViewGivesTheOnlineStageItsWindow) {
  FakeShell shell;
  ShellScope shellScope(&shell);
  FakeStagesFactory factory;
  FactoryScope factoryScope(&factory);
  auto view = MakeChannel(4, 4);
  host.views = {nullptr, nullptr, view.get()};
  auto* stages = static_cast<FakeOnlineStages*>(view->OnlineStages());
  ASSERT_NE(stages, nullptr);
  TParametrsWindowedBackgroundRemoval p;
  p.pApplay = true;
  p.pWidthWindow = 33;
  tool.SetParam(2, &p);
  tool.SetParamView(view.get());
  EXPECT_EQ(tool.WidthWindow(), 33);
  EXPECT_EQ(stages->widthWindow, 33);
  EXPECT_TRUE(stages->backgroundApplay);
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

TMemoryStream Body(const QByteArray& afterName) {
  TMemoryStream s(afterName);
  s.SetPosition(0);
  return s;
}

TEST_F(WinSubtractTraceTest, Records) {
  tool.SetWidthWindow(77);
  tool.SetExecuting(false);
  TMemoryStream stream;
  tool.SaveToStream(stream);
  TWinSubtractTrace other;
  stream.SetPosition(4);
  ASSERT_EQ(TCommonTool::ReadShortString(stream), "Background Remover with Window");
  ASSERT_EQ(static_cast<uint8_t>(stream.Bytes()[static_cast<int>(stream.Position())]), 33);
  other.ReadFromUniStream(stream, 2);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(other.Param[2].WidthWindow, 77);
  EXPECT_FALSE(other.Param[2].Apply);

  // Format 32: a percentage of the channel's traces, rounded half to even.
  auto view = MakeChannel(1000, 1);
  tool.SetView_(1, view.get());
  QByteArray f32("\x20\x01", 2);
  f32.append(Utf16("B")).append("\x01", 1);
  const int32_t percent = 50;
  f32.append(reinterpret_cast<const char*>(&percent), 4);
  auto s32 = Body(f32);
  tool.ReadFromUniStream(s32, 1);
  EXPECT_EQ(tool.Param[1].WidthWindow, 300) << "500 traces, clamped";
  auto view5 = MakeChannel(5, 1);
  tool.SetView_(1, view5.get());
  auto s32b = Body(f32);
  tool.ReadFromUniStream(s32b, 1);
  EXPECT_EQ(tool.Param[1].WidthWindow, 2) << "2.5 rounds to 2";

  // The older form: an 8-bit caption, Apply and the percentage.
  QByteArray old("\x02" "BR\x01", 4);
  const int32_t ten = 10;
  old.append(reinterpret_cast<const char*>(&ten), 4);
  tool.SetView_(0, view.get());
  auto sOld = Body(old);
  tool.ReadFromStream(sOld, 0);
  EXPECT_EQ(tool.Param[0].WidthWindow, 100);
  EXPECT_EQ(tool.GetCaption(), "BR");
}

}  // namespace win_subtract_trace_test
