// The leveler: the line arithmetic on small lines worked out by hand, the
// search and the flattening shift on real channel stores, the manual line from
// a polyline, the line shown on the chart, a break, the chain record in its
// field order, and the dialog that redraws the line without a run.

#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/radio_group.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "profiledata/hilbert.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/utilits.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/leveler_form.h"
#include "tools/leveler_kernel.h"
#include "tools/leveler_tool.h"
#include "tools/tool_icons.h"
#include "tools/tool_protocol.h"

#include <gtest/gtest.h>

#include <vector>

namespace leveler_tool_test {

TEST(LevelerLine, PeakIndex) {
  const std::vector<int32_t> zero(6, 0);
  EXPECT_EQ(PeakIndex(zero.data(), 6), -1);
  const std::vector<int32_t> x{3, -7, 7, 1, INT32_MIN, 5};
  EXPECT_EQ(PeakIndex(x.data(), 4), 1) << "the first of equal magnitudes";
  EXPECT_EQ(PeakIndex(x.data(), 6), 4);
}

TEST(LevelerLine, MovingAverageSumsExactlyUpToTheLastPosition) {
  std::vector<int32_t> v{0, 10, 20, 31};
  BloorProc(v.data(), 4, 1);
  // (0+10)/2, (0+10+20)/3, (10+20+31)/3, (20+31)/2 = 25.5 -> 26 (half to even)
  EXPECT_EQ(v, (std::vector<int32_t>{5, 10, 20, 26}));
  std::vector<int32_t> one{42};
  BloorProc(one.data(), 1, 5);
  EXPECT_EQ(one, std::vector<int32_t>{42}) << "a one-trace line keeps its value";
  std::vector<int32_t> big{INT32_MAX, INT32_MAX, INT32_MAX};
  BloorProc(big.data(), 3, 1);
  EXPECT_EQ(big, (std::vector<int32_t>(3, INT32_MAX))) << "no int32 overflow in the sums";
}

TEST(LevelerLine, MedianKeepsACentreLargerThanEverythingAfterIt) {
  EXPECT_EQ(MedianFilterLine({1, 9, 3}, 1)[1], 9);
  EXPECT_EQ(MedianFilterLine({9, 1, 3}, 1)[1], 3);
  // Positions outside the line are 0: the first value 5 sees (0, 5, 2).
  EXPECT_EQ(MedianFilterLine({5, 2, 8}, 1), (std::vector<int32_t>{5, 5, 8}));
  EXPECT_EQ(MedianFilterLine({5, 2, 8}, 0), (std::vector<int32_t>{5, 2, 8}));
}

TEST(LevelerLine, ManualLineInterpolatesBetweenNodesInAnyDrawingOrder) {
  for (const std::vector<TPoint>& drawn :
       {std::vector<TPoint>{{40, 100}, {10, 40}}, std::vector<TPoint>{{10, 40}, {40, 100}}}) {
    const std::vector<TPoint> nodes = ManualNodes(drawn);
    EXPECT_EQ(ManualSurface(nodes, 5), 40);
    EXPECT_EQ(ManualSurface(nodes, 10), 40);
    EXPECT_EQ(ManualSurface(nodes, 20), 60);
    EXPECT_EQ(ManualSurface(nodes, 25), 70);
    EXPECT_EQ(ManualSurface(nodes, 39), 98);
    EXPECT_EQ(ManualSurface(nodes, 50), 100);
  }
  // Two nodes on one trace: the first drawn stands for the traces right of it.
  const std::vector<TPoint> same = ManualNodes({{20, 7}, {20, 9}, {0, 1}});
  EXPECT_EQ(ManualSurface(same, 20), 7);
  EXPECT_EQ(ManualSurface(same, 10), 5);
}

TEST(LevelerLine, ShiftTrace) {
  const std::vector<int32_t> x{1, 2, 3, 4, 5};
  std::vector<int32_t> y(5);
  ShiftTrace(x.data(), y.data(), 5, 2);
  EXPECT_EQ(y, (std::vector<int32_t>{3, 4, 5, 0, 0}));
  ShiftTrace(x.data(), y.data(), 5, -1);
  EXPECT_EQ(y, (std::vector<int32_t>{0, 1, 2, 3, 4}));
  ShiftTrace(x.data(), y.data(), 5, -5);
  EXPECT_EQ(y, std::vector<int32_t>(5, 0));
  ShiftTrace(x.data(), y.data(), 5, INT64_MAX);
  EXPECT_EQ(y, std::vector<int32_t>(5, 0));
}

constexpr int L = 128;

// Traces with a single spike at the given samples (none for -1).
std::vector<int32_t> Spikes(const std::vector<int>& at) {
  std::vector<int32_t> x(at.size() * L, 0);
  for (size_t t = 0; t < at.size(); ++t)
    if (at[t] >= 0) x[t * L + static_cast<size_t>(at[t])] = 1000 + static_cast<int32_t>(t);
  return x;
}

class LevelerToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TLeveler tool;
  std::unique_ptr<T2Dview> view;

