// The object search on real channel stores filled by the test-signal generator:
// a generated hyperbola found at its apex, the bounds of the chain search, the
// extremum modes, the suppression of apices below an apex, the speed matrix with
// its local trial speeds and kept rectangles, the guards on bad input, any thread
// count, and the chain record.

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/imaging_library.h"
#include "tools/imaging/search_object_kernel.h"
#include "tools/imaging/search_object_tool.h"
#include "tools/list_of_tools.h"
#include "tools/tool_classes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <vector>

namespace search_object_tool_test {

using imaging_test_support::MakeWheelChannel;
using imaging_test_support::TWheelChannel;

// 160 traces x 200 samples, time zero at sample 10. One sample is 200 / 200 x 100
// / 2000 = 0.05 m deep; a trace step of 25 mm is half of it (X/Y = 0.5).
TWheelChannel Geometry(int64_t traces = 160) {
  TWheelChannel c;
  c.traces = traces;
  c.longTrace = 200;
  c.nullShift = 10;
  c.speed = 100;
  c.spanWidth = 200;
  c.overStep = 5;
  c.wheelStep = 25;
  return c;
}

// A background without flat runs: -1 and +1 by turns down every trace and along
// every sample row, a checkerboard. (The
// extremum walk reports a flat run in place of the peak that ends it, so on an
// exactly zero channel a lone peak is never marked.)
std::vector<int32_t> Texture(int64_t traces, int longTrace = 200) {
  std::vector<int32_t> v(static_cast<size_t>(traces * longTrace));
  const auto l = static_cast<size_t>(longTrace);
  for (size_t i = 0; i < v.size(); ++i) v[i] = (i % l + i / l) % 2 ? 1 : -1;
  return v;
}

// Hyperbola 1 of the generator (no spacing, no decrease, half width `size`) over
// uniform noise 0 .. noise - 1, over the channel.
void Generate(T2Dview& view, int32_t X, int32_t Y, int32_t amplitude, int32_t size = 50, int32_t noise = 0,
              int32_t X2 = 0, int32_t Y2 = 0) {
  TGenTestTool gen;
  gen.RandomSeed = 77;
  gen.DistanceRecept = 0;
  gen.SizeParabol1 = size;
  gen.SizeParabol2 = X2 > 0 ? size : 0;
  gen.SetView_(0, &view);
  const TGenTestParam set{true, 100, noise, X, Y, X2, Y2, amplitude, amplitude, 0, 0};
  gen.SetParam(0, &set);
  gen.execute(false, 0);
}

int32_t At(const std::vector<int32_t>& v, int64_t trace, int sample, int longTrace = 200) {
  return v[static_cast<size_t>(trace * longTrace + sample)];
}

class SearchObjectToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{2};
  TSearchObjectTool tool;

  // One run on channel 0 with the channel's own X/Y.
  std::vector<int32_t> Run(T2Dview& view, int32_t mode, long double xy = -1) {
    tool.SetView_(0, &view);
    TSearchObjectParam set{true, xy >= 0 ? xy : view.GetProportionalCoefic(), 25, 40, 0};
    tool.SetParam(0, &set);
    tool.typeMaxAmp = mode;
    tool.execute(false, 0);
    return Samples(view);
  }
  int Count(int8_t mark) const { return static_cast<int>(std::count(tool.Marks().begin(), tool.Marks().end(), mark)); }
};

TEST_F(SearchObjectToolTest, AGeneratedHyperbolaIsFoundAtItsApex) {
  auto view = MakeWheelChannel(Geometry(), Texture(160));
  Generate(*view, 80, 80, 1000);
  ASSERT_LT(view->GetProportionalCoefic(), 1.0L);
  const std::vector<int32_t> out = Run(*view, emCurrentTrace);
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) EXPECT_EQ(At(out, 80 + dx, 80 + dy), 1000) << dx << "," << dy;
  EXPECT_EQ(tool.Marks()[80 * 200 + 80], 2);
  EXPECT_EQ(tool.MaxAmp, 1000);

  // The dialog's chain from the apex is the detection, on the marks of channel 0
  // only.
  TChainPoints points;
  const TChainResult chain = tool.GetSelectPolyLine(false, 80, 80, points);
  EXPECT_TRUE(chain.Detected);
  EXPECT_EQ(chain.Top, 80);
  EXPECT_GT(chain.Count, 90);
  tool.CurrentNumberView = 1;
  EXPECT_FALSE(tool.GetSelectPolyLine(false, 80, 80, points).Detected) << "marks of another channel";
}

