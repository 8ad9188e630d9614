// The low/high-pass filter on real channel stores: the hand-worked constant
// responses, the pass count and its coefficient, a break, every thread count,
// the frequency snapped to whole MHz, the record and the filter's spectrum line.

#include "radargram/tool_messages.h"
#include "tests/tools/frequency_filter_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/filter_spectrum.h"
#include "tools/filter_tool.h"
#include "tools/frequency_filter_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace filter_tool_test {

using namespace frequency_filter_test_support;
using TTrace = std::vector<int32_t>;
constexpr long double kTwoPi = 2 * std::numbers::pi_v<long double>;

TFilterParam Set(TTypeFilter type, int32_t frequency, int32_t range, bool apply = true) {
  return {apply, type, frequency, range, kTwoPi * frequency, 1, 3000};
}

class FilterToolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TFilter tool;
  // 8 samples in 0.8 ns: dt = 0.0001 us.
  std::unique_ptr<T2Dview> view = MakeFilterChannel(2, 8, 0.8, unknown, TTrace(16, 1000));

  void SetUp() override { tool.SetView_(0, view.get()); }
  void Use(const TFilterParam& set, int channel = 0) { tool.SetParam(channel, &set); }
};

TEST_F(FilterToolTest, DefaultsAndAConstantThroughBothTypes) {
  EXPECT_EQ(tool.GetCaption(), "LPF/HPF");
  EXPECT_EQ(tool.AToolName, "Filter");
  EXPECT_EQ(tool.Frequency(), 250);
  EXPECT_EQ(tool.TypeFilter(), LowPassFilter);
  EXPECT_EQ(tool.Range(), 1);

  Use(Set(LowPassFilter, 250, 1));
  tool.execute(false, 0);
  EXPECT_EQ(ChannelSamples(*view), Repeat({136, 253, 354, 442, 518, 583, 640, 689}, 2));
  Use(Set(HighPassFilter, 250, 1));
  tool.execute(true, 0);
  EXPECT_EQ(ChannelSamples(*view), Repeat({864, 747, 646, 558, 482, 417, 360, 311}, 2));
  EXPECT_EQ(BlockSamples(tool.OutputCopy(0)), ChannelSamples(*view));
}

TEST_F(FilterToolTest, FourPassesUseHalfTheCoefficientEach) {
  const long double dt = 0.0001L, omega0 = kTwoPi * 250;
  for (TTypeFilter type : {LowPassFilter, HighPassFilter}) {
    SCOPED_TRACE(static_cast<int>(type));
    const long double c = type == LowPassFilter ? 1 / (2 * omega0 * dt) : 2 / (dt * omega0);
    TTrace expected(8, 1000);
    for (int pass = 0; pass < 4; ++pass)
      (type == LowPassFilter ? LowPassTrace : HighPassTrace)(expected.data(), expected.data(), 8, c);
    Use(Set(type, 250, 4));
    SetSamples(*view, TTrace(16, 1000));
    tool.execute(false, 0);
    EXPECT_EQ(ChannelSamples(*view), Repeat(expected, 2));
    EXPECT_EQ(tool.Coefficient(dt), c);
  }
}

TEST_F(FilterToolTest, ABreakOrNoPassesLeaveWhatTheyShould) {
  Use(Set(LowPassFilter, 250, 0));
  tool.execute(false, 0);
  EXPECT_EQ(ChannelSamples(*view), TTrace(16, 1000)) << "no pass: the input";

  Use(Set(LowPassFilter, 250, 2));
  SetSamples(*view, TTrace(16, -3));
  host.br = true;
  tool.execute(true, 0);
  EXPECT_EQ(ChannelSamples(*view), TTrace(16, -3));
  EXPECT_EQ(BlockSamples(tool.OutputCopy(0)), TTrace(16, 1000)) << "the output copy of the run before";
}

TEST_F(FilterToolTest, EveryThreadCountGivesTheSerialResult) {
  const TTrace input = TestTraces(211, 53);
  auto big = MakeFilterChannel(211, 53, 30.0, unknown, input);
  tool.SetView_(3, big.get());
  for (TTypeFilter type : {LowPassFilter, HighPassFilter}) {
    Use(Set(type, 420, 3), 3);
    TTrace expected = input;
    const long double c = tool.Param[3].Range, dt = 30.0L / 53000;
    const long double coefficient =
        type == LowPassFilter ? 1 / (std::sqrt(c) * kTwoPi * 420 * dt) : std::sqrt(c) / (dt * kTwoPi * 420);
    for (int t = 0; t < 211; ++t)
      for (int pass = 0; pass < 3; ++pass)
        (type == LowPassFilter ? LowPassTrace : HighPassTrace)(&expected[t * 53], &expected[t * 53], 53, coefficient);
    for (int threadCount : {1, 2, 8}) {
      SCOPED_TRACE(testing::Message() << "type " << int{type} << ", threads " << threadCount);
      PoolThreadsScope scope(threadCount);
      SetSamples(*big, input);
      tool.execute(false, 3);
      EXPECT_EQ(ChannelSamples(*big), expected);
    }
  }
}

