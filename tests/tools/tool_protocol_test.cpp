// The run protocol around a tool's kernel: yields, breaks and what each break
// policy leaves in the channel, re-entry, deferred dialog requests, failures
// inside the kernel, and results for any number of worker threads.

#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "platform/rtl/rounding.h"
#include "tools/tool_base.h"

#include <gtest/gtest.h>

#include <new>

namespace {

struct TTestSet {
  bool Apply = true;
  int32_t Add = 1000;
};

// Adds a constant to every sample, per trace or as a whole channel, under a
// chosen policy.
class TAddTool : public TToolBase<TTestSet> {
public:
  explicit TAddTool(TRunPolicy policy) : TToolBase<TTestSet>(0), policy_(policy) {
    AToolName = QStringLiteral("Add");
    FillAllSets();
  }
  int32_t Add = 1000;
  bool dialogOpen = false;
  int refreshed = 0;
  int closed = 0;
  bool throwInKernel = false;

  uint8_t GetVersion() const override { return 16; }
  void SaveToStream(TStream&) override {}
  void ReadFromUniStream(TStream&, int32_t) override {}
  void RefreshPropertyes() override { ++refreshed; }

protected:
  TTestSet PackParams() const override { return {AExecuting, Add}; }
  void UnpackParams(const TTestSet& s) override {
    AExecuting = s.Apply;
    Add = s.Add;
  }
  TRunPolicy RunPolicy() const override { return policy_; }
  bool DialogLive() const override { return dialogOpen; }
  void CloseDialog() override { ++closed; }
  void ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const override {
    if (throwInKernel) throw std::bad_alloc();
    for (int64_t i = first * longTrace; i < end * longTrace; ++i) out[i] = SaturateToInt32(int64_t{in[i]} + Add);
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override {
    if (throwInKernel) throw std::bad_alloc();
    for (int64_t t = 0; t < traces; ++t) {
      for (int64_t i = t * longTrace; i < (t + 1) * longTrace; ++i) out[i] = SaturateToInt32(int64_t{in[i]} + Add);
      if (!yield.Continue()) return t + 1;
    }
    return traces;
  }

private:
  TRunPolicy policy_;
};

constexpr int kTraces = 6;
constexpr int kLong = 3;

class ToolProtocolTest : public ::testing::Test {
protected:
  FakeToolHost host;
  HostScope scope{host};
  PoolThreadsScope threads{1};
  std::unique_ptr<T2Dview> view = MakeChannel(kTraces, kLong);
  std::vector<int32_t> input = TestTraces(kTraces, kLong);

  void SetUp() override { SetSamples(*view, input); }

