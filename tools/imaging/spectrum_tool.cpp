#include "tools/imaging/spectrum_tool.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/chart.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/tool_messages.h"
#include "tools/imaging/spectrum_form.h"
#include "tools/saved_copies.h"
#include "tools/tool_host.h"
#include "tools/tool_record.h"
#include "tools/tool_strings.h"

#include <algorithm>
#include <cstring>

namespace {
// Sets a re-entry flag for a scope.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& flag_;
};
}  // namespace

TSpectrum::TSpectrum(uint16_t w) : TToolBase<TSpectrumParam>(w) {
  // The registry name is the English text whatever the language: chain records
  // carry it, and the window finds tools by it.
  AToolName = QString::fromUtf16(SSpectrumToolName.english);
  AToolDscr = LoadResString(SSpectrumDescription);
  SetCaption(LoadResString(SSpectrumCaption));
  AExecuting = true;
  typeOfPlugin = simple;
  FillAllSets();
  CurrentNumberView = 0;
  LoadIcons(QStringLiteral("SPECTRUM_ICON1"), QStringLiteral("SPECTRUM_ICON2"));
}

TSpectrum::~TSpectrum() = default;

TDlgSpectrum* TSpectrum::Dialog() const { return dynamic_cast<TDlgSpectrum*>(Form()); }

TToolForm* TSpectrum::CreateForm() { return TComponent::Create<TDlgSpectrum>(Application); }

const T2Dview* TSpectrum::CurrentView() const { return GetViewByIndx(CurrentNumberView); }

const TSampleBlock* TSpectrum::dezoDataSave() const {
  return TSavedCopyStore::Instance().Peek(CopyOwner(), CurrentNumberView);
}

TSpectrumSamples TSpectrum::InputSamples() const {
  TSpectrumSamples s;
  const T2Dview* view = CurrentView();
  if (!view || !view->Settings()) return s;
  const int longTrace = view->Settings()->GetLongTrace();
  const int64_t bytes = view->SizeDat();
  if (longTrace <= 0 || bytes <= 0) return s;
  // The tool's input in the chain when it has one of the channel's size, else
  // the display buffer (no run yet).
  const TSampleBlock* input = TSavedCopyStore::Instance().Peek(CopyOwner(), CurrentNumberView);
  if (input && !input->Empty() && input->Bytes() == bytes) {
    s.Data = input->Data();
  } else if (view->dezoData.Bytes() >= bytes) {
    s.Data = view->dezoData.Data();
  } else {
    return s;
  }
  s.LongTrace = longTrace;
  s.Traces = std::min<int64_t>(std::max<int64_t>(view->NumTraces(), 0), bytes / 4 / longTrace);
  return s;
}

int64_t TSpectrum::LineLength() const {
  const T2Dview* view = CurrentView();
  if (!view || !view->Settings()) return 0;
  if (!Horizontal()) return std::max(view->Settings()->GetLongTrace(), 0);
  return InputSamples().Traces;
}

std::vector<double> TSpectrum::GetAverageLine() const {
  const T2Dview* view = CurrentView();
  if (!view) return {};
  const int64_t centre = Horizontal() ? CurrentDeep : int64_t{CurrentTrace} - view->MinNumTraces();
  return AverageLine(InputSamples(), Horizontal(), centre, DeltaPlus);
}

// ---- Window and axis ------------------------------------------------------------

