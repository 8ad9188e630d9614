// The computed traces: the section's cells from real channel stores in a window
// of three shown channels (a fake host), the travel sample of a cell found by
// hand, the section kinds, the byte scaling, boxes that give no image, reads that
// stay inside short channels, the record and the dialog.

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/image.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tools/abs_tool.h"
#include "tools/imaging/calc_traces_data.h"
#include "tools/imaging/calc_traces_form.h"
#include "tools/imaging/calc_traces_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace calc_traces_tool_test {

using imaging_test_support::MakeWheelChannel;
using imaging_test_support::TWheelChannel;

// DepthToSample(x) = round(x x 200 / (100 x 200 / 2000)) = round(20 x), and
// DistToTrace(x) = round(x x 100000 / (20 x 100)) = round(50 x): one trace per
// 20 mm.
constexpr int kLong = 200;
TWheelChannel Geometry(int64_t traces = 30) {
  TWheelChannel c;
  c.traces = traces;
  c.longTrace = kLong;
  c.nullShift = 0;
  c.speed = 100;
  c.spanWidth = 200;
  c.wheelStep = 20;
  return c;
}

class ShownChannelsHost : public FakeToolHost {
public:
  int ShownChannelCount() const override { return shown; }
  int shown = 3;
};

TAreaCalc Box(int32_t x1, int32_t x2, int32_t stepX, int32_t y1, int32_t y2, int32_t stepY, int32_t z1, int32_t z2,
              int32_t stepZ) {
  TAreaCalc a;
  a.X1 = x1, a.X2 = x2, a.StepX = stepX;
  a.Y1 = y1, a.Y2 = y2, a.StepY = stepY;
  a.Z1 = z1, a.Z2 = z2, a.StepZ = stepZ;
  return a;
}

// A TCalcData on the channel geometry above.
TCalcData Data(TAreaCalc area, char16_t kind) {
  TCalcData d;
  EXPECT_TRUE(SetCellCounts(area, kind));
  d.Init(kLong, 100, area, 20.0f, 0, 200);
  return d;
}

// The two-way travel sample from trace t of channel `channel` to (cX, cY, cZ),
// worked from the antenna layout: Tx (20 t, 300 channel, 0), Rx (20 t - 150, 600, 0).
int64_t TravelSample(int64_t t, int channel, int32_t cX, int32_t cY, int32_t cZ) {
  const auto dist = [&](long double x, long double y) {
    return std::sqrt(std::pow((x - cX) / 1000, 2) + std::pow((y - cY) / 1000, 2) + std::pow(cZ / 1000.0L, 2));
  };
  const long double dT = dist(20.0L * t, 300.0L * channel), dR = dist(20.0L * t - 150, 600);
  return Round(static_cast<long double>(Round((dT + dR) * 20)) / 2);
}

TEST(CalcDataTest, TheConversionsAndTheAntennaLayout) {
  TCalcData d = Data(Box(0, 200, 20, 0, 100, 50, 0, 1000, 100), u'Y');
  EXPECT_EQ(d.DepthToSample(1.0L), 20);
  EXPECT_EQ(d.DistToTrace(0.11L), 6) << "round(5.5) is 6";
  EXPECT_EQ(d.DistToTrace(0.13L), 6) << "round(6.5) is 6";
  EXPECT_EQ(static_cast<double>(d.TraceToDist(7)), static_cast<double>(7 * 20.0L / 1000));
  std::vector<int32_t> a(kLong * 3), b(kLong * 2 + 150);
  d.AddRecTraces(a.data(), static_cast<int64_t>(a.size()));
  d.AddRecTraces(b.data(), static_cast<int64_t>(b.size()));
  d.Test();
  EXPECT_EQ(d.RecTraces[0].RecNumTraces, 3);
  EXPECT_EQ(d.RecTraces[1].RecNumTraces, 3) << "round(2.75)";
  EXPECT_EQ(d.RecTraces[1].PosTx[2], (TPos3{40, 300, 0}));
  EXPECT_EQ(d.RecTraces[1].PosRx[2], (TPos3{-110, 600, 0}));
}

