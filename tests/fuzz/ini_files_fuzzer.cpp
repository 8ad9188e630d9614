// libFuzzer target: the settings-file reader on arbitrary file contents, 8-bit
// and UTF-16 (see ini_files_fuzz_target.h).

#include "tests/fuzz/fuzz_target_support.h"
#include "tests/fuzz/ini_files_fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return AbortWhenBroken(ReadIniOnce(data, size));
}
