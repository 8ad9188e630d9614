#pragma once
// TWinSubtractTrace: the windowed background removal. Every trace loses the mean
// trace of a window of neighbouring traces (plain running mean, or Gauss-weighted
// over a window that shrinks at the ends; win_subtract_kernel.h). GausseRun and
// KoefGausse are the tool's own, not per channel, and no record holds them.
//
// Its dialog is TWindowSubstrAverageForm. User-interface thread; the kernel runs
// blocks of traces on the worker pool.

#include "tools/tool_base.h"

#include <cstdint>

class T2Dview;

// One channel's set: Apply and the window in traces.
struct TWinSubtractParam {
  bool Apply = true;
  int32_t WidthWindow = 100;
};

class TWinSubtractTrace : public TToolBase<TWinSubtractParam> {
public:
  static constexpr uint8_t RecordFormat = 33;
  static constexpr int32_t MinWidthWindow = 1;
  static constexpr int32_t MaxWidthWindow = 300;
  // The Gauss factor that gives every trace of the window the same weight.
  static constexpr long double EqualWeights = 10.0L;

  explicit TWinSubtractTrace(uint16_t w = 0);

  int32_t WidthWindow() const { return FWidthInLine; }
  // Stored clamped to 1 .. 300.
  void SetWidthWindow(int32_t value);
  bool GausseRun = false;
  long double KoefGausse = EqualWeights;

  uint8_t GetVersion() const override { return 16; }
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // P: a TParametrsWindowedBackgroundRemoval (the settings window's record).
  void SetParam(int32_t NumberView, const void* P) override;
  void SetParameters(const QByteArray& NamePlugin, const void* P) override;
  void SaveParamPlugin(int32_t NumberView) override;
  // The view's channel set in force; the channel's online background removal
  // takes its window and Apply.
  void SetParamView(T2Dview* view) override;

protected:
  TWinSubtractParam PackParams() const override { return {AExecuting, FWidthInLine}; }
  void UnpackParams(const TWinSubtractParam& set) override {
    AExecuting = set.Apply;
    SetWidthWindow(set.WidthWindow);
  }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerSlice, TBreakPolicy::RestoreInput};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TWindowSubstrAverageForm.
  TToolForm* CreateForm() override;

private:
  int32_t FWidthInLine = 100;
  // Window of a format-32 record: a percentage of the channel's traces.
  int32_t WidthFromPercent(int32_t percent, int32_t NumberView) const;
};
