#include "acquisition/program_startup.h"

#include "acquisition/command_line.h"
#include "acquisition/instance_handover.h"
#include "acquisition/main_form.h"
#include "acquisition/settings_form.h"
#include "acquisition/splash_form.h"
#include "platform/ipc/one_instance.h"
#include "platform/ui/application.h"
#include "radar/online_background_removal_form.h"
#include "radar/online_gain_form.h"
#include "radar/online_stages.h"
#include "radar/online_wavelet_form.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"
#include "tools/imaging/imaging_library.h"
#include "tools/window_tool_host.h"

#include <filesystem>
#include <system_error>

namespace {

const QString kCreate = QStringLiteral("create");

// The running executable, as the application object will name it.
QString ExecutableFile(const char* argv0) {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? QString::fromLocal8Bit(argv0) : QString::fromStdString(path.string());
}

QStringList ArgumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

// The dialogs the program keeps for its whole run, created hidden and owned by
// the application. The levelling, comparator, median and wavelet
// processing dialogs join them here once they exist.
void CreateLongLivedDialogs() {
  TSettingsForm* settings = nullptr;
  Application->CreateForm(settings);
  TOnlineTVGCForm* gain = nullptr;
  Application->CreateForm(gain);
  TOnlineWindowedBackgroundRemovalForm* backgroundRemoval = nullptr;
  Application->CreateForm(backgroundRemoval);
  TOnlineWaveletForm* wavelet = nullptr;
  Application->CreateForm(wavelet);
}

}  // namespace

bool AcquisitionFirstInstance(const QString& executablePath, const QStringList& arguments) {
  if (IsFirstInstance(TApplication::DefaultTitle(executablePath))) return true;
  HandOverToRunningInstance(arguments);
  return false;
}

void StartAcquisitionProgram(const QStringList& arguments, int splashMilliseconds) {
  // The start-ups are idempotent: the program made them before its application
  // object, and in-process runs of this routine get them here.
  RasterLibraryStartup();
  ToolsLibraryStartup();
  ImagingLibraryStartup();
  // Every channel the program makes carries its online stages.
  RegisterOnlineStages();
  Application->CreateForm(MainWindow);
  // Reachable before the splash: a second instance started meanwhile waits
  // for its answer instead of finding no window.
  MainWindow->BindEndpoint();
  MainWindow->SetCaption(LoadResString(SQelGroundPenetratingRadar));
  CreateLongLivedDialogs();
  MainWindow->SetFocus();
  Application->SetTitle(QStringLiteral("Talvorn"));

  ShowSplash(splashMilliseconds);

  const QString& first = arguments.isEmpty() ? QString() : arguments.front();
  if (first.isEmpty()) return;
  if (first != kCreate) {
    MainWindow->OpenFile(arguments);
    return;
  }
  // A recording window the planning program asked for: its save is reported
  // back, and the window closes after the user saves it.
  MainWindow->CreateActionExecute();
  if (TView2DForm* window = MainWindow->CurChild()) window->LastCopydataMessage = MarkCreated;
}

int RunAcquisitionProgram(int argc, char** argv) {
  const QStringList arguments = ArgumentsOf(argc, argv);
  if (!AcquisitionFirstInstance(ExecutableFile(argc > 0 ? argv[0] : ""), arguments)) return 0;
  TToolkitSession toolkit(argc, argv);
  // The raster library's tables and routine bindings are set up before any of
  // the program's own start-up code, and released after its windows are gone.
  RasterLibraryStartup();
  ToolsLibraryStartup();
  ImagingLibraryStartup();
  {
    TApplication application;
    Application->Initialize();
    StartAcquisitionProgram(arguments);
    Application->Run();
  }
  UnregisterOnlineStages();
  RasterLibraryShutdown();
  return 0;
}
