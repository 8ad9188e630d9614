#include "platform/ui/combo_box.h"

#include <QComboBox>

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, new QComboBox()) {
  QComboBox* combo = Combo();
  combo->setEditable(false);
  combo->setFocusPolicy(Qt::StrongFocus);
  // Only the user's choice: activated is not emitted for changes made by the program.
  activated_ = QObject::connect(combo, &QComboBox::activated, combo, [this](int) {
    if (OnChange) OnChange(this);
  });
}

TComboBox::~TComboBox() { QObject::disconnect(activated_); }

QComboBox* TComboBox::Combo() const { return static_cast<QComboBox*>(Widget()); }

QStringList TComboBox::Items() const {
  QStringList items;
  for (int i = 0; i < Combo()->count(); ++i) items << Combo()->itemText(i);
  return items;
}

void TComboBox::SetItems(const QStringList& items) {
  Combo()->clear();
  Combo()->addItems(items);
  Combo()->setCurrentIndex(-1);
}

int TComboBox::Count() const { return Combo()->count(); }

int TComboBox::ItemIndex() const { return Combo()->currentIndex(); }

void TComboBox::SetItemIndex(int value) { Combo()->setCurrentIndex(value >= 0 && value < Count() ? value : -1); }

QString TComboBox::Text() const { return ItemIndex() >= 0 ? Combo()->currentText() : QString(); }
