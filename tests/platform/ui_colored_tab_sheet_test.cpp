// A coloured tab sheet: the button face at first, then its own colour, and its
// background erased in that colour.

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/colored_tab_sheet.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

namespace ui_colored_tab_sheet_test {

TEST(UiColoredTabSheet, ShowsTheButtonFaceThenItsColourAndErasesInIt) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->SetBounds(0, 0, 400, 300);
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  pages->SetAlign(alClient);
  auto* sheet = new TColoredTabSheet(form);
  sheet->SetPageControl(pages);
  sheet->SetCaption(QStringLiteral("Page"));
  form->Show();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return sheet->ClientWidth() > 20; }));
  EXPECT_EQ(sheet->Color(), clBtnFace);
  EXPECT_EQ(ShownColor(*sheet, 10, 10), ColorToRGB(clBtnFace));

  sheet->SetColor(0x0040C0E0);
  EXPECT_TRUE(ProcessMessagesUntil([&] { return ShownColor(*sheet, 10, 10) == 0x0040C0E0; }));

  TBitmap picture;
  picture.SetSize(sheet->ClientWidth() + 10, sheet->ClientHeight() + 10);
  picture.Canvas()->Brush()->SetColor(clWhite);
  picture.Canvas()->FillRect(Rect(0, 0, picture.Width(), picture.Height()));
  EXPECT_EQ(sheet->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(picture.Canvas()), 0), 1);
  EXPECT_EQ(picture.Canvas()->Pixels(0, 0), 0x0040C0E0);
  EXPECT_EQ(picture.Canvas()->Pixels(sheet->ClientWidth() - 1, sheet->ClientHeight() - 1), 0x0040C0E0);
  EXPECT_EQ(picture.Canvas()->Pixels(sheet->ClientWidth() + 2, 0), clWhite) << "only the client rectangle";
  form->Free();
}

}  // namespace ui_colored_tab_sheet_test
