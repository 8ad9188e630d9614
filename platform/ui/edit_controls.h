#pragma once
// TCustomEdit and TEdit: the single-line edit box, over a QLineEdit.
//
// Text is the line edit's text. Every change of it, typed or set by the program,
// runs Change (and so OnChange), once per change; setting the text it already has
// is no change. Keys reach the control's events before the line edit sees them
// (controls.h), so OnKeyPress may swallow a character or type another in its
// place. The wheel is taken notch by notch (120 units): DoMouseWheelDown and
// DoMouseWheelUp run once per notch unless OnMouseWheel handled the turn.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>

class QLineEdit;

class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  QString Text() const override;
  void SetText(const QString& value) override;
  void Clear() { SetText(QString()); }

  // The selection, counted in UTF-16 code units. SelStart is the caret when
  // nothing is selected; setting it moves the caret and drops the selection.
  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  // Selects value characters from SelStart on (fewer at the end of the text).
  void SetSelLength(int value);
  QString SelText() const;
  // Replaces the selection (or inserts at the caret) as typing would.
  void SetSelText(const QString& value);
  void SelectAll();

  bool ReadOnly() const;
  void SetReadOnly(bool value);
  // The most characters the user may type; 0 means no limit. The line edit also
  // cuts text set by the program to this length.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);

  // The background. SetColor hides TControl::SetColor: an edit paints its
  // background in the base colour of its palette. The text takes Font()->Color.
  void SetColor(TColor value);

  TNotifyEvent OnChange;

protected:
  QLineEdit* LineEdit() const;
  // Runs on every text change; runs OnChange.
  virtual void Change();
  bool MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
  // One wheel notch towards the user / away from the user; true when handled.
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);

private:
  QMetaObject::Connection changeConnection_;
  void ShowFontColor();

  int maxLength_ = 0;
  int wheelAccumulator_ = 0;
};

class TEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
};
