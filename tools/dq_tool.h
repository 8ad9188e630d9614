#pragma once
// TDQ: the DQ filter, the Hilbert filter's twin that builds the envelope through
// the peaks of the squared trace and the phase by direct quadrature (dq_kernel.h).
//
// Envelope mode cannot be interrupted: the channel goes through in blocks of
// traces on the worker pool without yielding. Frequency mode makes the envelopes
// of a block ahead in parallel, then the frequencies trace by trace in order (the
// phase history runs across the traces of the run), yielding after every trace; a
// break leaves the input and switches the tool off on all channels.

#include "tools/instantaneous_tool.h"

class TDQ : public TInstantaneousTool {
public:
  explicit TDQ(uint16_t w = 0);

protected:
  TRunPolicy RunPolicy() const override;
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TDQForm.
  TToolForm* CreateForm() override;
};
