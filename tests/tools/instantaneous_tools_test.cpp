// The Hilbert and DQ filters on real channel stores: their outputs on small
// traces worked out by hand, the four modes on zero traces, the DQ phases that run
// from trace to trace, long traces, any thread count, their parameter sets and
// their chain records.

#include "platform/rtl/streams.h"
#include "tests/tools/tool_test_support.h"
#include "tools/dq_tool.h"
#include "tools/hilbert_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <numeric>
#include <vector>

namespace instantaneous_tools_test {

std::unique_ptr<T2Dview> Channel(const std::vector<int32_t>& samples, int longTrace, double spanWidth) {
  auto view = MakeChannel(static_cast<int64_t>(samples.size()) / longTrace, longTrace);
  view->Settings()->RestoreSpanWidth(spanWidth);
  SetSamples(*view, samples);
  return view;
}

template <class TTool>
std::vector<int32_t> RunTool(T2Dview& view, TOutputType type, bool apply = true) {
  TTool tool;
  tool.SetView_(0, &view);
  TInstantaneousParam set{apply, type};
  tool.SetParam(0, &set);
  tool.execute(false, 0);
  return Samples(view);
}

class InstantaneousToolsTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
};

const std::vector<int32_t> kAlternating{0, 1000, 0, -1000, 0, 1000, 0, -1000};

TEST_F(InstantaneousToolsTest, HilbertGivesTheHandWorkedTraceOnEveryTraceAndThreadCount) {
  std::vector<int32_t> input;
  for (int t = 0; t < 5; ++t) input.insert(input.end(), kAlternating.begin(), kAlternating.end());
  std::vector<int32_t> envelope, frequency;
  for (int t = 0; t < 5; ++t) {
    envelope.insert(envelope.end(), {230, 1009, 594, 1003, 424, 1003, 594, 1009});
    frequency.insert(frequency.end(), {6775, 25000, 23319, 23736, 25000, 25000, 23319, 5725});
  }
  for (int n : {1, 2, 3, 8}) {
    SCOPED_TRACE(n);
    PoolThreadsScope pool(n);
    auto view = Channel(input, 8, 8.0);
    EXPECT_EQ(RunTool<THilbert>(*view, otAmplitude), envelope);
    view = Channel(input, 8, 8.0);
    EXPECT_EQ(RunTool<THilbert>(*view, otFreq), frequency);
  }
  auto view = Channel(input, 8, 8.0);
  EXPECT_EQ(RunTool<THilbert>(*view, otFreq, false), input) << "Apply off passes the input";
}

TEST_F(InstantaneousToolsTest, ZeroTracesGiveZerosInAllFourModes) {
  const std::vector<int32_t> zeros(3 * 16, 0);
  for (TOutputType type : {otAmplitude, otFreq}) {
    auto view = Channel(zeros, 16, 16.0);
    EXPECT_EQ(RunTool<THilbert>(*view, type), zeros) << int{type};
    view = Channel(zeros, 16, 16.0);
    EXPECT_EQ(RunTool<TDQ>(*view, type), zeros) << int{type};
  }
}

// dt = 1 ns: a sine of period P samples is 1 / P GHz, stored as 100000 / P inside
// the trace and halved (one-sided and halved again) at both ends.
TEST_F(InstantaneousToolsTest, HilbertFrequencyOfASine) {
  const int n = 256;
  for (int period : {16, 32}) {
    SCOPED_TRACE(period);
    std::vector<int32_t> sine(n);
    for (int i = 0; i < n; ++i)
      sine[static_cast<size_t>(i)] = static_cast<int32_t>(std::lround(20000 * std::sin(2 * std::numbers::pi * i / period)));
    auto view = Channel(sine, n, n);
    const std::vector<int32_t> f = RunTool<THilbert>(*view, otFreq);
    const double inside = 100000.0 / period;
    const double mean = std::accumulate(f.begin() + n / 4, f.begin() + 3 * n / 4, 0.0) / (n / 2);
    EXPECT_NEAR(mean, inside, 0.02 * inside);
    // The ends are a halved one-sided difference: about a quarter of the inside
    // (the truncated sum bends the phase there, so only the order is sure).
    for (int32_t end : {f.front(), f.back()}) {
      EXPECT_GT(end, inside / 8);
      EXPECT_LT(end, inside / 2);
    }
  }
}

TEST_F(InstantaneousToolsTest, DQFrequencyOfAConstantPositiveTraceIsZero) {
  auto view = Channel(std::vector<int32_t>(2 * 32, 700), 32, 32.0);
  EXPECT_EQ(RunTool<TDQ>(*view, otFreq), std::vector<int32_t>(2 * 32, 0));
  view = Channel(std::vector<int32_t>(2 * 32, 700), 32, 32.0);
  EXPECT_EQ(RunTool<TDQ>(*view, otAmplitude), std::vector<int32_t>(2 * 32, 700));
}

