#include "platform/serial/timer_resolution.h"

#include <sys/prctl.h>

#include <ctime>

std::optional<TTimerResolution> QueryTimerResolution() {
  timespec res{};
  if (clock_getres(CLOCK_MONOTONIC, &res) != 0) return std::nullopt;
  const int slack = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  if (slack < 0) return std::nullopt;
  TTimerResolution r;
  r.FinestNs = int64_t{res.tv_sec} * 1000000000 + res.tv_nsec;
  r.CurrentNs = slack;
  return r;
}

bool RequestFinestTimerResolution() {
  // The slack is per thread; 1 ns is the smallest the kernel takes (0 means "default").
  return prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0) == 0;
}
