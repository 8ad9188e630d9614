#include "platform/ui/radio_group.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(TComponent* AOwner) : TWinControl(AOwner, new QGroupBox) {
  // The buttons report the choice; a press on the frame is no click.
  clickEvents_ = false;
  new QVBoxLayout(Box());
  group_ = new QButtonGroup(Box());
  group_->setExclusive(true);
  QObject::connect(group_, &QButtonGroup::idToggled, Box(), [this](int id, bool on) {
    if (on) Checked(id);
  });
}

QGroupBox* TRadioGroup::Box() const { return static_cast<QGroupBox*>(Widget()); }

QString TRadioGroup::Text() const { return Box()->title(); }

void TRadioGroup::SetText(const QString& value) {
  TWinControl::SetText(value);
  Box()->setTitle(value);
}

void TRadioGroup::SetItems(const QStringList& items) {
  for (QRadioButton* button : buttons_) {
    group_->removeButton(button);
    delete button;
  }
  buttons_.clear();
  items_ = items;
  itemIndex_ = -1;
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], Box());
    group_->addButton(button, i);
    Box()->layout()->addWidget(button);
    buttons_.push_back(button);
  }
}

QRadioButton* TRadioGroup::Button(int i) const {
  return i >= 0 && i < static_cast<int>(buttons_.size()) ? buttons_[static_cast<size_t>(i)] : nullptr;
}

void TRadioGroup::SetItemIndex(int value) {
  if (value == itemIndex_) return;
  if (QRadioButton* button = Button(value)) {
    button->setChecked(true);  // Checked runs OnClick
    return;
  }
  // No item: the group lets every button go only while not exclusive.
  group_->setExclusive(false);
  for (QRadioButton* b : buttons_) b->setChecked(false);
  group_->setExclusive(true);
  itemIndex_ = -1;
  Click();
}

void TRadioGroup::Checked(int index) {
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Click();
}
