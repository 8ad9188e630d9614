// The sentence-type edit's mask (literals, required letters, upper case, the
// refusal reported with the edit as the sender) and the string grid's rows.

#include "platform/ui/application.h"
#include "platform/ui/mask_edit.h"
#include "platform/ui/string_grid.h"

#include <gtest/gtest.h>

#include <QString>

namespace ui_mask_edit_grid_test {

TEST(UiMaskEdit, TheMaskTakesADollarAndFiveLettersShownInUpperCase) {
  TComponent owner(nullptr);
  auto* edit = new TMaskEdit(&owner);
  edit->SetEditMask(QStringLiteral(">\\$LLLLL"));
  struct TCase {
    const char* Text;
    bool Fits;
  };
  for (const TCase& c : {TCase{"$GPGGA", true}, TCase{"$gprmc", true}, TCase{"GPGGA", false}, TCase{"$GPGG", false},
                         TCase{"$GP1GA", false}, TCase{"#GPGGA", false}, TCase{"$GPGGAA", false}})
    EXPECT_EQ(edit->FitsMask(QString::fromLatin1(c.Text)), c.Fits) << c.Text;
  edit->SetText(QStringLiteral("$gprmc"));
  EXPECT_EQ(edit->Text(), QStringLiteral("$GPRMC"));
  EXPECT_NO_THROW(edit->ValidateEdit());

  TObject* sender = nullptr;
  int reports = 0;
  const auto before = Application->OnException;
  Application->OnException = [&](TObject* from, std::exception_ptr error) {
    sender = from;
    ++reports;
    EXPECT_THROW(std::rethrow_exception(error), EDBEditError);
  };
  edit->ValidateOnExit();
  EXPECT_EQ(reports, 0) << "a fitting text is taken";
  edit->SetText(QStringLiteral("$GP"));
  EXPECT_THROW(edit->ValidateEdit(), EDBEditError);
  edit->ValidateOnExit();
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(sender, edit) << "the edit is the sender";
  EXPECT_EQ(edit->Text(), QStringLiteral("$GP")) << "the text stays";
  Application->OnException = before;
}

TEST(UiStringGrid, RowsKeepTheFixedRowAndCellsOutsideAreIgnored) {
  TComponent owner(nullptr);
  auto* grid = new TStringGrid(&owner);
  grid->SetBounds(0, 0, 200, 100);
  grid->SetColCount(3);
  grid->SetRowCount(2);
  grid->SetFixedRows(1);
  grid->SetCells(0, 0, QStringLiteral("Time"));
  grid->SetCells(2, 1, QStringLiteral("x"));
  grid->SetCells(3, 1, QStringLiteral("outside"));
  grid->SetCells(0, 2, QStringLiteral("outside"));
  EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("x"));
  EXPECT_EQ(grid->Cells(3, 1), QString());
  EXPECT_EQ(grid->RowCount(), 2);
  grid->SetRowCount(0);
  EXPECT_EQ(grid->RowCount(), 2) << "a fixed row and a data row at least";
  grid->SetRowCount(50);
  EXPECT_EQ(grid->Cells(0, 0), QStringLiteral("Time"));
  EXPECT_EQ(grid->Cells(2, 49), QString());
  // The top row stays within the rows that can be shown.
  grid->SetTopRow(1000);
  EXPECT_EQ(grid->TopRow(), grid->RowCount() - grid->VisibleRowCount());
  grid->SetTopRow(0);
  EXPECT_EQ(grid->TopRow(), 1);
  grid->SetRow(0);
  EXPECT_EQ(grid->Row(), -1) << "the fixed row is not selected";
  grid->SetRow(3);
  EXPECT_EQ(grid->Row(), 3);
  grid->SetRowCount(3);
  EXPECT_EQ(grid->Row(), -1) << "a row that went is no longer selected";
}

}  // namespace ui_mask_edit_grid_test
