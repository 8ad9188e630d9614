// Portable forms of the blend unit's routines, on the byte tables.
#include "raster/blend_forms.h"

#include <algorithm>

namespace raster_portable {

namespace {

constexpr uint32_t Alpha(TColor32 c) { return c >> 24; }
constexpr uint32_t Channel(TColor32 c, int shift) { return (c >> shift) & 0xFFu; }

// Dst[i] := op(Src[i], Dst[i]) for every pixel of the row.
template <class Op>
void ForEachPixel(const TColor32* src, TColor32* dst, int32_t count, const Op& op) {
  for (int32_t i = 0; i < count; ++i) dst[i] = op(src[i], dst[i]);
}

// c' = op(c1, c2) on the channels selected by `shifts`, the other bits from c1.
template <class Op>
TColor32 PerChannel(TColor32 c1, TColor32 c2, const Op& op, std::initializer_list<int> shifts = {0, 8, 16, 24}) {
  TColor32 r = c1;
  for (int s : shifts) {
    const uint32_t v = op(Channel(c1, s), Channel(c2, s));
    r = (r & ~(0xFFu << s)) | ((v & 0xFFu) << s);
  }
  return r;
}

// Colour channels MulTable[w, x] + MulTable[255 - w, y], alpha from `alpha`.
TColor32 TableMix(TColor32 x, TColor32 y, uint32_t w, uint32_t alpha) {
  const uint8_t* mx = MulTable[w];
  const uint8_t* my = MulTable[255 - w];
  TColor32 r = alpha << 24;
  for (int s : {0, 8, 16}) r |= uint32_t(mx[Channel(x, s)] + my[Channel(y, s)]) << s;
  return r;
}

struct BlendOp {
  TColor32 operator()(TColor32 f, TColor32 b) const {
    const uint32_t fa = Alpha(f);
    if (fa == 0) return b;
    if (fa == 255) return f;
    return TableMix(f, b, fa, Alpha(b));
  }
};

// The source alpha scaled by the master alpha, then as BlendOp.
struct BlendExOp {
  uint32_t m;
  TColor32 operator()(TColor32 f, TColor32 b) const {
    const uint32_t w = MulTable[m][Alpha(f)];
    if (w == 0) return b;
    if (w == 255) return f;
    return TableMix(f, b, w, Alpha(b));
  }
};

struct CombineOp {
  uint32_t w;
  TColor32 operator()(TColor32 x, TColor32 y) const {
    if (w == 0) return y;
    if (w >= 255) return x;
    return TableMix(x, y, w, Alpha(x));
  }
};

struct MergeOp {
  TColor32 operator()(TColor32 f, TColor32 b) const { return ::MergePx(f, b); }
};

// F's alpha scaled by the master alpha, then the bound MergePx.
struct MergeExOp {
  uint32_t m;
  TColor32 operator()(TColor32 f, TColor32 b) const {
    return ::MergePx((f & 0x00FFFFFFu) | (uint32_t(MulTable[m][Alpha(f)]) << 24), b);
  }
};

uint32_t ClampWeight(uint32_t w) { return std::min(w, 255u); }

}  // namespace

void EndMmxState() {}

TColor32 MergePx(TColor32 F, TColor32 B) {
  const uint32_t fa = Alpha(F);
  const uint32_t ba = Alpha(B);
  if (fa == 0) return B;
  if (ba == 255) return ::BlendPx(F, B) | 0xFF000000u;
  if (fa == 255 || ba == 0) return F;
  const uint32_t ra = (fa + ba - MulTable[ba][fa]) & 0xFFu;
  const uint8_t* quot = QuotTable[ra];
  TColor32 r = ra << 24;
  for (int s : {0, 8, 16}) {
    // Composite of F over the premultiplied background, divided back by Ra.
    const int32_t bp = MulTable[ba][Channel(B, s)];
    const int32_t d = int32_t(Channel(F, s)) - bp;
    const int32_t premul = d >= 0 ? bp + MulTable[fa][d] : bp - MulTable[fa][-d];
    r |= uint32_t(quot[premul]) << s;
  }
  return r;
}

void MergePxInto(TColor32 F, TColor32& B) { B = ::MergePx(F, B); }
void MergeRow(const TColor32* Src, TColor32* Dst, int32_t Count) { ForEachPixel(Src, Dst, Count, MergeOp{}); }
TColor32 MergePxEx(TColor32 F, TColor32 B, uint32_t M) { return MergeExOp{ClampWeight(M)}(F, B); }
void MergePxIntoEx(TColor32 F, TColor32& B, uint32_t M) { B = MergeExOp{ClampWeight(M)}(F, B); }
void MergeRowEx(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  ForEachPixel(Src, Dst, Count, MergeExOp{ClampWeight(M)});
}

TColor32 CombinePx(TColor32 X, TColor32 Y, uint32_t W) { return CombineOp{W}(X, Y); }
void CombinePxInto(TColor32 X, TColor32& Y, uint32_t W) { Y = CombineOp{W}(X, Y); }
void CombineRow(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t W) {
  ForEachPixel(Src, Dst, Count, CombineOp{W});
}

TColor32 BlendPx(TColor32 F, TColor32 B) { return BlendOp{}(F, B); }
void BlendPxInto(TColor32 F, TColor32& B) { B = BlendOp{}(F, B); }
void BlendRow(const TColor32* Src, TColor32* Dst, int32_t Count) { ForEachPixel(Src, Dst, Count, BlendOp{}); }
TColor32 BlendPxEx(TColor32 F, TColor32 B, uint32_t M) { return BlendExOp{ClampWeight(M)}(F, B); }
void BlendPxIntoEx(TColor32 F, TColor32& B, uint32_t M) { B = BlendExOp{ClampWeight(M)}(F, B); }
void BlendRowEx(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  ForEachPixel(Src, Dst, Count, BlendExOp{ClampWeight(M)});
}

TColor32 PxMax(TColor32 C1, TColor32 C2) { return PerChannel(C1, C2, [](uint32_t a, uint32_t b) { return std::max(a, b); }); }
TColor32 PxMin(TColor32 C1, TColor32 C2) { return PerChannel(C1, C2, [](uint32_t a, uint32_t b) { return std::min(a, b); }); }

TColor32 PxAverage(TColor32 C1, TColor32 C2) {
  // (c1 + c2) shr 1 in every byte at once: the shared bits plus half the differing ones.
  return (((C1 ^ C2) >> 1) & 0x7F7F7F7Fu) + (C1 & C2);
}

TColor32 PxAdd(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](uint32_t a, uint32_t b) { return std::min(a + b, 255u); });
}
TColor32 PxSub(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](uint32_t a, uint32_t b) { return a > b ? a - b : 0u; });
}
TColor32 PxDiv(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](uint32_t a, uint32_t b) { return a == 0 ? 255u : std::min(b * 256 / a, 255u); });
}
TColor32 PxModulate(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](uint32_t a, uint32_t b) { return (a * b) >> 8; });
}
TColor32 PxDifference(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](uint32_t a, uint32_t b) { return a > b ? a - b : b - a; });
}
TColor32 PxExclusion(TColor32 C1, TColor32 C2) {
  // c1 + c2 - c1.c2 / 128 peaks at 255 on the corners (0, 255) and (255, 0) and is
  // 2 at (255, 255), so the channel never leaves 0..255.
  return PerChannel(C1, C2, [](uint32_t a, uint32_t b) { return a + b - ((a * b) >> 7); });
}

TColor32 PxScale(TColor32 C, uint32_t W) {
  const uint32_t w = ClampWeight(W);
  return PerChannel(C, 0, [w](uint32_t c, uint32_t) { return (c * w) >> 8; });
}

TColor32 PxLighten(TColor32 C, int32_t Amount) {
  const int32_t amount = std::clamp(Amount, -255, 255);
  return PerChannel(
      C, 0, [amount](uint32_t c, uint32_t) { return uint32_t(std::clamp(int32_t(c) + amount, 0, 255)); },
      {0, 8, 16});
}

}  // namespace raster_portable
