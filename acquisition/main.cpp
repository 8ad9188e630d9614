// Talvorn3: the acquisition and processing program.

#include "acquisition/main_form.h"
#include "platform/ui/application.h"

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
