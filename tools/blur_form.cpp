#include "tools/blur_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "tools/blur_tool.h"

RESOURCESTRING(SBlurFormCaption, "Blur");
RESOURCESTRING(SBlurHorizontallyCaption, "Blur Horizontally");
RESOURCESTRING(SBlurVerticallyCaption, "Blur Vertically");

namespace {
struct THalfSizeControls {
  TLabel* Label;
  TTrackBar* TrackBar;
  TDigitEdit* Edit;
};

THalfSizeControls HalfSizeControls(TToolForm* form, int top, const QString& caption) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetLeft(8);
  label->SetTop(top);
  label->SetCaption(caption);
  auto* trackBar = new TTrackBar(form);
  trackBar->SetParent(form);
  trackBar->SetBounds(8, top + 18, 177, 33);
  trackBar->SetRange(BlurMinHalf, BlurMaxHalf);
  auto* edit = new TDigitEdit(form);
  edit->SetParent(form);
  edit->SetBounds(192, top + 22, 49, 21);
  edit->SetMinVal(BlurMinHalf);
  edit->SetMaxVal(BlurMaxHalf);
  edit->SetAvailableDecimal(false);
  edit->SetStep(1);
  form->KeepEnterIn(edit);
  return {label, trackBar, edit};
}
}  // namespace

TBlurForm::TBlurForm(TComponent* AOwner) : TToolForm(AOwner) {
  SetCaption(LoadResString(SBlurFormCaption));
  SetClientWidth(249);
  SetClientHeight(199);

  EditCaption->SetBounds(8, 8, 233, 21);
  const THalfSizeControls hor = HalfSizeControls(this, 36, LoadResString(SBlurHorizontallyCaption));
  BaseHorLabel = hor.Label;
  BaseHorTrackBar = hor.TrackBar;
  BaseHorDigitEdit = hor.Edit;
  const THalfSizeControls ver = HalfSizeControls(this, 92, LoadResString(SBlurVerticallyCaption));
  BaseVerLabel = ver.Label;
  BaseVerTrackBar = ver.TrackBar;
  BaseVerDigitEdit = ver.Edit;
  ExecCheckBox->SetBounds(8, 146, 97, 17);
  OKBitBtn->SetBounds(86, 168, 75, 25);
  CancelBitBtn->SetBounds(166, 168, 75, 25);

  BaseHorDigitEdit->OnChangeFinish = [this](TObject* sender) { BaseHorDigitEditChangeFinish(sender); };
  BaseVerDigitEdit->OnChangeFinish = [this](TObject* sender) { BaseVerDigitEditChangeFinish(sender); };
  BaseHorTrackBar->OnChange = [this](TObject* sender) { BaseHorTrackBarChange(sender); };
  BaseVerTrackBar->OnChange = [this](TObject* sender) { BaseVerTrackBarChange(sender); };
}

TBlur& TBlurForm::Blur() const { return static_cast<TBlur&>(*Tool); }

void TBlurForm::DisplayToolParam() {
  BaseHorDigitEdit->SetValueInt(Blur().BaseHor);
  BaseHorTrackBar->SetPosition(Blur().BaseHor);
  BaseVerDigitEdit->SetValueInt(Blur().BaseVer);
  BaseVerTrackBar->SetPosition(Blur().BaseVer);
}

void TBlurForm::BaseHorDigitEditChangeFinish(TObject*) { BaseHorTrackBar->SetPosition(BaseHorDigitEdit->ValueInt()); }

void TBlurForm::BaseVerDigitEditChangeFinish(TObject*) { BaseVerTrackBar->SetPosition(BaseVerDigitEdit->ValueInt()); }

void TBlurForm::BaseHorTrackBarChange(TObject* Sender) {
  if (!Tool) return;
  BaseHorDigitEdit->SetValueInt(BaseHorTrackBar->Position());
  if (!Vsbl) return;
  Blur().BaseHor = BlurHalfSize(BaseHorDigitEdit->ValueInt());
  HalfSizeChanged(Sender);
}

void TBlurForm::BaseVerTrackBarChange(TObject* Sender) {
  if (!Tool) return;
  BaseVerDigitEdit->SetValueInt(BaseVerTrackBar->Position());
  if (!Vsbl) return;
  Blur().BaseVer = BlurHalfSize(BaseVerDigitEdit->ValueInt());
  HalfSizeChanged(Sender);
}

void TBlurForm::HalfSizeChanged(TObject* Sender) {
  if (Tool->runing) return;
  Blur().ZoomMask();
  ExecCheckBoxClick(Sender);
}
