// The radar link's state names the next window's channel count as the
// radargram library names its accessor, so it is reached from here alone.

#include "acquisition/radar_discovery.h"
#include "radar/radar_link_state.h"

void ResetAutoNumChannalRadar() { AutoNumChannalRadar = 0; }
bool WiFiTracesWereLost() { return WiFiTracesLost.load(); }
QString LinkNmeaText() { return LastNmeaSentence(); }
