// The time-grid tool on real channel stores: the channel is never changed, the
// grid with the antennas' own steps is the input (Apply off) or the cells'
// means, the named recordings, steps without a grid, the memory cap, a long
// channel and the record.

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tests/tools/imaging/reconstruction_test_support.h"
#include "tools/imaging/grid_time_tool.h"
#include "tools/tool_record.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <vector>

namespace grid_time_tool_test {

using imaging_test_support::MakeWheelChannel;

using reconstruction_test_support::Channel;
using reconstruction_test_support::Pixels;

class GridTimeToolTest : public reconstruction_test_support::HostFixture {};

std::vector<int32_t> Input(int64_t traces, int longTrace) {
  std::vector<int32_t> v(static_cast<size_t>(traces * longTrace));
  for (size_t i = 0; i < v.size(); ++i)
    v[i] = static_cast<int32_t>(std::lround(5000 * std::sin(static_cast<double>(i % static_cast<size_t>(longTrace)) * 0.4 +
                                                            static_cast<double>(i / static_cast<size_t>(longTrace)))));
  return v;
}

void Name(T2Dview& view, const QString& folder, const char* name) {
  view.Settings()->SetFileName(folder + QStringLiteral("/") + QString::fromLatin1(name));
}

TEST_F(GridTimeToolTest, CreationValuesAndToolInit) {
  TGridTimeTool tool;
  EXPECT_EQ(tool.GetToolName(), "GridTime");
  EXPECT_EQ(tool.GetCaption(), "GridTime");
  EXPECT_EQ(tool.typeOfPlugin, advanced);
  for (const TGridTimeParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_EQ(p.XYProportional, 2.0L);
    EXPECT_EQ(p.MinAmpSect, 120);
    EXPECT_EQ(p.SizeHyperbola, 3);
    EXPECT_EQ(p.DistanceRecept, 0.2L);
    EXPECT_EQ(p.StepRecept, 0.05L);
  }
  EXPECT_EQ(tool.dH, 299);
  EXPECT_EQ(tool.iXStep, 0.05L);
  EXPECT_EQ(tool.iYStep, 0.0075L);
  EXPECT_EQ(tool.MaxIteration, 10);
  EXPECT_EQ(tool.AntenCount, 0);
  EXPECT_TRUE(tool.FirstStart);
  auto view = MakeWheelChannel(Channel(10, 30), {});
  tool.SetView_(0, view.get());
  tool.dH = 9;
  tool.XYProportional = 7;
  tool.ToolInit();
  EXPECT_EQ(tool.Param[0].XYProportional, view->GetProportionalCoefic());
  EXPECT_EQ(tool.Param[1].XYProportional, 2.0L);
  EXPECT_EQ(tool.dH, 299);
}

TEST_F(GridTimeToolTest, TwoTracesReturnAtOnce) {
  const std::vector<int32_t> input = Input(2, 30);
  auto view = MakeWheelChannel(Channel(2, 30), input);
  TGridTimeTool tool;
  tool.SetView_(0, view.get());
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), input);
  EXPECT_FALSE(tool.BmpGrid);
  EXPECT_EQ(tool.CountAB, 0);
  EXPECT_FALSE(tool.runing);
}

TEST_F(GridTimeToolTest, OwnStepsGiveACellPerSampleAndTheChannelIsNeverChanged) {
  // 12 traces of 40 samples, 0.05 m of depth per sample.
  const std::vector<int32_t> input = Input(12, 40);
  for (bool apply : {false, true}) {
    SCOPED_TRACE(apply);
    auto view = MakeWheelChannel(Channel(12, 40), input);
    TGridTimeTool tool;
    tool.SetView_(0, view.get());
    tool.AExecuting = apply;
    tool.iXStep = 0.05L;
    tool.iYStep = 0.05L;
    tool.SaveParamPlugin(0);
    std::vector<QString> log;
    tool.OnLog = [&](const QString& line) { log.push_back(line); };
    tool.execute(false, 0);
    EXPECT_EQ(Samples(*view), input);
    EXPECT_EQ(tool.AntenCount, 12);
    EXPECT_EQ(tool.CountX, 12);
    EXPECT_EQ(tool.CountY, 40);
    ASSERT_EQ(tool.B.size(), 480u);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "Prepeare calculation");
    EXPECT_EQ(log[1], "X=12,Y=40");
    EXPECT_EQ(log[2], "End calculation");
    ASSERT_TRUE(tool.BmpGrid);
    ASSERT_EQ(tool.BmpGrid->Width(), 12);
    ASSERT_EQ(tool.BmpGrid->Height(), 40);
    if (!apply) EXPECT_EQ(tool.B, input) << "the grid shows the input";
    int64_t m = 1;
    for (int32_t v : tool.B) m = std::max<int64_t>(m, std::abs(static_cast<int64_t>(v)));
    const std::vector<uint8_t> pixels = Pixels(*tool.BmpGrid);
    for (int r = 0; r < 40; ++r)
      for (int c = 0; c < 12; ++c) {
        const long double v = 127.0L / m * tool.B[static_cast<size_t>(r + c * 40)];
        EXPECT_EQ(pixels[static_cast<size_t>(r * 12 + c)], std::clamp<int64_t>(Round(v), -128, 127) + 128);
      }
    if (apply) {
      EXPECT_NE(tool.B, input);
      EXPECT_EQ(tool.arMaxInTraces.size(), 12u);
      EXPECT_FALSE(tool.arMaxInTraces[3].empty());
    }
    // A restart shows the tool's saved input, whatever a later tool left.
    SetSamples(*view, std::vector<int32_t>(input.size(), 7));
    tool.execute(true, 0);
    EXPECT_EQ(Samples(*view), input);
    EXPECT_FALSE(tool.runing);
  }
}

