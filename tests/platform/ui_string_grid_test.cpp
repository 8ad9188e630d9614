// String grid: texts survive changes of the counts, cells outside take nothing,
// the cell rectangles follow the column widths and scroll under the title band,
// the texts are drawn in their cells, and only data rows are selected.

#include "platform/ui/forms.h"
#include "platform/ui/string_grid.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

namespace {

class UiStringGrid : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    grid = new TStringGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 240, 120);
  }
  void TearDown() override { form->Free(); }

  TForm* form = nullptr;
  TStringGrid* grid = nullptr;
};

TEST_F(UiStringGrid, TextsSurviveNewCountsAndCellsOutsideTakeNothing) {
  grid->SetColCount(3);
  grid->SetRowCount(4);
  grid->SetCells(0, 0, "N");
  grid->SetCells(2, 3, "0.25");
  grid->SetCells(3, 0, "outside");
  grid->SetCells(0, 4, "outside");
  EXPECT_EQ(grid->Cells(3, 0), "");
  grid->SetRowCount(10);
  grid->SetColCount(5);
  EXPECT_EQ(grid->Cells(0, 0), "N");
  EXPECT_EQ(grid->Cells(2, 3), "0.25");
  EXPECT_EQ(grid->Cells(4, 9), "");
  grid->SetRowCount(3);
  EXPECT_EQ(grid->RowCount(), 3);
  EXPECT_EQ(grid->Cells(2, 3), "") << "the row is gone";
  grid->SetRowCount(4);
  EXPECT_EQ(grid->Cells(2, 3), "") << "and comes back empty";
  grid->SetRowCount(0);
  EXPECT_EQ(grid->RowCount(), 2) << "the title band and one row under it";
  EXPECT_EQ(grid->FixedRows(), 1);
}

TEST_F(UiStringGrid, CellsFollowTheWidthsScrollUnderTheTitleAndShowTheirText) {
  grid->SetColCount(3);
  grid->SetRowCount(12);
  grid->SetColWidths(0, 24);
  grid->SetColWidths(1, 80);
  grid->SetColWidths(2, 80);
  grid->SetDefaultRowHeight(18);
  EXPECT_EQ(grid->CellRect(0, 0), Rect(0, 0, 24, 18));
  EXPECT_EQ(grid->CellRect(2, 2), Rect(106, 38, 186, 56));
  grid->SetTopRow(5);
  EXPECT_EQ(grid->CellRect(1, 0), Rect(25, 0, 105, 18)) << "the title stays";
  EXPECT_EQ(grid->CellRect(1, 4), Rect(0, 0, 0, 0)) << "scrolled away";
  EXPECT_EQ(grid->CellRect(1, 5), Rect(25, 19, 105, 37));
  grid->SetTopRow(99);
  EXPECT_EQ(grid->TopRow(), 7) << "the last five rows fill the 120 pixels under the title";
  grid->SetTopRow(0);
  EXPECT_EQ(grid->TopRow(), 1);

  grid->SetCells(1, 1, "12.50");
  form->Show();
  const QImage image = grid->Widget()->grab().toImage();
  const auto dark = [&](const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += qGray(image.pixel(x, y)) < 100;
    return n;
  };
  EXPECT_GT(dark(grid->CellRect(1, 1)), 5);
  EXPECT_EQ(dark(grid->CellRect(2, 1)), 0);
}

TEST_F(UiStringGrid, RowsKeepTheFixedRowAndTheSelectionStaysOnDataRows) {
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

}  // namespace
