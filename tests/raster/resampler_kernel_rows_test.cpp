#include "raster/resampler_kernel_rows.h"
#include "raster/resampler_kernels.h"

#include "raster/bindings.h"
#include "raster/bitmap32.h"

#include "bitmap_test_support.h"

namespace {

class KernelRows : public RasterTest {};

// Flattens clusters the way the resampler does (pairs, odd tail with weight 0).
TKernelRowTaps Flatten(const TMappingTable& map) {
  TKernelRowTaps taps;
  taps.PairStart.push_back(0);
  for (const TCluster& c : map) {
    for (size_t t = 0; t < c.size(); t += 2) {
      const bool pair = t + 1 < c.size();
      taps.PosA.push_back(c[t].Pos);
      taps.PosB.push_back(pair ? c[t + 1].Pos : c[t].Pos);
      taps.Weights.push_back(static_cast<uint16_t>(static_cast<int16_t>(c[t].Weight)) |
                             (pair ? uint32_t{static_cast<uint16_t>(static_cast<int16_t>(c[t + 1].Weight))} << 16 : 0u));
    }
    taps.PairStart.push_back(static_cast<int32_t>(taps.PosA.size()));
  }
  return taps;
}

TEST_F(KernelRows, PortableSumsAreTheWeightedChannelSums) {
  const std::vector<TColor32> row = {0x01020304u, 0xFF00FF00u, 0x80808080u};
  // Output 0: 3 x p0 - 1 x p2 (a negative weight); output 1: 256 x p1 alone (odd tail).
  const TMappingTable map = {{{0, 3}, {2, -1}}, {{1, 256}}};
  std::vector<int32_t> out(8);
  raster_portable::KernelRowPass(row.data(), Flatten(map), 2, out.data());
  EXPECT_EQ(out, (std::vector<int32_t>{3 * 4 - 128, 3 * 3 - 128, 3 * 2 - 128, 3 * 1 - 128, 0, 256 * 255, 0, 256 * 255}));
}

#if RASTER_SSE2_FORMS
TEST_F(KernelRows, Sse2FormAgreesWithThePortableForm) {
  std::mt19937 rng(5);
  std::vector<TColor32> row(300);
  for (TColor32& p : row) p = rng();
  TLanczosKernel lanczos;
  TMitchellKernel mitchell;
  struct Case {
    const char* what;
    TCustomKernel* kernel;
    int dst;
  };
  for (const Case& c : {Case{"Lanczos 300 to 77", &lanczos, 77}, Case{"Lanczos 300 to 900", &lanczos, 900},
                        Case{"Mitchell 300 to 301", &mitchell, 301}}) {
    SCOPED_TRACE(c.what);
    const TKernelRowTaps taps = Flatten(MakeTapTable(0, c.dst, 0, c.dst, 0, 300, *c.kernel));
    std::vector<int32_t> portable(static_cast<size_t>(c.dst) * 4), sse2(portable.size());
    raster_portable::KernelRowPass(row.data(), taps, c.dst, portable.data());
    raster_sse2::KernelRowPass(row.data(), taps, c.dst, sse2.data());
    EXPECT_EQ(sse2, portable);
  }
}
#endif

TEST_F(KernelRows, ThreadedResampleMatchesTheSingleThreadedCallbackPath) {
  // A callback that stores runs on one thread; opaque drawing of a large area is
  // split across threads. Both must give the same pixels.
  TCustomBitmap32 source;
  std::mt19937 rng(9);
  std::vector<TColor32> pixels(400 * 150);
  for (TColor32& p : pixels) p = rng() | 0xFF000000u;
  SetPixels(source, 400, 150, pixels);
  TLanczosKernel lanczos;
  for (const TSize size : {TSize{333, 257}, TSize{812, 97}}) {
    SCOPED_TRACE(size.cx);
    TCustomBitmap32 threaded, single;
    threaded.SetSize(size.cx, size.cy);
    single.SetSize(size.cx, size.cy);
    KernelResample(&threaded, threaded.BoundsRect(), threaded.BoundsRect(), &source, source.BoundsRect(), lanczos,
                   dmOpaque, nullptr);
    const TPixelCombineEvent store = [](TColor32 f, TColor32& b, TColor32) { b = f; };
    KernelResample(&single, single.BoundsRect(), single.BoundsRect(), &source, source.BoundsRect(), lanczos, dmCustom,
                   store);
    EXPECT_EQ(PixelsOf(threaded), PixelsOf(single));
  }
}

}  // namespace