// Trace A (all negative: phase pi throughout) before trace B (-1000 then +1000:
// phase pi, then 0). B's drop at its second sample adds |p2 - p1| to the offset,
// p2 being A's last phase after A and 0 on its own, so B's first samples differ.
TEST_F(InstantaneousToolsTest, DQFrequencyCarriesThePhasesFromTraceToTrace) {
  const std::vector<int32_t> a(8, -1000);
  const std::vector<int32_t> b{-1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000};
  std::vector<int32_t> ab = a;
  ab.insert(ab.end(), b.begin(), b.end());
  for (int n : {1, 4}) {
    SCOPED_TRACE(n);
    PoolThreadsScope pool(n);
    auto pair = Channel(ab, 8, 8.0);
    const std::vector<int32_t> afterA = RunTool<TDQ>(*pair, otFreq);
    auto single = Channel(b, 8, 8.0);
    const std::vector<int32_t> alone = RunTool<TDQ>(*single, otFreq);
    // Alone: u0 = pi, u1 = 0 + (pi + pi); after A: u1 = 0 + (pi + 0). f0 = (u1 - u0) / (8 pi).
    EXPECT_EQ(alone[0], 12500);
    EXPECT_EQ(afterA[8], 0);
    EXPECT_NE(afterA[9], alone[1]);
    EXPECT_EQ(std::vector<int32_t>(afterA.begin(), afterA.begin() + 8), std::vector<int32_t>(8, 0));
  }
}

TEST_F(InstantaneousToolsTest, DQEnvelopeOfA2000SampleTrace) {
  const int n = 2000;
  std::vector<int32_t> sine(n);
  for (int i = 0; i < n; ++i)
    sine[static_cast<size_t>(i)] = static_cast<int32_t>(std::lround(5000 * std::sin(2 * std::numbers::pi * i / 20)));
  auto view = Channel(sine, n, 20.0);
  const std::vector<int32_t> e = RunTool<TDQ>(*view, otAmplitude);
  for (int i = 20; i < n - 20; ++i) EXPECT_NEAR(e[static_cast<size_t>(i)], 5000, 150) << i;
}

// Channels of test traces through both tools give the same channel for any number
// of threads (DQ: the envelopes are made ahead in parallel, the phases in order).
TEST_F(InstantaneousToolsTest, AnyThreadCountGivesTheSameChannel) {
  const std::vector<int32_t> input = TestTraces(67, 24);
  for (TOutputType type : {otAmplitude, otFreq}) {
    std::vector<int32_t> hilbert, dq;
    for (int n : {1, 2, 5, 8}) {
      SCOPED_TRACE(testing::Message() << "type " << int{type} << ", threads " << n);
      PoolThreadsScope pool(n);
      auto view = Channel(input, 24, 12.0);
      const auto h = RunTool<THilbert>(*view, type);
      view = Channel(input, 24, 12.0);
      const auto d = RunTool<TDQ>(*view, type);
      if (n == 1) {
        hilbert = h;
        dq = d;
        EXPECT_NE(h, input);
        EXPECT_NE(d, input);
      }
      EXPECT_EQ(h, hilbert);
      EXPECT_EQ(d, dq);
    }
  }
}

TEST_F(InstantaneousToolsTest, ARunWidensTheChannelsProgressImage) {
  auto view = Channel(kAlternating, 8, 8.0);
  THilbert tool;
  tool.SetView_(2, view.get());
  tool.SetView_(0, view.get());
  tool.execute(false, 2);
  EXPECT_EQ(host.progress, (std::vector<std::pair<int, int>>{{2, 300}}));
}

