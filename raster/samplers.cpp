#include "raster/samplers.h"

#include "raster/bitmap32.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// round(v x 65536) as a TFixed, saturated at the ends of the 32-bit range.
TFixed ToFixed(float v) {
  const int64_t fixed = Round(static_cast<long double>(v) * 65536.0L);
  return static_cast<TFixed>(std::clamp<int64_t>(fixed, INT32_MIN, INT32_MAX));
}

}  // namespace

TColor32 TCustomSampler::GetSampleInt(int32_t X, int32_t Y) {
  // X x 65536 wraps in 32 bits, as the integer multiplication does.
  return GetSampleFixed(static_cast<TFixed>(static_cast<uint32_t>(X) << 16),
                        static_cast<TFixed>(static_cast<uint32_t>(Y) << 16));
}

TColor32 TCustomSampler::GetSampleFixed(TFixed X, TFixed Y) {
  return GetSampleFloat(static_cast<float>(X) / 65536.0f, static_cast<float>(Y) / 65536.0f);
}

TColor32 TCustomSampler::GetSampleFloat(float X, float Y) { return GetSampleFixed(ToFixed(X), ToFixed(Y)); }

TFloatRect TCustomSampler::GetSampleBounds() const {
  constexpr float inf = std::numeric_limits<float>::infinity();
  return TFloatRect{-inf, -inf, inf, inf};
}

void TCustomResampler::SetPixelAccessMode(TPixelAccessMode Value) {
  if (Value == FPixelAccessMode) return;
  FPixelAccessMode = Value;
  Changed();
}

void TCustomResampler::Changed() {
  if (FBitmap != nullptr) FBitmap->Changed();
  TCustomSampler::Changed();
}

void TCustomResampler::PrepareSampling() {
  if (FBitmap != nullptr) FClipRect = FBitmap->ClipRect();
  FSampling = true;
}

void TCustomResampler::FinalizeSampling() {
  FSampling = false;
  TCustomSampler::FinalizeSampling();
}

bool TCustomResampler::HasBounds() const { return FPixelAccessMode != pamWrap; }

TFloatRect TCustomResampler::GetSampleBounds() const {
  if (FBitmap == nullptr) return TCustomSampler::GetSampleBounds();
  const TRect& clip = FBitmap->ClipRect();
  TFloatRect bounds{static_cast<float>(clip.Left), static_cast<float>(clip.Top), static_cast<float>(clip.Right),
                    static_cast<float>(clip.Bottom)};
  if (FPixelAccessMode == pamTransparentEdge) {
    bounds.Left -= 1;
    bounds.Top -= 1;
    bounds.Right += 1;
    bounds.Bottom += 1;
  }
  return bounds;
}

void TCustomResampler::AssignTo(TCustomResampler& Dest) const {
  if (&Dest == this) return;
  Dest.SetPixelAccessMode(FPixelAccessMode);
}
