#pragma once
// The greeting a Wi-Fi radar sends when a TCP client connects (up to 17 bytes):
//   0   7 bytes identification: "QEL3PTR" Wi-Fi modem radar, "QEL5PTR" single-board computer
//   7   firmware number            } single-board computer only
//   8   radar state (TWiFiRadarState)
//   9   f64 LE: PC time of the load-data command that started the current recording
// "QEL3PTR" may also turn up inside the packet stream, where it is discarded. Pure code.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

enum TTypeWiFiRadar : uint8_t { TRWiFiModem, TRRasberry };
enum TWiFiRadarState : uint8_t { crsUnInit, crsConfigured, crsRunning, crsInPprogress };

inline constexpr size_t TcpGreetingLength = 17;
inline constexpr size_t TcpGreetingIdLength = 7;
inline constexpr std::array<uint8_t, 7> WiFiModemGreeting = {'Q', 'E', 'L', '3', 'P', 'T', 'R'};
inline constexpr std::array<uint8_t, 7> RasberryGreeting = {'Q', 'E', 'L', '5', 'P', 'T', 'R'};

struct TTcpGreeting {
  TTypeWiFiRadar TypeWiFiRadar = TRWiFiModem;
  uint8_t FNumVer = 0;
  TWiFiRadarState RadarStatus = crsUnInit;  // raw byte
  std::array<uint8_t, 8> TimeStamp{};
  double TimeStampValue() const;
};

// nullopt unless the first 7 bytes are one of the two identifications. Fields of a
// single-board-computer greeting cut short by the connection read as zero bytes.
std::optional<TTcpGreeting> DecodeTcpGreeting(std::span<const uint8_t> received);

// True when bytes start with "QEL3PTR".
bool StartsWithStreamGreeting(std::span<const uint8_t> bytes);