  std::vector<int32_t> Expected(int processedTraces, int32_t add = 1000) const {
    std::vector<int32_t> v = input;
    for (int i = 0; i < processedTraces * kLong; ++i) {
      auto& x = v[static_cast<size_t>(i)];
      x = SaturateToInt32(int64_t{x} + add);
    }
    return v;
  }
};

struct TBreakCase {
  const char* name;
  TRunPolicy policy;
  // Traces that carry the result when the break flag rises at yield 2: the flag
  // is looked at before each yield, so the trace after that yield is done too.
  int processedAfterBreak;
  bool applyCleared;
};

TEST_F(ToolProtocolTest, EachBreakPolicyLeavesItsChannel) {
  const std::vector<TBreakCase> cases{
      {"kept prefix, per trace", {TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::KeepProcessed}, 3, false},
      {"kept prefix, whole channel", {TKernelKind::WholeChannel, TYieldPolicy::PerTrace, TBreakPolicy::KeepProcessed}, 3, false},
      {"input", {TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::RestoreInput}, 0, false},
      {"input, whole channel", {TKernelKind::WholeChannel, TYieldPolicy::PerTrace, TBreakPolicy::RestoreInput}, 0, false},
      {"input and Apply off", {TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::InputApplyOff}, 0, true},
      {"no break", {TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::NoBreak}, kTraces, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetSamples(*view, input);
    host.br = false;
    host.yields = 0;
    host.breakAtYield = 2;
    TAddTool tool(c.policy);
    tool.SetView_(0, view.get());
    tool.execute(false, 0);
    EXPECT_EQ(Samples(*view), Expected(c.processedAfterBreak));
    EXPECT_EQ(tool.GetExecuting(), !c.applyCleared);
    for (const TTestSet& set : tool.Param) EXPECT_EQ(set.Apply, !c.applyCleared);
    EXPECT_EQ(tool.refreshed, c.applyCleared ? 1 : 0) << "the dialog shows Apply cleared";

    // With a restart the result replaces what the channel held, whatever it was.
    if (!c.applyCleared) {
      host.br = false;
      host.yields = 0;
      host.breakAtYield = 1;
      SetSamples(*view, std::vector<int32_t>(kTraces * kLong, 77));
      tool.execute(true, 0);
      const int kept = c.policy.Break == TBreakPolicy::KeepProcessed ? 2 : c.processedAfterBreak;
      EXPECT_EQ(Samples(*view), Expected(kept));
    }
  }
}

TEST_F(ToolProtocolTest, YieldPolicies) {
  {
    TAddTool tool({TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::KeepProcessed});
    tool.SetView_(0, view.get());
    tool.execute(false, 0);
    EXPECT_EQ(host.yields, kTraces);
  }
  {
    host.yields = 0;
    host.br = true;  // never looked at without yields
    SetSamples(*view, input);
    TAddTool tool({TKernelKind::PerTrace, TYieldPolicy::None, TBreakPolicy::KeepProcessed});
    tool.SetView_(0, view.get());
    tool.execute(false, 0);
    EXPECT_EQ(host.yields, 0);
    EXPECT_EQ(Samples(*view), Expected(kTraces));
    host.br = false;
  }
  {
    // Slices: a yield once 50 ms have passed, measured on a hand-driven clock.
    int64_t now = 0;
    SetToolSliceClock([&] { return now += 20; });
    host.yields = 0;
    SetSamples(*view, input);
    TAddTool tool({TKernelKind::WholeChannel, TYieldPolicy::PerSlice, TBreakPolicy::KeepProcessed});
    tool.SetView_(0, view.get());
    tool.execute(false, 0);
    SetToolSliceClock({});
    EXPECT_EQ(host.yields, 2) << "six steps of 20 ms pass 50 ms twice";
    EXPECT_EQ(Samples(*view), Expected(kTraces));
  }
}

TEST_F(ToolProtocolTest, ExecuteFromAYieldDoesNothing) {
  TAddTool tool({TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::KeepProcessed});
  tool.SetView_(0, view.get());
  auto other = MakeChannel(kTraces, kLong);
  SetSamples(*other, input);
  tool.SetView_(1, other.get());
  host.onYield = [&](int n) {
    if (n == 1) {
      EXPECT_TRUE(tool.runing);
      tool.execute(false, 1);
      tool.execute(false, 0);
    }
  };
  tool.execute(false, 0);
  EXPECT_FALSE(tool.runing);
  EXPECT_EQ(Samples(*view), Expected(kTraces)) << "processed once";
  EXPECT_EQ(Samples(*other), input);
  EXPECT_FALSE(tool.HasSavedInput(1));
}

TEST_F(ToolProtocolTest, DialogRequestsDuringTheRunAreCarriedOutAtItsEnd) {
  TAddTool tool({TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::KeepProcessed});
  tool.SetView_(0, view.get());
  tool.dialogOpen = true;
  tool.Param[2].Add = 5;
  tool.CurrentNumberView = 2;
  host.onYield = [&](int n) {
    if (n == 1) tool.NeedToDel = true;
  };
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), Expected(kTraces)) << "channel 0's set";
  EXPECT_EQ(tool.Add, 5) << "the dialog's channel is loaded again";
  EXPECT_EQ(tool.closed, 1);
  EXPECT_FALSE(tool.NeedToDel);
  Application->ProcessMessages();
  // The dialog's close reaches the tool, which tells the window the dialog is gone.
  EXPECT_EQ(host.messages, (std::vector<TRecordedMessage>{{WM_TOOLDELETE, 0, 0}, {WM_TOOLFORMHIDDEN, 0, 0}}));

