#pragma once
// The online processing stages of a channel, run on a copy of every new trace
// while a radar records: wavelet filter, then windowed background removal, then
// gain (PluginsOnline::TWavelet, TWindowedBackgroundRemoval, PluginsOnline::TTVGC).
// TDeviceOffset measures the radar's zero offset on raw traces; TComparator only
// keeps its parameters. Each trace is processed in place; a stage that is off
// leaves it unchanged.
//
// The stages belong to their channel store (T2Dview, may be nullptr in tests) and
// read its scan settings: trace length L, time window, antenna unit. They are
// owned by the channel's stage set (online_stages.h), not by the store's component
// tree, so that the store frees them exactly once.
//
// User-interface thread only. The runing flag of a stage makes a nested call (from
// a message loop re-entered while a trace is processed) do nothing.

#include "platform/rtl/rounding.h"
#include "radar/online_parameters.h"
#include "radar/trace_capacity.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

class T2Dview;
class TRadar;
class TSettingData;

namespace PluginsOnline {

// Samples a trace array has room for.
constexpr int32_t TraceArrayLength = LastArrayLength;

class TOnlinePlugins {
public:
  explicit TOnlinePlugins(T2Dview* owner) : FOwner(owner) {}
  virtual ~TOnlinePlugins() = default;
  TOnlinePlugins(const TOnlinePlugins&) = delete;
  TOnlinePlugins& operator=(const TOnlinePlugins&) = delete;

  // Whole-channel pass and drawing: nothing of the system runs them on a stage.
  virtual void Draw() {}
  virtual void Execute(bool /*first*/) {}
  virtual void ExecuteLastTrace(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) = 0;
  virtual void Init() = 0;
  // Takes a parameter record of the stage's own kind; any other changes nothing.
  virtual void SetOnlineParameters(const TOnlineParametrs& /*P*/) {}

  bool GetExecuting() const { return AExecuting; }
  void SetExecuting(bool value) { AExecuting = value; }
  bool Running() const { return runing; }

  T2Dview* Owner() const { return FOwner; }

  bool Applay = false;
  bool Visible = false;

  // Called while a trace is processed, with the stage running: the point where a
  // message loop re-entered by the caller could deliver a parameter change.
  std::function<void()> DuringTrace;

protected:
  // The owner's scan settings, or nullptr.
  TSettingData* Settings() const;
  // Samples to process: the channel's LongTrace (n without settings), never more
  // than the n the caller passed.
  int32_t SamplesOf(int32_t n) const;
  // A copy runs, so that the hook may replace or clear itself.
  void RunHook() {
    if (!DuringTrace) return;
    const std::function<void()> hook = DuringTrace;
    hook();
  }

  T2Dview* FOwner;
  bool AExecuting = true;
  bool runing = false;
};

// Correlation of each trace with a Ricker wavelet of the time scale.
class TWavelet : public TOnlinePlugins {
public:
  static constexpr int LineLength = 900;  // samples of the wavelet before trimming
  static constexpr int LineCentre = 450;
  static constexpr long double Threshold = 0.0001L;  // smallest tap kept at the ends

  explicit TWavelet(T2Dview* owner);

  void ExecuteLastTrace(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) override;
  // Timescale := the antenna unit's wavelet time scale (3.0 without settings);
  // PrepareLine.
  void Init() override;
  void SetOnlineParameters(const TOnlineParametrs& P) override;

  // Builds CorFunc from Timescale and the sample interval dt = SpanWidth / L:
  // line[j] = 2 (1 - u^2) e^(-u^2/2) / sqrt(3 s pi^(1/4)), u = dt (j - 450) / s,
  // s = Timescale / 3.4; trimmed to the taps of magnitude >= 0.0001 and divided by
  // the sum of their magnitudes. No sample interval or time scale: no taps, and
  // the stage leaves traces unchanged.
  void PrepareLine();
  // In simple mode the antenna unit's wavelet time scale wins over the stored one.
  void ChangeTimescaleIfNoCorrect();

