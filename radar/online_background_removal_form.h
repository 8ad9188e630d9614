#pragma once
// TOnlineWindowedBackgroundRemovalForm: the width and the Apply switch of the
// online background removal, applied to the stage at every change.
//
// Created once and shown modally by the settings window, which fills the record
// before each showing. Filling the controls on show applies nothing; afterwards
// every confirmed width (the track bar, or the edit when Enter is pressed or it
// is left) and every Apply change goes to the stage at once. "Ok" only closes.
//
// User-interface thread only.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"
#include "radar/online_parameters.h"

class TBitBtn;
class TCheckBox;
class TDigitEdit;
class TLabel;
class TadvTrackBar;

RESOURCESTRING(SWindowedBackgroundRemovalCaption, "Windowed Background Removal");
RESOURCESTRING(SOnlineBackgroundRemovalFormCaption, "Windowed Background Removal property");
RESOURCESTRING(SWidthOfWindowCaption, "Width of Window, traces");

class TOnlineWindowedBackgroundRemovalForm : public TForm {
public:
  static constexpr int MinWidthWindow = 1;
  static constexpr int MaxWidthWindow = 300;

  explicit TOnlineWindowedBackgroundRemovalForm(TComponent* AOwner);

  TParametrsWindowedBackgroundRemoval FParametrsWindowedBackgroundRemoval;

  TLabel* Label1;
  TadvTrackBar* WidthWindowTrackBar;
  TDigitEdit* WidthWindowDigitEdit;
  TCheckBox* ExecCheckBox;
  TBitBtn* OKBitBtn;

  void FormShow(TObject* Sender);
  void ExecCheckBoxClick(TObject* Sender);
  void WidthWindowDigitEditChangeFinish(TObject* Sender);
  void WidthWindowTrackBarChange(TObject* Sender);

  // Left of the settings window's amplitude chart, level with its top.
  void PlaceAtChart();
  // The record to the stage, unless the dialog is filling its controls.
  void ApplyWidth();

  // Off while the dialog fills its controls on show.
  bool flnoStart = false;
};