  void Load(const std::vector<int32_t>& x) {
    view = MakeChannel(static_cast<int64_t>(x.size() / L), L);
    view->Settings()->RestoreSpanWidth(64.0);
    SetSamples(*view, x);
    tool.SetView_(0, view.get());
  }
  std::vector<int32_t> Run() {
    const TLevelerParam on{true};
    tool.SetParam(0, &on);
    tool.execute(false, 0);
    return Samples(*view);
  }
};

TEST_F(LevelerToolTest, DefaultsAndNames) {
  EXPECT_EQ(tool.GetCaption(), "Leveler Filter");
  EXPECT_EQ(tool.AToolName, "Leveler Filter");
  EXPECT_EQ(tool.AToolDscr, "1D Filter. Leveler");
  EXPECT_EQ(tool.typeOfPlugin, advanced);
  EXPECT_EQ(tool.SearchType, stAmplitude);
  EXPECT_EQ(std::tuple(tool.BaseHilbertBloor, tool.BaseMedianF, tool.BaseBloorF), std::tuple(10, 20, 20));
  EXPECT_TRUE(tool.ApplyMedianF && tool.ApplyGlide);
  EXPECT_FALSE(tool.Transform || tool.ShowResult);
  for (const TLevelerParam& set : tool.Param) EXPECT_FALSE(set.Apply);
  EXPECT_EQ(tool.GetPluginArea(), (TRect{0, 0, 0, 0}));
}

TEST(SmoothingToolIcons, EveryIconHasAPicture) {
  for (const char* name : {"Median_ICON1", "Median_ICON2", "BLUR_ICON1", "BLUR_ICON2", "NORMALIZATION_ICON1",
                           "NORMALIZATION_ICON2", "LEVELER_ICON1", "LEVELER_ICON2"}) {
    TBitmap picture;
    EXPECT_TRUE(LoadToolIcon(QString::fromLatin1(name), picture)) << name;
  }
}

TEST_F(LevelerToolTest, TransformBringsTheSurfaceTenSamplesBelowTheShallowest) {
  tool.ApplyMedianF = false;
  tool.ApplyGlide = false;
  tool.Transform = true;
  const std::vector<int32_t> x = Spikes({30, 60, 45});
  Load(x);
  const std::vector<int32_t> y = Run();
  EXPECT_EQ(tool.SurfaceLine, (std::vector<int32_t>{30, 60, 45}));
  // m = 30: every spike comes to sample 40.
  for (int t = 0; t < 3; ++t) {
    SCOPED_TRACE(t);
    std::vector<int32_t> expected(L, 0);
    expected[40] = 1000 + t;
    EXPECT_EQ(std::vector<int32_t>(y.begin() + t * L, y.begin() + (t + 1) * L), expected);
  }
  // The line shown: one point per trace, in ns of channel 0.
  ASSERT_EQ(host.surfaceLines.size(), 1u);
  EXPECT_EQ(host.surfaceLines[0], (std::vector<double>{static_cast<double>(SampleToTimeOfView(0, 30)),
                                                       static_cast<double>(SampleToTimeOfView(0, 60)),
                                                       static_cast<double>(SampleToTimeOfView(0, 45))}));
  // Without Transform the data stay.
  tool.Transform = false;
  SetSamples(*view, x);
  EXPECT_EQ(Run(), x);
}

