#include "platform/ui/std_controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner, new QLabel) {
  // A label shows its parent's background.
  SetColor(clNone);
  Label()->setTextFormat(Qt::PlainText);
}

QLabel* TLabel::Label() const { return static_cast<QLabel*>(Widget()); }

QString TLabel::Text() const { return Label()->text(); }

void TLabel::SetText(const QString& value) {
  TControl::SetText(value);
  Label()->setText(value);
  AdjustSize();
}

void TLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustSize();
}

TLabel* TLabel::CreateClone(TComponent* AOwner) const {
  auto* clone = new TLabel(AOwner);
  clone->autoSize_ = autoSize_;
  clone->SetWordWrap(WordWrap());
  clone->AssignControl(*this);
  return clone;
}

bool TLabel::WordWrap() const { return Label()->wordWrap(); }

void TLabel::SetWordWrap(bool value) {
  Label()->setWordWrap(value);
  Label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TLabel::AdjustSize() {
  if (!autoSize_) return;
  const QSize size = Label()->sizeHint();
  SetBounds(Left(), Top(), size.width(), size.height());
}

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner, new QCheckBox) {
  // The box reports its own state changes; a press and release is no click by itself.
  clickEvents_ = false;
  toggled_ = QObject::connect(Box(), &QCheckBox::toggled, Box(), [this] { Click(); });
}

TCheckBox::~TCheckBox() { QObject::disconnect(toggled_); }

QCheckBox* TCheckBox::Box() const { return static_cast<QCheckBox*>(Widget()); }

QString TCheckBox::Text() const { return Box()->text(); }

void TCheckBox::SetText(const QString& value) {
  TControl::SetText(value);
  Box()->setText(value);
}

bool TCheckBox::Checked() const { return Box()->isChecked(); }

void TCheckBox::SetChecked(bool value) { Box()->setChecked(value); }

void TCheckBox::SetPushLike(bool value) {
  if (value == pushLike_) return;
  pushLike_ = value;
  // A button frame that looks pressed while checked, and no check mark.
  Box()->setStyleSheet(value ? QStringLiteral("QCheckBox { border: 1px outset palette(mid); padding: 2px 6px; "
                                              "background: palette(button); }"
                                              "QCheckBox:checked { border-style: inset; background: palette(midlight); }"
                                              "QCheckBox::indicator { width: 0px; height: 0px; }")
                             : QString());
}

TCheckBox* TCheckBox::CreateClone(TComponent* AOwner) const {
  auto* clone = new TCheckBox(AOwner);
  clone->SetPushLike(PushLike());
  clone->SetChecked(Checked());
  clone->AssignControl(*this);
  return clone;
}

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner, new QGroupBox) {}

QGroupBox* TGroupBox::Box() const { return static_cast<QGroupBox*>(Widget()); }

QString TGroupBox::Text() const { return Box()->title(); }

void TGroupBox::SetText(const QString& value) {
  TWinControl::SetText(value);
  Box()->setTitle(value);
}
