#include "acquisition/wifi_settings.h"

#include "platform/rtl/ansi.h"
#include "radar/command_blocks.h"

#include <algorithm>

namespace wifi_settings {

bool IsWiFiCapableModel(TTypeGPR type) {
  const int t = type;
  return (t >= 10 && t <= 15) || t == 18 || t == 19 || t == 22 || t == 23 || (t >= 34 && t <= 36) || t == 38 ||
         t == 40 || t == 42 || t == 44 || t == 52;
}

std::optional<std::vector<uint8_t>> StorePayload(const TWifiEdits& edits) {
  const auto byte = [](int value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); };
  TWifiSettingsBlock block;
  block.Ssid = StringToAnsi(edits.Ssid);
  block.Password = StringToAnsi(edits.Password);
  if (block.Ssid.size() + block.Password.size() > MaxTextLength) return std::nullopt;
  for (size_t i = 0; i < 4; ++i) {
    block.IpAddress[i] = byte(edits.Ip[i]);
    block.NetMask[i] = byte(edits.Mask[i]);
  }
  block.TcpPort = static_cast<uint16_t>(std::clamp(edits.Port, 0, 65535));
  block.WithRouter = !edits.WithoutRouter;
  block.RadioChannel = byte(edits.Channel);
  std::vector<uint8_t> payload = WifiSettingsParams(block);
  if (payload.size() > MaxPayload) return std::nullopt;
  return payload;
}

std::array<uint8_t, 4> RequestParams() { return WifiSettingsRequestParams(WifiSettingsRequestMask); }

}  // namespace wifi_settings
