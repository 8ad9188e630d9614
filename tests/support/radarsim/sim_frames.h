#pragma once
// The radar side of the packet protocol, written from the protocol tables alone:
// framing ("QEL3", u16 BE length L = code + parameters + checksum, code,
// parameters, XOR of code and parameters), the commands a unit receives, and the
// trace packets it streams. Nothing here uses the program's own protocol code, so
// the simulator checks the program's decoders instead of agreeing with them.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace radarsim {

using TBytes = std::vector<uint8_t>;

TBytes EncodeFrame(uint8_t code, std::span<const uint8_t> params);

struct TSimCommand {
  uint8_t Code = 0;
  TBytes Params;
};

// Collects the program's bytes and yields its commands; bytes before a magic and
// frames with a wrong checksum are dropped, as a unit does.
class TCommandReader {
public:
  void Feed(std::span<const uint8_t> bytes);
  std::optional<TSimCommand> Next();

private:
  TBytes held_;
};

enum TTraceFormat : uint8_t {
  tfReadydata2,  // 0x66: 24-bit samples up to firmware 16, 16-bit from 17 on
  tfReadydata3   // 0xDA: numbered traces, always 16-bit samples
};

struct TTraceSpec {
  uint16_t Firmware = 19;
  TTraceFormat Format = tfReadydata2;
  uint32_t Index = 1;          // the trace number, counted from 1
  int Samples = 500;
  std::string Nmea;
  uint8_t Collision = 1;
  bool Backward = false;
  uint8_t SpeedLimit = 0;
  std::array<int16_t, 4> Accelerometer{};
};

// True when the unit sends 24-bit samples for this format and firmware.
bool WideSamples(TTraceFormat format, uint16_t firmware);
// The test signal: sample k of trace `index`, within 16 or 24 bits. Its bytes never
// form the packet magic.
int32_t SampleValue(uint32_t index, int k, bool wide);
// The header length H of a trace with an NMEA text of n characters.
uint16_t TraceHeaderLength(uint16_t firmware, size_t nmeaLength);
TBytes EncodeTrace(const TTraceSpec& spec);

// The greetings a Wi-Fi unit sends when a client connects.
TBytes ModemGreeting();
TBytes BoardGreeting(uint8_t firmware, uint8_t state, double timeStamp);

}  // namespace radarsim
