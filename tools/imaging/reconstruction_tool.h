#pragma once
// TReconstructionTool: the run protocol with what the reconstruction tools (real
// view, grid view, time grid) share as tools: the field block of their
// parameters, the sets made alike, the run's channel, the sweeps under the stop
// rules, and the frame of a parameter scan on the input of the tool's last run.
// The tools put their sets on top of it (TToolBase<TSet, TReconstructionTool>).

#include "tools/imaging/real_view_engine.h"
#include "tools/imaging/reconstruction_params.h"
#include "tools/tool_protocol.h"

#include <atomic>
#include <cstdint>
#include <functional>

class T2Dview;
class TReconstructionForm;

class TReconstructionTool : public TToolProtocol, public TReconstructionFields {
public:
  static constexpr uint8_t RecordFormat = 33;

  // defaults: the tool's creation values.
  TReconstructionTool(uint16_t w, const TReconstructionFields& defaults)
      : TToolProtocol(w), TReconstructionFields(defaults) {}

  // The dialog's space key: ends a run or a scan after the current sweep.
  std::atomic<bool> BreakExecute{false};
  // Bytes a run may take (default a quarter of the physical memory).
  uint64_t MemoryCap = TRealViewModel::DefaultMemoryCap();
  // Every log line of runs and scans, live dialog or not (the dialog's memo gets
  // them while it is live).
  std::function<void(const QString&)> OnLog;

  // Every set := channel 0's, the working parameters saved into it first.
  void SaveParamsAll();
  uint8_t GetVersion() const override { return 16; }
  // The record: the frame head, then the body of reconstruction_params.h, with
  // the spacing step of a tool that has one (SpacingStep) but in the older form.
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // Notes the run's channel (runView_, runChannel_) and clears the space key.
  void execute(bool first, int32_t NumberView) override;

protected:
  // The whole channel at once; no yield, no break inside the kernel.
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::None, TBreakPolicy::NoBreak};
  }
  // The working spacing step of a tool with one, nullptr for none.
  virtual long double* SpacingStep() { return nullptr; }
  // A set's shared fields (Apply, X/Y, angle, iterations, spacing) into the
  // working ones.
  template <class TSet>
  void UnpackShared(const TSet& set) {
    AExecuting = set.Apply;
    XYProportional = set.XYProportional;
    MinAmpSect = set.MinAmpSect;
    SizeHyperbola = set.SizeHyperbola;
    DistanceRecept = set.DistanceRecept;
  }
  // The reconstruction dialog while it is live; nullptr otherwise.
  TReconstructionForm* LiveDialog() const;
  // A log line to OnLog and the live dialog (focusMemo: the memo takes the focus
  // first, as for an iteration's line).
  void Log(const QString& line, bool focusMemo = false) const;
  // A run's or a scan's log starts empty in the live dialog.
  void ClearDialogLog() const;
  // A fresh log headed by the calculation's grid size.
  void StartCalculationLog(int32_t countX, int32_t countY) const;
  // With the dialog live, the window's channel in the dialog after a sweep.
  void ShowChannelInDialog(int32_t channel) const;
  // Up to `iterations` sweeps of `model` on the worker pool. Before a sweep the
  // progress bar of `channel` shows n / progressDivisor (none when the divisor is
  // not positive) and messages are processed; the window's break flag then ends
  // the run and switches Apply off. BreakExecute ends it after the current sweep.
  // Gives the sweeps completed.
  int Iterate(TRealViewModel& model, int32_t iterations, int32_t channel, int progressDivisor,
              const std::function<void(int32_t)>& afterSweep);
  // The scan on channel 0's saved input, `input` of `traces` traces of
  // `longTrace` samples, shown in `view`.
  using TScan = std::function<void(T2Dview& view, const int32_t* input, int64_t traces, int longTrace)>;
  // The frame of a parameter scan: channel 0's set saved and taken, the run begun.
  // The scan works on the input of the tool's last run; without one of the
  // channel's size nothing else happens (the run just ends). With Apply off,
  // fewer than minTraces traces or `usable` false, the channel shows the input;
  // else `scan` runs and the channel shows the input afterwards, also when the
  // scan throws (which goes on to the caller). The live dialog then shows the
  // dialog's set; the run ends with the close or delete asked for meanwhile.
  void ScanSavedInput(int64_t minTraces, const std::function<bool()>& usable, const TScan& scan);

  // The channel of the current or last run.
  T2Dview* runView_ = nullptr;
  int32_t runChannel_ = 0;
};
