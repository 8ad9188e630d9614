// The real-view tool on real channel stores: the run against the engine's serial
// sweeps, any worker count, the log, the stops, the pass-through cases, the
// errors before anything is allocated, and the record.

#include "platform/rtl/extended.h"
#include "platform/rtl/streams.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tests/tools/imaging/reconstruction_test_support.h"
#include "tools/imaging/real_view_tool.h"
#include "tools/tool_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

namespace real_view_tool_test {

using imaging_test_support::MakeWheelChannel;

using reconstruction_test_support::Channel;
using reconstruction_test_support::ExpectedModel;
using reconstruction_test_support::Hyperbola;
using reconstruction_test_support::ReadCurrentRecord;
using reconstruction_test_support::ReadShortenedRecord;
using reconstruction_test_support::RecordBody;

class RealViewToolTest : public reconstruction_test_support::HostFixture {};

void Configure(TRealViewTool& tool, long double xy, int32_t angle, int32_t iterations) {
  tool.XYProportional = xy;
  tool.MinAmpSect = angle;
  tool.SizeHyperbola = iterations;
  tool.SaveParamPlugin(0);
}

TEST_F(RealViewToolTest, RunIsTheEnginesSweepsForAnyWorkerCountWithItsLog) {
  const std::vector<int32_t> input = Hyperbola(160, 40, 80, 12);
  std::vector<int32_t> first;
  std::vector<QString> firstLog;
  for (int workers : {1, 2, 8, 16}) {
    SCOPED_TRACE(workers);
    PoolThreadsScope pool(workers);
    auto view = MakeWheelChannel(Channel(160, 40), input);
    TRealViewTool tool;
    tool.SetView_(0, view.get());
    tool.DistanceRecept = 0.3L;
    tool.dH = 1;
    Configure(tool, 1.5L, 140, 3);
    std::vector<QString> log;
    tool.OnLog = [&](const QString& line) { log.push_back(line); };
    tool.execute(false, 0);
    const std::vector<int32_t> out = Samples(*view);
    if (workers == 1) {
      const TRealViewParams p = tool.EngineParams(*view);
      EXPECT_EQ(out, ExpectedModel(input, 160, 40, p, 3));
      ASSERT_EQ(log.size(), 7u);
      EXPECT_EQ(log[0], "Prepeare calculation");
      EXPECT_EQ(log[1], "X=160,Y=40");
      EXPECT_EQ(log[2], "Begin calculation");
      EXPECT_TRUE(log[3].startsWith("0 dA=")) << log[3].toStdString();
      EXPECT_TRUE(log[5].startsWith("2 dA=") && log[5].endsWith("%"));
      EXPECT_EQ(log[6], "End calculation");
      first = out;
      firstLog = log;
    } else {
      EXPECT_EQ(out, first);
      EXPECT_EQ(log, firstLog);
    }
    EXPECT_FALSE(tool.runing);
    EXPECT_EQ(host.progress.back().second, 300);
  }
}

TEST_F(RealViewToolTest, NoIterationGivesZeroAndShortChannelsPass) {
  const std::vector<int32_t> input = Hyperbola(10, 30, 5, 8);
  auto view = MakeWheelChannel(Channel(10, 30), input);
  TRealViewTool tool;
  tool.SetView_(0, view.get());
  Configure(tool, 2, 90, 0);
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), std::vector<int32_t>(input.size(), 0));

  for (int64_t traces : {1, 2}) {
    const std::vector<int32_t> in = Hyperbola(traces, 30, 0, 8);
    auto small = MakeWheelChannel(Channel(traces, 30), in);
    TRealViewTool t;
    t.SetView_(0, small.get());
    Configure(t, 2, 90, 3);
    t.execute(false, 0);
    EXPECT_EQ(Samples(*small), in) << traces;
    // A restart shows the tool's saved input, not what a later tool left.
    SetSamples(*small, std::vector<int32_t>(in.size(), 7));
    t.execute(true, 0);
    EXPECT_EQ(Samples(*small), in) << traces;
  }
}

