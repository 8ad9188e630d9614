#include "tools/window_substr_average_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "tools/win_subtract_trace.h"

RESOURCESTRING(SWindowSubstrAverageFormCaption, "Background Removal Settings");
RESOURCESTRING(SWidthOfWindowTracesCaption, "Width of Window, traces");
RESOURCESTRING(SGausseCaption, "Gausse");

TWindowSubstrAverageForm::TWindowSubstrAverageForm(TComponent* AOwner) : TToolForm(AOwner) {
  SetCaption(LoadResString(SWindowSubstrAverageFormCaption));
  SetClientWidth(249);
  SetClientHeight(186);

  EditCaption->SetBounds(8, 8, 233, 21);

  WidthWindowLabel = new TLabel(this);
  WidthWindowLabel->SetParent(this);
  WidthWindowLabel->SetLeft(8);
  WidthWindowLabel->SetTop(36);
  WidthWindowLabel->SetCaption(LoadResString(SWidthOfWindowTracesCaption));

  WidthWindowTrackBar = new TTrackBar(this);
  WidthWindowTrackBar->SetParent(this);
  WidthWindowTrackBar->SetBounds(8, 54, 233, 33);
  WidthWindowTrackBar->SetRange(TWinSubtractTrace::MinWidthWindow, TWinSubtractTrace::MaxWidthWindow);
  WidthWindowTrackBar->SetPageSize(20);
  WidthWindowTrackBar->SetFrequency(20);

  WidthWindowDigitEdit = new TDigitEdit(this);
  WidthWindowDigitEdit->SetParent(this);
  WidthWindowDigitEdit->SetBounds(8, 94, 65, 21);
  WidthWindowDigitEdit->SetMinVal(TWinSubtractTrace::MinWidthWindow);
  WidthWindowDigitEdit->SetMaxVal(TWinSubtractTrace::MaxWidthWindow);
  WidthWindowDigitEdit->SetAvailableDecimal(false);
  WidthWindowDigitEdit->SetStep(1);

  cbGausse = new TCheckBox(this);
  cbGausse->SetParent(this);
  cbGausse->SetBounds(88, 96, 65, 17);
  cbGausse->SetCaption(LoadResString(SGausseCaption));
  cbGausse->SetVisible(false);

  cbKoefGausse = new TComboBox(this);
  cbKoefGausse->SetParent(this);
  cbKoefGausse->SetStyle(csDropDownList);
  cbKoefGausse->SetBounds(160, 94, 81, 21);
  QStringList items;
  for (const char* item : KoefGausseItems) items << QString::fromLatin1(item);
  cbKoefGausse->SetItems(items);
  cbKoefGausse->SetVisible(false);

  ExecCheckBox->SetBounds(8, 126, 97, 17);
  OKBitBtn->SetBounds(86, 152, 75, 25);
  CancelBitBtn->SetBounds(166, 152, 75, 25);
  KeepEnterIn(WidthWindowDigitEdit);

  WidthWindowDigitEdit->OnChangeFinish = [this](TObject* sender) { WidthWindowDigitEditChangeFinish(sender); };
  WidthWindowTrackBar->OnChange = [this](TObject* sender) { WidthWindowTrackBarChange(sender); };
  cbGausse->OnClick = [this](TObject* sender) { cbGausseClick(sender); };
  cbKoefGausse->OnChange = [this](TObject* sender) { cbKoefGausseChange(sender); };
}

TWinSubtractTrace& TWindowSubstrAverageForm::Subtract() const { return static_cast<TWinSubtractTrace&>(*Tool); }

void TWindowSubstrAverageForm::DisplayToolParam() {
  WidthWindowDigitEdit->SetMaxVal(TWinSubtractTrace::MaxWidthWindow);
  WidthWindowTrackBar->SetMax(TWinSubtractTrace::MaxWidthWindow);
  const int32_t width = Subtract().WidthWindow();
  WidthWindowDigitEdit->SetValueInt(width);
  WidthWindowTrackBar->SetPosition(width);
  cbGausse->SetChecked(Subtract().GausseRun);
  int index = -1;
  for (size_t i = 0; i < KoefGausseValues.size(); ++i)
    if (KoefGausseValues[i] == Subtract().KoefGausse) index = static_cast<int>(i);
  cbKoefGausse->SetItemIndex(index);
}

void TWindowSubstrAverageForm::WidthWindowDigitEditChangeFinish(TObject*) {
  WidthWindowTrackBar->SetPosition(WidthWindowDigitEdit->ValueInt());
}

void TWindowSubstrAverageForm::WidthWindowTrackBarChange(TObject* Sender) {
  if (!Tool) return;
  WidthWindowDigitEdit->SetValueInt(WidthWindowTrackBar->Position());
  if (!Vsbl) return;
  Subtract().SetWidthWindow(WidthWindowDigitEdit->ValueInt());
  if (!Tool->runing) ExecCheckBoxClick(Sender);
}

void TWindowSubstrAverageForm::cbGausseClick(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  Subtract().GausseRun = cbGausse->Checked();
  if (!Tool->runing) ExecCheckBoxClick(Sender);
}

void TWindowSubstrAverageForm::cbKoefGausseChange(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  const int index = cbKoefGausse->ItemIndex();
  if (index >= 0 && index < static_cast<int>(KoefGausseValues.size()))
    Subtract().KoefGausse = KoefGausseValues[static_cast<size_t>(index)];
  if (!Tool->runing) ExecCheckBoxClick(Sender);
}
