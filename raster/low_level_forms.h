#pragma once
// The implementations of the low-level routine variables, registered in this
// order (the last one the processor runs is bound). Declared for the tests, which
// compare every fast form with the portable one.

#include "raster/simd_config.h"

#include <cstdint>

namespace raster_portable {
// One store per word, from the last word down to the first.
void FillDwords(void* X, uint32_t Count, uint32_t Value);
}  // namespace raster_portable

#if RASTER_SSE2_FORMS
namespace raster_sse2 {
// Count >= 32 on a 4-byte aligned X: single words up to the next 16-byte
// boundary, 16-byte stores, single words for the rest; otherwise single words.
void FillDwords(void* X, uint32_t Count, uint32_t Value);
}  // namespace raster_sse2
#endif
