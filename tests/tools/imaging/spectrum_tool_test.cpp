// The spectrum tool on real channel stores without a window: the averaged line
// at the cursor, the transform of a cosine, the frequency axis of both modes,
// the statistics title, the data passing through, the cursor hand-over reaching
// only its own channel at its own size, cursors outside the channel, a growing
// line, a channel without a time window, a cursor during a run, its record and
// its registry row.

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/tool_messages.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/tool_records_fuzz_target.h"
#include "tests/tools/tool_test_support.h"
#include "tools/imaging/imaging_library.h"
#include "tools/imaging/spectrum_tool.h"
#include "tools/list_of_tools.h"
#include "tools/tool_classes.h"
#include "tools/tool_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace spectrum_tool_test {

// `traces` traces of `longTrace` samples holding f(t, e), over spanWidth ns.
template <class F>
std::unique_ptr<T2Dview> Channel(int64_t traces, int longTrace, F f, double spanWidth = 50) {
  auto view = MakeChannel(traces, longTrace);
  view->Settings()->RestoreSpanWidth(spanWidth);
  std::vector<int32_t> v;
  for (int64_t t = 0; t < traces; ++t)
    for (int e = 0; e < longTrace; ++e) v.push_back(f(t, e));
  SetSamples(*view, v);
  return view;
}

class SpectrumToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{2};
  TSpectrum tool;

  // Binds channel c and runs the chain over it once (the tool's input saved).
  void Bind(int c, T2Dview& view) {
    tool.SetView_(c, &view);
    tool.execute(false, c);
  }
};

TEST_F(SpectrumToolTest, TheCreationValues) {
  EXPECT_EQ(tool.AToolName, QStringLiteral("Spectrum"));
  EXPECT_EQ(tool.GetCaption(), QStringLiteral("Spectrum"));
  EXPECT_EQ(tool.AToolDscr, QStringLiteral("1D Spectrum."));
  EXPECT_EQ(tool.typeOfPlugin, simple);
  EXPECT_TRUE(tool.AExecuting);
  EXPECT_EQ(tool.PositionTrace, 1);
  EXPECT_EQ(tool.DeltaPlus, 10);
  EXPECT_EQ(tool.FrDescret, 60);
  EXPECT_NEAR(static_cast<double>(tool.StepTime), 1.0 / 60, 1e-15);
  EXPECT_EQ(tool.Diapazon, 900);
  EXPECT_EQ(tool.AreaStart, 0);
  EXPECT_EQ(tool.AreaStop, 900);
  EXPECT_EQ(tool.oldAreaStop, 900);
  EXPECT_EQ(tool.GetVersion(), 16);
}

TEST_F(SpectrumToolTest, VerticallyAtTheFirstTraceTheTracesZeroToTenAreAveraged) {
  // Trace t holds 11 t everywhere: each term is t, traces 0 .. 10 add to 55 (with
  // trace 11 it would be 66 / 12 per term).
  auto view = Channel(40, 16, [](int64_t t, int) { return static_cast<int32_t>(11 * t); });
  tool.PositionTrace = 0;
  Bind(0, *view);
  tool.AfterChangeNumTrace(0, 0);
  ASSERT_EQ(tool.LineInput.size(), 16u);
  EXPECT_EQ(tool.LineInput, std::vector<double>(16, 55.0));
  // Trace 20: traces 10 .. 30, round(11 t / 21) each.
  tool.AfterChangeNumTrace(20, 0);
  double sum = 0;
  for (int t = 10; t <= 30; ++t) sum += std::nearbyint(11.0 * t / 21);
  EXPECT_EQ(tool.LineInput[3], sum);
}

TEST_F(SpectrumToolTest, ACosineTraceGivesHalfItsAmplitudeAtItsFrequency) {
  const int n = 256;
  auto view = Channel(5, n, [](int64_t, int i) {
    return static_cast<int32_t>(std::llrint(1000 * std::cos(2 * std::numbers::pi * 8 * i / n)));
  });
  tool.PositionTrace = 0;
  tool.DeltaPlus = 0;
  Bind(0, *view);
  tool.FreqAfterChange();
  ASSERT_GE(tool.M, 9) << "800 MHz over 50 ns";
  tool.AfterChangeNumTrace(2, 0);
  EXPECT_EQ(tool.AreaStart, 0);
  EXPECT_EQ(tool.AreaStop, n - 1) << "the window is clamped into the line";
  ASSERT_EQ(tool.FreqLineInput.size(), static_cast<size_t>(tool.M) + 1);
  EXPECT_NEAR(tool.FreqLineInput[8], 500, 0.5);
  EXPECT_LT(tool.FreqLineInput[5], 1);
  // With Apply the five correlations run over the whole line.
  for (const auto& wavelet : tool.HarmonicWavelet) EXPECT_EQ(wavelet.size(), static_cast<size_t>(n));
}

