#pragma once
// TRadioGroup: a titled frame of mutually exclusive choices, one radio button
// per item, stacked in one column (over a QGroupBox of QRadioButtons).
//
// ItemIndex is the checked item, -1 for none. OnClick runs whenever ItemIndex
// changes: a click on another item, or the program setting another index;
// setting the index it already has runs nothing. Replacing the items clears the
// choice (-1) without OnClick.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QStringList>

#include <vector>

class QButtonGroup;
class QGroupBox;
class QRadioButton;

class TRadioGroup : public TWinControl {
public:
  explicit TRadioGroup(TComponent* AOwner);

  QString Text() const override;
  void SetText(const QString& value) override;
  QStringList Items() const { return items_; }
  void SetItems(const QStringList& items);
  int ItemIndex() const { return itemIndex_; }
  // -1 or an index outside the items: no item checked.
  void SetItemIndex(int value);
  // The radio button of item i (tests click it); nullptr outside the items.
  QRadioButton* Button(int i) const;

private:
  QGroupBox* Box() const;
  void Checked(int index);

  QStringList items_;
  std::vector<QRadioButton*> buttons_;
  QButtonGroup* group_ = nullptr;
  int itemIndex_ = -1;
};
