#pragma once
// The microsecond performance timer of the adaptive repaint optimizer, over the
// system's monotonic high-resolution clock.
//
// Every Read method first takes the current count as the stop count and the
// counter frequency; D = stop - start. One global timer exists between library
// start-up and shut-down; the repaint optimizer makes its own.
// Threads: one timer is used by one thread at a time.

#include <QString>

#include <cstdint>
#include <stdexcept>

// A failed internal check; the message names the check's source position.
class EAssertionFailed : public std::logic_error {
public:
  using std::logic_error::logic_error;
};

class TPerfTimer {
public:
  virtual ~TPerfTimer() = default;

  void Start();
  // D x 1 000 000 / frequency rounded to the nearest integer (microseconds).
  int64_t ReadValue();
  // The ReadValue microseconds as decimal text (the name is historical).
  QString ReadNanoseconds();
  // D x 1000 / frequency, fixed notation with three decimals.
  QString ReadMilliseconds();
  // D / frequency, fixed notation with three decimals. Does not check the frequency.
  QString ReadSeconds();

protected:
  // The counter and its ticks per second. Tests replace them with a scripted clock.
  virtual int64_t QueryCounter();
  virtual int64_t QueryFrequency();

private:
  void ReadStop();
  // ReadValue, ReadNanoseconds and ReadMilliseconds need a positive frequency.
  void CheckFrequency(int line) const;

  int64_t FFrequency = 0;
  int64_t FPerformanceCountStart = 0;
  int64_t FPerformanceCountStop = 0;
};

// The library's timer; null outside start-up .. shut-down.
TPerfTimer* GlobalPerfTimer();

// Library start-up and shut-down (RasterLibraryStartup / RasterLibraryShutdown).
void CreateGlobalPerfTimer();
void FreeGlobalPerfTimer();
