#pragma once
// TComboBox: a list of text items with an edit line (over a QComboBox).
//
// Style csDropDown (the default) lets the user type any text into the edit
// line; csDropDownList only picks items. OnChange runs when the user picks an
// item from the list (the text is then the item's); typing and setting Text or
// ItemIndex from the program run nothing. Keys the edit line does not take
// itself (Enter, the arrows) reach OnKeyDown, so a handler can take a typed text
// up on Enter.
//
// csOwnerDrawFixed picks items like csDropDownList and draws each item, in the
// list and in the closed box, by OnDrawItem on Canvas (items ItemHeight pixels
// high); without OnDrawItem the item texts show.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"
#include "platform/ui/list_box.h"

#include <QMetaObject>
#include <QStringList>

#include <memory>

class QComboBox;
class TBitmap;
class TCanvas;

enum TComboBoxStyle : uint8_t { csDropDown, csDropDownList, csOwnerDrawFixed };

class TComboBox : public TWinControl {
public:
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);

  QStringList Items() const;
  // Replaces the items; a list-only box has nothing selected afterwards.
  void SetItems(const QStringList& items);
  int Count() const;
  // The item whose text is the edit line's, -1 when the text is no item's.
  int ItemIndex() const;
  // Selects the item and shows its text; -1 (or out of range) clears the text.
  void SetItemIndex(int value);

  QString Text() const override;
  void SetText(const QString& value) override;

  TNotifyEvent OnChange;

  // Owner drawing (csOwnerDrawFixed).
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value);
  // The surface OnDrawItem draws on.
  TCanvas* Canvas();
  TDrawItemEvent OnDrawItem;
  // Draws item index by OnDrawItem (with the selection colours of state); the
  // result is in Canvas at rect.
  void DrawItem(int index, TRect rect, TOwnerDrawState state);
  const TBitmap& Surface() const { return *surface_; }

private:
  QComboBox* Box() const;
  TComboBoxStyle style_ = csDropDown;
  int itemHeight_ = 16;
  std::unique_ptr<TBitmap> surface_;
  int programmatic_ = 0;
  QMetaObject::Connection activated_;
};
