// SSE2 forms of the blend unit's routines. Each operation is a small policy with
// a four-pixel step (Px4); one row loop runs it over a row and the value forms run
// it on a single pixel in the low lane, so all forms of one operation agree.
#include "raster/blend_forms.h"

#if RASTER_SSE2_FORMS

#include "raster/low_level.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdlib>

namespace raster_sse2 {

namespace {

__m128i Ramp(uint32_t w) { return _mm_load_si128(reinterpret_cast<const __m128i*>(AlphaRamp[w])); }
__m128i Load4(const TColor32* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store4(TColor32* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
__m128i Alpha32(__m128i c) { return _mm_srli_epi32(c, 24); }

// ((f - b) x v + 256 x b + 128) shr 8 in 16-bit lanes. The lanes wrap modulo 2^16
// on the way, but the exact value stays within 0..65535, so the result is exact.
__m128i Step16(__m128i f, __m128i b, __m128i v, __m128i round) {
  __m128i t = _mm_mullo_epi16(_mm_sub_epi16(f, b), v);
  t = _mm_add_epi16(t, _mm_slli_epi16(b, 8));
  return _mm_srli_epi16(_mm_add_epi16(t, round), 8);
}

// The weighted step of four pixels with the per-channel weights vlo (pixels 0, 1)
// and vhi (pixels 2, 3).
__m128i Step4(__m128i f, __m128i b, __m128i vlo, __m128i vhi, __m128i round) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = Step16(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(b, zero), vlo, round);
  const __m128i hi = Step16(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(b, zero), vhi, round);
  return _mm_packus_epi16(lo, hi);
}

// The same with each pixel's weight (0..255) in its 32-bit lane of v32.
__m128i Step4(__m128i f, __m128i b, __m128i v32, __m128i round) {
  const __m128i v16 = _mm_or_si128(v32, _mm_slli_epi32(v32, 16));  // V0 V0 V1 V1 V2 V2 V3 V3
  return Step4(f, b, _mm_unpacklo_epi32(v16, v16), _mm_unpackhi_epi32(v16, v16), round);
}

__m128i Select(__m128i mask, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// Dst[i] := Px4 over four pixels at a time; the last up to three pixels go through
// the same step in the low lane.
template <class Policy>
void RowLoop(const TColor32* src, TColor32* dst, int32_t count, const Policy& policy) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) Store4(dst + i, policy.Px4(Load4(src + i), Load4(dst + i)));
  for (; i < count; ++i)
    dst[i] = static_cast<TColor32>(_mm_cvtsi128_si32(policy.Px4(
        _mm_cvtsi32_si128(static_cast<int>(src[i])), _mm_cvtsi32_si128(static_cast<int>(dst[i])))));
}

template <class Policy>
TColor32 Px1(const Policy& policy, TColor32 c1, TColor32 c2) {
  return static_cast<TColor32>(_mm_cvtsi128_si32(
      policy.Px4(_mm_cvtsi32_si128(static_cast<int>(c1)), _mm_cvtsi32_si128(static_cast<int>(c2)))));
}

// c' = (f x Fa + b x (256 - Fa) + 128) shr 8, no shortcut for opaque sources.
struct BlendStep {
  __m128i round = Ramp(128);
  __m128i Px4(__m128i f, __m128i b) const { return Step4(f, b, Alpha32(f), round); }
};

// As BlendStep, but opaque sources are copied (transparent ones keep B by the step).
struct BlendInto {
  __m128i round = Ramp(128);
  __m128i Px4(__m128i f, __m128i b) const {
    const __m128i fa = Alpha32(f);
    const __m128i opaque = _mm_cmpeq_epi32(fa, _mm_set1_epi32(255));
    const int opaqueMask = _mm_movemask_epi8(opaque);
    if (opaqueMask == 0xFFFF) return f;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(fa, _mm_setzero_si128())) == 0xFFFF) return b;
    const __m128i r = Step4(f, b, fa, round);
    return opaqueMask == 0 ? r : Select(opaque, f, r);
  }
};

// V = ((M + 1) x Fa) shr 8; V = 0 keeps B by the step.
struct BlendEx {
  __m128i m1;
  __m128i round = Ramp(128);
  explicit BlendEx(uint32_t m) : m1(_mm_set1_epi32(static_cast<int>(std::min(m, 255u) + 1))) {}
  __m128i Px4(__m128i f, __m128i b) const {
    // Fa x (M + 1) <= 65280 fits the low 16-bit half of each 32-bit lane.
    return Step4(f, b, _mm_srli_epi32(_mm_mullo_epi16(Alpha32(f), m1), 8), round);
  }
};

// V = ((Fa + 1) x M) shr 8 (the increment on the other factor than in BlendEx).
struct BlendRowExStep {
  __m128i m;
  __m128i round = Ramp(128);
  explicit BlendRowExStep(uint32_t master) : m(_mm_set1_epi32(static_cast<int>(std::min(master, 255u)))) {}
  __m128i Px4(__m128i f, __m128i b) const {
    const __m128i fa1 = _mm_add_epi32(Alpha32(f), _mm_set1_epi32(1));
    return Step4(f, b, _mm_srli_epi32(_mm_mullo_epi16(fa1, m), 8), round);
  }
};

