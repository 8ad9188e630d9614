// The gain tool: its gain by curve column and row, the box that follows the zoom
// (capped at the curve tables and scaled into them), the fast product against
// the extended formula, its sets' own curves, its records, the copy into a
// channel's online gain stage and the "Auto" curve.

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "radar/online_parameters.h"
#include "radar/online_stages.h"
#include "tests/profiledata/fake_hooks.h"
#include "tests/tools/tool_test_support.h"
#include "tools/gain_kernel.h"
#include "tools/tvgc_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace tvgc_tool_test {

std::vector<TPoint> Points(const TListOfDots& dots) {
  std::vector<TPoint> p;
  for (int i = 0; i < dots.GetCount(); ++i) p.push_back(dots.GetVal(i));
  return p;
}

class TVGCTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{2};
  TTVGC tool;
  std::unique_ptr<T2Dview> view = MakeChannel(3, 100);

  void SetUp() override {
    tool.SetView_(0, view.get());
    host.views.push_back(view.get());
  }
  // Channel 0's curve: the given points in a box of the channel's height.
  void SetCurve(const std::vector<TPoint>& points, bool apply = true) {
    TListOfDots dots;
    dots.SetWidth(280);
    dots.SetHeight(tool.BoxHeight(0));
    for (size_t i = 0; i < points.size(); ++i) dots.SetVal(static_cast<int>(i), points[i]);
    TTVGCParam p{apply, TGainCurveHolder(dots)};
    tool.SetParam(0, &p);
  }
};

TEST_F(TVGCTest, NewToolPassesTheInputAndBoxFollowsTheView) {
  EXPECT_EQ(tool.GetCaption(), "Gain");
  EXPECT_EQ(tool.AToolName, "TVGC");
  EXPECT_EQ(tool.AToolDscr, "1D Filter. Adjustment of the gain in graphic mode");
  EXPECT_EQ(Points(tool.ListofBaseDots), (std::vector<TPoint>{{140, 0}, {140, 100}}));
  EXPECT_EQ(tool.ListofBaseDots.field(), (TRect{8, 65, 288, 165}));
  for (const TTVGCParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_FALSE(p.Curve) << "no curve until one is stored";
  }
  const std::vector<int32_t> input = TestTraces(3, 100);
  SetSamples(*view, input);
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), input) << "a set never stored is the 0 dB line";

  TTVGC loose;
  EXPECT_EQ(loose.BoxHeight(0), TTVGC::NoViewHeight);
}

// x = 150 doubles, x = 130 halves (rounded half to even, saturated); row 0 of a
// zoom-500 box is sample 0, row 2j sample j.
TEST_F(TVGCTest, ColumnGivesTheGainAndZoomTheRow) {
  struct Case {
    int x;
    int32_t in, out;
  };
  const Case cases[] = {{150, 7, 14}, {150, -3, -6}, {150, INT32_MAX, INT32_MAX}, {150, INT32_MIN, INT32_MIN},
                        {130, 7, 4},  {130, 5, 2},   {130, -5, -2},            {140, 123456, 123456}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    SetCurve({{c.x, 0}, {c.x, 100}});
    SetSamples(*view, std::vector<int32_t>(300, c.in));
    tool.execute(false, 0);
    EXPECT_EQ(Samples(*view), std::vector<int32_t>(300, c.out));
  }

  host.zoom = 500;
  EXPECT_EQ(tool.BoxHeight(0), 200);
  for (int j : {0, 1, 37, 99}) EXPECT_EQ(GainRowOfSample(j, 500, 200, 200), 2 * j);
  // A ramp of gain over the box: sample j reads row 2j.
  SetCurve({{140, 0}, {150, 100}, {160, 200}});
  tool.GetParam(0);
  EXPECT_EQ(tool.ListofBaseDots.GetHeight(), 200);
  const std::vector<int32_t> input = TestTraces(3, 100);
  SetSamples(*view, input);
  tool.execute(false, 0);
  const std::vector<int32_t> out = Samples(*view);
  for (int t = 0; t < 3; ++t)
    for (int j = 0; j < 100; ++j)
      ASSERT_EQ(out[t * 100 + j], RoundToInt32(input[t * 100 + j] * tool.ListofBaseDots.Rval(2 * j))) << j;
}

