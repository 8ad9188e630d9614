#include "radar/command_blocks.h"

#include "platform/rtl/rounding.h"
#include "radar/byte_order.h"

#include <algorithm>

// ---- Load data ------------------------------------------------------------------------

uint16_t WindowCode(int64_t k, int64_t step, uint16_t shiftSlowRamp) {
  // Modulo 65536 of a possibly negative value: the low 16 bits of its two's complement.
  const int64_t code = 65535 - static_cast<int64_t>(shiftSlowRamp) - k * step;
  return static_cast<uint16_t>(code & 0xFFFF);
}

int WindowStep(uint8_t coef, uint8_t overStep) {
  return static_cast<int>(Round(static_cast<long double>(coef) * overStep));
}

bool PlacesTracesByDistance(TTopoType topoType) { return topoType != ttNil && topoType != ttGPS; }

uint8_t LoadDataDistanceSource(TTopoType topoType) {
  return PlacesTracesByDistance(topoType) ? 1 : static_cast<uint8_t>(topoType);
}

void AppendLoadDataBlock(TPacketWriter& packet, const TLoadDataBlock& block) {
  packet.AppendF64LE(block.PcTime);
  packet.AppendU8(block.Stacking);
  packet.AppendU16BE(block.WheelMult);
  packet.AppendU8(block.DistanceSource);
  for (int k = 0; k < block.WindowCount; ++k) packet.AppendU16BE(WindowCode(k, block.WindowStep, block.ShiftSlowRamp));
}

// ---- Stacking curve ---------------------------------------------------------------------

void AppendSteckingCurveBlock(TPacketWriter& packet, std::span<const TSteckingRun> runs) {
  packet.AppendU16BE(static_cast<uint16_t>(runs.size()));
  for (const TSteckingRun& run : runs) {
    const unsigned a = run.Start & 0xFFFu;
    const unsigned b = run.Count & 0xFFFu;
    packet.AppendU8(static_cast<uint8_t>(a));
    packet.AppendU8(static_cast<uint8_t>((a >> 8) << 4 | (b >> 8)));
    packet.AppendU8(static_cast<uint8_t>(b));
  }
}

// ---- File header --------------------------------------------------------------------------

void AppendFileHeaderBlock(TPacketWriter& packet, std::span<const uint8_t> file) {
  const uint16_t size = static_cast<uint16_t>(file.size() & 0xFFFF);
  packet.AppendU16LE(size);
  packet.Append(file.first(size));
}

// ---- Wi-Fi settings -------------------------------------------------------------------------

uint32_t WifiTagMask(std::initializer_list<uint8_t> tags) {
  uint32_t mask = 0;
  for (uint8_t tag : tags) {
    if (tag >= 1 && tag <= 32) mask |= 1u << (tag - 1);
  }
  return mask;
}

std::array<uint8_t, 4> WifiSettingsRequestParams(uint32_t mask) {
  return {static_cast<uint8_t>(mask), static_cast<uint8_t>(mask >> 8), static_cast<uint8_t>(mask >> 16),
          static_cast<uint8_t>(mask >> 24)};
}

namespace {

void AppendElement(std::vector<uint8_t>& out, uint8_t tag, std::span<const uint8_t> value) {
  // The length is one byte: a longer text is cut rather than wrapping the length.
  const size_t n = std::min<size_t>(value.size(), 255);
  out.push_back(tag);
  out.push_back(static_cast<uint8_t>(n));
  out.insert(out.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(n));
}

std::span<const uint8_t> BytesOf(const QByteArray& text) {
  return {reinterpret_cast<const uint8_t*>(text.constData()), static_cast<size_t>(text.size())};
}

}  // namespace

std::vector<uint8_t> WifiSettingsParams(const TWifiSettingsBlock& settings) {
  std::vector<uint8_t> out;
  const uint32_t mask = WifiTagMask({wtSsid, wtPassword, wtIpAddress, wtNetMask, wtTcpPort, wtMode,
                                     wtRadioChannel, wtUnknown7});
  AppendU32LE(out, mask);
  AppendElement(out, wtSsid, BytesOf(settings.Ssid));
  AppendElement(out, wtPassword, BytesOf(settings.Password));
  AppendElement(out, wtIpAddress, settings.IpAddress);
  AppendElement(out, wtNetMask, settings.NetMask);
  const std::array<uint8_t, 2> port = {static_cast<uint8_t>(settings.TcpPort >> 8),
                                       static_cast<uint8_t>(settings.TcpPort)};
  AppendElement(out, wtTcpPort, port);
  const std::array<uint8_t, 1> mode = {settings.WithRouter ? WifiModeWithRouter : WifiModeWithoutRouter};
  AppendElement(out, wtMode, mode);
  const std::array<uint8_t, 1> channel = {settings.WithRouter ? uint8_t{0} : settings.RadioChannel};
  AppendElement(out, wtRadioChannel, channel);
  const std::array<uint8_t, 1> tag7 = {12};
  AppendElement(out, wtUnknown7, tag7);
  return out;
}

// ---- Other fixed parameters ---------------------------------------------------------------

std::array<uint8_t, 7> NmeaConfigParams(uint8_t speedIndex, const QByteArray& sentenceName) {
  std::array<uint8_t, 7> params{};
  params[0] = speedIndex;
  const qsizetype dollar = sentenceName.indexOf('$');
  const QByteArray letters = sentenceName.mid(dollar < 0 ? 0 : dollar + 1, 5);
  for (qsizetype i = 0; i < letters.size(); ++i) params[static_cast<size_t>(1 + i)] = static_cast<uint8_t>(letters[i]);
  params[6] = 0;
  return params;
}

std::array<uint8_t, 3> ZeroOffsetParams(uint16_t zeroOffset) {
  return {16, static_cast<uint8_t>(zeroOffset >> 8), static_cast<uint8_t>(zeroOffset)};
}

std::array<uint8_t, 4> StepPerfomanceDelayParams(int8_t step) { return {static_cast<uint8_t>(step), 0, 0, 0}; }
