#include "raster/raster_library.h"

#include "raster/bindings.h"
#include "raster/blend.h"
#include "raster/blend_forms.h"
#include "raster/low_level.h"
#include "raster/low_level_forms.h"
#include "raster/perf_timer.h"
#include "raster/rasterizers.h"
#include "raster/resampler_kernels.h"
#include "raster/resamplers.h"
#include "raster/gamma.h"

#include <gtest/gtest.h>

namespace {

template <class F>
TRoutine R(F* f) {
  return reinterpret_cast<TRoutine>(f);
}

TEST(RasterLibrary, StartupIsIdempotentAndShutdownFreesTheRegistries) {
  RasterLibraryStartup();
  TFunctionRegistry* blend = FindRegistry("Ras32_Blend bindings");
  TFunctionRegistry* lowLevel = FindRegistry("Ras32_LowLevel bindings");
  ASSERT_NE(blend, nullptr);
  ASSERT_NE(lowLevel, nullptr);
  const int items = blend->Count();
  RasterLibraryStartup();
  EXPECT_EQ(FindRegistry("Ras32_Blend bindings"), blend);
  EXPECT_EQ(blend->Count(), items);
  EXPECT_NE(GlobalPerfTimer(), nullptr);

  TBlendReg* const bound = BlendPx;
  RasterLibraryShutdown();
  EXPECT_FALSE(RasterLibraryStarted());
  EXPECT_EQ(FindRegistry("Ras32_Blend bindings"), nullptr);
  EXPECT_EQ(FindRegistry("Ras32_LowLevel bindings"), nullptr);
  EXPECT_EQ(GlobalPerfTimer(), nullptr);
  EXPECT_EQ(BlendPx, bound);  // variables keep their bindings
  RasterLibraryShutdown();    // a second shut-down does nothing

  RasterLibraryStartup();
  EXPECT_TRUE(RasterLibraryStarted());
  ASSERT_NE(FindRegistry("Ras32_Blend bindings"), nullptr);
  EXPECT_EQ(FindRegistry("Ras32_Blend bindings")->Count(), items);
}

// Start-up leaves every unit ready: each unit's registry exists, the class lists
// are in the order names are looked up in, the rasterizers know the processors
// and the gamma table is built; shut-down removes the registries.
TEST(RasterLibrary, StartupPreparesEveryUnitAndShutdownRemovesTheRegistries) {
  RasterLibraryShutdown();
  RasterLibraryStartup();
  const char* const registries[] = {"Ras32_LowLevel bindings", "Ras32_Blend bindings",   "Ras32_Filters bindings",
                                    "Ras32_Transforms bindings", "Ras32_Resamplers bindings", "Ras32_MicroTiles bindings"};
  for (const char* name : registries) {
    const TFunctionRegistry* registry = FindRegistry(name);
    ASSERT_NE(registry, nullptr) << name;
    EXPECT_GT(registry->Count(), 0) << name;
  }
  QStringList resamplers;
  for (const TResamplerClass& c : ResamplerClasses()) resamplers << c.ClassName;
  EXPECT_EQ(resamplers, (QStringList{"TNearestResampler", "TLinearResampler", "TDraftResampler", "TKernelResampler"}));
  QStringList kernels;
  for (const TKernelClass& c : KernelClasses()) kernels << c.ClassName;
  EXPECT_EQ(kernels, (QStringList{"TBoxKernel", "TLinearKernel", "TCosineKernel", "TSplineKernel", "TCubicKernel",
                                  "TMitchellKernel", "TAlbrechtKernel", "TLanczosKernel", "TGaussianKernel",
                                  "TBlackmanKernel", "THannKernel", "THammingKernel", "TSinshKernel",
                                  "THermiteKernel"}));
  EXPECT_GE(RasterizerProcessorCount, 1);
  EXPECT_EQ(GammaTable[0], 0);
  EXPECT_EQ(GammaTable[128], 157);
  EXPECT_EQ(GammaTable[255], 255);

  RasterLibraryShutdown();
  for (const char* name : registries) EXPECT_EQ(FindRegistry(name), nullptr) << name;
  EXPECT_TRUE(ResamplerClasses().empty());
  RasterLibraryStartup();
}

// Every routine has a form that runs on a processor without any extension.
TEST(RasterLibrary, EveryBlendRoutineHasAPortableForm) {
  RasterLibraryStartup();
  const TFunctionRegistry* blend = FindRegistry("Ras32_Blend bindings");
  ASSERT_NE(blend, nullptr);
  for (int id = 0; id < BlendFunctionCount; ++id)
    EXPECT_NE(blend->FindFunction(id, PriorityForFeatures({})), nullptr) << id;
}

// The table form of MergePx is registered last without features, so no processor,
// however capable, binds another one.
TEST(RasterLibrary, MergePxIsTheTableFormOnEveryProcessor) {
  RasterLibraryStartup();
  const TFunctionRegistry* blend = FindRegistry("Ras32_Blend bindings");
  const TCPUFeatures all = TCPUFeatures::FromBits(0x3F);
  for (TCPUFeatures f : {TCPUFeatures{}, TCPUFeatures{ciMMX}, all})
    EXPECT_EQ(blend->FindFunction(fidMergePx, PriorityForFeatures(f)), R(&raster_portable::MergePx));
}

#if RASTER_SSE2_FORMS
TEST(RasterLibrary, SSE2ProcessorBindsTheSSE2Forms) {
  RasterLibraryStartup();
  ASSERT_TRUE(CpuSupports(ciSSE2));
  namespace p = raster_portable;
  namespace s = raster_sse2;
  const struct {
    const char* name;
    TRoutine bound;
    TRoutine expected;
  } table[] = {
      {"FillDwords", R(FillDwords), R(&s::FillDwords)},
      {"EndMmxState", R(EndMmxState), R(&s::EndMmxState)},
      {"MergePx", R(MergePx), R(&p::MergePx)},
      {"MergePxInto", R(MergePxInto), R(&p::MergePxInto)},
      {"MergeRow", R(MergeRow), R(&p::MergeRow)},
      {"MergePxEx", R(MergePxEx), R(&p::MergePxEx)},
      {"MergePxIntoEx", R(MergePxIntoEx), R(&p::MergePxIntoEx)},
      {"MergeRowEx", R(MergeRowEx), R(&p::MergeRowEx)},
      {"CombinePx", R(CombinePx), R(&s::CombinePx)},
      {"CombinePxInto", R(CombinePxInto), R(&s::CombinePxInto)},
      {"CombineRow", R(CombineRow), R(&s::CombineRow)},
      {"BlendPx", R(BlendPx), R(&s::BlendPx)},
      {"BlendPxInto", R(BlendPxInto), R(&s::BlendPxInto)},
      {"BlendRow", R(BlendRow), R(&s::BlendRow)},
      {"BlendPxEx", R(BlendPxEx), R(&s::BlendPxEx)},
      {"BlendPxIntoEx", R(BlendPxIntoEx), R(&s::BlendPxIntoEx)},
      {"BlendRowEx", R(BlendRowEx), R(&s::BlendRowEx)},
      {"PxMax", R(PxMax), R(&s::PxMax)},
      {"PxMin", R(PxMin), R(&s::PxMin)},
      {"PxAverage", R(PxAverage), R(&p::PxAverage)},
      {"PxAdd", R(PxAdd), R(&s::PxAdd)},
      {"PxSub", R(PxSub), R(&s::PxSub)},
      {"PxDiv", R(PxDiv), R(&p::PxDiv)},
      {"PxModulate", R(PxModulate), R(&s::PxModulate)},
      {"PxDifference", R(PxDifference), R(&s::PxDifference)},
      {"PxExclusion", R(PxExclusion), R(&s::PxExclusion)},
      {"PxScale", R(PxScale), R(&s::PxScale)},
      {"PxLighten", R(PxLighten), R(&s::PxLighten)},
  };
  for (const auto& e : table) EXPECT_EQ(e.bound, e.expected) << e.name;
}
#endif

}  // namespace
