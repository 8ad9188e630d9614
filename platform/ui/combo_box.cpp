#include "platform/ui/combo_box.h"

#include <QComboBox>

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, new QComboBox) {
  clickEvents_ = false;
  Box()->setEditable(true);
  Box()->setInsertPolicy(QComboBox::NoInsert);
  activated_ = QObject::connect(Box(), &QComboBox::activated, Box(), [this](int) {
    if (programmatic_ == 0 && OnChange) OnChange(this);
  });
}

TComboBox::~TComboBox() { QObject::disconnect(activated_); }

QComboBox* TComboBox::Box() const { return static_cast<QComboBox*>(Widget()); }

void TComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  const QString text = Text();
  Box()->setEditable(value == csDropDown);
  if (value == csDropDown) Box()->setInsertPolicy(QComboBox::NoInsert);
  SetText(text);
}

QStringList TComboBox::Items() const {
  QStringList items;
  for (int i = 0; i < Box()->count(); ++i) items.push_back(Box()->itemText(i));
  return items;
}

void TComboBox::SetItems(const QStringList& items) {
  ++programmatic_;
  const QString text = Text();
  Box()->clear();
  Box()->addItems(items);
  // New items leave nothing selected (the list would select its first item).
  if (style_ == csDropDown)
    Box()->setEditText(text);
  else
    Box()->setCurrentIndex(-1);
  --programmatic_;
}

int TComboBox::Count() const { return Box()->count(); }

int TComboBox::ItemIndex() const {
  if (style_ == csDropDownList) return Box()->currentIndex();
  return Box()->findText(Text(), Qt::MatchExactly);
}

void TComboBox::SetItemIndex(int value) {
  ++programmatic_;
  if (value < 0 || value >= Count()) {
    Box()->setCurrentIndex(-1);
    if (style_ == csDropDown) Box()->setEditText(QString());
  } else {
    Box()->setCurrentIndex(value);
    if (style_ == csDropDown) Box()->setEditText(Box()->itemText(value));
  }
  --programmatic_;
}

QString TComboBox::Text() const { return Box()->currentText(); }

void TComboBox::SetText(const QString& value) {
  TControl::SetText(value);
  ++programmatic_;
  if (style_ == csDropDown)
    Box()->setEditText(value);
  else
    Box()->setCurrentIndex(Box()->findText(value, Qt::MatchExactly));
  --programmatic_;
}
