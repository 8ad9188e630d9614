// The test-signal generator on real channel stores: the hyperbola geometry worked
// out by hand, the input scale and the noise, the amplitude decrease, the second
// hyperbola over the first, a break, any thread count, and its chain record.

#include "platform/rtl/streams.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tools/imaging/gen_test_kernel.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/tool_protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace gen_test_tool_test {

using imaging_test_support::MakeWheelChannel;
using imaging_test_support::TWheelChannel;

// 40 traces x 120 samples; one sample is SpanWidth / LongTrace x SpeedLight /
// 2000 = 120 / 120 x 100 / 2000 = 0.05 m deep and a trace step of 100 mm is two
// of them (r = 2). Time zero at sample 10.
TWheelChannel Geometry() {
  TWheelChannel c;
  c.traces = 40;
  c.longTrace = 120;
  c.nullShift = 10;
  c.speed = 100;
  c.spanWidth = 120;
  c.wheelStep = 100;
  return c;
}

class GenTestToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TGenTestTool tool;

  void SetUp() override { tool.RandomSeed = 1234; }

  // Hyperbola 1 only (hyperbola 2 has no width) on a zero channel.
  std::vector<int32_t> Run(T2Dview& view, const TGenTestParam& set) {
    tool.SetView_(0, &view);
    tool.SetParam(0, &set);
    tool.execute(false, 0);
    return Samples(view);
  }
  static int32_t At(const std::vector<int32_t>& v, int64_t trace, int sample, int longTrace = 120) {
    return v[static_cast<size_t>(trace * longTrace + sample)];
  }
};

TEST_F(GenTestToolTest, TheHyperbolaArrivesWhereTheGeometrySays) {
  auto view = MakeWheelChannel(Geometry(), {});
  tool.DistanceRecept = 0;
  tool.SizeParabol1 = 12;
  tool.SizeParabol2 = 0;
  // Apex 50 samples below time zero at trace 20, amplitude 1000, 10 % less at the ends.
  const auto out = Run(*view, {true, 100, 0, 20, 60, 0, 0, 1000, 0, 10, 0});
  EXPECT_DOUBLE_EQ(static_cast<double>(tool.GridStepSectX), 0.1);
  EXPECT_DOUBLE_EQ(static_cast<double>(tool.GridStepSectY), 0.05);
  EXPECT_EQ(At(out, 20, 60), 1000) << "the apex";
  // Offset 10: round(sqrt(50^2 + (10 x 2)^2)) = round(53.85) = 54 samples below
  // time zero; the amplitude 1000 - 10 x (10 / 100 / 12) x 1000 = 916.67.
  EXPECT_EQ(At(out, 30, 10 + 54), 917);
  EXPECT_EQ(At(out, 10, 10 + 54), 917);
  int points = 0;
  for (int32_t v : out) points += v != 0;
  EXPECT_EQ(points, 25) << "one point per trace of the width";
}

TEST_F(GenTestToolTest, TheSpacingWidensTheHyperbolaAndAnApexAboveTimeZeroStaysAtY) {
  tool.SizeParabol1 = 5;
  tool.SizeParabol2 = 0;
  // Spacing 1 m: h = 1 / 0.05 / 2 = 10 samples; apex 20 below time zero:
  // m = sqrt(400 + 100) = 22.3607, offset 5 at
  // round(sqrt(500 + 10^2) + 10 - (22.3607 - 20)) = round(24.4949 + 7.6393) = 32.
  {
    auto view = MakeWheelChannel(Geometry(), {});
    tool.DistanceRecept = 1.0L;
    const auto out = Run(*view, {true, 100, 0, 20, 30, 0, 0, 700, 0, 0, 0});
    EXPECT_EQ(At(out, 20, 30), 700);
    EXPECT_EQ(At(out, 25, 32), 700) << "no decrease: the apex amplitude to the ends";
    EXPECT_EQ(At(out, 15, 32), 700);
  }
  // An apex 6 samples above time zero, no spacing: the apex is at Y and the
  // branches descend from there (offset 3: round(sqrt(36 + 36) + 10 - 12) = 6).
  {
    auto view = MakeWheelChannel(Geometry(), {});
    tool.DistanceRecept = 0;
    const auto out = Run(*view, {true, 100, 0, 20, 4, 0, 0, 500, 0, 0, 0});
    EXPECT_EQ(At(out, 20, 4), 500);
    EXPECT_EQ(At(out, 23, 6), 500);
    EXPECT_EQ(At(out, 17, 6), 500);
  }
}

