// libFuzzer target: TSettingData::ReadSetValue on arbitrary bytes (see
// read_set_value_fuzz_target.h for the input layout and what is checked).

#include "platform/ui/dialog_script.h"
#include "tests/fuzz/fuzz_headless_application.h"
#include "tests/fuzz/fuzz_target_support.h"
#include "tests/fuzz/read_set_value_fuzz_target.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // The fake radargram window holds a palette control, which is a widget.
  StartHeadlessApplication(argc, argv);
  // Damaged records show their message; here nobody answers it.
  TDialogScript::Enable(true);
  TDialogScript::SetUnexpectedHandler([](const QString&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TFuzzReadResult result = ReadRecordOnce(data, size);
  TDialogScript::Reset();
  return AbortWhenBroken(result.broken);
}
