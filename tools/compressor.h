#pragma once
// TCompressor: the nonlinear amplifier. Every sample goes through an arctangent
// curve scaled to the channel's largest sample A (compressor_kernel.h): weak
// samples are amplified, strong ones limited, A keeps its order of magnitude.
//
// The arctangent costs about 90 ns a sample in extended precision, so a run makes
// an exact table of the curve over 0 .. A when A is not larger than the channel's
// sample count and evaluates it directly otherwise; both give the same samples.
// The run never yields; a break flag found set leaves the channel's input. Its
// dialog is TCompressorForm. User-interface thread; the loops run on the worker
// pool.

#include "tools/tool_base.h"

#include <cstdint>

// One channel's set: Apply and the compression coefficient.
struct TCompressorParam {
  bool Apply = true;
  int32_t Base = 200;
};

class TCompressor : public TToolBase<TCompressorParam> {
public:
  static constexpr uint8_t RecordFormat = 32;
  // The dialog's range of Base.
  static constexpr int32_t MinBase = 50;
  static constexpr int32_t MaxBase = 1000;

  explicit TCompressor(uint16_t w = 0);

  int32_t Base = 200;

  uint8_t GetVersion() const override { return 16; }
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;

  // The slope factor of the curve: Base div 25.
  int32_t SlopeFactor() const { return Base / 25; }
  // With the dialog open: its chart shows the curve of Base.
  void PrepareCurve();

protected:
  TCompressorParam PackParams() const override { return {AExecuting, Base}; }
  void UnpackParams(const TCompressorParam& set) override {
    AExecuting = set.Apply;
    Base = set.Base;
  }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::BreakOnly, TBreakPolicy::RestoreInput};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TCompressorForm.
  TToolForm* CreateForm() override;
};