TEST_F(LevelerToolTest, AZeroTraceGivesMinusOne) {
  tool.ApplyMedianF = false;
  tool.ApplyGlide = false;
  tool.Transform = true;
  Load(Spikes({-1, 20}));
  const std::vector<int32_t> y = Run();
  EXPECT_EQ(tool.SurfaceLine, (std::vector<int32_t>{-1, 20}));
  // m = -1: the spike at 20 moves up by 20 - (-1) - 10 = 11.
  EXPECT_EQ(y[L + 9], 1001);
}

TEST_F(LevelerToolTest, SmoothedLineIsTheMedianThenTheMovingAverage) {
  tool.BaseMedianF = 1;
  tool.BaseBloorF = 1;
  Load(Spikes({10, 90, 12, 14, 16}));
  Run();
  EXPECT_EQ(tool.MedianLine, MedianFilterLine(tool.SurfaceLine, 1));
  std::vector<int32_t> smooth = tool.MedianLine;
  BloorProc(smooth.data(), 5, 1);
  EXPECT_EQ(tool.BloorLine, smooth);
}

TEST_F(LevelerToolTest, EnvelopeSearchesOnAnyThreadCount) {
  std::vector<int32_t> x(7 * L);
  for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<int32_t>((i * 7919) % 2001) - 1000;
  for (auto type : {stHilbert, stMovingAverage}) {
    tool.SearchType = type;
    tool.BaseHilbertBloor = 3;
    std::vector<int32_t> expected;
    for (int t = 0; t < 7; ++t) {
      std::vector<int32_t> e(x.begin() + t * L, x.begin() + (t + 1) * L);
      HilbertTransformTrace(e.data(), L, 0, 64.0);
      if (type == stHilbert) BloorProc(e.data(), L, 3);
      expected.push_back(PeakIndex(e.data(), L));
    }
    for (int count : {1, 4}) {
      PoolThreadsScope pool(count);
      Load(x);
      Run();
      EXPECT_EQ(tool.SurfaceLine, expected) << int{type} << ", " << count;
    }
  }
}

TEST_F(LevelerToolTest, ManualLineFromTheFirstPolyline) {
  tool.SearchType = stManual;
  tool.ApplyMedianF = false;
  tool.ApplyGlide = false;
  tool.Transform = true;
  const std::vector<int32_t> x = Spikes({20, 30, 40});
  Load(x);
  // Without a polyline nothing changes.
  EXPECT_EQ(Run(), x);
  EXPECT_TRUE(host.surfaceLines.empty());

  TPolyLineMarkersData* line = view->Settings()->PolyLineMarkersArray->AddPolyLine(clBlue, QString());
  line->AddMark(-1, 0, 20);
  line->AddMark(0, 2, 40);
  SetSamples(*view, x);
  const std::vector<int32_t> y = Run();
  EXPECT_EQ(tool.SurfaceLine, (std::vector<int32_t>{20, 30, 40}));
  for (int t = 0; t < 3; ++t) EXPECT_EQ(y[static_cast<size_t>(t * L + 30)], 1000 + t) << t;
}

