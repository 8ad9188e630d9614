#include "radar/radar_link_state.h"

#include <mutex>

std::atomic<int32_t> NewViewChannalCount{1};
std::atomic<uint8_t> AutoNumChannalRadar{0};
std::atomic<TDirectForCart> MasterDirection{dForward};
std::atomic<bool> MasterHandOverRunning{false};
std::atomic<bool> WiFiTracesLost{false};
std::atomic<bool> NumberedTracesArrive{false};

namespace {
// The reader threads write the sentence, the windows read it.
std::mutex g_nmeaLock;
QString g_lastNmea;
}  // namespace

QString LastNmeaSentence() {
  std::lock_guard guard(g_nmeaLock);
  return g_lastNmea;
}

void SetLastNmeaSentence(const QString& sentence) {
  std::lock_guard guard(g_nmeaLock);
  g_lastNmea = sentence.left(255);
}
