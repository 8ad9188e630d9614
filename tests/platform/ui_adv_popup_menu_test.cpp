// Owner-drawn pop-up menus: the size of an item with and without a picture in
// the 14-point bold font, and where the picture, the mark and the text go.

#include "platform/ui/adv_popup_menu.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image_list.h"

#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>

#include <algorithm>

#include <cstdlib>
#include <memory>

namespace ui_adv_popup_menu_test {

constexpr int kPictureWidth = 20;

class UiAdvPopupMenu : public testing::Test {
protected:
  void SetUp() override {
    images = new TImageList(&owner);
    menu = new TAdvPopupMenu(&owner);
    menu->SetImages(images);
  }
  // A picture list of one red picture kPictureWidth x height.
  void UsePictureHeight(int height) {
    images->SetSize(kPictureWidth, height);
    TBitmap picture;
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(kPictureWidth, height);
    picture.Canvas()->Brush()->SetColor(clRed);
    picture.Canvas()->FillRect(Rect(0, 0, kPictureWidth, height));
    images->Add(picture);
  }
  TMenuItem* Item(const QString& caption, int imageIndex, bool checked) {
    auto* item = new TMenuItem(&owner);
    item->SetCaption(caption);
    item->SetImageIndex(imageIndex);
    item->SetChecked(checked);
    menu->Items()->Add(item);
    return item;
  }
  static std::unique_ptr<TBitmap> WhiteBitmap(int width, int height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(width, height);
    bitmap->Canvas()->Brush()->SetColor(clWhite);
    bitmap->Canvas()->FillRect(Rect(0, 0, width, height));
    return bitmap;
  }
  // The first row (from the top) and column holding a pixel that is neither
  // white nor red, within x >= fromX.
  static TPoint FirstInk(TBitmap& bitmap, int fromX) {
    TPoint ink{-1, -1};
    for (int y = 0; y < bitmap.Height() && ink.Y < 0; ++y)
      for (int x = fromX; x < bitmap.Width(); ++x) {
        const TColor c = bitmap.Canvas()->Pixels(x, y);
        if (c != clWhite && c != clRed) { ink.Y = y; break; }
      }
    for (int x = fromX; x < bitmap.Width() && ink.X < 0; ++x)
      for (int y = 0; y < bitmap.Height(); ++y) {
        const TColor c = bitmap.Canvas()->Pixels(x, y);
        if (c != clWhite && c != clRed) { ink.X = x; break; }
      }
    return ink;
  }