  long double Timescale = 1.0L;
  int32_t CorLength = 0;
  std::vector<long double> CorFunc;  // CorLength taps
  int32_t start = 0, stop = -1;

private:
  std::vector<long double> line;
  std::vector<int32_t> input_;  // scratch copy of the trace
};

// The wavelet filter's sum over one trace in[0..n-1] into out[0..n-1]: out[k] is
// the chain acc := round(acc + in[k + d - h] x taps[d]) over d = 0 .. count - 1 in
// extended precision, acc from 0, h = round(count / 2), taps whose sample lies
// outside in[0..n-2] skipped (the last sample is never read); then rounded to
// int32. WaveletSumExact runs the chain itself; WaveletSum gets the same bits from
// double products summed exactly, with AVX2 where the processor has it and
// allowAvx2 is set, and falls back to the chain for an output whose rounding the
// doubles cannot decide. in and out must not overlap.
void WaveletSumExact(const int32_t* in, int32_t n, const long double* taps, int32_t count, int32_t* out);
void WaveletSum(const int32_t* in, int32_t n, const long double* taps, int32_t count, int32_t* out,
                bool allowAvx2 = true);

// A Ricker wavelet sampled at j = 0 .. count - 1 into line (zeroed first, at least
// count entries kept), then trimmed and normalised into CorFunc:
//   line[j] = 2 b (1 - u^2) e^(-u^2/2) / sqrt(3 c pi^(1/4)),  u = (j - centre) dt / c
// start := the first j with |line[j]| >= 0.0001 (at most count - 1), stop := the
// last one (at least 0); CorFunc[i] := line[start + i] / (sum of |line[start..stop]|),
// CorLength := stop - start + 1. Without a positive, finite c or dt, or with
// c x b below minWidthWeight, line stays zero and there are no taps (CorLength 0;
// the zero line trims to start = count - 1, stop = 0). The weight b thus only decides whether the wavelet takes part:
// the normalisation divides it out again.
void PrepareRickerTaps(long double c, long double dt, long double b, int centre, int count, long double minWidthWeight,
                       std::vector<long double>& line, int32_t& start, int32_t& stop, int32_t& CorLength,
                       std::vector<long double>& CorFunc);

// The wavelet filter's taps for a time scale and the sample interval of the
// scan settings (see TWavelet::PrepareLine): PrepareRickerTaps with c = Timescale
// / 3.4, dt = SpanWidth / L, centre 450 of 900 samples. The wavelet filter tool
// builds each harmonic with its weight b and the rule that a harmonic with
// c x b below 0.05 has no taps; the online stage and its dialog take b = 1 and
// no such rule. line holds at least LineLength samples.
void PrepareWaveletTaps(long double Timescale, const TSettingData* settings, std::vector<long double>& line,
                        int32_t& start, int32_t& stop, int32_t& CorLength, std::vector<long double>& CorFunc,
                        long double weight = 1.0L, long double minWidthWeight = 0.0L);

// out[i] := round(x[i] - sums[i] / divisor) for i = 0 .. n - 1, half to even and
// saturated to int32: a trace less the mean of a window of traces whose
// per-sample sums are given. out may be x.
template <class TSum>
inline void SubtractWindowMean(const int32_t* x, const TSum* sums, long double divisor, int32_t* out, int64_t n) {
  for (int64_t i = 0; i < n; ++i)
    out[i] = RoundToInt32Fast(static_cast<long double>(x[i]) - static_cast<long double>(sums[i]) / divisor);
}

// SubtractWindowMean for whole sums (|sums[i]| < 2^49) and a whole divisor from 1
// to 2^18, the same bits in doubles: x - s / d = (x d - s) / d is exact in its
// numerator, a half only when the quotient is exactly one (then both forms hold it
// exactly), and otherwise at least 1 / (2 d) from a half, far beyond either form's
// rounding error. out may be x.
void SubtractWindowMeanOfWholeSums(const int32_t* x, const long double* sums, int32_t divisor, int32_t* out,
                                   int64_t n);

class TWindowedBackgroundRemoval : public TOnlinePlugins {
public:
  // The queue holds at most W + 1 traces and has room for 303.
  static constexpr int32_t MaxWidthWindow = 302;
  static constexpr int32_t MaxCountTraces = 20000;

  explicit TWindowedBackgroundRemoval(T2Dview* owner) : TOnlinePlugins(owner) {}

  // Each trace loses the mean of the traces held so far (itself included), divided
  // by min(C, W) + 1; see the .cpp.
  void ExecuteLastTrace(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) override;
  // SumV sized to L and zeroed, held traces released, C := 0.
  void Init() override;
  // While a trace is processed the change waits until it is done; then the window
  // starts afresh.
  void SetOnlineParameters(const TOnlineParametrs& P) override;

  int32_t WidthWindow = 100;
  int32_t CountTraces = 0;
  std::vector<long double> SumV;
  std::deque<std::vector<int32_t>> arIndexTraces;
  int32_t tempWidthWindow = 100;
  bool tempApplay = false;
  bool tempGetParam = false;

private:
  void Apply(int32_t width, bool applay);
};

// Time-varying gain along the trace from a gain curve.
class TTVGC : public TOnlinePlugins {
public:
  explicit TTVGC(T2Dview* owner);

  // trace[k] := round(trace[k] x Rval[round(k x H / L)]), H the curve's height.
  void ExecuteLastTrace(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) override;
  void Init() override;
  void SetOnlineParameters(const TOnlineParametrs& P) override;

  TListOfDots ListofBaseDots;
  int32_t ListDotsHeight = 0;

private:
  // The curve row of each sample, kept while L and the curve's height stay.
  std::vector<int32_t> rows_;
  int32_t rowsHeight_ = -1;
};

// round(x x g) in extended precision, saturated to int32 (RoundToInt32Fast): from
// the double product where it decides the rounding, from the extended one where it
// lies within its error of a half, is too large, or is not a number.
int32_t GainProductRounded(int32_t x, long double g);

// Zero offset of the radar: the mean level of the lower two thirds of the raw
// traces, sent to the radar as its new zero offset.
class TDeviceOffset : public TOnlinePlugins {
public:
  static constexpr int32_t MaxCountTraces = 20000;
  static constexpr long double OffsetScale = 4096.0L / 131071.0L;

  explicit TDeviceOffset(T2Dview* owner);

  void ExecuteLastTrace(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) override;
  // MinTraceDepth := round(L / 3) (100 without settings), sums cleared.
  void Init() override;
  // Sends the measured offset to the channel's radar (see the .cpp).
  void CalculateOffset();
  // The same with an explicit radar (nullptr: only FinishDeviceOffset is computed).
  void CalculateOffset(TRadar* radar);

  int32_t MinTraceDepth = 100;
  int32_t CountTraces = 0;
  long double NakoplMidleAmp = 0;
  int32_t FinishDeviceOffset = 0;
};

// Amplitude threshold of the comparator display: parameters only.
class TComparator : public TOnlinePlugins {
public:
  explicit TComparator(T2Dview* owner) : TOnlinePlugins(owner) {}
  void ExecuteLastTrace(int32_t*, int32_t) override {}
  void Init() override {}

  int32_t Threshold = 30000;
  int32_t ThresholdMax = 0;
  int32_t locThreshold = 0;
  bool locExecuting = false;
};

}  // namespace PluginsOnline