TEST_F(RealViewToolTest, BreakFlagsKeepTheLastCompletedIteration) {
  const std::vector<int32_t> input = Hyperbola(40, 30, 20, 8);
  const TRealViewParams base = [&] {
    auto v = MakeWheelChannel(Channel(40, 30), input);
    TRealViewTool t;
    t.XYProportional = 2;
    return t.EngineParams(*v);
  }();
  {
    // The window's break flag, set once the second iteration's progress is shown:
    // the model of the first, Apply off.
    auto view = MakeWheelChannel(Channel(40, 30), input);
    TRealViewTool tool;
    tool.SetView_(0, view.get());
    Configure(tool, 2, 90, 3);
    host.onYield = [&](int) {
      if (host.progress.size() == 2) host.br = true;
    };
    tool.execute(false, 0);
    host.onYield = nullptr;
    host.br = false;
    EXPECT_EQ(Samples(*view), ExpectedModel(input, 40, 30, base, 1));
    EXPECT_FALSE(tool.AExecuting);
    EXPECT_TRUE(tool.Param[0].Apply) << "the sets keep Apply";
  }
  {
    // Broken before the first iteration: the zero model.
    auto view = MakeWheelChannel(Channel(40, 30), input);
    TRealViewTool tool;
    tool.SetView_(0, view.get());
    Configure(tool, 2, 90, 3);
    host.br = true;
    tool.execute(false, 0);
    host.br = false;
    EXPECT_EQ(Samples(*view), std::vector<int32_t>(input.size(), 0));
  }
  {
    // The space key during the first iteration ends the run after it.
    auto view = MakeWheelChannel(Channel(40, 30), input);
    TRealViewTool tool;
    tool.SetView_(0, view.get());
    Configure(tool, 2, 90, 3);
    host.onYield = [&](int) { tool.BreakExecute = true; };
    tool.execute(false, 0);
    host.onYield = nullptr;
    EXPECT_EQ(Samples(*view), ExpectedModel(input, 40, 30, base, 1));
    EXPECT_TRUE(tool.AExecuting);
  }
}

TEST_F(RealViewToolTest, TooWideArcsAndTheMemoryCapLeaveTheChannel) {
  const std::vector<int32_t> input = Hyperbola(6, 150, 3, 20);
  auto view = MakeWheelChannel(Channel(6, 150), input);
  TRealViewTool tool;
  tool.SetView_(0, view.get());
  Configure(tool, 0.1L, 90, 3);
  try {
    tool.execute(false, 0);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Hyperbola array limits 1004");
  }
  EXPECT_EQ(Samples(*view), input);
  EXPECT_FALSE(tool.runing);

  Configure(tool, 2, 90, 3);
  tool.MemoryCap = 1000;
  EXPECT_THROW(tool.execute(false, 0), std::bad_alloc);
  EXPECT_EQ(Samples(*view), input);
  EXPECT_FALSE(tool.runing);
}

TEST_F(RealViewToolTest, UnusableGeometryPassesAndWideAnglesActAsAHalfTurn) {
  const std::vector<int32_t> input = Hyperbola(30, 30, 15, 8);
  for (long double xy : {-1.0L, 0.0L, std::nanl("")}) {
    auto view = MakeWheelChannel(Channel(30, 30), input);
    TRealViewTool tool;
    tool.SetView_(0, view.get());
    Configure(tool, xy, 90, 2);
    tool.execute(false, 0);
    EXPECT_EQ(Samples(*view), input) << static_cast<double>(xy);
  }
  std::vector<std::vector<int32_t>> outs;
  for (int32_t angle : {180, 720}) {
    auto view = MakeWheelChannel(Channel(30, 30), input);
    TRealViewTool tool;
    tool.SetView_(0, view.get());
    Configure(tool, 3, angle, 2);
    tool.execute(false, 0);
    outs.push_back(Samples(*view));
  }
  EXPECT_EQ(outs[0], outs[1]);
  EXPECT_NE(outs[0], input);
}

