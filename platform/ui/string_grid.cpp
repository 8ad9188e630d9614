#include "platform/ui/string_grid.h"

#include <algorithm>

namespace {
constexpr int kGridLine = 1;
constexpr int kTextMargin = 2;
constexpr int kDefaultColWidth = 64;
constexpr TColor kGridLineColor = clSilver;
}  // namespace

TStringGrid::TStringGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clWindow);
  cells_.resize(static_cast<size_t>(rowCount_ * colCount_));
  colWidths_.assign(static_cast<size_t>(colCount_), kDefaultColWidth);
}

void TStringGrid::Resize(int cols, int rows) {
  cols = std::max(1, cols);
  rows = std::max(1, rows);
  if (cols == colCount_ && rows == rowCount_) return;
  std::vector<QString> cells(static_cast<size_t>(rows) * static_cast<size_t>(cols));
  for (int r = 0; r < std::min(rows, rowCount_); ++r)
    for (int c = 0; c < std::min(cols, colCount_); ++c)
      cells[static_cast<size_t>(r * cols + c)] = std::move(cells_[static_cast<size_t>(r * colCount_ + c)]);
  cells_ = std::move(cells);
  colWidths_.resize(static_cast<size_t>(cols), kDefaultColWidth);
  colCount_ = cols;
  rowCount_ = rows;
  fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
  topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
  Invalidate();
}

void TStringGrid::SetColCount(int value) { Resize(value, rowCount_); }
void TStringGrid::SetRowCount(int value) { Resize(colCount_, value); }

void TStringGrid::SetFixedRows(int value) {
  fixedRows_ = std::clamp(value, 0, rowCount_ - 1);
  topRow_ = std::max(topRow_, fixedRows_);
  Invalidate();
}

QString TStringGrid::Cells(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return {};
  return cells_[static_cast<size_t>(row * colCount_ + col)];
}

void TStringGrid::SetCells(int col, int row, const QString& text) {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return;
  QString& cell = cells_[static_cast<size_t>(row * colCount_ + col)];
  if (cell == text) return;
  cell = text;
  Invalidate();
}

int TStringGrid::ColWidths(int col) const {
  return col >= 0 && col < colCount_ ? colWidths_[static_cast<size_t>(col)] : 0;
}

void TStringGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= colCount_) return;
  colWidths_[static_cast<size_t>(col)] = std::max(0, width);
  Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int value) {
  rowHeight_ = std::max(1, value);
  Invalidate();
}

void TStringGrid::SetTopRow(int value) {
  const int top = std::clamp(value, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
  if (top == topRow_) return;
  topRow_ = top;
  Invalidate();
}

TRect TStringGrid::CellRect(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_ || (row >= fixedRows_ && row < topRow_))
    return Rect(0, 0, 0, 0);
  int left = 0;
  for (int c = 0; c < col; ++c) left += colWidths_[static_cast<size_t>(c)] + kGridLine;
  const int shown = row < fixedRows_ ? row : fixedRows_ + row - topRow_;
  const int top = shown * (rowHeight_ + kGridLine);
  return Rect(left, top, left + colWidths_[static_cast<size_t>(col)], top + rowHeight_);
}

void TStringGrid::Paint() {
  TCanvas& canvas = *Canvas();
  const int height = ClientHeight();
  canvas.Font()->Assign(*Font());
  for (int row = 0; row < rowCount_; ++row) {
    if (row >= fixedRows_ && row < topRow_) continue;
    const TRect first = CellRect(0, row);
    if (first.Top >= height) break;
    int right = 0;
    for (int col = 0; col < colCount_; ++col) {
      const TRect rect = CellRect(col, row);
      canvas.Brush()->SetStyle(bsSolid);
      canvas.Brush()->SetColor(row < fixedRows_ ? clBtnFace : clWindow);
      canvas.FillRect(rect);
      canvas.TextOut(rect.Left + kTextMargin, rect.Top + kTextMargin, Cells(col, row));
      canvas.Brush()->SetColor(kGridLineColor);
      canvas.FillRect(Rect(rect.Right, rect.Top, rect.Right + kGridLine, rect.Bottom));
      right = rect.Right + kGridLine;
    }
    canvas.Brush()->SetColor(kGridLineColor);
    canvas.FillRect(Rect(0, first.Bottom, right, first.Bottom + kGridLine));
  }
}

bool TStringGrid::MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TCustomControl::MouseWheel(shift, wheelDelta, mousePos)) return true;
  if (wheelDelta == 0) return false;
  SetTopRow(topRow_ + (wheelDelta > 0 ? -1 : 1));
  return true;
}