TEST(CalcDataTest, AnImpulseAtACellsTravelSampleAveragesOverTheChannels) {
  const int64_t traces = 30;
  struct TCase {
    int32_t a;
    int32_t cell;
  };
  for (const TCase& k : {TCase{1000, 333}, TCase{-1000, -333}, TCase{7, 2}}) {
    TCalcData d = Data(Box(0, 400, 20, 0, 100, 100, 0, 1000, 100), u'Y');
    std::vector<std::vector<int32_t>> channels(3, std::vector<int32_t>(traces * kLong, 0));
    // The cell (ix 7, iz 6): X 140, Y 0, Z 600, under trace 7.
    const int64_t u = TravelSample(7, 0, 140, 0, 600);
    ASSERT_LT(u, kLong);
    channels[0][static_cast<size_t>(7 * kLong + u)] = k.a;
    for (const auto& c : channels) d.AddRecTraces(c.data(), static_cast<int64_t>(c.size()));
    ASSERT_TRUE(d.CreateCalcTraces(u'Y', 1.0f));
    const TCalcTrace& r = d.CalcTraces;
    EXPECT_EQ(r.BufOut_Width, 20);
    EXPECT_EQ(r.BufOut_Height, 20);
    EXPECT_EQ(r.CalcRaw[static_cast<size_t>(7 * r.BufOut_Height + 6)], k.cell) << k.a;
  }
}

TEST(CalcDataTest, SectionXTakesTheTraceAtX1) {
  // One channel whose trace t holds 10 t everywhere.
  std::vector<int32_t> channel(30 * kLong);
  for (int64_t t = 0; t < 30; ++t)
    for (int k = 0; k < kLong; ++k) channel[static_cast<size_t>(t * kLong + k)] = static_cast<int32_t>(10 * t);
  TCalcData d = Data(Box(100, 900, 20, 0, 100, 50, 0, 1000, 100), u'X');
  d.AddRecTraces(channel.data(), static_cast<int64_t>(channel.size()));
  ASSERT_TRUE(d.CreateCalcTraces(u'X', 1.0f));
  const TCalcTrace& r = d.CalcTraces;
  ASSERT_EQ(r.BufOut_Width, 2);
  ASSERT_EQ(r.BufOut_Height, 20);
  for (int iz = 0; iz < 10; ++iz) {
    EXPECT_EQ(r.CalcRaw[static_cast<size_t>(iz)], 50) << "trace 5 at Y 0, depth " << iz;
    // 50 mm aside: weight single(1.15 / 1.2), round(47.92).
    EXPECT_EQ(r.CalcRaw[static_cast<size_t>(r.BufOut_Height + iz)], 48);
  }
}

TEST(CalcDataTest, TheBytesSpanTheRangeAndNeverWrap) {
  // Two cells, 0 and 3: mid = round(1.5) = 2, range 1; the 0 would give -127.
  std::vector<int32_t> channel(30 * kLong, 0);
  for (int k = 0; k < kLong; ++k) channel[static_cast<size_t>(kLong + k)] = 3;
  TCalcData d = Data(Box(0, 40, 20, 0, 0, 1, 500, 600, 100), u'Y');
  d.AddRecTraces(channel.data(), static_cast<int64_t>(channel.size()));
  ASSERT_TRUE(d.CreateCalcTraces(u'Y', 1.0f));
  const TCalcTrace& r = d.CalcTraces;
  ASSERT_EQ(r.BufOut_Width, 2);
  ASSERT_EQ(r.BufOut_Height, 2);
  EXPECT_EQ(r.CalcRaw, (std::vector<int32_t>{0, 0, 3, 0}));
  // Row 1 no cell reaches: the middle.
  EXPECT_EQ(r.CalcDezoData, (std::vector<uint8_t>{0, 127, 254, 127}));
}

TEST(CalcDataTest, UncoveredAndEqualCellsGiveTheMiddleByte) {
  std::vector<int32_t> channel(30 * kLong, 9);
  // Traces beyond the channel's: no channel covers the cells.
  TCalcData d = Data(Box(5000, 5400, 20, 0, 100, 50, 0, 1000, 100), u'Z');
  d.AddRecTraces(channel.data(), static_cast<int64_t>(channel.size()));
  ASSERT_TRUE(d.CreateCalcTraces(u'Z', 1.0f));
  EXPECT_EQ(d.CalcTraces.BufOut_Width, 20);
  EXPECT_EQ(d.CalcTraces.BufOut_Height, 2);
  for (int32_t v : d.CalcTraces.CalcRaw) EXPECT_EQ(v, 0);
  for (uint8_t b : d.CalcTraces.CalcDezoData) EXPECT_EQ(b, 127);
}

