#pragma once
// Program-wide state of the radar link shared by the radars, the radar set and the
// windows. Any thread.

#include <atomic>
#include <cstdint>

// Channels of the set that the windows use for the next recording window.
extern std::atomic<int32_t> NewViewChannalCount;
// Numbers the radars that do not answer the master/slave query, in the order their
// queries time out. The main window resets it to 0 before it probes.
extern std::atomic<uint8_t> AutoNumChannalRadar;
