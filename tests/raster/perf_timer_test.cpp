#include "raster/perf_timer.h"

#include <gtest/gtest.h>

namespace {

// A timer on a scripted counter: Start reads `start`, every Read reads `stop`.
class ScriptedTimer : public TPerfTimer {
public:
  int64_t start = 0;
  int64_t stop = 0;
  int64_t frequency = 1000000;

  void Measure(int64_t ticks, int64_t perSecond) {
    start = 5000;  // an arbitrary origin: only the difference counts
    stop = start + ticks;
    frequency = perSecond;
    Start();
  }

protected:
  int64_t QueryCounter() override { return started_ ? stop : (started_ = true, start); }
  int64_t QueryFrequency() override { return frequency; }

private:
  bool started_ = false;
};

TEST(PerfTimer, ReadsMicrosecondsRoundedHalfToEven) {
  struct Case {
    int64_t ticks, frequency, micros;
  };
  const Case cases[] = {
      {1234567, 1000000, 1234567},  // a microsecond counter
      {1, 2000000, 0},              // 0.5 us
      {3, 2000000, 2},              // 1.5 us
      {5, 2000000, 2},              // 2.5 us
      {7, 3, 2333333},              // 2333333.33 us
      {-4, 1000, -4000},            // a counter that went back
  };
  for (const auto& c : cases) {
    ScriptedTimer t;
    t.Measure(c.ticks, c.frequency);
    EXPECT_EQ(t.ReadValue(), c.micros) << c.ticks << " / " << c.frequency;
  }
}

TEST(PerfTimer, TextForms) {
  ScriptedTimer t;
  t.Measure(1234567, 1000000);
  EXPECT_EQ(t.ReadNanoseconds(), "1234567");  // microseconds, whatever the name says
  EXPECT_EQ(t.ReadMilliseconds(), "1234.567");
  EXPECT_EQ(t.ReadSeconds(), "1.235");

  ScriptedTimer third;
  third.Measure(1, 3);
  EXPECT_EQ(third.ReadMilliseconds(), "333.333");
  EXPECT_EQ(third.ReadSeconds(), "0.333");
}

TEST(PerfTimer, ZeroFrequencyFailsTheCheckedReadsOnly) {
  ScriptedTimer t;
  t.Measure(10, 0);
  EXPECT_THROW(t.ReadValue(), EAssertionFailed);
  EXPECT_THROW(t.ReadNanoseconds(), EAssertionFailed);
  try {
    t.ReadMilliseconds();
    FAIL() << "ReadMilliseconds did not check the frequency";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(std::string(e.what()).substr(0, 17).c_str(), "Assertion failure");
  }
  EXPECT_EQ(t.ReadSeconds(), "INF");
}

}  // namespace