TEST_F(SearchObjectToolTest, WithoutTraceStepOnlyDotsAreDrawn) {
  auto view = MakeWheelChannel(Geometry(), Texture(160));
  Generate(*view, 80, 80, 1000);
  Run(*view, emCurrentTrace, 0);
  EXPECT_EQ(Count(2), 0);
  EXPECT_GT(Count(1), 100);
}

TEST_F(SearchObjectToolTest, ModesMarkTheirExtrema) {
  // Two crossing lines of maxima: the cell (30, 50) is a maximum along its trace
  // and along its row; the row line is a maximum only along its traces.
  auto view = MakeWheelChannel(Geometry(60), std::vector<int32_t>(60 * 200, 0));
  std::vector<int32_t> data = Texture(60);
  for (int t = 0; t < 60; ++t) data[static_cast<size_t>(t * 200 + 50)] = t == 30 ? 900 : 100 + (t % 2) * 50;
  SetSamples(*view, data);

  Run(*view, emAll);
  EXPECT_EQ(tool.Marks()[30 * 200 + 50], 1) << "an extremum both ways";
  EXPECT_EQ(tool.Marks()[29 * 200 + 50], 0) << "beside the peak: no row maximum";
  EXPECT_EQ(tool.Marks()[28 * 200 + 50], 0) << "a row low above 0 is no extremum";
  EXPECT_EQ(tool.Marks()[33 * 200 + 50], 1) << "odd traces are row maxima too";

  // Each run draws into the channel: the next starts from the data again.
  SetSamples(*view, data);
  Run(*view, emCurrentTrace);
  EXPECT_EQ(tool.Marks()[29 * 200 + 50], 1);

  for (int32_t mode = emWindow5x5; mode <= emWindow5x15; ++mode) {
    SetSamples(*view, data);
    Run(*view, mode);
    EXPECT_EQ(Count(-1), 0) << "window modes mark maxima only, mode " << mode;
    EXPECT_EQ(tool.Marks()[30 * 200 + 50], 1) << mode;
    EXPECT_EQ(tool.Marks()[29 * 200 + 50], 0) << "exceeded within two traces, mode " << mode;
  }
}

TEST_F(SearchObjectToolTest, ExtremaOfTracesPastFortyThousandAreMarked) {
  constexpr int64_t traces = 40010;
  std::vector<int32_t> data = Texture(traces, 8);
  data[static_cast<size_t>(40005 * 8 + 4)] = 100;
  data[static_cast<size_t>(40006 * 8 + 4)] = 50;
  std::vector<int8_t> marks(data.size());
  for (int32_t mode : {emCurrentTrace, emAll, emWindow5x5}) {
    BuildMarks(data.data(), traces, 8, 0, mode, 1, marks.data());
    EXPECT_EQ(marks[static_cast<size_t>(40005 * 8 + 4)], 1) << mode;
  }
}

TEST(SearchObjectKernel, TheSourceStatisticsStartFromTheFirstSample) {
  const std::vector<int32_t> high(50, 20000), low(50, -20000);
  EXPECT_EQ(SourceStatistics(high.data(), 50).MinS, 20000);
  EXPECT_EQ(SourceStatistics(low.data(), 50).MaxS, -20000);
  const std::vector<int32_t> mixed{3, -8, 2, 5};
  const TSourceStatistics s = SourceStatistics(mixed.data(), 4);
  EXPECT_EQ(s.MaxS, 5);
  EXPECT_EQ(s.MinS, -8);
  EXPECT_EQ(s.MaxAmp, 8);
  EXPECT_EQ(s.MiddleAmp, 4) << "18 / 4 = 4.5, half to even";
}

