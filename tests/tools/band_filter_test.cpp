// The band filter on real channel stores: the hand-worked impulse responses, the
// pass count, a break, every thread count, damaged settings, the quality and
// frequency properties, the parameter sets, ToolInit, the record and the spectra.

#include "platform/rtl/extended.h"
#include "radargram/tool_messages.h"
#include "tests/tools/frequency_filter_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/band_filter.h"
#include "tools/filter_spectrum.h"
#include "tools/frequency_filter_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace band_filter_test {

using namespace frequency_filter_test_support;
using TTrace = std::vector<int32_t>;

const TTrace kImpulse{0, 0, 1000, 0, 0, 0, 0, 0};

// The constructor's defaults as a set: omega0 300 rad/us, quality 1.
TBandFilterParam DefaultSet(TTypeBandFilter type, bool apply = true) {
  return {apply, type, 48, 1, 300.0L, 2.0L / 300, 1, 3000};
}

class BandFilterTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  TBandFilter tool;
  // 8 samples in 8 ns: dt = 0.001 us.
  std::unique_ptr<T2Dview> view = MakeFilterChannel(3, 8, 8.0, unknown, Repeat(kImpulse, 3));

  void SetUp() override { tool.SetView_(0, view.get()); }
  void Use(const TBandFilterParam& set, int channel = 0) { tool.SetParam(channel, &set); }
};

TEST_F(BandFilterTest, ImpulseThroughBandPassAndBandStop) {
  Use(DefaultSet(BandPassFilter));
  tool.execute(false, 0);
  EXPECT_EQ(ChannelSamples(*view), Repeat({0, 0, 130, 216, 132, 60, 2, -41}, 3));
  EXPECT_EQ(BlockSamples(tool.OutputCopy(0)), ChannelSamples(*view)) << "the output copy";

  Use(DefaultSet(BandStopFilter));
  tool.execute(true, 0);  // from the saved input, the impulse
  EXPECT_EQ(ChannelSamples(*view), Repeat({130, 216, 1132, 60, 133, 177, 196, 195}, 3));
}

TEST_F(BandFilterTest, EachPassFiltersThePreviousOutput) {
  for (TTypeBandFilter type : {BandPassFilter, BandStopFilter}) {
    SCOPED_TRACE(static_cast<int>(type));
    const long double a = 0.001L / (2.0L / 300), b = 300.0L * 300 * 1e-6L;
    TTrace expected = kImpulse;
    for (int pass = 0; pass < 3; ++pass) {
      TTrace next(8);
      (type == BandStopFilter ? BandStopTrace : BandPassTrace)(expected.data(), next.data(), 8, a, b);
      expected = next;
    }
    Use(DefaultSet(type));
    tool.SetRange(3);
    SetSamples(*view, Repeat(kImpulse, 3));
    tool.execute(false, 0);
    EXPECT_EQ(ChannelSamples(*view), Repeat(expected, 3));
  }
}

TEST_F(BandFilterTest, NoPassesOrNoTimeWindowPassTheInput) {
  Use(DefaultSet(BandStopFilter));
  tool.SetRange(0);
  tool.execute(false, 0);
  EXPECT_EQ(ChannelSamples(*view), Repeat(kImpulse, 3));
  EXPECT_EQ(BlockSamples(tool.OutputCopy(0)), Repeat(kImpulse, 3));

  tool.SetRange(1);
  for (double span : {0.0, -8.0, std::nan("")}) {
    SCOPED_TRACE(span);
    view->Settings()->RestoreSpanWidth(span);
    tool.execute(false, 0);
    EXPECT_EQ(ChannelSamples(*view), Repeat(kImpulse, 3));
    tool.GetParam(0);
    EXPECT_EQ(tool.LineFilter.size(), 1u) << "no spectrum lines";
    tool.DrawSpectrum();  // nothing to draw, nothing breaks
  }
}

TEST_F(BandFilterTest, ABreakLeavesTheChannelAndTheOutputCopy) {
  Use(DefaultSet(BandPassFilter));
  tool.execute(false, 0);
  const TTrace firstOutput = ChannelSamples(*view);
  // The chain after the tool changed the channel; the restart at the tool is
  // broken off: neither the channel nor the output copy change.
  SetSamples(*view, TTrace(24, 5));
  Use(DefaultSet(BandStopFilter));
  tool.SetRange(3);
  host.br = true;
  tool.execute(true, 0);
  EXPECT_EQ(ChannelSamples(*view), TTrace(24, 5));
  EXPECT_EQ(BlockSamples(tool.OutputCopy(0)), firstOutput);
  EXPECT_FALSE(tool.runing);
  EXPECT_EQ(host.yields, 0) << "no messages are processed while it filters";
}

