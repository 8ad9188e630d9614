#pragma once
// TGridTimeTool: images a multi-offset recording (one trace per antenna pair,
// trace i at transmitter-receiver distance DistanceRecept + i * StepRecept) on a
// distance-depth grid (grid_time_kernel.h), picks the bright points of every
// antenna's trace and counts where the picks of two antennas meet. The grid is
// shown only as the 8-bit image BmpGrid; the channel's data pass through
// unchanged.
//
// Parameters per channel (the sets): Apply, XYProportional, MinAmpSect,
// SizeHyperbola, DistanceRecept, StepRecept; everything else is one value for
// all channels. MinAmpSect and SizeHyperbola are only stored and exchanged.
//
// The recording named "cmp_4.dezo" (channel 0's file name) is imaged with a gap
// of 7 empty antenna positions after the 16th; "cmp_1.dezo" gets its own steps.
//
// The dialog (grid_time_form.h) shows the grid image under the overlays; they
// are drawn only while it is live, the picks and counts are made on every run.

#include "tools/imaging/directivity_diagram.h"
#include "tools/imaging/grid_time_kernel.h"
#include "tools/imaging/real_view_engine.h"
#include "tools/imaging/reconstruction_tool.h"
#include "tools/tool_base.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class T2Dview;
class TBitmap;
class TGridTimeForm;

struct TGridTimeParam {
  bool Apply = true;
  long double XYProportional = 2.0L;
  int32_t MinAmpSect = 120;
  int32_t SizeHyperbola = 3;
  long double DistanceRecept = 0.2L;
  long double StepRecept = 0.05L;
};

enum TGridTimeVisual : int32_t { gtNoPoint = 0, gtMaxPoint = 1, gtSectPoint = 2, gtTestSect = 3 };

class TGridTimeTool : public TToolBase<TGridTimeParam, TReconstructionTool> {
  using TSets = TToolBase<TGridTimeParam, TReconstructionTool>;

public:
  explicit TGridTimeTool(uint16_t w = 0);
  ~TGridTimeTool() override;

  // XYProportional, DistanceRecept, MinAmpSect, SizeHyperbola, dH: the shared block
  // (MinAmpSect and SizeHyperbola only stored and exchanged).
  long double StepRecept = 0.05L;
  long double iXStep = 0.05L;
  long double iYStep = 0.0075L;
  long double XElipse = 0.9L, YElipse = 1.425L;
  bool PositivMax = true;
  int32_t PntVisual = gtNoPoint;
  long double GridStepSect = 0.01L;
  int32_t VisibleSect = 10;
  bool ShowWiggle = false;
  int32_t MaxIteration = 10;
  bool MaximumAtIteration = false;
  int32_t AntenCount = 0;
  long double Kontrast = 1.0L;
  long double ShiftTimeDepth = 0;
  bool FirstStart = true;
  TDirectivityDiagram Diagram;

  // The antennas and the direct wave's emission time of the last build.
  std::vector<TGridTimeAntenna> arAnten;
  long double T0 = 0;
  // The chart's depth at the emission (-T0 x V / 2 metres).
  long double AMin = 0;
  // The grid of the last run and its image.
  int32_t iXCount = 0, iYCount = 0;
  int32_t CountAB = 0, CountX = 0, CountY = 0;
  std::vector<int32_t> B;
  std::unique_ptr<TBitmap> BmpGrid;
  // Picks of the last run, one list per antenna, and the extrema of each
  // antenna's energy envelope.
  std::vector<std::vector<TMaxSample>> arMaxInTraces;
  std::vector<std::vector<TMaxSample2>> arMax2InTraces;
  int32_t GlobalExtremeE = 0;
  // "Sect point": the cells above VisibleSect with the largest count.
  std::vector<TSectBubble> SectBubbles;
  int32_t SectMaxCount = 1;
  // "Test sect": the next run's draw, the pair drawn and its ellipses (none
  // when the two antennas coincide or no antenna has two picks).
  uint32_t TestSectSeed = 1;
  std::optional<TTestSectChoice> TestSectChoice;
  std::optional<TTestSect> TestSectResult;
  // MemoryCap: cells above this many bytes (with the run's copies) end the run
  // as when memory runs out, the last image kept.

  void ToolInit() override;
  int SetPropertyes(bool adding) override;
  void execute(bool first, int32_t NumberView) override;

  // Vstavka extra positions (the gap) when isCreate: AntenCount := Vstavka +
  // channel 0's traces, the distances from the current spacing.
  void CreateArAnten(int32_t Vstavka, bool isCreate);
  // The gap of channel 0's recording (7 for "cmp_4.dezo", else 0).
  int32_t Vstavka() const;
  bool GapLayout() const;
  // The direct wave of the current antennas; returns T0.
  long double DirectWaveNow();
  // The directivity diagram, shown in the dialog when there is one.
  void PaintDiagram();
  // The direct wave of the current parameters; while the dialog is live its
  // line, the probe ellipse and the probe's travel curve.
  void PaintArNullRadar();
  // The time axis of channel `k` (channel 0 when it has none).
  TGridTimeAxis AxisOf(int32_t k) const;
  TToolForm* CreateForm() override;
  // The dialog while it is live; nullptr otherwise.
  TGridTimeForm* GridTimeDialog() const;

protected:
  TGridTimeParam PackParams() const override {
    return {AExecuting, XYProportional, MinAmpSect, SizeHyperbola, DistanceRecept, StepRecept};
  }
  void UnpackParams(const TGridTimeParam& set) override {
    UnpackShared(set);
    StepRecept = set.StepRecept;
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  long double* SpacingStep() override { return &StepRecept; }

private:
  // The run on the input `in` (the channel's traces); the channel is not touched.
  void Run(const int32_t* in, int64_t traces, int longTrace);
  void Picks(const std::vector<int32_t>& S, int64_t tracesS, const TGridTimeAxis& axis);
  void PaintGrid();
};
