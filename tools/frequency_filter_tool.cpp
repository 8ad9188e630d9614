#include "tools/frequency_filter_tool.h"

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "profiledata/channel_store.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/setting_data.h"
#include "tools/filter_spectrum.h"
#include "tools/frequency_filter_form.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {
constexpr long double TwoPi = 2 * std::numbers::pi_v<long double>;

// Traces handed to the filter at once (it steps several side by side).
constexpr int64_t TracesPerCall = 64;

// Traces per worker and round (a tool that looks at the break flag between
// traces does so between rounds).
constexpr int64_t TracesPerRound = 64;

// Clears a flag on every way out.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& flag_;
};

int32_t MiddleTrace(const T2Dview& view) {
  return SaturateToInt32(Round((static_cast<long double>(view.MinNumTraces()) + view.MaxNumTraces()) / 2));
}
}  // namespace

TFrequencyFilterTool::TFrequencyFilterTool(uint16_t w) : TToolProtocol(w) {}

int32_t TFrequencyFilterTool::Frequency() const { return RoundToInt32(AOmega0 / TwoPi); }

void TFrequencyFilterTool::SetFrequency(int32_t f) { AOmega0 = TwoPi * f; }

const TSampleBlock* TFrequencyFilterTool::OutputCopy(int32_t NumberView) const {
  if (NumberView < 0 || NumberView >= ToolChannels) return nullptr;
  const TSampleBlock& copy = locOutputData_[static_cast<size_t>(NumberView)];
  return copy.Empty() ? nullptr : &copy;
}

void TFrequencyFilterTool::FrequencyInit(int32_t NumberView) {
  const T2Dview* view = GetViewByIndx(NumberView);
  if (!view || !view->Settings()) return;
  const TUnitParamExt& unit = UnitParams(view->Settings()->GetTypeGPR());
  MaxFr = RoundToInt32(1000.0L * unit.MaxFreqForFilter);
  SetFrequency(unit.FreqForFilter);
}

void TFrequencyFilterTool::LineReAllocMem(int32_t NumRadar) {
  const T2Dview* view = GetViewByIndx(NumRadar);
  const TSettingData* settings = view ? view->Settings() : nullptr;
  const double span = settings ? settings->GetSpanWidth() : 0;
  int n = 0;
  if (settings && span > 0 && std::isfinite(span)) {
    MinFr = RoundToInt32(1000.0L / span);
    n = SpectrumLineCount(span, MaxFr, settings->GetLongTrace());
  }
  // Damaged settings leave no lines, so no stale spectrum of another channel shows.
  for (std::vector<double>* line : {&LineInput, &LineOutput, &LineFilter, &AxisValue})
    line->assign(static_cast<size_t>(n) + 1, 0.0);
  for (int k = 1; k <= n; ++k) AxisValue[static_cast<size_t>(k)] = k / span;
}

long double TFrequencyFilterTool::SampleInterval(int32_t NumberView) const {
  const T2Dview* view = GetViewByIndx(NumberView);
  const TSettingData* settings = view ? view->Settings() : nullptr;
  if (!settings || settings->GetLongTrace() <= 0) return 0;
  const long double span = settings->GetSpanWidth();
  if (!(span > 0) || !std::isfinite(span)) return 0;
  return span / (static_cast<long double>(settings->GetLongTrace()) * 1000);
}

// ---- Run ---------------------------------------------------------------------------

void TFrequencyFilterTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  if (GetViewByIndx(NumberView)) Host().SetProgressWidth(NumberView, Host().ProgressFullWidth());
  runChannel_ = NumberView;
  filterRan_ = false;
  TToolProtocol::execute(first, NumberView);
  if (!filterRan_ && HasSavedInput(NumberView)) {
    // Apply off: the output is the input.
    TSampleBlock& copy = locOutputData_[static_cast<size_t>(NumberView)];
    const int64_t bytes = GetSizeLocDataByIndx(NumberView);
    if (copy.Bytes() != bytes) copy.Allocate(bytes);
    std::memcpy(copy.Data(), GetLocDataByIndx(NumberView), static_cast<size_t>(bytes));
    SizeLocOutputData = bytes;
  }
  if (Form()) DrawSpectrum();
}