TEST_F(BandFilterTest, EveryThreadCountGivesTheSerialResult) {
  const TTrace input = TestTraces(301, 37);
  auto big = MakeFilterChannel(301, 37, 40.0, unknown, input);
  tool.SetView_(1, big.get());
  for (TTypeBandFilter type : {BandPassFilter, BandStopFilter}) {
    TBandFilterParam set = DefaultSet(type);
    set.Omega0 = 2 * std::numbers::pi_v<long double> * 350;
    set.Tau = 0.004L;
    Use(set, 1);
    tool.SetRange(2);
    TTrace expected = input;
    const long double dt = 40.0L / 37000, a = dt / 0.004L, b = set.Omega0 * set.Omega0 * dt * dt;
    for (int t = 0; t < 301; ++t)
      for (int pass = 0; pass < 2; ++pass)
        (type == BandStopFilter ? BandStopTrace : BandPassTrace)(&expected[t * 37], &expected[t * 37], 37, a, b);
    for (int threadCount : {1, 3, 8}) {
      SCOPED_TRACE(testing::Message() << "type " << int{type} << ", threads " << threadCount);
      PoolThreadsScope scope(threadCount);
      SetSamples(*big, input);
      tool.execute(false, 1);
      EXPECT_EQ(ChannelSamples(*big), expected);
    }
  }
}

TEST_F(BandFilterTest, FrequencyKeepsTauAndQualityFollows) {
  EXPECT_EQ(tool.Quality(), 1);
  EXPECT_EQ(tool.Frequency(), 48);  // nearest(300 / 2 pi)
  tool.SetFrequency(191);           // omega0 = 1200.1: omega0 tau / 2 = 4.0004
  EXPECT_EQ(tool.ATau, 2.0L / 300);
  EXPECT_EQ(tool.Quality(), 4);
  tool.SetQuality(10);
  EXPECT_EQ(tool.ATau, 20.0L / tool.AOmega0);
  tool.AOmega0 = 0;
  tool.SetQuality(3);
  EXPECT_EQ(tool.ATau, 6.0L / 300) << "omega0 <= 0 counts as 300";
  tool.ATau = 0;
  EXPECT_EQ(tool.Tau(), 0.005L);
}

TEST_F(BandFilterTest, SetsToolInitAndSetAllParamAs) {
  std::vector<std::unique_ptr<T2Dview>> channels;
  const TTypeGPR units[5] = {Unit03, Unit01, Unit16, unknown, Unit03};
  for (int c = 0; c < 5; ++c) {
    channels.push_back(MakeFilterChannel(2, 8, 8.0, units[c]));
    tool.SetView_(c, channels.back().get());
  }
  tool.ToolInit();
  const int32_t frequencies[5] = {700, 125, 500, 300, 700};
  const int32_t maxima[5] = {1200, 300, 1000, 1500, 1200};
  for (int c = 0; c < 5; ++c) {
    SCOPED_TRACE(c);
    const TBandFilterParam& set = tool.Param[static_cast<size_t>(c)];
    EXPECT_EQ(set.Frequency, frequencies[c]);
    EXPECT_EQ(set.MaxFr, maxima[c]);
    EXPECT_EQ(set.Quality, 1);
    EXPECT_EQ(set.Tau, 2.0L / set.Omega0);
    EXPECT_TRUE(set.Apply);
  }
  EXPECT_EQ(tool.Frequency(), 700) << "channel 0's set in force";
  EXPECT_EQ(tool.MinFr, 125) << "1000 / 8 ns";
  EXPECT_EQ(tool.AxisValue.size(), 9u) << "nearest(8 x 1200 / 1000) = 10 lines, capped at 8 samples, + entry 0";

  tool.GetParam(2);
  tool.SetTypeFilter(BandStopFilter);
  tool.SetExecuting(false);
  tool.SaveParamPlugin(2);
  tool.SetAllParamAs(2);
  for (int c = 0; c < 5; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(tool.Param[static_cast<size_t>(c)].Type, BandStopFilter);
    EXPECT_FALSE(tool.Param[static_cast<size_t>(c)].Apply);
    EXPECT_EQ(tool.Param[static_cast<size_t>(c)].Frequency, frequencies[c]) << "the frequency stays the channel's";
  }
}

TEST_F(BandFilterTest, RecordBytesAndReadBack) {
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected;
  expected.append("\x0a" "BandFilter\x20", 12);
  expected.append(static_cast<char>(16)).append(Utf16Bytes("Band Pass Filter")).append('\x01');
  expected.append(QByteArray::fromHex("00000000000000960740"));  // omega0 300
  expected.append(QByteArray::fromHex("0E74DA40A70D74DAF73F"));  // tau 2/300
  expected.append('\x00').append('\x01');                        // band pass, one pass
  EXPECT_EQ(stream.Bytes().mid(4), expected);

  tool.SetTypeFilter(BandStopFilter);
  tool.SetRange(5);
  tool.AOmega0 = 2 * std::numbers::pi_v<long double> * 250.4L;
  tool.SetCaption("BS");
  TMemoryStream body = WrittenBody(tool);
  TBandFilter other;
  auto channel = MakeFilterChannel(2, 8, 8.0, Unit03);
  other.SetView_(2, channel.get());
  other.ReadFromUniStream(body, 2);
  EXPECT_EQ(body.Position(), body.Size());
  other.GetParam(2);
  EXPECT_EQ(other.AOmega0, tool.AOmega0) << "the band filter keeps omega0 exactly";
  EXPECT_EQ(other.ATau, tool.ATau);
  EXPECT_EQ(other.TypeFilter(), BandStopFilter);
  EXPECT_EQ(other.Range(), 5);
  EXPECT_EQ(other.GetCaption(), "BS");
  EXPECT_EQ(other.MaxFr, 1200) << "the antenna's range";
}