TEST(CalcDataTest, ReadsStayInsideShortChannelsAndNegativeTraces) {
  // Trace 1 holds 150 of its 200 samples; a cell 9 m deep travels to sample 180.
  std::vector<int32_t> shortChannel(kLong + 150, 5);
  TCalcData d = Data(Box(-200, 400, 20, 0, 100, 50, 0, 10000, 500), u'Y');
  d.AddRecTraces(shortChannel.data(), static_cast<int64_t>(shortChannel.size()));
  d.AddRecTraces(nullptr, 0);
  d.Test();
  ASSERT_EQ(d.RecTraces[0].RecNumTraces, 2);
  int32_t amp = -1;
  EXPECT_TRUE(d.GetAMPatRAWfromCoord(0, 1, 1.0f, amp, 2000, 0, 20));
  EXPECT_EQ(amp, 5);
  const int64_t u = TravelSample(1, 0, 20, 0, 9000);
  ASSERT_TRUE(u >= 150 && u < kLong) << u;
  EXPECT_FALSE(d.GetAMPatRAWfromCoord(0, 1, 1.0f, amp, 9000, 0, 20));
  EXPECT_FALSE(d.GetAMPatRAWfromCoord(0, -1, 1.0f, amp, 2000, 0, 20));
  EXPECT_FALSE(d.GetAMPatRAWfromCoord(1, 0, 1.0f, amp, 2000, 0, 20)) << "a channel left out";
  EXPECT_FALSE(d.GetAMPatRAWfromCoord(2, 0, 1.0f, amp, 2000, 0, 20)) << "no such channel";
  // The whole box, cells at negative X included (the sanitizer build watches).
  EXPECT_TRUE(d.CreateCalcTraces(u'Y', 1.0f));
  EXPECT_EQ(d.CalcTraces.CalcRaw[0], 0) << "X -200 lies before the profile";
}

TEST(CalcDataTest, BoxesWithoutAnImageAreRefused) {
  struct TCase {
    TAreaCalc area;
    char16_t kind;
  };
  for (const TCase& k : {TCase{Box(0, 200, 0, 0, 100, 50, 0, 1000, 100), u'Y'},
                         TCase{Box(200, 0, 20, 0, 100, 50, 0, 1000, 100), u'Y'},
                         TCase{Box(0, 200, 20, 0, 100, 50, 1000, 0, 100), u'X'},
                         TCase{Box(0, 200, 20, 0, 100, -5, 0, 1000, 100), u'X'},
                         TCase{Box(0, 200, 20, 0, 100, 50, 0, 1000, 100), u'Q'}}) {
    TAreaCalc a = k.area;
    EXPECT_FALSE(SetCellCounts(a, k.kind));
    EXPECT_EQ(a, k.area);
  }
  std::vector<int32_t> channel(30 * kLong, 1);
  const auto refused = [&](auto change) {
    TCalcData d = Data(Box(0, 200, 20, 0, 100, 50, 0, 1000, 100), u'Y');
    d.AddRecTraces(channel.data(), static_cast<int64_t>(channel.size()));
    change(d);
    return !d.CreateCalcTraces(u'Y', 1.0f) && d.CalcTraces.CalcDezoData.empty();
  };
  EXPECT_TRUE(refused([](TCalcData& d) { d.SpanWidth = 0; }));
  EXPECT_TRUE(refused([](TCalcData& d) { d.MeasureStep = 0; }));
  EXPECT_TRUE(refused([](TCalcData& d) { d.LongTrace = 0; }));
  EXPECT_TRUE(refused([](TCalcData& d) { d.MemoryCap = 1000; }));
  EXPECT_FALSE(refused([](TCalcData&) {}));
}