TEST_F(GenTestToolTest, TheDecreaseRunsFromTheApexToTheEnds) {
  tool.DistanceRecept = 0;
  tool.SizeParabol1 = 8;
  tool.SizeParabol2 = 0;
  for (int32_t decrease : {0, 99}) {
    SCOPED_TRACE(decrease);
    auto view = MakeWheelChannel(Geometry(), {});
    const auto out = Run(*view, {true, 100, 0, 20, 40, 0, 0, 10000, 0, decrease, 0});
    std::vector<int32_t> row;
    for (int64_t t = 12; t <= 28; ++t) {
      const int32_t* trace = out.data() + t * 120;
      row.push_back(*std::max_element(trace, trace + 120));
    }
    EXPECT_EQ(row.front(), decrease == 0 ? 10000 : 100) << "the ends keep 100 - decrease per cent";
    EXPECT_EQ(row.back(), row.front());
    EXPECT_EQ(row[8], 10000);
    EXPECT_TRUE(std::is_sorted(row.begin(), row.begin() + 9));
  }
}

TEST_F(GenTestToolTest, TheSecondHyperbolaWinsWhereTheyCrossAndItsZerosLetTheInputThrough) {
  tool.DistanceRecept = 0;
  tool.SizeParabol1 = 3;
  tool.SizeParabol2 = 3;
  const std::vector<int32_t> input = TestTraces(40, 120);
  auto view = MakeWheelChannel(Geometry(), input);
  // The same apex: hyperbola 2 (amplitude 2, falling to 0 at its ends) covers
  // hyperbola 1; where it rounds to 0 the input shows.
  const auto out = Run(*view, {true, 100, 0, 20, 50, 20, 50, 900, 2, 0, 100});
  EXPECT_EQ(At(out, 20, 50), 2);
  EXPECT_EQ(At(out, 21, 50), 1);  // round(2 - 1 x (1 / 3) x 2) = round(1.33)
  const int s3 = static_cast<int>(Round(std::sqrt(1600.0L + 36) + 10));
  EXPECT_EQ(At(out, 23, s3), At(input, 23, s3)) << "amplitude 0: no hyperbola, hyperbola 1 erased";
}

TEST_F(GenTestToolTest, ScaleAndNoise) {
  tool.SizeParabol1 = 0;
  tool.SizeParabol2 = 0;
  const std::vector<int32_t> input = TestTraces(40, 120);
  // 100 % without noise keeps the input exactly, extremes included.
  {
    auto view = MakeWheelChannel(Geometry(), input);
    EXPECT_EQ(Run(*view, {true, 100, 0, 20, 50, 20, 50, 1, 1, 0, 0}), input);
  }
  // 0 % leaves the noise: uniform 0 .. 9, every value drawn.
  {
    auto view = MakeWheelChannel(Geometry(), input);
    const auto out = Run(*view, {true, 0, 10, 20, 50, 20, 50, 1, 1, 0, 0});
    std::vector<int> counts(10);
    for (int32_t v : out) {
      ASSERT_GE(v, 0);
      ASSERT_LE(v, 9);
      ++counts[static_cast<size_t>(v)];
    }
    for (int c : counts) EXPECT_NEAR(c, 480, 90);
    // The seed gives the same noise again, another seed other noise.
    auto again = MakeWheelChannel(Geometry(), input);
    EXPECT_EQ(Run(*again, {true, 0, 10, 20, 50, 20, 50, 1, 1, 0, 0}), out);
    tool.RandomSeed = 99;
    auto other = MakeWheelChannel(Geometry(), input);
    EXPECT_NE(Run(*other, {true, 0, 10, 20, 50, 20, 50, 1, 1, 0, 0}), out);
  }
  // Scale per cent, rounded halves to even, the product in 64 bits, saturated.
  {
    const int32_t max = std::numeric_limits<int32_t>::max(), min = std::numeric_limits<int32_t>::min();
    std::vector<int32_t> small(40 * 120, 0);
    const std::vector<int32_t> samples{3, 5, -3, -5, 7, max, min, 1};
    std::copy(samples.begin(), samples.end(), small.begin());
    auto view = MakeWheelChannel(Geometry(), small);
    auto out = Run(*view, {true, 150, 0, 20, 50, 20, 50, 1, 1, 0, 0});
    EXPECT_EQ(std::vector<int32_t>(out.begin(), out.begin() + 8),
              (std::vector<int32_t>{4, 8, -4, -8, 10, max, min, 2}));
    view = MakeWheelChannel(Geometry(), small);
    out = Run(*view, {true, 2000000, 0, 20, 50, 20, 50, 1, 1, 0, 0});
    EXPECT_EQ(std::vector<int32_t>(out.begin(), out.begin() + 8),
              (std::vector<int32_t>{60000, 100000, -60000, -100000, 140000, max, min, 20000}));
  }
}

