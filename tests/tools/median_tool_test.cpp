// The median filter: small windows worked out by hand (mirrored edges, repeated
// values, excluded magnitudes), the sliding window against a selection from
// scratch for many window shapes and thread counts, a break, the parameter sets
// and the chain records; the dialog's edits and its Enter key.

#include "platform/rtl/streams.h"
#include "platform/ui/buttons.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/median_form.h"
#include "tools/median_kernel.h"
#include "tools/median_tool.h"
#include "tools/tool_protocol.h"
#include "tools/window_mirror.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace median_tool_test {

// The rule written out: every window value strictly inside +-1,000,000, sorted;
// the (k div 2 + 1)-th largest; the input sample when there is none.
std::vector<int32_t> Reference(const std::vector<int32_t>& x, int64_t N, int L, int X, int Y) {
  std::vector<int32_t> out(x.size());
  for (int64_t t = 0; t < N; ++t)
    for (int s = 0; s < L; ++s) {
      std::vector<int32_t> w;
      for (int i = -Y; i <= Y; ++i)
        for (int j = -X; j <= X; ++j) {
          const int32_t v = x[static_cast<size_t>(MirrorPosition(t, j, N) * L + MirrorPosition(s, i, L))];
          if (v > -1000000 && v < 1000000) w.push_back(v);
        }
      std::sort(w.begin(), w.end());
      const size_t k = w.size();
      out[static_cast<size_t>(t * L + s)] = k == 0 ? x[static_cast<size_t>(t * L + s)] : w[k - 1 - k / 2];
    }
  return out;
}

class MedianToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TMedianTool tool;

  std::vector<int32_t> Run(T2Dview& view, int X, int Y, int channel = 0) {
    tool.SetView_(channel, &view);
    const TMedianParam set{true, Y, X};
    tool.SetParam(channel, &set);
    tool.execute(false, channel);
    return Samples(view);
  }
  std::vector<int32_t> RunOn(const std::vector<int32_t>& x, int64_t N, int L, int X, int Y) {
    auto view = MakeChannel(N, L);
    SetSamples(*view, x);
    return Run(*view, X, Y);
  }
};

TEST_F(MedianToolTest, HandWorkedWindows) {
  struct TCase {
    const char* what;
    std::vector<int32_t> x;
    int64_t N;
    int L, X, Y;
    std::vector<int32_t> expected;
  };
  const TCase cases[] = {
      // Trace 0 reads trace 1 for both offsets (30, 10, 30); so does the last.
      {"three traces, X = 1", {10, 30, 20}, 3, 1, 1, 0, {30, 20, 30}},
      {"repeated values count", {5, 5, 5, 1, 0}, 5, 1, 2, 0, {5, 5, 5, 5, 1}},
      {"repeated values down a trace", {5, 5, 5, 1, 0}, 1, 5, 0, 2, {5, 5, 5, 5, 1}},
      {"an outlier is not chosen", {100, 100, -5000, 100, 100}, 1, 5, 0, 2, {100, 100, 100, 100, 100}},
      // Magnitudes of a million left out; of two values the lower one.
      {"magnitudes of a million take no part", {1000000, 3, -1000000, 999999, 8, -999999}, 6, 1, 1, 0,
       {3, 3, 3, 8, 8, 8}},
      {"no value takes part: the input stays", {2000000, -1000000, 1000000}, 3, 1, 1, 0,
       {2000000, -1000000, 1000000}},
      {"X = Y = 0 is the input", {INT32_MIN, -999999, 0, 999999, 1000000, INT32_MAX}, 2, 3, 0, 0,
       {INT32_MIN, -999999, 0, 999999, 1000000, INT32_MAX}},
      // A window wider than the profile and taller than the trace: the mirrored
      // positions are clamped (two traces of two samples, X = Y = 3; trace 0,
      // trace 0 reads trace 1 four times of seven, trace 1 trace 0 four times).
      {"window larger than the channel", {1, 2, 3, 40}, 2, 2, 3, 3, {3, 3, 2, 2}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RunOn(c.x, c.N, c.L, c.X, c.Y), c.expected);
    EXPECT_EQ(Reference(c.x, c.N, c.L, c.X, c.Y), c.expected) << "the reference agrees";
  }
}

