// The grid-view tool on real channel stores: the data pass through, the image is
// the engine's model on the grid for any worker count, the log, the stops, steps
// without a grid, the memory cap, the arrival plot, the scan and the record.

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tests/tools/imaging/reconstruction_test_support.h"
#include "tools/imaging/grid_view_tool.h"
#include "tools/tool_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

namespace grid_view_tool_test {

using imaging_test_support::MakeWheelChannel;

using reconstruction_test_support::Channel;
using reconstruction_test_support::ExpectedGridImage;
using reconstruction_test_support::Hyperbola;
using reconstruction_test_support::Pixels;
using reconstruction_test_support::ReadShortenedRecord;

class GridViewToolTest : public reconstruction_test_support::HostFixture {};

void Configure(TGridViewTool& tool, int32_t iterations, long double iXStep, long double iYStep) {
  tool.SizeHyperbola = iterations;
  tool.iXStep = iXStep;
  tool.iYStep = iYStep;
  tool.SaveParamPlugin(0);
}

TEST_F(GridViewToolTest, DataPassAndTheImageIsTheModelForAnyWorkerCount) {
  // 40 traces x 200 samples, dz 0.01 m; X step 0.1: a 20 x 200 grid.
  const std::vector<int32_t> input = Hyperbola(40, 200, 20, 30);
  std::vector<uint8_t> first;
  std::vector<QString> firstLog;
  for (int workers : {1, 2, 8}) {
    SCOPED_TRACE(workers);
    PoolThreadsScope pool(workers);
    auto view = MakeWheelChannel(Channel(40, 200), input);
    TGridViewTool tool;
    tool.SetView_(0, view.get());
    Configure(tool, 3, 0.1L, 0.01L);
    std::vector<QString> log;
    tool.OnLog = [&](const QString& line) { log.push_back(line); };
    tool.execute(false, 0);
    EXPECT_EQ(Samples(*view), input);
    ASSERT_TRUE(tool.BmpGrid);
    EXPECT_EQ(tool.BmpGrid->PixelFormat(), pf8bit);
    EXPECT_EQ(tool.BmpGrid->Width(), 20);
    EXPECT_EQ(tool.BmpGrid->Height(), 200);
    const std::vector<uint8_t> image = Pixels(*tool.BmpGrid);
    if (workers == 1) {
      EXPECT_EQ(image, ExpectedGridImage(tool, *view, input, 40, 200, 3));
      EXPECT_NE(image, std::vector<uint8_t>(image.size(), 128));
      ASSERT_EQ(log.size(), 7u);
      EXPECT_EQ(log[0], "Prepeare calculation");
      EXPECT_EQ(log[1], "X=20,Y=200");
      EXPECT_EQ(log[2], "Begin calculation");
      EXPECT_TRUE(log[3].startsWith("0 dA="));
      EXPECT_EQ(log[6], "End calculation");
      first = image;
      firstLog = log;
    } else {
      EXPECT_EQ(image, first);
      EXPECT_EQ(log, firstLog);
    }
    EXPECT_EQ(tool.AntenCount, 40);
    EXPECT_EQ(tool.arAnten.size(), 40u);
    EXPECT_EQ(tool.XYProportional, 6.6L) << "the plot's X/Y 2 is not left in the tool";
    EXPECT_FALSE(tool.runing);
  }
  // Apply off: the data pass, no model.
  auto view = MakeWheelChannel(Channel(40, 200), input);
  TGridViewTool off;
  off.SetView_(0, view.get());
  off.AExecuting = false;
  off.SaveParamPlugin(0);
  off.execute(false, 0);
  EXPECT_EQ(Samples(*view), input);
  EXPECT_FALSE(off.BmpGrid);
  // A restart shows the tool's saved input, not what a later tool left.
  for (bool apply : {false, true}) {
    off.AExecuting = apply;
    off.SaveParamPlugin(0);
    SetSamples(*view, std::vector<int32_t>(input.size(), 7));
    off.execute(true, 0);
    EXPECT_EQ(Samples(*view), input) << apply;
  }
}

TEST_F(GridViewToolTest, OwnStepsMeasureTheSamplesAndNoIterationIsUniform) {
  const std::vector<int32_t> input = Hyperbola(30, 50, 15, 10);
  auto view = MakeWheelChannel(Channel(30, 50), input);
  TGridViewTool tool;
  tool.SetView_(0, view.get());
  // iXStep = StepRecept, iYStep = dz (0.04 m): one cell per sample.
  Configure(tool, 0, 0.05L, 0.04L);
  tool.execute(false, 0);
  EXPECT_EQ(tool.iXCount, 30);
  EXPECT_EQ(tool.iYCount, 50);
  EXPECT_EQ(InterpolateGrid(input.data(), 30, 50, 30, 50, tool.Steps(*view)), input);
  ASSERT_TRUE(tool.BmpGrid);
  EXPECT_EQ(Pixels(*tool.BmpGrid), std::vector<uint8_t>(30 * 50, 128));
  // A zero input: 128 after any iteration.
  auto flat = MakeWheelChannel(Channel(30, 50), std::vector<int32_t>(30 * 50, 0));
  TGridViewTool t;
  t.SetView_(0, flat.get());
  Configure(t, 2, 0.05L, 0.04L);
  t.execute(false, 0);
  EXPECT_EQ(Pixels(*t.BmpGrid), std::vector<uint8_t>(30 * 50, 128));
}

TEST_F(GridViewToolTest, StepsWithoutAGridAndTheMemoryCap) {
  const std::vector<int32_t> input = Hyperbola(20, 40, 10, 8);
  for (long double step : {0.0L, -0.05L}) {
    auto view = MakeWheelChannel(Channel(20, 40), input);
    TGridViewTool tool;
    tool.SetView_(0, view.get());
    tool.StepRecept = step;
    Configure(tool, 2, 0.05L, 0.01L);
    EXPECT_NO_THROW(tool.execute(false, 0));
    EXPECT_EQ(tool.iXCount, 0);
    ASSERT_TRUE(tool.BmpGrid);
    EXPECT_TRUE(tool.BmpGrid->Empty());
    EXPECT_EQ(Samples(*view), input);
  }
  // The smallest steps the dialog allows on a long profile: refused before
  // anything is allocated.
  auto view = MakeWheelChannel(Channel(20, 40), input);
  TGridViewTool tool;
  tool.SetView_(0, view.get());
  tool.StepRecept = 10;
  Configure(tool, 2, 0.001L, 0.001L);
  tool.MemoryCap = uint64_t{1} << 30;
  EXPECT_THROW(tool.execute(false, 0), std::bad_alloc);
  EXPECT_EQ(Samples(*view), input);
  EXPECT_FALSE(tool.runing);
}

TEST_F(GridViewToolTest, StopsKeepTheImageOfTheLastCompletedIteration) {
  const std::vector<int32_t> input = Hyperbola(30, 60, 15, 12);
  {
    auto view = MakeWheelChannel(Channel(30, 60), input);
    TGridViewTool tool;
    tool.SetView_(0, view.get());
    Configure(tool, 3, 0.05L, 0.02L);
    host.onYield = [&](int) {
      if (host.progress.size() == 2) host.br = true;
    };
    tool.execute(false, 0);
    host.onYield = nullptr;
    host.br = false;
    EXPECT_EQ(Pixels(*tool.BmpGrid), ExpectedGridImage(tool, *view, input, 30, 60, 1));
    EXPECT_FALSE(tool.AExecuting);
    EXPECT_EQ(Samples(*view), input);
  }
  {
    auto view = MakeWheelChannel(Channel(30, 60), input);
    TGridViewTool tool;
    tool.SetView_(0, view.get());
    Configure(tool, 3, 0.05L, 0.02L);
    host.onYield = [&](int) { tool.BreakExecute = true; };
    tool.execute(false, 0);
    host.onYield = nullptr;
    EXPECT_EQ(Pixels(*tool.BmpGrid), ExpectedGridImage(tool, *view, input, 30, 60, 1));
    EXPECT_TRUE(tool.AExecuting);
  }
}

TEST_F(GridViewToolTest, ArrivalPlotCoversEveryTrace) {
  auto view = MakeWheelChannel(Channel(150, 20), Hyperbola(150, 20, 70, 5));
  TGridViewTool tool;
  tool.SetView_(0, view.get());
  Configure(tool, 1, 0.5L, 0.05L);
  tool.execute(false, 0);
  EXPECT_EQ(tool.AntenCount, 150);
  ASSERT_EQ(tool.ArrivalPlot.size(), 150u);
  EXPECT_EQ(tool.arAnten[149].T, 2.0L / 1000 - 0.2L / 180 + std::fabs(149 * 0.05L + 0.2L) / 180);
}

TEST_F(GridViewToolTest, DecreaseScanTriesEightCandidatesAndShowsTheInput) {
  const std::vector<int32_t> input = Hyperbola(40, 200, 20, 30);
  auto view = MakeWheelChannel(Channel(40, 200), input);
  TGridViewTool tool;
  tool.SetView_(0, view.get());
  Configure(tool, 1, 0.1L, 0.01L);
  tool.execute(false, 0);
  std::vector<QString> log;
  tool.OnLog = [&](const QString& line) { log.push_back(line); };
  SetSamples(*view, std::vector<int32_t>(input.size(), 5));
  tool.TypePodbor = 4;
  tool.SearchXYProportional();
  ASSERT_EQ(log.size(), 10u);
  EXPECT_EQ(log[1], "X=20,Y=200");
  std::set<QString> residuals;
  for (int k = 12; k <= 19; ++k) {
    const QString& line = log[static_cast<size_t>(k - 10)];
    EXPECT_TRUE(line.startsWith(QStringLiteral("decA=%1% dA=").arg(5 * k))) << line.toStdString();
    residuals.insert(line.section(' ', 1));
  }
  EXPECT_GT(residuals.size(), 1u);
  EXPECT_EQ(Samples(*view), input) << "the channel shows the tool's input";
  EXPECT_EQ(tool.DecriseAmp, 0.95L);
  EXPECT_FALSE(tool.runing);
}

TEST_F(GridViewToolTest, RecordCarriesSixFieldsAndOlderRecordsKeepTheStep) {
  TGridViewTool reader;
  const QByteArray bytes = reconstruction_test_support::ExpectStepRecord(reader, "Grid");

  // A shorter current record (no step, no dH): both keep their values.
  TGridViewTool shorter;
  shorter.StepRecept = 0.04L;
  shorter.dH = 4;
  const auto read = ReadShortenedRecord(shorter, bytes, 14, 1);
  EXPECT_EQ(read.position, read.end);
  EXPECT_EQ(shorter.Param[1].DistanceRecept, -0.25L);
  EXPECT_EQ(shorter.Param[1].StepRecept, 0.04L);
  EXPECT_EQ(shorter.dH, 4);
}

TEST_F(GridViewToolTest, CreationValuesAndToolInit) {
  TGridViewTool tool;
  EXPECT_EQ(tool.GetToolName(), "GridView");
  EXPECT_EQ(tool.typeOfPlugin, advanced);
  for (const TGridViewParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_EQ(p.XYProportional, 6.6L);
    EXPECT_EQ(p.MinAmpSect, 120);
    EXPECT_EQ(p.SizeHyperbola, 3);
    EXPECT_EQ(p.DistanceRecept, 0.2L);
    EXPECT_EQ(p.StepRecept, 0.05L);
  }
  EXPECT_EQ(tool.DecriseAmp, 0.9L);
  EXPECT_EQ(tool.iXStep, 0.05L);
  EXPECT_EQ(tool.iYStep, 0.0075L);
  EXPECT_EQ(tool.Kontrast, 1.0L);
  auto view = MakeWheelChannel(Channel(10, 30), {});
  tool.SetView_(0, view.get());
  tool.dH = 9;
  tool.DecriseAmp = 0.5L;
  tool.ToolInit();
  EXPECT_EQ(tool.Param[0].XYProportional, view->GetProportionalCoefic());
  EXPECT_EQ(tool.Param[1].XYProportional, 6.6L);
  EXPECT_EQ(tool.dH, 0);
  EXPECT_EQ(tool.DecriseAmp, 0.9L);
}

}  // namespace grid_view_tool_test
