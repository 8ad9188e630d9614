// The comparator: the threshold on real channel stores (the int32 extremes
// included), no break, the records; the godograph's bins, picture and
// ThresholdMax; its dialog's inverted track bar.

#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/comparator_form.h"
#include "tools/comparator_kernel.h"
#include "tools/comparator_tool.h"

#include <gtest/gtest.h>

#include <limits>

namespace comparator_test {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

class ComparatorTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TComparatorTool tool;

  std::vector<int32_t> Run(T2Dview& view, int32_t threshold, int channel = 0) {
    tool.SetView_(channel, &view);
    TComparatorParam p{true, threshold};
    tool.SetParam(channel, &p);
    tool.execute(false, channel);
    return Samples(view);
  }
  // The length of the line on row y of the godograph (pen pixels from the left).
  static int LineLength(TBitmap& bitmap, int y) {
    int n = 0;
    while (n < bitmap.Width() && bitmap.Canvas()->Pixels(n, y) == clBlack) ++n;
    return n;
  }
};

struct TThresholdCase {
  int32_t threshold;
  std::vector<int32_t> out;
};

TEST_F(ComparatorTest, SamplesBelowTheThresholdBecomeZero) {
  const std::vector<int32_t> in{0, 1, -1, 4, -4, 5, -5, kMax, kMin, 100};
  const std::vector<TThresholdCase> cases{
      {0, in},
      {1, in},
      {-7, in},
      {5, {0, 0, 0, 0, 0, 5, -5, kMax, kMin, 100}},
      {101, {0, 0, 0, 0, 0, 0, 0, kMax, kMin, 0}},
      // |-2147483648| is 2147483648: above every threshold.
      {kMax, {0, 0, 0, 0, 0, 0, 0, kMax, kMin, 0}},
  };
  auto view = MakeChannel(2, 5);
  for (const TThresholdCase& c : cases) {
    SCOPED_TRACE(c.threshold);
    SetSamples(*view, in);
    EXPECT_EQ(Run(*view, c.threshold), c.out);
  }
}

TEST_F(ComparatorTest, LargeChannelsOnAnyThreadCountAndNoBreak) {
  const std::vector<int32_t> x = TestTraces(300, 41);
  std::vector<int32_t> expected;
  for (int32_t v : x) expected.push_back(v > -50000 && v < 50000 ? 0 : v);
  auto view = MakeChannel(300, 41);
  host.br = true;  // not looked at
  for (int threadCount : {1, 2, 8}) {
    SCOPED_TRACE(threadCount);
    PoolThreadsScope pool(threadCount);
    SetSamples(*view, x);
    EXPECT_EQ(Run(*view, 50000), expected);
  }
  EXPECT_EQ(host.yields, 0);
}

TEST(ComparatorKernel, BinsRoundHalvesToEven) {
  EXPECT_EQ(AmplitudeBin(0, 1), 0);
  EXPECT_EQ(AmplitudeBin(1, 1), 200);
  EXPECT_EQ(AmplitudeBin(1, 400), 0) << "0.5";
  EXPECT_EQ(AmplitudeBin(3, 400), 2) << "1.5";
  EXPECT_EQ(AmplitudeBin(5, 400), 2) << "2.5";
  EXPECT_EQ(AmplitudeBin(6, 400), 3);
  EXPECT_EQ(AmplitudeBin(2147483648u, 2147483647u), 200);
  EXPECT_EQ(AmplitudeBin(2147483647u, 2147483647u), 200);
  EXPECT_EQ(AmplitudeBin(7, 0), 200) << "the largest is at least 1";
}

TEST_F(ComparatorTest, GodographDrawsTheBinsAndFindsThresholdMax) {
  auto view = MakeChannel(1, 8);
  tool.SetView_(2, view.get());
  tool.SetCurrentNumberView(2);
  EXPECT_EQ(tool.ThresholdMax, 5120);

  // Largest 400: 3 samples in bin 100 (200), 1 in bin 2 (5 -> 2.5 -> 2), 1 in
  // bin 200, 3 in bin 0 (never seen: row 200 lies below the picture).
  SetSamples(*view, {200, -200, 200, 5, -400, 0, 0, 1});
  tool.execute(false, 2);
  TBitmap& picture = *tool.GetGodograph();
  EXPECT_EQ(tool.ThresholdMax, 400);
  ASSERT_EQ(picture.Width(), 160);
  ASSERT_EQ(picture.Height(), 200);
  EXPECT_EQ(LineLength(picture, 100), 160) << "the fullest bin";
  EXPECT_EQ(LineLength(picture, 198), 54) << "ceil(160 / 3)";
  EXPECT_EQ(LineLength(picture, 0), 54) << "bin 200";
  EXPECT_EQ(LineLength(picture, 199), 0);
  EXPECT_EQ(picture.Canvas()->Pixels(0, 101), clWhite);

  // All zero: ThresholdMax 1, everything in bin 0, so nothing shows.
  SetSamples(*view, std::vector<int32_t>(8, 0));
  tool.execute(false, 2);
  tool.GetGodograph();
  EXPECT_EQ(tool.ThresholdMax, 1);
  for (int y = 0; y < 200; ++y) EXPECT_EQ(LineLength(picture, y), 0) << y;
}