TEST_F(BandFilterTest, OldFormatsAndNonFiniteValuesKeepTheAntennaDefaults) {
  auto channel = MakeFilterChannel(2, 8, 8.0, Unit03);
  tool.SetView_(1, channel.get());
  QByteArray f31("\x1f", 1);
  TMemoryStream s31(f31);
  tool.ReadFromUniStream(s31, 1);
  EXPECT_EQ(tool.Param[1].Frequency, 700);
  EXPECT_EQ(tool.Param[1].MaxFr, 1200);

  QByteArray f32("\x20\x00\x01", 3);
  uint8_t bytes[ExtendedSize];
  ExtendedToBytes(std::numeric_limits<long double>::infinity(), bytes);
  f32.append(reinterpret_cast<const char*>(bytes), ExtendedSize);
  ExtendedToBytes(std::nanl(""), bytes);
  f32.append(reinterpret_cast<const char*>(bytes), ExtendedSize);
  f32.append("\x07\x02", 2);  // no such type: kept
  TMemoryStream s32(f32);
  const long double tau = tool.ATau;
  tool.ReadFromUniStream(s32, 1);
  EXPECT_EQ(tool.Param[1].Omega0, 2 * std::numbers::pi_v<long double> * 700);
  EXPECT_EQ(tool.Param[1].Tau, tau);
  EXPECT_EQ(tool.Param[1].Type, BandPassFilter);
  EXPECT_EQ(tool.Range(), 2);

  // The older record kind is not read at all.
  TBandFilter fresh;
  TMemoryStream old(QByteArray("\x04" "Band\x00", 6));
  fresh.ReadFromStream(old, 0);
  EXPECT_EQ(old.Position(), 0);
  EXPECT_EQ(fresh.Param[0].Frequency, 0) << "the sets stay empty";
}

TEST_F(BandFilterTest, SpectraOfTheShownTraceAndTheFilterResponse) {
  auto channel = MakeFilterChannel(20, 64, 32.0, unknown, TestTraces(20, 64));
  tool.SetView_(0, channel.get());
  Use(DefaultSet(BandStopFilter));
  tool.execute(false, 0);
  tool.GetParam(0);
  const size_t lines = 49;  // nearest(32 x 1500 / 1000) = 48 lines
  tool.MaxFr = 1500;
  tool.LineReAllocMem(0);
  ASSERT_EQ(tool.AxisValue.size(), lines);
  EXPECT_DOUBLE_EQ(tool.AxisValue[3], 3 / 32.0);

  // The shown trace follows the window inside the channel's range only.
  SendMessage(tool.GetHandle(), WM_TOOLTRACECHANGED, 7, 0);
  EXPECT_EQ(tool.CurrentTrace, 7);
  const TTrace input = TestTraces(20, 64);
  const std::vector<double> expected = AmplitudeSpectrum(input.data() + 7 * 64, 64, 48);
  for (size_t k = 1; k < lines; ++k) EXPECT_NEAR(tool.LineInput[k], expected[k], 1e-6 * (1 + expected[k]));
  const std::vector<double> output =
      AmplitudeSpectrum(tool.OutputCopy(0)->Data() + 7 * 64, 64, 48);
  for (size_t k = 1; k < lines; ++k) EXPECT_NEAR(tool.LineOutput[k], output[k], 1e-6 * (1 + output[k]));
  SendMessage(tool.GetHandle(), WM_TOOLTRACECHANGED, 20, 0);
  EXPECT_EQ(tool.CurrentTrace, 7);

  // The band stop's line is the band-pass response negated.
  TTrace impulse(64, 0);
  impulse[3] = 32000000;
  BandPassTrace(impulse.data(), impulse.data(), 64, 0.0005L / (2.0L / 300), 300.0L * 300 * 0.0005L * 0.0005L);
  const std::vector<double> response = AmplitudeSpectrum(impulse.data(), 64, 48);
  for (size_t k = 1; k < lines; ++k) EXPECT_NEAR(tool.LineFilter[k], -response[k], 1e-6 * (1 + response[k]));

  // A trace number outside the stored traces is drawn as the middle trace.
  std::vector<double> middle(lines);
  tool.Draw(0, input.data(), static_cast<int64_t>(input.size()), false, 1000, middle);
  const std::vector<double> ten = AmplitudeSpectrum(input.data() + 10 * 64, 64, 48);
  for (size_t k = 1; k < lines; ++k) EXPECT_NEAR(middle[k], ten[k], 1e-6 * (1 + ten[k]));
}

}  // namespace band_filter_test