// The scale's fast form (in doubles) and its 64-bit form give the extended
// quotient rounded halves to even, saturated; the noise is added in 64 bits.
TEST(GenTestKernel, ScaleIsTheRoundedQuotientForEveryMultiplier) {
  std::vector<int32_t> in = TestTraces(3, 97);
  for (int32_t v : {50, -50, 150, -150, 250, 1, -1, 0}) in.push_back(v);
  std::vector<int32_t> out(in.size());
  for (int32_t mult : {-150, -1, 1, 37, 99, 101, 999999, 1048575, 1048576, 2000000000}) {
    SCOPED_TRACE(mult);
    ScaleAndNoise(in.data(), out.data(), 0, static_cast<int64_t>(in.size()), mult, 0, 0);
    for (size_t j = 0; j < in.size(); ++j)
      ASSERT_EQ(out[j], RoundToInt32(static_cast<long double>(mult) * in[j] / 100)) << in[j];
  }
  ScaleAndNoise(in.data(), out.data(), 5, static_cast<int64_t>(in.size()) + 5, 100, 1000, 3);
  for (size_t j = 0; j < in.size(); ++j)
    ASSERT_EQ(out[j], SaturateToInt32(int64_t{in[j]} + NoiseAt(3, static_cast<int64_t>(j) + 5, 1000)));
}

TEST_F(GenTestToolTest, ApplyClearPassesAndNoDepthStepWritesNoHyperbola) {
  tool.SizeParabol1 = 5;
  const std::vector<int32_t> input = TestTraces(40, 120);
  auto view = MakeWheelChannel(Geometry(), input);
  EXPECT_EQ(Run(*view, {false, 0, 10, 20, 50, 20, 60, 900, 900, 0, 0}), input);
  TWheelChannel flat = Geometry();
  flat.spanWidth = 0;  // no time window: no depth step
  view = MakeWheelChannel(flat, std::vector<int32_t>(40 * 120, 0));
  const auto out = Run(*view, {true, 100, 0, 20, 50, 20, 60, 900, 900, 0, 0});
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int32_t v) { return v == 0; }));
}

TEST_F(GenTestToolTest, AnyThreadCountGivesTheSameChannelAndABreakKeepsTheTracesDone) {
  TWheelChannel c = Geometry();
  c.traces = 300;
  c.longTrace = 1024;  // 64 traces per thread between two yields
  const std::vector<int32_t> input = TestTraces(300, 1024);
  const TGenTestParam set{true, 75, 1000, 20, 50, 200, 60, 900, 900, 0, 0};
  std::vector<int32_t> first;
  for (int n : {1, 3, 8}) {
    PoolThreadsScope pool(n);
    auto view = MakeWheelChannel(c, input);
    const auto out = Run(*view, set);
    if (first.empty()) first = out;
    EXPECT_EQ(out, first) << n << " threads";
  }
  // Every pass of the slice clock is a yield; the first raises the break, which
  // the next look ends the run at: two rounds of 64 traces are done. The runs
  // above yield on the steady clock whenever a round takes a slice (a loaded
  // machine), so the break is set for the first yield from here on.
  int64_t now = 0;
  SetToolSliceClock([&now] { return now += 1000; });
  host.breakAtYield = host.yields + 1;
  auto view = MakeWheelChannel(c, input);
  const auto out = Run(*view, set);
  SetToolSliceClock({});
  const size_t done = 128 * 1024;
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + done, first.begin())) << "the traces generated so far";
  EXPECT_TRUE(std::equal(out.begin() + done, out.end(), input.begin() + done)) << "the rest is the input";
  EXPECT_TRUE(tool.GetExecuting());
}

