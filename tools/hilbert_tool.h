#pragma once
// THilbert: the Hilbert filter. Every trace becomes its instantaneous envelope or
// its instantaneous frequency from the direct-sum Hilbert transform of the trace
// (HilbertTransformTrace). The traces are independent, so they run on the worker
// pool, each thread taking the next trace as it finishes one, a few traces per
// thread between yields (each trace costs LongTrace^2 extended divisions); a
// break leaves the input and switches the tool off on all channels.

#include "tools/instantaneous_tool.h"

class THilbert : public TInstantaneousTool {
public:
  explicit THilbert(uint16_t w = 0);

protected:
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerTrace, TBreakPolicy::InputApplyOff};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // THilbertForm.
  TToolForm* CreateForm() override;
};
