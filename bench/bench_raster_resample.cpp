// Stretching a radargram-sized bitmap (4096 x 1024) to a screen (1920 x 1080):
// our kernel resampler with the Lanczos kernel next to the toolkit's smooth
// scaling of the same pixels, in the same run.

#include "raster/bitmap32.h"
#include "raster/raster_library.h"
#include "raster/resampler_kernels.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

namespace {

constexpr int kSrcW = 4096, kSrcH = 1024, kDstW = 1920, kDstH = 1080;

// An 8-bit-like grey image with texture, opaque.
void FillSource(TColor32* pixels) {
  std::mt19937 rng(11);
  for (int64_t i = 0; i < int64_t{kSrcW} * kSrcH; ++i) {
    const uint32_t g = rng() & 0xFFu;
    pixels[i] = 0xFF000000u | (g << 16) | (g << 8) | g;
  }
}

void BM_KernelResampleLanczos(benchmark::State& state) {
  RasterLibraryStartup();
  TCustomBitmap32 source;
  source.SetSize(kSrcW, kSrcH);
  FillSource(source.Bits());
  TCustomBitmap32 dest;
  dest.SetSize(kDstW, kDstH);
  TLanczosKernel lanczos;
  for (auto _ : state) {
    KernelResample(&dest, dest.BoundsRect(), dest.BoundsRect(), &source, source.BoundsRect(), lanczos, dmOpaque,
                   nullptr);
    benchmark::DoNotOptimize(dest.Bits());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kDstW * kDstH);
}
BENCHMARK(BM_KernelResampleLanczos)->Unit(benchmark::kMillisecond);

void BM_QtSmoothScale(benchmark::State& state) {
  QImage source(kSrcW, kSrcH, QImage::Format_ARGB32);
  FillSource(reinterpret_cast<TColor32*>(source.bits()));
  for (auto _ : state) {
    QImage scaled = source.scaled(kDstW, kDstH, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    benchmark::DoNotOptimize(scaled.constBits());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kDstW * kDstH);
}
BENCHMARK(BM_QtSmoothScale)->Unit(benchmark::kMillisecond);

}  // namespace
