// The two migrations as chain tools on real channel stores: the runs against the
// sums written out term by term, the wheel-mode rule, the samples before time
// zero, the pass-through without a depth or time step, a break, the parameter
// sets and ToolInit, and the chain records.

#include "platform/rtl/extended.h"
#include "platform/rtl/streams.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tools/imaging/migration_adv_tool.h"
#include "tools/imaging/migration_tool.h"
#include "tools/tool_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace migration_tools_test {

using imaging_test_support::MakeWheelChannel;
using imaging_test_support::ReferenceAdvanced;
using imaging_test_support::ReferenceMetric;
using imaging_test_support::TWheelChannel;

class MigrationToolsTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
};

// 30 traces x 40 samples, time zero at 3; a sample is 40 / 40 x 100 / 2000 =
// 0.05 m deep, the trace step 2 mm against 100 x 40 x 1 / 2000 = 2 mm per sample
// in the scale's own terms: XYProportional 1.
TWheelChannel Wheel() {
  TWheelChannel c;
  c.traces = 30;
  c.longTrace = 40;
  c.nullShift = 3;
  c.unit = Unit03;  // 0.142 m spacing
  return c;
}

TEST_F(MigrationToolsTest, AdvancedRunIsTheSumsOfTheAntennasSpacingAndTheTraceStep) {
  const std::vector<int32_t> input = TestTraces(30, 40);
  for (double step : {2.0, 7.0}) {
    SCOPED_TRACE(step);
    TWheelChannel c = Wheel();
    c.wheelStep = step;
    auto view = MakeWheelChannel(c, input);
    TMigrationAdvTool tool;
    tool.SetView_(0, view.get());
    tool.execute(false, 0);
    EXPECT_EQ(tool.Param[0].DistanceRecept, static_cast<long double>(0.142)) << "the unit's spacing";
    EXPECT_EQ(tool.XYProportional, view->GetProportionalCoefic());
    EXPECT_NEAR(static_cast<double>(tool.XYProportional), step / 2, 1e-12);
    const long double dz = view->SampleToDepth(1) - view->SampleToDepth(0);
    const double e = static_cast<double>(0.142L / dz / 2);
    const auto expected = ReferenceAdvanced(input, 30, 40, 3, e, tool.XYProportional, tool.Diagram);
    const auto out = Samples(*view);
    EXPECT_EQ(out, expected);
    for (int64_t t = 0; t < 30; ++t)
      for (int s = 0; s < 3; ++s)
        ASSERT_EQ(out[static_cast<size_t>(t * 40 + s)], input[static_cast<size_t>(t * 40 + s)]) << "before time zero";
    EXPECT_TRUE(tool.GetExecuting());
  }
}

TEST_F(MigrationToolsTest, MetricRunIsTheSumsInMetres) {
  const std::vector<int32_t> input = TestTraces(30, 40);
  TWheelChannel c = Wheel();
  c.wheelStep = 3.0;
  c.overStep = 2;
  auto view = MakeWheelChannel(c, input);
  TMigrationTool tool;
  tool.SetView_(0, view.get());
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), ReferenceMetric(input, 30, 40, *view->Settings(), tool.Diagram));
  EXPECT_EQ(tool.SamplesToNs(10), 10 * 40.0L * 2 / 1000);
}

