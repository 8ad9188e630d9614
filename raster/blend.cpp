#include "raster/blend.h"

#include "raster/bindings.h"
#include "raster/blend_forms.h"
#include "raster/cpu_features.h"

TEndMmxState* EndMmxState = nullptr;
TBlendReg* MergePx = nullptr;
TBlendMem* MergePxInto = nullptr;
TBlendLine* MergeRow = nullptr;
TBlendRegEx* MergePxEx = nullptr;
TBlendMemEx* MergePxIntoEx = nullptr;
TBlendLineEx* MergeRowEx = nullptr;
TCombineReg* CombinePx = nullptr;
TCombineMem* CombinePxInto = nullptr;
TCombineLine* CombineRow = nullptr;
TBlendReg* BlendPx = nullptr;
TBlendMem* BlendPxInto = nullptr;
TBlendLine* BlendRow = nullptr;
TBlendRegEx* BlendPxEx = nullptr;
TBlendMemEx* BlendPxIntoEx = nullptr;
TBlendLineEx* BlendRowEx = nullptr;
TBlendReg* PxMax = nullptr;
TBlendReg* PxMin = nullptr;
TBlendReg* PxAverage = nullptr;
TBlendReg* PxAdd = nullptr;
TBlendReg* PxSub = nullptr;
TBlendReg* PxDiv = nullptr;
TBlendReg* PxModulate = nullptr;
TBlendReg* PxDifference = nullptr;
TBlendReg* PxExclusion = nullptr;
TScaleReg* PxScale = nullptr;
TLightenReg* PxLighten = nullptr;

TBlendMem** const BlendPxIntoTbl[2] = {&BlendPxInto, &MergePxInto};
TBlendMemEx** const BlendPxIntoExTbl[2] = {&BlendPxIntoEx, &MergePxIntoEx};
TBlendLine** const BlendRowTbl[2] = {&BlendRow, &MergeRow};
TBlendLineEx** const BlendRowExTbl[2] = {&BlendRowEx, &MergeRowEx};

uint8_t MulTable[256][256];
uint8_t QuotTable[256][256];
alignas(16) uint16_t AlphaRamp[256][8];
bool AlphaRampBuilt = false;
bool MmxActive = false;

namespace {

void BuildTables() {
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t b = 0; b < 256; ++b) {
      // A x B / 255 is never an exact half (255 is odd), so plain rounding is exact.
      MulTable[a][b] = static_cast<uint8_t>((a * b * 2 + 255) / 510);
      if (a == 0) {
        QuotTable[a][b] = 0;
        continue;
      }
      // 255 x B / A rounded half to even, modulo 256.
      uint32_t q = 255 * b / a;
      const uint32_t r2 = 255 * b % a * 2;
      if (r2 > a || (r2 == a && (q & 1))) ++q;
      QuotTable[a][b] = static_cast<uint8_t>(q);
    }
  }
  MmxActive = CpuSupports(ciMMX);
  if (CpuSupports(ciMMX) || CpuSupports(ciSSE2)) {
    for (uint32_t w = 0; w < 256; ++w)
      for (uint16_t& lane : AlphaRamp[w]) lane = static_cast<uint16_t>(w);
    AlphaRampBuilt = true;
  }
}

void RegisterBindings(TFunctionRegistry* r) {
  r->RegisterBinding(fidEndMmxState, &EndMmxState);
  r->RegisterBinding(fidMergePx, &MergePx);
  r->RegisterBinding(fidMergePxInto, &MergePxInto);
  r->RegisterBinding(fidMergeRow, &MergeRow);
  r->RegisterBinding(fidMergePxEx, &MergePxEx);
  r->RegisterBinding(fidMergePxIntoEx, &MergePxIntoEx);
  r->RegisterBinding(fidMergeRowEx, &MergeRowEx);
  r->RegisterBinding(fidCombinePx, &CombinePx);
  r->RegisterBinding(fidCombinePxInto, &CombinePxInto);
  r->RegisterBinding(fidCombineRow, &CombineRow);
  r->RegisterBinding(fidBlendPx, &BlendPx);
  r->RegisterBinding(fidBlendPxInto, &BlendPxInto);
  r->RegisterBinding(fidBlendRow, &BlendRow);
  r->RegisterBinding(fidBlendPxEx, &BlendPxEx);
  r->RegisterBinding(fidBlendPxIntoEx, &BlendPxIntoEx);
  r->RegisterBinding(fidBlendRowEx, &BlendRowEx);
  r->RegisterBinding(fidPxMax, &PxMax);
  r->RegisterBinding(fidPxMin, &PxMin);
  r->RegisterBinding(fidPxAverage, &PxAverage);
  r->RegisterBinding(fidPxAdd, &PxAdd);
  r->RegisterBinding(fidPxSub, &PxSub);
  r->RegisterBinding(fidPxDiv, &PxDiv);
  r->RegisterBinding(fidPxModulate, &PxModulate);
  r->RegisterBinding(fidPxDifference, &PxDifference);
  r->RegisterBinding(fidPxExclusion, &PxExclusion);
  r->RegisterBinding(fidPxScale, &PxScale);
  r->RegisterBinding(fidPxLighten, &PxLighten);
}

