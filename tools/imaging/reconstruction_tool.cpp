#include "tools/imaging/reconstruction_tool.h"

#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "platform/rtl/rounding.h"
#include "tools/imaging/reconstruction_form.h"
#include "tools/saved_copies.h"
#include "tools/tool_record.h"
#include "tools/tool_host.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cstring>

void TReconstructionTool::SaveParamsAll() {
  SaveParamPlugin(0);
  SetAllParamAs(0);
}

void TReconstructionTool::SaveToStream(TStream& str) {
  TToolRecordWriter record(str, AToolName, RecordFormat, GetCaption(), AExecuting);
  WriteReconstructionBody(str, *this, SpacingStep());
}

void TReconstructionTool::ReadFromUniStream(TStream& str, int32_t NumberView) {
  ReadToolRecord(*this, str, TToolRecordForm::Current, NumberView,
                 [this](TToolRecordFields& fields) { ReadReconstructionBody(fields, *this, SpacingStep()); });
}

void TReconstructionTool::ReadFromStream(TStream& str, int32_t NumberView) {
  // An older record has no spacing step.
  ReadToolRecord(*this, str, TToolRecordForm::Older, NumberView,
                 [this](TToolRecordFields& fields) { ReadReconstructionBody(fields, *this, nullptr); });
}

TReconstructionForm* TReconstructionTool::LiveDialog() const {
  return DialogLive() ? dynamic_cast<TReconstructionForm*>(Form()) : nullptr;
}

void TReconstructionTool::Log(const QString& line, bool focusMemo) const {
  if (OnLog) OnLog(line);
  if (TReconstructionForm* form = LiveDialog()) form->AddLog(line, focusMemo);
}

void TReconstructionTool::ClearDialogLog() const {
  if (TReconstructionForm* form = LiveDialog()) form->ClearLog();
}

void TReconstructionTool::StartCalculationLog(int32_t countX, int32_t countY) const {
  ClearDialogLog();
  Log(QStringLiteral("Prepeare calculation"));
  Log(QStringLiteral("X=%1,Y=%2").arg(countX).arg(countY));
}

void TReconstructionTool::ShowChannelInDialog(int32_t channel) const {
  if (TReconstructionForm* form = LiveDialog()) form->ShowChannel(channel);
}

void TReconstructionTool::execute(bool first, int32_t NumberView) {
  if (runing) return;
  BreakExecute = false;
  runView_ = GetViewByIndx(NumberView);
  runChannel_ = NumberView;
  TToolProtocol::execute(first, NumberView);
}

int TReconstructionTool::Iterate(TRealViewModel& model, int32_t iterations, int32_t channel, int progressDivisor,
                                 const std::function<void(int32_t)>& afterSweep) {
  IToolHost& host = Host();
  const int full = host.ProgressFullWidth();
  TRealViewIterations hooks;
  hooks.before = [&](int32_t n) {
    if (progressDivisor > 0)
      host.SetProgressWidth(channel, RoundToInt32(static_cast<long double>(full) * n / progressDivisor));
    host.Yield();
    if (!host.Br()) return true;
    AExecuting = false;
    return false;
  };
  hooks.poll = [&] { host.Yield(); };
  hooks.after = afterSweep;
  hooks.stopAfter = [this] { return BreakExecute.load(); };
  return RealViewIterate(model, iterations, TWorkerPool::Instance().ThreadCount(), hooks);
}

void TReconstructionTool::ScanSavedInput(int64_t minTraces, const std::function<bool()>& usable, const TScan& scan) {
  SaveParamPlugin(0);
  T2Dview* view = GetViewByIndx(0);
  if (!view) return;
  TCommonTool::BeginRun();
  const auto finish = [this](bool live) {
    if (live && DialogLive()) GetParam(CurrentNumberView);
    TCommonTool::EndRun();
    // A close or delete of the dialog asked for during the scan.
    FinishDeferredRequests();
  };
  GetParam(0);
  const int64_t bytes = view->SizeDat();
  auto& store = TSavedCopyStore::Instance();
  TSavedCopyPin pin(CopyOwner(), 0);
  const TSampleBlock* input = store.Find(CopyOwner(), 0);
  if (bytes <= 0 || !input || input->Bytes() != bytes || view->dezoData.Bytes() < bytes) {
    finish(false);
    return;
  }
  const auto showInput = [&] { std::memcpy(view->dezoData.Data(), input->Data(), static_cast<size_t>(bytes)); };
  const int longTrace = view->Settings() ? view->Settings()->GetLongTrace() : 0;
  const int64_t traces = longTrace > 0 ? std::min<int64_t>(view->NumTraces(), bytes / 4 / longTrace) : 0;
  if (!AExecuting || traces < minTraces || !usable()) {
    showInput();
    finish(true);
    return;
  }
  try {
    scan(*view, input->Data(), traces, longTrace);
  } catch (...) {
    showInput();
    finish(true);
    throw;
  }
  showInput();
  finish(true);
}
