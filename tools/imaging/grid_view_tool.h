#pragma once
// TGridViewTool: the real view's reconstruction on a metric grid, for a profile
// along which the transmitter-receiver spacing grows by StepRecept per trace. The
// grid cells' measured values are interpolated from the channel
// (grid_view_kernel.h); the model, adjusted in SizeHyperbola sweeps of the shared
// engine, is shown only as the 8-bit image BmpGrid. The channel's data pass
// through unchanged.
//
// Parameters per channel (the sets): Apply, XYProportional, MinAmpSect,
// SizeHyperbola, DistanceRecept (the start spacing), StepRecept; dH, DecriseAmp,
// the grid steps and Kontrast are one value for all channels. X/Y serves only the
// arrival plot (drawn with X/Y 2 in a run) and the dialog's overlay.
//
// Stops: as the real view's (the window's break flag before the next sweep,
// Apply off; BreakExecute after the current one). The image shows the model of
// the last completed sweep (uniform 128 when none).
//
// With the dialog live, a run's log goes to its memo, the arrival plot and the
// arcs of grid column 10 to its picture, and the image after every sweep.

#include "tools/imaging/grid_view_kernel.h"
#include "tools/imaging/real_view_engine.h"
#include "tools/imaging/reconstruction_tool.h"
#include "tools/tool_base.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class T2Dview;
class TBitmap;
class TGridViewForm;
class TToolForm;

struct TGridViewParam {
  bool Apply = true;
  long double XYProportional = 6.6L;
  int32_t MinAmpSect = 120;
  int32_t SizeHyperbola = 3;
  long double DistanceRecept = 0.2L;
  long double StepRecept = 0.05L;
};

class TGridViewTool : public TToolBase<TGridViewParam, TReconstructionTool> {
  using TSets = TToolBase<TGridViewParam, TReconstructionTool>;

public:
  explicit TGridViewTool(uint16_t w = 0);
  ~TGridViewTool() override;

  // XYProportional, DistanceRecept, MinAmpSect, SizeHyperbola, dH: the shared block.
  long double DecriseAmp = 0.9L;
  long double StepRecept = 0.05L;
  long double iXStep = 0.05L;
  long double iYStep = 0.0075L;
  long double Kontrast = 1.0L;
  // Set at the start of a run.
  int32_t Alpha = 0;
  long double SinA = 0;
  // The grid of the last run.
  int32_t iXCount = 0, iYCount = 0;
  int32_t CountAB = 0, CountX = 0, CountY = 0;
  // The grid image, created on first use with the window's palette.
  std::unique_ptr<TBitmap> BmpGrid;
  // The arrival plot of the last run: one entry per trace, and its points when
  // the channel has a time window.
  int32_t AntenCount = 0;
  std::vector<TOffsetArrival> arAnten;
  std::vector<TArrivalPoint> ArrivalPlot;
  int32_t TypePodbor = 0;

  void ToolInit() override;

  // The parameter scan on channel 0's saved input, as the real view's, with the
  // decrease candidates 60 .. 95 %; the image follows each candidate while the
  // dialog is live.
  void SearchXYProportional();
  // The image of `model` (nullptr: the zero model of the current grid).
  void PaintGrid(const TRealViewModel* model);
  // The arrival plot for the channel `view` with X/Y `xy`.
  void PaintOffsetArrivals(const T2Dview& view, long double xy);
  // The grid steps of the channel `view` (its depth step) and the working ones.
  TGridViewSteps Steps(const T2Dview& view) const;

protected:
  // TGridViewForm.
  TToolForm* CreateForm() override;
  TGridViewParam PackParams() const override {
    return {AExecuting, XYProportional, MinAmpSect, SizeHyperbola, DistanceRecept, StepRecept};
  }
  void UnpackParams(const TGridViewParam& set) override {
    UnpackShared(set);
    StepRecept = set.StepRecept;
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  long double* SpacingStep() override { return &StepRecept; }

private:
  // The dialog while it is live; nullptr otherwise.
  TGridViewForm* LiveForm() const;
  // With the dialog live, the arc of each cell of grid column 10 as the rays are
  // built (up to a row too wide, which the model's build reports).
  void PreviewArcs(const TRealViewGeometry& arcs, const T2Dview& view) const;
  // The grid of the channel into iXCount.., refused above the memory cap.
  void SetGrid(const T2Dview& view, int64_t traces, int longTrace);
  void BuildModel(const int32_t* in, int64_t traces, int longTrace, const T2Dview& view, TRealViewModel& model);
};