TEST_F(SpectrumToolTest, TheFrequencyAxisOfBothModes) {
  auto view = Channel(600, 8, [](int64_t, int) { return 0; });
  Bind(0, *view);
  tool.FreqAfterChange();
  EXPECT_EQ(tool.MaxFr, 30);
  EXPECT_EQ(tool.MinFr, 0);
  EXPECT_EQ(tool.M, 300);
  ASSERT_EQ(tool.FreqAxisValue.size(), 301u);
  EXPECT_NEAR(tool.FreqAxisValue[300], 300 / 10000.0, 1e-15);
  tool.PositionTrace = 0;
  struct TCase {
    int type;
    int32_t maxFr;
  };
  const TCase cases[] = {{1, 300}, {3, 1200}, {17, 1000}, {21, 150}, {30, 150}};
  for (const TCase& c : cases) {
    view->Settings()->SetTypeGPR(static_cast<TTypeGPR>(c.type));
    tool.FreqAfterChange();
    EXPECT_EQ(tool.MaxFr, c.maxFr) << c.type << " (30 keeps the previous value)";
  }
}

TEST_F(SpectrumToolTest, WithoutTracesTheLineSpansOneStepAndNothingIsDrawn) {
  auto view = Channel(0, 8, [](int64_t, int) { return 0; });
  tool.SetView_(0, view.get());
  tool.FrDescret = 50;
  tool.StepTime = 0.02L;
  tool.FreqAfterChange();
  EXPECT_NEAR(static_cast<double>(tool.dTime), 20, 1e-12);
  tool.AfterChangeNumTrace(0, 0);
  EXPECT_TRUE(tool.LineInput.empty());
  for (const THarmonicKernel& k : tool.Harmonics) EXPECT_TRUE(k.Taps.empty());
}

TEST_F(SpectrumToolTest, AChannelWithoutATimeWindowHasNoSpectrumLinesAndNoKernels) {
  auto view = Channel(20, 32, [](int64_t t, int e) { return static_cast<int32_t>(t * e); }, 0.0);
  tool.PositionTrace = 0;
  Bind(0, *view);
  tool.FreqAfterChange();
  tool.AfterChangeNumTrace(3, 0);
  EXPECT_EQ(tool.M, 0);
  EXPECT_EQ(tool.FreqLineInput, std::vector<double>(1, 0.0));
  for (const THarmonicKernel& k : tool.Harmonics) EXPECT_TRUE(k.Taps.empty());
  EXPECT_EQ(tool.LineInput.size(), 32u) << "the line itself is still shown";
}

TEST_F(SpectrumToolTest, TheStatisticsTitle) {
  struct TCase {
    std::vector<int32_t> trace;
    QString title;
  };
  const TCase cases[] = {
      {{1, 2}, QStringLiteral("Trace: 0, Depth: 0, MatOzidanie: 1.50, SredneKvadratichn: 0.71")},
      {{7}, QStringLiteral("Trace: 0, Depth: 0, MatOzidanie: 7.00, SredneKvadratichn: 0.00")},
  };
  for (const TCase& c : cases) {
    TSpectrum spectrum;
    auto view = MakeChannel(1, static_cast<int>(c.trace.size()));
    SetSamples(*view, c.trace);
    spectrum.PositionTrace = 0;
    spectrum.SetView_(0, view.get());
    spectrum.execute(false, 0);
    spectrum.AfterChangeNumTrace(0, 0);
    EXPECT_EQ(spectrum.StatisticsTitle(), c.title);
  }
}

TEST_F(SpectrumToolTest, TheChannelPassesThroughWithApplyOnOrOff) {
  const std::vector<int32_t> input = TestTraces(30, 12);
  auto view = MakeChannel(30, 12);
  tool.SetView_(0, view.get());
  for (bool apply : {true, false}) {
    SCOPED_TRACE(apply);
    TSpectrumParam set{apply};
    tool.SetParam(0, &set);
    SetSamples(*view, input);
    tool.execute(false, 0);
    EXPECT_EQ(Samples(*view), input);
    tool.AfterChangeNumTrace(4, 1000);
    std::fill(view->dezoData.Data(), view->dezoData.Data() + 30 * 12, 5);  // a later tool's output
    tool.execute(true, 0);
    EXPECT_EQ(Samples(*view), input) << "a restart gives the saved input";
  }
}

