// SSE2 form of FillDwords.
#include "raster/low_level_forms.h"

#if RASTER_SSE2_FORMS

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace raster_sse2 {

namespace {

void StoreWords(unsigned char* p, uint32_t count, uint32_t value) {
  for (uint32_t i = 0; i < count; ++i) std::memcpy(p + size_t{i} * 4, &value, 4);
}

}  // namespace

void FillDwords(void* X, uint32_t Count, uint32_t Value) {
  auto* p = static_cast<unsigned char*>(X);
  const auto address = reinterpret_cast<uintptr_t>(p);
  // Short or unaligned fills are not worth the vector set-up.
  if (Count < 32 || (address & 3) != 0) {
    StoreWords(p, Count, Value);
    return;
  }
  const uint32_t head = static_cast<uint32_t>((16 - (address & 15)) & 15) / 4;
  StoreWords(p, head, Value);
  p += size_t{head} * 4;
  Count -= head;
  const __m128i v = _mm_set1_epi32(static_cast<int>(Value));
  for (; Count >= 4; Count -= 4, p += 16) _mm_store_si128(reinterpret_cast<__m128i*>(p), v);
  StoreWords(p, Count, Value);
}

}  // namespace raster_sse2

#endif
