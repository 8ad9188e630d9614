#pragma once
// TCheckListBox: a list of text items with a check box each, over a QListWidget.
//
// OnClick runs when the user moves the selection (a click on an item or the
// arrow keys); setting ItemIndex from the program runs nothing. OnClickCheck
// runs when the user turns an item's check (a click on its box or the space
// key), after the item has become the selected one; SetChecked from the program runs nothing, so a caller may restore saved
// checks without its handler reacting to them.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>
#include <QStringList>

class QListWidget;

class TCheckListBox : public TWinControl {
public:
  explicit TCheckListBox(TComponent* AOwner);
  ~TCheckListBox() override;

  // The items' texts, first to last. SetItems replaces them all, unchecked.
  QStringList Items() const;
  void SetItems(const QStringList& items);
  int Count() const;
  // Adds an unchecked item at the end; returns its index.
  int AddItem(const QString& text);
  void Clear();

  // Out-of-range indices read as unchecked and are ignored when set.
  bool Checked(int index) const;
  void SetChecked(int index, bool value);

  // The selected item, -1 for none. Out-of-range values select nothing.
  int ItemIndex() const;
  void SetItemIndex(int value);

  // The item at a point in the control's client area, -1 for none.
  int ItemAtPos(TPoint pos) const;

  // Every item's height in pixels (0: the style's own), also for items added later.
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value);

  TNotifyEvent OnClickCheck;

protected:
  virtual void ClickCheck();

private:
  QListWidget* List() const;

  // Above zero while the program itself changes items, selection or checks.
  int programmatic_ = 0;
  int itemHeight_ = 0;
  QMetaObject::Connection rowChanged_;
  QMetaObject::Connection itemChanged_;
};
