#pragma once
// TListBox: a list of text items (over a QListWidget), drawn by the list itself
// or by the program (owner-drawn).
//
// OnClick runs when the user moves the selection (a click on an item or the
// arrow keys); setting ItemIndex from the program runs nothing. OnDblClick runs
// for a double click on an item. Items of the form name=value are read with
// Names and ValueFromIndex (NameValueSeparator, '=' unless set).
//
// Owner-drawn (lbOwnerDrawFixed): every item is ItemHeight pixels high and is
// drawn by OnDrawItem on the list's Canvas, in the coordinates of the list's
// inside, within its frame (Rect is the item's rectangle, as ItemRect gives it). Before each call the canvas brush and font
// colour are those of the item's state: clHighlight / clHighlightText when
// selected, else clWindow / clWindowText. Without OnDrawItem the list draws the
// text itself.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>
#include <QStringList>

#include <memory>

class QListWidget;
class TBitmap;
class TCanvas;

enum TListBoxStyle : uint8_t { lbStandard, lbOwnerDrawFixed };

struct TOwnerDrawState {
  bool Selected = false;
  bool Focused = false;
};

using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

class TListBox : public TWinControl {
public:
  explicit TListBox(TComponent* AOwner);
  ~TListBox() override;

  QStringList Items() const;
  void SetItems(const QStringList& items);
  int Count() const;
  // Adds an item at the end; returns its index.
  int AddItem(const QString& text);
  void Clear();

  // The selected item, -1 for none. Out-of-range values select nothing.
  int ItemIndex() const;
  void SetItemIndex(int value);
  // The item at a point in the control's client area, -1 for none.
  int ItemAtPos(TPoint pos) const;

  QChar NameValueSeparator() const { return separator_; }
  void SetNameValueSeparator(QChar value) { separator_ = value; }
  // The part before / after the first separator of item index; an item without
  // one is all name and has an empty value. Empty outside the list.
  QString Names(int index) const;
  QString ValueFromIndex(int index) const;

  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle value);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value);
  // The rectangle of item index inside the frame; empty outside the list.
  TRect ItemRect(int index) const;

  // The surface OnDrawItem draws on.
  TCanvas* Canvas();
  TDrawItemEvent OnDrawItem;

private:
  friend class TListBoxDelegate;
  QListWidget* List() const;
  // Draws item index by OnDrawItem; the result is in the canvas at rect.
  void DrawItem(int index, TRect rect, TOwnerDrawState state);
  const TBitmap& Surface() const { return *surface_; }
  void ApplyItemHeight();

  TListBoxStyle style_ = lbStandard;
  int itemHeight_ = 13;
  QChar separator_ = u'=';
  std::unique_ptr<TBitmap> surface_;
  int programmatic_ = 0;
  QMetaObject::Connection rowChanged_;
  QMetaObject::Connection doubleClicked_;
};
