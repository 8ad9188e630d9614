#pragma once
// Fixed-width fields in byte buffers with an explicit byte order. The radar packet
// protocol is big-endian except where a field is laid out as the sender holds it in
// memory (f64 date-times, some masks and sizes), which is little-endian.

#include <bit>
#include <cstdint>
#include <vector>

inline uint16_t ReadU16BE(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint16_t ReadU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[1] << 8 | p[0]); }
// Two's complement: the conversion of an out-of-range value to a signed type is
// modular in C++20.
inline int16_t ReadI16BE(const uint8_t* p) { return static_cast<int16_t>(ReadU16BE(p)); }

inline uint32_t ReadU32LE(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// 24-bit two's complement, sign-extended: (v xor 2^23) - 2^23.
inline int32_t ReadI24BE(const uint8_t* p) {
  const int32_t v = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2]);
  return (v ^ 0x800000) - 0x800000;
}

inline uint64_t ReadU64LE(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}
inline double ReadF64LE(const uint8_t* p) { return std::bit_cast<double>(ReadU64LE(p)); }

inline void AppendU8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
inline void AppendU16BE(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}
inline void AppendU16LE(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void AppendU32LE(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void AppendF64LE(std::vector<uint8_t>& out, double v) {
  const uint64_t bits = std::bit_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}
