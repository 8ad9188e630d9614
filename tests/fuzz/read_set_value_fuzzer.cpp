// libFuzzer target: TSettingData::ReadSetValue on arbitrary bytes (see
// read_set_value_fuzz_target.h for the input layout and what is checked).

#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "tests/fuzz/read_set_value_fuzz_target.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The fake radargram window holds a palette control, which is a widget.
  static QApplication qtApplication(*argc, *argv);
  new TApplication();
  // Damaged records show their message; here nobody answers it.
  TDialogScript::Enable(true);
  TDialogScript::SetUnexpectedHandler([](const QString&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TFuzzReadResult result = ReadRecordOnce(data, size);
  TDialogScript::Reset();
  if (!result.broken.empty()) {
    std::fprintf(stderr, "guarantee broken: %s\n", result.broken.c_str());
    std::abort();
  }
  return 0;
}