TEST_F(GridTimeToolTest, NamedRecordings) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  for (int64_t traces : {20, 10}) {
    SCOPED_TRACE(traces);
    const std::vector<int32_t> input = Input(traces, 30);
    auto view = MakeWheelChannel(Channel(traces, 30), input);
    Name(*view, folder.path(), "cmp_4.dezo");
    TGridTimeTool tool;
    tool.SetView_(0, view.get());
    tool.SetPropertyes(true);
    EXPECT_EQ(tool.DistanceRecept, -1.0L);
    EXPECT_EQ(tool.XYProportional, 4.0L);
    EXPECT_EQ(tool.AntenCount, traces + 7);
    EXPECT_FALSE(tool.AExecuting);
    EXPECT_NEAR(static_cast<double>(tool.iYStep), 0.0666666, 1e-6) << "channel 0's depth step";
    tool.AExecuting = false;
    tool.iXStep = 0.05L;
    tool.SaveParamPlugin(0);
    tool.execute(false, 0);
    EXPECT_EQ(Samples(*view), input);
    EXPECT_EQ(tool.AntenCount, traces + 7);
    // Apply off: the grid's columns are the work copy's traces.
    for (int64_t c = 0; c < std::min<int64_t>(tool.CountX, traces + 7); ++c) {
      const int64_t from = c < 16 ? c : (c < 24 ? -1 : c - 7);
      for (int r = 0; r < tool.CountY && r < 30; ++r)
        EXPECT_EQ(tool.B[static_cast<size_t>(r + c * tool.CountY)],
                  from < 0 || from >= traces ? 0 : input[static_cast<size_t>(from * 30 + r)])
            << c << " " << r;
    }
  }
  auto view = MakeWheelChannel(Channel(12, 30), Input(12, 30));
  Name(*view, folder.path(), "cmp_1.dezo");
  TGridTimeTool tool;
  tool.SetView_(0, view.get());
  tool.SetPropertyes(true);
  EXPECT_EQ(tool.StepRecept, 0.1L);
  EXPECT_EQ(tool.iXStep, 0.1L);
  EXPECT_EQ(tool.AntenCount, 12);
  EXPECT_EQ(tool.DistanceRecept, 0.2L);
}

TEST_F(GridTimeToolTest, StepsWithoutAGridTheMemoryCapAndALongChannel) {
  const std::vector<int32_t> input = Input(20, 40);
  for (long double step : {0.0L, -0.05L}) {
    auto view = MakeWheelChannel(Channel(20, 40), input);
    TGridTimeTool tool;
    tool.SetView_(0, view.get());
    tool.iXStep = step;
    EXPECT_NO_THROW(tool.execute(false, 0));
    EXPECT_EQ(tool.CountX, 0);
    EXPECT_TRUE(tool.B.empty());
    ASSERT_TRUE(tool.BmpGrid);
    EXPECT_TRUE(tool.BmpGrid->Empty());
    EXPECT_EQ(Samples(*view), input);
  }
  auto view = MakeWheelChannel(Channel(20, 40), input);
  TGridTimeTool tool;
  tool.SetView_(0, view.get());
  tool.StepRecept = 10;
  tool.iXStep = 0.001L;
  tool.iYStep = 0.001L;
  tool.SaveParamPlugin(0);
  tool.MemoryCap = uint64_t{1} << 26;
  EXPECT_THROW(tool.execute(false, 0), std::bad_alloc);
  EXPECT_EQ(Samples(*view), input);
  EXPECT_FALSE(tool.runing);

  // 1500 antennas: more than the dialog's 1000, each with its picks.
  const std::vector<int32_t> wide = Input(1500, 40);
  auto longView = MakeWheelChannel(Channel(1500, 40), wide);
  TGridTimeTool many;
  many.SetView_(0, longView.get());
  many.iXStep = 0.5L;
  many.iYStep = 0.05L;
  many.PntVisual = gtSectPoint;
  many.execute(false, 0);
  EXPECT_EQ(Samples(*longView), wide);
  EXPECT_EQ(many.AntenCount, 1500);
  EXPECT_EQ(many.CountX, 150);
  ASSERT_EQ(many.arMaxInTraces.size(), 1500u);
  EXPECT_FALSE(many.arMaxInTraces[1499].empty());
  EXPECT_GE(many.SectMaxCount, 1);
}

TEST_F(GridTimeToolTest, RecordCarriesSixFieldsAndOlderRecordsKeepTheStep) {
  TGridTimeTool reader;
  reconstruction_test_support::ExpectStepRecord(reader, "Time");

  // A channel run with the air speed read (dH -7): no air time, no pair points, no fault.
  auto view = MakeWheelChannel(Channel(6, 30), Input(6, 30));
  reader.SetView_(0, view.get());
  reader.PntVisual = gtSectPoint;
  reader.execute(false, 0);
  EXPECT_TRUE(reader.SectBubbles.empty());
  for (const TGridTimeAntenna& a : reader.arAnten) EXPECT_EQ(a.tAir, 0);
}

}  // namespace grid_time_tool_test
