#pragma once
// The user-interface thread's queue, shared by window messages and threads:
// posted messages, and calls handed over by other threads (a SendMessage from a
// worker, Synchronize and Queue). Cross-thread calls go before posted messages, as
// sent messages do on the platform the toolkit imitates; each kind keeps its order.
//
// Delivery: once StartDelivery has run, anything queued wakes the Qt event loop of
// the user-interface thread, so the message loop, modal loops and message boxes
// all serve the queue. ProcessMessages serves it directly.

#include "platform/ui/messages.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

class QObject;

namespace ui_detail {

class TUiQueue {
public:
  static TUiQueue& Instance();

  // ---- any thread ----
  void Post(HWND wnd, const TMessage& message);
  // From a thread other than the user-interface thread: waits until it has run.
  LRESULT Send(HWND wnd, const TMessage& message);
  // From a thread other than the user-interface thread: waits until it has run and
  // rethrows on the calling thread what method threw.
  void Synchronize(const void* owner, std::function<void()> method);
  void Queue(const void* owner, std::function<void()> method);
  // Drops the calls queued for owner that have not run yet.
  void RemoveQueued(const void* owner);
  // Makes ServeUntil re-check its condition now.
  void NotifyWaiters();

  // A SendMessage from another thread waits to be run.
  bool SendPending();

  // ---- user-interface thread ----
  // Runs the cross-thread calls waiting now; true when at least one ran.
  bool ServeCalls();
  // Runs cross-thread calls and posted messages until both are empty.
  bool DispatchAll();
  // Serves cross-thread calls (never posted messages) until done() holds. done is
  // evaluated under the queue's lock and must not take it.
  void ServeUntil(const std::function<bool()>& done);

  void StartDelivery();
  void StopDelivery();
  // Receives what a posted message, a sent message or a queued call threw.
  void SetExceptionHandler(std::function<void(std::exception_ptr)> handler);
  // Hands an exception caught on the user-interface thread to that handler.
  void ReportException(std::exception_ptr error);

private:
  struct TCall {
    const void* owner = nullptr;
    std::function<void()> method;
    bool waited = false;
    bool sent = false;  // a cross-thread SendMessage
    bool done = false;
    std::exception_ptr error;
  };
  struct TPosted {
    HWND wnd;
    TMessage message;
  };
  class TWaker;

  TUiQueue() = default;
  void ArmWakeLocked();
  void OnWake();
  void RunCall(TCall& call);
  void PushCallAndWait(const std::shared_ptr<TCall>& call);

  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<std::shared_ptr<TCall>> calls_;
  std::deque<TPosted> posted_;
  QObject* waker_ = nullptr;
  bool wakePending_ = false;
  std::function<void(std::exception_ptr)> exceptionHandler_;
};

}  // namespace ui_detail