TEST_F(FilterToolTest, OmegaZeroReadsAs250AndAStoredOmegaSnapsToWholeMHz) {
  tool.AOmega0 = 0;
  tool.SetRange(3);
  tool.SetTypeFilter(HighPassFilter);
  TMemoryStream zero = WrittenBody(tool);
  TFilter reader;
  reader.ReadFromUniStream(zero, 1);
  reader.GetParam(1);
  EXPECT_EQ(reader.AOmega0, kTwoPi * 250);
  EXPECT_EQ(reader.Range(), 3);
  EXPECT_EQ(reader.TypeFilter(), HighPassFilter);

  tool.AOmega0 = kTwoPi * 250.4L;
  TMemoryStream odd = WrittenBody(tool);
  reader.ReadFromUniStream(odd, 2);
  EXPECT_EQ(reader.Param[2].Frequency, 250);
  reader.GetParam(2);
  EXPECT_EQ(reader.AOmega0, kTwoPi * 250) << "loaded as 2 pi x 250";

  // A format of 31 or less keeps what the antenna gives.
  auto channel = MakeFilterChannel(2, 8, 8.0, Unit16);
  reader.SetView_(4, channel.get());
  TMemoryStream old(QByteArray("\x1f", 1));
  reader.ReadFromUniStream(old, 4);
  EXPECT_EQ(reader.Param[4].Frequency, 500);
  EXPECT_EQ(reader.Param[4].MaxFr, 1000);
}

TEST_F(FilterToolTest, TheRecordCarriesTauItNeverSets) {
  TMemoryStream stream;
  tool.SaveToStream(stream);
  const QByteArray bytes = stream.Bytes();
  // frame: end (4), name "Filter" (7), format, caption "LPF/HPF" (1 + 14), Apply
  const int body = 4 + 7 + 1 + 15 + 1;
  EXPECT_EQ(static_cast<uint8_t>(bytes[11]), 32);
  EXPECT_EQ(bytes.mid(body + 10, 10), QByteArray(10, '\0')) << "tau 0";
  EXPECT_EQ(bytes.mid(body + 20), QByteArray("\x01\x01", 2)) << "low pass, one pass";
  EXPECT_EQ(bytes.size(), body + 22);
}

TEST_F(FilterToolTest, ToolInitTakesEachChannelsAntenna) {
  std::vector<std::unique_ptr<T2Dview>> channels;
  const TTypeGPR units[5] = {Unit01, Unit03, unknown, Unit16, Unit01};
  for (int c = 0; c < 5; ++c) {
    channels.push_back(MakeFilterChannel(2, 8, 8.0, units[c]));
    tool.SetView_(c, channels.back().get());
  }
  tool.ToolInit();
  const int32_t frequencies[5] = {125, 700, 300, 500, 125};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(tool.Param[static_cast<size_t>(c)].Frequency, frequencies[c]) << c;
  EXPECT_EQ(tool.Frequency(), 125);
  EXPECT_EQ(tool.Range(), 1);
}

TEST_F(FilterToolTest, TheFilterLineIsItsOwnResponseNeverNegated) {
  auto channel = MakeFilterChannel(9, 32, 16.0, unknown, TestTraces(9, 32));
  tool.SetView_(0, channel.get());
  Use(Set(HighPassFilter, 600, 3));
  tool.execute(false, 0);
  SendMessage(tool.GetHandle(), WM_TOOLTRACECHANGED, 2, 0);
  EXPECT_EQ(tool.CurrentTrace, 2);
  const int lines = SpectrumLineCount(16.0, 3000, 32);
  ASSERT_EQ(tool.LineFilter.size(), static_cast<size_t>(lines) + 1);
  TTrace impulse(32, 0);
  impulse[3] = 32000000;
  const long double dt = 16.0L / 32000, c = std::sqrt(3.0L) / (dt * kTwoPi * 600);
  for (int pass = 0; pass < 3; ++pass) HighPassTrace(impulse.data(), impulse.data(), 32, c);
  const std::vector<double> response = AmplitudeSpectrum(impulse.data(), 32, lines);
  for (int k = 1; k <= lines; ++k) {
    EXPECT_GT(tool.LineFilter[static_cast<size_t>(k)], 0.0);
    EXPECT_NEAR(tool.LineFilter[static_cast<size_t>(k)], response[static_cast<size_t>(k)], 1e-6 * response[static_cast<size_t>(k)]);
  }
}

}  // namespace filter_tool_test