TEST_F(InstantaneousToolsTest, DefaultsAndParameterSets) {
  THilbert hilbert;
  TDQ dq;
  EXPECT_EQ(hilbert.GetCaption(), "Hilbert Filter");
  EXPECT_EQ(hilbert.AToolName, "HilbertTrans Filter");
  EXPECT_EQ(hilbert.AToolDscr, "1D Filter. It allocates instantaneous envelope of the signal by Hilbert transform");
  EXPECT_EQ(dq.GetCaption(), "DQ Filter");
  EXPECT_EQ(dq.AToolName, "DQTrans Filter");
  EXPECT_EQ(dq.AToolDscr, "1D Filter. It allocates instantaneous envelope of the signal by DQ transform");
  for (TInstantaneousTool* tool : {static_cast<TInstantaneousTool*>(&hilbert), static_cast<TInstantaneousTool*>(&dq)}) {
    EXPECT_EQ(tool->typeOfPlugin, advanced);
    EXPECT_EQ(tool->GetVersion(), 16);
    EXPECT_EQ(tool->FreqInPos, 0);
    EXPECT_TRUE(tool->locDisplay);
    EXPECT_EQ(tool->GetPluginArea(), (TRect{0, 0, 0, 0}));
    for (const TInstantaneousParam& p : tool->Param) {
      EXPECT_TRUE(p.Apply);
      EXPECT_EQ(p.OutputType, otAmplitude);
    }
    TInstantaneousParam set{false, otFreq};
    tool->SetParam(3, &set);
    tool->SetAllParamAs(3);  // not provided: the other sets stay
    EXPECT_EQ(tool->Param[0].OutputType, otAmplitude);
    EXPECT_TRUE(tool->Param[0].Apply);
    tool->SetAllOutputType(otFreq);
    for (const TInstantaneousParam& p : tool->Param) EXPECT_EQ(p.OutputType, otFreq);
    EXPECT_FALSE(tool->Param[3].Apply);
    EXPECT_TRUE(tool->Param[4].Apply);
    tool->GetParam(3);
    EXPECT_FALSE(tool->GetExecuting());
    EXPECT_EQ(tool->OutputType, otFreq);
  }
}

QByteArray Utf16(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

TMemoryStream Body(const QByteArray& afterName) {
  TMemoryStream s(afterName);
  s.SetPosition(0);
  return s;
}

TEST_F(InstantaneousToolsTest, RecordLayout) {
  THilbert tool;
  tool.OutputType = otFreq;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  QByteArray expected;
  const int32_t end = 4 + 1 + 19 + 1 + 1 + 28 + 1 + 10 + 1;
  expected.append(reinterpret_cast<const char*>(&end), 4);
  expected.append("\x13" "HilbertTrans Filter\x21\x0e", 22);
  expected.append(Utf16("Hilbert Filter"));
  expected.append("\x01", 1).append(QByteArray(10, '\0')).append("\x01", 1);
  EXPECT_EQ(stream.Bytes(), expected);

  TDQ dq;
  stream.SetPosition(4);
  ASSERT_EQ(TCommonTool::ReadShortString(stream), "HilbertTrans Filter");
  dq.ReadFromUniStream(stream, 2);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(dq.Param[2].OutputType, otFreq);
  EXPECT_TRUE(dq.Param[2].Apply);
  EXPECT_EQ(dq.Param[1].OutputType, otAmplitude);
}

TEST_F(InstantaneousToolsTest, ReadersKeepOrSetTheOutputTypeByFormat) {
  TDQ tool;
  // Format 33 sets the output type.
  QByteArray f33("\x21\x02", 2);
  f33.append(Utf16("D2")).append("\x00", 1).append(QByteArray(10, '\x7f')).append("\x01", 1);
  auto s33 = Body(f33);
  tool.ReadFromUniStream(s33, 1);
  EXPECT_EQ(tool.Param[1].OutputType, otFreq);
  EXPECT_FALSE(tool.Param[1].Apply);
  EXPECT_EQ(s33.Position(), f33.size());

  // Format 32: 40 bytes, a count and count x 10 bytes passed over; the working
  // output type (envelope here) stays.
  tool.OutputType = otAmplitude;
  QByteArray f32("\x20\x01", 2);
  f32.append(Utf16("D")).append("\x01", 1).append(QByteArray(40, '\x05'));
  const int32_t count = 2;
  f32.append(reinterpret_cast<const char*>(&count), 4).append(QByteArray(20, '\x01'));
  auto s32 = Body(f32);
  tool.ReadFromUniStream(s32, 3);
  EXPECT_EQ(tool.Param[3].OutputType, otAmplitude);
  EXPECT_TRUE(tool.Param[3].Apply);
  EXPECT_EQ(s32.Position(), f32.size());

  // Older records: an 8-bit caption, Apply and the format-32 body.
  tool.OutputType = otFreq;
  QByteArray old("\x02" "DQ\x00", 4);
  old.append(QByteArray(40, '\0')).append(QByteArray("\x00\x00\x00\x00", 4));
  auto sOld = Body(old);
  tool.ReadFromStream(sOld, 4);
  EXPECT_EQ(tool.GetCaption(), "DQ");
  EXPECT_FALSE(tool.Param[4].Apply);
  EXPECT_EQ(tool.Param[4].OutputType, otFreq);
  EXPECT_EQ(sOld.Position(), old.size());

  // A negative count does not step back.
  QByteArray negative("\x20\x00\x01", 3);
  negative.append(QByteArray(40, '\0'));
  const int32_t minus = -5;
  negative.append(reinterpret_cast<const char*>(&minus), 4);
  auto sNeg = Body(negative);
  tool.ReadFromUniStream(sNeg, 0);
  EXPECT_EQ(sNeg.Position(), negative.size());
}

}  // namespace instantaneous_tools_test
