#pragma once
// Translates the Qt events of a control's widget into the control's events:
// native handling first for mouse and paint (as a window's default procedure runs
// before the event), the key events before the widget sees the key. Mouse and key
// input ends at the control that got it: Qt's propagation of ignored input to the
// parents does not reach the parent controls. Only a wheel turn that neither the
// control nor its widget takes goes on to the parent controls and the form.

#include <QObject>

class QWheelEvent;
class TControl;

class TControlEventBridge final : public QObject {
public:
  explicit TControlEventBridge(TControl& control) : control_(control) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  bool KeyEvent(QObject* watched, QEvent* event);
  bool WheelEvent(QObject* watched, QWheelEvent* wheel);
  TControl& control_;
  bool leftPressed_ = false;
};
