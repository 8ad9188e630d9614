#include "radar/radar_hooks.h"

#include <atomic>

namespace {
// Atomic: reader threads look the registrations up too.
std::atomic<IRadarShell*> g_shell{nullptr};
std::atomic<IRadarSetView*> g_set{nullptr};
}  // namespace

void SetRadarShell(IRadarShell* shell) { g_shell.store(shell); }
IRadarShell* RadarShell() { return g_shell.load(); }
void SetRadarSetView(IRadarSetView* set) { g_set.store(set); }
IRadarSetView* RadarSetView() { return g_set.load(); }
