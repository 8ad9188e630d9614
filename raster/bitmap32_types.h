#pragma once
// Enumerations and event types shared by the bitmap, its backends and its
// resamplers.

#include "raster/color32.h"

#include "platform/ui/component.h"
#include "platform/ui/graphics.h"

#include <cstdint>
#include <functional>

// How a bitmap is put onto another one by DrawTo/Draw:
//   dmOpaque       copies the source pixels;
//   dmBlend        blends them with the source's CombineMode (the master-alpha
//                  form when MasterAlpha < 255; nothing at all at MasterAlpha 0);
//   dmCustom       OnPixelCombine per pixel (dmOpaque without a handler);
//   dmTransparent  copies every pixel except those equal to the OuterColor.
enum TDrawMode : uint8_t { dmOpaque, dmBlend, dmCustom, dmTransparent };

// How a resampler reads pixels near and beyond the clip rectangle.
enum TPixelAccessMode : uint8_t { pamUnsafe, pamSafe, pamWrap, pamTransparentEdge };

// Combines the source colour F into the destination B with master alpha M
// (0..255 in the low byte).
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, TColor32 M)>;

// A changed area. Info: AreaKindRect, or AreaKindLine plus the line width in the
// low 24 bits with Area holding the end points (Left, Top) to (Right, Bottom).
using TAreaChangedEvent = std::function<void(TObject* Sender, const TRect& Area, uint32_t Info)>;

inline constexpr uint32_t AreaKindRect = 0x80000000u;
inline constexpr uint32_t AreaKindLine = 0x40000000u;
inline constexpr uint32_t AreaKindMask = 0xFF000000u;
