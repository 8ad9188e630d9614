#pragma once
// TMemo: multi-line plain text, over a QPlainTextEdit.
//
// Every change of the text runs OnChange once, typed by the user or set by the
// program (SetText, SetLines, Clear, Append); setting the text it already has is
// no change. Lines are the text split at line breaks; a break at the very end
// starts no further line.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>
#include <QStringList>

class QPlainTextEdit;

enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TWinControl {
public:
  explicit TMemo(TComponent* AOwner);
  ~TMemo() override;

  QString Text() const override;
  void SetText(const QString& value) override;
  QStringList Lines() const;
  void SetLines(const QStringList& lines);
  // Adds a line at the end.
  void Append(const QString& line);
  void Clear() { SetText(QString()); }

  bool ReadOnly() const;
  void SetReadOnly(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  // On by default: long lines break at the control's width. A horizontal
  // scroll bar is only any use with wrapping off.
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

  TNotifyEvent OnChange;

protected:
  virtual void Change();

private:
  QPlainTextEdit* Editor() const;

  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  QString lastText_;
  QMetaObject::Connection changed_;
};
