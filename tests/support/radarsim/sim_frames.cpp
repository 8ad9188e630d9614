#include "tests/support/radarsim/sim_frames.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace radarsim {

namespace {
constexpr uint8_t kMagic[4] = {'Q', 'E', 'L', '3'};

void PutU16BE(TBytes& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}
}  // namespace

TBytes EncodeFrame(uint8_t code, std::span<const uint8_t> params) {
  TBytes out(kMagic, kMagic + 4);
  PutU16BE(out, static_cast<uint16_t>(params.size() + 2));
  out.push_back(code);
  uint8_t sum = code;
  for (uint8_t b : params) {
    out.push_back(b);
    sum ^= b;
  }
  out.push_back(sum);
  return out;
}

void TCommandReader::Feed(std::span<const uint8_t> bytes) { held_.insert(held_.end(), bytes.begin(), bytes.end()); }

std::optional<TSimCommand> TCommandReader::Next() {
  for (;;) {
    const auto magic = std::search(held_.begin(), held_.end(), kMagic, kMagic + 4);
    held_.erase(held_.begin(), magic);
    if (held_.size() < 8) return std::nullopt;
    const size_t length = size_t{held_[4]} << 8 | held_[5];
    if (length < 2) {
      held_.erase(held_.begin());
      continue;
    }
    if (held_.size() < length + 6) return std::nullopt;
    uint8_t sum = 0;
    for (size_t k = 6; k < 6 + length - 1; ++k) sum ^= held_[k];
    if (sum != held_[6 + length - 1]) {
      held_.erase(held_.begin());
      continue;
    }
    TSimCommand command;
    command.Code = held_[6];
    command.Params.assign(held_.begin() + 7, held_.begin() + 6 + static_cast<std::ptrdiff_t>(length) - 1);
    held_.erase(held_.begin(), held_.begin() + 6 + static_cast<std::ptrdiff_t>(length));
    return command;
  }
}

bool WideSamples(TTraceFormat format, uint16_t firmware) { return format == tfReadydata2 && firmware <= 16; }

int32_t SampleValue(uint32_t index, int k, bool wide) {
  // |value| <= 2000 (16 bits) or 4000000 (24 bits): the top byte of a sample is
  // never 'Q', 'E' or 'L', so no run of sample bytes spells the magic.
  if (wide) return static_cast<int32_t>((uint64_t{index} * 7919 + uint64_t(k) * 104729) % 8000001) - 4000000;
  return static_cast<int32_t>((uint64_t{index} * 37 + uint64_t(k) * 11) % 4001) - 2000;
}

uint16_t TraceHeaderLength(uint16_t firmware, size_t nmeaLength) {
  // The text runs from byte 30 (29 before firmware 5) through byte H + 5.
  const size_t textStart = firmware >= 5 ? 30 : 29;
  return static_cast<uint16_t>(textStart - 6 + nmeaLength);
}

TBytes EncodeTrace(const TTraceSpec& spec) {
  const bool wide = WideSamples(spec.Format, spec.Firmware);
  const uint16_t h = TraceHeaderLength(spec.Firmware, spec.Nmea.size());
  // params[k] is packet byte 7 + k.
  TBytes params(size_t{h} + 1, 0);  // bytes 7 .. H + 7
  auto at = [&params](size_t offset) -> uint8_t& { return params[offset - 7]; };
  at(7) = static_cast<uint8_t>(h >> 8);
  at(8) = static_cast<uint8_t>(h);
  for (int a = 0; a < 4; ++a) {
    const auto v = static_cast<uint16_t>(spec.Accelerometer[a]);
    at(18 + 2 * a) = static_cast<uint8_t>(v >> 8);
    at(19 + 2 * a) = static_cast<uint8_t>(v);
  }
  at(26) = spec.SpeedLimit;
  at(28) = spec.Collision;
  size_t text = 29;
  if (spec.Firmware >= 5) {
    at(29) = static_cast<uint8_t>((spec.Index & 0x7F) << 1 | (spec.Backward ? 1 : 0));
    text = 30;
  }
  std::copy(spec.Nmea.begin(), spec.Nmea.end(), params.begin() + static_cast<std::ptrdiff_t>(text - 7));
  if (spec.Format == tfReadydata3) {
    at(size_t{h} + 6) = static_cast<uint8_t>(spec.Index >> 8);
    at(size_t{h} + 7) = static_cast<uint8_t>(spec.Index);
  }
  for (int k = 0; k < spec.Samples; ++k) {
    const auto v = static_cast<uint32_t>(SampleValue(spec.Index, k, wide));
    if (wide) params.push_back(static_cast<uint8_t>(v >> 16));
    params.push_back(static_cast<uint8_t>(v >> 8));
    params.push_back(static_cast<uint8_t>(v));
  }
  return EncodeFrame(spec.Format == tfReadydata3 ? 0xDA : 0x66, params);
}

TBytes ModemGreeting() { return {'Q', 'E', 'L', '3', 'P', 'T', 'R'}; }

TBytes BoardGreeting(uint8_t firmware, uint8_t state, double timeStamp) {
  TBytes out = {'Q', 'E', 'L', '5', 'P', 'T', 'R', firmware, state};
  const auto bits = std::bit_cast<uint64_t>(timeStamp);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
  return out;
}

}  // namespace radarsim
