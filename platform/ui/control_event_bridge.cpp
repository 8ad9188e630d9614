#include "platform/ui/control_event_bridge.h"

#include "platform/ui/controls.h"
#include "platform/ui/keys.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace {

bool ToMouseButton(Qt::MouseButton button, TMouseButton& out) {
  switch (button) {
    case Qt::LeftButton: out = mbLeft; return true;
    case Qt::RightButton: out = mbRight; return true;
    case Qt::MiddleButton: out = mbMiddle; return true;
    default: return false;
  }
}

}  // namespace

bool TControlEventBridge::eventFilter(QObject* watched, QEvent* event) {
  if (watched != control_.Widget()) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      watched->event(event);
      auto* mouse = static_cast<QMouseEvent*>(event);
      TMouseButton button;
      if (ToMouseButton(mouse->button(), button)) {
        const QPoint pos = mouse->position().toPoint();
        TShiftState shift = ShiftStateFromQt(mouse->modifiers(), mouse->buttons());
        if (event->type() == QEvent::MouseButtonPress) {
          if (button == mbLeft) leftPressed_ = true;
          control_.MouseDown(button, shift, pos.x(), pos.y());
        } else if (event->type() == QEvent::MouseButtonDblClick) {
          if (button == mbLeft) control_.DblClick();
          control_.MouseDown(button, shift.Include(ssDouble), pos.x(), pos.y());
        } else {
          // A click is a left press and release both inside the control.
          if (button == mbLeft && leftPressed_) {
            leftPressed_ = false;
            if (control_.clickEvents_ && control_.Widget()->rect().contains(pos)) control_.Click();
          }
          control_.MouseUp(button, shift, pos.x(), pos.y());
        }
      }
      event->accept();
      return true;
    }
    case QEvent::MouseMove: {
      watched->event(event);
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint pos = mouse->position().toPoint();
      control_.MouseMove(ShiftStateFromQt(mouse->modifiers(), mouse->buttons()), pos.x(), pos.y());
      event->accept();
      return true;
    }
    case QEvent::Wheel:
      return WheelEvent(watched, static_cast<QWheelEvent*>(event));
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return KeyEvent(watched, event);
    case QEvent::ShortcutOverride: {
      // Accepting the override sends the key to the control instead of the short cut.
      auto* keyEvent = static_cast<QKeyEvent*>(event);
      const WORD key = VirtualKeyFromQt(keyEvent->key(), keyEvent->modifiers());
      const auto& wanted = control_.KeysBeforeShortCuts;
      if (key == 0 || std::find(wanted.begin(), wanted.end(), key) == wanted.end()) return false;
      event->accept();
      return true;
    }
    case QEvent::Enter:
      control_.Perform(CM_MOUSEENTER, 0, 0);
      return false;
    case QEvent::Leave:
      control_.Perform(CM_MOUSELEAVE, 0, 0);
      return false;
    case QEvent::FocusIn:
      control_.DoEnter();
      return false;
    case QEvent::FocusOut:
      control_.DoExit();
      return false;
    case QEvent::Resize:
      watched->event(event);
      control_.Resize();
      return true;
    case QEvent::Paint:
      watched->event(event);
      control_.Paint();
      return true;
    default:
      return false;
  }
}

bool TControlEventBridge::WheelEvent(QObject* watched, QWheelEvent* wheel) {
  const QPoint global = wheel->globalPosition().toPoint();
  const TPoint pos{global.x(), global.y()};
  const TShiftState shift = ShiftStateFromQt(wheel->modifiers(), wheel->buttons());
  const int delta = wheel->angleDelta().y();
  wheel->accept();
  if (control_.MouseWheel(shift, delta, pos)) return true;
  // The control's own scrolling (a list, a scroll bar) comes next.
  wheel->ignore();
  watched->event(wheel);
  if (wheel->isAccepted()) return true;
  // Then the parents, up to the form, which also hears it as WM_MOUSEWHEEL
  // when it has a handler for that message.
  TControl* top = &control_;
  for (TControl* parent = control_.Parent(); parent; parent = parent->Parent()) {
    top = parent;
    if (parent->MouseWheel(shift, delta, pos)) {
      wheel->accept();
      return true;
    }
  }
  if (top->handlers_.count(WM_MOUSEWHEEL)) {
    WORD keys = 0;
    if (shift.Contains(ssShift)) keys |= 0x0004;
    if (shift.Contains(ssCtrl)) keys |= 0x0008;
    const auto high = static_cast<WPARAM>(static_cast<uint16_t>(static_cast<int16_t>(delta)));
    const auto position = static_cast<LPARAM>(static_cast<uint32_t>(static_cast<uint16_t>(pos.X)) |
                                              (static_cast<uint32_t>(static_cast<uint16_t>(pos.Y)) << 16));
    top->Perform(WM_MOUSEWHEEL, (high << 16) | keys, position);
    wheel->accept();
    return true;
  }
  return true;
}

bool TControlEventBridge::KeyEvent(QObject* watched, QEvent* event) {
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  WORD key = VirtualKeyFromQt(keyEvent->key(), keyEvent->modifiers());
  const TShiftState shift = ShiftStateFromQt(keyEvent->modifiers(), QApplication::mouseButtons());
  event->accept();
  if (event->type() == QEvent::KeyRelease) {
    if (key == 0 || control_.KeyUp(key, shift)) watched->event(event);
    event->accept();
    return true;
  }
  const bool swallowed = key != 0 && !control_.KeyDown(key, shift);
  // The character follows its key-down even when the key-down was swallowed.
  const QString text = keyEvent->text();
  QChar ch;
  if (text.size() == 1 && (text[0].isPrint() || text[0] == QChar(VK_RETURN) || text[0] == QChar(VK_ESCAPE) ||
                           text[0] == QChar(VK_BACK) || text[0] == QChar(VK_TAB))) {
    ch = text[0];
    if (!control_.KeyPress(ch)) ch = QChar();
    if (ch.isNull()) return true;
  }
  if (swallowed) return true;
  if (!ch.isNull() && ch != text[0]) {
    // The handler replaced the character: the widget gets the new one.
    QKeyEvent replaced(keyEvent->type(), keyEvent->key(), keyEvent->modifiers(), QString(ch),
                       keyEvent->isAutoRepeat(), static_cast<ushort>(keyEvent->count()));
    watched->event(&replaced);
  } else {
    watched->event(event);
  }
  event->accept();
  return true;
}