TEST_F(MedianToolTest, SlidingWindowGivesTheSelectionFromScratch) {
  std::mt19937 random(7);
  // Wide values (some beyond a million) and a narrow range (many repeats); the
  // short traces are shorter than the tallest window.
  for (auto [N, L, range] : {std::tuple{23, 37, 1300000}, {23, 37, 6}, {9, 7, 1300000}}) {
    std::uniform_int_distribution<int32_t> value(-range, range);
    std::vector<int32_t> x(static_cast<size_t>(N * L));
    for (int32_t& v : x) v = value(random);
    x[40] = INT32_MIN;
    x[41] = INT32_MAX;
    for (auto [X, Y] : {std::pair{1, 0}, {0, 1}, {1, 1}, {2, 3}, {0, 7}, {5, 0}, {15, 15}, {3, 15}}) {
      const std::vector<int32_t> expected = Reference(x, N, L, X, Y);
      for (int count : {1, 3, 8}) {
        SCOPED_TRACE(testing::Message() << "range " << range << " X " << X << " Y " << Y << " threads " << count);
        PoolThreadsScope pool(count);
        ASSERT_EQ(RunOn(x, N, L, X, Y), expected);
      }
    }
  }
}

// The default window's vectorised path: every combination of three values
// from the edges of the range and beyond it, side by side in three traces, so
// that each lane of a vector meets a different pattern of left-out values; the
// end traces read their one neighbour twice. Trace lengths around the vector
// widths leave remainders.
TEST_F(MedianToolTest, ThreeTraceWindowHandlesEveryPatternOfLeftOutValues) {
  const int32_t values[] = {INT32_MIN, -1000001, -1000000, -999999, -7, 0, 7, 999999, 1000000, 1000001, INT32_MAX};
  std::vector<int32_t> combos;
  for (int32_t a : values)
    for (int32_t b : values)
      for (int32_t c : values) combos.insert(combos.end(), {a, b, c});
  const int64_t patterns = static_cast<int64_t>(combos.size() / 3);
  for (int L : {1, 7, 8, 9, 17, static_cast<int>(patterns)}) {
    for (int64_t N : {int64_t{1}, int64_t{2}, int64_t{3}, int64_t{5}}) {
      std::vector<int32_t> x(static_cast<size_t>(N * L));
      for (int64_t t = 0; t < N; ++t)
        for (int s = 0; s < L; ++s) {
          // Sample s of trace t: value (t mod 3) of pattern (s + t div 3).
          const int64_t pattern = (s + t / 3 * 101) % patterns;
          x[static_cast<size_t>(t * L + s)] = combos[static_cast<size_t>(pattern * 3 + t % 3)];
        }
      for (int count : {1, 4}) {
        SCOPED_TRACE(testing::Message() << "L " << L << " N " << N << " threads " << count);
        PoolThreadsScope pool(count);
        ASSERT_EQ(RunOn(x, N, L, 1, 0), Reference(x, N, L, 1, 0));
      }
    }
  }
}

TEST_F(MedianToolTest, ABreakLeavesTheInputAndSwitchesApplyOffEverywhere) {
  const int64_t N = 3000;
  auto view = MakeChannel(N, 64);
  const std::vector<int32_t> x = TestTraces(N, 64);
  SetSamples(*view, x);
  int64_t now = 0;
  SetToolSliceClock([&] { return now += 100; });
  host.breakAtYield = 1;
  EXPECT_EQ(Run(*view, 2, 2), x);
  SetToolSliceClock({});
  EXPECT_TRUE(host.br) << "the break came before the end";
  EXPECT_FALSE(tool.AExecuting);
  for (const TMedianParam& set : tool.Param) EXPECT_FALSE(set.Apply);
}

