#pragma once
// The recording file of a single-board-computer radar ("trace<channel>.trc", fetched
// by FTP):
//   0   "QELSV"
//   5   file version
//   6   "T16"
//   9   16 bytes, then 1 byte, not used
//   26  a 2-byte prefix and a multi-channel settings container, then the packets the
//       radar sent during the recording, to the end of the file. Pure code.

#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr size_t TrcMinUsableSize = 51;  // 50 bytes or less hold no recording
inline constexpr size_t TrcContainerOffset = 26;

enum TTrcCheck : uint8_t {
  tcTooShort,   // ignored without a message
  tcNoMagic,    // first five bytes are not "QELSV"
  tcNoFormat,   // bytes 6..8 are not "T16"
  tcUsable
};

struct TTrcHeader {
  TTrcCheck Check = tcTooShort;
  uint8_t Version = 0;  // set from tcNoFormat on
};

TTrcHeader CheckTrcHeader(std::span<const uint8_t> file);
