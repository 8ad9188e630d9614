#include "tools/instantaneous_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "radargram/tool_messages.h"
#include "tools/instantaneous_tool.h"

RESOURCESTRING(SInstantaneousOutputTypeCaption, "Output Type");
RESOURCESTRING(SInstantaneousFrequencyCaption, "Frequency");
RESOURCESTRING(SInstantaneousEnvelopeCaption, "Envelope");
RESOURCESTRING(SInstantaneousFrequencyLabel, "Frequency: ");

TInstantaneousForm::TInstantaneousForm(TComponent* AOwner)
    : TToolForm(AOwner, [] {
        TToolFormOptions options;
        options.PreviewOnShow = false;
        return options;
      }()) {
  SetClientWidth(241);
  SetClientHeight(177);
  EditCaption->SetBounds(8, 8, 225, 21);

  OutputTypeGroupBox = new TGroupBox(this);
  OutputTypeGroupBox->SetParent(this);
  OutputTypeGroupBox->SetBounds(8, 36, 225, 65);
  OutputTypeGroupBox->SetCaption(LoadResString(SInstantaneousOutputTypeCaption));
  OutputTypeToolBar = new TToolBar(this);
  OutputTypeToolBar->SetParent(OutputTypeGroupBox);
  OutputTypeToolBar->SetBounds(8, 18, 209, 40);

  const auto makeButton = [this](int left, const TResourceString& caption) {
    auto* button = new TToolButton(this);
    button->SetStyle(tbsCheck);
    button->SetGrouped(true);
    button->SetParent(OutputTypeToolBar);
    button->SetBounds(left, 0, 100, 36);
    button->SetCaption(LoadResString(caption));
    return button;
  };
  FreqToolButton = makeButton(0, SInstantaneousFrequencyCaption);
  AmplitudeToolButton = makeButton(104, SInstantaneousEnvelopeCaption);
  FreqToolButton->OnClick = [this](TObject* sender) { FreqToolButtonClick(sender); };
  AmplitudeToolButton->OnClick = [this](TObject* sender) { AmplitudeToolButtonClick(sender); };
  FreqToolButton->SetDown(true);

  FrequencyLbl = new TLabel(this);
  FrequencyLbl->SetParent(this);
  FrequencyLbl->SetBounds(8, 108, 225, 13);
  FrequencyLbl->SetVisible(false);

  ExecCheckBox->SetBounds(8, 128, 97, 17);
  OKBitBtn->SetBounds(78, 146, 75, 25);
  CancelBitBtn->SetBounds(158, 146, 75, 25);

  SetMessageHandler(WM_TOOLREAPPLY, [this](TMessage&) {
    if (Vsbl && ExecCheckBox->Checked()) ExecCheckBoxClick(this);
  });
}

TInstantaneousTool& TInstantaneousForm::InstantaneousTool() const { return static_cast<TInstantaneousTool&>(*Tool); }

void TInstantaneousForm::ShowFrequencyLabel(bool envelope) {
  FrequencyLbl->SetVisible(envelope && ShowsFrequencyLabel());
}

void TInstantaneousForm::DisplayToolParam() {
  TInstantaneousTool& tool = InstantaneousTool();
  const bool envelope = tool.OutputType == otAmplitude;
  (envelope ? AmplitudeToolButton : FreqToolButton)->SetDown(true);
  FrequencyLbl->SetCaption(LoadResString(SInstantaneousFrequencyLabel) + FloatToStr(tool.FreqInPos));
  ShowFrequencyLabel(envelope);
}

void TInstantaneousForm::StoreToolParam() { InstantaneousTool().SetAllOutputType(InstantaneousTool().OutputType); }

void TInstantaneousForm::FreqToolButtonClick(TObject* Sender) {
  if (!Tool) return;
  InstantaneousTool().OutputType = otFreq;
  ShowFrequencyLabel(false);
  ExecCheckBoxClick(Sender);
}

void TInstantaneousForm::AmplitudeToolButtonClick(TObject* Sender) {
  if (!Tool) return;
  InstantaneousTool().OutputType = otAmplitude;
  ShowFrequencyLabel(true);
  ExecCheckBoxClick(Sender);
}
