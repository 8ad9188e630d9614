#pragma once
// Small colour, fixed-point and rectangle helpers that the pixel and line
// routines of the library share: conversion of a toolkit colour, construction
// of points and rectangles, rounding of float and 16.16 rectangles to pixels,
// and the tests on rectangles (exclusive right and bottom edges).
//
// The TRect helpers IntersectRect, RectIsEmpty and OffsetRect live in
// raster/geometry.h; this file adds their float overloads.

#include "raster/color32.h"
#include "raster/geometry.h"

#include "platform/ui/control_types.h"

#include <cstdint>

struct TFloatPoint {
  float X = 0;
  float Y = 0;
  bool operator==(const TFloatPoint&) const = default;
};

enum TRectRoundMode : uint8_t { rdNearest, rdOutward, rdInward };

// A toolkit colour $00BBGGRR as $FFRRGGBB. A negative toolkit colour is a
// system colour and is first resolved from its low byte through the current
// desktop palette.
TColor32 ToColor32(TColor WinColor);

// round(S x 65536), halves to even, saturated to the 32-bit range.
TFixed Fixed(float S);
// I x 65536, wrapping in 32 bits as the shift does.
inline TFixed Fixed(int32_t I) { return static_cast<TFixed>(static_cast<uint32_t>(I) << 16); }

inline TPoint Point(int X, int Y) { return TPoint{X, Y}; }
inline TFloatPoint FloatPoint(float X, float Y) { return TFloatPoint{X, Y}; }
inline TFixedRect FixedRect(TFixed L, TFixed T, TFixed R, TFixed B) { return TFixedRect{L, T, R, B}; }
inline TFloatRect FloatRect(float L, float T, float R, float B) { return TFloatRect{L, T, R, B}; }
inline TRect RectFromFloat(int L, int T, int R, int B) { return TRect{L, T, R, B}; }

// rdNearest: every side to the nearest integer (floats halves to even; 16.16
//            adds $7FFF and shifts, so an exact half goes down);
// rdOutward: floor of Left and Top, ceiling of Right and Bottom;
// rdInward:  ceiling of Left and Top, floor of Right and Bottom, then Right
//            raised to Left and Bottom to Top where they fell below.
// Float sides beyond the integer range saturate.
TRect RectFromFloat(const TFloatRect& FR, TRectRoundMode Rounding);
TRect RectFromFloat(const TFixedRect& FXR, TRectRoundMode Rounding);

// As the TRect form: a failed intersection zeroes all four values.
bool IntersectRect(TFloatRect& Dst, const TFloatRect& R1, const TFloatRect& R2);
inline bool EqualRect(const TRect& R1, const TRect& R2) { return R1 == R2; }
inline bool RectIsEmpty(const TFloatRect& R) { return !(R.Left < R.Right && R.Top < R.Bottom); }
inline bool PtInRect(const TRect& R, const TPoint& P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
