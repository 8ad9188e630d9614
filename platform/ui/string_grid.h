#pragma once
// TStringGrid: a read-only grid of texts with ColCount columns and RowCount
// rows, the first FixedRows rows (1 at first) a title band, drawn by the control
// itself.
//
// Rows and columns are numbered from 0; a cell outside the grid reads empty and
// takes no text. Changing the counts keeps the texts of the cells that remain.
// Drawing: the title cells on the button face, the other cells on the window
// colour, the text at the cell's margins in the control's font, one-pixel grid
// lines between the cells. Rows below the title band that do not fit are
// reached with the mouse wheel (TopRow).
//
// Threads: user-interface thread only.

#include "platform/ui/custom_control.h"

#include <QString>

#include <vector>

class TStringGrid : public TCustomControl {
public:
  explicit TStringGrid(TComponent* AOwner);

  int ColCount() const { return colCount_; }
  void SetColCount(int value);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int value);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int value);

  QString Cells(int col, int row) const;
  void SetCells(int col, int row, const QString& text);

  // Pixel width of a column (64 at first); 0 outside the grid.
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  // Pixel height of every row (18 at first).
  int DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultRowHeight(int value);
  // The first row shown under the title band.
  int TopRow() const { return topRow_; }
  void SetTopRow(int value);
  // The cell's rectangle in the client area as it is drawn now; empty for a row
  // scrolled out of view or a cell outside the grid.
  TRect CellRect(int col, int row) const;

protected:
  void Paint() override;
  bool MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;

private:
  void Resize(int cols, int rows);

  int colCount_ = 5;
  int rowCount_ = 5;
  int fixedRows_ = 1;
  // Row-major texts of rowCount_ x colCount_ cells.
  std::vector<QString> cells_;
  std::vector<int> colWidths_;
  int rowHeight_ = 18;
  int topRow_ = 1;
};
