#pragma once
// TComboBox: a drop-down list of fixed items (the csDropDownList style, over a
// QComboBox): the user picks one of the items and cannot type another.
//
// OnChange runs when the user picks an item; setting ItemIndex or the items from
// the program runs nothing.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>
#include <QString>
#include <QStringList>

class QComboBox;

class TComboBox : public TWinControl {
public:
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;

  QStringList Items() const;
  // Replaces the items; nothing is selected afterwards.
  void SetItems(const QStringList& items);
  int Count() const;
  // The selected item, -1 for none; out-of-range values select nothing.
  int ItemIndex() const;
  void SetItemIndex(int value);
  // The selected item's text, empty for none.
  QString Text() const;

  TNotifyEvent OnChange;

private:
  QComboBox* Combo() const;
  QMetaObject::Connection activated_;
};
