#pragma once
// Program-wide state of the radar link shared by the radars, the radar set and the
// windows. Any thread.

#include "profiledata/gpr_constants.h"

#include <QString>

#include <atomic>
#include <cstdint>

// Channels of the set that the windows use for the next recording window.
extern std::atomic<int32_t> NewViewChannalCount;
// Numbers the radars that do not answer the master/slave query, in the order their
// queries time out. The main window resets it to 0 before it probes.
extern std::atomic<uint8_t> AutoNumChannalRadar;

// Direction of the master radar's last trace; slaves take it for theirs.
extern std::atomic<TDirectForCart> MasterDirection;
// Set while a master hands a trace over, so that two master hand-overs never overlap.
extern std::atomic<bool> MasterHandOverRunning;
// A gap in the Wi-Fi trace numbers: traces were lost on the link. The main window
// fetches the radar's backup after the stop when it is set.
extern std::atomic<bool> WiFiTracesLost;
// Numbered Wi-Fi traces (0xDA) arrive.
extern std::atomic<bool> NumberedTracesArrive;

// The last NMEA sentence any radar reported (at most 255 characters are kept).
QString LastNmeaSentence();
void SetLastNmeaSentence(const QString& sentence);