TEST(SearchObjectKernel, TheChainSearchNeedsTwentyOneTracesAndFortyOneSamplesBelowTimeZero) {
  struct TCase {
    int64_t traces;
    int32_t longTrace, nullShift;
    bool searched;
  };
  for (const TCase& c : {TCase{20, 100, 10, false}, TCase{21, 100, 10, true}, TCase{40, 50, 10, false},
                         TCase{40, 51, 10, true}}) {
    // Every cell is a positive mark on a positive sample: any start runs a chain
    // down its trace, which a low count threshold makes a detection.
    std::vector<int32_t> data(static_cast<size_t>(c.traces * c.longTrace), 100);
    for (size_t i = 0; i < data.size(); i += 3) data[i] = 300;
    std::vector<int8_t> poly(data.size(), 1), marks(data.size(), 1);
    TSearchGeometry g{c.traces, c.longTrace, c.nullShift, 0.05L, 0};
    TChainSettings s{0.5L, 5, 0, 1000, 1};
    SearchChains(data.data(), poly.data(), marks.data(), g, s);
    const bool any = std::count(marks.begin(), marks.end(), 2) > 0;
    EXPECT_EQ(any, c.searched) << c.traces << " x " << c.longTrace;
  }
}

TEST(SearchObjectKernel, ABadDepthStepOrAZeroMeanChainIsNoDetection) {
  std::vector<int32_t> zeros(40 * 100, 0);
  std::vector<int8_t> poly(zeros.size(), 1), marks(zeros.size(), 1);
  for (long double dz : {0.0L, -0.05L, std::numeric_limits<long double>::infinity(),
                         std::numeric_limits<long double>::quiet_NaN(), 0.05L}) {
    TSearchGeometry g{40, 100, 10, dz, 0};
    SearchChains(zeros.data(), poly.data(), marks.data(), g, TChainSettings{0.5L, 5, 0, 1000, -1});
    EXPECT_EQ(std::count(marks.begin(), marks.end(), 2), 0) << static_cast<double>(dz);
  }
  // The chain exists; its amplitudes are all 0.
  TSearchPlanes planes{zeros.data(), poly.data(), 40, 100};
  TSearchGeometry g{40, 100, 10, 0.05L, 0};
  TChainPoints points;
  const TChainResult r = SelectPolyLine(planes, RoundRow(PredictedRow(g, 0.5L, 5, 50)), TChainSettings{0.5L, 5, 0, 1000, -1},
                                        20, 50, points);
  EXPECT_GT(r.Count, 3);
  EXPECT_FALSE(r.HasStatistics);
  EXPECT_FALSE(r.Detected);
}

TEST(SearchObjectKernel, DeleteDownPointsClearsApicesBelowWithinFourteenTraces) {
  constexpr int64_t traces = 60;
  constexpr int32_t L = 700;
  std::vector<int8_t> marks(traces * L, 0);
  const auto at = [&](int64_t k, int32_t s) -> int8_t& { return marks[static_cast<size_t>(k * L + s)]; };
  at(30, 100) = 2;
  at(44, 600) = 2;  // 500 below, 14 aside: cleared
  at(16, 101) = 2;  // cleared
  at(50, 300) = 2;  // 15 aside of the nearest: stays
  at(30, 601) = 2;  // 501 below: stays
  at(35, 100) = 2;  // same sample: stays
  DeleteDownPoints(marks.data(), traces, L);
  EXPECT_EQ(at(30, 100), 2);
  EXPECT_EQ(at(44, 600), 1);
  EXPECT_EQ(at(16, 101), 1);
  EXPECT_EQ(at(50, 300), 2);
  EXPECT_EQ(at(30, 601), 2) << "501 below; (16, 101) was cleared before it could act";
  EXPECT_EQ(at(35, 100), 2);
}

