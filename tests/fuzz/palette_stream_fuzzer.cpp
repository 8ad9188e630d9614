// libFuzzer target: the palette stream, the palette control and the palette
// library on arbitrary bytes (see palette_stream_fuzz_target.h).

#include "tests/fuzz/fuzz_headless_application.h"
#include "tests/fuzz/fuzz_target_support.h"
#include "tests/fuzz/palette_stream_fuzz_target.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartHeadlessApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return AbortWhenBroken(ReadPaletteOnce(data, size));
}