TEST_F(ComparatorTest, AChannelWithoutASavedInputKeepsThePicture) {
  auto view = MakeChannel(1, 4);
  SetSamples(*view, {10, 20, 20, 0});
  tool.SetView_(0, view.get());
  tool.execute(false, 0);
  TBitmap* picture = tool.GetGodograph();
  EXPECT_EQ(tool.ThresholdMax, 20);
  EXPECT_EQ(LineLength(*picture, 0), 160);

  tool.SetCurrentNumberView(3);  // no view, no copy
  EXPECT_EQ(tool.GetGodograph(), picture);
  EXPECT_EQ(tool.ThresholdMax, 20);
  EXPECT_EQ(LineLength(*picture, 0), 160);
  EXPECT_EQ(LineLength(*picture, 100), 80);
}

TEST_F(ComparatorTest, DefaultsAndRecords) {
  EXPECT_EQ(tool.GetCaption(), "Comparator");
  EXPECT_EQ(tool.AToolName, "Comparator");
  EXPECT_EQ(tool.Threshold, 1);
  for (const TComparatorParam& p : tool.Param) EXPECT_EQ(p.Threshold, 1);

  tool.Threshold = 7000;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected;
  const int32_t end = 4 + 11 + 1 + 1 + 20 + 1 + 4;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x0a" "Comparator\x20\x0a", 13);
  const QString caption = QStringLiteral("Comparator");
  expected.append(reinterpret_cast<const char*>(caption.utf16()), caption.size() * 2);
  const int32_t threshold = 7000;
  expected.append("\x01", 1).append(reinterpret_cast<const char*>(&threshold), 4);
  EXPECT_EQ(stream.Bytes(), expected);

  TComparatorTool other;
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  other.ReadFromUniStream(stream, 1);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(other.Param[1].Threshold, 7000);

  other.Threshold = 3;
  TMemoryStream f31(QByteArray("\x1f\x55\x55\x55\x55", 5));
  f31.SetPosition(0);
  other.ReadFromUniStream(f31, 2);
  EXPECT_EQ(other.Param[2].Threshold, 3);

  TMemoryStream old(QByteArray("\x01" "K\x01\x10\x00\x00\x00", 7));
  old.SetPosition(0);
  other.ReadFromStream(old, 0);
  EXPECT_EQ(other.Param[0].Threshold, 16);
  EXPECT_EQ(other.GetCaption(), "K");
}

// ---- The dialog ----------------------------------------------------------------

class ComparatorFormTest : public ComparatorTest {
protected:
  std::vector<std::unique_ptr<T2Dview>> views;

  void SetUp() override {
    for (int c = 0; c < 5; ++c) {
      views.push_back(MakeChannel(2, 5));
      tool.SetView_(c, views.back().get());
    }
    SetSamples(*views[1], {0, 300, -1000, 999, 1, 2, 3, 4, 5, 6});
  }
  void TearDown() override { Application->ProcessMessages(); }
  TComparatorForm& Open(bool adding, int channel) {
    tool.SetCurrentNumberView(channel);
    tool.GetParam(channel);
    tool.SetPropertyes(adding);
    Application->ProcessMessages();
    host.messages.clear();
    return *dynamic_cast<TComparatorForm*>(tool.Form());
  }
};

TEST_F(ComparatorFormTest, TheTrackBarGrowsTheThresholdTowardsTheTop) {
  TComparatorParam p{true, 250};
  tool.SetParam(1, &p);
  TComparatorForm& form = Open(false, 1);
  EXPECT_EQ(tool.ThresholdMax, 1000);
  EXPECT_EQ(form.ThresholdTrackBar->Orientation(), trVertical);
  EXPECT_EQ(form.ThresholdTrackBar->Min(), 1);
  EXPECT_EQ(form.ThresholdTrackBar->Max(), 1000);
  EXPECT_EQ(form.ThresholdTrackBar->PageSize(), 50);
  EXPECT_EQ(form.ThresholdTrackBar->Position(), 750);
  EXPECT_EQ(tool.Threshold, 250) << "the new bound leaves the threshold in force";
  EXPECT_EQ(form.TresholdLabel->Caption(), "Threshold = 250 (max=1000)");
  // The image shows the godograph: bin 200 (-1000) and bin 200 (999 -> 199.8).
  EXPECT_EQ(form.GodographImage->Picture()->Canvas()->Pixels(0, 0), clBlack);
  EXPECT_EQ(form.GodographImage->Picture()->Width(), 160);

  // The bottom end is threshold 0, the top end ThresholdMax - 1.
  form.ThresholdTrackBar->SetPosition(1000);
  EXPECT_EQ(tool.Param[1].Threshold, 0);
  form.ThresholdTrackBar->SetPosition(1);
  EXPECT_EQ(tool.Param[1].Threshold, 999);
  EXPECT_EQ(form.TresholdLabel->Caption(), "Threshold = 999 (max=1000)");
  EXPECT_EQ(tool.Param[0].Threshold, 1) << "editing: the dialog's channel only";
  Application->ProcessMessages();
  EXPECT_EQ(host.messages, (std::vector<TRecordedMessage>{{WM_TOOLSRUN, 202, 0}, {WM_TOOLSRUN, 202, 0}}));
  form.CloseDialog();
}

TEST_F(ComparatorFormTest, ButtonsReadAddAndCancelFromTheStart) {
  auto* form = TComponent::Create<TComparatorForm>(Application);
  EXPECT_EQ(form->OKBitBtn->Caption(), "Add");
  EXPECT_EQ(form->CancelBitBtn->Caption(), "Cancel");
  form->Free();
}

}  // namespace comparator_test