TEST_F(SpectrumToolTest, TheCursorHandOverReachesOnlyItsChannelAtItsSize) {
  const std::vector<int32_t> a = TestTraces(10, 8);
  std::vector<int32_t> b = a;
  for (int32_t& v : b) v = v / 2 + 1;
  auto zero = MakeChannel(10, 8);
  auto two = MakeChannel(10, 8);
  SetSamples(*zero, a);
  SetSamples(*two, b);
  Bind(0, *zero);
  Bind(2, *two);
  tool.CurrentNumberView = 2;
  tool.PositionTrace = 0;
  tool.AfterChangeNumTrace(3, 0);
  tool.RunChangeNumTrace = true;  // the dialog's Apply box was checked
  ASSERT_EQ(tool.locDataTransform.Channel, 2);
  // Channel 0 restarts first: its own input, never channel 2's copy.
  std::fill(zero->dezoData.Data(), zero->dezoData.Data() + 80, 0);
  tool.execute(true, 0);
  EXPECT_EQ(Samples(*zero), a);
  EXPECT_TRUE(tool.RunChangeNumTrace) << "still waiting for its channel";
  // Channel 2 has grown: a run of the new size takes its own input.
  two->dezoData.Allocate(12 * 8 * 4);
  two->SetMaxNumTraces(12);
  two->SetSizeDat(12 * 8 * 4);
  std::vector<int32_t> grown = b;
  grown.resize(96, 77);
  SetSamples(*two, grown);
  tool.execute(false, 2);
  EXPECT_EQ(Samples(*two), grown);
  EXPECT_FALSE(tool.RunChangeNumTrace) << "the copy went stale";
  // A fresh hand-over at the new size is taken by the restart of its channel.
  tool.AfterChangeNumTrace(3, 0);
  tool.RunChangeNumTrace = true;
  std::fill(two->dezoData.Data(), two->dezoData.Data() + 96, 0);
  tool.execute(true, 2);
  EXPECT_EQ(Samples(*two), grown);
  EXPECT_FALSE(tool.RunChangeNumTrace);
}

TEST_F(SpectrumToolTest, ACursorOutsideTheChannelIsClampedIntoIt) {
  auto view = Channel(30, 20, [](int64_t t, int e) { return static_cast<int32_t>(100 * t + e); }, 20);
  tool.PositionTrace = 0;
  tool.DeltaPlus = 0;
  Bind(0, *view);
  tool.AfterChangeNumTrace(1000, 0);
  EXPECT_EQ(tool.CurrentTrace, 29);
  ASSERT_EQ(tool.LineInput.size(), 20u);
  EXPECT_EQ(tool.LineInput[4], 2904);
  tool.AfterChangeNumTrace(-9, 0);
  EXPECT_EQ(tool.CurrentTrace, 0);
  EXPECT_EQ(tool.LineInput[4], 4);
  // Horizontally: a depth far below the trace takes its last row (1 ns a sample).
  tool.PositionTrace = 1;
  tool.AfterChangeNumTrace(0, 5'000'000);
  EXPECT_EQ(tool.CurrentDeep, 19);
  ASSERT_EQ(tool.LineInput.size(), 30u);
  EXPECT_EQ(tool.LineInput[7], 719);
}

TEST_F(SpectrumToolTest, TheLineFollowsAGrowingRecording) {
  auto view = Channel(10, 8, [](int64_t t, int) { return static_cast<int32_t>(t); });
  Bind(0, *view);  // horizontal: a line of 10
  ASSERT_EQ(tool.LineInput.size(), 10u) << "sized when the channel was bound";
  std::vector<int32_t> more;
  for (int t = 0; t < 2000; ++t)
    for (int e = 0; e < 8; ++e) more.push_back(t % 7 * 8);
  view->dezoData.Allocate(2000 * 8 * 4);
  view->SetMaxNumTraces(2000);
  view->SetSizeDat(2000 * 8 * 4);
  SetSamples(*view, more);
  tool.execute(false, 0);
  tool.AfterChangeNumTrace(1500, 0);
  ASSERT_EQ(tool.LineInput.size(), 2000u);
  EXPECT_EQ(tool.LineInput[1999], 1999 % 7 * 8) << "8 rows, each term an eighth";
  for (const auto& wavelet : tool.HarmonicWavelet) EXPECT_EQ(wavelet.size(), 2000u);
}