void TSpectrum::GetStartStopDiapazon(bool isRunDiapazon) {
  if (!flChangeDigitEdit) return;
  const T2Dview* view = CurrentView();
  LongMax = SaturateToInt32(LineLength());
  AreaCurrent = Horizontal() ? SaturateToInt32(int64_t{CurrentTrace} - (view ? view->MinNumTraces() : 0))
                             : CurrentDeep;
  const bool traces = InputSamples().Traces > 0;
  if (isRunDiapazon) {
    if (traces) {
      AreaStart = SaturateToInt32(std::max<int64_t>(0, int64_t{AreaCurrent} - Diapazon));
      AreaStop = SaturateToInt32(std::min<int64_t>(int64_t{LongMax} - 1, int64_t{AreaCurrent} + Diapazon));
    } else {
      AreaStart = -1;
      AreaStop = -1;
    }
  } else {
    // The window is the tool's (the edits only show it): a start below 0 or a
    // stop past the line is brought back into the line.
    if (AreaStart < 0) AreaStart = 0;
    if (AreaStop > LongMax - 1) AreaStop = LongMax - 1;
  }
  if (TDlgSpectrum* dialog = Dialog()) {
    flChangeDigitEdit = false;
    dialog->ShowWindow(AreaStart, AreaStop, StepTime);
    flChangeDigitEdit = true;
  }
}

void TSpectrum::FreqAfterChange() {
  const T2Dview* view = CurrentView();
  const TSettingData* settings = view ? view->Settings() : nullptr;
  if (settings) MaxFr = MaxFrOfUnit(static_cast<int>(settings->GetTypeGPR()), MaxFr);
  const TFrequencyAxis axis = FrequencyAxis(Horizontal(), InputSamples().Traces, settings ? settings->GetSpanWidth() : 0,
                                            StepTime, MaxFr);
  dTime = axis.dTime;
  MaxFr = axis.MaxFr;
  MinFr = axis.MinFr;
  M = axis.M;
  FreqLineInput.assign(static_cast<size_t>(M) + 1, 0.0);
  FreqAxisValue.assign(static_cast<size_t>(M) + 1, 0.0);
  for (int32_t k = 1; k <= M; ++k) FreqAxisValue[static_cast<size_t>(k)] = static_cast<double>(k / dTime);
}

void TSpectrum::AfterChange(int32_t) {
  const T2Dview* view = CurrentView();
  const int64_t entries = view && view->Settings()
                              ? std::max<int64_t>(view->Settings()->GetLongTrace(), std::max<int64_t>(view->NumTraces(), 0))
                              : 0;
  LineInput.assign(static_cast<size_t>(entries), 0.0);
  AxisValue.resize(static_cast<size_t>(entries));
  for (size_t b = 0; b < AxisValue.size(); ++b) AxisValue[b] = static_cast<double>(b);
  FreqAfterChange();
}

// ---- Line, statistics, spectrum ------------------------------------------------------

void TSpectrum::Draw() {
  if (NowDraw) return;
  TFlagScope drawing(NowDraw);
  LineInput = GetAverageLine();
  AxisValue.resize(LineInput.size());
  for (size_t b = 0; b < AxisValue.size(); ++b) AxisValue[b] = static_cast<double>(b);
  const TLineStatistics statistics = WindowStatistics(LineInput, AreaStart, AreaStop);
  MatOzidanie = statistics.Mean;
  MiddleSqDelta = statistics.Deviation;
}

void TSpectrum::CalcSpectrum() {
  if (NowDraw) return;
  TFlagScope drawing(NowDraw);
  FreqLineInput = AmplitudeSpectrum(LineInput, AreaStart, AreaStop, M);
}

void TSpectrum::DrawSpectrum() {
  GetStartStopDiapazon(false);
  if (InputSamples().Traces > 0) {
    Draw();
    CalcSpectrum();
  } else {
    LineInput.clear();
    FreqLineInput.assign(FreqLineInput.size(), 0.0);
  }
  if (Dialog()) DispSpectrum();
}

QString TSpectrum::StatisticsTitle() const {
  return QStringLiteral("Trace: %1, Depth: %2, MatOzidanie: %3, SredneKvadratichn: %4")
      .arg(CurrentTrace)
      .arg(CurrentDeep)
      .arg(QString::number(MatOzidanie, 'f', 2), QString::number(MiddleSqDelta, 'f', 2));
}

