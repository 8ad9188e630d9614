// Vandrel: the survey planning and mapping program.

#include "platform/ui/application.h"
#include "project/main_form.h"

#include <QApplication>

int main(int argc, char** argv) {
  SelectOffscreenPlatformWithoutDisplay();
  QApplication qtApplication(argc, argv);
  qtApplication.setQuitOnLastWindowClosed(false);
  {
    TApplication application;
    Application->Initialize();
    CreateMainWindow();
    Application->Run();
  }
  return 0;
}
