#pragma once
// TOnlinePaintThread: the paint thread of a radargram window. Every SleepTm ms it
// runs its owner's online painter on the user-interface thread and waits for it;
// it paints nothing itself.
//
// Life: created suspended (below normal priority, not freed on termination).
// Resume starts it the first time and wakes it after Suspend; Suspend keeps it
// from calling its owner until the next Resume. The owner clears itself
// (SetOwner(nullptr)) before it frees the thread, so a call already on its way
// to the user-interface thread finds no owner.
//
// Threads: Resume, Suspend, SetOwner and freeing on the user-interface thread;
// IsBackup on either.

#include "platform/ui/threads.h"

#include <atomic>
#include <cstdint>

// What the paint thread calls: the radargram window's online painter.
class IOnlinePainter {
public:
  virtual ~IOnlinePainter() = default;
  // User-interface thread.
  virtual void PaintOnlineThread() = 0;
};

class TOnlinePaintThread : public TThread {
public:
  explicit TOnlinePaintThread(IOnlinePainter* Owner);

  IOnlinePainter* Owner() const { return owner_.load(); }
  void SetOwner(IOnlinePainter* owner) { owner_ = owner; }
  void Resume();
  void Suspend() { suspended_ = true; }
  bool Suspended() const { return suspended_; }
  // Passes that reached the owner.
  int64_t Passes() const { return passes_; }

  int32_t SleepTm = 100;
  // The slice the thread sleeps in, so that termination and suspension are seen
  // within it.
  int32_t dTimeMilSec = 5;
  // A device backup is being replayed; the painter ends the replay when it has
  // caught up.
  std::atomic<bool> IsBackup{false};

protected:
  void Execute() override;

private:
  // Sleeps ms in slices; false when the thread was terminated meanwhile.
  bool Sleep(int32_t ms);

  std::atomic<IOnlinePainter*> owner_;
  std::atomic<bool> suspended_{true};
  std::atomic<int64_t> passes_{0};
};
