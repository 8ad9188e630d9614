#include "platform/ui/timers.h"

#include "platform/ui/ui_queue.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimerEvent>

#include <chrono>
#include <map>
#include <memory>
#include <utility>

namespace {

constexpr UINT kMinimumInterval = 10;

struct TTimerEntry {
  int qtId = 0;
  TIMERPROC proc;
  bool oneShot = false;
};

using TTimerKey = std::pair<HWND, UINT_PTR>;

// Owns the Qt timers. Lives on the user-interface thread from the first SetTimer
// until ShutdownTimers.
class TTimerHost final : public QObject {
public:
  UINT_PTR Set(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc, bool oneShot) {
    if (!wnd && (id == 0 || !entries_.count({nullptr, id}))) id = nextWindowlessId_++;
    Kill(wnd, id);
    const int qtId = startTimer(std::chrono::milliseconds(std::max(elapse, kMinimumInterval)), Qt::PreciseTimer);
    if (qtId == 0) return 0;
    entries_[{wnd, id}] = TTimerEntry{qtId, std::move(proc), oneShot};
    keys_[qtId] = {wnd, id};
    return id;
  }

  bool Kill(HWND wnd, UINT_PTR id) {
    auto it = entries_.find({wnd, id});
    if (it == entries_.end()) return false;
    killTimer(it->second.qtId);
    keys_.erase(it->second.qtId);
    entries_.erase(it);
    return true;
  }

protected:
  void timerEvent(QTimerEvent* event) override {
    auto key = keys_.find(event->timerId());
    if (key == keys_.end()) return;
    const auto [wnd, id] = key->second;
    TTimerEntry& entry = entries_.at(key->second);
    // The procedure may kill or reset its own timer, so it runs on a copy.
    TIMERPROC proc = entry.proc;
    if (entry.oneShot || (wnd && !IsWindow(wnd))) Kill(wnd, id);
    if (wnd && !IsWindow(wnd)) return;
    try {
      if (proc) {
        proc(wnd, WM_TIMER, id, GetTickCount());
      } else {
        TMessage message{WM_TIMER, id, 0, 0};
        DeliverMessage(wnd, message);
      }
    } catch (...) {
      ui_detail::TUiQueue::Instance().ReportException(std::current_exception());
    }
  }

private:
  std::map<TTimerKey, TTimerEntry> entries_;
  std::map<int, TTimerKey> keys_;
  // Windowless timers get ids far from the small ids programs give their own.
  UINT_PTR nextWindowlessId_ = 0x7F00;
};

std::unique_ptr<TTimerHost>& Host() {
  static std::unique_ptr<TTimerHost> host;
  return host;
}

TTimerHost* EnsureHost() {
  if (!IsMainThread() || !QCoreApplication::instance()) return nullptr;
  if (!Host()) Host() = std::make_unique<TTimerHost>();
  return Host().get();
}

}  // namespace

uint32_t GetTickCount() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<uint32_t>(static_cast<uint64_t>(ms.count()));
}

UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (wnd && !IsWindow(wnd)) return 0;
  TTimerHost* host = EnsureHost();
  return host ? host->Set(wnd, id, elapse, std::move(proc), false) : 0;
}

UINT_PTR SetOneShotTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (wnd && !IsWindow(wnd)) return 0;
  TTimerHost* host = EnsureHost();
  return host ? host->Set(wnd, id, elapse, std::move(proc), true) : 0;
}

bool KillTimer(HWND wnd, UINT_PTR id) {
  TTimerHost* host = IsMainThread() ? Host().get() : nullptr;
  return host && host->Kill(wnd, id);
}

namespace ui_detail {
void ShutdownTimers() { Host().reset(); }
}  // namespace ui_detail

// ---- TTimer ----------------------------------------------------------------------

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  window_ = AllocateHWnd([this](TMessage& message) {
    if (message.Msg == WM_TIMER && OnTimer) OnTimer(this);
  });
  UpdateTimer();
}

TTimer::~TTimer() {
  KillTimer(window_, 1);
  DeallocateHWnd(window_);
}

void TTimer::SetInterval(UINT value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  KillTimer(window_, 1);
  if (interval_ != 0 && enabled_) SetTimer(window_, 1, interval_, nullptr);
}