// One weight for every channel of every pixel.
struct CombineStep {
  __m128i v;
  __m128i round = Ramp(128);
  explicit CombineStep(uint32_t w) : v(Ramp(w)) {}
  __m128i Px4(__m128i x, __m128i y) const { return Step4(x, y, v, v, round); }
};

struct MaxOp { static __m128i Px4(__m128i a, __m128i b) { return _mm_max_epu8(a, b); } };
struct MinOp { static __m128i Px4(__m128i a, __m128i b) { return _mm_min_epu8(a, b); } };
struct AddOp { static __m128i Px4(__m128i a, __m128i b) { return _mm_adds_epu8(a, b); } };
struct SubOp { static __m128i Px4(__m128i a, __m128i b) { return _mm_subs_epu8(a, b); } };
struct DifferenceOp {
  static __m128i Px4(__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)); }
};

// Channels widened to 16 bits, op applied to the low and high halves, packed back.
template <class Op16>
__m128i Widened(__m128i a, __m128i b, const Op16& op) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = op(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
  const __m128i hi = op(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
  return _mm_packus_epi16(lo, hi);
}

// (c1 x c2) shr 8
struct ModulateOp {
  static __m128i Px4(__m128i a, __m128i b) {
    return Widened(a, b, [](__m128i x, __m128i y) { return _mm_srli_epi16(_mm_mullo_epi16(x, y), 8); });
  }
};

// c1 + c2 - ((c1 x c2) shr 7); the product (<= 65025) fits an unsigned 16-bit lane.
struct ExclusionOp {
  static __m128i Px4(__m128i a, __m128i b) {
    return Widened(a, b, [](__m128i x, __m128i y) {
      return _mm_sub_epi16(_mm_add_epi16(x, y), _mm_srli_epi16(_mm_mullo_epi16(x, y), 7));
    });
  }
};

// (c x W) shr 8
struct ScaleOp {
  __m128i w;
  explicit ScaleOp(uint32_t weight) : w(Ramp(std::min(weight, 255u))) {}
  __m128i Px4(__m128i c, __m128i) const {
    return Widened(c, c, [this](__m128i x, __m128i) { return _mm_srli_epi16(_mm_mullo_epi16(x, w), 8); });
  }
};

// Red, green and blue moved by |Amount| with byte saturation; alpha untouched.
struct LightenOp {
  __m128i amount;
  bool darken;
  explicit LightenOp(int32_t a)
      : amount(_mm_set1_epi32(static_cast<int>(uint32_t(std::abs(std::clamp(a, -255, 255))) * 0x010101u))),
        darken(a < 0) {}
  __m128i Px4(__m128i c, __m128i) const { return darken ? _mm_subs_epu8(c, amount) : _mm_adds_epu8(c, amount); }
};

}  // namespace

void EndMmxState() {}

TColor32 CombinePx(TColor32 X, TColor32 Y, uint32_t W) { return Px1(CombineStep(std::min(W, 255u)), X, Y); }

void CombinePxInto(TColor32 X, TColor32& Y, uint32_t W) {
  if (W == 0) return;
  if (W >= 255) {
    Y = X;
    return;
  }
  Y = Px1(CombineStep(W), X, Y);
}

void CombineRow(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t W) {
  if (Count <= 0 || W == 0) return;
  if (W >= 255) {
    MoveDwords(Src, Dst, Count);
    return;
  }
  RowLoop(Src, Dst, Count, CombineStep(W));
}

TColor32 BlendPx(TColor32 F, TColor32 B) { return Px1(BlendStep{}, F, B); }
void BlendPxInto(TColor32 F, TColor32& B) { B = Px1(BlendInto{}, F, B); }
void BlendRow(const TColor32* Src, TColor32* Dst, int32_t Count) { RowLoop(Src, Dst, Count, BlendInto{}); }
TColor32 BlendPxEx(TColor32 F, TColor32 B, uint32_t M) { return Px1(BlendEx(M), F, B); }
void BlendPxIntoEx(TColor32 F, TColor32& B, uint32_t M) { B = Px1(BlendEx(M), F, B); }

void BlendRowEx(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  if (M == 0) return;  // every weight is 0
  RowLoop(Src, Dst, Count, BlendRowExStep(M));
}

TColor32 PxMax(TColor32 C1, TColor32 C2) { return Px1(MaxOp{}, C1, C2); }
TColor32 PxMin(TColor32 C1, TColor32 C2) { return Px1(MinOp{}, C1, C2); }
TColor32 PxAdd(TColor32 C1, TColor32 C2) { return Px1(AddOp{}, C1, C2); }
TColor32 PxSub(TColor32 C1, TColor32 C2) { return Px1(SubOp{}, C1, C2); }
TColor32 PxModulate(TColor32 C1, TColor32 C2) { return Px1(ModulateOp{}, C1, C2); }
TColor32 PxDifference(TColor32 C1, TColor32 C2) { return Px1(DifferenceOp{}, C1, C2); }
TColor32 PxExclusion(TColor32 C1, TColor32 C2) { return Px1(ExclusionOp{}, C1, C2); }
TColor32 PxScale(TColor32 C, uint32_t W) { return Px1(ScaleOp(W), C, 0); }
TColor32 PxLighten(TColor32 C, int32_t Amount) { return Px1(LightenOp(Amount), C, 0); }

}  // namespace raster_sse2

#endif
