#pragma once
// TStringGrid: a grid of text cells drawn by the control itself. Rows
// 0 .. FixedRows - 1 are fixed (title rows on the button face); the other rows
// are data rows on the window colour. Cells are addressed (column, row), as the
// grid shows them. Only whole rows are selected (Row; -1 for none). Rows that do
// not fit are reached with the mouse wheel or by TopRow, the first data row shown
// under the fixed rows.
//
// Threads: user-interface thread only.

#include "platform/ui/custom_control.h"

#include <QString>

#include <vector>

class TStringGrid : public TCustomControl {
public:
  explicit TStringGrid(TComponent* AOwner);

  int ColCount() const { return static_cast<int>(colWidths_.size()); }
  void SetColCount(int value);
  // New rows are empty; fewer rows drop the last ones.
  int RowCount() const { return static_cast<int>(cells_.size()); }
  void SetRowCount(int value);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int value);

  // Empty outside the grid; a write outside the grid is ignored.
  QString Cells(int col, int row) const;
  void SetCells(int col, int row, const QString& value);

  // 64 at first; 0 hides the column.
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  // 24 at first.
  int DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultRowHeight(int value);

  int TopRow() const { return topRow_; }
  void SetTopRow(int value);
  // Data rows that fit under the fixed rows.
  int VisibleRowCount() const;
  // The cell's rectangle in the client area as it is drawn now; empty for a row
  // scrolled out of view or a cell outside the grid.
  TRect CellRect(int col, int row) const;
  // The selected data row; -1 for none.
  int Row() const { return row_; }
  void SetRow(int value);

protected:
  void Paint() override;
  bool MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  std::vector<std::vector<QString>> cells_;
  std::vector<int> colWidths_;
  int fixedRows_ = 1;
  int rowHeight_ = 24;
  int topRow_ = 1;
  int row_ = -1;
};