TEST_F(GenTestToolTest, DefaultsAndSets) {
  EXPECT_EQ(tool.GetCaption(), "Generate Test");
  EXPECT_EQ(tool.AToolName, "GenTest");
  EXPECT_EQ(tool.AToolDscr, "1D Filter. Generate Test");
  EXPECT_EQ(tool.typeOfPlugin, advanced);
  EXPECT_EQ(tool.GetVersion(), 16);
  EXPECT_EQ(tool.SizeParabol1, 50);
  EXPECT_EQ(tool.SizeParabol2, 40);
  EXPECT_EQ(tool.DistanceRecept, 0.32L);
  for (const TGenTestParam& p : tool.Param) {
    EXPECT_TRUE(p.Apply);
    EXPECT_EQ((std::vector<int32_t>{p.MultInputSignal, p.SetRandom, p.X1, p.Y1, p.X2, p.Y2, p.TopAmp1, p.TopAmp2,
                                    p.DecAmpPercent1, p.DecAmpPercent2}),
              (std::vector<int32_t>{100, 0, 100, 150, 200, 100, 1000, 2000, 5, 5}));
  }
  TGenTestParam set{false, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  tool.SetParam(2, &set);
  tool.SetAllParamAs(2);
  tool.GetParam(4);
  EXPECT_FALSE(tool.GetExecuting());
  EXPECT_EQ(tool.DecAmpPercent2, 10);
  EXPECT_EQ(tool.X1, 3);
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

QByteArray Ints(std::initializer_list<int32_t> values) {
  QByteArray b;
  for (int32_t v : values) b.append(reinterpret_cast<const char*>(&v), 4);
  return b;
}

TEST_F(GenTestToolTest, RecordLayoutAndReaders) {
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected;
  const int32_t end = 4 + 1 + 7 + 1 + 1 + 26 + 1 + 40;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x07" "GenTest\x21\x0d", 10).append(Utf16("Generate Test")).append("\x01", 1);
  expected.append(Ints({100, 0, 100, 150, 200, 100, 1000, 2000, 5, 5}));
  EXPECT_EQ(stream.Bytes(), expected);

  // Any format byte is followed by the caption and Apply; the tool-wide values stay.
  tool.SizeParabol1 = 7;
  tool.SizeParabol2 = 8;
  tool.DistanceRecept = 1.25L;
  QByteArray body("\x05\x02", 2);
  body.append(Utf16("G2")).append("\x00", 1).append(Ints({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  TMemoryStream uni(body);
  uni.SetPosition(0);
  tool.ReadFromUniStream(uni, 3);
  EXPECT_EQ(uni.Position(), body.size());
  EXPECT_EQ(tool.GetCaption(), "G2");
  EXPECT_FALSE(tool.Param[3].Apply);
  EXPECT_EQ(tool.Param[3].DecAmpPercent2, 10);
  EXPECT_EQ(tool.Param[3].MultInputSignal, 1);
  EXPECT_EQ(tool.SizeParabol1, 7);
  EXPECT_EQ(tool.SizeParabol2, 8);
  EXPECT_EQ(tool.DistanceRecept, 1.25L);
  EXPECT_TRUE(tool.Param[2].Apply) << "other channels' sets stay";

  // Older records: an 8-bit caption, Apply and the ten values.
  QByteArray old("\x03" "Old\x01", 5);
  old.append(Ints({11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
  TMemoryStream older(old);
  older.SetPosition(0);
  tool.ReadFromStream(older, 1);
  EXPECT_EQ(tool.GetCaption(), "Old");
  EXPECT_TRUE(tool.Param[1].Apply);
  EXPECT_EQ(tool.Param[1].X1, 13);
  EXPECT_EQ(tool.Param[1].DecAmpPercent2, 20);
}

}  // namespace gen_test_tool_test
