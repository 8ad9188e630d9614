#include "profiledata/channel_hooks.h"

#include <atomic>

namespace {
// Atomic so that a lookup from another thread never sees a torn pointer.
std::atomic<IAcquisitionShell*> g_shell{nullptr};
std::atomic<IOnlineStagesFactory*> g_onlineStagesFactory{nullptr};
}  // namespace

void SetAcquisitionShell(IAcquisitionShell* shell) { g_shell.store(shell); }
IAcquisitionShell* AcquisitionShell() { return g_shell.load(); }

void SetOnlineStagesFactory(IOnlineStagesFactory* factory) { g_onlineStagesFactory.store(factory); }
IOnlineStagesFactory* OnlineStagesFactory() { return g_onlineStagesFactory.load(); }
