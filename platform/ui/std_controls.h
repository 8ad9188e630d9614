#pragma once
// TLabel (a line of text, over a QLabel), TCheckBox (over a QCheckBox) and
// TGroupBox (a frame with a title that holds controls, over a QGroupBox).
//
// A label sizes itself to its text while AutoSize is on (the default). A check
// box runs OnClick whenever its state changes: a click, the space key, or the
// program setting Checked to the other state; setting the state it already has
// runs nothing.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>

class QCheckBox;
class QLabel;

class TLabel : public TControl {
public:
  explicit TLabel(TComponent* AOwner);

  QString Text() const override;
  void SetText(const QString& value) override;
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Breaks the text into lines at word boundaries to fit the label's width.
  bool WordWrap() const;
  void SetWordWrap(bool value);
  TLabel* CreateClone(TComponent* AOwner) const override;

private:
  QLabel* Label() const;
  void AdjustSize();
  bool autoSize_ = true;
};

class QGroupBox;

// The caption is the frame's title; child controls are placed in the box's
// coordinates, the title inside them.
class TGroupBox : public TWinControl {
public:
  explicit TGroupBox(TComponent* AOwner);
  QString Text() const override;
  void SetText(const QString& value) override;

private:
  QGroupBox* Box() const;
};

class TCheckBox : public TWinControl {
public:
  explicit TCheckBox(TComponent* AOwner);
  ~TCheckBox() override;

  QString Text() const override;
  void SetText(const QString& value) override;
  bool Checked() const;
  void SetChecked(bool value);
  // Push-like: the box shows as a toggle button, raised while unchecked and
  // pressed while checked, without its check mark.
  bool PushLike() const { return pushLike_; }
  void SetPushLike(bool value);
  // The copy takes the state and the look without running its OnClick.
  TCheckBox* CreateClone(TComponent* AOwner) const override;

private:
  QCheckBox* Box() const;
  bool pushLike_ = false;
  QMetaObject::Connection toggled_;
};
