#pragma once
// TGridTimeForm: the time-grid tool's dialog. The left panel holds the shared
// reconstruction controls without the scans (caption, Apply, "Applay", the
// direct wave's time "Tdw, ns (0 ch)", the air speed and the start spacing),
// then the spacing step, the grid steps, the probe point, the section-point
// cell and threshold, "Wiggle", the envelope's iterations, "Iteration -> max",
// "Visulization", the antenna count with its table and buttons; the log memo,
// the diagram chart (Chart1) and the "Hyperbola" box exist but stay hidden.
// The chart on the right shows the tool's grid image under its overlays: the
// direct-wave line, the probe point with its ellipse and travel curve, the
// picks ("Max point"), the section points ("Sect point"), two picks' ellipses
// ("Test sect") and one antenna's envelope ("Wiggle").
//
// Events: X/Y, dH and the probe point store and redraw the direct wave and the
// probe; the start spacing stores, redraws the trial hyperbola and rebuilds
// the antennas before Apply; the spacing step rebuilds and applies; the grid
// steps, the section cell and threshold, the iterations, the antenna count and
// "Iteration -> max" only store; "Positiv Max", "Wiggle" and "Visulization"
// store and apply. Enter is OK except in the X/Y, start spacing, dH, spacing
// step and the two grid step edits. A double click on the dialog rebuilds the
// directivity diagram.
//
// Threads: the user-interface thread.

#include "tools/imaging/grid_time_kernel.h"
#include "tools/imaging/reconstruction_form.h"

#include <cstdint>
#include <vector>

class TBubbleSeries;
class TComboBox;
class TGridTimeTool;
class TStringGrid;

class TGridTimeForm : public TReconstructionForm {
public:
  explicit TGridTimeForm(TComponent* AOwner);

  TCheckBox* PositivCheckBox = nullptr;
  TDigitEdit* StepReceptDigitEdit = nullptr;
  TDigitEdit* XstepDigitEdit = nullptr;
  TDigitEdit* YStepDigitEdit = nullptr;
  TDigitEdit* XElipseDigitEdit = nullptr;
  TDigitEdit* YElipseDigitEdit = nullptr;
  TDigitEdit* GridStepSectDigitEdit = nullptr;
  TDigitEdit* VisibleSectDigitEdit = nullptr;
  TCheckBox* WiggleCheckBox = nullptr;
  TDigitEdit* MaxIterationDigitEdit = nullptr;
  TCheckBox* MaximumAtIterationCheckBox = nullptr;
  TComboBox* PntComboBox = nullptr;
  TDigitEdit* AntenCountDigitEdit = nullptr;
  TBitBtn* CreateArAntenBitBtn = nullptr;
  TBitBtn* SaveArAntenBitBtn = nullptr;
  TBitBtn* LoadArAntenBitBtn = nullptr;
  TStringGrid* AntenStringGrid = nullptr;
  TChart* Chart1 = nullptr;
  TLineSeries* Series1 = nullptr;
  TLineSeries* Series2 = nullptr;
  TBubbleSeries* PntSeries = nullptr;
  TBubbleSeries* MaxSeries = nullptr;
  TLineSeries* TestMaxSeries0 = nullptr;
  TLineSeries* TestMaxSeries1 = nullptr;
  TLineSeries* TestMaxSeriesVertAxis = nullptr;

  // Channel k's picture: the grid image of the last run (channel 0 only).
  void GetBMPfromView(int k) override;
  void TakeEdits() override;

  // ---- What the tool draws while the dialog is live ---------------------------
  // The axes of the grid: depth on the left, distance on top, time on the
  // right, the time-zero line.
  void SetStartAxis();
  // The top axis over the grid's columns.
  void SetTopAxis();
  // The antenna table and count.
  void ShowAntennas();
  // The direct wave's line and the chart's left axis from AMin; the probe
  // ellipse unless "Test sect" is shown.
  void PaintDirectWave();
  // The probe point's travel curve over the antennas (cleared first unless
  // "Test sect" is shown).
  void PaintSlice();
  // The overlay of the visualisation mode from the tool's picks.
  void PaintOverlays();
  // One antenna's squared trace R and envelope `out` beside its position D,
  // with the passes made.
  void PaintWiggle(const std::vector<long double>& R, const std::vector<long double>& out, int32_t passes,
                   long double D);
  // The tool's directivity diagram into Series1 (by angle) and Series2 (polar).
  void PaintDiagram();
  // The trial hyperbola from the last pressed chart point.
  void PaintTrialHyperbola();
  // The chart's ranges a section point must lie strictly inside.
  TSectRange ChartRange();

protected:
  void DisplayToolParam() override;
  void RunScan(int32_t) override {}
  void RequestStop() override {}
  TOverlayValues OverlayValues(const T2Dview& view) const override;

private:
  TGridTimeTool& GridTimeTool() const;
  // The half ellipse into `series` after the "Error ... <> 1" check; false (and
  // nothing drawn or checked) for an ellipse without extent.
  bool DrawEllipse(TLineSeries& series, const TEllipse& e, long double D, long double h);
  void ApplyClick();
  // Set while the dialog fills its own controls: their events do nothing.
  bool filling_ = false;
};
