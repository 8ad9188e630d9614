#include "profiledata/channel_hooks.h"

#include <atomic>

namespace {
// Atomic so that a lookup from another thread never sees a torn pointer.
std::atomic<IAcquisitionShell*> g_shell{nullptr};
}  // namespace

void SetAcquisitionShell(IAcquisitionShell* shell) { g_shell.store(shell); }
IAcquisitionShell* AcquisitionShell() { return g_shell.load(); }
