#include "platform/ui/adv_popup_menu.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image_list.h"

#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include <cstdlib>

// Sizes and draws the rows of the shown menu through the menu's MeasureItem and
// AdvancedDrawItem; everything else is the application's style.
class TAdvMenuStyle : public QProxyStyle {
public:
  explicit TAdvMenuStyle(const TAdvPopupMenu& menu) : menu_(menu) {}

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    if (type == CT_MenuItem)
      if (TMenuItem* item = ItemOf(option)) {
        TBitmap scratch;
        scratch.SetSize(1, 1);
        int width = 0, height = 0;
        menu_.MeasureItem(item, *scratch.Canvas(), width, height);
        return QSize(width, height);
      }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
  }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    if (element == CE_MenuItem && option->rect.width() > 0 && option->rect.height() > 0)
      if (TMenuItem* item = ItemOf(option)) {
        const bool selected = option->state & State_Selected;
        TBitmap row;
        row.SetPixelFormat(pf24bit);
        row.SetSize(option->rect.width(), option->rect.height());
        TCanvas& canvas = *row.Canvas();
        canvas.Brush()->SetColor(selected ? clHighlight : clWindow);
        canvas.FillRect(Rect(0, 0, row.Width(), row.Height()));
        canvas.Brush()->SetStyle(bsClear);
        canvas.Font()->SetColor(selected ? clHighlightText : clWindowText);
        menu_.AdvancedDrawItem(item, canvas, Rect(0, 0, row.Width(), row.Height()), TOwnerDrawState{selected, selected});
        canvas.Flush();
        painter->drawImage(option->rect.topLeft(), row.Image());
        return;
      }
    QProxyStyle::drawControl(element, option, painter, widget);
  }

private:
  TMenuItem* ItemOf(const QStyleOption* option) const {
    const auto* row = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!row || row->menuItemType == QStyleOptionMenuItem::Separator) return nullptr;
    return menu_.ItemByCaption(row->text.section(u'\t', 0, 0));
  }

  const TAdvPopupMenu& menu_;
};

TAdvPopupMenu::TAdvPopupMenu(TComponent* AOwner)
    : TPopupMenu(AOwner), style_(std::make_unique<TAdvMenuStyle>(*this)) {
  Menu()->setStyle(style_.get());
}

TAdvPopupMenu::~TAdvPopupMenu() {
  if (Menu()) Menu()->setStyle(nullptr);
}

TMenuItem* TAdvPopupMenu::ItemByCaption(const QString& text) const {
  for (int i = 0; i < Items()->Count(); ++i) {
    TMenuItem* item = Items()->Items(i);
    if (!item->IsLine() && item->Caption() == text) return item;
  }
  return nullptr;
}

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
