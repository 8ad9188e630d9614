#pragma once
// TNullForm: the "Set zero depth level" dialog of a radargram window. A vertical
// track bar over the samples of the active channel's trace sets its time zero
// (NullShift) as it moves; the label beside it shows the shift as a depth;
// "Auto" runs the automatic search. Changes apply at once; there is no cancel.
//
// The window creates the dialog for its "Set Zero Level" button, shows it
// modally and frees it. While it exists it is the unit-wide dialog (NullForm()),
// so that the automatic search moves its track bar instead of storing the zero
// itself.
//
// User-interface thread only.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"

class TBitBtn;
class TLabel;
class TTrackBar;
class TView2DForm;

RESOURCESTRING(SSetZeroDepthLevel, "Set zero depth level");
RESOURCESTRING(SShiftM, "Shift, m");
RESOURCESTRING(SAutoZero, "Auto");
RESOURCESTRING(SOkZero, "OK");

class TNullForm : public TForm {
public:
  // window: the radargram window whose active channel is edited; it outlives the
  // dialog. The dialog becomes the unit-wide one until it goes.
  TNullForm(TComponent* AOwner, TView2DForm& window);
  ~TNullForm() override;

  QString WindowClassName() const override { return QStringLiteral("TNullForm"); }

  TTrackBar* TrackBarNullDepth = nullptr;
  TLabel* ShiftLabel = nullptr;
  TLabel* LabelNullDepth = nullptr;
  TBitBtn* BitBtnAutomatic = nullptr;
  TBitBtn* OKBitBtn = nullptr;
  // The channel being edited.
  int NumEditView = 0;

  void FormShow();
  void TrackBarNullDepthChange();
  void BitBtnAutomaticClick();

private:
  TView2DForm& window_;
  // Set while FormShow fills the track bar, so that filling it stores nothing.
  bool filling_ = false;
};

// The dialog while it exists; nullptr otherwise.
TNullForm* NullForm();
