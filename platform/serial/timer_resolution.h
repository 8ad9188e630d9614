#pragma once
// How finely the sleeps of a device reader thread are timed. The serial and TCP
// readers sleep a few milliseconds per cycle, so the scheduler's slack matters: on
// Linux a sleep may overrun by the thread's timer slack (50 us by default), and the
// finest the clock offers is its resolution.

#include <cstdint>
#include <optional>

struct TTimerResolution {
  int64_t FinestNs = 0;   // the clock's resolution
  int64_t CurrentNs = 0;  // what a sleep of the calling thread may overrun by now
};

std::optional<TTimerResolution> QueryTimerResolution();
// Asks for the finest timing of the calling thread's sleeps; true when granted.
bool RequestFinestTimerResolution();
