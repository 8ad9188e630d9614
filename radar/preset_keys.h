#pragma once
// The preset key of a radar (PresetRadarTypeStr): the main window picks preset files
// by it. A radar of a multi-radar set (master or slave) is keyed by the set's device
// box, a single radar by its antenna-unit model.

#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>

// modeRadar: 0 single, 1 master, 2 slave (any other value counts as single).
QString PresetKey(uint8_t modeRadar, TTypeGPR radarType, TTypeGPRDevice typeGPRDevice);
