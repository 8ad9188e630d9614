#pragma once
// TAdvPopupMenu: a pop-up menu whose items are measured and drawn by the
// program, in a large bold font, with the item's picture on the left and a
// "● " before the marked (checked) item.
//
// Measure (font 14 bold): an item with a picture is as wide as its caption
// followed by three blanks, plus the picture, plus 10; as high as the picture,
// or the text when that is higher. Without a picture: text width + three
// blanks + 10 wide, text height + 4 high.
// Draw: from (rect.Left + 10, rect.Top); the text is the caption after "● "
// when the item is checked, after three blanks otherwise. A picture of
// non-zero height is drawn at that point and the text beside it, lowered by
// half the difference of the two heights (rounded half to even); without one
// the text is lowered by 2.
//
// An item's picture is the menu's Images entry of its ImageIndex (none for an
// index outside the list). MeasureItem and AdvancedDrawItem work on any
// canvas (a bitmap's, a control's); the shown menu sizes and draws its rows
// with them (the row of the item under the mouse on the highlight colour).
//
// Threads: user-interface thread only.

#include "platform/ui/menus.h"
#include "platform/ui/list_box.h"

#include <QString>

#include <memory>

class TAdvMenuStyle;
class TCanvas;

class TAdvPopupMenu : public TPopupMenu {
public:
  explicit TAdvPopupMenu(TComponent* AOwner);
  ~TAdvPopupMenu() override;

  static constexpr int ItemFontSize = 14;
  static constexpr int TextIndent = 10;
  static inline const QString MarkPrefix = QStringLiteral("\u25CF ");
  static inline const QString PlainPrefix = QStringLiteral("   ");

  // Sender: an item of this menu.
  void MeasureItem(TMenuItem* Sender, TCanvas& ACanvas, int& Width, int& Height) const;
  void AdvancedDrawItem(TMenuItem* Sender, TCanvas& ACanvas, const TRect& ARect, TOwnerDrawState State) const;

  // The item's picture size (0 x 0 without one).
  TPoint PictureSize(const TMenuItem* item) const;
  // The text AdvancedDrawItem writes for the item.
  static QString DrawnText(const TMenuItem* item);

  // The item of this menu a shown row stands for: the first whose caption is
  // the row's text (nullptr for a separator or none).
  TMenuItem* ItemByCaption(const QString& text) const;

private:
  static void UseItemFont(TCanvas& canvas);
  std::unique_ptr<TAdvMenuStyle> style_;
};