// Trace step 0: every offset is 0 m away, so each term of a sample reads the
// same input sample of another trace with the full weight: the mean over the
// source traces 1 .. N - 2. At time zero every distance is 0 and nothing weighs.
TEST_F(MigrationToolsTest, MetricWithoutTraceStepAveragesTheSameSampleOfEveryOtherTrace) {
  TWheelChannel c = Wheel();
  c.traces = 6;
  c.longTrace = 8;
  c.nullShift = 2;
  c.spanWidth = 125;  // 8 samples x OverStep 125 / 1000: the metric time step is the sample's
  c.overStep = 125;
  c.wheelStep = 0;
  std::vector<int32_t> input;
  for (int t = 0; t < 6; ++t)
    for (int s = 0; s < 8; ++s) input.push_back(1000 * t + s);
  auto view = MakeWheelChannel(c, input);
  TMigrationTool tool;
  tool.SetView_(0, view.get());
  tool.execute(false, 0);
  const auto out = Samples(*view);
  for (int t = 0; t < 6; ++t)
    for (int s = 0; s < 8; ++s) {
      const int32_t expected = s < 2 ? input[static_cast<size_t>(t * 8 + s)] : s == 2 ? 0 : 2500 + s;
      EXPECT_EQ(out[static_cast<size_t>(t * 8 + s)], expected) << t << ", " << s;
    }
}

TEST_F(MigrationToolsTest, ProfilesOfOneOrTwoTracesMigrateToZeros) {
  for (int64_t n : {1, 2}) {
    TWheelChannel c = Wheel();
    c.traces = n;
    const std::vector<int32_t> input = TestTraces(n, 40);
    auto a = MakeWheelChannel(c, input);
    auto m = MakeWheelChannel(c, input);
    TMigrationAdvTool adv;
    adv.SetView_(0, a.get());
    adv.execute(false, 0);
    TMigrationTool metric;
    metric.SetView_(0, m.get());
    metric.execute(false, 0);
    for (int64_t t = 0; t < n; ++t)
      for (int s = 0; s < 40; ++s) {
        const int32_t expected = s < 3 ? input[static_cast<size_t>(t * 40 + s)] : 0;
        EXPECT_EQ(Samples(*a)[static_cast<size_t>(t * 40 + s)], expected);
        EXPECT_EQ(Samples(*m)[static_cast<size_t>(t * 40 + s)], expected);
      }
  }
}

template <class TTool>
void ExpectPassThrough(const TWheelChannel& c, bool applyOff) {
  const std::vector<int32_t> input = TestTraces(c.traces, c.longTrace);
  auto view = MakeWheelChannel(c, input);
  TTool tool;
  tool.SetView_(0, view.get());
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), input);
  EXPECT_EQ(tool.GetExecuting(), !applyOff);
  for (const auto& set : tool.Param) EXPECT_TRUE(set.Apply) << "the sets keep Apply";
}

TEST_F(MigrationToolsTest, OtherProfilesAndMissingStepsPassTheInput) {
  TWheelChannel cont = Wheel();
  cont.mode = rmCont;
  ExpectPassThrough<TMigrationAdvTool>(cont, true);
  ExpectPassThrough<TMigrationTool>(cont, true);
  // No time window: no depth step (advanced) and no time step (metric).
  TWheelChannel flat = Wheel();
  flat.spanWidth = 0;
  ExpectPassThrough<TMigrationAdvTool>(flat, false);
  ExpectPassThrough<TMigrationTool>(flat, false);
  TWheelChannel still = Wheel();
  still.speed = 0;
  ExpectPassThrough<TMigrationTool>(still, false);
}

TEST_F(MigrationToolsTest, AnyThreadCountGivesTheSameChannel) {
  TWheelChannel c = Wheel();
  c.traces = 140;
  c.wheelStep = 5;
  const std::vector<int32_t> input = TestTraces(140, 40);
  std::vector<int32_t> adv, metric;
  for (int n : {1, 2, 8}) {
    PoolThreadsScope pool(n);
    auto a = MakeWheelChannel(c, input);
    TMigrationAdvTool advTool;
    advTool.SetView_(0, a.get());
    advTool.execute(false, 0);
    auto m = MakeWheelChannel(c, input);
    TMigrationTool metricTool;
    metricTool.SetView_(0, m.get());
    metricTool.execute(false, 0);
    if (n == 1) {
      adv = Samples(*a);
      metric = Samples(*m);
      EXPECT_NE(adv, input);
    }
    EXPECT_EQ(Samples(*a), adv) << n;
    EXPECT_EQ(Samples(*m), metric) << n;
  }
}

