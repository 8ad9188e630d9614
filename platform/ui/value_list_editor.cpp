#include "platform/ui/value_list_editor.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/keys.h"

#include <algorithm>

namespace {

RESOURCESTRING(SValueListKeyTitle, "Key");
RESOURCESTRING(SValueListValueTitle, "Value");

constexpr int kGridLine = 1;
constexpr int kTextMargin = 2;
constexpr TColor kGridLineColor = clSilver;

bool ValidCol(int col) { return col == 0 || col == 1; }

}  // namespace

TValueListEditor::TValueListEditor(TComponent* AOwner) : TCustomControl(AOwner) {
  titles_ = {LoadResString(SValueListKeyTitle), LoadResString(SValueListValueTitle)};
  SetColor(clWindow);
}

QString TValueListEditor::TitleCaption(int col) const {
  return ValidCol(col) ? titles_[static_cast<size_t>(col)] : QString();
}

void TValueListEditor::SetTitleCaptions(const QString& keyTitle, const QString& valueTitle) {
  titles_ = {keyTitle, valueTitle};
  Invalidate();
}

int TValueListEditor::InsertRow(const QString& KeyName, const QString& Value, bool Append) {
  if (Append) {
    rows_.emplace_back(KeyName, Value);
    Invalidate();
    return RowCount() - 1;
  }
  rows_.emplace(rows_.begin(), KeyName, Value);
  Invalidate();
  return 1;
}

void TValueListEditor::Clear() {
  rows_.clear();
  topRow_ = 1;
  row_ = 0;
  Invalidate();
}

QString TValueListEditor::Keys(int row) const { return row >= 1 ? Cells(0, row) : QString(); }

QString TValueListEditor::Cells(int col, int row) const {
  if (!ValidCol(col) || row < 0 || row >= RowCount()) return {};
  if (row == 0) return titles_[static_cast<size_t>(col)];
  const auto& [key, value] = rows_[static_cast<size_t>(row - 1)];
  return col == 0 ? key : value;
}

bool TValueListEditor::FindRow(const QString& KeyName, int& row) const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].first == KeyName) {
      row = static_cast<int>(i) + 1;
      return true;
    }
  return false;
}

QString TValueListEditor::Values(const QString& KeyName) const {
  int row = 0;
  return FindRow(KeyName, row) ? rows_[static_cast<size_t>(row - 1)].second : QString();
}

bool TValueListEditor::SetValues(const QString& KeyName, const QString& Value) {
  int row = 0;
  if (!FindRow(KeyName, row)) return false;
  QString& value = rows_[static_cast<size_t>(row - 1)].second;
  if (value != Value) {
    value = Value;
    Invalidate();
  }
  return true;
}

QStringList TValueListEditor::Strings() const {
  QStringList lines;
  for (const auto& [key, value] : rows_) lines << key + u'=' + value;
  return lines;
}

int TValueListEditor::ColWidths(int col) const { return ValidCol(col) ? colWidths_[static_cast<size_t>(col)] : 0; }

void TValueListEditor::SetColWidths(int col, int width) {
  if (!ValidCol(col)) return;
  colWidths_[static_cast<size_t>(col)] = std::max(0, width);
  Invalidate();
}

void TValueListEditor::SetDefaultRowHeight(int value) {
  rowHeight_ = std::max(1, value);
  Invalidate();
}

void TValueListEditor::SetTopRow(int value) {
  const int top = std::clamp(value, 1, std::max(1, RowCount() - 1));
  if (top == topRow_) return;
  topRow_ = top;
  Invalidate();
}

TRect TValueListEditor::CellRect(int col, int row) const {
  if (!ValidCol(col) || row < 0 || row >= RowCount() || (row > 0 && row < topRow_)) return Rect(0, 0, 0, 0);
  const int left = col == 0 ? 0 : colWidths_[0] + kGridLine;
  const int shownIndex = row == 0 ? 0 : row - topRow_ + 1;
  const int top = shownIndex * (rowHeight_ + kGridLine);
  return Rect(left, top, left + colWidths_[static_cast<size_t>(col)], top + rowHeight_);
}

