#include "platform/ui/input_box.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/keys.h"
#include "platform/ui/std_controls.h"

#include <algorithm>

namespace {

RESOURCESTRING(SInputBoxOK, "OK");
RESOURCESTRING(SInputBoxCancel, "Cancel");

constexpr int kMargin = 8;
constexpr int kEditWidth = 280;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

}  // namespace

TInputBoxForm::TInputBoxForm(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);

  Prompt = new TLabel(this);
  Prompt->SetParent(this);
  Prompt->SetLeft(kMargin);
  Prompt->SetTop(kMargin);

  Edit = new TEdit(this);
  Edit->SetParent(this);
  Edit->SetBounds(kMargin, 30, kEditWidth, 21);

  OkButton = new TButton(this);
  OkButton->SetParent(this);
  OkButton->SetBounds(kMargin + kEditWidth - 2 * kButtonWidth - kMargin, 62, kButtonWidth, kButtonHeight);
  OkButton->SetCaption(LoadResString(SInputBoxOK));
  OkButton->SetModalResult(mrOk);

  CancelButton = new TButton(this);
  CancelButton->SetParent(this);
  CancelButton->SetBounds(kMargin + kEditWidth - kButtonWidth, 62, kButtonWidth, kButtonHeight);
  CancelButton->SetCaption(LoadResString(SInputBoxCancel));
  CancelButton->SetModalResult(mrCancel);

  SetClientWidth(kEditWidth + 2 * kMargin);
  SetClientHeight(62 + kButtonHeight + kMargin);

  Edit->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
    if (key == VK_RETURN) {
      key = 0;
      OkButton->Click();
    } else if (key == VK_ESCAPE) {
      key = 0;
      CancelButton->Click();
    }
  };
}

bool InputQuery(const QString& caption, const QString& prompt, QString& value) {
  auto* form = TComponent::Create<TInputBoxForm>(nullptr);
  form->SetCaption(caption);
  form->Prompt->SetCaption(prompt);
  // A long prompt widens the box rather than being cut.
  form->SetClientWidth(std::max(form->ClientWidth(), form->Prompt->Width() + 2 * kMargin));
  form->Edit->SetText(value);
  form->Edit->SelectAll();
  const bool ok = form->ShowModal() == mrOk;
  if (ok) value = form->Edit->Text();
  form->Free();
  return ok;
}

QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue) {
  QString value = defaultValue;
  InputQuery(caption, prompt, value);
  return value;
}
