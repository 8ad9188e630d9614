#include "raster/coordinate_helpers.h"

#include "raster/fixed_math.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/graphics.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int32_t SaturatedInt(long double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int32_t>(std::clamp<long double>(v, INT32_MIN, INT32_MAX));
}

int32_t RoundInt(float v) { return SaturatedInt(static_cast<long double>(Round(v))); }
int32_t FloorInt(float v) { return SaturatedInt(std::floor(static_cast<long double>(v))); }
int32_t CeilInt(float v) { return SaturatedInt(std::ceil(static_cast<long double>(v))); }

void RaiseCollapsedSides(TRect& R) {
  if (R.Right < R.Left) R.Right = R.Left;
  if (R.Bottom < R.Top) R.Bottom = R.Top;
}

}  // namespace

TColor32 ToColor32(TColor WinColor) {
  if (WinColor < 0) WinColor = ColorToRGB(SystemColor(static_cast<uint8_t>(WinColor & 0xFF)));
  const auto bgr = static_cast<uint32_t>(WinColor);
  return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

TFixed Fixed(float S) {
  if (std::isnan(S)) return 0;
  return static_cast<TFixed>(std::clamp<int64_t>(Round(static_cast<long double>(S) * 65536.0L), INT32_MIN, INT32_MAX));
}

TRect RectFromFloat(const TFloatRect& FR, TRectRoundMode Rounding) {
  switch (Rounding) {
    case rdOutward: return TRect{FloorInt(FR.Left), FloorInt(FR.Top), CeilInt(FR.Right), CeilInt(FR.Bottom)};
    case rdInward: {
      TRect r{CeilInt(FR.Left), CeilInt(FR.Top), FloorInt(FR.Right), FloorInt(FR.Bottom)};
      RaiseCollapsedSides(r);
      return r;
    }
    default: return TRect{RoundInt(FR.Left), RoundInt(FR.Top), RoundInt(FR.Right), RoundInt(FR.Bottom)};
  }
}

TRect RectFromFloat(const TFixedRect& FXR, TRectRoundMode Rounding) {
  switch (Rounding) {
    case rdOutward: return TRect{FxFloor(FXR.Left), FxFloor(FXR.Top), FxCeil(FXR.Right), FxCeil(FXR.Bottom)};
    case rdInward: {
      TRect r{FxCeil(FXR.Left), FxCeil(FXR.Top), FxFloor(FXR.Right), FxFloor(FXR.Bottom)};
      RaiseCollapsedSides(r);
      return r;
    }
    default: return TRect{FxRound(FXR.Left), FxRound(FXR.Top), FxRound(FXR.Right), FxRound(FXR.Bottom)};
  }
}

bool IntersectRect(TFloatRect& Dst, const TFloatRect& R1, const TFloatRect& R2) {
  Dst = TFloatRect{std::max(R1.Left, R2.Left), std::max(R1.Top, R2.Top), std::min(R1.Right, R2.Right),
                   std::min(R1.Bottom, R2.Bottom)};
  if (Dst.Right >= Dst.Left && Dst.Bottom >= Dst.Top) return true;
  Dst = TFloatRect{};
  return false;
}