TEST_F(MedianToolTest, NamesDefaultsAndSets) {
  EXPECT_EQ(tool.GetCaption(), "Median filter");
  EXPECT_EQ(tool.AToolName, "Median");
  EXPECT_EQ(tool.AToolDscr, "1D Filter. Median filter removes impulse noise");
  EXPECT_EQ(tool.GetVersion(), 16);
  EXPECT_EQ(tool.typeOfPlugin, simple);
  for (const TMedianParam& set : tool.Param) {
    EXPECT_TRUE(set.Apply);
    EXPECT_EQ(set.MedianWindowY, 0);
    EXPECT_EQ(set.MedianWindowX, 1);
  }
  const TMedianParam set{false, 4, 9};
  tool.SetParam(2, &set);
  tool.GetParam(2);
  EXPECT_EQ(tool.MedianWindowY, 4);
  EXPECT_EQ(tool.MedianWindowX, 9);
  EXPECT_FALSE(tool.AExecuting);
  tool.SetAllParamAs(2);
  for (const TMedianParam& s : tool.Param) EXPECT_EQ(s.MedianWindowX, 9);
}

TEST_F(MedianToolTest, ARunWidensTheProgressImage) {
  auto view = MakeChannel(4, 4);
  Run(*view, 1, 1, 3);
  EXPECT_EQ(host.progress, (std::vector<std::pair<int, int>>{{3, 300}}));
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }
QByteArray I32(int32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

TEST_F(MedianToolTest, RecordBytesAndClampedWindows) {
  tool.MedianWindowY = 3;
  tool.MedianWindowX = 12;
  tool.SetExecuting(false);
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected = I32(static_cast<int32_t>(stream.Size()));
  expected.append("\x06" "Median\x22\x0d", 9).append(Utf16("Median filter")).append("\x00", 1);
  expected.append(I32(3)).append(I32(12));
  EXPECT_EQ(stream.Bytes(), expected);

  // Read back as set 1; sizes outside 0 .. 15 are clamped.
  for (auto [y, x, wantY, wantX] : {std::tuple{3, 12, 3, 12}, {16, -3, 15, 0}, {-1, 1000, 0, 15}}) {
    QByteArray body("\x22\x01", 2);
    body.append(Utf16("M")).append("\x01", 1).append(I32(y)).append(I32(x));
    TMemoryStream s(body);
    s.SetPosition(0);
    tool.ReadFromUniStream(s, 1);
    EXPECT_EQ(tool.Param[1].MedianWindowY, wantY);
    EXPECT_EQ(tool.Param[1].MedianWindowX, wantX);
    EXPECT_TRUE(tool.Param[1].Apply);
  }
  // Format 33 holds Y only; format 32 neither; the window keeps its values.
  tool.MedianWindowX = 7;
  tool.MedianWindowY = 7;
  QByteArray f33("\x21\x01", 2);
  f33.append(Utf16("M")).append("\x00", 1).append(I32(2)).append(I32(9));
  TMemoryStream s33(f33);
  s33.SetPosition(0);
  tool.ReadFromUniStream(s33, 0);
  EXPECT_EQ(tool.Param[0].MedianWindowY, 2);
  EXPECT_EQ(tool.Param[0].MedianWindowX, 7);
  EXPECT_EQ(s33.Position(), 9) << "X is not read";

  // The older form: an 8-bit caption and Apply.
  QByteArray old("\x03" "Med\x00", 5);
  TMemoryStream sOld(old);
  sOld.SetPosition(0);
  tool.ReadFromStream(sOld, 4);
  EXPECT_EQ(tool.GetCaption(), "Med");
  EXPECT_FALSE(tool.Param[4].Apply);
  EXPECT_EQ(tool.Param[4].MedianWindowY, 2);
}

using TMessages = std::vector<TRecordedMessage>;
const TRecordedMessage kRunAll{WM_TOOLSRUN, 202, 0};

class MedianFormTest : public MedianToolTest {
protected:
  std::vector<std::unique_ptr<T2Dview>> views;

  void SetUp() override {
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeChannel(40, 8));
      SetSamples(*views.back(), TestTraces(40, 8));
      tool.SetView_(c, views.back().get());
      host.views.push_back(views.back().get());
    }
  }
  void TearDown() override { Application->ProcessMessages(); }

  TMedianForm& Open(bool adding, int channel = 0) {
    tool.SetCurrentNumberView(channel);
    tool.GetParam(channel);
    tool.SetPropertyes(adding);
    auto* form = dynamic_cast<TMedianForm*>(tool.Form());
    EXPECT_NE(form, nullptr);
    Application->ProcessMessages();
    host.messages.clear();
    return *form;
  }
  TMessages Drain() { return host.DrainMessages(); }
};

