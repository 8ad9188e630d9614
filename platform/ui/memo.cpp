#include "platform/ui/memo.h"

#include <QPlainTextEdit>

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner, new QPlainTextEdit) {
  SetScrollBars(ssNone);
  SetWordWrap(true);
  // The editor also signals changes of layout and format; only a different text
  // is a change.
  changed_ = QObject::connect(Editor(), &QPlainTextEdit::textChanged, Editor(), [this] {
    const QString now = Editor()->toPlainText();
    if (now == lastText_) return;
    lastText_ = now;
    Change();
  });
}

TMemo::~TMemo() { QObject::disconnect(changed_); }

QPlainTextEdit* TMemo::Editor() const { return static_cast<QPlainTextEdit*>(Widget()); }

QString TMemo::Text() const { return Editor()->toPlainText(); }

void TMemo::SetText(const QString& value) {
  if (value == Editor()->toPlainText()) return;
  TControl::SetText(value);
  Editor()->setPlainText(value);
}

QStringList TMemo::Lines() const {
  const QString text = Text();
  if (text.isEmpty()) return {};
  QStringList lines = text.split(QLatin1Char('\n'));
  if (text.endsWith(QLatin1Char('\n'))) lines.removeLast();
  return lines;
}

void TMemo::SetLines(const QStringList& lines) { SetText(lines.join(QLatin1Char('\n'))); }

void TMemo::Append(const QString& line) {
  QStringList lines = Lines();
  lines << line;
  SetLines(lines);
}

bool TMemo::ReadOnly() const { return Editor()->isReadOnly(); }

void TMemo::SetReadOnly(bool value) { Editor()->setReadOnly(value); }

void TMemo::SetScrollBars(TScrollStyle value) {
  scrollBars_ = value;
  const bool horizontal = value == ssHorizontal || value == ssBoth;
  const bool vertical = value == ssVertical || value == ssBoth;
  Editor()->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  Editor()->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TMemo::SetWordWrap(bool value) {
  wordWrap_ = value;
  Editor()->setLineWrapMode(value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::Change() {
  if (OnChange) OnChange(this);
}
