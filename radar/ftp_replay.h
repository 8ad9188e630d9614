#pragma once
// The progress of a replayed backup, shown as the width of the progress image in
// the channel's progress panel:
//   percent = round((S - E) x 100 / S),  width = round(percent x W / 100)
// S the bytes loaded, E the bytes remaining, W the width of the window's progress
// panel; rounding is half to even. Pure code.

#include <cstdint>

// 0 when nothing was loaded.
int32_t ReplayPercent(int64_t loaded, int64_t remaining);
int32_t ReplayProgressWidth(int32_t percent, int32_t panelWidth);
