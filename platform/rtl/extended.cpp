#include "platform/rtl/extended.h"

#include "platform/rtl/streams.h"

#include <cstring>

// sizeof(long double) is 16; the six bytes after the 80-bit value are padding.
static_assert(sizeof(long double) >= ExtendedSize);

void ExtendedToBytes(long double v, uint8_t out[ExtendedSize]) { std::memcpy(out, &v, ExtendedSize); }

long double BytesToExtended(const uint8_t in[ExtendedSize]) {
  long double v = 0;  // clears the padding too
  std::memcpy(&v, in, ExtendedSize);
  return v;
}

long double ReadExtended(TStream& stream) {
  uint8_t bytes[ExtendedSize];
  stream.ReadBuffer(bytes, ExtendedSize);
  return BytesToExtended(bytes);
}

void WriteExtended(TStream& stream, long double v) {
  uint8_t bytes[ExtendedSize];
  ExtendedToBytes(v, bytes);
  stream.WriteBuffer(bytes, ExtendedSize);
}
