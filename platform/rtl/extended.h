#pragma once
// The 80-bit extended float kept in files as 10 little-endian bytes: a 64-bit
// mantissa with an explicit integer bit, then 15 exponent bits (bias 16383) and
// the sign. On x86-64 `long double` is exactly that format, so the codec is a
// byte copy and every value, denormals, infinities and NaN payloads included,
// survives a round trip unchanged.

#include <bit>
#include <cstdint>
#include <limits>

class TStream;

static_assert(std::numeric_limits<long double>::digits == 64, "long double must be the 80-bit extended format");
static_assert(std::endian::native == std::endian::little, "extended values are stored little-endian");

inline constexpr int ExtendedSize = 10;

void ExtendedToBytes(long double v, uint8_t out[ExtendedSize]);
long double BytesToExtended(const uint8_t in[ExtendedSize]);

// Read/write through ReadBuffer/WriteBuffer: a short transfer throws EReadError/EWriteError.
long double ReadExtended(TStream& stream);
void WriteExtended(TStream& stream, long double v);
