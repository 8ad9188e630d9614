// The three-point correlator: both kernels against the formulas written out (the
// trace's ends, bases past the trace, the int32 extremes), any thread count, a
// break, the parameter sets, the chain records and the registry's names for it;
// its dialog's base and mode controls.

#include "platform/rtl/streams.h"
#include "platform/ui/buttons.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/corelator.h"
#include "tools/corelator_form.h"
#include "tools/list_of_tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace corelator_test {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// The formulas in extended precision, halves to even, saturated.
std::vector<int32_t> Reference(const std::vector<int32_t>& x, int64_t traces, int L, int B, int mode) {
  std::vector<int32_t> y(x.size());
  for (int64_t t = 0; t < traces; ++t)
    for (int i = 0; i < L; ++i) {
      const auto at = [&](int k) -> long double { return k < 0 || k > L - 1 ? 0 : x[static_cast<size_t>(t * L + k)]; };
      long double v = 0;
      if (mode == 0) v = (2 * at(i) - at(i - B) - at(i + B)) / 2;
      if (mode == 1) v = (2 * at(i) + at(i - B) + at(i + B)) / 4;
      const long double r = std::nearbyintl(v);
      y[static_cast<size_t>(t * L + i)] =
          r > kMax ? kMax : r < kMin ? kMin : static_cast<int32_t>(r);
    }
  return y;
}

class CorelatorTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TCorelator tool;

  std::vector<int32_t> Run(T2Dview& view, int base, uint8_t mode, int channel = 0) {
    tool.SetView_(channel, &view);
    TCorelatorParam p{true, base, static_cast<TCorelatorMode>(mode)};
    tool.SetParam(channel, &p);
    tool.execute(false, channel);
    return Samples(view);
  }
};

struct TTraceCase {
  const char* name;
  int base;
  uint8_t mode;
  std::vector<int32_t> in;
  std::vector<int32_t> out;
};

TEST_F(CorelatorTest, KernelsOnOneTrace) {
  const std::vector<int32_t> c20(20, 100);
  std::vector<int32_t> smoothed(20, 100);
  for (int i : {0, 1, 2, 3, 4, 15, 16, 17, 18, 19}) smoothed[static_cast<size_t>(i)] = 75;
  const std::vector<TTraceCase> cases{
      {"second difference", 1, 0, {0, 0, 100, 0, 0}, {0, -50, 100, -50, 0}},
      {"smoothing a constant, B = 5", 5, 1, c20, smoothed},
      {"B = 0 sharpens to nothing", 0, 0, {7, -3, 100, 5, 1}, {0, 0, 0, 0, 0}},
      {"B = 0 smooths to the input", 0, 1, {7, -3, 100, 5, 1}, {7, -3, 100, 5, 1}},
      {"halves go to even", 1, 0, {1, 0, 0, 3, 0}, {1, 0, -2, 3, -2}},
      {"quarters go to even", 1, 1, {2, 0, 1, 0, 6, 2}, {1, 1, 0, 2, 4, 2}},
      {"a base past the trace reads zeros", 9, 0, {4, -6, 8}, {4, -6, 8}},
      {"another mode value gives zeros", 1, 2, {4, -6, 8}, {0, 0, 0}},
      {"extremes: exact sums, saturated", 1, 0, {kMin, kMax, kMin}, {kMin, kMax, kMin}},
      {"extremes smoothed", 1, 1, {kMin, kMin, kMax}, {-1610612736, -1073741824, 536870912}},
  };
  for (const TTraceCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto view = MakeChannel(1, static_cast<int>(c.in.size()));
    SetSamples(*view, c.in);
    EXPECT_EQ(Run(*view, c.base, c.mode), c.out);
  }
}

// B = 60 on 100 samples: the first 60 samples read 0 before them, the last 60
// read 0 after them; blocks on any thread count give the same channel.
TEST_F(CorelatorTest, WideBasesAndLargeChannelsMatchTheFormulas) {
  const std::vector<int32_t> x = TestTraces(257, 100);
  auto view = MakeChannel(257, 100);
  for (int base : {60, 1, 37, 99, 100, 255})
    for (uint8_t mode : {0, 1}) {
      const std::vector<int32_t> expected = Reference(x, 257, 100, base, mode);
      for (int threadCount : {1, 3, 8}) {
        SCOPED_TRACE(testing::Message() << "B " << base << ", mode " << int{mode} << ", threads " << threadCount);
        PoolThreadsScope pool(threadCount);
        SetSamples(*view, x);
        EXPECT_EQ(Run(*view, base, mode), expected);
      }
    }
}

