#include "raster/resampler_kernel_rows.h"

#if RASTER_SSE2_FORMS
#include <emmintrin.h>

namespace raster_sse2 {

void KernelRowPass(const TColor32* Row, const TKernelRowTaps& Taps, int32_t Count, int32_t* Out) {
  const __m128i zero = _mm_setzero_si128();
  const int32_t* start = Taps.PairStart.data();
  const int32_t* posA = Taps.PosA.data();
  const int32_t* posB = Taps.PosB.data();
  const uint32_t* weights = Taps.Weights.data();
  for (int32_t i = 0; i < Count; ++i) {
    __m128i sum = zero;
    for (int32_t p = start[i]; p < start[i + 1]; ++p) {
      const __m128i a = _mm_cvtsi32_si128(static_cast<int>(Row[posA[p]]));
      const __m128i b = _mm_cvtsi32_si128(static_cast<int>(Row[posB[p]]));
      // a0 b0 a1 b1 a2 b2 a3 b3 as 16-bit lanes, then (a x wA + b x wB) per channel.
      const __m128i ab = _mm_unpacklo_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
      sum = _mm_add_epi32(sum, _mm_madd_epi16(ab, _mm_set1_epi32(static_cast<int>(weights[p]))));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + int64_t{i} * 4), sum);
  }
}

}  // namespace raster_sse2
#endif
