#include "raster/raster_library.h"

#include "raster/backends.h"
#include "raster/bindings.h"
#include "raster/blend.h"
#include "raster/cpu_features.h"
#include "raster/filters.h"
#include "raster/gamma.h"
#include "raster/low_level.h"
#include "raster/micro_tiles.h"
#include "raster/perf_timer.h"
#include "raster/rasterizers.h"
#include "raster/resampler_routines.h"
#include "raster/resamplers.h"
#include "raster/resampler_transfer.h"
#include "raster/transforms.h"

#include <mutex>

namespace {

std::mutex& StartupLock() {
  static std::mutex lock;
  return lock;
}

bool started = false;

}  // namespace

void RasterLibraryStartup() {
  std::lock_guard guard(StartupLock());
  if (started) return;
  CPUFeatures();
  CreateGlobalPerfTimer();
  InitLowLevelBindings();
  InitBlendBindings();
  InitFilterBindings();
  InitRasterizers();
  RegisterTransformRoutines();
  RegisterResamplerRoutines();
  InitResamplers();
  RegisterScalingResamplers();
  RegisterMicroTilesRoutines();
  // The bitmap core last: its bitmaps use every routine and class bound above.
  ApplyGammaValue(0.7);
  CreateSharedScratchBitmap();
  started = true;
}

void RasterLibraryShutdown() {
  std::lock_guard guard(StartupLock());
  if (!started) return;
  FreeSharedScratchBitmap();
  FreeResamplers();
  FreeRegistries();
  FreeGlobalPerfTimer();
  started = false;
}

bool RasterLibraryStarted() {
  std::lock_guard guard(StartupLock());
  return started;
}
