#pragma once
// TMedianTool: the median filter. Every sample becomes the median of a window of
// (2Y + 1) samples x (2X + 1) traces around it (median_kernel.h), to remove
// impulse noise. A break leaves the input and switches the tool off on all
// channels.
//
// Its dialog is TMedianForm. User-interface thread; the kernel runs blocks of
// traces on the worker pool, reading the working parameters only.

#include "tools/tool_base.h"

#include <cstdint>

// One channel's set, as the chain records and the settings window exchange it.
struct TMedianParam {
  bool Apply = true;
  int32_t MedianWindowY = 0;
  int32_t MedianWindowX = 1;
};

class TMedianTool : public TToolBase<TMedianParam> {
public:
  static constexpr uint8_t RecordFormat = 34;
  static constexpr int32_t MaxHalfWindow = 15;

  explicit TMedianTool(uint16_t w = 0);

  // Y: half of the vertical window, samples; X: half of the horizontal window,
  // traces (0 .. 15 from the dialog and the records).
  int32_t MedianWindowY = 0;
  int32_t MedianWindowX = 1;

  uint8_t GetVersion() const override { return 16; }
  // Widens the channel's progress image to the full panel, then the run protocol.
  void execute(bool first, int32_t NumberView) override;
  // Frame with format 34, then i32 Y and i32 X.
  void SaveToStream(TStream& str) override;
  // Caption and Apply only: the window keeps its values.
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  // From format 32: caption, Apply; above 32: Y; above 33: X (each clamped to
  // 0 .. 15).
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;

protected:
  TMedianParam PackParams() const override { return {AExecuting, MedianWindowY, MedianWindowX}; }
  void UnpackParams(const TMedianParam& set) override;
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerSlice, TBreakPolicy::InputApplyOff};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TMedianForm.
  TToolForm* CreateForm() override;
};