namespace {

class KernelColumns : public RasterTest {};

// Rows of horizontal sums with negative values and a sum range as wide as the
// resampler allows; the bound and processor forms against the plain formula.
TEST_F(KernelColumns, SweepAddsFourWeightedRowsInEveryForm) {
  std::mt19937 rng(13);
  const size_t count = 77;  // not a multiple of any vector width
  std::vector<std::vector<int32_t>> rows(4, std::vector<int32_t>(count));
  for (auto& r : rows)
    for (int32_t& x : r) x = static_cast<int32_t>(rng() % 200001) - 100000;
  const int32_t* h[4] = {rows[0].data(), rows[1].data(), rows[2].data(), rows[3].data()};
  const int32_t w[4] = {-37, 300, 0, 5};
  std::vector<int32_t> start(count);
  for (int32_t& x : start) x = static_cast<int32_t>(rng() % 1000);
  std::vector<TKernelColumnSweep*> forms = {&raster_portable::KernelColumnSweep, KernelColumnSweep};
#if RASTER_SSE2_FORMS
  if (CpuSupports(ciAVX2)) forms.push_back(&raster_avx2::KernelColumnSweep);
#endif
  for (bool first : {true, false})
    for (size_t f = 0; f < forms.size(); ++f) {
      SCOPED_TRACE(testing::Message() << "form " << f << (first ? " first" : " adding"));
      std::vector<int32_t> sums = start;
      forms[f](sums.data(), h, w, count, first);
      for (size_t k = 0; k < count; ++k) {
        const int64_t expected = (first ? 0 : int64_t{start[k]}) + int64_t{w[0]} * h[0][k] +
                                 int64_t{w[1]} * h[1][k] + int64_t{w[2]} * h[2][k] + int64_t{w[3]} * h[3][k];
        ASSERT_EQ(sums[k], expected) << k;
      }
    }
}

#if RASTER_SSE2_FORMS
// The AVX2 sweep is a registered form like any other: the registry lists it and
// a rebind keeps it bound exactly where the processor has AVX2.
TEST_F(KernelColumns, RegistryListsTheAvx2SweepAndRebindKeepsIt) {
  TFunctionRegistry* registry = FindRegistry("Ras32_Resamplers bindings");
  ASSERT_NE(registry, nullptr);
  const auto avx2 = reinterpret_cast<TRoutine>(&raster_avx2::KernelColumnSweep);
  int listed = 0;
  for (int i = 0; i < registry->Count(); ++i)
    if (registry->GetItems(i)->FunctionID == fidKernelColumnSweep && registry->GetItems(i)->Proc == avx2) {
      ++listed;
      EXPECT_EQ(registry->GetItems(i)->CPUFeatures, TCPUFeatures{ciAVX2});
    }
  EXPECT_EQ(listed, 1);
  // The processor's own report, independent of the library's detection.
  const bool hasAvx2 = __builtin_cpu_supports("avx2");
  registry->RebindAll();
  EXPECT_EQ(KernelColumnSweep, hasAvx2 ? &raster_avx2::KernelColumnSweep : &raster_portable::KernelColumnSweep);
  // A processor reporting everything but AVX2 gets the portable sweep.
  registry->RebindAll(PriorityForFeatures(TCPUFeatures{ciMMX, ciEMMX, ciSSE, ciSSE2, ci3DNow, ci3DNowExt}));
  EXPECT_EQ(KernelColumnSweep, &raster_portable::KernelColumnSweep);
  registry->RebindAll();
}
#endif

}  // namespace
