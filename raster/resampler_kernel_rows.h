#pragma once
// The horizontal pass of the kernel resampler over one row of 8-bit pixels:
// for every output position the per-channel sums of Weight x channel over its
// taps, bound at library start-up ("Ras32_Resamplers bindings", identifier 2).

#include "raster/color32.h"
#include "raster/simd_config.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Clusters flattened for the pass: output i uses the tap pairs
// PairStart[i] .. PairStart[i + 1] - 1; a pair reads pixels PosA and PosB
// (offsets from the row start) with the 16-bit weights packed as
// WeightA | (WeightB shl 16). An odd cluster ends with a zero-weight tap.
struct TKernelRowTaps {
  std::vector<int32_t> PairStart;
  std::vector<int32_t> PosA;
  std::vector<int32_t> PosB;
  std::vector<uint32_t> Weights;
};

// Out receives Count x 4 sums in channel order B, G, R, A.
using TKernelRowPass = void(const TColor32* Row, const TKernelRowTaps& Taps, int32_t Count, int32_t* Out);
extern TKernelRowPass* KernelRowPass;
inline constexpr int fidKernelRowPass = 2;

// The vertical pass over rows of those sums: Sums[k] = (First ? 0 : Sums[k]) +
// W[0] H0[k] + W[1] H1[k] + W[2] H2[k] + W[3] H3[k] for k < Count (int32, the
// caller's weight bounds keep every sum in range).
using TKernelColumnSweep = void(int32_t* Sums, const int32_t* const H[4], const int32_t W[4], size_t Count,
                                bool First);
extern TKernelColumnSweep* KernelColumnSweep;
inline constexpr int fidKernelColumnSweep = 3;

namespace raster_portable {
void KernelColumnSweep(int32_t* Sums, const int32_t* const H[4], const int32_t W[4], size_t Count, bool First);
void KernelRowPass(const TColor32* Row, const TKernelRowTaps& Taps, int32_t Count, int32_t* Out);
}
#if RASTER_SSE2_FORMS
namespace raster_sse2 {
// One multiply-add of two taps' 16-bit channels per pair.
void KernelRowPass(const TColor32* Row, const TKernelRowTaps& Taps, int32_t Count, int32_t* Out);
}
#endif

#if RASTER_SSE2_FORMS
namespace raster_avx2 {
// The portable loop compiled for 8-lane 32-bit multiplies; registered as
// needing ciAVX2.
void KernelColumnSweep(int32_t* Sums, const int32_t* const H[4], const int32_t W[4], size_t Count, bool First);
}  // namespace raster_avx2
#endif
