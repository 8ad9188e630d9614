#pragma once
// THorzWavelet: the horizontal wavelet filter. Every sample row is correlated
// across the traces with one Ricker wavelet whose width is given in traces
// (WidthWindow, twice what the dialog shows). Timescale, dHarmonic,
// HarmonicCount and isInvert are kept and read from records as the wavelet
// filter's, but take no part in the filtering.
//
// The registry knows it by name only: the factory does not create it. Its dialog
// is THorzWaveleterForm. User-interface thread; the kernel runs blocks of traces
// on the worker pool, reading each output trace's neighbours.

#include "tools/tool_base.h"
#include "tools/wavelet_kernel.h"

#include <cstdint>

class T2Dview;

// One channel's set.
struct THorzWaveletParam {
  bool Apply = true;
  int32_t WidthWindow = 50;
};

class THorzWavelet : public TToolBase<THorzWaveletParam> {
public:
  static constexpr uint8_t RecordFormat = 35;
  // Twice the dialog's 1 .. 100: the sampled span 2W and its trimmed kernel fit
  // the line.
  static constexpr int32_t MinWidthWindow = 2;
  static constexpr int32_t MaxWidthWindow = 200;
  // The weight of the one wavelet; with width c a kernel takes part when
  // c x weight >= 0.05.
  static constexpr long double Weight = 10.0L;

  explicit THorzWavelet(uint16_t w = 0);

  int32_t WidthWindow = 50;
  long double Timescale = 1.0L;
  long double dHarmonic = 1.0L;
  int32_t HarmonicCount = 1;
  bool isInvert = false;
  int32_t FWidthArea = 100;

  TWaveletKernels Kernels;

  // The kernel of WidthWindow as harmonic 0 (c = W / 9, centre round(W / 2),
  // span 0 .. 2W - 1); h and n play no part.
  void PrepareLineHarmonic(int32_t n, int h);
  void PrepareLine(int32_t n);
  // The trace offset of the kernel's centre: round(W / 2).
  int32_t KernelCentre() const;

  uint8_t GetVersion() const override { return 16; }
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  TRect GetPluginArea() override { return {0, 0, FWidthArea, 900}; }
  // Stores the given Apply with the WidthWindow in force.
  void SetParam(int32_t NumberView, const void* P) override;
  void SetParameters(const QByteArray& NamePlugin, const void* P) override;
  // Only selects the view's channel set.
  void SetParamView(T2Dview* view) override;

protected:
  THorzWaveletParam PackParams() const override { return {AExecuting, WidthWindow}; }
  void UnpackParams(const THorzWaveletParam& set) override;
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerSlice, TBreakPolicy::RestoreInput};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // THorzWaveleterForm.
  TToolForm* CreateForm() override;
};
