#pragma once
// TRealViewForm: the real-view reconstruction's dialog. Beside the tool's
// parameters it holds the log of runs and scans (InfoMemo), five scan buttons
// (one per parameter) and a picture of the dialog's channel on which the
// diffraction hyperbola of a picked point can be overlaid; while a run builds
// its rays the picture shows the arc of each row. The controls and their
// behaviour are those shared with the grid view (reconstruction_form.h).
//
// Threads: the user-interface thread.

#include "tools/imaging/reconstruction_form.h"

#include <cstdint>

class TRealViewTool;
class T2Dview;
struct TRealViewArc;

class TRealViewForm : public TReconstructionForm {
public:
  explicit TRealViewForm(TComponent* AOwner);

  // The window at zoom "100", traces and 1:1; the chart takes channel k's picture.
  void GetBMPfromView(int k) override;
  void TakeEdits() override;
  // Row y's arc about the middle of the run's channel `view` (rows below time
  // zero only); then messages are processed and the thread rests 1 ms.
  void ShowArc(int32_t y, const TRealViewArc& arc, const T2Dview& view);

protected:
  void DisplayToolParam() override;
  void RunScan(int32_t typePodbor) override;
  void RequestStop() override;
  TOverlayValues OverlayValues(const T2Dview& view) const override;

private:
  TRealViewTool& RealViewTool() const;
};
