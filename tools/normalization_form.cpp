#include "tools/normalization_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "tools/normalization_kernel.h"
#include "tools/normalization_tool.h"

RESOURCESTRING(SNormalizationFormCaption, "Normalisation Settings");
RESOURCESTRING(SNormalizationWidthCaption, "Width of Window, traces");

namespace {
TToolFormOptions NormalizationFormOptions() {
  TToolFormOptions options;
  options.SpreadApply = false;
  return options;
}
}  // namespace

TNormalizationForm::TNormalizationForm(TComponent* AOwner) : TToolForm(AOwner, NormalizationFormOptions()) {
  SetCaption(LoadResString(SNormalizationFormCaption));
  SetClientWidth(249);
  SetClientHeight(159);

  EditCaption->SetBounds(8, 8, 233, 21);
  WidthWindowLabel = new TLabel(this);
  WidthWindowLabel->SetParent(this);
  WidthWindowLabel->SetLeft(8);
  WidthWindowLabel->SetTop(36);
  WidthWindowLabel->SetCaption(LoadResString(SNormalizationWidthCaption));

  WidthWindowTrackBar = new TTrackBar(this);
  WidthWindowTrackBar->SetParent(this);
  WidthWindowTrackBar->SetBounds(8, 54, 177, 33);
  WidthWindowTrackBar->SetRange(0, NormalizationMaxWidth);
  WidthWindowTrackBar->SetPageSize(20);
  WidthWindowTrackBar->SetFrequency(20);

  WidthWindowDigitEdit = new TDigitEdit(this);
  WidthWindowDigitEdit->SetParent(this);
  WidthWindowDigitEdit->SetBounds(192, 58, 49, 21);
  WidthWindowDigitEdit->SetMinVal(0);
  WidthWindowDigitEdit->SetMaxVal(NormalizationMaxWidth);
  WidthWindowDigitEdit->SetAvailableDecimal(false);
  WidthWindowDigitEdit->SetStep(1);
  KeepEnterIn(WidthWindowDigitEdit);

  ExecCheckBox->SetBounds(8, 100, 97, 17);
  OKBitBtn->SetBounds(86, 126, 75, 25);
  CancelBitBtn->SetBounds(166, 126, 75, 25);

  WidthWindowDigitEdit->OnChangeFinish = [this](TObject* sender) { WidthWindowDigitEditChangeFinish(sender); };
  WidthWindowTrackBar->OnChange = [this](TObject* sender) { WidthWindowTrackBarChange(sender); };
}

TNormalizationTrace& TNormalizationForm::Normalization() const { return static_cast<TNormalizationTrace&>(*Tool); }

void TNormalizationForm::DisplayToolParam() {
  WidthWindowDigitEdit->SetMaxVal(NormalizationMaxWidth);
  WidthWindowTrackBar->SetMax(NormalizationMaxWidth);
  const int32_t width = Normalization().WidthWindow();
  WidthWindowDigitEdit->SetValueInt(width);
  WidthWindowTrackBar->SetPosition(width);
}

void TNormalizationForm::WidthWindowDigitEditChangeFinish(TObject*) {
  WidthWindowTrackBar->SetPosition(WidthWindowDigitEdit->ValueInt());
}

void TNormalizationForm::WidthWindowTrackBarChange(TObject* Sender) {
  if (!Tool) return;
  WidthWindowDigitEdit->SetValueInt(WidthWindowTrackBar->Position());
  if (!Vsbl) return;
  Normalization().SetWidthWindow(WidthWindowTrackBar->Position());
  if (!Tool->runing) ExecCheckBoxClick(Sender);
}
