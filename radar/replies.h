#pragma once
// Decoders of the replies and reports the program reads, one per layout. Each takes a
// checked frame (packet.h) and returns nullopt when its layout does not fit the
// frame's parameter bytes: a device is untrusted, so nothing is read past them.
// What the program does with each value is the reader thread's business.
//
// Byte n below is packet offset n (parameter byte n - 7).

#include "radar/packet.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// 0x31: bytes 7..8 firmware version, u16 BE.
std::optional<uint16_t> DecodeFirmwareVersion(const TFrame& frame);

// 0x3B: bytes 7..14 four receiver values (channels 0..3), u16 BE.
std::optional<std::array<uint16_t, 4>> DecodeRxVolumes(const TFrame& frame);
// 0x3F, 0x43, 0x47, 0x4B: bytes 7..8 one receiver value, u16 BE.
std::optional<uint16_t> DecodeRxVolume(const TFrame& frame);

// 0x5C: the NMEA text in bytes 7 .. L + 4, one 8-bit character per byte (may be empty).
QString DecodeGpsText(const TFrame& frame);

// 0x5E: bytes 7..8 slow-ramp shift, u16 BE.
std::optional<uint16_t> DecodeSlowRamp(const TFrame& frame);

// 0x63: byte 7 speed index, bytes 8..12 the five letters of the sentence name.
struct TNmeaConfig {
  uint8_t SpeedIndex = 0;
  std::array<uint8_t, 5> SentenceName{};
};
std::optional<TNmeaConfig> DecodeNmeaConfig(const TFrame& frame);

// 0x65: byte 7 antenna-unit type; byte 8 supply code (bits 0..4 = v, 10 + 0.1 v volts);
// bytes 9..16 the radar's loading time, f64 LE; bytes 17 .. L + 4 NMEA text.
struct TPong {
  uint8_t RadarType = 0;  // raw byte; table lookups check the range
  double Power = 0;       // volts
  double RadarLoading = 0;
  QString Nmea;
};
std::optional<TPong> DecodePong(const TFrame& frame);
// 10 + 0.1 x (code and 31) volts; bits 5..7 are not part of the voltage.
double SupplyVoltage(uint8_t code);

// 0x68: bytes 7..8 serial number, u16 BE.
std::optional<uint16_t> DecodeSerialNumber(const TFrame& frame);

// 0x6C: (tag, length n, value) elements from byte 7 while a tag and its length lie in
// the parameter bytes; an element whose value runs past them ends the list, and an
// element too short for its tag's value is skipped.
struct TWifiSettingsReply {
  std::optional<QString> Ssid;            // tag 1
  std::optional<QString> Password;        // tag 2
  std::optional<uint8_t> RadioChannel;    // tag 3
  std::optional<uint8_t> Mode;            // tag 10: 7 without router, 1 with router
  std::optional<std::array<uint8_t, 4>> IpAddress;  // tag 13, first octet first
  std::optional<uint16_t> TcpPort;        // tag 16, BE
  std::optional<std::array<uint8_t, 4>> NetMask;    // tag 17
};
TWifiSettingsReply DecodeWifiSettings(const TFrame& frame);

// 0x84: byte 7 a tick value forwarded unchanged; byte 8 direction (0 forward).
struct TWheelTick {
  uint8_t Tick = 0;
  uint8_t Direction = 0;
  bool Backward() const { return Direction != 0; }
};
std::optional<TWheelTick> DecodeWheelTick(const TFrame& frame);

// 0xB5 performance delay, 0xB9 master/slave mode (0 single, 1 master, 2 slave),
// 0xC1 without-acknowledgement flag: byte 7.
std::optional<uint8_t> DecodeFirstParam(const TFrame& frame);

// 0xC5 and 0xE3: byte 8 device-box type, bytes 9..10 device-box serial u16 LE,
// byte 11 inclinometer mounting.
struct TEepromStorage {
  uint8_t DeviceType = 0;  // raw byte: bit 7 may be set (see the radar set)
  uint16_t DeviceSerial = 0;
  uint8_t InclinometersSett = 0;
};
std::optional<TEepromStorage> DecodeEepromStorage(const TFrame& frame);

// 0xC9: byte 7 channel of this radar; byte 8 radars in the set; bytes 9..10 offset X,
// i16 BE; bytes 11..12 offset Y, i16 BE; bytes 13..14 zero offset, u16 BE.
struct TMasterSlaveState {
  uint8_t Channel = 0;
  uint8_t RadarCount = 0;
  int16_t Xoffset = 0;
  int16_t Yoffset = 0;
  uint16_t ZeroOffset = 0;
};
std::optional<TMasterSlaveState> DecodeMasterSlaveState(const TFrame& frame);

// 0xDB: byte 8 the current speed limit.
std::optional<uint8_t> DecodeSpeedLimit(const TFrame& frame);

// 0xE1: byte 7 one character; bytes 8..16 nine status bytes, byte 8 the Wi-Fi radar state.
struct TStatusReply {
  uint8_t Marker = 0;
  std::array<uint8_t, 9> Status{};
  uint8_t WiFiRadarState() const { return Status[0]; }
};
std::optional<TStatusReply> DecodeStatus(const TFrame& frame);
