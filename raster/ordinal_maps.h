#pragma once
// Two-dimensional maps of ordinal values (the kernel weight table of the kernel
// resampler): Width x Height values, row after row, without gaps.

#include "raster/color32.h"
#include "raster/persistent.h"

#include <cstdint>

class TIntegerMap : public TCustomMap {
public:
  TIntegerMap() = default;
  TIntegerMap(int Width, int Height) { SetSize(Width, Height); }

  // Every value := FillValue, then Changed.
  void Clear(int32_t FillValue = 0);
  bool Empty() const override { return FBits.empty(); }

  const TArrayOfInteger& Bits() const { return FBits; }
  // Element X + Y x Width, without range checks.
  int32_t* ValPtr(int X, int Y) { return FBits.data() + (ptrdiff_t{Y} * FWidth + X); }
  int32_t Value(int X, int Y) const { return FBits[static_cast<size_t>(ptrdiff_t{Y} * FWidth + X)]; }
  void SetValue(int X, int Y, int32_t NewValue) { *ValPtr(X, Y) = NewValue; }

protected:
  // The values become NewWidth x NewHeight long (existing values keep their
  // linear positions, new ones are 0); the new size is stored.
  void ChangeSize(int& Width, int& Height, int NewWidth, int NewHeight) override;

private:
  TArrayOfInteger FBits;
};
