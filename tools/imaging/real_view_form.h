#pragma once
// TRealViewForm: the real-view reconstruction's dialog. Beside the tool's
// parameters it holds the log of runs and scans (InfoMemo), five scan buttons
// (one per parameter) and a picture of the dialog's channel on which the
// diffraction hyperbola of a picked point can be overlaid; while a run builds
// its rays the picture shows the arc of each row.
//
// Deviations from the protocol: no preview when shown; with Apply unchanged a
// change re-runs the dialog's channel alone (all channels while adding); Enter is
// OK except in the X/Y, dH, distance, angle and iteration edits; the space key
// asks a running reconstruction to stop after its current iteration. Every edit
// takes its value into the tool as its text changes; only Apply (the box or the
// "Applay" button) stores the sets and re-runs the chain.
//
// Threads: the user-interface thread.

#include "tools/tool_form.h"

#include <QString>

#include <cstdint>
#include <memory>

class TChart;
class TDigitEdit;
class TLineSeries;
class TMemo;
class TPanel;
class TRealViewTool;
class T2Dview;
struct TRealViewArc;

class TRealViewForm : public TToolForm {
public:
  explicit TRealViewForm(TComponent* AOwner);
  ~TRealViewForm() override;

  TPanel* PanelChartMigration = nullptr;
  TChart* ChartMigration = nullptr;
  TCheckBox* HyperbolaCheckButton = nullptr;
  TDigitEdit* XYProportionalDigitEdit = nullptr;
  TBitBtn* SearchX_YBitBtn = nullptr;
  TBitBtn* ApplayBitBtn = nullptr;
  TDigitEdit* dHDigitEdit = nullptr;
  TBitBtn* SearchdHBitBtn = nullptr;
  TDigitEdit* DistanceReceptDigitEdit = nullptr;
  TBitBtn* SearchDistRTBitBtn = nullptr;
  TDigitEdit* MinAmpDigitEdit = nullptr;
  TBitBtn* SearchBitBtn = nullptr;
  TDigitEdit* ZatuhanieDigitEdit = nullptr;
  TBitBtn* SearchDecriseBitBtn = nullptr;
  TDigitEdit* LEngthHiperbolaDigitEdit = nullptr;
  TMemo* InfoMemo = nullptr;

  TLineSeries* SeriesNull = nullptr;
  TLineSeries* HyperbolaSeries = nullptr;
  TLineSeries* SliceSeries = nullptr;
  TLineSeries* PositionSeries = nullptr;
  TLineSeries* SeriesDepth = nullptr;
  TLineSeries* SizeSeries = nullptr;

  // The overlay point: trace position (top axis) and sample (left axis).
  double HyperbolaX = 0;
  double HyperbolaY = 0;

  // The diffraction hyperbola of a point at sample Y under trace position X, for
  // offsets -100 .. 100; nothing above time zero or with X/Y 0.
  void PaintHyperbola(double Y, double X);
  // The window at zoom "100", traces and 1:1; the chart takes channel k's picture.
  void GetBMPfromView(int k);
  // A press on the picture at (x, y) in axis values.
  void PickPoint(double x, double y);
  // Starts the scan of parameter typePodbor (0 X/Y, 1 dH, 2 distance, 3 angle,
  // 4 decrease) as its button does.
  void Search(int32_t typePodbor);
  // The edits' values into the tool's working parameters.
  void TakeEdits();

  // ---- What the tool's run shows while the dialog is live --------------------
  void ClearLog();
  // focusMemo: the memo takes the focus first (an iteration's line).
  void AddLog(const QString& line, bool focusMemo);
  // Row y's arc about the middle of the run's channel `view` (rows below time
  // zero only); then messages are processed and the thread rests 1 ms.
  void ShowArc(int32_t y, const TRealViewArc& arc, const T2Dview& view);
  // The window rebuilds the channel's bitmap; the picture follows.
  void ShowChannel(int channel);

protected:
  void DisplayToolParam() override;
  void StoreToolParam() override { TakeEdits(); }

private:
  TRealViewTool& RealViewTool() const;
  void ApplyAndCopyPicture(TObject* Sender);
  void RepaintOverlay();
  // False once the dialog is gone: a copy requested from it is dropped.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