TEST_F(MigrationToolsTest, ABreakLeavesTheInput) {
  const std::vector<int32_t> input = TestTraces(30, 40);
  {
    host.breakAtYield = 2;
    auto view = MakeWheelChannel(Wheel(), input);
    TMigrationAdvTool tool;
    tool.SetView_(0, view.get());
    tool.execute(false, 0);
    EXPECT_EQ(Samples(*view), input);
    EXPECT_FALSE(tool.GetExecuting());
    for (const auto& set : tool.Param) EXPECT_FALSE(set.Apply) << "Apply off in every set";
    EXPECT_GE(host.progress.size(), 2u);
    EXPECT_EQ(host.progress.front(), (std::pair<int, int>{0, 0}));
  }
  {
    host.br = false;
    host.yields = 0;
    host.breakAtYield = 1;
    auto view = MakeWheelChannel(Wheel(), input);
    TMigrationTool tool;
    tool.SetView_(0, view.get());
    tool.execute(false, 0);
    EXPECT_EQ(Samples(*view), input);
    EXPECT_FALSE(tool.GetExecuting()) << "off for this run";
    for (const auto& set : tool.Param) EXPECT_TRUE(set.Apply) << "the sets keep theirs";
  }
}

TEST_F(MigrationToolsTest, AdvancedDefaultsSetsAndToolInit) {
  TMigrationAdvTool tool;
  EXPECT_EQ(tool.GetCaption(), "Migration");
  EXPECT_EQ(tool.AToolName, "MigrationAdv");
  EXPECT_EQ(tool.AToolDscr, "2D Filter. Migration - restoration of the location and shape of local objects");
  EXPECT_EQ(tool.typeOfPlugin, advanced);
  EXPECT_EQ(tool.GetVersion(), 16);
  EXPECT_EQ(tool.XYProportional, 5);
  EXPECT_EQ(tool.MinAmpSect, 20);
  EXPECT_EQ(tool.SizeHyperbola, 20);
  EXPECT_EQ(tool.Diagram.Wdiag, 1);
  EXPECT_EQ((std::pair{tool.PosX, tool.PosY}), (std::pair{54, 237}));
  for (const TMigrationAdvParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_EQ(p.XYProportional, 0);
    EXPECT_EQ(p.DistanceRecept, 0);
  }
  EXPECT_EQ(TMigrationAdvTool::GetXYhipotenuza(3, 4), 5);

  // ToolInit: the creation values, the trace step of wheel-mode channels.
  TWheelChannel wheel = Wheel();
  wheel.wheelStep = 6;
  TWheelChannel cont = Wheel();
  cont.mode = rmCont;
  auto a = MakeWheelChannel(wheel, {});
  auto b = MakeWheelChannel(cont, {});
  tool.SetView_(0, a.get());
  tool.SetView_(2, b.get());
  tool.DistanceRecept = 0.5L;
  tool.AExecuting = false;
  tool.ToolInit();
  EXPECT_NEAR(static_cast<double>(tool.Param[0].XYProportional), 3, 1e-12);
  for (size_t c : {1, 2, 3, 4}) EXPECT_EQ(tool.Param[c].XYProportional, 5) << c;
  for (const TMigrationAdvParam& p : tool.Param) {
    EXPECT_FALSE(p.Apply);
    EXPECT_EQ(p.DistanceRecept, 0.5L);
    EXPECT_EQ(p.MinAmpSect, 20);
    EXPECT_EQ(p.SizeHyperbola, 20);
  }
}

