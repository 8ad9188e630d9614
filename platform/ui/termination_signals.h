#pragma once
// SIGTERM and SIGINT as a call on the user-interface thread: the signal handler
// only writes a byte into a pipe, and a socket notifier on the other end runs the
// call from the event loop. One instance at a time; the destructor restores the
// previous handlers.

#include <functional>
#include <memory>

class QSocketNotifier;

class TTerminationSignals {
public:
  explicit TTerminationSignals(std::function<void()> onSignal);
  ~TTerminationSignals();
  TTerminationSignals(const TTerminationSignals&) = delete;
  TTerminationSignals& operator=(const TTerminationSignals&) = delete;

private:
  void Drain();
  std::function<void()> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
};