TEST_F(LevelerToolTest, ABreakLeavesTheInput) {
  std::vector<int32_t> x(3000 * L / 4);
  for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<int32_t>(i % 77);
  view = MakeChannel(3000, L / 4);
  SetSamples(*view, x);
  tool.SetView_(0, view.get());
  tool.Transform = true;
  tool.SearchType = stMovingAverage;  // rounds of a few traces per thread
  int64_t now = 0;
  SetToolSliceClock([&] { return now += 100; });
  host.breakAtYield = 1;
  EXPECT_EQ(Run(), x);
  SetToolSliceClock({});
  EXPECT_TRUE(host.br);
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }
QByteArray I32(int32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

TEST_F(LevelerToolTest, RecordInTheFieldOrder) {
  tool.ApplyGlide = false;
  tool.BaseMedianF = 7;
  tool.BaseBloorF = 9;
  tool.SearchType = stMovingAverage;
  tool.BaseHilbertBloor = 11;
  tool.Transform = true;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected = I32(static_cast<int32_t>(stream.Size()));
  expected.append("\x0e" "Leveler Filter\x21\x0e", 17).append(Utf16("Leveler Filter")).append("\x00", 1);
  expected.append("\x00\x01", 2).append(I32(7)).append(I32(9)).append("\x02", 1).append(I32(11)).append("\x01\x00", 2);
  EXPECT_EQ(stream.Bytes(), expected);

  TLeveler other;
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  other.ReadFromUniStream(stream, 3);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_FALSE(other.ApplyGlide);
  EXPECT_EQ(std::tuple(other.BaseMedianF, other.BaseBloorF, other.BaseHilbertBloor), std::tuple(7, 9, 11));
  EXPECT_EQ(other.SearchType, stMovingAverage);
  EXPECT_TRUE(other.Transform);

  // Format 32 holds nothing the tool reads.
  QByteArray f32("\x20\x01", 2);
  f32.append(Utf16("X")).append("\x01", 1);
  TMemoryStream s32(f32);
  s32.SetPosition(0);
  other.ReadFromUniStream(s32, 0);
  EXPECT_EQ(other.GetCaption(), "Leveler Filter");
  EXPECT_EQ(s32.Position(), 1);
}

TEST_F(LevelerToolTest, DialogSmoothingRedrawsTheLineAndLeavesTheData) {
  const std::vector<int32_t> x = Spikes({10, 50, 12, 14, 16, 60, 18});
  Load(x);
  tool.Transform = true;
  const std::vector<int32_t> y = Run();
  ASSERT_EQ(host.surfaceLines.size(), 1u);
  tool.SetPropertyes(false);
  auto* form = dynamic_cast<TLevelerForm*>(tool.Form());
  ASSERT_NE(form, nullptr);
  Application->ProcessMessages();
  EXPECT_EQ(form->Caption(), "Leveler Filter");
  EXPECT_EQ(form->RadioGroup1->Items(), (QStringList{"Amplitude", "Hilbert", "Moving Average", "Manual"}));
  EXPECT_EQ(form->RadioGroup1->ItemIndex(), 0);
  EXPECT_EQ(form->BaseMedianFDigitEdit->ValueInt(), 20);
  host.messages.clear();

  form->ApplyMedianFCheckBox->SetChecked(false);
  ASSERT_EQ(host.surfaceLines.size(), 2u) << "redrawn at once";
  EXPECT_EQ(tool.MedianLine, tool.SurfaceLine);
  form->BaseBloorFDigitEdit->SetValueInt(2);
  form->BaseBloorFDigitEdit->OnChangeFinish(form->BaseBloorFDigitEdit);
  EXPECT_EQ(host.surfaceLines.size(), 3u);
  // The search type and Transform only set their fields.
  form->RadioGroup1->SetItemIndex(3);
  form->TransformCheckBox->SetChecked(false);
  EXPECT_EQ(tool.SearchType, stManual);
  EXPECT_FALSE(tool.Transform);
  EXPECT_EQ(host.surfaceLines.size(), 3u);
  Application->ProcessMessages();
  EXPECT_EQ(Samples(*view), y) << "the data change at the next run only";
  EXPECT_EQ(host.messages, std::vector<TRecordedMessage>{}) << "no run asked for";
  form->CloseDialog();
  Application->ProcessMessages();
}

}  // namespace leveler_tool_test
