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
  SetColCount(5);
  SetRowCount(5);
}

void TStringGrid::SetColCount(int value) {
  value = std::max(value, 1);
  colWidths_.resize(static_cast<size_t>(value), kDefaultColWidth);
  for (auto& row : cells_) row.resize(static_cast<size_t>(value));
  Invalidate();
}

void TStringGrid::SetRowCount(int value) {
  value = std::max(value, fixedRows_ + 1);
  cells_.resize(static_cast<size_t>(value), std::vector<QString>(colWidths_.size()));
  if (row_ >= value) row_ = -1;
  SetTopRow(topRow_);
  Invalidate();
}

void TStringGrid::SetFixedRows(int value) {
  fixedRows_ = std::clamp(value, 0, RowCount() - 1);
  SetTopRow(topRow_);
  Invalidate();
}

QString TStringGrid::Cells(int col, int row) const {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return {};
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGrid::SetCells(int col, int row, const QString& value) {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return;
  cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = value;
  Invalidate();
}

int TStringGrid::ColWidths(int col) const {
  return col >= 0 && col < ColCount() ? colWidths_[static_cast<size_t>(col)] : 0;
}

void TStringGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= ColCount()) return;
  colWidths_[static_cast<size_t>(col)] = std::max(width, 0);
  Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int value) {
  rowHeight_ = std::max(value, 1);
  Invalidate();
}

int TStringGrid::VisibleRowCount() const {
  const int free = ClientHeight() - fixedRows_ * (rowHeight_ + kGridLine);
  return std::max(free / (rowHeight_ + kGridLine), 1);
}

void TStringGrid::SetTopRow(int value) {
  const int last = std::max(RowCount() - VisibleRowCount(), fixedRows_);
  topRow_ = std::clamp(value, fixedRows_, last);
  Invalidate();
}

TRect TStringGrid::CellRect(int col, int row) const {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount() || (row >= fixedRows_ && row < topRow_))
    return Rect(0, 0, 0, 0);
  int left = 0;
  for (int c = 0; c < col; ++c) {
    const int width = colWidths_[static_cast<size_t>(c)];
    if (width > 0) left += width + kGridLine;
  }
  const int shown = row < fixedRows_ ? row : fixedRows_ + row - topRow_;
  const int top = shown * (rowHeight_ + kGridLine);
  return Rect(left, top, left + colWidths_[static_cast<size_t>(col)], top + rowHeight_);
}

void TStringGrid::SetRow(int value) {
  row_ = value >= fixedRows_ && value < RowCount() ? value : -1;
  Invalidate();
}

void TStringGrid::Paint() {
  TCanvas& canvas = *Canvas();
  canvas.Font()->Assign(*Font());
  int top = 0;
  auto drawRow = [&](int row) {
    const bool fixed = row < fixedRows_;
    int left = 0;
    for (int col = 0; col < ColCount(); ++col) {
      const int width = colWidths_[static_cast<size_t>(col)];
      if (width <= 0) continue;
      const TRect cell = Rect(left, top, left + width, top + rowHeight_);
      canvas.Brush()->SetStyle(bsSolid);
      canvas.Brush()->SetColor(fixed ? clBtnFace : row == row_ ? clHighlight : clWindow);
      canvas.FillRect(cell);
      canvas.Font()->SetColor(!fixed && row == row_ ? clHighlightText : clWindowText);
      canvas.TextOut(cell.Left + kTextMargin, cell.Top + kTextMargin, Cells(col, row));
      canvas.Brush()->SetColor(kGridLineColor);
      canvas.FillRect(Rect(cell.Right, top, cell.Right + kGridLine, cell.Bottom + kGridLine));
      canvas.FillRect(Rect(left, cell.Bottom, cell.Right + kGridLine, cell.Bottom + kGridLine));
      left = cell.Right + kGridLine;
    }
    top += rowHeight_ + kGridLine;
  };
  for (int row = 0; row < fixedRows_; ++row) drawRow(row);
  for (int row = topRow_; row < RowCount() && top < ClientHeight(); ++row) drawRow(row);
}

bool TStringGrid::MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TCustomControl::MouseWheel(shift, wheelDelta, mousePos)) return true;
  if (wheelDelta == 0) return false;
  SetTopRow(topRow_ + (wheelDelta > 0 ? -1 : 1));
  return true;
}

void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  const int line = y / (rowHeight_ + kGridLine);
  if (line >= fixedRows_) SetRow(topRow_ + line - fixedRows_);
}