TEST_F(MedianFormTest, EditsSetTheirHalfWindowAndPreview) {
  TMedianForm& form = Open(true);
  EXPECT_EQ(form.Caption(), "Median filter") << "titled with the tool's caption";
  EXPECT_EQ(form.MedianWindowXLabel->Caption(), "Half of of horizontal window, traces");
  EXPECT_EQ(form.MedianWindowYLabel->Caption(), "Half of vertical window, samples");
  EXPECT_EQ(form.MedianWindowXDigitEdit->ValueInt(), 1);
  EXPECT_EQ(form.MedianWindowYDigitEdit->ValueInt(), 0);
  EXPECT_EQ(form.MedianWindowXDigitEdit->MaxVal(), 15);

  form.MedianWindowYDigitEdit->SetValueInt(20);  // clamped by the edit
  form.MedianWindowYDigitEdit->OnChangeFinish(form.MedianWindowYDigitEdit);
  form.MedianWindowXDigitEdit->SetValueInt(4);
  form.MedianWindowXDigitEdit->OnChangeFinish(form.MedianWindowXDigitEdit);
  for (const TMedianParam& set : tool.Param) {
    EXPECT_EQ(set.MedianWindowY, 15);
    EXPECT_EQ(set.MedianWindowX, 4);
  }
  EXPECT_EQ(Drain(), (TMessages{kRunAll, kRunAll}));
}

TEST_F(MedianFormTest, EnterClosesNothingUnlessTheToolRuns) {
  TMedianForm& form = Open(false, 1);
  WORD key = VK_RETURN;
  form.OnKeyDown(&form, key, {});
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(tool.NeedToClose);

  // During a run Enter asks for the close, carried out when the run ends.
  int64_t now = 0;
  SetToolSliceClock([&] { return now += 100; });
  host.onYield = [&](int n) {
    if (n != 1) return;
    WORD enter = VK_RETURN;
    form.OnKeyDown(&form, enter, {});
    EXPECT_TRUE(form.Visible());
  };
  tool.execute(false, 1);
  SetToolSliceClock({});
  host.onYield = {};
  EXPECT_FALSE(form.Visible());
  Drain();
  EXPECT_EQ(tool.Form(), nullptr);

  // Esc still follows the protocol.
  TMedianForm& again = Open(false, 1);
  key = VK_ESCAPE;
  again.OnKeyDown(&again, key, {});
  EXPECT_FALSE(again.Visible());
}

TEST_F(MedianFormTest, ABreakClearsTheOpenDialogsApplyBox) {
  views[0] = MakeChannel(3000, 64);
  SetSamples(*views[0], TestTraces(3000, 64));
  tool.SetView_(0, views[0].get());
  TMedianForm& form = Open(false, 0);
  ASSERT_TRUE(form.ExecCheckBox->Checked());
  const std::vector<int32_t> x = Samples(*views[0]);
  int64_t now = 0;
  SetToolSliceClock([&] { return now += 100; });
  host.breakAtYield = host.yields + 1;
  tool.execute(false, 0);
  SetToolSliceClock({});
  EXPECT_EQ(Samples(*views[0]), x);
  EXPECT_FALSE(form.ExecCheckBox->Checked());
  EXPECT_TRUE(form.Vsbl);
  for (const TMedianParam& set : tool.Param) EXPECT_FALSE(set.Apply);
  EXPECT_EQ(Drain(), TMessages{}) << "the box was cleared without its handler";
}

}  // namespace median_tool_test
