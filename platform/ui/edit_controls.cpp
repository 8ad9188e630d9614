#include "platform/ui/edit_controls.h"

#include <QLineEdit>
#include <QPalette>

#include <algorithm>
#include <cstdlib>

namespace {
// One notch of a mouse wheel in wheel units.
constexpr int kWheelDelta = 120;
// QLineEdit's own "no limit".
constexpr int kUnlimitedLength = 32767;
}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner, new QLineEdit) {
  SetColor(clWindow);
  // The control's font sets the typeface; an edit shows the font's colour as well.
  TFont* font = Font();
  font->OnChange = [this, typeface = font->OnChange](TObject* sender) {
    if (typeface) typeface(sender);
    ShowFontColor();
  };
  ShowFontColor();
  changeConnection_ = QObject::connect(LineEdit(), &QLineEdit::textChanged, LineEdit(), [this] { Change(); });
}

TCustomEdit::~TCustomEdit() {
  // The widget outlives this part of the object; no change may reach it any more.
  QObject::disconnect(changeConnection_);
}

QLineEdit* TCustomEdit::LineEdit() const { return static_cast<QLineEdit*>(Widget()); }

QString TCustomEdit::Text() const { return LineEdit()->text(); }

void TCustomEdit::SetText(const QString& value) { LineEdit()->setText(value); }

int TCustomEdit::SelStart() const {
  const int start = LineEdit()->selectionStart();
  return start >= 0 ? start : LineEdit()->cursorPosition();
}

void TCustomEdit::SetSelStart(int value) {
  LineEdit()->deselect();
  LineEdit()->setCursorPosition(value);
}

int TCustomEdit::SelLength() const { return LineEdit()->selectionLength(); }

void TCustomEdit::SetSelLength(int value) {
  const int start = SelStart();
  LineEdit()->setSelection(start, std::max(0, std::min(value, static_cast<int>(Text().size()) - start)));
}

QString TCustomEdit::SelText() const { return LineEdit()->selectedText(); }

void TCustomEdit::SetSelText(const QString& value) { LineEdit()->insert(value); }

void TCustomEdit::SelectAll() { LineEdit()->selectAll(); }

bool TCustomEdit::ReadOnly() const { return LineEdit()->isReadOnly(); }

void TCustomEdit::SetReadOnly(bool value) { LineEdit()->setReadOnly(value); }

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(0, value);
  LineEdit()->setMaxLength(maxLength_ == 0 ? kUnlimitedLength : std::min(maxLength_, kUnlimitedLength));
}

void TCustomEdit::SetColor(TColor value) {
  TControl::SetColor(value);
  if (value == clNone || value == clDefault) return;
  // The frame around the text keeps the parent's colour; only the base is painted.
  Widget()->setAutoFillBackground(false);
  QPalette palette = Widget()->palette();
  palette.setColor(QPalette::Base, ColorToQColor(value));
  Widget()->setPalette(palette);
}

void TCustomEdit::ShowFontColor() {
  QPalette palette = Widget()->palette();
  palette.setColor(QPalette::Text, ColorToQColor(Font()->Color()));
  Widget()->setPalette(palette);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

bool TCustomEdit::MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TWinControl::MouseWheel(shift, wheelDelta, mousePos)) return true;
  // Fine-grained wheels send parts of a notch: they add up to whole notches.
  wheelAccumulator_ += wheelDelta;
  bool handled = false;
  while (std::abs(wheelAccumulator_) >= kWheelDelta) {
    if (wheelAccumulator_ < 0) {
      wheelAccumulator_ += kWheelDelta;
      handled = DoMouseWheelDown(shift, mousePos);
    } else {
      wheelAccumulator_ -= kWheelDelta;
      handled = DoMouseWheelUp(shift, mousePos);
    }
  }
  return handled;
}

bool TCustomEdit::DoMouseWheelDown(TShiftState, TPoint) { return false; }

bool TCustomEdit::DoMouseWheelUp(TShiftState, TPoint) { return false; }
