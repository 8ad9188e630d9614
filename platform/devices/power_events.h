#pragma once
// Suspend and resume of the computer, from the login manager's sleep signal
// (logind's PrepareForSleep on the system bus): true is the suspend (4), false
// the resume (18), the codes of a power broadcast.
//
// Without a system bus (a container) or without the bus library in the build the
// source still runs: Listening() is false, the reason is logged once per
// process, and injected events are delivered as ever.
//
// Threads: create and destroy it on the user-interface thread, whose event loop
// delivers the bus's signals; OnEvent runs there (and on the injecting thread for
// injected events).

#include <cstdint>
#include <functional>
#include <memory>

enum TPowerEvent : uint32_t { PBT_APMSUSPEND = 4, PBT_APMRESUMEAUTOMATIC = 18 };

class TPowerEventSource {
public:
  explicit TPowerEventSource(std::function<void(TPowerEvent)> onEvent);
  ~TPowerEventSource();
  TPowerEventSource(const TPowerEventSource&) = delete;
  TPowerEventSource& operator=(const TPowerEventSource&) = delete;

  bool Listening() const { return listening_; }
  void Inject(TPowerEvent event) { onEvent_(event); }

  // The login manager's signal: about to sleep (true) or woken up (false).
  void PrepareForSleep(bool start) { onEvent_(start ? PBT_APMSUSPEND : PBT_APMRESUMEAUTOMATIC); }

  class TBusReceiver;

private:
  const std::function<void(TPowerEvent)> onEvent_;
  std::unique_ptr<TBusReceiver> receiver_;
  bool listening_ = false;
};
