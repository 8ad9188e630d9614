#include "raster/resampler_transfer.h"

#if RASTER_SSE2_FORMS
#include <emmintrin.h>

namespace raster_sse2 {

// Each row is summed in 16-bit lanes (two pixels per register, so at most
// 257 x 255 per lane), then widened into 32-bit channel totals.
TColor32 AverageBlock(uint32_t Dlx, uint32_t Dly, const TColor32* RowSrc, int32_t OffSrc) {
  const __m128i zero = _mm_setzero_si128();
  __m128i total = zero;  // 4 x 32-bit: B, G, R, A
  const uint8_t* row = reinterpret_cast<const uint8_t*>(RowSrc);
  for (uint32_t y = 0; y < Dly; ++y, row += OffSrc) {
    __m128i rowSum = zero;  // 8 x 16-bit: two pixels' channels
    const TColor32* p = reinterpret_cast<const TColor32*>(row);
    uint32_t x = 0;
    for (; x + 2 <= Dlx; x += 2)
      rowSum = _mm_add_epi16(rowSum, _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + x)), zero));
    if (x < Dlx) rowSum = _mm_add_epi16(rowSum, _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p[x])), zero));
    const __m128i folded = _mm_add_epi32(_mm_unpacklo_epi16(rowSum, zero), _mm_unpackhi_epi16(rowSum, zero));
    total = _mm_add_epi32(total, folded);
  }
  alignas(16) uint32_t sums[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(sums), total);
  const uint64_t count = uint64_t{Dlx} * Dly;
  const uint64_t f = count == 0 ? 0 : 16777216u / count;
  TColor32 result = 0;
  for (int k = 0; k < 4; ++k) result |= static_cast<TColor32>(((sums[k] * f) >> 24) & 0xFF) << (8 * k);
  return result;
}

}  // namespace raster_sse2
#endif
