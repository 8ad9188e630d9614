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

void TButton::Click() {
  if (modalResult_ != mrNone) {
    if (TForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  }
  TWinControl::Click();
}
