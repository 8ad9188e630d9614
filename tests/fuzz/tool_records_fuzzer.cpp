// libFuzzer target: the tools' chain-record readers on arbitrary record bodies
// (see tool_records_fuzz_target.h for the input layout and what is checked).

#include "tests/fuzz/fuzz_headless_application.h"
#include "tests/fuzz/fuzz_target_support.h"
#include "tests/fuzz/tool_records_fuzz_target.h"
#include "tools/imaging/imaging_library.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // A tool has a hidden message window and icon bitmaps.
  StartHeadlessApplication(argc, argv);
  // The imaging tools join the class table.
  ImagingLibraryStartup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return AbortWhenBroken(tool_records_fuzz::ReadToolRecordOnce(data, size));
}
