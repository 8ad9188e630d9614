#pragma once
// The numeric ground floor of the raster library: the 32-bit colour and the 16.16
// fixed-point number, with the array and matrix types built from them.

#include <array>
#include <cstdint>
#include <vector>

// $AARRGGBB: alpha in bits 24..31, red 16..23, green 8..15, blue 0..7; in memory
// (little-endian) the bytes are B, G, R, A. Not premultiplied: R, G and B keep
// their full values whatever the alpha. Alpha 0 is transparent, 255 opaque.
using TColor32 = uint32_t;
using PColor32 = TColor32*;

// A pixel row of a bitmap.
using TColor32Array = TColor32[];
using PColor32Array = TColor32*;
// Stipple patterns, row buffers.
using TArrayOfColor32 = std::vector<TColor32>;
using TArrayOfInteger = std::vector<int32_t>;

inline constexpr TColor32 clBlack32 = 0xFF000000u;
inline constexpr TColor32 clWhite32 = 0xFFFFFFFFu;
inline constexpr TColor32 clTransparent32 = 0x00000000u;

// Signed 16.16 fixed point: value = integer x 65536, one pixel = $10000. The
// integer part is the upper 16 bits (arithmetic), the fraction the lower 16.
using TFixed = int32_t;
inline constexpr TFixed FixedOne = 0x10000;
inline constexpr TFixed FixedHalf = 0x8000;

// 3 x 3 matrices indexed [row][column].
using TFixedMatrix = std::array<std::array<TFixed, 3>, 3>;
using TFloatMatrix = std::array<std::array<float, 3>, 3>;

// Folds Value into Min..Max (Min <= Max is the caller's limit).
using TWrapProcEx = int32_t (*)(int32_t Value, int32_t Min, int32_t Max);
// Folds Value into 0..Max. Declared for completeness; no routine of this kind exists.
using TWrapProc = int32_t (*)(int32_t Value, int32_t Max);
