#pragma once
// TOnlineTVGCForm: the online gain curve, edited with the mouse and applied to
// the gain stage at once.
//
// The curve box lies under a dB scale; its height follows the plotting height of
// the settings window's amplitude chart, so that a row of the curve is a row of
// the chart. Left drag moves a point (an inner point only between the rows of its
// neighbours), a right click on empty space inside the box adds one, Ctrl+click
// deletes an inner point, "Null" makes the curve flat (gain 1). Enter or Escape
// closes the dialog.
//
// The form draws on a surface control that fills its client area; the surface's
// mouse events are the form's, in the same coordinates.
//
// Created once and shown modally by the settings window, which fills the record
// before each showing. User-interface thread only.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"
#include "profiledata/gain_curve_editing.h"
#include "radar/online_parameters.h"

class TBitBtn;
class TCheckBox;
class TCustomControl;
class TLabel;

RESOURCESTRING(SGainCaption, "Gain");
RESOURCESTRING(SRestoreCaption, "Restore");
RESOURCESTRING(SOnlineGainFormCaption, "Online Gain property");
RESOURCESTRING(SGainDbCaption, "Gain, dB");
RESOURCESTRING(SNullCaption, "Null");
RESOURCESTRING(SGainCancelCaption, "&Cancel");


class TOnlineTVGCForm : public TForm {
public:
  // The curve box's top, under the scale.
  static constexpr int CurveTop = 60;
  // How near (in x and in y) the mouse must be to take a point.
  static constexpr int PointReach = GainPointReach;

  explicit TOnlineTVGCForm(TComponent* AOwner);

  TParametrsGain FParametrsGain;
  int32_t NumDragPoint = -1;
  int32_t NumOverPoint = -1;
  int32_t xPos = -1;
  int32_t yPos = -1;

  TCustomControl* GainSurface;
  TLabel* Label1;
  TCheckBox* ExecCheckBox;
  TBitBtn* OKBitBtn;
  TBitBtn* BitBtn1;       // "Null"
  TBitBtn* CancelBitBtn;  // hidden; marked "Restore" after an edit

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormPaint(TObject* Sender);
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FormMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
  void BitBtn1Click(TObject* Sender);
  void ExecCheckBoxClick(TObject* Sender);
  // The curve box under the scale, as high as the amplitude chart's plotting
  // area; then the record goes to the stage (also while filling on show).
  void SetHightBAseDots();

  void PlaceAtChart();
  // SetHightBAseDots, then the buttons under the box and the client height.
  void LayoutGain();
  // The record to the stage, unless the dialog is filling its controls.
  void ApplyGain();
  void DrawGainScale();
  // The point within PointReach of (x, y) in box coordinates, the first in row
  // order; -1 when none. Over a point the surface shows the move cursor, or the
  // delete cursor with Ctrl held.
  int PointAt(int x, int y, TShiftState shift);

  bool flnoStart = false;

protected:
  void Resize() override;

private:
  // The curve's tables recomputed and the surface repainted.
  void RedrawCurve();
  void MarkEdited();
  void SendRecord();
};