TEST(SearchObjectKernel, DetectDugisCountsTheNonzeroValuesWithinTheHalfWidth) {
  TSearchObjectTool tool;
  tool.SizeHyperbola = 3;
  tool.CountPointAtCurve = 5;
  std::array<int32_t, 101> profile{};
  profile[0] = 9;  // outside +-3
  for (int i = -3; i <= 2; ++i) profile[static_cast<size_t>(50 + i)] = 4;
  EXPECT_TRUE(tool.DetectDugis(profile));
  profile[50] = 0;
  EXPECT_FALSE(tool.DetectDugis(profile));
}

class SearchObjectMatrixTest : public SearchObjectToolTest {
protected:
  void SetUp() override {
    view = MakeWheelChannel(Geometry(), Texture(160));
    view->Settings()->RestoreSpeedLight(140);
    Generate(*view, 80, 80, 1000);
    input = Samples(*view);
    view->Settings()->SetNeedForSave(false);
    tool.Matrix = true;
    tool.dWave = 10;
    tool.ShowWave = 140;
    tool.Xup = 80;
    tool.Yup = 80;
    tool.Rxy = 20;
  }
  std::unique_ptr<T2Dview> view;
  std::vector<int32_t> input;
};

TEST_F(SearchObjectMatrixTest, TrialSpeedsAreLocalAndTheirBlocksKeepTheirRectangles) {
  const std::vector<int32_t> out = Run(*view, emCurrentTrace);
  for (int v = 0; v < TSearchObjectTool::WaveSpeeds; ++v)
    EXPECT_EQ(tool.arWaveMatrix[static_cast<size_t>(v)] != nullptr, v >= 130 && v <= 150) << v;
  EXPECT_EQ(view->Settings()->GetSpeedLight(), 140);
  EXPECT_FALSE(view->Settings()->GetNeedForSave());
  EXPECT_EQ(tool.XYProportional, view->GetProportionalCoefic()) << "the X/Y of speed 140";
  EXPECT_EQ(tool.i1, 60);
  EXPECT_EQ(tool.j2, 100);
  EXPECT_GT(tool.maxCountPntAtDuga, 127);
  // Outside the rectangle the input stays; inside the scaled counts.
  EXPECT_EQ(At(out, 20, 80), At(input, 20, 80));
  const TWaveMatrixBlock& block = *tool.arWaveMatrix[140];
  const long double D = 1.1L * host.GetMaxDezoData(view.get());
  const int c = block.Cells[static_cast<size_t>((70 - 60) * block.YMatrix + (90 - 60))];
  EXPECT_EQ(At(out, 70, 90), RoundToInt32(D * (c - 127) / (tool.maxCountPntAtDuga - 127)));

  // A smaller rectangle at other speeds; the redraw of speed 150 finds its block
  // in its own, larger rectangle.
  tool.Rxy = 5;
  tool.dWave = 2;
  Run(*view, emCurrentTrace);
  EXPECT_EQ(tool.arWaveMatrix[138]->XMatrix, 11);
  EXPECT_EQ(tool.arWaveMatrix[150]->XMatrix, 41);
  tool.isOnlyPaintWave = true;
  tool.ShowWave = 150;
  SetSamples(*view, input);
  const std::vector<int32_t> redrawn = Run(*view, emCurrentTrace);
  tool.isOnlyPaintWave = false;
  const TWaveMatrixBlock& kept = *tool.arWaveMatrix[150];
  const long double D2 = 1.1L * host.GetMaxDezoData(view.get());
  int drawn = 0;
  for (int i = 0; i < kept.XMatrix; ++i)
    for (int j = 0; j < kept.YMatrix; ++j) {
      const int x = kept.I1 + i, y = kept.J1 + j;
      const int cell = kept.Cells[static_cast<size_t>(i * kept.YMatrix + j)];
      ASSERT_EQ(At(redrawn, x, y), RoundToInt32(D2 * (cell - 127) / (tool.maxCountPntAtDuga - 127))) << x << "," << y;
      drawn += (x < 75 || x > 85) && cell != 127;
    }
  EXPECT_GT(drawn, 0) << "drawn where the block was made, past the new rectangle";
}

