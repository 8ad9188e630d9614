#include "radar/replies.h"

#include "platform/rtl/ansi.h"

namespace {

QString TextOf(std::span<const uint8_t> bytes) {
  return AnsiToString(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

std::optional<uint16_t> U16At7(const TFrame& frame) {
  if (!frame.Fits(7, 2)) return std::nullopt;
  return frame.U16BE(7);
}

std::array<uint8_t, 4> FourBytes(const TFrame& frame, size_t offset) {
  return {frame.U8(offset), frame.U8(offset + 1), frame.U8(offset + 2), frame.U8(offset + 3)};
}

}  // namespace

std::optional<uint16_t> DecodeFirmwareVersion(const TFrame& frame) { return U16At7(frame); }
std::optional<uint16_t> DecodeRxVolume(const TFrame& frame) { return U16At7(frame); }
std::optional<uint16_t> DecodeSlowRamp(const TFrame& frame) { return U16At7(frame); }
std::optional<uint16_t> DecodeSerialNumber(const TFrame& frame) { return U16At7(frame); }

std::optional<std::array<uint16_t, 4>> DecodeRxVolumes(const TFrame& frame) {
  if (!frame.Fits(7, 8)) return std::nullopt;
  return std::array<uint16_t, 4>{frame.U16BE(7), frame.U16BE(9), frame.U16BE(11), frame.U16BE(13)};
}

QString DecodeGpsText(const TFrame& frame) { return TextOf(frame.ParamRange(7, frame.ParamEnd() - 1)); }

std::optional<TNmeaConfig> DecodeNmeaConfig(const TFrame& frame) {
  if (!frame.Fits(7, 6)) return std::nullopt;
  TNmeaConfig config;
  config.SpeedIndex = frame.U8(7);
  for (size_t i = 0; i < config.SentenceName.size(); ++i) config.SentenceName[i] = frame.U8(8 + i);
  return config;
}

double SupplyVoltage(uint8_t code) { return 10 + 0.1 * (code & 31); }

std::optional<TPong> DecodePong(const TFrame& frame) {
  if (!frame.Fits(7, 10)) return std::nullopt;
  TPong pong;
  pong.RadarType = frame.U8(7);
  pong.Power = SupplyVoltage(frame.U8(8));
  pong.RadarLoading = frame.F64LE(9);
  pong.Nmea = TextOf(frame.ParamRange(17, frame.ParamEnd() - 1));
  return pong;
}

TWifiSettingsReply DecodeWifiSettings(const TFrame& frame) {
  TWifiSettingsReply reply;
  size_t at = 7;
  while (frame.Fits(at, 2)) {
    const uint8_t tag = frame.U8(at);
    const size_t n = frame.U8(at + 1);
    const size_t value = at + 2;
    // n may be 0: the value is then empty and the next element follows at once.
    if (n > 0 && !frame.Fits(value, n)) break;
    switch (tag) {
      case 1: reply.Ssid = TextOf(frame.ParamRange(value, value + n - 1)); break;
      case 2: reply.Password = TextOf(frame.ParamRange(value, value + n - 1)); break;
      case 3: if (n >= 1) reply.RadioChannel = frame.U8(value); break;
      case 10: if (n >= 1) reply.Mode = frame.U8(value); break;
      case 13: if (n >= 4) reply.IpAddress = FourBytes(frame, value); break;
      case 16: if (n >= 2) reply.TcpPort = frame.U16BE(value); break;
      case 17: if (n >= 4) reply.NetMask = FourBytes(frame, value); break;
      default: break;
    }
    at = value + n;
  }
  return reply;
}

std::optional<TWheelTick> DecodeWheelTick(const TFrame& frame) {
  if (!frame.Fits(7, 2)) return std::nullopt;
  return TWheelTick{frame.U8(7), frame.U8(8)};
}

std::optional<uint8_t> DecodeFirstParam(const TFrame& frame) {
  if (!frame.Fits(7, 1)) return std::nullopt;
  return frame.U8(7);
}

std::optional<TEepromStorage> DecodeEepromStorage(const TFrame& frame) {
  if (!frame.Fits(8, 4)) return std::nullopt;
  return TEepromStorage{frame.U8(8), frame.U16LE(9), frame.U8(11)};
}

std::optional<TMasterSlaveState> DecodeMasterSlaveState(const TFrame& frame) {
  if (!frame.Fits(7, 8)) return std::nullopt;
  return TMasterSlaveState{frame.U8(7), frame.U8(8), frame.I16BE(9), frame.I16BE(11), frame.U16BE(13)};
}

std::optional<uint8_t> DecodeSpeedLimit(const TFrame& frame) {
  if (!frame.Fits(8, 1)) return std::nullopt;
  return frame.U8(8);
}

std::optional<TStatusReply> DecodeStatus(const TFrame& frame) {
  if (!frame.Fits(7, 10)) return std::nullopt;
  TStatusReply status;
  status.Marker = frame.U8(7);
  for (size_t i = 0; i < status.Status.size(); ++i) status.Status[i] = frame.U8(8 + i);
  return status;
}
