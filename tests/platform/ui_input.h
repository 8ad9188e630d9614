#pragma once
// Synthesised input for the toolkit tests: mouse, keys and wheel sent straight
// to a control's widget, as the window system would deliver them.

#include "platform/ui/forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace ui_input {

inline void Mouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, QPointF(pos), widget->mapToGlobal(QPointF(pos)),
                    type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
  QApplication::sendEvent(widget, &event);
}

inline void Click(QWidget* widget, QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  Mouse(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton, modifiers);
  Mouse(widget, QEvent::MouseButtonRelease, pos, Qt::LeftButton, modifiers);
}

inline void Click(QWidget* widget) { Click(widget, widget->rect().center()); }

inline void Key(QWidget* widget, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(widget, &release);
}

// delta in wheel units (120 per notch), positive away from the user.
inline bool Wheel(QWidget* widget, QPoint pos, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWheelEvent event(QPointF(pos), widget->mapToGlobal(QPointF(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
  return event.isAccepted();
}

}  // namespace ui_input

// A shown 300 x 200 form for a test's controls, freed after the test.
class TShownFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    form->Show();
  }
  void TearDown() override { form->Free(); }
  TForm* form = nullptr;
};
