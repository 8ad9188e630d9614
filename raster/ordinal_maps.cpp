#include "raster/ordinal_maps.h"

#include "raster/low_level.h"

void TIntegerMap::ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight) {
  FBits.resize(static_cast<size_t>(int64_t{NewWidth} * NewHeight));
  TCustomMap::ChangeSize(Width, Height, NewWidth, NewHeight);
}

void TIntegerMap::Clear(int32_t FillValue) {
  if (!FBits.empty()) FillDwords(FBits.data(), static_cast<uint32_t>(FBits.size()), static_cast<uint32_t>(FillValue));
  Changed();
}
