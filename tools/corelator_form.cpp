#include "tools/corelator_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "tools/corelator.h"

RESOURCESTRING(SCorelatorFormCaption, "Corelator Settings");
RESOURCESTRING(SCorelatorVerticalBaseCaption, "Vertical Base");
RESOURCESTRING(SCorelatorSamplesCaption, "samples");
RESOURCESTRING(SCorelatorModeCaption, "Mode");
RESOURCESTRING(SCorelatorMode1Caption, "Mode 1");
RESOURCESTRING(SCorelatorMode2Caption, "Mode 2");

TCorelatorForm::TCorelatorForm(TComponent* AOwner) : TToolForm(AOwner) {
  SetCaption(LoadResString(SCorelatorFormCaption));
  SetClientWidth(249);
  SetClientHeight(243);

  EditCaption->SetBounds(8, 8, 233, 21);

  BaseVerGroupBox = new TGroupBox(this);
  BaseVerGroupBox->SetParent(this);
  BaseVerGroupBox->SetBounds(8, 36, 233, 85);
  BaseVerGroupBox->SetCaption(LoadResString(SCorelatorVerticalBaseCaption));

  VertTrackBar = new TTrackBar(this);
  VertTrackBar->SetParent(BaseVerGroupBox);
  VertTrackBar->SetBounds(8, 18, 217, 33);
  VertTrackBar->SetRange(0, TCorelator::MaxBaseVer);
  VertTrackBar->SetPageSize(5);
  VertTrackBar->SetFrequency(5);

  BaseVerDigitEdit = new TDigitEdit(this);
  BaseVerDigitEdit->SetParent(BaseVerGroupBox);
  BaseVerDigitEdit->SetBounds(8, 56, 65, 21);
  BaseVerDigitEdit->SetMinVal(0);
  BaseVerDigitEdit->SetMaxVal(TCorelator::MaxBaseVer);
  BaseVerDigitEdit->SetAvailableDecimal(false);
  BaseVerDigitEdit->SetStep(1);

  SamplesLabel = new TLabel(this);
  SamplesLabel->SetParent(BaseVerGroupBox);
  SamplesLabel->SetLeft(80);
  SamplesLabel->SetTop(60);
  SamplesLabel->SetCaption(LoadResString(SCorelatorSamplesCaption));

  ModeGroupBox = new TGroupBox(this);
  ModeGroupBox->SetParent(this);
  ModeGroupBox->SetBounds(8, 128, 233, 53);
  ModeGroupBox->SetCaption(LoadResString(SCorelatorModeCaption));

  ModeToolBar = new TToolBar(this);
  ModeToolBar->SetParent(ModeGroupBox);
  ModeToolBar->SetBounds(8, 18, 217, 27);

  const TResourceString* captions[] = {&SCorelatorMode1Caption, &SCorelatorMode2Caption};
  TToolButton** buttons[] = {&ModeToolButton1, &ModeToolButton2};
  for (int i = 0; i < 2; ++i) {
    auto* button = new TToolButton(this);
    button->SetStyle(tbsCheck);
    button->SetGrouped(true);
    button->SetParent(ModeToolBar);
    button->SetBounds(i * 109, 0, 108, 25);
    button->SetCaption(LoadResString(*captions[i]));
    button->SetTag(i);
    button->OnClick = [this](TObject* sender) { ModeButtonClick(sender); };
    *buttons[i] = button;
  }
  ModeToolButton1->SetDown(true);

  ExecCheckBox->SetBounds(8, 188, 97, 17);
  OKBitBtn->SetBounds(86, 210, 75, 25);
  CancelBitBtn->SetBounds(166, 210, 75, 25);
  KeepEnterIn(BaseVerDigitEdit);

  BaseVerDigitEdit->OnChangeFinish = [this](TObject* sender) { BaseVerDigitEditChangeFinish(sender); };
  VertTrackBar->OnChange = [this](TObject* sender) { VertTrackBarChange(sender); };
}

TCorelator& TCorelatorForm::Corelator() const { return static_cast<TCorelator&>(*Tool); }

void TCorelatorForm::DisplayToolParam() {
  const int base = Corelator().BaseVer;
  BaseVerDigitEdit->SetValueInt(base);
  VertTrackBar->SetPosition(base);
  if (Corelator().Mode == TCorelatorMode::Mode2)
    ModeToolButton2->SetDown(true);
  else
    ModeToolButton1->SetDown(true);
}

void TCorelatorForm::BaseVerDigitEditChangeFinish(TObject*) {
  VertTrackBar->SetPosition(BaseVerDigitEdit->ValueInt());
}

void TCorelatorForm::VertTrackBarChange(TObject* Sender) {
  if (!Tool) return;
  BaseVerDigitEdit->SetValueInt(VertTrackBar->Position());
  if (!Vsbl) return;
  Corelator().BaseVer = static_cast<uint8_t>(VertTrackBar->Position());
  if (!Tool->runing) ExecCheckBoxClick(Sender);
}

void TCorelatorForm::ModeButtonClick(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  const auto* button = dynamic_cast<const TToolButton*>(Sender);
  if (button) Corelator().Mode = static_cast<TCorelatorMode>(button->Tag());
  ExecCheckBoxClick(Sender);
}
