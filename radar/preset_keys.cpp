#include "radar/preset_keys.h"

#include <array>
#include <initializer_list>

namespace {

struct TPresetGroup {
  const char* key;
  std::initializer_list<int> rows;
};

// Unit models that share a centre frequency share their presets.
const std::array<TPresetGroup, 13> kUnitPresets = {{
    {"125", {1, 4, 7, 10, 13, 37, 38}},
    {"300", {2, 5, 8, 11, 14, 31, 34}},
    {"700", {3, 6, 9, 12, 15, 30, 33, 36}},
    {"500", {16, 17, 18, 19, 32, 35}},
    {"070", {20, 21, 22, 23}},
    {"701", {24}},
    {"501", {25}},
    {"301", {26}},
    {"126", {27}},
    {"1500", {28, 29, 41, 42}},
    {"600", {39, 40}},
    {"900", {43}},
    {"1200", {52}},
}};

}  // namespace

QString PresetKey(TRadarRole modeRadar, TTypeGPR radarType, TTypeGPRDevice typeGPRDevice) {
  if (modeRadar == TRadarRole::master || modeRadar == TRadarRole::slave) {
    if (typeGPRDevice == tdBox01) return QStringLiteral("B-01");
    if (typeGPRDevice == tdBox02) return QStringLiteral("B-02");
    return QStringLiteral("Unknown");
  }
  for (const TPresetGroup& group : kUnitPresets) {
    for (int row : group.rows) {
      if (row == radarType) return QString::fromLatin1(group.key);
    }
  }
  return QStringLiteral("unknown");
}
