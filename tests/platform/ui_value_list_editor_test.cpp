// Value list editor: key lookup finds the first of equal keys and never adds a
// row, the cell rectangles follow the column widths and the scroll position,
// OnDrawCell draws over the default drawing of every shown cell, and a click
// selects a cell that OnSelectCell allows, whose text typed keys then edit.

#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "platform/ui/value_list_editor.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <vector>

namespace {

class UiValueListEditor : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    list = new TValueListEditor(form);
    list->SetParent(form);
    list->SetBounds(0, 0, 240, 120);
    list->SetColWidths(0, 120);
    list->SetColWidths(1, 100);
  }
  void TearDown() override { form->Free(); }

  TForm* form = nullptr;
  TValueListEditor* list = nullptr;
};

TEST_F(UiValueListEditor, RowsAreFoundByTheirFirstKeyAndUnknownKeysAddNothing) {
  EXPECT_EQ(list->RowCount(), 1) << "the title row";
  EXPECT_EQ(list->InsertRow("Shift", "1.00, m", true), 1);
  EXPECT_EQ(list->InsertRow("Samples", "512", true), 2);
  EXPECT_EQ(list->InsertRow("Shift", "2.00, m", true), 3);
  EXPECT_EQ(list->InsertRow("Model", "A", false), 1) << "before the first data row";
  EXPECT_EQ(list->Strings(), (QStringList{"Model=A", "Shift=1.00, m", "Samples=512", "Shift=2.00, m"}));

  int row = -1;
  ASSERT_TRUE(list->FindRow("Shift", row));
  EXPECT_EQ(row, 2);
  EXPECT_TRUE(list->SetValues("Shift", "3.00, m"));
  EXPECT_EQ(list->Cells(1, 2), "3.00, m");
  EXPECT_EQ(list->Cells(1, 4), "2.00, m") << "only the first row with the key";
  EXPECT_FALSE(list->SetValues("Angle", "0"));
  EXPECT_EQ(list->RowCount(), 5);
  row = -1;
  EXPECT_FALSE(list->FindRow("Angle", row));
  EXPECT_EQ(row, -1);
  EXPECT_EQ(list->Values("Angle"), QString());
  EXPECT_EQ(list->Cells(0, 0), "Key");
  EXPECT_EQ(list->Keys(0), QString()) << "the title row has no key";
  EXPECT_EQ(list->Cells(2, 1), QString());
  EXPECT_EQ(list->Cells(0, 5), QString());

  list->Clear();
  EXPECT_EQ(list->RowCount(), 1);
  EXPECT_EQ(list->Cells(1, 0), "Value");
}

TEST_F(UiValueListEditor, CellsSitAtTheColumnWidthsAndScrollUnderTheTitleRow) {
  for (int i = 0; i < 10; ++i) list->InsertRow(QString::number(i), QString(), true);
  list->SetDefaultRowHeight(18);
  EXPECT_EQ(list->CellRect(0, 0), Rect(0, 0, 120, 18));
  EXPECT_EQ(list->CellRect(1, 2), Rect(121, 38, 221, 56));
  list->SetTopRow(4);
  EXPECT_EQ(list->CellRect(0, 0), Rect(0, 0, 120, 18)) << "the title row stays";
  EXPECT_EQ(list->CellRect(0, 3), Rect(0, 0, 0, 0)) << "scrolled away";
  EXPECT_EQ(list->CellRect(0, 4), Rect(0, 19, 120, 37));
  list->SetTopRow(99);
  EXPECT_EQ(list->TopRow(), 10);
  list->SetTopRow(-3);
  EXPECT_EQ(list->TopRow(), 1);
}

