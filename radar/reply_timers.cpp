#include "radar/reply_timers.h"

#include "platform/ui/messages.h"
#include "platform/ui/threads.h"
#include "platform/ui/timers.h"

#include <mutex>
#include <unordered_map>
#include <utility>

namespace {

constexpr uint32_t kMaxId = 0xFFFF;

class TReplyTimerRegistry {
public:
  static TReplyTimerRegistry& Instance() {
    static TReplyTimerRegistry registry;
    return registry;
  }

  uint32_t Add(TReplyTimerProc proc) {
    std::lock_guard guard(lock_);
    if (procs_.size() >= kMaxId) return 0;
    do {
      nextId_ = nextId_ % kMaxId + 1;
    } while (procs_.count(nextId_));
    procs_.emplace(nextId_, std::move(proc));
    return nextId_;
  }

  bool Remove(uint32_t id) {
    std::lock_guard guard(lock_);
    return procs_.erase(id) > 0;
  }

  bool Running(uint32_t id) {
    std::lock_guard guard(lock_);
    return procs_.count(id) > 0;
  }

  // The procedure of a running timer (empty when it was stopped).
  TReplyTimerProc ProcOf(uint32_t id) {
    std::lock_guard guard(lock_);
    const auto it = procs_.find(id);
    return it == procs_.end() ? TReplyTimerProc() : it->second;
  }

private:
  std::mutex lock_;
  std::unordered_map<uint32_t, TReplyTimerProc> procs_;
  uint32_t nextId_ = 0;
};

// The hidden window the toolkit timers belong to, so that their ids are ours.
// User-interface thread only.
HWND TimerWindow() {
  static HWND window = nullptr;
  if (!window || !IsWindow(window)) window = AllocateHWnd([](TMessage&) {});
  return window;
}

void Expire(uint32_t id) {
  // The procedure stops the timer itself (and finds it stopped when a reply won the race).
  if (TReplyTimerProc proc = TReplyTimerRegistry::Instance().ProcOf(id)) proc(id);
}

bool SetToolkitTimer(uint32_t id, uint32_t elapseMs) {
  return SetOneShotTimer(TimerWindow(), id, elapseMs, [](HWND, UINT, UINT_PTR timerId, uint32_t) {
           Expire(static_cast<uint32_t>(timerId));
         }) != 0;
}

}  // namespace

uint32_t StartReplyTimer(uint32_t elapseMs, TReplyTimerProc onExpiry) {
  TReplyTimerRegistry& registry = TReplyTimerRegistry::Instance();
  const uint32_t id = registry.Add(std::move(onExpiry));
  if (id == 0) return 0;
  if (IsMainThread()) {
    if (!SetToolkitTimer(id, elapseMs)) {
      registry.Remove(id);
      return 0;
    }
    return id;
  }
  TThread::ForceQueue(nullptr, [id, elapseMs] {
    if (!TReplyTimerRegistry::Instance().Running(id)) return;
    if (!SetToolkitTimer(id, elapseMs)) Expire(id);
  });
  return id;
}

bool StopReplyTimer(uint32_t id) {
  if (!TReplyTimerRegistry::Instance().Remove(id)) return false;
  // From another thread the toolkit timer stays; it finds the id stopped and does nothing.
  if (IsMainThread()) KillTimer(TimerWindow(), id);
  return true;
}

bool ReplyTimerRunning(uint32_t id) { return TReplyTimerRegistry::Instance().Running(id); }
