#pragma once
// THilbert: the Hilbert filter. Every trace becomes its instantaneous envelope or
// its instantaneous frequency from the direct-sum Hilbert transform of the trace
// (HilbertTransformTrace). The traces are independent, so they run on the worker
// pool, one trace per thread between yields (each costs LongTrace^2 extended
// divisions); a break leaves the input and switches the tool off on all channels.

#include "tools/instantaneous_tool.h"

class THilbert : public TInstantaneousTool {
public:
  explicit THilbert(uint16_t w = 0);

protected:
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::PerTrace, TYieldPolicy::PerTrace, TBreakPolicy::InputApplyOff};
  }
  void ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const override;
  // THilbertForm.
  TToolForm* CreateForm() override;
};
