// SSE2 form of the bilinear sample: both rows in one register, the colour
// channels in 16-bit lanes. Every sum is at most 255 x 256,
// so the unsigned 16-bit lanes never wrap.
#include "raster/resampler_routines.h"

#if RASTER_SSE2_FORMS

#include <emmintrin.h>

namespace raster_sse2 {

TColor32 SampleBilinear(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21) {
  const __m128i zero = _mm_setzero_si128();
  // Lanes: upper-left, lower-left (as 16-bit channels), then the right pixels.
  const __m128i left = _mm_unpacklo_epi8(
      _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(C11[0])), _mm_cvtsi32_si128(static_cast<int>(C21[0]))),
      zero);
  const __m128i right = _mm_unpacklo_epi8(
      _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(C11[1])), _mm_cvtsi32_si128(static_cast<int>(C21[1]))),
      zero);
  const __m128i wx = _mm_set1_epi16(static_cast<short>(WX_256));
  const __m128i wxr = _mm_set1_epi16(static_cast<short>(256 - WX_256));
  // (left x WX + right x (256 - WX)) shr 8 for both rows.
  const __m128i rows =
      _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(left, wx), _mm_mullo_epi16(right, wxr)), 8);
  const __m128i top = rows;
  const __m128i bottom = _mm_srli_si128(rows, 8);
  const __m128i wy = _mm_set1_epi16(static_cast<short>(WY_256));
  const __m128i wyr = _mm_set1_epi16(static_cast<short>(256 - WY_256));
  const __m128i mixed = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(top, wy), _mm_mullo_epi16(bottom, wyr)), 8);
  return static_cast<TColor32>(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, zero)));
}

}  // namespace raster_sse2

#endif
