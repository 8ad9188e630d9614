#pragma once
// TTVGCForm: the gain tool's dialog ("Gain Settings"): the curve box under a dB
// scale, edited with the mouse (profiledata/gain_curve_editing.h has the rules),
// and "OK", "Auto", "Null" and "Cancel" under the box.
//
// The box is as high as the channel's trace on the screen and the dialog stands
// beside the channel's chart with the box's rows on the radargram's rows; when
// the channel's panel is lower than the dialog the window zooms to its height.
// Every edit is stored as the dialog's channel's set at once (while adding, the
// mouse release gives it to every channel) and previewed while Apply is set.
//
// The form draws on a surface control under its other controls; the surface's
// mouse events are the form's, in the same coordinates. Otherwise it follows the
// tool dialog protocol (tool_form.h), its top set by its own layout.

#include "tools/tool_form.h"

class TBitBtn;
class TCustomControl;
class TLabel;
class TTVGC;

class TTVGCForm : public TToolForm {
public:
  // The surface's top in the client area (its mouse and paint coordinates are
  // the form's less this).
  static constexpr int SurfaceTop = 28;

  explicit TTVGCForm(TComponent* AOwner);

  int32_t NumDragPoint = -1;
  int32_t NumOverPoint = -1;
  int32_t xPos = -1;
  int32_t yPos = -1;

  TCustomControl* GainSurface;
  TLabel* GainLabel;  // "Gain, dB"
  TBitBtn* AutoBitBtn;
  TBitBtn* BitBtn1;  // "Null"

  void FormPaint(TObject* Sender);
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FormMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void GainKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
  void BitBtn1Click(TObject* Sender);
  void AutoBitBtnClick(TObject* Sender);
  void GainOKClick(TObject* Sender);

  // The box of the dialog's channel from top 65, the buttons 5 pixels under it,
  // the client height 5 pixels under them, and the top that puts the box's first
  // row on the chart's first plotted row.
  void SetHightBAseDots();
  // The layout; when the channel's panel is lower than the dialog, the window
  // zooms to its height and the layout follows.
  void SetHeightWin();

protected:
  void DisplayToolParam() override;
  void Resize() override;

private:
  TTVGC& Gain() const;
  void Redraw();
  void PlaceSurface();
  void MarkEdited();
  void DrawScale();
};
