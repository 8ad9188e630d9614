#pragma once
// TFrequencyFilterTool: what the band filter and the low/high-pass filter share.
//
// The frequency is set in MHz and held as the angular frequency AOmega0 in rad/us
// (2 pi x MHz); its defaults and the dialog's range come from the channel's
// antenna unit (FrequencyInit). Both keep a copy of their last output per channel
// and show, in their dialog, the amplitude spectra of one trace (CurrentTrace)
// before and after the filter and the filter's own impulse response. Both write
// the same record body after the frame (format 32): omega0 and tau as 10-byte
// extended values, the type byte and the pass count.
//
// A tool runs its recursive filter Range times over every trace (all passes of a
// trace one after the other; traces on the worker pool, so the result is the
// same for any thread count). No messages are processed while it filters, so the
// window's break flag can only have been raised before the run: found set, the
// channel's display buffer and the output copy stay as they were. (Each tool
// looks at it again where its rule says, after the passes or between traces.)
//
// Each tool keeps its own parameter sets (TToolBase on top of this class), its
// recurrence and its record's read-back rules. User-interface thread only;
// NowDraw and NowRunned guard against nested window messages.

#include "profiledata/sample_block.h"
#include "tools/tool_protocol.h"

#include <array>
#include <cstdint>
#include <vector>

class TFrequencyFilterForm;

class TFrequencyFilterTool : public TToolProtocol {
public:
  static constexpr uint8_t RecordFormat = 32;

  explicit TFrequencyFilterTool(uint16_t w);

  // ---- Fields ----------------------------------------------------------------
  long double ATau = 0;     // resonator time constant, us (the band filter's)
  long double AOmega0 = 0;  // rad/us
  uint8_t ARange = 1;       // passes
  uint8_t ATypeFilter = 0;  // the tool's filter type
  int32_t MinFr = 1;        // the dialog's frequency range, MHz
  int32_t MaxFr = 3000;
  // The trace (absolute number) whose spectra are shown.
  int32_t CurrentTrace = 1;
  bool NowDraw = false;
  bool NowRunned = false;
  // Spectra, entries 1..n (entry 0 unused); AxisValue[k] = k / SpanWidth, GHz.
  std::vector<double> LineInput, LineOutput, LineFilter, AxisValue;
  int64_t SizeLocOutputData = 0;

  // ---- Properties --------------------------------------------------------------
  uint8_t Range() const { return ARange; }
  void SetRange(uint8_t value) { ARange = value; }
  // nearest(omega0 / 2 pi); writing f sets omega0 := 2 pi f.
  int32_t Frequency() const;
  void SetFrequency(int32_t f);
  // The last output of a channel (nullptr while it has none).
  const TSampleBlock* OutputCopy(int32_t NumberView) const;

  // MaxFr := nearest(1000 x MaxFreqForFilter) and Frequency := FreqForFilter of
  // the channel's antenna unit; nothing without the channel.
  void FrequencyInit(int32_t NumberView);
  // For a channel with a positive time window: MinFr := nearest(1000 /
  // SpanWidth) and the spectrum arrays for n = nearest(SpanWidth x MaxFr / 1000)
  // lines (at most the trace length); otherwise no lines.
  void LineReAllocMem(int32_t NumRadar);

  // ---- Overrides ---------------------------------------------------------------
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  // Records of the older kind are not read: the tool keeps its defaults.
  void ReadFromStream(TStream&, int32_t) override {}
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // Before the dialog opens: adding takes channel 0 with Apply on in every set,
  // editing the current channel's set; the shown trace is channel 0's middle one.
  int SetPropertyes(bool b) override;
  // A trace inside the current channel's range becomes the shown trace; the
  // spectra are recomputed.
  void AfterChangeNumTrace(int32_t n, int32_t y) override;
  void AfterChangeNumView(int32_t NumView, int32_t OldNumView) override;
  // The dialog's controls, then the spectra.
  void RefreshPropertyes() override;

  // ---- Spectra -------------------------------------------------------------------
  // The current channel's lines: the filter response whenever its saved input
  // exists; with traces, the input and output lines of CurrentTrace (no output
  // line before the tool made an output copy); then DispSpectrum.
  void DrawSpectrum();
  // The lines into the dialog's chart ("Input" and "Output" only with traces).
  void DispSpectrum();
  // Fills `filter` for channel AView: with `line` the impulse response, else trace
  // `tr` of Buf (a trace outside the stored ones: the middle trace).
  void Draw(int32_t AView, const int32_t* Buf, int64_t bufSamples, bool line, int64_t tr, std::vector<double>& filter);

protected:
  // The tool's filter over `count` traces of n samples in place, all passes, for
  // sample interval dt (us); the coefficients are those of the working parameters.
  virtual void FilterTraces(int32_t* traces, int count, int n, long double dt) const = 0;
  // The response drawn as the "Filter" line, in place on the impulse trace.
  virtual void FilterResponse(int32_t* trace, int n, long double dt) const = 0;
  virtual bool NegatedResponse() const { return false; }
  // Whether the break flag is looked at between traces (else after the passes).
  virtual bool BreakBetweenTraces() const = 0;
  // Whether a type byte read from a record names one of the tool's types.
  virtual bool ValidType(uint8_t type) const = 0;
  // After a record's fields are in, before the channel's set takes them.
  virtual void AfterRecordRead() {}
  // DrawSpectrum's first step.
  virtual void BeforeSpectrum() {}

  TRunPolicy RunPolicy() const override { return {TKernelKind::WholeChannel, TYieldPolicy::None, TBreakPolicy::NoBreak}; }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;

  // The sample interval of a channel in us, 0 when its settings give none.
  long double SampleInterval(int32_t NumberView) const;
  TFrequencyFilterForm* SpectrumForm() const;

private:
  std::array<TSampleBlock, ToolChannels> locOutputData_;
  // The channel execute is running on, and whether the filter ran.
  int32_t runChannel_ = 0;
  bool filterRan_ = false;
};
