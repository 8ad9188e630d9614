#include "platform/ui/buttons.h"

#include "platform/ui/forms.h"

#include <QPushButton>

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner, new QPushButton) {
  clickEvents_ = false;
  Button()->setAutoDefault(false);
  clicked_ = QObject::connect(Button(), &QPushButton::clicked, Button(), [this] { Click(); });
}

TButton::~TButton() { QObject::disconnect(clicked_); }

QPushButton* TButton::Button() const { return static_cast<QPushButton*>(Widget()); }

QString TButton::Text() const { return Button()->text(); }

void TButton::SetText(const QString& value) {
  TControl::SetText(value);
  Button()->setText(value);
}

void TButton::AssignButton(const TButton& source) {
  AssignControl(source);
  modalResult_ = source.modalResult_;
}

TButton* TButton::CreateClone(TComponent* AOwner) const {
  auto* clone = new TButton(AOwner);
  clone->AssignButton(*this);
  return clone;
}

TBitBtn* TBitBtn::CreateClone(TComponent* AOwner) const {
  auto* clone = new TBitBtn(AOwner);
  clone->AssignButton(*this);
  return clone;
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TButton(AOwner) { Button()->setCheckable(true); }

bool TSpeedButton::Down() const { return Button()->isChecked(); }

void TSpeedButton::SetDown(bool value) { Button()->setChecked(value); }

TSpeedButton* TSpeedButton::CreateClone(TComponent* AOwner) const {
  auto* clone = new TSpeedButton(AOwner);
  clone->AssignButton(*this);
  clone->SetDown(Down());
  return clone;
}

void TButton::Click() {
  if (modalResult_ != mrNone) {
    if (TForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  }
  TWinControl::Click();
}
