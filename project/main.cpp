// Vandrel: the survey planning and mapping program.

#include "platform/ui/application.h"
#include "raster/raster_library.h"
#include "project/main_form.h"

int main(int argc, char** argv) {
  TToolkitSession toolkit(argc, argv);
  // The raster library's tables and routine bindings are set up before any of
  // the program's own start-up code, and released after its windows are gone.
  RasterLibraryStartup();
  {
    TApplication application;
    Application->Initialize();
    CreateMainWindow();
    Application->Run();
  }
  RasterLibraryShutdown();
  return 0;
}
