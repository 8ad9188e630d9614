#include "platform/ui/adv_popup_menu.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image_list.h"

#include <cstdlib>

TAdvPopupMenu::TAdvPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
TAdvPopupMenu::~TAdvPopupMenu() = default;

void TAdvPopupMenu::UseItemFont(TCanvas& canvas) {
  canvas.Font()->SetSize(ItemFontSize);
  canvas.Font()->SetStyle(TFontStyles{fsBold});
}

TPoint TAdvPopupMenu::PictureSize(const TMenuItem* item) const {
  const TImageList* images = Images();
  if (!item || !images || item->ImageIndex() < 0 || item->ImageIndex() >= images->Count()) return {};
  return {images->Width(), images->Height()};
}

QString TAdvPopupMenu::DrawnText(const TMenuItem* item) {
  if (!item) return {};
  return (item->Checked() ? MarkPrefix : PlainPrefix) + item->Caption();
}

void TAdvPopupMenu::MeasureItem(TMenuItem* Sender, TCanvas& ACanvas, int& Width, int& Height) const {
  UseItemFont(ACanvas);
  const QString text = (Sender ? Sender->Caption() : QString()) + PlainPrefix;
  const int textWidth = ACanvas.TextWidth(text);
  const int textHeight = ACanvas.TextHeight(text);
  const TPoint picture = PictureSize(Sender);
  if (picture.X > 0 || picture.Y > 0) {
    Width = textWidth + picture.X + TextIndent;
    Height = textHeight < picture.Y ? picture.Y : textHeight;
  } else {
    Width = textWidth + TextIndent;
    Height = textHeight + 4;
  }
}

void TAdvPopupMenu::AdvancedDrawItem(TMenuItem* Sender, TCanvas& ACanvas, const TRect& ARect,
                                     TOwnerDrawState /*State*/) const {
  UseItemFont(ACanvas);
  const int x = ARect.Left + TextIndent;
  const int y = ARect.Top;
  const QString text = DrawnText(Sender);
  const TPoint picture = PictureSize(Sender);
  if (picture.Y != 0) {
    Images()->Draw(ACanvas, x, y, Sender->ImageIndex(), Sender->Enabled());
    const int d = RoundToInt32(std::abs(picture.Y - ACanvas.TextHeight(text)) / 2.0L);
    ACanvas.TextOut(x + picture.X, y + d, text);
  } else {
    ACanvas.TextOut(x, y + 2, text);
  }
}