// Traces whose samples all lie within [-2^29, 2^29) take 32-bit sums, the others
// 64-bit ones: both give the formulas, also at the bounds of the narrow range.
TEST_F(CorelatorTest, NarrowAndWideTracesGiveTheSameFormulas) {
  constexpr int L = 64;
  constexpr int64_t traces = 60;
  std::mt19937 random(5);
  std::uniform_int_distribution<int32_t> narrow(-(1 << 29), (1 << 29) - 1);
  std::vector<int32_t> x;
  for (int64_t t = 0; t < traces; ++t)
    for (int i = 0; i < L; ++i) {
      int32_t v = narrow(random);
      if (t % 3 == 1) v = (i % 2 == 0) ? -(1 << 29) : (1 << 29) - 1;  // the bounds, alternating
      if (t % 3 == 2 && i == 17) v = (t % 2 == 0) ? (1 << 29) : -(1 << 29) - 1;  // one sample outside
      x.push_back(v);
    }
  auto view = MakeChannel(traces, L);
  for (int base : {0, 1, 2, 31, 63})
    for (uint8_t mode : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "B " << base << ", mode " << int{mode});
      SetSamples(*view, x);
      EXPECT_EQ(Run(*view, base, mode), Reference(x, traces, L, base, mode));
    }
}

TEST_F(CorelatorTest, OnlyTheLowByteOfTheSetsBaseCounts) {
  auto view = MakeChannel(1, 5);
  SetSamples(*view, {0, 0, 100, 0, 0});
  EXPECT_EQ(Run(*view, 256 + 1, 0), (std::vector<int32_t>{0, -50, 100, -50, 0}));
  EXPECT_EQ(tool.BaseVer, 1);
}

TEST_F(CorelatorTest, ABreakFlagLeavesTheInputAndTheRunNeverYields) {
  auto view = MakeChannel(40, 16);
  const std::vector<int32_t> x = TestTraces(40, 16);
  SetSamples(*view, x);
  host.br = true;
  EXPECT_EQ(Run(*view, 2, 0), x);
  // The restart from the saved input: the channel holds the input, not the
  // output of the run before.
  host.br = false;
  const std::vector<int32_t> done = Run(*view, 2, 1);
  EXPECT_NE(done, x);
  host.br = true;
  tool.execute(true, 0);
  EXPECT_EQ(Samples(*view), x);
  EXPECT_EQ(host.yields, 0);
}