TEST(CalcDataTest, AnyThreadCountGivesTheSameImage) {
  std::vector<int32_t> channel(30 * kLong);
  for (size_t i = 0; i < channel.size(); ++i) channel[i] = TestSample(static_cast<int64_t>(i) / kLong, i % kLong);
  std::vector<std::vector<uint8_t>> images;
  for (int threads : {1, 3, 8}) {
    PoolThreadsScope pool(threads);
    TCalcData d = Data(Box(0, 600, 20, 0, 1200, 100, 0, 3000, 50), u'Y');
    for (int c = 0; c < 3; ++c) d.AddRecTraces(channel.data(), static_cast<int64_t>(channel.size()));
    ASSERT_TRUE(d.CreateCalcTraces(u'Y', 1.0f));
    images.push_back(d.CalcTraces.CalcDezoData);
  }
  EXPECT_EQ(images[0], images[1]);
  EXPECT_EQ(images[0], images[2]);
}

class CalcTracesToolTest : public ::testing::Test {
protected:
  ShownChannelsHost host;
  HostScope scope{host};
  PoolThreadsScope threads{2};
  TCalcTracesTool tool;
  std::vector<std::unique_ptr<T2Dview>> views;
  std::vector<std::vector<int32_t>> inputs;

  void SetUp() override {
    tool.AreaCalc = Box(0, 400, 20, 0, 100, 100, 0, 1000, 100);
    for (int c = 0; c < 3; ++c) {
      inputs.push_back(TestTraces(30, kLong));
      inputs.back()[static_cast<size_t>(c)] = c;
      views.push_back(MakeWheelChannel(Geometry(), inputs.back()));
      tool.SetView_(c, views.back().get());
      host.views.push_back(views.back().get());
    }
  }
  void RunChannel(int c, bool first = false) { tool.execute(first, c); }
};

TEST_F(CalcTracesToolTest, OnlyTheLastShownChannelComputesAndEveryChannelPassesThrough) {
  RunChannel(0);
  RunChannel(1);
  EXPECT_TRUE(tool.BufOut.empty()) << "channels 0 and 1 compute nothing";
  RunChannel(2);
  EXPECT_EQ(tool.BufOut_Width, 20);
  EXPECT_EQ(tool.BufOut_Height, 20);
  EXPECT_EQ(tool.BufOut.size(), 400u);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(Samples(*views[static_cast<size_t>(c)]), inputs[static_cast<size_t>(c)]) << c;
    EXPECT_TRUE(tool.HasSavedInput(c)) << c;
  }
  // A restart of a passed-over channel puts its input back.
  std::fill(views[0]->dezoData.Data(), views[0]->dezoData.Data() + 30 * kLong, 77);
  RunChannel(0, true);
  EXPECT_EQ(Samples(*views[0]), inputs[0]);

  // Apply off: no new image.
  const std::vector<uint8_t> image = tool.BufOut;
  tool.VectorSect = u'X';
  TCalcTracesParam off{false};
  tool.SetParam(2, &off);
  RunChannel(2, true);
  EXPECT_EQ(tool.BufOut, image);
  EXPECT_EQ(Samples(*views[2]), inputs[2]);
}

