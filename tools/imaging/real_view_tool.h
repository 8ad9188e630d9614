#pragma once
// TRealViewTool: the real-view reconstruction. The channel's samples are the
// measurements of the ray-sum model of real_view_engine.h; the model, adjusted
// in SizeHyperbola sweeps, replaces the channel's data.
//
// Parameters per channel (the sets): Apply, XYProportional, MinAmpSect,
// SizeHyperbola, DistanceRecept; dH and DecriseAmp are one value for all channels.
// A channel of fewer than 3 traces, or parameters without a geometry (X/Y not a
// positive number, no depth step), passes unchanged.
//
// Stops: the window's break flag ends the run before the next sweep and switches
// Apply off; BreakExecute (the dialog's space key) ends it after the current one.
// The channel holds the model of the last completed sweep (zero when none).
//
// Threads: the user-interface thread runs everything but the sweeps; a sweep runs
// on TCalcThread workers (one per pool thread, at most 16), which the
// user-interface thread polls while it processes messages.

#include "tools/imaging/real_view_engine.h"
#include "tools/imaging/reconstruction_tool.h"
#include "tools/tool_base.h"

#include <atomic>
#include <cstdint>
#include <functional>

class T2Dview;
class TRealViewForm;
class TToolForm;

struct TRealViewParam {
  bool Apply = true;
  long double XYProportional = 10.0L;
  int32_t MinAmpSect = 90;
  int32_t SizeHyperbola = 3;
  long double DistanceRecept = 0;
};

class TRealViewTool : public TToolBase<TRealViewParam, TReconstructionTool> {
  using TSets = TToolBase<TRealViewParam, TReconstructionTool>;

public:
  explicit TRealViewTool(uint16_t w = 0);

  // XYProportional, DistanceRecept, MinAmpSect, SizeHyperbola, dH: the shared block.
  long double DecriseAmp = 0.75L;
  // Set at the start of a run.
  int32_t Alpha = 0;
  long double SinA = 0;
  // Dimensions of the last run.
  int32_t CountAB = 0, CountX = 0, CountY = 0;

  // Every channel: the creation values, X/Y the trace step of a wheel-mode view.
  void ToolInit() override;

  // The parameter scan on channel 0's saved input: TypePodbor names the
  // parameter (0 X/Y, 1 dH, 2 spacing, 3 angle, 4 decrease); every candidate gets
  // three sweeps and a log line; the channel shows the input afterwards. The
  // scanned field is left at its last candidate; no set changes. Errors of a
  // candidate (too wide an arc, the memory cap) go to the caller.
  void SearchXYProportional();
  int32_t TypePodbor = 0;
  static long double GetXYhipotenuza(long double Y, long double X);
  // The engine's parameters from the working ones and the channel's depth step.
  TRealViewParams EngineParams(const T2Dview& view) const;

protected:
  // TRealViewForm.
  TToolForm* CreateForm() override;
  TRealViewParam PackParams() const override {
    return {AExecuting, XYProportional, MinAmpSect, SizeHyperbola, DistanceRecept};
  }
  void UnpackParams(const TRealViewParam& set) override {
    UnpackShared(set);
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;

private:
  // The dialog while it is live; nullptr otherwise.
  TRealViewForm* LiveForm() const;
  // With the dialog live, each row's arc shown as the rays are built (up to a
  // row too wide, which the model's build reports).
  void PreviewArcs(const TRealViewParams& params, const T2Dview& view) const;
  // One sweep on the workers, messages processed while they run.
  void Sweep(TRealViewModel& model);
};