void TSpectrum::DispSpectrum() {
  TDlgSpectrum* dialog = Dialog();
  if (!dialog) return;
  dialog->ClearSpectrum();
  if (InputSamples().Traces > 0) {
    const size_t points = std::min({LineInput.size(), AxisValue.size(), static_cast<size_t>(std::max(LongMax, 0))});
    for (size_t i = 0; i < points; ++i) dialog->Series1->AddXY(AxisValue[i], LineInput[i]);
    dialog->SetStatisticsTitle(StatisticsTitle());
    const size_t entries = std::min(FreqLineInput.size(), FreqAxisValue.size());
    for (size_t k = 1; k < entries; ++k) dialog->FreqSeries1->AddXY(1000 * FreqAxisValue[k], FreqLineInput[k]);
  }
  Wavelet_DrowLine();
  if (DialogLive()) dialog->DisplayParam();
}

// ---- Harmonic kernels ------------------------------------------------------------------

void TSpectrum::Wavelet_PrepareLine() {
  mstart = 10000;
  mstop = -10000;
  const int64_t n = LineLength();
  for (int h = HarmonicFirst; h <= HarmonicLast; ++h) {
    THarmonicKernel& kernel = Harmonics[static_cast<size_t>(h - HarmonicFirst)];
    // No kernels without a line or a time span to spread them over.
    if (n <= 0 || !(dTime > 0)) {
      kernel = THarmonicKernel{};
      continue;
    }
    kernel = PrepareHarmonicKernel(h, dTime, n, LongMax);
    mstart = std::min(mstart, kernel.Start);
    mstop = std::max(mstop, kernel.Stop);
  }
}

void TSpectrum::Wavelet_Execute(bool) {
  const std::vector<double> line = GetAverageLine();
  if (!AExecuting) return;
  for (int h = 0; h < HarmonicCount; ++h)
    HarmonicWavelet[static_cast<size_t>(h)] =
        CorrelateHarmonic(line, static_cast<int64_t>(line.size()), Harmonics[static_cast<size_t>(h)].Taps);
}

void TSpectrum::Wavelet_DrowLine() {
  Wavelet_PrepareLine();
  if (TDlgSpectrum* dialog = Dialog())
    for (int h = 0; h < HarmonicCount; ++h)
      dialog->ShowHarmonic(h, Harmonics[static_cast<size_t>(h)].Line, HarmonicWavelet[static_cast<size_t>(h)]);
}

// ---- The cursor ----------------------------------------------------------------------------

void TSpectrum::Refresh() { AfterChangeNumTrace(CurrentTrace, SaturateToInt32(int64_t{CurrentDeepTime} * 1000)); }

void TSpectrum::AfterChangeNumTrace(int32_t trace, int32_t y) {
  if (runing) {
    // Taken up when the run ends: the last position wins.
    pendingCursor_ = {trace, y};
    return;
  }
  const T2Dview* view = CurrentView();
  CurrentTrace = trace;
  CurrentDeepTime = RoundToInt32(y / 1000.0L);
  CurrentDeep = view && view->Settings() ? view->Settings()->TimeToSample(y / 1000.0L) : 0;
  // Within the channel, so that the averaging always holds a trace or a row.
  if (view && view->Settings()) {
    if (view->NumTraces() > 0)
      CurrentTrace = static_cast<int32_t>(
          std::clamp<int64_t>(CurrentTrace, view->MinNumTraces(), view->MinNumTraces() + view->NumTraces() - 1));
    CurrentDeep = std::clamp(CurrentDeep, 0, std::max(view->Settings()->GetLongTrace() - 1, 0));
  }
  GetStartStopDiapazon(false);
  Wavelet_PrepareLine();
  ExecuteChangeNumTrace(false);
  DrawSpectrum();
  TDlgSpectrum* dialog = Dialog();
  if (DialogLive() && dialog->ExecCheckBox->Checked()) {
    RunChangeNumTrace = true;
    dialog->ApplyClick(dialog);
  }
}

