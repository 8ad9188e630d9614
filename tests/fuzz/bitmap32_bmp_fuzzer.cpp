// libFuzzer target: the 32-bit bitmap's BMP stream and "Data" property readers
// on arbitrary bytes (see bitmap32_bmp_fuzz_target.h).

#include "raster/raster_library.h"
#include "tests/fuzz/bitmap32_bmp_fuzz_target.h"
#include "tests/fuzz/fuzz_headless_application.h"
#include "tests/fuzz/fuzz_target_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartHeadlessApplication(argc, argv);
  RasterLibraryStartup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return AbortWhenBroken(ReadBitmap32Once(data, size));
}