int64_t TFrequencyFilterTool::ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace,
                                             TRunYield&) {
  filterRan_ = true;
  IToolHost& host = Host();
  // Raised before the run: nothing changes.
  if (host.Br()) return traces;
  const T2Dview* view = GetViewByIndx(runChannel_);
  const int64_t bytes = view ? view->SizeDat() : 0;
  const int64_t filtered = std::max<int64_t>(traces, 0) * std::max(longTrace, 0);
  const long double dt = SampleInterval(runChannel_);
  std::memcpy(out, in, static_cast<size_t>(filtered) * sizeof(int32_t));
  bool broke = false;
  if (dt > 0 && ARange > 0 && traces > 0 && longTrace > 0) {
    const auto part = [&](int64_t a, int64_t b) {
      for (int64_t t = a; t < b; t += TracesPerCall) {
        const int count = static_cast<int>(std::min(TracesPerCall, b - t));
        FilterTraces(out + t * longTrace, count, longTrace, dt);
      }
    };
    TWorkerPool& pool = TWorkerPool::Instance();
    const bool betweenTraces = BreakBetweenTraces();
    // Rounds of a few blocks per worker: a worker held up by the machine's load
    // delays one round only.
    const int64_t round = TracesPerRound * pool.ThreadCount();
    for (int64_t done = 0; done < traces && !broke;) {
      const int64_t end = std::min(traces, done + round);
      pool.Run(done, end, part);
      done = end;
      broke = betweenTraces && host.Br();
    }
    broke = broke || host.Br();
  }
  if (broke) {
    // Only another thread could have raised it meanwhile: the channel gets its
    // input back and the output copy stays.
    std::memcpy(out, in, static_cast<size_t>(filtered) * sizeof(int32_t));
    return traces;
  }
  TSampleBlock& copy = locOutputData_[static_cast<size_t>(runChannel_)];
  if (copy.Bytes() != bytes) copy.Allocate(bytes);
  std::memcpy(copy.Data(), out, static_cast<size_t>(filtered) * sizeof(int32_t));
  // Samples past the last whole trace are no trace's: they pass unchanged.
  if (bytes > filtered * 4)
    std::memcpy(reinterpret_cast<char*>(copy.Data()) + filtered * 4, reinterpret_cast<const char*>(in) + filtered * 4,
                static_cast<size_t>(bytes - filtered * 4));
  SizeLocOutputData = bytes;
  return traces;
}

// ---- Record ------------------------------------------------------------------------

void TFrequencyFilterTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  WriteExtended(str, AOmega0);
  WriteExtended(str, ATau);
  str.WriteValue<uint8_t>(ATypeFilter);
  str.WriteValue<uint8_t>(ARange);
}

void TFrequencyFilterTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  FrequencyInit(NumberView);
  TToolRecordFields fields(str);
  const TToolRecordHead head = ReadToolRecordHead(fields);
  if (head.Format > 31) {
    if (head.HasCaption) SetCaption(head.Caption);
    if (head.HasApply) AExecuting = head.Apply;
    // A value that is not finite is passed over: the field keeps its value.
    fields.ReadExtended(AOmega0);
    fields.ReadExtended(ATau);
    uint8_t type = ATypeFilter;
    if (fields.Read(type) && ValidType(type)) ATypeFilter = type;
    fields.Read(ARange);
  }
  AfterRecordRead();
  SaveParamPlugin(NumberView);
}

// ---- Dialog ------------------------------------------------------------------------

int TFrequencyFilterTool::SetPropertyes(bool b) {
  if (Form()) return TToolProtocol::SetPropertyes(b);
  NowRunned = false;
  if (b) {
    CurrentNumberView = 0;
    GetParam(0);
    SetAllApply(true);
    AExecuting = true;
  } else {
    GetParam(CurrentNumberView);
  }
  if (const T2Dview* view = GetViewByIndx(0)) CurrentTrace = MiddleTrace(*view);
  return TToolProtocol::SetPropertyes(b);
}

