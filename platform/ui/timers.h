#pragma once
// Timers on the user-interface thread: window timers with an optional timer
// procedure, a one-shot form, and the TTimer component.
//
// A timer fires from the message loop (or ProcessMessages) once its interval has
// passed; it never interrupts running code. Threads: user-interface thread only.

#include "platform/ui/component.h"
#include "platform/ui/messages.h"

#include <cstdint>
#include <functional>

using TIMERPROC = std::function<void(HWND wnd, UINT msg, UINT_PTR id, uint32_t tickCount)>;

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t GetTickCount();

// Periodic until KillTimer. With a procedure the procedure runs with WM_TIMER;
// without one the window procedure of wnd gets WM_TIMER (WParam = id). A second
// SetTimer with the same window and id restarts that timer. Without a window the
// id is chosen here (unless it names a running windowless timer) and returned.
// Intervals below 10 ms count as 10 ms. Returns 0 when the timer could not be set.
UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
// As SetTimer, but fires once and is then gone.
UINT_PTR SetOneShotTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
bool KillTimer(HWND wnd, UINT_PTR id);

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  // Milliseconds; 0 stops the timer.
  UINT Interval() const { return interval_; }
  void SetInterval(UINT value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);

  TNotifyEvent OnTimer;

private:
  void UpdateTimer();
  HWND window_ = nullptr;
  UINT interval_ = 1000;
  bool enabled_ = true;
};

namespace ui_detail {
// Stops every timer; the application object calls it when it goes.
void ShutdownTimers();
}  // namespace ui_detail
