#pragma once
// TGridViewForm: the grid-view reconstruction's dialog: the real view's controls
// and behaviour (reconstruction_form.h) with the growing spacing's start and
// step, the two grid steps and the image's contrast. The picture shows the
// tool's grid image (BmpGrid) stretched over the chart, grid columns along the
// top, grid rows down the left and the channel's time on the right; a run draws
// its arrival plot on it and previews the arcs of grid column 10.
//
// The four edits of its own take their values as their text changes and repaint
// nothing; Enter is also kept in the step and the two grid step edits; a scan
// takes the edits back afterwards except the two grid steps.
//
// Threads: the user-interface thread.

#include "tools/imaging/reconstruction_form.h"

#include <cstdint>

class TGridViewTool;
class T2Dview;
struct TArcRows;

class TGridViewForm : public TReconstructionForm {
public:
  explicit TGridViewForm(TComponent* AOwner);

  TDigitEdit* StepReceptDigitEdit = nullptr;
  TDigitEdit* XstepDigitEdit = nullptr;
  TDigitEdit* YStepDigitEdit = nullptr;
  TDigitEdit* KontrastDigitEdit = nullptr;

  // The grid image of the last run on the chart; channel k's time on the right.
  void GetBMPfromView(int k) override;
  void TakeEdits() override;
  // The tool's arrival plot of the run's channel `view`, drawn with X/Y `xy`.
  void PaintOffsetArrivals(const T2Dview& view, long double xy);
  // The arc of grid cell (10, y) about the middle of the channel `view`; then
  // messages are processed and the thread rests 1 ms.
  void ShowArc(int32_t y, const TArcRows& arc, const T2Dview& view);

protected:
  void DisplayToolParam() override;
  void TakeEditsAfterScan() override;
  void RunScan(int32_t typePodbor) override;
  void RequestStop() override;
  // The overlay in 200 equal steps over the channel's traces.
  TOverlayValues OverlayValues(const T2Dview& view) const override;

private:
  TGridViewTool& GridViewTool() const;
};