TEST_F(CorelatorTest, DefaultsAndParameterSets) {
  EXPECT_EQ(tool.GetCaption(), "Three-Point Correlator");
  EXPECT_EQ(tool.AToolName, "Three-Point Correlator");
  EXPECT_EQ(tool.AToolDscr, "1D Filter. It provides cross-correlation of the signal with discrete function");
  EXPECT_EQ(tool.typeOfPlugin, simple);
  EXPECT_FALSE(tool.NeedWndPaint);
  EXPECT_EQ(tool.BaseHor, 0);
  for (const TCorelatorParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_EQ(p.BaseVer, 5);
    EXPECT_EQ(p.Mode, TCorelatorMode::Mode1);
  }
  tool.BaseVer = 12;
  tool.Mode = TCorelatorMode::Mode2;
  tool.SetExecuting(false);
  tool.SaveParamPlugin(2);
  tool.SetAllParamAs(2);
  tool.SetAllApply(true);
  tool.BaseVer = 0;
  tool.GetParam(4);
  EXPECT_EQ(tool.BaseVer, 12);
  EXPECT_EQ(tool.Mode, TCorelatorMode::Mode2);
  EXPECT_TRUE(tool.GetExecuting());
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

TMemoryStream Body(const QByteArray& afterName) {
  TMemoryStream s(afterName);
  s.SetPosition(0);
  return s;
}

TEST_F(CorelatorTest, RecordsOfEveryForm) {
  tool.BaseHor = 7;
  tool.BaseVer = 9;
  tool.Mode = TCorelatorMode::Mode2;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected;
  const int32_t end = 4 + 23 + 1 + 1 + 44 + 1 + 3;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x16" "Three-Point Correlator\x21\x16", 25);
  expected.append(Utf16("Three-Point Correlator"));
  expected.append("\x01\x07\x09\x01", 4);
  EXPECT_EQ(stream.Bytes(), expected);

  // Read back: BaseHor survives although no run uses it.
  TCorelator other;
  stream.SetPosition(4);
  ASSERT_EQ(TCommonTool::ReadShortString(stream), "Three-Point Correlator");
  other.ReadFromUniStream(stream, 3);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(other.BaseHor, 7);
  EXPECT_EQ(other.Param[3].BaseVer, 9);
  EXPECT_EQ(other.Param[3].Mode, TCorelatorMode::Mode2);

  // Format 32: no mode; the working mode stays.
  other.Mode = TCorelatorMode::Mode1;
  QByteArray f32("\x20\x01", 2);
  f32.append(Utf16("C")).append("\x00\x03\x2A", 3);
  auto s32 = Body(f32);
  other.ReadFromUniStream(s32, 1);
  EXPECT_EQ(s32.Position(), f32.size());
  EXPECT_EQ(other.BaseHor, 3);
  EXPECT_EQ(other.Param[1].BaseVer, 42);
  EXPECT_EQ(other.Param[1].Mode, TCorelatorMode::Mode1);
  EXPECT_FALSE(other.Param[1].Apply);

  // Below 32: the working values are stored.
  auto s31 = Body(QByteArray("\x1f", 1));
  other.ReadFromUniStream(s31, 0);
  EXPECT_EQ(other.Param[0].BaseVer, 42);
  EXPECT_EQ(other.GetCaption(), "C");

  // The older kind: 8-bit caption, Apply, BaseHor, BaseVer; no mode.
  other.Mode = TCorelatorMode::Mode2;
  auto old = Body(QByteArray("\x03" "Old\x01\x04\x06", 7));
  other.ReadFromStream(old, 4);
  EXPECT_EQ(other.GetCaption(), "Old");
  EXPECT_EQ(other.BaseHor, 4);
  EXPECT_EQ(other.Param[4].BaseVer, 6);
  EXPECT_EQ(other.Param[4].Mode, TCorelatorMode::Mode2);
  EXPECT_TRUE(other.Param[4].Apply);
}

TEST_F(CorelatorTest, TheRegistryCreatesItByEitherNameAndByItsRecord) {
  TListOfTools registry(nullptr);
  registry.Initialise(QString(), true, 1033);
  TMemoryStream stream;
  tool.SaveToStream(stream);
  stream.SetPosition(4);
  const QString recordName = QString::fromLatin1(TCommonTool::ReadShortString(stream));
  for (const QString& name : {QStringLiteral("Three-Point Correlator"), QStringLiteral("Adaptive Filter"), recordName}) {
    std::unique_ptr<TCommonTool> made = registry.GetTool(name, {});
    EXPECT_NE(dynamic_cast<TCorelator*>(made.get()), nullptr) << name.toStdString();
  }
}

// ---- The dialog ----------------------------------------------------------------

class CorelatorFormTest : public CorelatorTest {
protected:
  std::vector<std::unique_ptr<T2Dview>> views;

  void SetUp() override {
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeChannel(3, 8));
      SetSamples(*views.back(), TestTraces(3, 8));
      tool.SetView_(c, views.back().get());
    }
  }
  void TearDown() override { Application->ProcessMessages(); }
  TCorelatorForm& Open(bool adding, int channel) {
    tool.SetCurrentNumberView(channel);
    tool.GetParam(channel);
    tool.SetPropertyes(adding);
    Application->ProcessMessages();
    host.messages.clear();
    return *dynamic_cast<TCorelatorForm*>(tool.Form());
  }
};

TEST_F(CorelatorFormTest, BaseAndModeControlsSetTheDialogsChannel) {
  TCorelatorParam p{true, 17, TCorelatorMode::Mode2};
  tool.SetParam(2, &p);
  TCorelatorForm& form = Open(false, 2);
  EXPECT_EQ(form.BaseVerGroupBox->Caption(), "Vertical Base");
  EXPECT_EQ(form.SamplesLabel->Caption(), "samples");
  EXPECT_EQ(form.ModeToolButton1->Caption(), "Mode 1");
  EXPECT_EQ(form.ModeToolButton2->Caption(), "Mode 2");
  EXPECT_EQ(form.VertTrackBar->Min(), 0);
  EXPECT_EQ(form.VertTrackBar->Max(), 60);
  EXPECT_EQ(form.VertTrackBar->Position(), 17);
  EXPECT_EQ(form.BaseVerDigitEdit->ValueInt(), 17);
  EXPECT_TRUE(form.ModeToolButton2->Down());
  EXPECT_FALSE(form.ModeToolButton1->Down());

  // The edit moves the track bar, which sets the base and previews (posted).
  form.BaseVerDigitEdit->SetValueInt(33);
  form.BaseVerDigitEditChangeFinish(nullptr);
  EXPECT_EQ(form.VertTrackBar->Position(), 33);
  EXPECT_EQ(tool.Param[2].BaseVer, 33);
  EXPECT_EQ(tool.Param[0].BaseVer, 5);
  EXPECT_TRUE(host.messages.empty()) << "posted, not sent";
  Application->ProcessMessages();
  EXPECT_EQ(host.messages, (std::vector<TRecordedMessage>{{WM_TOOLSRUN, 202, 0}}));

  form.ModeToolButton1->SetDown(true);
  form.ModeToolButton1->Click();
  EXPECT_EQ(tool.Param[2].Mode, TCorelatorMode::Mode1);
  EXPECT_EQ(form.CancelBitBtn->Caption(), "Restore");
  form.CloseDialog();
}

}  // namespace corelator_test
