// Image lists: cutting bitmaps into images, masking, drawing and reading back;
// speed buttons and tool buttons: groups, AllowAllUp, pictures from a list.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/forms.h"
#include "platform/ui/image_list.h"
#include "tests/platform/ui_input.h"

#include <gtest/gtest.h>

#include <QPushButton>

namespace {

// A bitmap of count squares of size x size, square i filled with colors[i],
// with a pixel of maskColor in each square's top-left corner.
std::unique_ptr<TBitmap> Strip(int size, const std::vector<TColor>& colors, TColor maskColor) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(size * static_cast<int>(colors.size()), size);
  for (size_t i = 0; i < colors.size(); ++i) {
    bitmap->Canvas()->Brush()->SetColor(colors[i]);
    bitmap->Canvas()->FillRect(Bounds(static_cast<int>(i) * size, 0, size, size));
    bitmap->Canvas()->SetPixels(static_cast<int>(i) * size, 0, maskColor);
  }
  return bitmap;
}

TEST(UiImageList, AddCutsTheBitmapAndMaskingMakesTheColourTransparent) {
  TImageList list(nullptr);
  list.SetSize(4, 4);
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  auto strip = Strip(4, {clRed, clLime, clBlue}, RGB(0xA4, 0xA0, 0xA0));
  EXPECT_EQ(list.AddMasked(*strip, RGB(0xA4, 0xA0, 0xA0)), 0);
  EXPECT_EQ(list.Count(), 3);
  auto opaque = Strip(4, {clYellow}, clWhite);
  EXPECT_EQ(list.Add(*opaque), 3);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(changes, 2);

  EXPECT_EQ(qAlpha(list.Image(1).pixel(0, 0)), 0);
  EXPECT_EQ(list.Image(1).pixel(2, 2), QColor(0, 255, 0).rgba());
  // Add keeps every pixel, whatever its colour.
  EXPECT_EQ(list.Image(3).pixel(0, 0), QColor(255, 255, 255).rgba());
  EXPECT_TRUE(list.Image(4).isNull());
  EXPECT_TRUE(list.Image(-1).isNull());

  // Drawn over a grey picture, the transparent pixel shows the picture.
  TBitmap target;
  target.SetPixelFormat(pf32bit);
  target.SetSize(10, 10);
  target.Canvas()->Brush()->SetColor(clGray);
  target.Canvas()->FillRect(Rect(0, 0, 10, 10));
  list.Draw(*target.Canvas(), 3, 3, 2);
  EXPECT_EQ(target.Canvas()->Pixels(3, 3), clGray);
  EXPECT_EQ(target.Canvas()->Pixels(5, 5), clBlue);
  EXPECT_EQ(target.Canvas()->Pixels(7, 7), clGray);
  list.Draw(*target.Canvas(), 0, 0, 9);  // outside the list: nothing
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clGray);

  TBitmap copy;
  EXPECT_TRUE(list.GetBitmap(0, copy));
  EXPECT_EQ(copy.Width(), 4);
  EXPECT_EQ(copy.Canvas()->Pixels(0, 0), clBlack);
  EXPECT_EQ(copy.Canvas()->Pixels(3, 3), clRed);
  EXPECT_FALSE(list.GetBitmap(4, copy));

  list.Delete(0);
  EXPECT_EQ(list.Image(0).pixel(2, 2), QColor(0, 255, 0).rgba());
  // A new size empties the list.
  list.SetWidth(8);
  EXPECT_EQ(list.Count(), 0);
}

TEST(UiImageList, ClientsHearOfChangesAndOfTheListGoing) {
  auto* list = new TImageList(nullptr);
  int changed = 0, released = 0;
  int client = 0;
  list->RegisterChanges(&client, [&] { ++changed; }, [&] { ++released; });
  auto strip = Strip(16, {clRed}, clWhite);
  list->Add(*strip);
  EXPECT_EQ(changed, 1);
  list->Free();
  EXPECT_EQ(released, 1);
}