TEST_F(CalcTracesToolTest, ABoxWithoutAnImageKeepsTheLastOne) {
  RunChannel(2);
  const std::vector<uint8_t> image = tool.BufOut;
  ASSERT_FALSE(image.empty());
  for (auto change : {+[](TAreaCalc& a) { a.StepX = 0; }, +[](TAreaCalc& a) { a.X2 = -100; }}) {
    const TAreaCalc kept = tool.AreaCalc;
    change(tool.AreaCalc);
    tool.Calculate();
    EXPECT_EQ(tool.BufOut, image);
    EXPECT_EQ(tool.BufOut_Width, 20);
    tool.AreaCalc = kept;
  }
  // A channel of another trace length is left out, not misread.
  auto other = MakeWheelChannel(Geometry(), TestTraces(30, kLong));
  other->Settings()->RestoreLongTrace(100);
  tool.SetView_(1, other.get());
  tool.Calculate();
  EXPECT_EQ(tool.BufOut.size(), 400u);
  // Without shown channels nothing is computed.
  host.shown = 0;
  tool.BufOut.clear();
  tool.Calculate();
  RunChannel(0);
  EXPECT_TRUE(tool.BufOut.empty());
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

TEST_F(CalcTracesToolTest, RecordAndDefaults) {
  TCalcTracesTool fresh;
  EXPECT_EQ(fresh.GetCaption(), "Calc Traces");
  EXPECT_EQ(fresh.GetToolName(), "CalcTraces");
  EXPECT_EQ(fresh.typeOfPlugin, simple);
  EXPECT_EQ(fresh.VectorSect, u'Y');
  EXPECT_EQ(fresh.KoefDist, 1.0f);
  // The rectifier's icons.
  TAbsTool rectifier;
  EXPECT_EQ(fresh.BmpIcon1->Image(), rectifier.BmpIcon1->Image());
  EXPECT_EQ(fresh.BmpIcon2->Image(), rectifier.BmpIcon2->Image());
  const TAreaCalc a = fresh.AreaCalc;
  EXPECT_EQ((std::vector<int32_t>{a.X1, a.X2, a.Y1, a.Y2, a.Z1, a.Z2, a.StepX, a.StepY, a.StepZ}),
            (std::vector<int32_t>{0, 11800, 0, 1200, 0, 5000, 20, 2, 10}));
  fresh.SetCaption("CT");
  TMemoryStream stream;
  fresh.SaveToStream(stream);
  QByteArray expected;
  const int32_t end = 4 + 1 + 10 + 1 + 1 + 4 + 1;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x0a" "CalcTraces\x21\x02", 13).append(Utf16("CT")).append("\x01", 1);
  EXPECT_EQ(stream.Bytes(), expected);

  QByteArray body("\x21\x01", 2);
  body.append(Utf16("Q")).append("\x00", 1);
  TMemoryStream uni(body);
  uni.SetPosition(0);
  fresh.ReadFromUniStream(uni, 4);
  EXPECT_EQ(fresh.GetCaption(), "Q");
  EXPECT_FALSE(fresh.Param[4].Apply);
  EXPECT_TRUE(fresh.Param[3].Apply);
  EXPECT_EQ(fresh.AreaCalc, a) << "the box is not in records";
}

TEST_F(CalcTracesToolTest, TheDialogEditsTheBoxAndShowsTheImage) {
  tool.SetCurrentNumberView(0);
  ASSERT_EQ(tool.SetPropertyes(false), 1);
  auto* form = dynamic_cast<TCalcTracesForm*>(tool.Form());
  ASSERT_NE(form, nullptr);
  Application->ProcessMessages();
  EXPECT_EQ(form->Caption(), "Calc Traces");
  EXPECT_EQ(form->ClientWidth(), 1087);
  EXPECT_EQ(form->ClientHeight(), 517);
  EXPECT_EQ(form->X2DigitEdit->ValueInt(), 400);
  EXPECT_EQ(form->cbVector->ItemIndex(), 1);
  EXPECT_FALSE(form->ThresholdTrackBar->Visible());
  EXPECT_EQ(form->ThresholdTrackBar->Position(), 100);
  EXPECT_FALSE(form->OnKeyDown);

  form->StepZDigitEdit->SetValueInt(50);
  form->StepZDigitEdit->OnChangeFinish(form->StepZDigitEdit);
  EXPECT_EQ(tool.AreaCalc.StepZ, 50);
  form->Calculate->Click();
  EXPECT_EQ(tool.BufOut_Width, 20);
  EXPECT_EQ(form->BufOutImage->Picture()->Width(), 20);
  EXPECT_EQ(form->BufOutImage->Picture()->Height(), 20);
  EXPECT_EQ(form->BufOutImage->Picture()->ScanLine(3)[5], tool.BufOut[5 * 20 + 3]);

  // The section kind box computes at once.
  form->cbVector->SetItemIndex(0);
  form->cbVector->OnChange(form->cbVector);
  EXPECT_EQ(tool.VectorSect, u'X');
  EXPECT_EQ(tool.BufOut_Width, 1) << "round(100 / 100) cells across";
  EXPECT_EQ(form->BufOutImage->Picture()->Width(), 1);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(Samples(*views[static_cast<size_t>(c)]), inputs[static_cast<size_t>(c)]);
  form->CloseDialog();
  Application->ProcessMessages();
}

}  // namespace calc_traces_tool_test
