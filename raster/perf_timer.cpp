#include "raster/perf_timer.h"

#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"

#include <chrono>
#include <memory>
#include <string>

namespace {

std::unique_ptr<TPerfTimer>& GlobalTimerSlot() {
  static std::unique_ptr<TPerfTimer> timer;
  return timer;
}

}  // namespace

void TPerfTimer::Start() { FPerformanceCountStart = QueryCounter(); }

void TPerfTimer::ReadStop() {
  FPerformanceCountStop = QueryCounter();
  FFrequency = QueryFrequency();
}

void TPerfTimer::CheckFrequency(int line) const {
  if (FFrequency <= 0)
    throw EAssertionFailed("Assertion failure (raster/perf_timer.cpp, line " + std::to_string(line) + ")");
}

int64_t TPerfTimer::ReadValue() {
  ReadStop();
  CheckFrequency(__LINE__);
  const long double d = static_cast<long double>(FPerformanceCountStop - FPerformanceCountStart);
  return Round(d * 1000000.0L / static_cast<long double>(FFrequency));
}

QString TPerfTimer::ReadNanoseconds() { return IntToStr(ReadValue()); }

QString TPerfTimer::ReadMilliseconds() {
  ReadStop();
  CheckFrequency(__LINE__);
  const long double d = static_cast<long double>(FPerformanceCountStop - FPerformanceCountStart);
  return FloatToStrF(d * 1000.0L / static_cast<long double>(FFrequency), ffFixed, 15, 3);
}

QString TPerfTimer::ReadSeconds() {
  ReadStop();
  const long double d = static_cast<long double>(FPerformanceCountStop - FPerformanceCountStart);
  return FloatToStrF(d / static_cast<long double>(FFrequency), ffFixed, 15, 3);
}

int64_t TPerfTimer::QueryCounter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t TPerfTimer::QueryFrequency() { return 1000000000; }

TPerfTimer* GlobalPerfTimer() { return GlobalTimerSlot().get(); }

void CreateGlobalPerfTimer() {
  if (!GlobalTimerSlot()) GlobalTimerSlot() = std::make_unique<TPerfTimer>();
}

void FreeGlobalPerfTimer() { GlobalTimerSlot().reset(); }
