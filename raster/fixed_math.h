#pragma once
// Fixed-point and integer arithmetic of the raster library, with the exact
// rounding of each routine (lines and clipping depend on it).

#include "raster/color32.h"

#include <cstdint>

// A >> 16 (toward minus infinity).
inline constexpr int32_t FxFloor(TFixed a) { return a >> 16; }
// (A + $FFFF) >> 16, the addition wrapping in 32 bits as the register does.
inline constexpr int32_t FxCeil(TFixed a) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + 0xFFFFu) >> 16;
}
// (A + $7FFF) >> 16: an exact half rounds down, so $8000 gives 0 and -$8000 gives -1.
inline constexpr int32_t FxRound(TFixed a) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + 0x7FFFu) >> 16;
}
// The 64-bit product shifted right by 16 (toward minus infinity), low 32 bits kept.
inline constexpr TFixed FxMul(TFixed a, TFixed b) {
  return static_cast<TFixed>(static_cast<uint32_t>(static_cast<uint64_t>((int64_t{a} * b) >> 16)));
}
// A x 65536 / B truncated toward zero. Outside the callers' range a zero divisor
// or a quotient beyond 32 bits saturates to the sign of the exact result.
TFixed FxDiv(TFixed a, TFixed b);

// Division by 256 and by 512 truncating toward zero (-1 gives 0, unlike a shift).
inline constexpr int32_t Div256(int32_t v) { return v / 256; }
inline constexpr int32_t Div512(int32_t v) { return v / 512; }

// Multiplicand x Multiplier / Divisor on the magnitudes, an exact half rounding
// away from zero, the sign from the exclusive-or of the arguments. -1 marks an
// overflow: twice the upper 32 bits of the 64-bit product are not below |Divisor|
// (a zero divisor included).
int32_t MulDiv(int32_t multiplicand, int32_t multiplier, int32_t divisor);

// Truncating division; the remainder takes the sign of the dividend. A zero
// divisor throws std::domain_error; the quotient of INT32_MIN / -1 wraps.
int32_t DivWithRemainder(int32_t dividend, int32_t divisor, int32_t& remainder);

// Single arguments, computed in extended precision.
void SineCosine(float theta, float& sin, float& cos);
float IntHypot(float x, float y);
// The Single hypotenuse rounded half to even.
int32_t IntHypot(int32_t x, int32_t y);