void TSpectrum::ExecuteChangeNumTrace(bool first) {
  GetParam(CurrentNumberView);
  if (AExecuting) {
    const T2Dview* view = CurrentView();
    const TSampleBlock* input = TSavedCopyStore::Instance().Peek(CopyOwner(), CurrentNumberView);
    if (view && input && !input->Empty() && input->Bytes() == view->SizeDat()) {
      locDataTransform = {CurrentNumberView, input->Bytes()};
    } else {
      locDataTransform = {};
    }
  }
  Wavelet_Execute(first);
}

// ---- The run ------------------------------------------------------------------------------

void TSpectrum::execute(bool first, int32_t NumberView) {
  if (runing) return;
  T2Dview* view = GetViewByIndx(NumberView);
  if (!view) return;
  struct TRunEnd {
    TSpectrum& tool;
    ~TRunEnd() {
      tool.EndRun();
      tool.FinishDeferredRequests();
      if (tool.pendingCursor_) {
        const auto [trace, y] = *tool.pendingCursor_;
        tool.pendingCursor_.reset();
        PostMessage(tool.handle, WM_TOOLTRACECHANGED, static_cast<WPARAM>(trace), static_cast<LPARAM>(y));
      }
    }
  };
  BeginRun();
  TRunEnd end{*this};
  GetParam(NumberView);
  const int64_t bytes = view->SizeDat();
  if (bytes <= 0 || view->dezoData.Bytes() < bytes) return;

  IToolHost& host = Host();
  host.SetProgressWidth(NumberView, host.ProgressFullWidth());
  host.Yield();

  auto& store = TSavedCopyStore::Instance();
  TSavedCopyPin pin(CopyOwner(), NumberView);
  int32_t* out = view->dezoData.Data();
  if (RunChangeNumTrace && locDataTransform.Channel == NumberView) {
    // The hand-over reaches only its own channel, at its own size, in a run that
    // restarts at this tool; a run from the top makes it stale.
    RunChangeNumTrace = false;
    const TSampleBlock* input = store.Find(CopyOwner(), NumberView);
    if (first && locDataTransform.Bytes == bytes && input && input->Bytes() == bytes) {
      std::memcpy(out, input->Data(), static_cast<size_t>(bytes));
      if (DialogLive()) GetParam(CurrentNumberView);
      return;
    }
  }
  if (!first) {
    TSampleBlock& copy = store.Ensure(CopyOwner(), NumberView, bytes);
    std::memcpy(copy.Data(), out, static_cast<size_t>(bytes));
  } else {
    const TSampleBlock* input = store.Find(CopyOwner(), NumberView);
    if (!input || input->Empty() || input->Bytes() != bytes) return;
    std::memcpy(out, input->Data(), static_cast<size_t>(bytes));
  }
  // The correlations belong to the channel the dialog shows.
  if (AExecuting && NumberView == CurrentNumberView) Wavelet_Execute(first);
  if (DialogLive()) GetParam(CurrentNumberView);
}

// ---- Record and dialog ------------------------------------------------------------------------

void TSpectrum::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  str.WriteValue<int32_t>(CurrentTrace);
}

void TSpectrum::ReadFromUniStream(TStream& str, int32_t NumberView) {
  TToolRecordFields fields(str);
  uint8_t format = 0;
  QString caption;
  bool apply = false;
  if (fields.Read(format) && format > 31 && fields.ReadUniString(caption)) {
    SetCaption(caption);
    if (fields.ReadBool(apply)) {
      AExecuting = apply;
      fields.Read(CurrentTrace);
    }
  }
  SaveParamPlugin(NumberView);
}

int TSpectrum::SetPropertyes(bool adding) {
  if (!Form()) CurrentTrace = 0;
  return TToolBase<TSpectrumParam>::SetPropertyes(adding);
}