TEST_F(MigrationToolsTest, MetricKeepsApplyOnlyAndCopiesNoSet) {
  TMigrationTool tool;
  EXPECT_EQ(tool.GetCaption(), "Migration");
  EXPECT_EQ(tool.AToolName, "Migration");
  EXPECT_EQ(tool.typeOfPlugin, advanced);
  const uint8_t two = 2, zero = 0;
  tool.SetParam(1, &two);
  tool.SetParam(3, &zero);
  tool.SetAllParamAs(3);
  EXPECT_TRUE(tool.Param[1].Apply);
  EXPECT_FALSE(tool.Param[3].Apply);
  EXPECT_TRUE(tool.Param[0].Apply) << "not provided: the other sets stay";
  tool.SetParameters({}, &zero);
  EXPECT_FALSE(tool.GetExecuting());
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

QByteArray Extended(long double v) {
  uint8_t b[ExtendedSize];
  ExtendedToBytes(v, b);
  return QByteArray(reinterpret_cast<const char*>(b), ExtendedSize);
}

QByteArray Int(int32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

TEST_F(MigrationToolsTest, AdvancedRecordAndShorterRecordsKeepTheRest) {
  TMigrationAdvTool tool;
  tool.XYProportional = 2.5L;
  tool.DistanceRecept = 0.315L;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected;
  const int32_t end = 4 + 1 + 12 + 1 + 1 + 18 + 1 + 28;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x0c" "MigrationAdv\x21\x09", 15).append(Utf16("Migration")).append("\x01", 1);
  expected.append(Extended(2.5L)).append(Int(20)).append(Int(20)).append(Extended(0.315L));
  EXPECT_EQ(stream.Bytes(), expected);

  // A record ending after SizeHyperbola: DistanceRecept keeps its value.
  TMigrationAdvTool reader;
  reader.DistanceRecept = 0.7L;
  QByteArray body("\x21\x01", 2);
  body.append(Utf16("M")).append("\x00", 1).append(Extended(4.0L)).append(Int(33)).append(Int(44));
  TMemoryStream file;
  file.WriteBuffer(body.constData(), body.size());
  file.WriteBuffer("\x55\x55\x55\x55\x55\x55\x55\x55\x55\x55", 10);  // the next record
  file.SetPosition(0);
  ReadToolRecordBody(reader, file, body.size(), TToolRecordForm::Current, 2);
  EXPECT_EQ(file.Position(), body.size());
  EXPECT_EQ(reader.GetCaption(), "M");
  const TMigrationAdvParam& p = reader.Param[2];
  EXPECT_FALSE(p.Apply);
  EXPECT_EQ(p.XYProportional, 4);
  EXPECT_EQ(p.MinAmpSect, 33);
  EXPECT_EQ(p.SizeHyperbola, 44);
  EXPECT_EQ(p.DistanceRecept, 0.7L);

  // Below format 32 only the format byte; older records: 8-bit caption, Apply, body.
  QByteArray f31("\x1f", 1);
  TMemoryStream s31(f31);
  s31.SetPosition(0);
  reader.ReadFromUniStream(s31, 0);
  EXPECT_EQ(s31.Position(), 1);
  QByteArray old("\x02" "Mo\x01", 4);
  old.append(Extended(1.5L)).append(Int(1)).append(Int(2)).append(Extended(0.25L));
  TMemoryStream sOld(old);
  sOld.SetPosition(0);
  reader.ReadFromStream(sOld, 4);
  EXPECT_EQ(reader.GetCaption(), "Mo");
  EXPECT_EQ(reader.Param[4].XYProportional, 1.5L);
  EXPECT_EQ(reader.Param[4].DistanceRecept, 0.25L);
}

TEST_F(MigrationToolsTest, MetricRecordHasNoBody) {
  TMigrationTool tool;
  tool.AExecuting = false;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected;
  const int32_t end = 4 + 1 + 9 + 1 + 1 + 18 + 1;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x09" "Migration\x21\x09", 12).append(Utf16("Migration")).append("\x00", 1);
  EXPECT_EQ(stream.Bytes(), expected);
  TMigrationTool reader;
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  reader.ReadFromUniStream(stream, 1);
  EXPECT_FALSE(reader.Param[1].Apply);
  EXPECT_TRUE(reader.Param[0].Apply);
}

}  // namespace migration_tools_test
