#include "radar/online_background_removal_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radar/adv_track_bar.h"
#include "radar/online_dialog_hooks.h"
#include "radar/online_form_strings.h"
#include "radar/online_stages.h"

TOnlineWindowedBackgroundRemovalForm::TOnlineWindowedBackgroundRemovalForm(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsToolWindow);
  SetCaption(LoadResString(SOnlineBackgroundRemovalFormCaption));
  SetClientWidth(249);
  SetClientHeight(154);

  Label1 = new TLabel(this);
  Label1->SetParent(this);
  Label1->SetLeft(8);
  Label1->SetTop(8);
  Label1->SetCaption(LoadResString(SWidthOfWindowCaption));

  WidthWindowTrackBar = new TadvTrackBar(this);
  WidthWindowTrackBar->SetParent(this);
  WidthWindowTrackBar->SetBounds(8, 28, 233, 33);
  WidthWindowTrackBar->SetRange(MinWidthWindow, MaxWidthWindow);
  WidthWindowTrackBar->SetPageSize(20);
  WidthWindowTrackBar->SetFrequency(20);
  WidthWindowTrackBar->SetPosition(100);

  WidthWindowDigitEdit = new TDigitEdit(this);
  WidthWindowDigitEdit->SetParent(this);
  WidthWindowDigitEdit->SetBounds(8, 72, 65, 21);
  WidthWindowDigitEdit->SetMinVal(MinWidthWindow);
  WidthWindowDigitEdit->SetMaxVal(MaxWidthWindow);
  WidthWindowDigitEdit->SetAvailableDecimal(false);
  WidthWindowDigitEdit->SetStep(1);
  WidthWindowDigitEdit->SetValueInt(100);

  ExecCheckBox = new TCheckBox(this);
  ExecCheckBox->SetParent(this);
  ExecCheckBox->SetBounds(8, 124, 97, 17);
  ExecCheckBox->SetCaption(LoadResString(SOnlineApplyCaption));

  OKBitBtn = new TBitBtn(this);
  OKBitBtn->SetParent(this);
  OKBitBtn->SetBounds(166, 120, 75, 25);
  OKBitBtn->SetCaption(LoadResString(SOnlineOkCaption));
  OKBitBtn->SetModalResult(mrOk);

  OnShow = [this](TObject* sender) { FormShow(sender); };
  ExecCheckBox->OnClick = [this](TObject* sender) { ExecCheckBoxClick(sender); };
  WidthWindowDigitEdit->OnChangeFinish = [this](TObject* sender) { WidthWindowDigitEditChangeFinish(sender); };
  WidthWindowTrackBar->OnChange = [this](TObject* sender) { WidthWindowTrackBarChange(sender); };
}

void TOnlineWindowedBackgroundRemovalForm::FormShow(TObject*) {
  flnoStart = false;
  PlaceAtChart();
  WidthWindowDigitEdit->SetValueInt(FParametrsWindowedBackgroundRemoval.pWidthWindow);
  WidthWindowTrackBar->SetPosition(FParametrsWindowedBackgroundRemoval.pWidthWindow);
  SetCaption(LoadResString(SWindowedBackgroundRemovalCaption));
  ExecCheckBox->SetChecked(FParametrsWindowedBackgroundRemoval.pApplay);
  flnoStart = true;
}

void TOnlineWindowedBackgroundRemovalForm::PlaceAtChart() { PlaceBesideChartAmp(*this); }

void TOnlineWindowedBackgroundRemovalForm::ExecCheckBoxClick(TObject*) {
  FParametrsWindowedBackgroundRemoval.pApplay = ExecCheckBox->Checked();
  if (IOnlineDialogHost* host = OnlineDialogHost())
    host->SetOnlinePluginChecked(OnlinePluginBackgroundItem, ExecCheckBox->Checked());
  ApplyWidth();
}

void TOnlineWindowedBackgroundRemovalForm::WidthWindowDigitEditChangeFinish(TObject*) {
  const int width = WidthWindowDigitEdit->ValueInt();
  WidthWindowTrackBar->SetPosition(width);
  FParametrsWindowedBackgroundRemoval.pWidthWindow = width;
  ApplyWidth();
}

void TOnlineWindowedBackgroundRemovalForm::WidthWindowTrackBarChange(TObject*) {
  WidthWindowDigitEdit->SetValueInt(WidthWindowTrackBar->Position());
  FParametrsWindowedBackgroundRemoval.pWidthWindow = WidthWindowDigitEdit->ValueInt();
  ApplyWidth();
}

void TOnlineWindowedBackgroundRemovalForm::ApplyWidth() {
  if (!flnoStart) return;
  if (IOnlineDialogHost* host = OnlineDialogHost())
    host->SetParamOnlinePlugin(TOnlineStageSet::BackgroundName, FParametrsWindowedBackgroundRemoval);
}