  host.onYield = [&](int n) {
    if (n == 1) tool.NeedToClose = true;
  };
  host.yields = 0;
  host.messages.clear();
  tool.execute(false, 0);
  EXPECT_EQ(tool.closed, 2);
  EXPECT_FALSE(tool.NeedToClose);
  Application->ProcessMessages();
  EXPECT_EQ(host.messages, (std::vector<TRecordedMessage>{{WM_TOOLFORMHIDDEN, 0, 0}}));
}

TEST_F(ToolProtocolTest, ASetStoredFromInsideTheRunIsStoredWithoutWaiting) {
  TAddTool tool({TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::KeepProcessed});
  tool.SetView_(0, view.get());
  int yieldsDuringSave = -1;
  host.onYield = [&](int n) {
    if (n != 1) return;
    tool.Add = 7;  // a dialog handler changes the working parameters ...
    const int before = host.yields;
    tool.SaveParamPlugin(3);  // ... and stores them
    yieldsDuringSave = host.yields - before;
  };
  tool.execute(false, 0);
  EXPECT_EQ(yieldsDuringSave, 0) << "no wait for a run that cannot end meanwhile";
  EXPECT_EQ(tool.Param[3].Add, 7);
}

TEST_F(ToolProtocolTest, AFailingKernelLeavesTheInputAndReachesTheCaller) {
  for (TKernelKind kind : {TKernelKind::PerTrace, TKernelKind::WholeChannel}) {
    TAddTool tool({kind, TYieldPolicy::PerTrace, TBreakPolicy::KeepProcessed});
    tool.SetView_(0, view.get());
    tool.execute(false, 0);
    ASSERT_EQ(Samples(*view), Expected(kTraces));
    tool.throwInKernel = true;
    EXPECT_THROW(tool.execute(true, 0), std::bad_alloc);
    EXPECT_EQ(Samples(*view), input) << "the restart's input replaces the stale result";
    EXPECT_FALSE(tool.runing);
    SetSamples(*view, input);
  }
}

TEST_F(ToolProtocolTest, ResultsAreTheSameForAnyThreadCountAndBreaksKeepAPrefix) {
  auto big = MakeChannel(1000, 37);
  const std::vector<int32_t> data = TestTraces(1000, 37);
  std::vector<int32_t> reference;
  for (int threadCount : {1, 2, 8}) {
    SCOPED_TRACE(threadCount);
    PoolThreadsScope scope(threadCount);
    host.br = false;
    host.breakAtYield = -1;
    for (TYieldPolicy yield : {TYieldPolicy::PerTrace, TYieldPolicy::PerSlice, TYieldPolicy::None}) {
      SetSamples(*big, data);
      TAddTool tool({TKernelKind::PerTrace, yield, TBreakPolicy::KeepProcessed});
      tool.SetView_(0, big.get());
      tool.execute(false, 0);
      if (reference.empty()) reference = Samples(*big);
      EXPECT_EQ(Samples(*big), reference);
    }
    // The flag rises at the third yield: four rounds of one trace per thread are done.
    host.br = false;
    host.yields = 0;
    host.breakAtYield = 3;
    SetSamples(*big, data);
    TAddTool tool({TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::KeepProcessed});
    tool.SetView_(0, big.get());
    tool.execute(false, 0);
    const std::vector<int32_t> out = Samples(*big);
    const int64_t kept = 4 * threadCount;
    for (int64_t i = 0; i < 1000 * 37; ++i) {
      const auto s = static_cast<size_t>(i);
      ASSERT_EQ(out[s], i < kept * 37 ? reference[s] : data[s]) << "sample " << i;
    }
  }
}

}  // namespace
