#pragma once
// TDigitEdit: the numeric input box of the dialogs.
//
// A single-line edit that takes only the characters of a number and holds the
// value as an extended float. The limits are applied when the program sets the
// value and when the user leaves the box, never while the user types. A value is
// always held rounded to 8 decimals, so steps of 0.1 add up exactly in the text.
// It is shown as an integer, or (AvailableDecimal) in the general form with 16
// significant digits. Up and Down (ten times with Shift), a vertical drag and the
// wheel step it; while a typed value is not yet confirmed the box shows dark red
// on light yellow. OnChangeFinish reports a confirmed change: Enter, every step,
// and leaving the box after a change. Dialogs read ValueReal or ValueInt there.
//
// Text that is not a number (a lone "-" when the box is left, pasted letters)
// is put back to the last text that was a number; the value stays as it was.
//
// Set MinVal, MaxVal, Step and the flags before the value: the limit setters do
// not clamp the value already held.
//
// Threads: user-interface thread only.

#include "platform/ui/edit_controls.h"

#include <QChar>
#include <QString>

// Screen cursor slots of a drag: inside the box, above it (the value grows),
// below it (the value falls). Every TDigitEdit fills them when it is created.
constexpr TCursor crDigitEditStartMove = 21;
constexpr TCursor crDigitEditUpMove = 22;
constexpr TCursor crDigitEditDownMove = 23;

class TDigitEdit : public TCustomEdit {
public:
  explicit TDigitEdit(TComponent* AOwner);

  long double MinVal() const { return AMin; }
  void SetMinVal(long double value) { AMin = value; }
  long double MaxVal() const { return AMax; }
  void SetMaxVal(long double value) { AMax = value; }
  bool AvailableDecimal() const { return ADecimalAvailable; }
  void SetAvailableDecimal(bool value);
  bool AvailableSign() const { return ASignAvailable; }
  void SetAvailableSign(bool value);

  long double ValueReal() const { return FValueReal; }
  // Clamps to [MinVal, MaxVal], rounds to 8 decimals (half to even), shows the
  // value and the confirmed colours. No OnChangeFinish.
  void SetValueReal(long double value);
  // The value rounded half to even, saturated to the int range.
  int ValueInt() const;
  void SetValueInt(int value) { SetValueReal(value); }

  long double Step() const { return AStep; }
  // Stores |value|, at most MaxVal.
  void SetStep(long double value);
  // '.' or ','; any other character stores the system's separator.
  QChar DigDecimalSeparator() const { return ADigDecimalSeparator; }
  void SetDigDecimalSeparator(QChar value);
  bool DecSepFromSys() const { return ADecSepFromSys; }
  void SetDecSepFromSys(bool value) { ADecSepFromSys = value; }

  // The virtual mouse row that the drag and the wheel step from.
  int YWheel() const { return yWheel_; }

  TNotifyEvent OnChangeFinish;

protected:
  void Change() override;
  bool KeyDown(WORD& key, TShiftState shift) override;
  bool KeyPress(QChar& key) override;
  void DoExit() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
  bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
  // One drag step to the mouse row (box coordinates): above or below the box the
  // value moves Step (ten with Shift) per pixel away from the drag start value.
  void DragValue(int row, TShiftState shift);

private:
  QChar ActiveSeparator() const;
  // The text as a number with the active separator; false when it is none.
  bool ParseText(const QString& text, long double& value) const;
  QString ValueText() const;
  QString LimitText(long double limit) const;
  // Writes a text of the control's own: no parse, only the edit's OnChange.
  void WriteOwnText(const QString& text);
  void RevertText();
  void WheelNotch(int rowDelta, TShiftState shift);
  void ShowConfirmed();
  void ShowModified();
  void ChangeFinished();

  long double AMin = 0;
  long double AMax = 0;
  bool ADecimalAvailable = false;
  bool ASignAvailable = false;
  long double FValueReal = 0;
  long double AStep = 0;
  QChar ADigDecimalSeparator;
  bool ADecSepFromSys = false;
  int yWheel_ = 0;

  bool dragging_ = false;
  bool hasDragStart_ = false;
  long double dragStart_ = 0;
  bool modified_ = false;
  bool writingOwnText_ = false;
  // The last text that was a number (or empty), shown again for one that is not.
  QString lastValidText_;
};
