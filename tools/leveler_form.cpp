#include "tools/leveler_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/radio_group.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radargram/tool_messages.h"
#include "tools/leveler_tool.h"

RESOURCESTRING(SLevelerFormCaption, "Leveler Filter Settings");
RESOURCESTRING(SLevelerTransformCaption, "Transform");
RESOURCESTRING(SLevelerIsophaseCaption, "Isophase Line");
RESOURCESTRING(SLevelerAmplitudeItem, "Amplitude");
RESOURCESTRING(SLevelerHilbertItem, "Hilbert");
RESOURCESTRING(SLevelerMovingAverageItem, "Moving Average");
RESOURCESTRING(SLevelerManualItem, "Manual");
RESOURCESTRING(SLevelerHilbertGroupCaption, "Additiona for Hilbert");
RESOURCESTRING(SLevelerBloorWindowCaption, "Half of the bloor window");
RESOURCESTRING(SLevelerShowResultCaption, "Show result");
RESOURCESTRING(SLevelerMedianGroupCaption, "Median Filter");
RESOURCESTRING(SLevelerFilterWindowCaption, "Half of the filter window");
RESOURCESTRING(SLevelerApplyMedianCaption, "Apply Median Filter");
RESOURCESTRING(SLevelerBloorGroupCaption, "Bloor Filter");
RESOURCESTRING(SLevelerApplyBloorCaption, "Apply Bloor Filter");

namespace {
TToolFormOptions LevelerFormOptions() {
  TToolFormOptions options;
  options.LanguageCharset = false;
  options.PreviewOnShow = false;
  return options;
}

// A group of a half window (label and edit) and a check box.
struct TWindowGroup {
  TGroupBox* Box;
  TLabel* Label;
  TDigitEdit* Edit;
  TCheckBox* Check;
};

TWindowGroup WindowGroup(TToolForm* form, int top, const QString& caption, const QString& label, int maxVal,
                         const QString& check) {
  auto* box = new TGroupBox(form);
  box->SetParent(form);
  box->SetBounds(176, top, 201, 73);
  box->SetCaption(caption);
  auto* text = new TLabel(form);
  text->SetParent(box);
  text->SetLeft(8);
  text->SetTop(22);
  text->SetCaption(label);
  auto* edit = new TDigitEdit(form);
  edit->SetParent(box);
  edit->SetBounds(144, 18, 49, 21);
  edit->SetMinVal(1);
  edit->SetMaxVal(maxVal);
  edit->SetAvailableDecimal(false);
  edit->SetStep(1);
  auto* box2 = new TCheckBox(form);
  box2->SetParent(box);
  box2->SetBounds(8, 46, 185, 17);
  box2->SetCaption(check);
  return {box, text, edit, box2};
}
}  // namespace

