#include "radar/trc_header.h"

#include <algorithm>
#include <array>

TTrcHeader CheckTrcHeader(std::span<const uint8_t> file) {
  static constexpr std::array<uint8_t, 5> kMagic = {'Q', 'E', 'L', 'S', 'V'};
  static constexpr std::array<uint8_t, 3> kFormat = {'T', '1', '6'};
  TTrcHeader header;
  if (file.size() < TrcMinUsableSize) return header;
  if (!std::equal(kMagic.begin(), kMagic.end(), file.begin())) {
    header.Check = tcNoMagic;
    return header;
  }
  header.Version = file[5];
  header.Check = std::equal(kFormat.begin(), kFormat.end(), file.begin() + 6) ? tcUsable : tcNoFormat;
  return header;
}
