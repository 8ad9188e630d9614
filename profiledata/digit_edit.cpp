#include "profiledata/digit_edit.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/keys.h"
#include "profiledata/digit_edit_cursors.h"

#include <cmath>
#include <limits>

namespace {

// The runtime formats and parses with '.' whatever the machine's locale, so that
// is the system's separator.
constexpr char16_t kSystemDecimalSeparator = u'.';

constexpr TColor kModifiedFontColor = 0x0000B7;
constexpr TColor kModifiedColor = 0xB0FFFF;

// Deletes the first minus sign while it is not the first character, so "5-3-"
// gives "53" but "-5-3" stays as it is.
QString WithoutInnerMinus(QString text, int& removedBeforeCaret, int caret) {
  removedBeforeCaret = 0;
  for (qsizetype p = text.indexOf(u'-'); p > 0; p = text.indexOf(u'-')) {
    if (p < caret - removedBeforeCaret) ++removedBeforeCaret;
    text.remove(p, 1);
  }
  return text;
}

// A number still being typed: its value would not be what the user means yet.
bool IsHalfTyped(const QString& text) {
  return text == u"-" || text == u"-0" || text == u"-0." || text == u"-0," || text.endsWith(u',') ||
         text.endsWith(u'.');
}

bool IsPassingCharacter(QChar c) {
  // Backspace, paste and escape work on the text; Tab is the focus key and never
  // reaches the text.
  return (c >= u'0' && c <= u'9') || c == QChar(VK_BACK) || c == QChar(0x16) || c == QChar(VK_ESCAPE) ||
         c == QChar(VK_TAB);
}

}  // namespace

TDigitEdit::TDigitEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  LoadDigitEditCursors();
  // Both limits are still 0 here, so the value becomes 0 and the text "0".
  SetValueReal(1.0L);
  AMin = 0;
  AMax = 300;
  AStep = 0.1L;
  ADigDecimalSeparator = u'.';
  ADecSepFromSys = true;
}

// ---- Properties --------------------------------------------------------------------

void TDigitEdit::SetAvailableDecimal(bool value) {
  ADecimalAvailable = value;
  SetValueReal(FValueReal);
}

void TDigitEdit::SetAvailableSign(bool value) {
  ASignAvailable = value;
  SetValueReal(FValueReal);
}

void TDigitEdit::SetValueReal(long double value) {
  if (ADigDecimalSeparator.isNull()) SetDigDecimalSeparator(u',');
  if (value < AMin) value = AMin;
  if (!(value <= AMax)) value = AMax;
  // round(x * 10^8) / 10^8, half to even; kept in floating point so that large
  // values do not pass through a saturating integer.
  FValueReal = std::nearbyintl(value * 1e8L) / 1e8L;
  WriteOwnText(ValueText());
  ShowConfirmed();
}