void TFrequencyFilterTool::AfterChangeNumTrace(int32_t n, int32_t) {
  if (NowRunned) return;
  TFlagScope running(NowRunned);
  const T2Dview* view = GetViewByIndx(CurrentNumberView);
  if (view && n >= view->MinNumTraces() && n < view->MaxNumTraces()) CurrentTrace = n;
  DrawSpectrum();
}

void TFrequencyFilterTool::AfterChangeNumView(int32_t NumView, int32_t OldNumView) {
  if (NumView < 0 || NumView >= ToolChannels || NowRunned) return;
  TToolProtocol::AfterChangeNumView(NumView, OldNumView);
}

void TFrequencyFilterTool::RefreshPropertyes() {
  TToolProtocol::RefreshPropertyes();
  DrawSpectrum();
}

TFrequencyFilterForm* TFrequencyFilterTool::SpectrumForm() const { return dynamic_cast<TFrequencyFilterForm*>(Form()); }

// ---- Spectra -----------------------------------------------------------------------

void TFrequencyFilterTool::Draw(int32_t AView, const int32_t* Buf, int64_t bufSamples, bool line, int64_t tr,
                                std::vector<double>& filter) {
  if (NowDraw) return;
  TFlagScope drawing(NowDraw);
  const T2Dview* view = GetViewByIndx(AView);
  const TSettingData* settings = view ? view->Settings() : nullptr;
  const int longTrace = settings ? settings->GetLongTrace() : 0;
  const long double dt = SampleInterval(AView);
  const int lines = std::min(static_cast<int>(filter.size()) - 1, longTrace);
  if (dt <= 0 || lines <= 0) return;
  std::vector<int32_t> trace(static_cast<size_t>(longTrace), 0);
  if (line) {
    if (SpectrumImpulseSample < longTrace) trace[SpectrumImpulseSample] = SpectrumImpulseValue;
    FilterResponse(trace.data(), longTrace, dt);
  } else {
    if (tr < view->MinNumTraces() || tr >= view->MaxNumTraces()) tr = (view->MinNumTraces() + view->MaxNumTraces()) / 2;
    const int64_t offset = (tr - view->MinNumTraces()) * longTrace;
    if (!Buf || offset < 0 || offset + longTrace > bufSamples) return;
    std::copy_n(Buf + offset, longTrace, trace.begin());
  }
  std::vector<double> spectrum = AmplitudeSpectrum(trace.data(), longTrace, lines);
  if (line && NegatedResponse())
    for (double& v : spectrum) v = -v;
  std::copy(spectrum.begin(), spectrum.end(), filter.begin());
}

void TFrequencyFilterTool::DrawSpectrum() {
  BeforeSpectrum();
  const int32_t channel = CurrentNumberView;
  const T2Dview* view = GetViewByIndx(channel);
  const int32_t* input = GetLocDataByIndx(channel);
  if (!view || !input) return;
  Draw(channel, input, 0, true, 0, LineFilter);
  std::fill(LineInput.begin(), LineInput.end(), 0.0);
  std::fill(LineOutput.begin(), LineOutput.end(), 0.0);
  if (view->NumTraces() > 0) {
    Draw(channel, input, GetSizeLocDataByIndx(channel) / 4, false, CurrentTrace, LineInput);
    if (const TSampleBlock* output = OutputCopy(channel))
      Draw(channel, output->Data(), output->Bytes() / 4, false, CurrentTrace, LineOutput);
  }
  if (Form()) DispSpectrum();
}

void TFrequencyFilterTool::DispSpectrum() {
  TFrequencyFilterForm* form = SpectrumForm();
  if (!form) return;
  const T2Dview* view = GetViewByIndx(CurrentNumberView);
  const bool traces = view && view->NumTraces() > 0;
  form->ShowSpectra(AxisValue, traces ? &LineInput : nullptr, traces && OutputCopy(CurrentNumberView) ? &LineOutput : nullptr,
                    LineFilter);
}