TEST_F(RealViewToolTest, RecordCarriesDHAndShorterRecordsKeepTheRest) {
  TRealViewTool tool;
  tool.XYProportional = 2.5L;
  tool.MinAmpSect = 120;
  tool.SizeHyperbola = 5;
  tool.DistanceRecept = -0.25L;
  tool.dH = -7;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  const QByteArray bytes = stream.Bytes();
  EXPECT_TRUE(bytes.endsWith(RecordBody(2.5L, 120, 5, -0.25L, std::nullopt, -7)));
  EXPECT_EQ(static_cast<uint8_t>(bytes[4 + 1 + 8]), 33);

  TRealViewTool reader;
  ReadCurrentRecord(reader, stream, 3);
  EXPECT_EQ(reader.dH, -7);
  EXPECT_EQ(reader.Param[3].XYProportional, 2.5L);
  EXPECT_EQ(reader.Param[3].MinAmpSect, 120);
  EXPECT_EQ(reader.Param[3].SizeHyperbola, 5);
  EXPECT_EQ(reader.Param[3].DistanceRecept, -0.25L);
  EXPECT_EQ(reader.Param[0].XYProportional, 10) << "other channels keep the creation values";

  // Without DistanceRecept and dH: both keep their values.
  TRealViewTool shorter;
  shorter.DistanceRecept = 0.5L;
  shorter.dH = 4;
  const auto read = ReadShortenedRecord(shorter, bytes, 14, 1);
  EXPECT_EQ(read.position, read.end);
  EXPECT_EQ(shorter.Param[1].SizeHyperbola, 5);
  EXPECT_EQ(shorter.Param[1].DistanceRecept, 0.5L);
  EXPECT_EQ(shorter.dH, 4);
}

TEST_F(RealViewToolTest, CreationValuesAndToolInitTakeTheWheelStep) {
  TRealViewTool tool;
  EXPECT_EQ(tool.GetToolName(), "RealView");
  EXPECT_EQ(tool.typeOfPlugin, advanced);
  for (const TRealViewParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_EQ(p.XYProportional, 10);
    EXPECT_EQ(p.MinAmpSect, 90);
    EXPECT_EQ(p.SizeHyperbola, 3);
    EXPECT_EQ(p.DistanceRecept, 0);
  }
  EXPECT_EQ(tool.DecriseAmp, 0.75L);
  auto view = MakeWheelChannel(Channel(10, 30), {});
  tool.SetView_(0, view.get());
  tool.dH = 9;
  tool.DecriseAmp = 0.5L;
  tool.ToolInit();
  EXPECT_EQ(tool.Param[0].XYProportional, view->GetProportionalCoefic());
  EXPECT_EQ(tool.Param[1].XYProportional, 10);
  EXPECT_EQ(tool.dH, 0);
  EXPECT_EQ(tool.DecriseAmp, 0.75L);
}

}  // namespace real_view_tool_test

