#pragma once
// TValueListEditor: a two-column grid of key and value rows under a title row,
// drawn by the control itself.
//
// Rows are numbered as the grid shows them: row 0 is the title row, the data
// rows are 1 .. RowCount() - 1; column 0 holds the keys, column 1 the values.
// Keys need not be unique; a lookup by key finds the first row that has it.
//
// Drawing: every visible cell is first drawn in the default way (the title
// cells on the button face, the data cells on the window colour, the text at
// the cell's margins in the control's font), then OnDrawCell runs for it, when
// set, and may draw over it on Canvas(). Rows that do not fit are reached with
// the mouse wheel (TopRow).
//
// Selection and editing: a click on a data cell selects it (Row, Col) when
// OnSelectCell, if set, lets it. While Editing is on, the selected data cell is
// edited in place: each typed character is appended to its text and Backspace
// removes the last one; every change goes through SetEditText, which stores the
// text and runs OnSetEditText (as each keystroke of an in-place editor does).
//
// Threads: user-interface thread only.

#include "platform/ui/custom_control.h"
#include "platform/ui/enum_set.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <utility>
#include <vector>

enum TGridDrawStateItem : uint8_t { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TEnumSet<TGridDrawStateItem>;
using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const QString& Value)>;

class TValueListEditor : public TCustomControl {
public:
  explicit TValueListEditor(TComponent* AOwner);

  // The title row's texts ("Key" and "Value" at first).
  QString TitleCaption(int col) const;
  void SetTitleCaptions(const QString& keyTitle, const QString& valueTitle);

  // Rows with the title row: 1 for an empty list.
  int RowCount() const { return static_cast<int>(rows_.size()) + 1; }
  // A new row at the end (Append) or before the first data row; returns its row.
  int InsertRow(const QString& KeyName, const QString& Value, bool Append);
  // Removes every data row.
  void Clear();
  // The key of a data row; empty for the title row and rows outside the list.
  QString Keys(int row) const;
  // The text of a cell, title row included; empty outside the grid.
  QString Cells(int col, int row) const;
  // The data row of the first row with the key; false (row unchanged) when none.
  bool FindRow(const QString& KeyName, int& row) const;
  // The value of the first row with the key; empty when none.
  QString Values(const QString& KeyName) const;
  // Sets the value of the first row with the key; false, with nothing added,
  // when no row has it.
  bool SetValues(const QString& KeyName, const QString& Value);
  // The data rows as "key=value" lines.
  QStringList Strings() const;

  // Pixel width of column 0 or 1 (64 at first); cells are parted by one-pixel
  // grid lines.
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  // Pixel height of every row (18 at first).
  int DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultRowHeight(int value);
  // The first data row shown under the title row.
  int TopRow() const { return topRow_; }
  void SetTopRow(int value);
  // The cell's rectangle in the client area as it is drawn now; an empty
  // rectangle for a row scrolled out of view or outside the grid.
  TRect CellRect(int col, int row) const;

  // Replaces the text of a data cell (nothing for the title row or outside).
  void SetCells(int col, int row, const QString& text);
  // Removes a data row; the selection stays on the same row number while it
  // exists, else moves to the last row (0 when the list is empty).
  void DeleteRow(int row);

  // The selected data cell; Row 0 while none is selected.
  int Row() const { return row_; }
  int Col() const { return col_; }
  // Selects a data cell as a click does; false when it is outside the data rows
  // or OnSelectCell refused it (the selection unchanged).
  bool SelectCell(int col, int row);
  bool Editing() const { return editing_; }
  void SetEditing(bool value) { editing_ = value; }
  // A new text of a data cell from the in-place editor.
  void SetEditText(int col, int row, const QString& value);

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;
  TSetEditEvent OnSetEditText;

protected:
  void Paint() override;
  bool MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  bool KeyDown(WORD& key, TShiftState shift) override;
  bool KeyPress(QChar& key) override;

private:
  void DrawCell(int col, int row, const TRect& rect);

  std::array<QString, 2> titles_;
  std::vector<std::pair<QString, QString>> rows_;
  std::array<int, 2> colWidths_{64, 64};
  int rowHeight_ = 18;
  int topRow_ = 1;
  int row_ = 0;
  int col_ = 0;
  bool editing_ = false;
};
