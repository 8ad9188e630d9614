// SSE2 forms of the tile union: four tiles per register, one tile per 32-bit
// lane. The bounding box is a byte-wise minimum of Left and Top (the upper two
// bytes) and maximum of Right and Bottom (the lower two); the special cases of
// the union become lane masks.
#include "raster/micro_tiles.h"

#if RASTER_SSE2_FORMS

#include <emmintrin.h>

namespace raster_sse2 {

namespace {

inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
  return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

inline __m128i UnionLanes(__m128i dst, __m128i src) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi32(static_cast<int>(MICROTILE_FULL));
  const __m128i lowBytes = _mm_set1_epi32(0x0000FFFF);
  const __m128i highBytes = _mm_set1_epi32(static_cast<int>(0xFFFF0000u));

  // Src holds nothing when Right <= Left or Bottom <= Top. Shifted down by 16
  // bits, Left and Top sit under Right and Bottom: max(a, b) = b means a <= b.
  const __m128i leftTop = _mm_srli_epi32(src, 16);
  const __m128i notAfter = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(src, leftTop), leftTop), lowBytes);
  const __m128i srcHoldsSomething = _mm_cmpeq_epi32(notAfter, zero);

  const __m128i keepDst = _mm_or_si128(_mm_andnot_si128(srcHoldsSomething, _mm_cmpeq_epi32(zero, zero)),
                                       _mm_cmpeq_epi32(dst, full));
  const __m128i takeSrc = _mm_or_si128(_mm_cmpeq_epi32(dst, zero), _mm_cmpeq_epi32(src, full));
  const __m128i merged = Select(highBytes, _mm_min_epu8(dst, src), _mm_max_epu8(dst, src));
  return Select(keepDst, dst, Select(takeSrc, src, merged));
}

}  // namespace

void TileUnion(TMicroTile& DstTile, TMicroTile SrcTile) {
  const __m128i r = UnionLanes(_mm_cvtsi32_si128(static_cast<int>(DstTile)), _mm_cvtsi32_si128(static_cast<int>(SrcTile)));
  DstTile = static_cast<TMicroTile>(_mm_cvtsi128_si32(r));
}

void TileUnionRow(TMicroTile* DstTiles, const TMicroTile* SrcTiles, int32_t Count) {
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(DstTiles + i));
    const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(SrcTiles + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(DstTiles + i), UnionLanes(dst, src));
  }
  for (; i < Count; ++i) TileUnion(DstTiles[i], SrcTiles[i]);
}

}  // namespace raster_sse2

#endif
