#pragma once
// TToolProtocol: the run protocol every chain tool's execute follows, around the
// tool's kernel.
//
//  1. A run while one runs (reached through message processing) returns at once.
//  2. GetParam(channel).
//  3. first = false: the channel's display buffer is saved as the tool's input.
//     first = true: the input saved by the last run is used; without one of the
//     channel's current size the run does nothing (HasSavedInput tells the
//     caller, who then recomputes the channel from the top).
//  4. Apply set: the kernel writes the display buffer from the saved input, in
//     blocks of traces on the worker pool, yielding between blocks as the yield
//     policy says and stopping when the window's break flag is set; what a stop
//     leaves in the channel is the break policy's. Apply clear: the input is
//     written back unchanged.
//  5. With the dialog live, the working parameters are again those of the channel
//     the dialog shows.
// A close or delete of the dialog requested during the run is carried out when it
// ends. An exception from the kernel (an allocation failure) leaves the input in
// the channel and goes on to the caller.

#include "tools/common_tool.h"

#include <cstdint>
#include <functional>

enum class TKernelKind : uint8_t {
  PerTrace,      // ProcessTraces: each trace from its own input trace
  WholeChannel,  // ProcessChannel: the channel as a whole
};

enum class TYieldPolicy : uint8_t {
  PerTrace,  // after every trace (block of one trace per thread)
  PerSlice,  // when ToolYieldSliceMs have passed since the last yield
  None,      // never; the run cannot be stopped
  BreakOnly,  // never; the break flag is still looked at between blocks
};

enum class TBreakPolicy : uint8_t {
  KeepProcessed,  // traces processed so far stay, the rest is the input
  RestoreInput,   // the channel holds the tool's input
  InputApplyOff,  // the input, Apply cleared in every set and in the dialog
  NoBreak,        // the break flag is not looked at
};

struct TRunPolicy {
  TKernelKind Kernel = TKernelKind::PerTrace;
  TYieldPolicy Yield = TYieldPolicy::PerTrace;
  TBreakPolicy Break = TBreakPolicy::KeepProcessed;
};

constexpr int64_t ToolYieldSliceMs = 50;

// The clock of the slice policy in milliseconds; an empty function restores the
// steady clock (tests drive it by hand).
void SetToolSliceClock(std::function<int64_t()> clock);

// The yield points of one run.
class TRunYield {
public:
  TRunYield(IToolHost& host, TYieldPolicy policy, bool breakable);
  // Between blocks: false when the run is to stop (the break flag is set);
  // otherwise yields to the message loop when the policy says so.
  bool Continue();
  bool Broke() const { return broke_; }

private:
  IToolHost& host_;
  TYieldPolicy policy_;
  bool breakable_;
  bool broke_ = false;
  int64_t lastYield_ = 0;
};

// Traces [0, traces) on the worker pool in rounds of `perRound` chunks per
// thread, `chunk` traces each (taken in turn by whichever thread is free), with
// yield.Continue() between rounds. Gives the traces done: all of them, or those
// before the round the run stopped after.
int64_t RunTracesInRounds(int64_t traces, int64_t chunk, int64_t perRound,
                          const std::function<void(int64_t, int64_t)>& part, TRunYield& yield);

class TToolProtocol : public TCommonTool {
public:
  using TCommonTool::TCommonTool;
  void execute(bool first, int32_t NumberView) override;

protected:
  virtual TRunPolicy RunPolicy() const = 0;
  // Traces [first, end) of `in` into the same traces of `out` (both the whole
  // channel, trace after trace). Called from several threads at once on disjoint
  // trace ranges: reads the working parameters only.
  virtual void ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const;
  // The whole channel from `in` into `out`; calls yield.Continue() between its
  // blocks and returns how many leading traces are finished (all of them unless
  // it stopped).
  virtual int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield);

private:
  class TRunScope;
  void RunKernel(const int32_t* in, int32_t* out, int64_t samples, int64_t traces, int longTrace);
};
