#include "radar/tcp_greeting.h"

#include "radar/byte_order.h"

#include <algorithm>

namespace {

bool StartsWith(std::span<const uint8_t> bytes, const std::array<uint8_t, 7>& id) {
  return bytes.size() >= id.size() && std::equal(id.begin(), id.end(), bytes.begin());
}

}  // namespace

double TTcpGreeting::TimeStampValue() const { return ReadF64LE(TimeStamp.data()); }

std::optional<TTcpGreeting> DecodeTcpGreeting(std::span<const uint8_t> received) {
  TTcpGreeting greeting;
  if (StartsWith(received, WiFiModemGreeting)) {
    greeting.TypeWiFiRadar = TRWiFiModem;
    return greeting;
  }
  if (!StartsWith(received, RasberryGreeting)) return std::nullopt;
  std::array<uint8_t, TcpGreetingLength> bytes{};
  std::copy_n(received.begin(), std::min(received.size(), bytes.size()), bytes.begin());
  greeting.TypeWiFiRadar = TRRasberry;
  greeting.FNumVer = bytes[7];
  greeting.RadarStatus = static_cast<TWiFiRadarState>(bytes[8]);
  std::copy_n(bytes.begin() + 9, 8, greeting.TimeStamp.begin());
  return greeting;
}

bool StartsWithStreamGreeting(std::span<const uint8_t> bytes) { return StartsWith(bytes, WiFiModemGreeting); }