TEST_F(SearchObjectMatrixTest, WithoutABlockOrPastTheCapOrInAnEmptyRectangle) {
  // No block for ShowWave: no matrix and no marks.
  tool.isOnlyPaintWave = true;
  EXPECT_EQ(Run(*view, emCurrentTrace), input);
  tool.isOnlyPaintWave = false;

  // Past the memory cap: no block, the marks drawn.
  tool.MatrixMemoryCap = 1000;
  const std::vector<int32_t> capped = Run(*view, emCurrentTrace);
  EXPECT_EQ(tool.arWaveMatrix[140], nullptr);
  EXPECT_EQ(At(capped, 80, 80), 1000);
  EXPECT_EQ(At(capped, 81, 81), 1000) << "the apex square";

  // A rectangle wholly above time zero builds none.
  tool.MatrixMemoryCap = TSearchObjectTool::DefaultMatrixMemoryCap;
  SetSamples(*view, input);
  tool.Yup = -100;
  EXPECT_EQ(Run(*view, emCurrentTrace), input);
  EXPECT_EQ(tool.arWaveMatrix[140], nullptr);

  // Counts with no positive sum: the divisor is 0 and the cells become 0.
  TWaveMatrixBlock block{1, 1, 2, 2, {127, 100, 90, 127}};
  std::vector<int32_t> out(4 * 4, 5);
  DrawWaveMatrix(block, 1000, 127, 4, 4, out.data());
  EXPECT_EQ(out[1 * 4 + 1], 0);
  EXPECT_EQ(out[2 * 4 + 2], 0);
  EXPECT_EQ(out[0], 5);
}

TEST_F(SearchObjectToolTest, EveryThreadCountGivesTheSameChannel) {
  auto view = MakeWheelChannel(Geometry(), {});
  Generate(*view, 60, 70, 3000, 40, 200, 110, 90);
  const std::vector<int32_t> input = Samples(*view);
  tool.Matrix = false;
  tool.DeleteDownPoints = true;
  std::vector<std::vector<int32_t>> outs;
  std::vector<std::vector<int8_t>> marks;
  for (int threadsNow : {1, 2, 8}) {
    PoolThreadsScope count(threadsNow);
    SetSamples(*view, input);
    outs.push_back(Run(*view, emAll));
    marks.push_back(tool.Marks());
  }
  EXPECT_GT(std::count(marks[0].begin(), marks[0].end(), 1), 50);
  EXPECT_EQ(outs[0], outs[1]);
  EXPECT_EQ(outs[0], outs[2]);
  EXPECT_EQ(marks[0], marks[2]);
}

TEST_F(SearchObjectToolTest, AChannelWithoutTracesAndApplyOffPassThrough) {
  auto empty = MakeWheelChannel(Geometry(0), {});
  Run(*empty, emAll);
  EXPECT_TRUE(Samples(*empty).empty());

  auto view = MakeWheelChannel(Geometry(), Texture(160));
  Generate(*view, 80, 80, 1000);
  const std::vector<int32_t> input = Samples(*view);
  tool.SetView_(0, view.get());
  TSearchObjectParam off{false, 0.5L, 25, 40, 0};
  tool.SetParam(0, &off);
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), input);
}

TEST_F(SearchObjectToolTest, TwoInstancesKeepTheirOwnMarks) {
  auto a = MakeWheelChannel(Geometry(), Texture(160));
  Generate(*a, 80, 80, 1000);
  auto b = MakeWheelChannel(Geometry(100), Texture(100));
  Run(*a, emCurrentTrace);
  TSearchObjectTool other;
  other.SetView_(0, b.get());
  other.execute(false, 0);
  TChainPoints points;
  EXPECT_TRUE(tool.GetSelectPolyLine(false, 80, 80, points).Detected);
  EXPECT_FALSE(other.GetSelectPolyLine(false, 80, 80, points).Detected);
}

