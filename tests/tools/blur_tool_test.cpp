// The blur: its mask worked out by hand, an impulse and a uniform channel, the
// mirrored edges, the kernel against the sum written out for many masks and
// thread counts, a break, the parameter sets and the chain records; the
// dialog's track bars and edits.

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/buttons.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/blur_form.h"
#include "tools/blur_tool.h"
#include "tools/tool_protocol.h"
#include "tools/window_mirror.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace blur_tool_test {

// The weighted sum as the rule writes it: rows, then columns, one sum.
std::vector<int32_t> Reference(const std::vector<int32_t>& x, int64_t N, int L, const TBlurMask& m) {
  std::vector<int32_t> out(x.size());
  for (int64_t t = 0; t < N; ++t)
    for (int s = 0; s < L; ++s) {
      long double acc = 0;
      for (int dv = -m.V; dv <= m.V; ++dv)
        for (int dh = -m.H; dh <= m.H; ++dh)
          acc += m.Spot[static_cast<size_t>((dv + m.V) * (2 * m.H + 1) + dh + m.H)] *
                 x[static_cast<size_t>(MirrorPosition(t, dh, N) * L + MirrorPosition(s, dv, L))];
      out[static_cast<size_t>(t * L + s)] = RoundToInt32(acc / m.nrm);
    }
  return out;
}

TEST(BlurMask, WeightsFallWithTheDistanceOverTheEllipsesReach) {
  const TBlurGauss& g = BlurGaussArray();
  EXPECT_NEAR(static_cast<double>(g[0]), 1 / (40 * std::sqrt(2 * M_PI)), 1e-15);
  EXPECT_NEAR(static_cast<double>(g[127] / g[0]), std::exp(-127.0 * 127.0 / 3200), 1e-15);

  // H = V = 1: a reach of 1 in every direction, all eight outer weights at 127.
  const TBlurMask one = BuildBlurMask(1, 1);
  ASSERT_EQ(one.Spot.size(), 9u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(one.Spot[static_cast<size_t>(i)], i == 4 ? g[0] : g[127]) << i;
  EXPECT_EQ(one.nrm, g[0] + 8 * g[127]);
  EXPECT_NEAR(static_cast<double>(g[0] / one.nrm), 0.95, 0.005);

  // H = 3, V = 1: the reach along the traces is V (H + 1) / (V + 1) = 2.
  const TBlurMask wide = BuildBlurMask(3, 1);
  ASSERT_EQ(wide.Spot.size(), 21u);
  const auto at = [&](int dv, int dh) { return wide.Spot[static_cast<size_t>((dv + 1) * 7 + dh + 3)]; };
  EXPECT_EQ(at(0, 0), g[0]);
  EXPECT_EQ(at(0, 1), g[64]);
  EXPECT_EQ(at(0, -1), g[64]);
  EXPECT_EQ(at(0, 2), g[127]);
  EXPECT_EQ(at(1, 0), g[127]);
  // Half sizes outside 1 .. 20 are clamped (no reach of 0, no mask past 41 x 41).
  EXPECT_EQ(BuildBlurMask(0, 30).H, 1);
  EXPECT_EQ(BuildBlurMask(0, 30).V, 20);
}

class BlurToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TBlur tool;

  std::vector<int32_t> Run(T2Dview& view, int H, int V, int channel = 0) {
    tool.SetView_(channel, &view);
    const TBlurParam set{true, H, V};
    tool.SetParam(channel, &set);
    tool.execute(false, channel);
    return Samples(view);
  }
  std::vector<int32_t> RunOn(const std::vector<int32_t>& x, int64_t N, int L, int H, int V) {
    auto view = MakeChannel(N, L);
    SetSamples(*view, x);
    return Run(*view, H, V);
  }
};

TEST_F(BlurToolTest, ImpulseKeepsMostOfItselfAndGivesItsNeighboursALittle) {
  std::vector<int32_t> x(25, 0);
  x[2 * 5 + 2] = 1000;  // trace 2, sample 2 of five traces of five samples
  const std::vector<int32_t> out = RunOn(x, 5, 5, 1, 1);
  for (int t = 0; t < 5; ++t)
    for (int s = 0; s < 5; ++s) {
      const bool centre = t == 2 && s == 2;
      const bool near = std::abs(t - 2) <= 1 && std::abs(s - 2) <= 1;
      EXPECT_EQ(out[static_cast<size_t>(t * 5 + s)], centre ? 951 : near ? 6 : 0) << t << ", " << s;
    }
}

