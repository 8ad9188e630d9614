#pragma once
// TWavelet: the wavelet filter tool (not the online stage PluginsOnline::TWavelet,
// whose kernel builder it shares). Every trace is correlated with Ricker
// wavelets of the time scale and of 2H neighbouring scales (harmonics), the
// correlations summed; with invert the output is the input less that sum.
//
// Its dialog is TWaveleterForm. User-interface thread; the kernel runs blocks of
// traces on the worker pool, reading the kernels built before the run.

#include "tools/tool_base.h"
#include "tools/wavelet_kernel.h"

#include <cstdint>

class T2Dview;
class TToolRecordFields;

// One channel's set.
struct TWaveletParam {
  bool Apply = true;
  long double Timescale = 2.0L;
  int32_t HarmonicCount = 1;
  long double dHarmonic = 1.0L;
  bool isInvert = false;
};

// The wavelet values of a record (formats 32 to 34 and the older form); the
// horizontal wavelet filter reads the same bodies.
struct TWaveletRecordValues {
  long double Timescale = 2.0L;
  bool isInvert = false;
  int32_t HarmonicCount = 1;
  long double dHarmonic = 1.0L;
};
// The body after the Apply byte by format: 32 the fourth of ten int32 values
// (N: 10000 / (15 N) ns, 1.6 for N = 0; the rest is left for the frame's end to
// skip); 33 the time scale with one harmonic, step 1.0, no invert; 34 and above
// time scale, invert, count and step. Fields the record lacks, and time scales or
// steps that are not finite, keep their values.
void ReadWaveletRecordBody(TToolRecordFields& fields, uint8_t format, TWaveletRecordValues& values);
// The older form's body: as format 32.
void ReadOldWaveletRecordBody(TToolRecordFields& fields, TWaveletRecordValues& values);

class TWavelet : public TToolBase<TWaveletParam> {
public:
  static constexpr uint8_t RecordFormat = 34;
  static constexpr int32_t MaxHarmonicCount = 2 * TWaveletKernels::MaxHalf + 1;
  // A harmonic whose width c x weight is below this takes no part.
  static constexpr long double MinWidthWeight = 0.05L;

  explicit TWavelet(uint16_t w = 0);

  long double Timescale = 2.0L;   // ns
  long double dHarmonic = 1.0L;   // ns
  bool isInvert = false;
  int32_t GetHarmonicCount() const { return AHarmonicCount; }
  // Clamped to 1 .. 19; HarmonicHalf := (count - 1) div 2.
  void SetHarmonicCount(int32_t value);
  int32_t HarmonicHalf() const { return FHarmonicHalf; }
  int32_t FWidthArea = 100;

  // The kernels of the last PrepareLine.
  TWaveletKernels Kernels;

  // The kernel of harmonic h for channel n's sample interval.
  void PrepareLineHarmonic(int32_t n, int h);
  // Every harmonic -H .. H.
  void PrepareLine(int32_t n);
  // In simple mode, a positive time scale of channel n's antenna unit that
  // differs from Timescale replaces it and is stored in set n.
  void ChangeTimescaleIfNoCorrect(int32_t n);
  // The harmonic step's bound L = Int(10 T / (count / 2)) / 10 (count halved as a
  // real number, Int truncating); a step above T / (count / 2) becomes L.
  // Returns L, the step edit's maximum.
  long double ApplyHarmonicStepBound();
  // The sample interval of channel n in ns (0 without settings).
  long double SampleInterval(int32_t n) const;

  uint8_t GetVersion() const override { return 16; }
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // While adding, each channel's set takes its antenna unit's time scale first.
  int SetPropertyes(bool b) override;
  TRect GetPluginArea() override { return {0, 0, FWidthArea, 900}; }
  // P: a TParametrsWavelet (the settings window's record).
  void SetParam(int32_t NumberView, const void* P) override;
  void SetParameters(const QByteArray& NamePlugin, const void* P) override;
  void SaveParamPlugin(int32_t NumberView) override;
  // The view's channel set in force; the channel's online wavelet stage takes
  // the time scale and Apply (not the harmonics or invert).
  void SetParamView(T2Dview* view) override;

protected:
  TWaveletParam PackParams() const override {
    return {AExecuting, Timescale, AHarmonicCount, dHarmonic, isInvert};
  }
  void UnpackParams(const TWaveletParam& set) override;
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::PerTrace, TYieldPolicy::PerSlice, TBreakPolicy::RestoreInput};
  }
  void ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const override;
  // TWaveleterForm.
  TToolForm* CreateForm() override;

private:
  int32_t AHarmonicCount = 1;
  int32_t FHarmonicHalf = 0;
  // The antenna unit's time scale of channel n's view; 0 without one.
  long double AntennaTimescale(int32_t n) const;
};
