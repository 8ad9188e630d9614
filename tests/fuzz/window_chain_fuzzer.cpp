// libFuzzer target: a radargram window's chain-file readers on arbitrary files
// (see window_chain_fuzz_target.h for the input layout and what is checked).

#include "platform/ui/dialog_script.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tests/fuzz/fuzz_headless_application.h"
#include "tests/fuzz/fuzz_target_support.h"
#include "tests/fuzz/window_chain_fuzz_target.h"
#include "tests/radargram/radargram_env.h"
#include "tools/list_of_tools.h"
#include "tools/tool_chain_library.h"
#include "tools/window_tool_host.h"

#include <cstdio>
#include <cstdlib>

namespace {

TView2DForm* window = nullptr;
TListOfTools* registry = nullptr;
TRadargramEnv* env = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartHeadlessApplication(argc, argv);
  // Warnings take the harness's answers; any other dialog is a broken guarantee.
  TDialogScript::Enable(true);
  TDialogScript::SetUnexpectedHandler([](const QString& description) {
    std::fprintf(stderr, "unexpected dialog: %s\n", qPrintable(description));
    std::abort();
  });
  // The window with the real tool registry, as the program builds it. Both are
  // left to the end of the process: torn down by the exit handlers, after the
  // toolkit's own statics, the window's widgets would crash.
  ToolsLibraryStartup();
  registry = new TListOfTools(nullptr);
  registry->Initialise(QString(), true, 1033);
  RegisterToolChainRegistry(registry);
  env = new TRadargramEnv;
  window = env->Create(2);
  // The toolkit's teardown in the exit handlers crashes once a window has been
  // shown, after a run that found nothing; this handler ends the process before
  // it. A broken input never gets here: libFuzzer ends it from its crash handler.
  std::atexit([] { std::_Exit(0); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return AbortWhenBroken(window_chain_fuzz::OpenChainOnce(*window, data, size));
}