int TDigitEdit::ValueInt() const {
  const int64_t rounded = Round(FValueReal);
  if (rounded > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (rounded < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(rounded);
}

void TDigitEdit::SetStep(long double value) {
  value = std::fabs(value);
  AStep = value > AMax ? AMax : value;
}

void TDigitEdit::SetDigDecimalSeparator(QChar value) {
  ADigDecimalSeparator = value == u'.' || value == u',' ? value : QChar(kSystemDecimalSeparator);
}

// ---- Text and value ----------------------------------------------------------------

QChar TDigitEdit::ActiveSeparator() const {
  return ADecSepFromSys ? QChar(kSystemDecimalSeparator) : ADigDecimalSeparator;
}

bool TDigitEdit::ParseText(const QString& text, long double& value) const {
  const QChar separator = ActiveSeparator();
  const QChar other = separator == u'.' ? u',' : u'.';
  if (text.contains(other)) return false;
  QString number = text;
  number.replace(separator, u'.');
  long double parsed;
  // "INF" and "NAN" are letters to this box, not numbers.
  if (!TryStrToFloat(number, parsed) || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

QString TDigitEdit::ValueText() const {
  if (!ADecimalAvailable) {
    int64_t rounded = Round(FValueReal);
    if (!ASignAvailable && rounded < 0)
      rounded = rounded == std::numeric_limits<int64_t>::min() ? std::numeric_limits<int64_t>::max() : -rounded;
    return IntToStr(rounded);
  }
  return FloatToStrF(FValueReal, ffGeneral, 16, 0).replace(u'.', ActiveSeparator());
}

QString TDigitEdit::LimitText(long double limit) const {
  return FloatToStrF(limit, ffGeneral, 10, 0).replace(u'.', ActiveSeparator());
}

void TDigitEdit::WriteOwnText(const QString& text) {
  struct TFlag {
    bool& flag;
    explicit TFlag(bool& f) : flag(f) { flag = true; }
    ~TFlag() { flag = false; }
  } writing(writingOwnText_);
  lastValidText_ = text;
  SetText(text);
}

void TDigitEdit::RevertText() {
  QString text = lastValidText_;
  long double ignored;
  // The separator may have changed since that text was shown.
  if (!text.isEmpty() && !ParseText(text, ignored)) text = ValueText();
  WriteOwnText(text);
}

void TDigitEdit::Change() {
  if (writingOwnText_) {
    TCustomEdit::Change();
    return;
  }
  const long double before = FValueReal;
  const QString text = Text();
  if (!text.isEmpty()) {
    int removedBeforeCaret = 0;
    const int caret = SelStart();
    const QString cleaned = WithoutInnerMinus(text, removedBeforeCaret, caret);
    if (cleaned != text) {
      // The new text runs Change again and is parsed there.
      SetText(cleaned);
      SetSelStart(caret - removedBeforeCaret);
      return;
    }
    if (IsHalfTyped(text)) return;
    long double parsed;
    if (!ParseText(text, parsed)) {
      RevertText();
      return;
    }
    FValueReal = parsed;
  } else {
    // The value of the range closest to zero.
    FValueReal = AMin > 0 ? AMin : (AMax >= 0 ? 0 : AMax);
  }
  lastValidText_ = text;
  if (FValueReal != before)
    ShowModified();
  else
    ShowConfirmed();
  TCustomEdit::Change();
}

void TDigitEdit::ShowConfirmed() {
  modified_ = false;
  SetColor(clWindow);
  Font()->SetColor(clWindowText);
}

void TDigitEdit::ShowModified() {
  modified_ = true;
  Font()->SetColor(kModifiedFontColor);
  SetColor(kModifiedColor);
}

void TDigitEdit::ChangeFinished() {
  if (OnChangeFinish) OnChangeFinish(this);
}

// ---- Keys and focus ----------------------------------------------------------------

bool TDigitEdit::KeyDown(WORD& key, TShiftState shift) {
  const long double steps = shift.Contains(ssShift) ? 10 : 1;
  if (key == VK_UP) {
    SetValueReal(FValueReal + AStep * steps);
    ChangeFinished();
  } else if (key == VK_DOWN) {
    SetValueReal(FValueReal - AStep * steps);
    ChangeFinished();
  } else if (key == VK_RETURN) {
    Change();
  }
  return TCustomEdit::KeyDown(key, shift);
}

bool TDigitEdit::KeyPress(QChar& key) {
  const QString text = Text();
  if (ADecimalAvailable && (key == u'.' || key == u',')) {
    key = ActiveSeparator();
    if (text.contains(key)) return false;
  } else if (ASignAvailable && key == u'-') {
    if (text.contains(u'-')) return false;
  } else if (key == QChar(VK_RETURN)) {
    ShowConfirmed();
    ChangeFinished();
    return false;
  } else if (!IsPassingCharacter(key)) {
    return false;
  }
  return TCustomEdit::KeyPress(key);
}

void TDigitEdit::DoExit() {
  bool replaced = false;
  long double value;
  if (!Text().isEmpty() && !ParseText(Text(), value)) RevertText();
  if (Text().isEmpty()) {
    SetText(LimitText(AMin));
    replaced = true;
  }
  if (ParseText(Text(), value) && value < AMin) {
    SetText(LimitText(AMin));
    replaced = true;
  }
  if (ParseText(Text(), value) && !(value <= AMax)) {
    SetText(LimitText(AMax));
    replaced = true;
  }
  if (replaced || modified_) {
    Change();
    ChangeFinished();
  }
  ShowConfirmed();
  Screen->SetCursor(crDefault);
  TCustomEdit::DoExit();
}

// ---- Mouse drag and wheel ----------------------------------------------------------

void TDigitEdit::DragValue(int row, TShiftState shift) {
  const int height = Height();
  const long double steps = shift.Contains(ssShift) ? 10 : 1;
  long double value;
  if (row > height) {
    Screen->SetCursor(crDigitEditDownMove);
    value = dragStart_ - AStep * steps * (static_cast<long double>(row) - height);
  } else if (row > 0) {
    Screen->SetCursor(crDigitEditStartMove);
    return;
  } else {
    Screen->SetCursor(crDigitEditUpMove);
    value = dragStart_ - AStep * steps * row;
  }
  SetValueReal(value);
  SetSelStart(0);
  ChangeFinished();
}

void TDigitEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomEdit::MouseDown(button, shift, x, y);
  dragging_ = true;
  dragStart_ = FValueReal;
  hasDragStart_ = true;
  Screen->SetCursor(crDigitEditStartMove);
  yWheel_ = y;
}

void TDigitEdit::MouseMove(TShiftState shift, int x, int y) {
  TCustomEdit::MouseMove(shift, x, y);
  if (dragging_ && !shift.Contains(ssLeft) && !shift.Contains(ssRight) && !shift.Contains(ssMiddle)) {
    // The release went elsewhere (a context menu takes it): the drag is over.
    dragging_ = false;
    Screen->SetCursor(crDefault);
  }
  if (dragging_) DragValue(y, shift);
  yWheel_ = y;
}

void TDigitEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomEdit::MouseUp(button, shift, x, y);
  dragging_ = false;
  Screen->SetCursor(crDefault);
  yWheel_ = y;
}

void TDigitEdit::WheelNotch(int rowDelta, TShiftState shift) {
  // Before any press the notches step from the value they find.
  if (!hasDragStart_) {
    dragStart_ = FValueReal;
    hasDragStart_ = true;
  }
  // Saturates instead of wrapping (no one turns a wheel 2^31 notches, but the
  // arithmetic stays defined).
  if (rowDelta > 0 ? yWheel_ < std::numeric_limits<int>::max() : yWheel_ > std::numeric_limits<int>::min())
    yWheel_ += rowDelta;
  DragValue(yWheel_, shift);
  Screen->SetCursor(crDefault);
}

bool TDigitEdit::DoMouseWheelDown(TShiftState shift, TPoint) {
  WheelNotch(+1, shift);
  return true;
}

bool TDigitEdit::DoMouseWheelUp(TShiftState shift, TPoint) {
  WheelNotch(-1, shift);
  return true;
}