TEST_F(BlurToolTest, MirroredTracesCountTwiceAtTheEdges) {
  // An impulse on trace 1: trace 0 reads it for both trace offsets, trace 2 once.
  std::vector<int32_t> x(4 * 3, 0);
  x[1 * 3 + 1] = 1000;
  const std::vector<int32_t> out = RunOn(x, 4, 3, 1, 1);
  EXPECT_EQ(out[0 * 3 + 1], 12);
  EXPECT_EQ(out[2 * 3 + 1], 6);
  // The same down a trace: sample 0 reads sample 1 twice.
  EXPECT_EQ(out[1 * 3 + 0], 12);
  EXPECT_EQ(out[0 * 3 + 0], 25) << "trace 0, sample 0: four times the corner";
}

TEST_F(BlurToolTest, AUniformChannelStaysUniform) {
  for (auto [H, V] : {std::pair{1, 1}, {3, 3}, {20, 7}, {2, 20}}) {
    const std::vector<int32_t> x(9 * 50, -123457);
    EXPECT_EQ(RunOn(x, 9, 50, H, V), x) << H << " x " << V;
  }
}

TEST_F(BlurToolTest, KernelGivesTheSumWrittenOutOnAnyThreadCount) {
  for (auto [N, L] : {std::pair{37, 61}, {5, 3}}) {
    const std::vector<int32_t> x = TestTraces(N, L);
    for (auto [H, V] : {std::pair{1, 1}, {3, 3}, {1, 6}, {7, 2}, {20, 20}}) {
      const std::vector<int32_t> expected = Reference(x, N, L, BuildBlurMask(H, V));
      for (int count : {1, 3, 8}) {
        SCOPED_TRACE(testing::Message() << N << " x " << L << ", H " << H << " V " << V << " threads " << count);
        PoolThreadsScope pool(count);
        ASSERT_EQ(RunOn(x, N, L, H, V), expected);
      }
    }
  }
}

TEST_F(BlurToolTest, ABreakLeavesTheInputAndSwitchesApplyOffEverywhere) {
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
  for (const TBlurParam& set : tool.Param) EXPECT_FALSE(set.Apply);
}

TEST_F(BlurToolTest, NamesDefaultsAndSets) {
  EXPECT_EQ(tool.GetCaption(), "Blur");
  EXPECT_EQ(tool.AToolName, "Blur");
  EXPECT_EQ(tool.GetVersion(), 16);
  EXPECT_EQ(tool.typeOfPlugin, simple);
  for (const TBlurParam& set : tool.Param) EXPECT_EQ((std::tuple{set.Apply, set.BaseHor, set.BaseVer}), (std::tuple{true, 3, 3}));
  EXPECT_EQ(tool.Mask.Spot.size(), 49u);
  // GetParam takes the low bytes, held to 1 .. 20, and rebuilds the mask.
  const TBlurParam set{false, 256 + 5, 0};
  tool.SetParam(4, &set);
  tool.GetParam(4);
  EXPECT_EQ(tool.BaseHor, 5);
  EXPECT_EQ(tool.BaseVer, 1);
  EXPECT_FALSE(tool.AExecuting);
  EXPECT_EQ(tool.Mask.Spot.size(), 33u);
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }
QByteArray I32(int32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

TEST_F(BlurToolTest, RecordBytesAndClampedHalfSizes) {
  tool.BaseHor = 4;
  tool.BaseVer = 17;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected = I32(static_cast<int32_t>(stream.Size()));
  expected.append("\x04" "Blur\x20\x04", 7).append(Utf16("Blur")).append("\x01\x04\x11", 3);
  EXPECT_EQ(stream.Bytes(), expected);

  for (auto [h, v, wantH, wantV] : {std::tuple{4, 17, 4, 17}, {0, 21, 1, 20}, {255, 1, 20, 1}}) {
    QByteArray body("\x20\x01", 2);
    body.append(Utf16("B")).append("\x00", 1).append(static_cast<char>(h)).append(static_cast<char>(v));
    TMemoryStream s(body);
    s.SetPosition(0);
    tool.ReadFromUniStream(s, 2);
    EXPECT_EQ(tool.Param[2].BaseHor, wantH);
    EXPECT_EQ(tool.Param[2].BaseVer, wantV);
    EXPECT_FALSE(tool.Param[2].Apply);
    EXPECT_EQ(tool.Mask.Spot.size(), static_cast<size_t>((2 * wantH + 1) * (2 * wantV + 1))) << "mask rebuilt";
  }
  QByteArray old("\x02" "Bl\x01\x02\x09", 6);
  TMemoryStream sOld(old);
  sOld.SetPosition(0);
  tool.ReadFromStream(sOld, 3);
  EXPECT_EQ(tool.GetCaption(), "Bl");
  EXPECT_EQ(tool.Param[3].BaseHor, 2);
  EXPECT_EQ(tool.Param[3].BaseVer, 9);
}

using TMessages = std::vector<TRecordedMessage>;
const TRecordedMessage kRunAll{WM_TOOLSRUN, 202, 0};

class BlurFormTest : public BlurToolTest {
protected:
  std::vector<std::unique_ptr<T2Dview>> views;

  void SetUp() override {
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeChannel(c == 0 ? 3000 : 20, 64));
      SetSamples(*views.back(), TestTraces(c == 0 ? 3000 : 20, 64));
      tool.SetView_(c, views.back().get());
      host.views.push_back(views.back().get());
    }
  }
  void TearDown() override { Application->ProcessMessages(); }

  TBlurForm& Open(bool adding, int channel = 0) {
    tool.SetCurrentNumberView(channel);
    tool.GetParam(channel);
    tool.SetPropertyes(adding);
    auto* form = dynamic_cast<TBlurForm*>(tool.Form());
    EXPECT_NE(form, nullptr);
    Application->ProcessMessages();
    host.messages.clear();
    return *form;
  }
  TMessages Drain() { return host.DrainMessages(); }
};

