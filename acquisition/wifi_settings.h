#pragma once
// The radar Wi-Fi settings as the general preferences dialog reads, edits and
// stores them: which antenna models carry a Wi-Fi module, and the tag list the
// store command carries (radar/command_blocks.h builds it).
//
// Threads: any thread; nothing here is shared.

#include "platform/rtl/resource_strings.h"
#include "profiledata/gpr_constants.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

RESOURCESTRING(SWifiSettingsTooLong,
               "The SSID and the password are too long: together they may hold at most %d characters.");

namespace wifi_settings {

// The parameter block of the Wi-Fi commands is at most this long (its length
// goes in one byte).
constexpr int MaxPayload = 255;
// What SSID and password may hold together: 255 - 4 (mask) - 16 (eight tags and
// lengths) - 13 (the fixed values).
constexpr int MaxTextLength = 222;
// The channel an access point takes when the mode is chosen.
constexpr int DefaultChannel = 5;
// The firmware that first answers the settings request.
constexpr uint16_t FirstFirmware = 6;

// The antenna model carries a Wi-Fi module.
bool IsWiFiCapableModel(TTypeGPR type);

// The values of the Wi-Fi tab.
struct TWifiEdits {
  QString Ssid;
  QString Password;
  std::array<int, 4> Ip{};
  std::array<int, 4> Mask{255, 255, 255, 255};
  int Port = 2000;
  bool WithoutRouter = true;  // the module opens its own access point
  int Channel = DefaultChannel;
};

// The store command's parameters: the tag mask, then tags 1 (SSID), 2
// (password), both in the ANSI code page, 13 (address), 17 (mask), 16 (port,
// high byte first), 10 (mode: 7 access point, 1 router), 3 (channel; 0 with a
// router) and 7 (the value 12). None when it would pass MaxPayload bytes.
std::optional<std::vector<uint8_t>> StorePayload(const TWifiEdits& edits);

// The request's four parameter bytes: the mask of tags 1, 2, 3, 10, 13, 16, 17.
std::array<uint8_t, 4> RequestParams();

}  // namespace wifi_settings
