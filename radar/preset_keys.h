#pragma once
// The preset key of a radar (PresetRadarTypeStr): the main window picks preset files
// by it. A radar of a multi-radar set (master or slave) is keyed by the set's device
// box, a single radar by its antenna-unit model.

#include "profiledata/gpr_constants.h"
#include "radar/radar_role.h"

#include <QString>

#include <cstdint>

// A role beyond slave (unknown) counts as single.
QString PresetKey(TRadarRole modeRadar, TTypeGPR radarType, TTypeGPRDevice typeGPRDevice);
