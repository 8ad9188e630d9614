#pragma once
// TReconstructionForm: what the real-view and grid-view dialogs share. The left
// panel holds the caption, Apply, the "Hyperbola" box, the X/Y, dH, distance,
// angle, decrease and iteration edits with a scan button each, the "Applay"
// button and the log memo (InfoMemo); the right part the picture (ChartMigration)
// on which the diffraction hyperbola of a picked point can be overlaid and a
// run's arcs are previewed.
//
// Shared behaviour: no preview when shown; every edit takes its value into the
// tool as its text changes (X/Y, dH and the distance also repaint the overlay);
// only Apply (the box or "Applay") stores the sets and re-runs the chain; a scan
// button takes the edits, stores them as Apply does, scans, and takes the edits
// back afterwards (an error of the scan too, which then goes to the application's
// handler); Enter is OK except in the X/Y, dH, distance, angle and iteration
// edits (a dialog may keep it in more); the space key asks a running
// reconstruction to stop after its current iteration.
//
// Threads: the user-interface thread.

#include "platform/ui/chart.h"
#include "tools/imaging/reconstruction_params.h"
#include "tools/tool_form.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class TChart;
class TLabel;
class TDigitEdit;
class TLineSeries;
class TMemo;
class TPanel;
class T2Dview;

// A series of the dialogs' picture, on its top and left axes.
template <class TSeries>
TSeries* AddPictureSeries(TComponent* owner, TChart* chart, TColor color) {
  auto* series = new TSeries(owner);
  series->SetParentChart(chart);
  series->SetSeriesColor(color);
  series->SetHorizAxis(aTopAxis);
  series->SetVertAxis(aLeftAxis);
  return series;
}

// Where a dialog's own edits go in the shared left panel.
struct TReconstructionLayout {
  QString Caption;
  // The distance edit is the start spacing of a growing one: labelled in blue
  // under the heading, without the side note.
  bool StartSpacing = false;
  // Rows left free right after the distance edit and after the iteration edit.
  int RowsAfterDistance = 0;
  int RowsAfterIteration = 0;
  // Off: no scan buttons and no angle, decrease and iteration edits (their
  // pointers stay null); the rows after the distance edit follow it directly.
  bool ScanControls = true;
  // The labels of the X/Y and dH edits; empty keeps "X/Y" and "dH".
  QString XYLabel;
  QString dHLabel;
  // Every change re-runs the dialog's channel, Apply on or off (a dialog that
  // shows the tool's own picture either way).
  bool PreviewAlwaysApplied = false;
};

class TReconstructionForm : public TToolForm {
public:
  ~TReconstructionForm() override;

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
  // offsets -100 .. 100 (in the dialog's overlay steps); nothing above time zero
  // or with X/Y 0.
  void PaintHyperbola(double Y, double X);
  // The picture of channel k.
  virtual void GetBMPfromView(int k) = 0;
  // A press on the picture at (x, y) in axis values.
  void PickPoint(double x, double y);
  // Starts the scan of parameter typePodbor (0 X/Y, 1 dH, 2 distance, 3 angle,
  // 4 decrease) as its button does.
  void Search(int32_t typePodbor);
  // The edits' values into the tool's working parameters.
  virtual void TakeEdits() = 0;

  // ---- What the tool's run shows while the dialog is live --------------------
  void ClearLog();
  // focusMemo: the memo takes the focus first (an iteration's line).
  void AddLog(const QString& line, bool focusMemo);
  // The window rebuilds the channel's bitmap; the picture follows.
  void ShowChannel(int channel);

protected:
  TReconstructionForm(TComponent* AOwner, const TReconstructionLayout& layout);

  void StoreToolParam() override { TakeEdits(); }
  // The X/Y, minimum amplitude, hyperbola length, spacing, dH and decrease
  // edits every reconstruction dialog has, shown from and taken into a tool.
  void ShowReconstructionFields(const TReconstructionFields& fields, long double decriseAmp);
  void TakeReconstructionFields(TReconstructionFields& fields, long double& decriseAmp) const;
  // The edits taken back after a scan (all of them unless a dialog says less).
  virtual void TakeEditsAfterScan() { TakeEdits(); }
  // The tool's scan of parameter typePodbor, the sets already stored.
  virtual void RunScan(int32_t typePodbor) = 0;
  // Asks a running reconstruction to stop after its current iteration.
  virtual void RequestStop() = 0;
  // The overlay's X/Y and spacing, and the trace distance of one of its steps on
  // the channel `view`.
  struct TOverlayValues {
    long double XYProportional = 0;
    long double DistanceRecept = 0;
    double Step = 1;
  };
  virtual TOverlayValues OverlayValues(const T2Dview& view) const = 0;

  // Arc of row y with offsets -halfWidth .. halfWidth at depth(offset), drawn
  // about the middle trace of `view`; then messages are processed and the thread
  // rests 1 ms.
  void DrawArc(int32_t y, int32_t halfWidth, const std::function<double(int32_t)>& depth, const T2Dview& view);

  // A labelled edit at `top` of the left panel.
  TDigitEdit* AddDigitEdit(int top, const QString& label, long double min, long double max, long double step,
                           bool decimals, bool sign);
  // A label of the left panel.
  TLabel* AddPanelLabel(int left, int top, int width, const QString& text);
  // Top of the first free row after the distance edit and after the iteration edit.
  int DistanceRowsTop = 0;
  int IterationRowsTop = 0;
  static constexpr int RowHeight = 26;

private:
  void ApplyAndCopyPicture(TObject* Sender);
  void RepaintOverlay();
  // False once the dialog is gone: a copy requested from it is dropped.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
