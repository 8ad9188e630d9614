#include "raster/raster_library.h"

#include "raster/bindings.h"
#include "raster/blend.h"
#include "raster/cpu_features.h"
#include "raster/low_level.h"
#include "raster/perf_timer.h"

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
  started = true;
}

void RasterLibraryShutdown() {
  std::lock_guard guard(StartupLock());
  if (!started) return;
  FreeRegistries();
  FreeGlobalPerfTimer();
  started = false;
}

bool RasterLibraryStarted() {
  std::lock_guard guard(StartupLock());
  return started;
}