// 2000 samples at zoom 100: a box of 20000 rows, beyond the tables' 10000. The
// rows are scaled into the capped box, so that every sample reads a row the
// curve reached; at zoom 2000 the last sample's row would be the box's last.
TEST_F(TVGCTest, BoxesTallerThanTheTablesAndLastRows) {
  auto deep = MakeChannel(2, 2000);
  tool.SetView_(1, deep.get());
  host.views.push_back(deep.get());
  host.zoom = 100;
  EXPECT_EQ(tool.FullBoxHeight(1), 20000);
  EXPECT_EQ(tool.BoxHeight(1), TListOfDots::MaxRows);
  TListOfDots flat;
  flat.SetWidth(280);
  flat.SetHeight(20000);
  flat.SetPoint(0, 150, 0);
  flat.SetPoint(1, 150, flat.GetHeight());
  TTVGCParam p{true, TGainCurveHolder(flat)};
  tool.SetParam(1, &p);
  SetSamples(*deep, std::vector<int32_t>(4000, 1000));
  tool.execute(false, 1);
  EXPECT_EQ(Samples(*deep), std::vector<int32_t>(4000, 2000)) << "every sample doubled, the last included";

  host.zoom = 2000;  // row of sample 99 = round(49.5) = 50 = the box's height
  EXPECT_EQ(GainRowOfSample(99, 2000, 50, 50), 49);
  SetCurve({{150, 0}, {150, 50}});
  SetSamples(*view, std::vector<int32_t>(300, 3));
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), std::vector<int32_t>(300, 6));
}

// The double product with its extended fall-back against the extended formula on
// random samples and every column of the box, plus samples on rounding halves.
TEST(GainKernel, FastProductIsTheExtendedFormulaBitForBit) {
  std::mt19937 random(77);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  std::uniform_int_distribution<int32_t> small(-5000, 5000);
  constexpr int n = 280 * 64;
  std::vector<long double> g(n);
  std::vector<double> gd(n);
  std::vector<int32_t> in(n);
  for (int j = 0; j < n; ++j) {
    g[j] = std::exp2(((j % 280) - 140) / 10.0L);
    gd[j] = static_cast<double>(g[j]);
    in[j] = j % 3 == 0 ? any(random) : small(random);
  }
  // Exact halves: x odd with gain 0.5 or 1.5 x 2^-k.
  for (int j = 0; j < 200; ++j) {
    g[j] = 0.5L;
    gd[j] = 0.5;
    in[j] = 2 * j + 1;
  }
  // Both vector forms where this processor has them (the program picks one).
  using TKernel = void (*)(const int32_t*, int32_t*, int, const long double*, const double*);
  std::vector<TKernel> kernels{ApplyGainToTrace, ApplyGainToTraceSse2};
  if (GainKernelHasAvx2()) kernels.push_back(ApplyGainToTraceAvx2);
  for (int round = 0; round < 20; ++round) {
    std::vector<int32_t> reference(n);
    ApplyGainToTraceExtended(in.data(), reference.data(), n, g.data());
    for (size_t k = 0; k < kernels.size(); ++k) {
      std::vector<int32_t> fast(n);
      kernels[k](in.data(), fast.data(), n, g.data(), gd.data());
      ASSERT_EQ(fast, reference) << round << " kernel " << k;
      // In place as the tool may run it.
      std::vector<int32_t> same = in;
      kernels[k](same.data(), same.data(), n, g.data(), gd.data());
      ASSERT_EQ(same, reference) << round << " kernel " << k;
    }
    for (int32_t& x : in) x = round % 2 ? any(random) : small(random);
  }
  EXPECT_EQ(GainSampleExtended(3, 0.5L), 2);
  EXPECT_EQ(GainSampleExtended(5, 0.5L), 2);
}