TEST_F(SpectrumToolTest, ACursorMessageDuringARunIsTakenUpAfterItTheLastOneWinning) {
  auto view = Channel(40, 16, [](int64_t t, int e) { return static_cast<int32_t>(t + e); });
  tool.PositionTrace = 0;
  Bind(0, *view);
  tool.AfterChangeNumTrace(1, 0);
  int32_t traceInsideRun = -1;
  host.onYield = [&](int) {
    SendMessage(tool.GetHandle(), WM_TOOLTRACECHANGED, 7, 0);
    SendMessage(tool.GetHandle(), WM_TOOLTRACECHANGED, 9, 2000);
    traceInsideRun = tool.CurrentTrace;
  };
  tool.execute(false, 0);
  host.onYield = nullptr;
  EXPECT_EQ(traceInsideRun, 1) << "never halfway through the run";
  Application->ProcessMessages();
  EXPECT_EQ(tool.CurrentTrace, 9);
  EXPECT_EQ(tool.CurrentDeepTime, 2);
}

TEST_F(SpectrumToolTest, TheRecordCarriesTheCurrentTrace) {
  tool.CurrentTrace = 1234;
  tool.AExecuting = false;
  tool.SetCaption(QStringLiteral("Mine"));
  TMemoryStream stream;
  tool.SaveToStream(stream);
  stream.SetPosition(4);
  EXPECT_EQ(TCommonTool::ReadShortString(stream), QByteArrayLiteral("Spectrum"));
  TSpectrum back;
  back.ReadFromUniStream(stream, 3);
  EXPECT_EQ(back.CurrentTrace, 1234);
  EXPECT_EQ(back.GetCaption(), QStringLiteral("Mine"));
  EXPECT_FALSE(back.Param[3].Apply);
  EXPECT_EQ(stream.Position(), stream.Size());
  // A format below 32 carries nothing the tool reads.
  TMemoryStream older;
  {
    TToolRecordWriter record(older, QStringLiteral("Spectrum"), 31, QStringLiteral("Old"), true);
    older.WriteValue<int32_t>(55);
  }
  older.SetPosition(4);
  TCommonTool::ReadShortString(older);
  TSpectrum fromOlder;
  fromOlder.ReadFromUniStream(older, 0);
  EXPECT_EQ(fromOlder.CurrentTrace, 0);
  EXPECT_EQ(fromOlder.GetCaption(), QStringLiteral("Spectrum"));
  // The older chain kinds hold nothing of the tool.
  TMemoryStream old;
  old.WriteValue<int32_t>(77);
  old.SetPosition(0);
  back.ReadFromStream(old, 0);
  EXPECT_EQ(old.Position(), 0);
}

TEST_F(SpectrumToolTest, TheRegistryKnowsTheNameButDoesNotCreateIt) {
  ImagingLibraryStartup();
  TListOfTools tools(nullptr);
  tools.Initialise(QString(), true, 1033);
  EXPECT_EQ(tools.GetTool(QStringLiteral("Spectrum"), {}), nullptr);
  std::unique_ptr<TCommonTool> made = FindToolClass(QStringLiteral("Spectrum"))(1033);
  EXPECT_NE(dynamic_cast<TSpectrum*>(made.get()), nullptr);
}

TEST_F(SpectrumToolTest, JunkRecordsStayInsideTheirRecord) {
  ImagingLibraryStartup();
  using tool_records_fuzz::BuiltToolNames;
  const std::vector<QString>& names = BuiltToolNames();
  const auto found = std::find(names.begin(), names.end(), QStringLiteral("Spectrum"));
  ASSERT_NE(found, names.end());
  const auto t = static_cast<size_t>(found - names.begin());
  TMemoryStream stream;
  tool.SaveToStream(stream);
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  const QByteArray body = stream.Bytes().mid(static_cast<qsizetype>(stream.Position()));
  for (int form = 0; form < 2; ++form) {
    int selector = -1;
    for (int s = 0; s < 256 && selector < 0; ++s)
      if (static_cast<size_t>(s) % names.size() == t && (s / 16) % 2 == form) selector = s;
    ASSERT_GE(selector, 0);
    for (const QByteArray& input : JunkInputs(body, 5901, 60)) {
      const std::string broken =
          RunWithSelector(tool_records_fuzz::ReadToolRecordOnce, static_cast<uint8_t>(selector), input);
      ASSERT_TRUE(broken.empty()) << broken;
    }
  }
}

}  // namespace spectrum_tool_test