TEST_F(SearchObjectToolTest, CreationValuesAndToolInit) {
  EXPECT_EQ(tool.AToolName, "SearchObject");
  EXPECT_EQ(tool.GetCaption(), "SearchObject");
  EXPECT_EQ(tool.SizeHyperbola, 50);
  EXPECT_EQ(tool.CountPointAtCurve, 40);
  EXPECT_EQ(tool.Xup, 228);
  EXPECT_EQ(tool.Yup, 153);
  EXPECT_EQ(tool.ShowWave, 140);
  for (const TSearchObjectParam& p : tool.Param) EXPECT_TRUE(p.Apply);
  auto view = MakeWheelChannel(Geometry(), {});
  tool.SetView_(0, view.get());
  tool.SizeHyperbola = 7;
  tool.ToolInit();
  EXPECT_EQ(tool.SizeHyperbola, 50);
  EXPECT_EQ(tool.Param[0].XYProportional, view->GetProportionalCoefic());
  EXPECT_EQ(tool.Param[1].XYProportional, 5.0L);
}

QByteArray Utf16Text(const char* text) {
  const QString s = QString::fromLatin1(text);
  return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

TEST_F(SearchObjectToolTest, RecordRoundTripAndShortRecords) {
  tool.XYProportional = 2.5L;
  tool.MinAmpSect = 31;
  tool.CountPointAtCurve = 12;
  tool.DistanceRecept = 0.75L;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  const QByteArray body = stream.Bytes().mid(static_cast<qsizetype>(stream.Position()));
  ASSERT_EQ(body.size(), 1 + 1 + 24 + 1 + 10 + 4 + 4 + 10);
  EXPECT_EQ(static_cast<uint8_t>(body[0]), 33);

  TSearchObjectTool read;
  TMemoryStream in(body);
  in.SetPosition(0);
  read.ReadFromUniStream(in, 2);
  EXPECT_EQ(read.Param[2].XYProportional, 2.5L);
  EXPECT_EQ(read.Param[2].MinAmpSect, 31);
  EXPECT_EQ(read.Param[2].CountPointAtCurve, 12);
  EXPECT_EQ(read.Param[2].DistanceRecept, 0.75L);

  // A record that ends after X/Y keeps the rest.
  TSearchObjectTool shorter;
  shorter.MinAmpSect = 9;
  shorter.CountPointAtCurve = 8;
  const QByteArray cut = body.left(1 + 1 + 24 + 1 + 10);
  TMemoryStream part(cut);
  part.SetPosition(0);
  shorter.ReadFromUniStream(part, 0);
  EXPECT_EQ(shorter.Param[0].XYProportional, 2.5L);
  EXPECT_EQ(shorter.Param[0].MinAmpSect, 9);
  EXPECT_EQ(shorter.Param[0].CountPointAtCurve, 8);

  // Older records: an 8-bit caption, Apply and the four fields.
  QByteArray old("\x02" "SO\x00", 4);
  TMemoryStream fields;
  WriteExtended(fields, 3.0L);
  fields.WriteValue<int32_t>(4);
  fields.WriteValue<int32_t>(5);
  WriteExtended(fields, 0.5L);
  old.append(fields.Bytes());
  TMemoryStream older(old);
  older.SetPosition(0);
  read.ReadFromStream(older, 1);
  EXPECT_EQ(read.GetCaption(), "SO");
  EXPECT_FALSE(read.Param[1].Apply);
  EXPECT_EQ(read.Param[1].CountPointAtCurve, 5);
  EXPECT_EQ(read.Param[1].DistanceRecept, 0.5L);
}

TEST(SearchObjectRegistry, KnownByNameOnly) {
  ImagingLibraryStartup();
  TListOfTools tools(nullptr);
  tools.Initialise(QString(), true, 1033);
  EXPECT_EQ(tools.GetTool(QStringLiteral("SearchObject"), {}), nullptr);
  EXPECT_EQ(tools.Count(), 15);
  EXPECT_NE(dynamic_cast<TSearchObjectTool*>(FindToolClass(QStringLiteral("SearchObject"))(1033).get()), nullptr);
}

}  // namespace search_object_tool_test
