#pragma once
// A headless Qt application and the toolkit's application object, for the
// libFuzzer targets whose readers reach widgets or images.

#include "platform/ui/application.h"

#include <QApplication>

#include <cstdlib>

inline void StartHeadlessApplication(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication qtApplication(*argc, *argv);
  new TApplication();
}
