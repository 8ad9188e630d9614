// The vertical sweep of the kernel resampler for processors with AVX2: the
// same loop as the portable form, compiled for 8-lane 32-bit multiplies.
#include "raster/resampler_kernel_rows.h"

#if RASTER_SSE2_FORMS
#pragma GCC push_options
#pragma GCC target("avx2")
#pragma GCC optimize("O3")

namespace raster_avx2 {

void KernelColumnSweep(int32_t* Sums, const int32_t* const H[4], const int32_t W[4], size_t Count, bool First) {
  const int32_t* h0 = H[0];
  const int32_t* h1 = H[1];
  const int32_t* h2 = H[2];
  const int32_t* h3 = H[3];
  const int32_t w0 = W[0], w1 = W[1], w2 = W[2], w3 = W[3];
  if (First)
    for (size_t k = 0; k < Count; ++k) Sums[k] = w0 * h0[k] + w1 * h1[k] + w2 * h2[k] + w3 * h3[k];
  else
    for (size_t k = 0; k < Count; ++k) Sums[k] += w0 * h0[k] + w1 * h1[k] + w2 * h2[k] + w3 * h3[k];
}

}  // namespace raster_avx2

#pragma GCC pop_options
#endif
