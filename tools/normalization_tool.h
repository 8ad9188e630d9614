#pragma once
// TNormalizationTrace: the normalisation with a window. Every trace is scaled so
// that the largest amplitude of a Gauss-weighted window of neighbouring traces
// becomes the largest amplitude of the channel (normalization_kernel.h). A break
// leaves the input.
//
// Its dialog is TNormalizationForm. User-interface thread; the kernel runs
// blocks of traces on the worker pool, reading the working parameters only.

#include "tools/tool_base.h"

#include <cstdint>

// One channel's set: Apply and the half window in traces.
struct TNormalizationParam {
  bool Apply = true;
  int32_t WidthWindow = 0;
};

class TNormalizationTrace : public TToolBase<TNormalizationParam> {
public:
  static constexpr uint8_t RecordFormat = 33;

  explicit TNormalizationTrace(uint16_t w = 0);

  int32_t WidthWindow() const { return FWidthInLine; }
  // Stored clamped to 0 .. 300.
  void SetWidthWindow(int32_t value);

  uint8_t GetVersion() const override { return 16; }
  // Widens the channel's progress image to the full panel, then the run protocol.
  void execute(bool first, int32_t NumberView) override;
  // Frame with format 33, then i32 WidthWindow.
  void SaveToStream(TStream& str) override;
  // Caption, Apply, i32 percentage of the channel's traces.
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  // Format 32: caption, Apply, i32 percentage; above 32: caption, Apply, i32
  // WidthWindow.
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;

protected:
  TNormalizationParam PackParams() const override { return {AExecuting, FWidthInLine}; }
  void UnpackParams(const TNormalizationParam& set) override {
    AExecuting = set.Apply;
    SetWidthWindow(set.WidthWindow);
  }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerSlice, TBreakPolicy::RestoreInput};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TNormalizationForm.
  TToolForm* CreateForm() override;

private:
  int32_t FWidthInLine = 0;
  // The window of a percentage of channel NumberView's traces, rounded half to even.
  int32_t WidthFromPercent(int32_t percent, int32_t NumberView) const;
};
