#include "platform/rtl/extended.h"

#include "platform/rtl/streams.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

using Bytes = std::array<uint8_t, 10>;

struct ExtendedCase {
  const char* name;
  long double value;
  Bytes bytes;
};

// The file bytes, worked out from the 80-bit layout: 64-bit mantissa with its
// integer bit, then sign and 15-bit exponent (bias 16383), little-endian.
const ExtendedCase Cases[] = {
    {"zero", 0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00}},
    {"negative zero", -0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}},
    {"one", 1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
    {"minus one", -1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xBF}},
    {"300", 300.0L, {0, 0, 0, 0, 0, 0, 0, 0x96, 0x07, 0x40}},
    {"2/300", 2.0L / 300.0L, {0x0E, 0x74, 0xDA, 0x40, 0xA7, 0x0D, 0x74, 0xDA, 0xF7, 0x3F}},
    {"smallest denormal", std::numeric_limits<long double>::denorm_min(), {1, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00}},
    {"+infinity", std::numeric_limits<long double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
    {"-infinity", -std::numeric_limits<long double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
};

bool SameBits(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

TEST(RtlExtended, ValuesAndBytes) {
  for (const ExtendedCase& c : Cases) {
    SCOPED_TRACE(c.name);
    Bytes out{};
    ExtendedToBytes(c.value, out.data());
    EXPECT_EQ(out, c.bytes);
    const long double back = BytesToExtended(c.bytes.data());
    EXPECT_TRUE(SameBits(back, c.value));
    EXPECT_EQ(std::signbit(back), std::signbit(c.value));
  }
  EXPECT_EQ(BytesToExtended(Cases[5].bytes.data()) * 150.0L, 1.0L);
}

TEST(RtlExtended, NaNKeepsItsPayload) {
  const Bytes quietNaN = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
  const Bytes payloadNaN = {0x5A, 0x01, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0xFF};
  for (const Bytes& bytes : {quietNaN, payloadNaN}) {
    const long double v = BytesToExtended(bytes.data());
    EXPECT_TRUE(std::isnan(v));
    Bytes out{};
    ExtendedToBytes(v, out.data());
    EXPECT_EQ(out, bytes);
  }
  Bytes out{};
  ExtendedToBytes(std::numeric_limits<long double>::quiet_NaN(), out.data());
  EXPECT_EQ(out, quietNaN);
}

TEST(RtlExtended, StreamRoundTrip) {
  TMemoryStream s;
  for (const ExtendedCase& c : Cases) WriteExtended(s, c.value);
  ASSERT_EQ(s.Size(), 10 * static_cast<int64_t>(std::size(Cases)));
  EXPECT_EQ(0, std::memcmp(s.Memory() + 10, Cases[1].bytes.data(), 10));
  s.SetPosition(0);
  for (const ExtendedCase& c : Cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(SameBits(ReadExtended(s), c.value));
  }
  EXPECT_THROW(ReadExtended(s), EReadError);
  s.SetPosition(s.Size() - 5);
  EXPECT_THROW(ReadExtended(s), EReadError) << "five bytes are not a value";
}

}  // namespace
