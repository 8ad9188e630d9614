#pragma once
// The implementations behind the blend unit's routine variables, declared for the
// tests, which check each family against its formulas and every SSE2 form against
// the portable one. Registration order (the last form the processor runs wins):
//   1. portable forms of all routines;
//   2. SSE2 forms (the SSE form of PxLighten);
//   3. the table form of MergePx again, without features, so it is the bound
//      MergePx everywhere.
//
// Where the portable forms differ from the bound SSE2 forms:
//   BlendPx, BlendPxInto  Fa = 0 gives B, Fa = 255 gives F, otherwise each colour
//                         channel is MulTable[Fa, f] + MulTable[255 - Fa, b] and the
//                         result keeps B's alpha
//   BlendPxEx, BlendPxIntoEx, BlendRowEx
//                         weight MulTable[M, Fa], then as BlendPx
//   CombinePx, CombinePxInto, CombineRow
//                         W = 0 gives Y, W >= 255 gives X, otherwise colour channels
//                         MulTable[W, x] + MulTable[255 - W, y] with X's alpha
// The per-channel operations give the same results in both families.

#include "raster/blend.h"
#include "raster/simd_config.h"

namespace raster_portable {

void EndMmxState();
// The table form: Fa = 0 gives B; Ba = 255 gives BlendPx(F, B) made opaque;
// Fa = 255 or Ba = 0 gives F; otherwise the composite of F over the premultiplied B:
//   Ra = Fa + Ba - MulTable[Ba, Fa]
//   b' = MulTable[Ba, b], d = f - b'
//   c  = QuotTable[Ra, b' + MulTable[Fa, d]]   (d >= 0)
//        QuotTable[Ra, b' - MulTable[Fa, -d]]  (d < 0)
TColor32 MergePx(TColor32 F, TColor32 B);
void MergePxInto(TColor32 F, TColor32& B);
void MergeRow(const TColor32* Src, TColor32* Dst, int32_t Count);
TColor32 MergePxEx(TColor32 F, TColor32 B, uint32_t M);
void MergePxIntoEx(TColor32 F, TColor32& B, uint32_t M);
void MergeRowEx(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
TColor32 CombinePx(TColor32 X, TColor32 Y, uint32_t W);
void CombinePxInto(TColor32 X, TColor32& Y, uint32_t W);
void CombineRow(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t W);
TColor32 BlendPx(TColor32 F, TColor32 B);
void BlendPxInto(TColor32 F, TColor32& B);
void BlendRow(const TColor32* Src, TColor32* Dst, int32_t Count);
TColor32 BlendPxEx(TColor32 F, TColor32 B, uint32_t M);
void BlendPxIntoEx(TColor32 F, TColor32& B, uint32_t M);
void BlendRowEx(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
TColor32 PxMax(TColor32 C1, TColor32 C2);
TColor32 PxMin(TColor32 C1, TColor32 C2);
TColor32 PxAverage(TColor32 C1, TColor32 C2);
TColor32 PxAdd(TColor32 C1, TColor32 C2);
TColor32 PxSub(TColor32 C1, TColor32 C2);
TColor32 PxDiv(TColor32 C1, TColor32 C2);
TColor32 PxModulate(TColor32 C1, TColor32 C2);
TColor32 PxDifference(TColor32 C1, TColor32 C2);
TColor32 PxExclusion(TColor32 C1, TColor32 C2);
TColor32 PxScale(TColor32 C, uint32_t W);
TColor32 PxLighten(TColor32 C, int32_t Amount);

}  // namespace raster_portable

#if RASTER_SSE2_FORMS
namespace raster_sse2 {

void EndMmxState();
TColor32 CombinePx(TColor32 X, TColor32 Y, uint32_t W);
void CombinePxInto(TColor32 X, TColor32& Y, uint32_t W);
void CombineRow(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t W);
TColor32 BlendPx(TColor32 F, TColor32 B);
void BlendPxInto(TColor32 F, TColor32& B);
void BlendRow(const TColor32* Src, TColor32* Dst, int32_t Count);
TColor32 BlendPxEx(TColor32 F, TColor32 B, uint32_t M);
void BlendPxIntoEx(TColor32 F, TColor32& B, uint32_t M);
void BlendRowEx(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
TColor32 PxMax(TColor32 C1, TColor32 C2);
TColor32 PxMin(TColor32 C1, TColor32 C2);
TColor32 PxAdd(TColor32 C1, TColor32 C2);
TColor32 PxSub(TColor32 C1, TColor32 C2);
TColor32 PxModulate(TColor32 C1, TColor32 C2);
TColor32 PxDifference(TColor32 C1, TColor32 C2);
TColor32 PxExclusion(TColor32 C1, TColor32 C2);
TColor32 PxScale(TColor32 C, uint32_t W);
// Registered as the SSE form; every processor that runs this build's SSE code
// has SSE2, whose byte-saturating adds it uses.
TColor32 PxLighten(TColor32 C, int32_t Amount);

}  // namespace raster_sse2
#endif