class UiSpeedButtons : public TShownFormTest {
protected:
  TSpeedButton* AddButton(int group, int left) {
    auto* button = new TSpeedButton(form);
    button->SetParent(form);
    button->SetBounds(left, 0, 30, 30);
    button->SetGroupIndex(group);
    button->OnClick = [this, button](TObject*) { clicks.push_back(button); };
    return button;
  }

  std::vector<TObject*> clicks;
};

TEST_F(UiSpeedButtons, AGroupKeepsOneButtonDownUnlessAllMayBeUp) {
  TSpeedButton* a = AddButton(10, 0);
  TSpeedButton* b = AddButton(10, 30);
  TSpeedButton* other = AddButton(11, 60);
  a->SetDown(true);
  other->SetDown(true);

  ui_input::Click(b->Widget());
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_TRUE(other->Down());  // another group is not touched

  // Without AllowAllUp the down button stays down, by click or by program.
  ui_input::Click(b->Widget());
  EXPECT_TRUE(b->Down());
  b->SetDown(false);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(clicks, (std::vector<TObject*>{b, b}));

  a->SetDown(true);  // the program's choice releases the others too
  EXPECT_FALSE(b->Down());

  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());  // the whole group follows
  ui_input::Click(a->Widget());
  EXPECT_FALSE(a->Down());
  EXPECT_FALSE(b->Down());
}

TEST_F(UiSpeedButtons, ALoneButtonTogglesAndToolButtonsGroupByNeighbourhood) {
  TSpeedButton* lone = AddButton(0, 0);
  ui_input::Click(lone->Widget());
  EXPECT_TRUE(lone->Down());
  ui_input::Click(lone->Widget());
  EXPECT_FALSE(lone->Down());

  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  bar->SetBounds(0, 40, 100, 100);
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < 4; ++i) {
    auto* button = new TToolButton(form);
    button->SetParent(bar);
    button->SetBounds(0, i * 22, 90, 22);
    button->SetStyle(i < 3 ? tbsCheck : tbsButton);
    button->SetGrouped(i < 3);
    buttons.push_back(button);
  }
  buttons[0]->SetDown(true);
  ui_input::Click(buttons[2]->Widget());
  EXPECT_FALSE(buttons[0]->Down());
  EXPECT_TRUE(buttons[2]->Down());
  ui_input::Click(buttons[2]->Widget());
  EXPECT_TRUE(buttons[2]->Down());
  // A plain tool button never stays down.
  ui_input::Click(buttons[3]->Widget());
  EXPECT_FALSE(buttons[3]->Down());
  EXPECT_TRUE(buttons[2]->Down());
}

TEST_F(UiSpeedButtons, PictureComesFromTheListAndFollowsIt) {
  auto* list = new TImageList(form);
  list->SetSize(8, 8);
  auto strip = Strip(8, {clRed, clBlue}, clWhite);
  list->Add(*strip);
  TSpeedButton* button = AddButton(0, 0);
  auto* push = static_cast<QPushButton*>(button->Widget());
  EXPECT_TRUE(push->icon().isNull());
  button->SetImages(list);
  button->SetImageIndex(1);
  EXPECT_EQ(push->icon().pixmap(8, 8).toImage().pixel(4, 4), QColor(0, 0, 255).rgba());
  button->SetImageIndex(5);  // outside the list: no picture
  EXPECT_TRUE(push->icon().isNull());
  button->SetImageIndex(0);
  list->Free();  // the button drops the list
  EXPECT_EQ(button->Images(), nullptr);
  EXPECT_TRUE(push->icon().isNull());

  // A glyph's bottom-left colour is transparent.
  auto glyph = Strip(6, {clGreen}, clWhite);
  glyph->Canvas()->SetPixels(0, 5, clFuchsia);
  glyph->Canvas()->SetPixels(3, 3, clFuchsia);
  button->Glyph()->Assign(*glyph);
  const QImage shown = push->icon().pixmap(6, 6).toImage();
  EXPECT_EQ(qAlpha(shown.pixel(3, 3)), 0);
  EXPECT_EQ(shown.pixel(1, 1), QColor(0, 128, 0).rgba());
}

}  // namespace
