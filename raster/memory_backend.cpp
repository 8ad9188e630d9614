#include "raster/memory_backend.h"

#include "raster/low_level.h"

#include <cstdint>
#include <new>

TMemoryBackend::~TMemoryBackend() { Clear(); }

void TMemoryBackend::AllocateSurface(int NewWidth, int NewHeight, bool ClearBuffer) {
  const int64_t count = int64_t{NewWidth} * NewHeight;
  if (count > INT32_MAX) throw std::bad_alloc();
  FMemory.reset(new TColor32[static_cast<size_t>(count)]);
  FBits = FMemory.get();
  if (ClearBuffer) FillDwords(FBits, static_cast<uint32_t>(count), clBlack32);
}

void TMemoryBackend::ReleaseSurface() {
  FMemory.reset();
  FBits = nullptr;
}
