// libFuzzer target: every marker stream form (surface and object marker lists,
// polylines, topography marks) on arbitrary bytes (see marker_streams_fuzz_target.h).

#include "tests/fuzz/fuzz_headless_application.h"
#include "tests/fuzz/fuzz_target_support.h"
#include "tests/fuzz/marker_streams_fuzz_target.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartHeadlessApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return AbortWhenBroken(ReadMarkerStreamOnce(data, size));
}
