#include "radar/radar_hooks.h"

#include <atomic>
#include <mutex>

namespace {
// The parts are read by radars and readers created on any thread.
std::mutex g_shellLock;
TRadarShell g_shell;
std::atomic<IRadarSetView*> g_set{nullptr};
}  // namespace

void SetRadarShell(const TRadarShell& shell) {
  std::lock_guard guard(g_shellLock);
  g_shell = shell;
}

TRadarShell RadarShell() {
  std::lock_guard guard(g_shellLock);
  return g_shell;
}

void SetRadarSetView(IRadarSetView* set) { g_set.store(set); }
IRadarSetView* RadarSetView() { return g_set.load(); }
