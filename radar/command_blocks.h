#pragma once
// The parameter blocks of the commands the program builds: load data (0x52), the
// stacking curve (0xA9), the file header (0xE4), the Wi-Fi settings (0x6D) and the
// small fixed parameters of the other commands. Pure code: the radar object fills
// the inputs from the channel settings (radar.h).

#include "profiledata/gpr_constants.h"
#include "profiledata/setting_data.h"
#include "radar/packet.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

// ---- Load data (0x52) ---------------------------------------------------------------

// Packet offsets: 7 f64 LE PC time, 15 stacking, 16 u16 BE wheel multiplier,
// 18 distance source, 19 WindowCount x u16 BE window codes.
struct TLoadDataBlock {
  double PcTime = 0;             // days since 1899-12-30, as held in memory
  uint8_t Stacking = 10;
  uint16_t WheelMult = 1;
  uint8_t DistanceSource = 0;
  int WindowCount = 500;         // N, samples per trace
  int WindowStep = 16;           // c, code step between samples
  uint16_t ShiftSlowRamp = 32000;
};

inline constexpr uint16_t DefaultShiftSlowRamp = 32000;

// W(k) = (65535 - shiftSlowRamp - k x step) mod 65536.
uint16_t WindowCode(int64_t k, int64_t step, uint16_t shiftSlowRamp);
// c = round(coef x overStep), half to even.
int WindowStep(uint8_t coef, uint8_t overStep);
// ttNil and ttGPS do not place traces by distance.
bool PlacesTracesByDistance(TTopoType topoType);
// The distance-source byte of a channel: 1 for a source with a trace step, else the
// TopoType value itself (0 or 2).
uint8_t LoadDataDistanceSource(TTopoType topoType);

void AppendLoadDataBlock(TPacketWriter& packet, const TLoadDataBlock& block);

// ---- Stacking curve (0xA9) ------------------------------------------------------------

// The entry of a window-less load: A = 0, B = 1.
inline constexpr TSteckingRun DefaultSteckingEntry{0, 1};

// u16 BE entry count M, then per run 3 bytes with A (start sample) and B (stack
// count) as 12-bit values: A[7..0]; A[11..8] << 4 | B[11..8]; B[7..0].
void AppendSteckingCurveBlock(TPacketWriter& packet, std::span<const TSteckingRun> runs);

// ---- File header (0xE4) -----------------------------------------------------------------

// u16 LE S = file size mod 65536, then the first S bytes of the file.
void AppendFileHeaderBlock(TPacketWriter& packet, std::span<const uint8_t> file);

// ---- Wi-Fi settings (0x6B request, 0x6D store) ---------------------------------------------

// Bit t - 1 for each tag t.
uint32_t WifiTagMask(std::initializer_list<uint8_t> tags);
// Tags 1, 2, 3, 10, 13, 16, 17: what the preferences dialog asks a radar for.
inline constexpr uint32_t WifiSettingsRequestMask = 0x00019207;
// The 4-byte parameter of bcpGetWifiSettings: the mask little-endian.
std::array<uint8_t, 4> WifiSettingsRequestParams(uint32_t mask);

enum TWifiTag : uint8_t {
  wtSsid = 1, wtPassword = 2, wtRadioChannel = 3, wtUnknown7 = 7, wtMode = 10, wtIpAddress = 13,
  wtTcpPort = 16, wtNetMask = 17
};
inline constexpr uint8_t WifiModeWithoutRouter = 7;
inline constexpr uint8_t WifiModeWithRouter = 1;

struct TWifiSettingsBlock {
  QByteArray Ssid;                      // 8-bit text, at most 255 bytes are sent
  QByteArray Password;                  // 8-bit text, at most 255 bytes are sent
  std::array<uint8_t, 4> IpAddress{};   // first octet first
  std::array<uint8_t, 4> NetMask{};
  uint16_t TcpPort = 0;
  bool WithRouter = false;
  uint8_t RadioChannel = 0;             // used without a router; 0 is sent with one
};

// u32 LE tag mask, then (tag, length, value) in the order 1, 2, 13, 17, 16, 10, 3, 7.
std::vector<uint8_t> WifiSettingsParams(const TWifiSettingsBlock& settings);

// ---- Other fixed parameters --------------------------------------------------------------

// bcpLoadNMEICfg: the speed index, the five letters after "$" of the sentence name
// (a name without "$" is taken from its start; missing letters are sent as 0), and 0.
std::array<uint8_t, 7> NmeaConfigParams(uint8_t speedIndex, const QByteArray& sentenceName);
// bcpSetZeroOffset: 16, high byte, low byte.
std::array<uint8_t, 3> ZeroOffsetParams(uint16_t zeroOffset);
// bcpGetEepromStorage.
inline constexpr std::array<uint8_t, 3> EepromStorageParams = {0x00, 0x04, 0x00};
// bcpStepPerfomanceDelay: the signed step, then 0, 0, 0.
std::array<uint8_t, 4> StepPerfomanceDelayParams(int8_t step);
