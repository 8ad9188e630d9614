// The number of channels of the next window is the one the radar set counts
// (radar_link_state.h). That header names the variable as this library names
// its accessor, so the two meet only here.

#include "radar/radar_link_state.h"

namespace view2d_detail {
int LoadNewViewChannalCount() { return NewViewChannalCount.load(); }
void StoreNewViewChannalCount(int value) { NewViewChannalCount.store(value); }
}  // namespace view2d_detail
