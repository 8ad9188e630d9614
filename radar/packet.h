#pragma once
// The frame of the radar packet protocol, the same in both directions:
//
//   offset 0  "QEL3"
//   offset 4  L, u16 big-endian: the bytes after this field = 1 (code) + parameters + 1 (checksum)
//   offset 6  code
//   offset 7  parameters, L - 2 bytes (parameter byte k is packet byte 7 + k)
//   offset L + 5  checksum: XOR of the L - 1 bytes from offset 6 (code and parameters)
//
// A packet is L + 6 bytes. Pure code: no I/O, no radar state.

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr std::array<uint8_t, 4> PacketMagic = {'Q', 'E', 'L', '3'};
inline constexpr size_t PacketHeaderSize = 6;   // magic and length field
inline constexpr size_t PacketCodeOffset = 6;
inline constexpr size_t PacketParamOffset = 7;
inline constexpr uint16_t MinPacketLength = 2;  // L of a packet without parameters
inline constexpr size_t MaxPacketLength = 0xFFFF;

// XOR of buffer[start .. length - 1]; 0 when start >= length.
uint8_t PacketChecksum(const uint8_t* buffer, size_t length, size_t start);

// Builds one outgoing packet: the magic, a placeholder length and the code at
// construction, then the parameter bytes, then Finish.
class TPacketWriter {
public:
  explicit TPacketWriter(uint8_t code);

  void AppendU8(uint8_t v);
  void AppendU16BE(uint16_t v);
  void AppendU16LE(uint16_t v);
  void AppendU32LE(uint32_t v);
  void AppendF64LE(double v);
  void Append(std::span<const uint8_t> bytes);
  // Parameter bytes so far.
  size_t ParamSize() const { return bytes_.size() - PacketParamOffset; }

  // Appends the checksum and writes L. nullopt when L would not fit its 16 bits:
  // the receiver would cut the packet at the wrong place.
  std::optional<std::vector<uint8_t>> Finish();

private:
  std::vector<uint8_t> bytes_;
};

// Parameters handed over as (size, pointer): a 2-byte parameter is one 16-bit value
// in memory order and goes out big-endian; any other length is copied byte for byte.
void AppendCommandParams(TPacketWriter& packet, uint8_t size, const void* param);

// A complete packet whose length and checksum were checked. Offsets count from the
// magic. The accessors read parameter bytes only (7 .. L + 4); a read that does not
// fit returns 0, but decoders test Fits first and reject a short layout.
class TFrame {
public:
  TFrame() = default;
  TFrame(const uint8_t* packet, uint16_t length) : data_(packet), length_(length) {}

  uint16_t Length() const { return length_; }  // L
  uint8_t Code() const { return data_[PacketCodeOffset]; }
  size_t Size() const { return size_t{length_} + PacketHeaderSize; }
  const uint8_t* Data() const { return data_; }
  // One past the last parameter byte: L + 5 (the checksum's offset).
  size_t ParamEnd() const { return size_t{length_} + 5; }
  // True when bytes offset .. offset + width - 1 are parameter bytes.
  bool Fits(size_t offset, size_t width) const {
    return offset >= PacketParamOffset && offset <= ParamEnd() && width <= ParamEnd() - offset;
  }

  uint8_t U8(size_t offset) const { return Fits(offset, 1) ? data_[offset] : 0; }
  uint16_t U16BE(size_t offset) const;
  uint16_t U16LE(size_t offset) const;
  int16_t I16BE(size_t offset) const;
  int32_t I24BE(size_t offset) const;
  uint32_t U32LE(size_t offset) const;
  double F64LE(size_t offset) const;
  // Parameter bytes first .. last (inclusive), clipped to the parameter bytes; empty
  // when nothing of that range is a parameter byte.
  std::span<const uint8_t> ParamRange(size_t first, size_t last) const;

private:
  const uint8_t* data_ = nullptr;
  uint16_t length_ = 0;
};

enum TFrameStatus : uint8_t {
  fsIncomplete,   // fewer bytes than the length field says (or no length field yet)
  fsBadLength,    // L below 2: no room for the code and the checksum
  fsBadChecksum,
  fsValid
};

struct TFrameCheck {
  TFrameStatus Status = fsIncomplete;
  TFrame Frame;  // set when Status is fsValid
};

// Checks the packet whose magic starts bytes[0]. A device is untrusted: a length
// that cannot hold the code and the checksum is refused before anything is read.
TFrameCheck CheckFrame(std::span<const uint8_t> bytes);

// Offset of the first "QEL3" in bytes, or nullopt.
std::optional<size_t> FindPacketMagic(std::span<const uint8_t> bytes);
