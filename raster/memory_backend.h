#pragma once
// The backend of TCustomBitmap32: the pixels in a heap block. A new surface is
// opaque black ($FF000000) when clearing is requested (the bitmap always asks).
// No optional abilities.

#include "raster/backends.h"

#include <memory>

class TMemoryBackend : public TCustomBackend {
public:
  ~TMemoryBackend() override;

protected:
  // Throws std::bad_alloc when Width x Height exceeds the 32-bit pixel count the
  // pixel routines take, or when the memory is not there.
  void AllocateSurface(int NewWidth, int NewHeight, bool ClearBuffer) override;
  void ReleaseSurface() override;

private:
  std::unique_ptr<TColor32[]> FMemory;
};