TEST_F(BlurFormTest, TrackBarsAndEditsSetTheHalfSizes) {
  TBlurForm& form = Open(true);
  EXPECT_EQ(form.BaseHorLabel->Caption(), "Blur Horizontally");
  EXPECT_EQ(form.BaseVerLabel->Caption(), "Blur Vertically");
  EXPECT_EQ(form.BaseHorTrackBar->Position(), 3);
  EXPECT_EQ(form.BaseVerDigitEdit->ValueInt(), 3);
  EXPECT_EQ(form.BaseHorTrackBar->Max(), 20);

  form.BaseHorTrackBar->SetPosition(9);
  EXPECT_EQ(form.BaseHorDigitEdit->ValueInt(), 9);
  EXPECT_EQ(tool.Mask.H, 9) << "the mask follows at once";
  for (const TBlurParam& set : tool.Param) EXPECT_EQ(set.BaseHor, 9);
  EXPECT_EQ(Drain(), TMessages{kRunAll});

  // An edit's confirmed value moves its track bar, which does the rest.
  form.BaseVerDigitEdit->SetValueInt(14);
  form.BaseVerDigitEdit->OnChangeFinish(form.BaseVerDigitEdit);
  EXPECT_EQ(form.BaseVerTrackBar->Position(), 14);
  for (const TBlurParam& set : tool.Param) EXPECT_EQ(set.BaseVer, 14);

  // Enter in an edit is the edit's; elsewhere it is OK.
  form.Show();
  form.BaseVerDigitEdit->SetFocus();
  Application->ProcessMessages();
  if (form.BaseVerDigitEdit->Focused()) {
    WORD key = VK_RETURN;
    form.FormKeyDown(&form, key, {});
    EXPECT_TRUE(form.Visible());
  }
}

TEST_F(BlurFormTest, ABreakClearsTheOpenDialogsApplyBox) {
  TBlurForm& form = Open(false, 0);
  const std::vector<int32_t> x = Samples(*views[0]);
  int64_t now = 0;
  SetToolSliceClock([&] { return now += 100; });
  host.breakAtYield = host.yields + 1;
  tool.execute(false, 0);
  SetToolSliceClock({});
  EXPECT_EQ(Samples(*views[0]), x);
  EXPECT_FALSE(form.ExecCheckBox->Checked());
  for (const TBlurParam& set : tool.Param) EXPECT_FALSE(set.Apply);
  EXPECT_EQ(Drain(), TMessages{}) << "the box was cleared without its handler";
}

}  // namespace blur_tool_test
