#include "radar/packet.h"

#include "radar/byte_order.h"

#include <algorithm>
#include <cstring>

uint8_t PacketChecksum(const uint8_t* buffer, size_t length, size_t start) {
  uint8_t sum = 0;
  for (size_t i = start; i < length; ++i) sum ^= buffer[i];
  return sum;
}

// ---- TPacketWriter ----------------------------------------------------------------

TPacketWriter::TPacketWriter(uint8_t code) {
  bytes_.reserve(64);
  bytes_.insert(bytes_.end(), PacketMagic.begin(), PacketMagic.end());
  bytes_.push_back(0);
  bytes_.push_back(0);
  bytes_.push_back(code);
}

void TPacketWriter::AppendU8(uint8_t v) { ::AppendU8(bytes_, v); }
void TPacketWriter::AppendU16BE(uint16_t v) { ::AppendU16BE(bytes_, v); }
void TPacketWriter::AppendU16LE(uint16_t v) { ::AppendU16LE(bytes_, v); }
void TPacketWriter::AppendU32LE(uint32_t v) { ::AppendU32LE(bytes_, v); }
void TPacketWriter::AppendF64LE(double v) { ::AppendF64LE(bytes_, v); }
void TPacketWriter::Append(std::span<const uint8_t> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

std::optional<std::vector<uint8_t>> TPacketWriter::Finish() {
  // L = code + parameters + checksum = everything after the length field, plus one.
  const size_t length = bytes_.size() - PacketHeaderSize + 1;
  if (length > MaxPacketLength) return std::nullopt;
  std::vector<uint8_t> packet = std::move(bytes_);
  bytes_.clear();
  packet.push_back(PacketChecksum(packet.data(), packet.size(), PacketCodeOffset));
  packet[4] = static_cast<uint8_t>(length >> 8);
  packet[5] = static_cast<uint8_t>(length);
  return packet;
}

void AppendCommandParams(TPacketWriter& packet, uint8_t size, const void* param) {
  if (size == 0 || !param) return;
  const auto* bytes = static_cast<const uint8_t*>(param);
  if (size == 2) {
    uint16_t value;
    std::memcpy(&value, bytes, 2);
    packet.AppendU16BE(value);
    return;
  }
  packet.Append({bytes, size});
}

// ---- TFrame -----------------------------------------------------------------------

uint16_t TFrame::U16BE(size_t offset) const { return Fits(offset, 2) ? ReadU16BE(data_ + offset) : 0; }
uint16_t TFrame::U16LE(size_t offset) const { return Fits(offset, 2) ? ReadU16LE(data_ + offset) : 0; }
int16_t TFrame::I16BE(size_t offset) const { return Fits(offset, 2) ? ReadI16BE(data_ + offset) : 0; }
int32_t TFrame::I24BE(size_t offset) const { return Fits(offset, 3) ? ReadI24BE(data_ + offset) : 0; }
uint32_t TFrame::U32LE(size_t offset) const { return Fits(offset, 4) ? ReadU32LE(data_ + offset) : 0; }
double TFrame::F64LE(size_t offset) const { return Fits(offset, 8) ? ReadF64LE(data_ + offset) : 0.0; }

std::span<const uint8_t> TFrame::ParamRange(size_t first, size_t last) const {
  const size_t begin = std::max(first, PacketParamOffset);
  const size_t end = std::min(last + 1, ParamEnd());  // exclusive
  if (last + 1 == 0 || begin >= end) return {};
  return {data_ + begin, end - begin};
}

// ---- Checking ---------------------------------------------------------------------

TFrameCheck CheckFrame(std::span<const uint8_t> bytes) {
  TFrameCheck result;
  if (bytes.size() <= PacketHeaderSize) return result;
  const uint16_t length = ReadU16BE(bytes.data() + 4);
  if (length < MinPacketLength) {
    result.Status = fsBadLength;
    return result;
  }
  if (bytes.size() - PacketHeaderSize < length) return result;
  const size_t checksumAt = PacketHeaderSize + length - 1;
  if (PacketChecksum(bytes.data(), checksumAt, PacketCodeOffset) != bytes[checksumAt]) {
    result.Status = fsBadChecksum;
    return result;
  }
  result.Status = fsValid;
  result.Frame = TFrame(bytes.data(), length);
  return result;
}

std::optional<size_t> FindPacketMagic(std::span<const uint8_t> bytes) {
  const auto it = std::search(bytes.begin(), bytes.end(), PacketMagic.begin(), PacketMagic.end());
  if (it == bytes.end()) return std::nullopt;
  return static_cast<size_t>(it - bytes.begin());
}
