#include "tests/support/ui_test_support.h"

#include "platform/ui/application.h"
#include "platform/ui/control_types.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/forms.h"
#include "platform/ui/keys.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QWidget>

#include <thread>

bool ProcessMessagesUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    Application->ProcessMessages();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const bool reached = ProcessMessagesUntil(done, limit);
  Application->ProcessMessages();
  return reached;
}

TUnexpectedDialogRecorder::TUnexpectedDialogRecorder() {
  TDialogScript::SetUnexpectedHandler([this](const QString& description) { descriptions_.push_back(description); });
}

TUnexpectedDialogRecorder::~TUnexpectedDialogRecorder() { InstallFailingDialogHandler(); }

void RecreateApplication() {
  delete Application;
  new TApplication();
}

void InstallFailingDialogHandler() {
  TDialogScript::SetUnexpectedHandler(
      [](const QString& description) { ADD_FAILURE() << description.toStdString(); });
}

TColor ShownColor(TControl& control, int x, int y) {
  const QImage image = control.Widget()->grab().toImage();
  return QColorToColor(image.pixelColor(x, y));
}

void SendMouse(TControl& control, TTestMouseAction action, TMouseButton button, bool held, bool ctrl, int x, int y) {
  QWidget* widget = control.Widget();
  const Qt::MouseButton qtButton = button == mbRight ? Qt::RightButton : button == mbMiddle ? Qt::MiddleButton
                                                                                            : Qt::LeftButton;
  const QEvent::Type type = action == maPress     ? QEvent::MouseButtonPress
                            : action == maRelease ? QEvent::MouseButtonRelease
                                                  : QEvent::MouseMove;
  const Qt::MouseButtons buttons = action == maRelease || !held ? Qt::NoButton : Qt::MouseButtons(qtButton);
  const QPointF pos(x, y);
  QMouseEvent event(type, pos, widget->mapToGlobal(pos), action == maMove ? Qt::NoButton : qtButton, buttons,
                    ctrl ? Qt::ControlModifier : Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

void UserTitleDoubleClick(TForm& form) {
  QWidget* window = form.FormStyle() == fsMDIChild ? form.Widget()->parentWidget() : form.Widget();
  const int titleHeight = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
  const QPointF pos(window->width() / 3.0, titleHeight / 2.0);
  // As a mouse gives it: press, release, the double click, release.
  const QEvent::Type steps[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                QEvent::MouseButtonRelease};
  for (const QEvent::Type type : steps) {
    const bool down = type != QEvent::MouseButtonRelease;
    QMouseEvent event(type, pos, window->mapToGlobal(pos), Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(window, &event);
  }
}

void SendText(TControl& control, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(control.Widget(), &press);
  }
}

bool SendKeyBeforeShortCuts(TControl& control, WORD key) {
  const int qtKey = QtKeyFromVirtualKey(key);
  QKeyEvent override(QEvent::ShortcutOverride, qtKey, Qt::NoModifier);
  override.ignore();
  QApplication::sendEvent(control.Widget(), &override);
  if (!override.isAccepted()) return false;
  QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
  QApplication::sendEvent(control.Widget(), &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
  QApplication::sendEvent(control.Widget(), &release);
  return true;
}