void AddPortableForms(TFunctionRegistry* r) {
  namespace p = raster_portable;
  r->Add(fidEndMmxState, &p::EndMmxState);
  r->Add(fidMergePx, &p::MergePx);
  r->Add(fidMergePxInto, &p::MergePxInto);
  r->Add(fidMergeRow, &p::MergeRow);
  r->Add(fidMergePxEx, &p::MergePxEx);
  r->Add(fidMergePxIntoEx, &p::MergePxIntoEx);
  r->Add(fidMergeRowEx, &p::MergeRowEx);
  r->Add(fidCombinePx, &p::CombinePx);
  r->Add(fidCombinePxInto, &p::CombinePxInto);
  r->Add(fidCombineRow, &p::CombineRow);
  r->Add(fidBlendPx, &p::BlendPx);
  r->Add(fidBlendPxInto, &p::BlendPxInto);
  r->Add(fidBlendRow, &p::BlendRow);
  r->Add(fidBlendPxEx, &p::BlendPxEx);
  r->Add(fidBlendPxIntoEx, &p::BlendPxIntoEx);
  r->Add(fidBlendRowEx, &p::BlendRowEx);
  r->Add(fidPxMax, &p::PxMax);
  r->Add(fidPxMin, &p::PxMin);
  r->Add(fidPxAverage, &p::PxAverage);
  r->Add(fidPxAdd, &p::PxAdd);
  r->Add(fidPxSub, &p::PxSub);
  r->Add(fidPxDiv, &p::PxDiv);
  r->Add(fidPxModulate, &p::PxModulate);
  r->Add(fidPxDifference, &p::PxDifference);
  r->Add(fidPxExclusion, &p::PxExclusion);
  r->Add(fidPxScale, &p::PxScale);
  r->Add(fidPxLighten, &p::PxLighten);
}

void AddSse2Forms([[maybe_unused]] TFunctionRegistry* r) {
#if RASTER_SSE2_FORMS
  namespace s = raster_sse2;
  const TCPUFeatures sse2{ciSSE2};
  r->Add(fidEndMmxState, &s::EndMmxState, sse2);
  r->Add(fidCombinePx, &s::CombinePx, sse2);
  r->Add(fidCombinePxInto, &s::CombinePxInto, sse2);
  r->Add(fidCombineRow, &s::CombineRow, sse2);
  r->Add(fidBlendPx, &s::BlendPx, sse2);
  r->Add(fidBlendPxInto, &s::BlendPxInto, sse2);
  r->Add(fidBlendPxIntoEx, &s::BlendPxIntoEx, sse2);
  r->Add(fidBlendRow, &s::BlendRow, sse2);
  r->Add(fidBlendRowEx, &s::BlendRowEx, sse2);
  r->Add(fidBlendPxEx, &s::BlendPxEx, sse2);
  r->Add(fidPxMax, &s::PxMax, sse2);
  r->Add(fidPxMin, &s::PxMin, sse2);
  r->Add(fidPxAdd, &s::PxAdd, sse2);
  r->Add(fidPxSub, &s::PxSub, sse2);
  r->Add(fidPxModulate, &s::PxModulate, sse2);
  r->Add(fidPxDifference, &s::PxDifference, sse2);
  r->Add(fidPxExclusion, &s::PxExclusion, sse2);
  r->Add(fidPxScale, &s::PxScale, sse2);
  r->Add(fidPxLighten, &s::PxLighten, {ciSSE});
#endif
}

}  // namespace

void InitBlendBindings() {
  TFunctionRegistry* registry = CreateRegistry("Ras32_Blend bindings");
  RegisterBindings(registry);
  AddPortableForms(registry);
  AddSse2Forms(registry);
  // The table form of MergePx once more, last and without features, so it is the
  // bound MergePx on every processor.
  registry->Add(fidMergePx, &raster_portable::MergePx);
  registry->RebindAll();
  BuildTables();
}
