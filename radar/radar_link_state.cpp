#include "radar/radar_link_state.h"

std::atomic<int32_t> NewViewChannalCount{1};
std::atomic<uint8_t> AutoNumChannalRadar{0};
