#include "radar/online_paint_thread.h"

#include <algorithm>
#include <chrono>
#include <thread>

TOnlinePaintThread::TOnlinePaintThread(IOnlinePainter* Owner) : TThread(/*CreateSuspended=*/true), owner_(Owner) {
  SetFreeOnTerminate(false);
  SetPriority(tpLower);
}

void TOnlinePaintThread::Resume() {
  suspended_ = false;
  if (!Started()) Start();
}

bool TOnlinePaintThread::Sleep(int32_t ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(ms, 0));
  const auto slice = std::chrono::milliseconds(std::max(dTimeMilSec, 1));
  while (!Terminated()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= until) return true;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(slice, until - now));
  }
  return false;
}

void TOnlinePaintThread::Execute() {
  while (!Terminated()) {
    if (suspended_) {
      if (!Sleep(dTimeMilSec)) break;
      continue;
    }
    if (owner_.load()) {
      // The owner is looked up again on the user-interface thread: it may have
      // gone while the call waited there.
      Synchronize([this] {
        if (IOnlinePainter* owner = owner_.load(); owner && !suspended_) {
          ++passes_;
          owner->PaintOnlineThread();
        }
      });
    }
    if (!Sleep(SleepTm)) break;
  }
}