TLevelerForm::TLevelerForm(TComponent* AOwner) : TToolForm(AOwner, LevelerFormOptions()) {
  SetCaption(LoadResString(SLevelerFormCaption));
  SetClientWidth(385);
  SetClientHeight(297);

  EditCaption->SetBounds(8, 8, 369, 21);
  ExecCheckBox->SetBounds(8, 38, 97, 17);
  TransformCheckBox = new TCheckBox(this);
  TransformCheckBox->SetParent(this);
  TransformCheckBox->SetBounds(8, 60, 97, 17);
  TransformCheckBox->SetCaption(LoadResString(SLevelerTransformCaption));

  RadioGroup1 = new TRadioGroup(this);
  RadioGroup1->SetParent(this);
  RadioGroup1->SetBounds(8, 86, 161, 121);
  RadioGroup1->SetCaption(LoadResString(SLevelerIsophaseCaption));
  RadioGroup1->SetItems({LoadResString(SLevelerAmplitudeItem), LoadResString(SLevelerHilbertItem),
                         LoadResString(SLevelerMovingAverageItem), LoadResString(SLevelerManualItem)});

  const TWindowGroup hilbert =
      WindowGroup(this, 36, LoadResString(SLevelerHilbertGroupCaption), LoadResString(SLevelerBloorWindowCaption),
                  TLeveler::MaxHilbertBloor, LoadResString(SLevelerShowResultCaption));
  HilbertGroupBox = hilbert.Box;
  BloorHilebrtBaseLabel = hilbert.Label;
  BloorHilebrtBaseDigitEdit = hilbert.Edit;
  ShowHilbertResultCheckBox = hilbert.Check;
  const TWindowGroup median =
      WindowGroup(this, 114, LoadResString(SLevelerMedianGroupCaption), LoadResString(SLevelerFilterWindowCaption),
                  TLeveler::MaxMedianF, LoadResString(SLevelerApplyMedianCaption));
  MedianGroupBox = median.Box;
  BaseMedianFLabel = median.Label;
  BaseMedianFDigitEdit = median.Edit;
  ApplyMedianFCheckBox = median.Check;
  const TWindowGroup bloor =
      WindowGroup(this, 192, LoadResString(SLevelerBloorGroupCaption), LoadResString(SLevelerFilterWindowCaption),
                  TLeveler::MaxBloorF, LoadResString(SLevelerApplyBloorCaption));
  BloorGroupBox = bloor.Box;
  BaseBloorFLabel = bloor.Label;
  BaseBloorFDigitEdit = bloor.Edit;
  ApplyGlideCheckBox = bloor.Check;

  OKBitBtn->SetBounds(222, 268, 75, 25);
  CancelBitBtn->SetBounds(302, 268, 75, 25);

  TransformCheckBox->OnClick = [this](TObject* sender) { TransformCheckBoxClick(sender); };
  RadioGroup1->OnClick = [this](TObject* sender) { RadioGroup1Click(sender); };
  BloorHilebrtBaseDigitEdit->OnChangeFinish = [this](TObject* s) { BloorHilebrtBaseDigitEditChangeFinish(s); };
  ShowHilbertResultCheckBox->OnClick = [this](TObject* sender) { ShowHilbertResultCheckBoxClick(sender); };
  BaseMedianFDigitEdit->OnChangeFinish = [this](TObject* sender) { BaseMedianFDigitEditChangeFinish(sender); };
  ApplyMedianFCheckBox->OnClick = [this](TObject* sender) { ApplyMedianFCheckBoxClick(sender); };
  BaseBloorFDigitEdit->OnChangeFinish = [this](TObject* sender) { BaseBloorFDigitEditChangeFinish(sender); };
  ApplyGlideCheckBox->OnClick = [this](TObject* sender) { ApplyGlideCheckBoxClick(sender); };
  SetMessageHandler(WM_TOOLREAPPLY, [this](TMessage&) {
    if (Vsbl && ExecCheckBox->Checked()) ExecCheckBoxClick(this);
  });
}

TLeveler& TLevelerForm::Leveler() const { return static_cast<TLeveler&>(*Tool); }

void TLevelerForm::DisplayToolParam() {
  const TLeveler& leveler = Leveler();
  ApplyGlideCheckBox->SetChecked(leveler.ApplyGlide);
  ApplyMedianFCheckBox->SetChecked(leveler.ApplyMedianF);
  BloorHilebrtBaseDigitEdit->SetValueInt(leveler.BaseHilbertBloor);
  BaseMedianFDigitEdit->SetValueInt(leveler.BaseMedianF);
  BaseBloorFDigitEdit->SetValueInt(leveler.BaseBloorF);
  RadioGroup1->SetItemIndex(leveler.SearchType);
  TransformCheckBox->SetChecked(leveler.Transform);
}

void TLevelerForm::TransformCheckBoxClick(TObject*) {
  if (Tool && Vsbl) Leveler().Transform = TransformCheckBox->Checked();
}

void TLevelerForm::RadioGroup1Click(TObject*) {
  const int index = RadioGroup1->ItemIndex();
  if (Tool && Vsbl && index >= stAmplitude && index <= stManual) Leveler().SearchType = static_cast<TSearchingType>(index);
}

void TLevelerForm::BloorHilebrtBaseDigitEditChangeFinish(TObject*) {
  if (Tool && Vsbl) Leveler().BaseHilbertBloor = BloorHilebrtBaseDigitEdit->ValueInt();
}

void TLevelerForm::ShowHilbertResultCheckBoxClick(TObject*) {
  if (Tool && Vsbl) Leveler().ShowResult = ShowHilbertResultCheckBox->Checked();
}

void TLevelerForm::BaseMedianFDigitEditChangeFinish(TObject*) {
  if (!Tool || !Vsbl) return;
  Leveler().BaseMedianF = BaseMedianFDigitEdit->ValueInt();
  SmoothingChanged();
}

void TLevelerForm::ApplyMedianFCheckBoxClick(TObject*) {
  if (!Tool || !Vsbl) return;
  Leveler().ApplyMedianF = ApplyMedianFCheckBox->Checked();
  SmoothingChanged();
}

void TLevelerForm::BaseBloorFDigitEditChangeFinish(TObject*) {
  if (!Tool || !Vsbl) return;
  Leveler().BaseBloorF = BaseBloorFDigitEdit->ValueInt();
  SmoothingChanged();
}

void TLevelerForm::ApplyGlideCheckBoxClick(TObject*) {
  if (!Tool || !Vsbl) return;
  Leveler().ApplyGlide = ApplyGlideCheckBox->Checked();
  SmoothingChanged();
}

void TLevelerForm::SmoothingChanged() { Leveler().DrowSurfaceLine(); }
