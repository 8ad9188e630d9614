// libFuzzer target: the toolkit's BMP reader and TBitmap on arbitrary bytes (see
// bitmap_stream_fuzz_target.h).

#include "tests/fuzz/bitmap_stream_fuzz_target.h"
#include "tests/fuzz/fuzz_headless_application.h"
#include "tests/fuzz/fuzz_target_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartHeadlessApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return AbortWhenBroken(ReadBitmapStreamOnce(data, size));
}
