#pragma once
// TButton and TBitBtn: push buttons (over a QPushButton).
//
// A click (mouse, space key, or Click() from the program) first hands the
// button's ModalResult to its form when it is not mrNone, then runs OnClick; a
// form shown modally ends with that result. A '&' in the caption marks the
// mnemonic letter.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"
#include "platform/ui/modal_results.h"

#include <QMetaObject>

class QPushButton;

class TButton : public TWinControl {
public:
  explicit TButton(TComponent* AOwner);
  ~TButton() override;

  QString Text() const override;
  void SetText(const QString& value) override;
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  void Click() override;
  TButton* CreateClone(TComponent* AOwner) const override;

protected:
  // Caption, modal result and the control's properties and handlers.
  void AssignButton(const TButton& source);

protected:
  QPushButton* Button() const;

private:
  QMetaObject::Connection clicked_;
  TModalResult modalResult_ = mrNone;
};

// A button that may show a picture beside its caption; the picture is optional
// and the behaviour is TButton's.
class TBitBtn : public TButton {
public:
  using TButton::TButton;
  TBitBtn* CreateClone(TComponent* AOwner) const override;
};

// A button that stays down after a click until clicked again (or set up by
// the program); Down is its state.
class TSpeedButton : public TButton {
public:
  explicit TSpeedButton(TComponent* AOwner);
  bool Down() const;
  void SetDown(bool value);
  TSpeedButton* CreateClone(TComponent* AOwner) const override;
};
