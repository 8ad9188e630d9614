#pragma once
// TSearchObjectForm: the object search's dialog. Besides the tool's parameters it
// shows a chart of the dialog's channel (samples down the left axis "Simples",
// trace positions along the top, the time-zero line) on which a click inspects a
// point: the predicted hyperbola through it, the amplitude profile along it with
// its verdict, and the chain the tool's search finds from it, with the
// diagnostics in the list beside. The drawing and the lines are
// search_object_overlays.h's.
//
// Deviations from the protocol: no preview while adding; every change re-runs
// the chain with the tool applied; Enter is OK only outside the thirteen numeric
// edits; ShowWave, "Filter Max 3D" and its threshold redraw only the matrix
// (isOnlyPaintWave) when Matrix is set; the extremum mode takes effect at the
// next run.
//
// Threads: the user-interface thread.

#include "tools/tool_form.h"

#include <cstdint>
#include <memory>

class TChart;
class TComboBox;
class TDigitEdit;
class TLabel;
class TLineSeries;
class TListBox;
class TPanel;
class TSearchObjectTool;
class TWinControl;

class TSearchObjectForm : public TToolForm {
public:
  explicit TSearchObjectForm(TComponent* AOwner);
  ~TSearchObjectForm() override;

  TPanel* Panel3 = nullptr;
  TPanel* Panel1 = nullptr;
  TPanel* PanelChartMigration = nullptr;
  TChart* ChartMigration = nullptr;
  TDigitEdit* XupDigitEdit = nullptr;
  TDigitEdit* YupDigitEdit = nullptr;
  TDigitEdit* RxyDigitEdit = nullptr;
  TDigitEdit* dWaveDigitEdit = nullptr;
  TCheckBox* MatrixCh = nullptr;
  TDigitEdit* ShowWaveDigitEdit = nullptr;
  TLabel* OrigWave = nullptr;
  TCheckBox* chFilterMax = nullptr;
  TDigitEdit* FilterMaxDigitEdit = nullptr;
  TCheckBox* cbPolyLine = nullptr;
  TLabel* lbCursor = nullptr;
  TCheckBox* HyperbolaCheckButton = nullptr;
  TCheckBox* AmpHyperbolaCheckBox = nullptr;
  TDigitEdit* XYProportionalDigitEdit = nullptr;
  TBitBtn* ApplayBitBtn = nullptr;
  TDigitEdit* DistanceReceptDigitEdit = nullptr;
  TDigitEdit* MinAmpDigitEdit = nullptr;
  TDigitEdit* SizeHiperbolaDigitEdit = nullptr;
  TDigitEdit* LEngthHiperbolaDigitEdit = nullptr;
  TDigitEdit* MaxSumNormAmpDigitEdit = nullptr;
  TCheckBox* DeleteDownPointsCh = nullptr;
  TDigitEdit* AmpComparatorDigitEdit = nullptr;
  TComboBox* cmMaxAmp = nullptr;
  TListBox* AmpListBox = nullptr;

  TLineSeries* SeriesNull = nullptr;
  TLineSeries* HyperbolaSeries = nullptr;
  TLineSeries* SliceSeries = nullptr;
  TLineSeries* AmpHyperbolaSeries = nullptr;
  TLineSeries* FreqSeries = nullptr;
  TLineSeries* SeriesD = nullptr;
  TLineSeries* SelectPolyLineSeries = nullptr;

  // The inspected point: trace position (top axis) and sample (left axis).
  double HyperbolaX = 0;
  double HyperbolaY = 0;

  void PaintHyperbola(double Ya, double X);
  void PaintAmpHyperbola(double Ya, double X);
  void PaintSelectPolyLiny(double Ya, double X);
  // A click on the chart at (x, y) in axis values.
  void InspectPoint(double x, double y);
  // The window at zoom "100", traces and 1:1; the chart takes the channel's
  // picture as its background, its panel's width, LongTrace + 38 rows, the left
  // axis 0 .. LongTrace ("Simples"), the time-zero line and the wave speed.
  void GetBMPfromView(int indx);
  // The Apply handler; the picture is copied again once the window has
  // recomputed and repainted the channel.
  void ApplyAndCopyPicture(TObject* Sender);

protected:
  void DisplayToolParam() override;

private:
  TSearchObjectTool& SearchTool() const;
  TDigitEdit* AddEdit(int top, const QString& label, long double min, long double max, long double step, bool decimals);
  // With Matrix set: a run that only redraws the matrix.
  void RedrawOnlyWave();
  void RedrawOverlays();
  // False once the dialog is gone: a copy requested from it is dropped.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