void TValueListEditor::Paint() {
  TCanvas& canvas = *Canvas();
  const int height = ClientHeight();
  for (int row = 0; row < RowCount(); ++row) {
    if (row > 0 && row < topRow_) continue;
    const TRect first = CellRect(0, row);
    if (first.Top >= height) break;
    for (int col = 0; col < 2; ++col) DrawCell(col, row, CellRect(col, row));
    // The grid lines under the row and right of each cell.
    canvas.Brush()->SetColor(kGridLineColor);
    const TRect second = CellRect(1, row);
    canvas.FillRect(Rect(0, first.Bottom, second.Right + kGridLine, first.Bottom + kGridLine));
    canvas.FillRect(Rect(first.Right, first.Top, first.Right + kGridLine, first.Bottom));
    canvas.FillRect(Rect(second.Right, second.Top, second.Right + kGridLine, second.Bottom));
  }
}

void TValueListEditor::DrawCell(int col, int row, const TRect& rect) {
  TCanvas& canvas = *Canvas();
  const bool fixed = row == 0;
  const bool selected = !fixed && row == row_;
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(fixed ? clBtnFace : selected ? clHighlight : clWindow);
  canvas.FillRect(rect);
  canvas.Font()->Assign(*Font());
  if (selected) canvas.Font()->SetColor(clHighlightText);
  canvas.TextOut(rect.Left + kTextMargin, rect.Top + kTextMargin, Cells(col, row));
  TGridDrawState state = fixed ? TGridDrawState(gdFixed) : TGridDrawState();
  if (selected) state.Include(gdSelected);
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

bool TValueListEditor::MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TCustomControl::MouseWheel(shift, wheelDelta, mousePos)) return true;
  if (wheelDelta == 0) return false;
  SetTopRow(topRow_ + (wheelDelta > 0 ? -1 : 1));
  return true;
}

void TValueListEditor::SetCells(int col, int row, const QString& text) {
  if (!ValidCol(col) || row < 1 || row >= RowCount()) return;
  auto& [key, value] = rows_[static_cast<size_t>(row - 1)];
  (col == 0 ? key : value) = text;
  Invalidate();
}

void TValueListEditor::DeleteRow(int row) {
  if (row < 1 || row >= RowCount()) return;
  rows_.erase(rows_.begin() + (row - 1));
  row_ = std::min(row_, RowCount() - 1);
  topRow_ = std::clamp(topRow_, 1, std::max(1, RowCount() - 1));
  Invalidate();
}

bool TValueListEditor::SelectCell(int col, int row) {
  if (!ValidCol(col) || row < 1 || row >= RowCount()) return false;
  bool canSelect = true;
  if (OnSelectCell) OnSelectCell(this, col, row, canSelect);
  if (!canSelect) return false;
  row_ = row;
  col_ = col;
  Invalidate();
  return true;
}

void TValueListEditor::SetEditText(int col, int row, const QString& value) {
  if (!ValidCol(col) || row < 1 || row >= RowCount()) return;
  SetCells(col, row, value);
  if (OnSetEditText) OnSetEditText(this, col, row, value);
}

void TValueListEditor::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  for (int row = std::max(1, topRow_); row < RowCount(); ++row) {
    for (int col = 0; col < 2; ++col) {
      const TRect r = CellRect(col, row);
      if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) {
        SelectCell(col, row);
        return;
      }
    }
  }
}

bool TValueListEditor::KeyDown(WORD& key, TShiftState shift) {
  // The base runs the form's key preview and OnKeyDown; false: swallowed there.
  if (!TCustomControl::KeyDown(key, shift)) return false;
  if (key != VK_BACK || !editing_ || row_ < 1) return true;
  const QString text = Cells(col_, row_);
  if (!text.isEmpty()) SetEditText(col_, row_, text.left(text.size() - 1));
  return false;
}

bool TValueListEditor::KeyPress(QChar& key) {
  if (!TCustomControl::KeyPress(key)) return false;
  if (!editing_ || row_ < 1 || !key.isPrint()) return true;
  SetEditText(col_, row_, Cells(col_, row_) + key);
  return false;
}