  TComponent owner{nullptr};
  TImageList* images = nullptr;
  TAdvPopupMenu* menu = nullptr;
};

TEST_F(UiAdvPopupMenu, MeasureUsesTheBoldFourteenPointFontAndThePicture) {
  UsePictureHeight(60);
  TMenuItem* pictured = Item(QStringLiteral("Wheel"), 0, false);
  TMenuItem* plain = Item(QStringLiteral("Wheel"), -1, false);
  TMenuItem* outside = Item(QStringLiteral("Wheel"), 7, false);
  auto bitmap = WhiteBitmap(10, 10);
  TCanvas& canvas = *bitmap->Canvas();
  const int smallWidth = canvas.TextWidth(QStringLiteral("Wheel   "));

  int width = 0, height = 0;
  menu->MeasureItem(plain, canvas, width, height);
  EXPECT_EQ(canvas.Font()->Size(), 14);
  EXPECT_TRUE(canvas.Font()->Style().Contains(fsBold));
  const int textWidth = canvas.TextWidth(QStringLiteral("Wheel   "));
  const int textHeight = canvas.TextHeight(QStringLiteral("Wheel   "));
  EXPECT_GT(textWidth, smallWidth) << "the large bold font measures wider";
  EXPECT_EQ(width, textWidth + 10);
  EXPECT_EQ(height, textHeight + 4);

  ASSERT_LT(textHeight, 60);
  menu->MeasureItem(pictured, canvas, width, height);
  EXPECT_EQ(width, textWidth + kPictureWidth + 10);
  EXPECT_EQ(height, 60) << "the taller picture sets the height";

  menu->MeasureItem(outside, canvas, width, height);
  EXPECT_EQ(width, textWidth + 10) << "an index outside the list is no picture";
}

TEST_F(UiAdvPopupMenu, TextHigherThanThePictureSetsTheHeight) {
  UsePictureHeight(4);
  TMenuItem* pictured = Item(QStringLiteral("GPS "), 0, false);
  auto bitmap = WhiteBitmap(10, 10);
  int width = 0, height = 0;
  menu->MeasureItem(pictured, *bitmap->Canvas(), width, height);
  EXPECT_EQ(height, bitmap->Canvas()->TextHeight(QStringLiteral("GPS    ")));
}

TEST_F(UiAdvPopupMenu, DrawPutsThePictureAtTheIndentAndTheTextBesideItCentred) {
  UsePictureHeight(60);
  TMenuItem* marked = Item(QStringLiteral("Wheel"), 0, true);
  TMenuItem* unmarked = Item(QStringLiteral("Wheel"), 0, false);
  EXPECT_EQ(TAdvPopupMenu::DrawnText(marked), QStringLiteral("\u25CF Wheel"));
  EXPECT_EQ(TAdvPopupMenu::DrawnText(unmarked), QStringLiteral("   Wheel"));

  auto bitmap = WhiteBitmap(300, 80);
  TCanvas& canvas = *bitmap->Canvas();
  canvas.Brush()->SetStyle(bsClear);
  menu->AdvancedDrawItem(marked, canvas, Rect(5, 3, 300, 80), {});
  canvas.Flush();
  // The picture's corners at (5 + 10, 3).
  EXPECT_EQ(canvas.Pixels(15, 3), clRed);
  EXPECT_EQ(canvas.Pixels(15 + kPictureWidth - 1, 3 + 59), clRed);
  EXPECT_EQ(canvas.Pixels(14, 3), clWhite);
  EXPECT_EQ(canvas.Pixels(15 + kPictureWidth, 2), clWhite);
  // The text starts right of the picture, lowered into the picture's middle.
  const int d = (60 - canvas.TextHeight(QStringLiteral("\u25CF Wheel")) + 1) / 2;
  const TPoint ink = FirstInk(*bitmap, 0);
  EXPECT_GE(ink.X, 15 + kPictureWidth);
  EXPECT_LT(ink.X, 15 + kPictureWidth + 6) << "the mark follows the picture at once";
  EXPECT_GE(ink.Y, 3 + d - 1);
  EXPECT_LT(ink.Y, 3 + d + canvas.TextHeight(QStringLiteral("W")) / 2);
}

TEST_F(UiAdvPopupMenu, DrawWithoutAPictureLowersTheTextByTwo) {
  TMenuItem* plain = Item(QStringLiteral("Default"), -1, false);
  TMenuItem* marked = Item(QStringLiteral("Default"), -1, true);
  auto plainBitmap = WhiteBitmap(300, 60);
  plainBitmap->Canvas()->Brush()->SetStyle(bsClear);
  menu->AdvancedDrawItem(plain, *plainBitmap->Canvas(), Rect(0, 0, 300, 60), {});
  plainBitmap->Canvas()->Flush();
  auto markedBitmap = WhiteBitmap(300, 60);
  markedBitmap->Canvas()->Brush()->SetStyle(bsClear);
  menu->AdvancedDrawItem(marked, *markedBitmap->Canvas(), Rect(0, 0, 300, 60), {});
  markedBitmap->Canvas()->Flush();

  // The same text placement: "● " and three blanks lead alike, but only the
  // mark leaves ink before the caption.
  const TPoint plainInk = FirstInk(*plainBitmap, 0);
  const TPoint markedInk = FirstInk(*markedBitmap, 0);
  ASSERT_GE(plainInk.X, 0);
  ASSERT_GE(markedInk.X, 0);
  EXPECT_GE(markedInk.X, 10);
  EXPECT_LT(markedInk.X, plainInk.X) << "the mark is drawn before the caption";
  EXPECT_GE(plainInk.X, 10 + plainBitmap->Canvas()->TextWidth(QStringLiteral("   ")) - 1);
  // Rows 0 and 1 stay clear: the text starts at y + 2.
  for (int x = 0; x < 300; ++x) {
    ASSERT_EQ(plainBitmap->Canvas()->Pixels(x, 0), clWhite) << x;
    ASSERT_EQ(plainBitmap->Canvas()->Pixels(x, 1), clWhite) << x;
  }
}

TEST_F(UiAdvPopupMenu, TheShownMenuSizesAndDrawsItsRowsThroughTheItemsDrawing) {
  UsePictureHeight(60);
  TMenuItem* pictured = Item(QStringLiteral("Wheel"), 0, true);
  Item(QStringLiteral("-"), -1, false);
  Item(QStringLiteral("Default"), -1, false);
  EXPECT_EQ(menu->ItemByCaption(QStringLiteral("Wheel")), pictured);
  EXPECT_EQ(menu->ItemByCaption(QStringLiteral("None")), nullptr);
  menu->Popup(100, 100);
  QMenu* shown = menu->Menu();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return shown->isVisible(); }));
  // The picture's whole height in one row: the toolkit's own rows would show a small icon.
  ASSERT_FALSE(shown->actions().isEmpty());
  const QRect row = shown->actionGeometry(shown->actions().at(0));
  EXPECT_GE(row.height(), 60);
  auto bitmap = std::make_unique<TBitmap>();
  int width = 0, height = 0;
  menu->MeasureItem(pictured, *bitmap->Canvas(), width, height);
  EXPECT_GE(row.width(), width);
  const QImage image = shown->grab().toImage();
  int longestRed = 0;
  for (int x = row.left(); x < row.right(); ++x) {
    int run = 0;
    for (int y = row.top(); y <= row.bottom(); ++y) {
      run = image.pixelColor(x, y) == QColor(Qt::red) ? run + 1 : 0;
      longestRed = std::max(longestRed, run);
    }
  }
  EXPECT_EQ(longestRed, 60);
  shown->close();
}

TEST(UiPopupMenuItems, APopupMenuShowsItsItemsInOrder) {
  TComponent owner(nullptr);
  auto* menu = new TPopupMenu(&owner);
  auto* first = new TMenuItem(&owner);
  first->SetCaption(QStringLiteral("First"));
  auto* second = new TMenuItem(&owner);
  second->SetCaption(QStringLiteral("Second"));
  menu->Items()->Add(second);
  menu->Items()->Insert(0, first);
  ASSERT_EQ(menu->Menu()->actions().size(), 2);
  EXPECT_EQ(menu->Menu()->actions().at(0), first->Action());
  EXPECT_EQ(menu->Menu()->actions().at(1), second->Action());
  menu->Items()->Remove(first);
  ASSERT_EQ(menu->Menu()->actions().size(), 1);
  EXPECT_EQ(menu->Menu()->actions().at(0), second->Action());
  first->Free();
}

}  // namespace ui_adv_popup_menu_test
