#include "tools/median_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "tools/median_tool.h"

RESOURCESTRING(SMedianFormCaption, "Median");
RESOURCESTRING(SMedianWindowXCaption, "Half of of horizontal window, traces");
RESOURCESTRING(SMedianWindowYCaption, "Half of vertical window, samples");

namespace {
TDigitEdit* HalfWindowEdit(TToolForm* form, int top) {
  auto* edit = new TDigitEdit(form);
  edit->SetParent(form);
  edit->SetBounds(192, top, 49, 21);
  edit->SetMinVal(0);
  edit->SetMaxVal(TMedianTool::MaxHalfWindow);
  edit->SetAvailableDecimal(false);
  edit->SetStep(1);
  return edit;
}

TLabel* HalfWindowLabel(TToolForm* form, int top, const QString& caption) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetLeft(8);
  label->SetTop(top + 3);
  label->SetCaption(caption);
  return label;
}
}  // namespace

TMedianForm::TMedianForm(TComponent* AOwner) : TToolForm(AOwner) {
  SetCaption(LoadResString(SMedianFormCaption));
  SetClientWidth(249);
  SetClientHeight(155);

  EditCaption->SetBounds(8, 8, 233, 21);
  MedianWindowXLabel = HalfWindowLabel(this, 40, LoadResString(SMedianWindowXCaption));
  MedianWindowXDigitEdit = HalfWindowEdit(this, 40);
  MedianWindowYLabel = HalfWindowLabel(this, 68, LoadResString(SMedianWindowYCaption));
  MedianWindowYDigitEdit = HalfWindowEdit(this, 68);
  ExecCheckBox->SetBounds(8, 98, 97, 17);
  OKBitBtn->SetBounds(86, 122, 75, 25);
  CancelBitBtn->SetBounds(166, 122, 75, 25);

  MedianWindowXDigitEdit->OnChangeFinish = [this](TObject* sender) { MedianWindowXDigitEditChangeFinish(sender); };
  MedianWindowYDigitEdit->OnChangeFinish = [this](TObject* sender) { MedianWindowYDigitEditChangeFinish(sender); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { KeyDown(sender, key, shift); };
}

TMedianTool& TMedianForm::Median() const { return static_cast<TMedianTool&>(*Tool); }

void TMedianForm::DisplayToolParam() {
  MedianWindowXDigitEdit->SetValueInt(Median().MedianWindowX);
  MedianWindowYDigitEdit->SetValueInt(Median().MedianWindowY);
}

void TMedianForm::MedianWindowXDigitEditChangeFinish(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  Median().MedianWindowX = MedianWindowXDigitEdit->ValueInt();
  if (!Tool->runing) ExecCheckBoxClick(Sender);
}

void TMedianForm::MedianWindowYDigitEditChangeFinish(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  Median().MedianWindowY = MedianWindowYDigitEdit->ValueInt();
  if (!Tool->runing) ExecCheckBoxClick(Sender);
}

void TMedianForm::KeyDown(TObject* Sender, WORD& Key, TShiftState Shift) {
  if (Key != VK_RETURN) {
    FormKeyDown(Sender, Key, Shift);
    return;
  }
  // Enter stays the focused edit's (it confirms a typed value).
  if (Tool && Tool->runing) Tool->NeedToClose = true;
}