TEST_F(TVGCTest, SetsOwnTheirCurves) {
  SetCurve({{150, 0}, {120, 50}, {150, 100}});
  tool.GetParam(0);
  tool.ListofBaseDots.SetPoint(1, 200, 50);  // the working curve only
  EXPECT_EQ((*tool.Param[0].Curve).GetVal(1), (TPoint{120, 50}));
  tool.SaveParamPlugin(0);
  tool.SetAllParamAs(0);
  tool.Param[0].Apply = false;
  tool.SetAllApply(true);
  tool.Param[3].Apply = false;
  tool.SetAllParamAs(0);
  EXPECT_FALSE(tool.Param[3].Apply) << "curves only";
  EXPECT_EQ(Points(*tool.Param[4].Curve), (std::vector<TPoint>{{150, 0}, {200, 50}, {150, 100}}));
  EXPECT_NE(tool.Param[4].Curve.get(), tool.Param[0].Curve.get());
  tool.SaveUndoSets();
  tool.ListofBaseDots.SetPoint(1, 100, 50);
  tool.SaveParamPlugin(2);
  tool.RestoreUndoSets();
  EXPECT_EQ((*tool.Param[2].Curve).GetVal(1), (TPoint{200, 50})) << "the undo copy is a copy";

  // The online stage's record: its flag and a copy of its curve.
  TParametrsGain online;
  online.pApplay = false;
  online.pListOfBaseDots.SetWidth(280);
  online.pListOfBaseDots.SetHeight(450);
  online.pListOfBaseDots.SetPoint(0, 140, 0);
  online.pListOfBaseDots.SetPoint(1, 207, 450);
  tool.SetParam(1, online);
  online.pListOfBaseDots.SetPoint(1, 100, 450);
  EXPECT_FALSE(tool.Param[1].Apply);
  EXPECT_EQ((*tool.Param[1].Curve).GetVal(1), (TPoint{207, 450}));
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

TEST_F(TVGCTest, RecordsRoundTripAndFitTheBox) {
  SetCurve({{140, 0}, {150, 20}, {170, 50}, {160, 70}, {200, 100}});
  tool.GetParam(0);
  TMemoryStream stream;
  tool.SaveToStream(stream);
  EXPECT_EQ(Points(tool.MainListDots), Points(tool.ListofBaseDots));
  stream.SetPosition(4);
  ASSERT_EQ(TCommonTool::ReadShortString(stream), "TVGC");
  const int64_t body = stream.Position();
  QByteArray expected("\x20\x04", 2);
  expected.append(Utf16("Gain")).append("\x01", 1);
  const int32_t record[] = {5, 140, 0, 150, 20, 170, 50, 160, 70, 200, 100};
  expected.append(reinterpret_cast<const char*>(record), sizeof(record));
  EXPECT_EQ(stream.Bytes().mid(body), expected);

  // Read into a box twice as high: the last point lands on its bottom row.
  auto other = MakeChannel(1, 200);
  TTVGC reader;
  reader.SetView_(0, other.get());
  stream.SetPosition(body);
  reader.ReadFromUniStream(stream, 2);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(Points(*reader.Param[2].Curve), (std::vector<TPoint>{{140, 0}, {150, 40}, {170, 100}, {160, 140}, {200, 200}}));
  TTVGC same;
  same.SetView_(0, view.get());
  stream.SetPosition(body);
  same.ReadFromUniStream(stream, 0);
  EXPECT_EQ(Points(*same.Param[0].Curve), Points(tool.ListofBaseDots));

  // Below format 32 nothing is read or stored.
  TMemoryStream old(QByteArray("\x1f\x05", 2));
  same.ReadFromUniStream(old, 4);
  EXPECT_FALSE(same.Param[4].Curve);
  EXPECT_EQ(old.Position(), 1);

  // The older record: 8-bit caption, Apply, the points without a reset.
  QByteArray older("\x02" "G2\x00", 4);
  const int32_t oldPoints[] = {2, 130, 0, 130, 100};
  older.append(reinterpret_cast<const char*>(oldPoints), sizeof(oldPoints));
  TMemoryStream olderStream(older);
  TTVGC fresh;
  fresh.SetView_(0, view.get());
  fresh.ReadFromStream(olderStream, 1);
  EXPECT_EQ(fresh.GetCaption(), "G2");
  EXPECT_FALSE(fresh.Param[1].Apply);
  EXPECT_EQ(Points(*fresh.Param[1].Curve), (std::vector<TPoint>{{130, 0}, {130, 100}}));
}

// Damaged counts and positions: no more points than a curve holds, nothing read
// past the record, positions clamped into the box, always a whole curve.
TEST_F(TVGCTest, DamagedRecordsGiveACurveInsideTheBox) {
  struct Case {
    const char* name;
    std::vector<int32_t> fields;
    std::vector<TPoint> expected;
  };
  const Case cases[] = {
      {"negative count", {-5, 1, 2}, {{140, 0}, {140, 100}}},
      {"count beyond the record", {1000, 150, 0, 150, 100}, {{150, 0}, {150, 100}}},
      // Rows fitted to the box: 50 of 10000 is row 0 of 100, taken already.
      {"outside the box", {3, -50, -20, 900, 50, 140, 2000000000}, {{0, 0}, {140, 100}}},
      {"inside", {3, 0, 0, 900, 5000, 140, 10000}, {{0, 0}, {280, 50}, {140, 100}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QByteArray body("\x20\x01", 2);
    body.append(Utf16("G")).append("\x01", 1);
    body.append(reinterpret_cast<const char*>(c.fields.data()), static_cast<qsizetype>(c.fields.size() * 4));
    TMemoryStream file;
    file.WriteBuffer(body.constData(), body.size());
    file.SetPosition(0);
    TToolRecordStream record(file, body.size());
    tool.ReadFromUniStream(record, 3);
    EXPECT_LE(file.Position(), body.size());
    EXPECT_EQ(Points(*tool.Param[3].Curve), c.expected);
  }
  // More points than a curve holds: the first MaxDots are read.
  std::vector<int32_t> many{100};
  for (int i = 0; i < 100; ++i) many.insert(many.end(), {140, i});
  QByteArray body("\x20\x01", 2);
  body.append(Utf16("G")).append("\x01", 1);
  body.append(reinterpret_cast<const char*>(many.data()), static_cast<qsizetype>(many.size() * 4));
  TMemoryStream s(body);
  tool.ReadFromUniStream(s, 3);
  EXPECT_EQ(tool.Param[3].Curve.get()->GetCount(), TListOfDots::MaxDots);
}

// A real channel with its online stages: after SetParamView the stage and the tool
// at zoom 1000 give the same traces.
TEST_F(TVGCTest, OnlineStageTakesTheChannelsSet) {
  FakeShell shell;
  ShellScope shellScope(&shell);
  RegisterOnlineStages();
  auto real = MakeChannel(4, 100);
  ASSERT_NE(real->OnlineStages(), nullptr);
  tool.SetView_(2, real.get());
  SetCurve({{140, 0}, {175, 30}, {120, 60}, {210, 100}}, false);
  tool.SetAllParamAs(0);
  tool.SetAllApply(true);
  tool.SetParamView(real.get());
  auto& stages = dynamic_cast<TOnlineStageSet&>(*real->OnlineStages());
  EXPECT_TRUE(stages.TVGC.Applay);
  EXPECT_EQ(stages.TVGC.ListofBaseDots.GetHeight(), 100);

  const std::vector<int32_t> input = TestTraces(4, 100);
  std::vector<int32_t> online = input;
  for (int t = 0; t < 4; ++t) stages.TVGC.ExecuteLastTrace(online.data() + t * 100, 100);
  SetSamples(*real, input);
  tool.execute(false, 2);
  EXPECT_EQ(Samples(*real), online);
  EXPECT_NE(online, input);

  auto stranger = MakeChannel(1, 100);
  tool.SetParamView(stranger.get());  // not one of the tool's channels: nothing
  tool.SetParamView(nullptr);
  real.reset();
  UnregisterOnlineStages();
}

// "Auto": a mean envelope decaying 64-fold below its peak gets gain above 0 dB at
// every point below the peak; channels of 2 traces or fewer keep their sets; no
// traces on channel 0, nothing at all.
TEST_F(TVGCTest, AutoLevelsTheMeanEnvelope) {
  auto decaying = MakeChannel(6, 256);
  auto two = MakeChannel(2, 256);
  tool.SetView_(1, decaying.get());
  tool.SetView_(2, two.get());
  std::vector<int32_t> samples;
  for (int t = 0; t < 6; ++t)
    for (int k = 0; k < 256; ++k) {
      const double envelope = k < 40 ? 100000.0 * k / 40 : 100000.0 * std::exp2(-6.0 * (k - 40) / 215);
      samples.push_back(static_cast<int32_t>(std::lround(envelope * std::cos(k * 0.9 + t))));
    }
  SetSamples(*decaying, samples);
  SetSamples(*two, std::vector<int32_t>(512, 100));
  tool.InitAllLocDate();
  SetCurve({{150, 0}, {150, 100}});
  tool.SaveParamPlugin(2);
  const std::vector<TPoint> before = Points(*tool.Param[2].Curve);

  EXPECT_TRUE(tool.AutoCurves());
  EXPECT_TRUE(tool.isAutoCreateGain);
  EXPECT_EQ(Points(*tool.Param[2].Curve), before) << "2 traces: kept";
  const TListOfDots& curve = *tool.Param[1].Curve;
  ASSERT_GE(curve.GetCount(), 5);
  const int peakRow = curve.GetVal(1).Y;
  EXPECT_NEAR(peakRow, 40 * curve.GetHeight() / 256, 4);
  for (int i = 2; i < curve.GetCount(); ++i) EXPECT_GT(curve.GetVal(i).X, 140) << i;

  TTVGC empty;
  auto none = MakeChannel(0, 256);
  empty.SetView_(0, none.get());
  EXPECT_FALSE(empty.AutoCurves());
  EXPECT_FALSE(empty.isAutoCreateGain);
}

}  // namespace tvgc_tool_test