namespace real_view_tool_test {

class RealViewScanTest : public RealViewToolTest {
protected:
  // Channel 0 after one run of the tool (its saved input), then a scan.
  void Prepare() {
    input = Hyperbola(40, 30, 20, 9);
    view = MakeWheelChannel(Channel(40, 30), input);
    tool.SetView_(0, view.get());
    Configure(tool, 3, 90, 1);
    tool.execute(false, 0);
    ASSERT_NE(Samples(*view), input);
    tool.OnLog = [this](const QString& line) { log.push_back(line); };
  }
  // "<label> dA=..." of a candidate computed by the engine: three sweeps.
  QString Line(const QString& label, TRealViewParams p, int32_t alpha) {
    TRealViewModel m;
    m.Build(input.data(), 40, 30, p, RealViewSinA(alpha), TRealViewModel::DefaultMemoryCap());
    for (int n = 0; n < 3; ++n) m.SweepSerial();
    const int64_t r = m.SumResidual(), a = m.SumAmplitude();
    return QStringLiteral("%1 dA=%2 dABal=%3%").arg(label).arg(r).arg(a == 0 ? 0 : Round(static_cast<long double>(r) / a * 100));
  }
  std::vector<int32_t> input;
  std::unique_ptr<T2Dview> view;
  TRealViewTool tool;
  std::vector<QString> log;
};

TEST_F(RealViewScanTest, XYScanTriesSixteenHalfStepsAndShowsTheInput) {
  Prepare();
  tool.TypePodbor = 0;
  tool.SearchXYProportional();
  ASSERT_EQ(log.size(), 18u);
  EXPECT_EQ(log[0], "Prepeare calculation");
  EXPECT_EQ(log[1], "X=40,Y=30");
  const TRealViewParams base = tool.EngineParams(*view);
  for (int k = 1; k <= 16; ++k) {
    TRealViewParams p = base;
    p.XYProportional = k / 2.0L;
    EXPECT_EQ(log[static_cast<size_t>(k + 1)], Line(QStringLiteral("XY=%1").arg(k / 2.0, 0, 'f', 1), p, 45));
  }
  EXPECT_TRUE(log[2].startsWith("XY=0.5 dA="));
  EXPECT_TRUE(log[17].startsWith("XY=8.0 dA="));
  EXPECT_EQ(Samples(*view), input);
  EXPECT_EQ(tool.Param[0].XYProportional, 3) << "no candidate reaches a set";
  EXPECT_EQ(tool.XYProportional, 8) << "the field keeps the last candidate";
  EXPECT_FALSE(tool.runing);
}

TEST_F(RealViewScanTest, AngleScanUsesEachCandidatesCone) {
  Prepare();
  tool.TypePodbor = 3;
  tool.SearchXYProportional();
  ASSERT_EQ(log.size(), 16u);
  const TRealViewParams base = tool.EngineParams(*view);
  std::set<QString> residuals;
  for (int k = 4; k <= 17; ++k) {
    const QString& line = log[static_cast<size_t>(k - 2)];
    EXPECT_EQ(line, Line(QStringLiteral("A=%1").arg(10 * k), base, 5 * k));
    residuals.insert(line.section(' ', 1));
  }
  EXPECT_GT(residuals.size(), 5u) << "the angles give differing residuals";
  EXPECT_EQ(tool.Param[0].MinAmpSect, 90);
}

TEST_F(RealViewScanTest, ApplyClearOnlyCopiesBackAndNoSavedInputDoesNothing) {
  Prepare();
  // The working Apply (the dialog's box) goes to set 0 first.
  tool.AExecuting = false;
  tool.TypePodbor = 1;
  tool.SearchXYProportional();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Samples(*view), input);

  TRealViewTool fresh;
  auto other = MakeWheelChannel(Channel(40, 30), input);
  fresh.SetView_(0, other.get());
  SetSamples(*other, std::vector<int32_t>(input.size(), 3));
  std::vector<QString> lines;
  fresh.OnLog = [&](const QString& line) { lines.push_back(line); };
  fresh.SearchXYProportional();
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(Samples(*other), std::vector<int32_t>(input.size(), 3)) << "no stale or zero copy is shown";
  EXPECT_FALSE(fresh.runing);
}

TEST_F(RealViewScanTest, DecreaseAndSpacingLabelsAndABreakEndsTheScan) {
  Prepare();
  tool.TypePodbor = 4;
  tool.SearchXYProportional();
  ASSERT_EQ(log.size(), 21u);
  EXPECT_TRUE(log[2].startsWith("decA=5% dA="));
  EXPECT_TRUE(log[20].startsWith("decA=95% dA="));
  log.clear();
  tool.DistanceRecept = 0.1L;
  tool.TypePodbor = 2;
  // The space key during the first candidate: it ends after its sweep, the scan
  // after it.
  host.onYield = [&](int) { tool.BreakExecute = true; };
  tool.SearchXYProportional();
  host.onYield = nullptr;
  ASSERT_EQ(log.size(), 3u);
  EXPECT_TRUE(log[2].startsWith("dRT=-0.40 dA=")) << log[2].toStdString();
  EXPECT_EQ(Samples(*view), input);
}

}  // namespace real_view_tool_test
