#include "platform/ui/disabled_windows.h"

#include <QApplication>

TDisabledWindows::TDisabledWindows(const QWidget* modal) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window == modal || !window->isVisible() || !window->isEnabled()) continue;
    window->setEnabled(false);
    disabled_.emplace_back(window);
  }
}

TDisabledWindows::~TDisabledWindows() {
  for (const QPointer<QWidget>& window : disabled_)
    if (window) window->setEnabled(true);
}
