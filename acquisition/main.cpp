// Talvorn3: the acquisition and processing program.

#include "acquisition/main_form.h"
#include "platform/ui/application.h"
#include "raster/raster_library.h"
#include "tools/window_tool_host.h"

int main(int argc, char** argv) {
  TToolkitSession toolkit(argc, argv);
  // The raster library's tables and routine bindings are set up before any of
  // the program's own start-up code, and released after its windows are gone.
  RasterLibraryStartup();
  ToolsLibraryStartup();
  {
    TApplication application;
    Application->Initialize();
    CreateMainWindow();
    Application->Run();
  }
  RasterLibraryShutdown();
  return 0;
}
