#include "raster/resampler_routines.h"

#include "raster/bindings.h"
#include "raster/blend.h"

#include <algorithm>

TSampleBilinear* SampleBilinear = nullptr;

namespace raster_portable {

TColor32 SampleBilinear(uint32_t WX_256, uint32_t WY_256, const TColor32* C11, const TColor32* C21) {
  const uint32_t wx = std::min(WX_256, 255u);
  return CombinePx(CombinePx(C11[0], C11[1], wx), CombinePx(C21[0], C21[1], wx), std::min(WY_256, 255u));
}

}  // namespace raster_portable

void RegisterResamplerRoutines() {
  TFunctionRegistry* registry = CreateRegistry("Ras32_Resamplers bindings");
  registry->RegisterBinding(fidSampleBilinear, &SampleBilinear);
  registry->Add(fidSampleBilinear, &raster_portable::SampleBilinear);
#if RASTER_SSE2_FORMS
  registry->Add(fidSampleBilinear, &raster_sse2::SampleBilinear, TCPUFeatures{ciSSE2});
#endif
  registry->RebindAll();
}