TEST_F(UiValueListEditor, OwnerDrawingRunsForEveryShownCellOverTheDefaultDrawing) {
  list->InsertRow("Plain", "1", true);
  list->InsertRow("Marked", "2", true);
  struct TCall {
    int col, row;
    TRect rect;
    bool fixed;
  };
  std::vector<TCall> calls;
  list->OnDrawCell = [&](TObject* sender, int col, int row, const TRect& rect, TGridDrawState state) {
    EXPECT_EQ(sender, list);
    calls.push_back({col, row, rect, state.Contains(gdFixed)});
    if (list->Keys(row) != "Marked") return;
    list->Canvas()->Brush()->SetColor(clRed);
    list->Canvas()->FillRect(rect);
  };
  form->Show();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return calls.size() >= 6; }));
  ASSERT_EQ(calls.size() % 6, 0u);
  for (int i = 0; i < 6; ++i) {
    const TCall& call = calls[static_cast<size_t>(i)];
    EXPECT_EQ(call.row, i / 2);
    EXPECT_EQ(call.col, i % 2);
    EXPECT_EQ(call.rect, list->CellRect(call.col, call.row));
    EXPECT_EQ(call.fixed, call.row == 0);
  }
  Application->ProcessMessages();
  const TRect marked = list->CellRect(1, 2);
  const TRect plain = list->CellRect(1, 1);
  EXPECT_EQ(ShownColor(*list, marked.Right - 2, marked.Bottom - 2), ColorToRGB(clRed));
  EXPECT_EQ(ShownColor(*list, plain.Right - 2, plain.Bottom - 2), ColorToRGB(clWindow));
  EXPECT_EQ(ShownColor(*list, 100, 16), ColorToRGB(clBtnFace)) << "the title row";
  EXPECT_EQ(ShownColor(*list, 120, 5), ColorToRGB(clSilver)) << "the grid line between the columns";
}

TEST_F(UiValueListEditor, AClickSelectsAnAllowedCellAndTypedKeysEditItWhileEditingIsOn) {
  list->InsertRow("31.47", "Default", true);
  list->InsertRow("30.5", "Field", true);
  list->InsertRow("12", "Short", true);
  std::vector<int> asked;
  list->OnSelectCell = [&](TObject* sender, int, int row, bool& can) {
    EXPECT_EQ(sender, list);
    asked.push_back(row);
    can = row != 3;
    list->SetEditing(row > 1);
  };
  std::vector<QString> edits;
  list->OnSetEditText = [&](TObject*, int col, int row, const QString& value) {
    edits.push_back(QString::number(col) + u':' + QString::number(row) + u'=' + value);
  };
  form->Show();
  const auto click = [&](int col, int row) {
    const TRect r = list->CellRect(col, row);
    SendMouse(*list, maPress, mbLeft, true, false, r.Left + 3, r.Top + 3);
    SendMouse(*list, maRelease, mbLeft, false, false, r.Left + 3, r.Top + 3);
  };
  const auto type = [&](int qtKey, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
    QApplication::sendEvent(list->Widget(), &press);
  };
  EXPECT_EQ(list->Row(), 0) << "nothing selected at first";
  click(1, 2);
  EXPECT_EQ(list->Row(), 2);
  EXPECT_EQ(list->Col(), 1);
  click(0, 3);
  EXPECT_EQ(list->Row(), 2) << "refused";
  EXPECT_EQ(asked, (std::vector<int>{2, 3}));
  click(0, 0);
  EXPECT_EQ(asked.size(), 2u) << "the title row is not selectable";

  type(Qt::Key_2, QStringLiteral("2"));
  type(Qt::Key_Backspace, QString());
  type(Qt::Key_Backspace, QString());
  type(Qt::Key_X, QStringLiteral("X"));
  EXPECT_EQ(list->Cells(1, 2), QStringLiteral("FielX"));
  EXPECT_EQ(edits, (std::vector<QString>{"1:2=Field2", "1:2=Field", "1:2=Fiel", "1:2=FielX"}));

  click(0, 1);
  type(Qt::Key_5, QStringLiteral("5"));
  EXPECT_EQ(list->Cells(0, 1), QStringLiteral("31.47")) << "editing is off for this row";
  EXPECT_EQ(edits.size(), 4u);

  click(0, 2);
  list->DeleteRow(2);
  EXPECT_EQ(list->RowCount(), 3);
  EXPECT_EQ(list->Keys(2), QStringLiteral("12"));
  EXPECT_EQ(list->Row(), 2) << "the same row number while it exists";
  list->DeleteRow(2);
  EXPECT_EQ(list->Row(), 1);
  list->SetCells(1, 1, QStringLiteral("Own"));
  EXPECT_EQ(list->Strings(), QStringList{"31.47=Own"});
}

}  // namespace
