#pragma once
// The pixel routines of the resampler unit, bound at library start-up by the
// registry "Ras32_Resamplers bindings" (identifier 0 AverageBlock, 1
// SampleBilinear). Only SampleBilinear exists so far; the sub-pixel read of the
// bitmap (GetPixelT256) is built on it.
//
// Call them only after start-up; they are pure functions, safe on any thread.

#include "raster/color32.h"
#include "raster/simd_config.h"

#include <cstdint>

// WX (0..256) weights the left pixel, WY (0..256) the upper row. C11 points at
// the upper-left pixel and C21 at the lower-left one; each is followed by its
// right neighbour.
using TSampleBilinear = TColor32(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21);
extern TSampleBilinear* SampleBilinear;

enum TResamplerFunctionId : int { fidAverageBlock, fidSampleBilinear };

namespace raster_portable {
// CombinePx(CombinePx(C11[0], C11[1], min(WX, 255)), CombinePx(C21[0], C21[1],
// min(WX, 255)), min(WY, 255)) through the bound CombinePx.
TColor32 SampleBilinear(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21);
}  // namespace raster_portable

#if RASTER_SSE2_FORMS
namespace raster_sse2 {
// Per channel, without a rounding term (the bound form on x86-64):
//   top    = (C11[0] x WX + C11[1] x (256 - WX)) shr 8
//   bottom = (C21[0] x WX + C21[1] x (256 - WX)) shr 8
//   result = (top x WY + bottom x (256 - WY)) shr 8
// so WX = WY = 256 returns C11[0] exactly.
TColor32 SampleBilinear(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21);
}  // namespace raster_sse2
#endif

// Library start-up: builds the registry and binds the variables.
void RegisterResamplerRoutines();
