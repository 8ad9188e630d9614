#include "profiledata/hilbert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>
#include <vector>

namespace {

TEST(Hilbert, OneSampleTrace) {
  int32_t trace = -7;
  HilbertTransformTrace(&trace, 1, 0, 10.0);
  EXPECT_EQ(trace, 7);  // h = 0: the envelope is |x|

  trace = -7;
  HilbertTransformTrace(&trace, 1, 1, 10.0);
  EXPECT_EQ(trace, 0);
}

TEST(Hilbert, NothingToDoForAnEmptyTrace) {
  int32_t guard = 12345;
  HilbertTransformTrace(&guard, 0, 0, 10.0);
  HilbertTransformTrace(&guard, -3, 1, 10.0);
  EXPECT_EQ(guard, 12345);
}

// x = (300, 0, -300, 0). By hand, h_i = (sum over j != i of x_j / (i - j)) / pi:
//   h0 = (-300 / -2) / pi            =  150 / pi =  47.7465
//   h1 = (300 / 1 + -300 / -1) / pi  =  600 / pi = 190.9859
//   h2 = (300 / 2) / pi              =  150 / pi =  47.7465
//   h3 = (300 / 3 + -300 / 1) / pi   = -200 / pi = -63.6620
// Envelope sqrt(x^2 + h^2): 303.776, 190.986, 303.776, 63.662.
TEST(Hilbert, EnvelopeOfAShortTrace) {
  std::vector<int32_t> trace{300, 0, -300, 0};
  HilbertTransformTrace(trace.data(), 4, 0, 4.0);
  EXPECT_EQ(trace, (std::vector<int32_t>{304, 191, 304, 64}));
}

// The same trace in frequency mode, dt = 4 ns / 4 = 1 ns. Phases atan2(h, x):
//   p0 = atan(0.159155) = 0.157831, p1 = pi/2, p2 = pi - 0.157831 = 2.983761, p3 = -pi/2.
// p3 falls below p2, so the offset grows by (p2 - p3) + |p1 - p2| = 4.554557 + 1.412965
// = 5.967522 and u3 = 4.396727; u0..u2 are the raw phases.
// f_i = (u_next - u_prev) / (4 pi dt), halved at both ends, x 100000:
//   f0 = (u1 - u0) / (8 pi) = 0.0562201 -> 5622
//   f1 = (u2 - u0) / (4 pi) = 0.2248804 -> 22488
//   f2 = (u3 - u1) / (4 pi) = 0.2248804 -> 22488
//   f3 = (u3 - u2) / (8 pi) = 0.0562201 -> 5622
TEST(Hilbert, FrequencyOfAShortTrace) {
  std::vector<int32_t> trace{300, 0, -300, 0};
  HilbertTransformTrace(trace.data(), 4, 1, 4.0);
  EXPECT_EQ(trace, (std::vector<int32_t>{5622, 22488, 22488, 5622}));

  // A zero time window has no frequency.
  trace = {300, 0, -300, 0};
  HilbertTransformTrace(trace.data(), 4, 1, 0.0);
  EXPECT_EQ(trace, (std::vector<int32_t>(4, 0)));
}

// A sampled sine of f GHz gives about f x 100000 away from the ends; the truncated
// direct sum makes single samples wander, so the interior is judged by its mean and
// by a loose bound per sample.
TEST(Hilbert, FrequencyOfASine) {
  struct Case {
    double cyclesPerSample;
    double dtNs;
  };
  const Case cases[] = {{0.05, 1.0}, {0.05, 0.5}, {0.1, 1.0}};
  const int n = 256;
  for (const Case& c : cases) {
    const double expected = c.cyclesPerSample / c.dtNs * 100000;
    SCOPED_TRACE(expected);
    std::vector<int32_t> trace(n);
    for (int i = 0; i < n; ++i)
      trace[i] = static_cast<int32_t>(std::lround(10000 * std::sin(2 * std::numbers::pi * c.cyclesPerSample * i)));
    HilbertTransformTrace(trace.data(), n, 1, c.dtNs * n);
    const auto first = trace.begin() + n / 4, last = trace.begin() + 3 * n / 4;
    const double mean = std::accumulate(first, last, 0.0) / (last - first);
    EXPECT_NEAR(mean, expected, 0.02 * expected);
    for (auto it = first; it != last; ++it) EXPECT_NEAR(*it, expected, 0.2 * expected) << (it - trace.begin());
  }
}

// SpanWidth 8 ns over 8 samples (dt = 1 ns): values worked out by hand from the
// direct sum, as the tools must give them.
TEST(Hilbert, EnvelopeAndFrequencyOfAnAlternatingTrace) {
  const std::vector<int32_t> input{0, 1000, 0, -1000, 0, 1000, 0, -1000};
  auto envelope = input;
  HilbertTransformTrace(envelope.data(), 8, 0, 8.0);
  EXPECT_EQ(envelope, (std::vector<int32_t>{230, 1009, 594, 1003, 424, 1003, 594, 1009}));
  auto frequency = input;
  HilbertTransformTrace(frequency.data(), 8, 1, 8.0);
  EXPECT_EQ(frequency, (std::vector<int32_t>{6775, 25000, 23319, 23736, 25000, 25000, 23319, 5725}));
}

// A negative time window has no frequency either (it would give negative ones).
TEST(Hilbert, NegativeTimeWindowGivesFrequencyZero) {
  std::vector<int32_t> trace{300, 0, -300, 0};
  HilbertTransformTrace(trace.data(), 4, 1, -4.0);
  EXPECT_EQ(trace, (std::vector<int32_t>(4, 0)));
}

// The sum in its own right: h of a single impulse is 1 / (pi (i - j)).
TEST(Hilbert, SumOfAnImpulse) {
  const std::vector<int32_t> x{0, 0, 5, 0, 0};
  std::vector<long double> h(5);
  HilbertSum(x.data(), 5, h.data());
  const long double pi = std::numbers::pi_v<long double>;
  const std::vector<long double> expected{5 / 2.0L / pi * -1, -5 / pi, 0, 5 / pi, 5 / 2.0L / pi};
  for (size_t i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(static_cast<double>(h[i]), static_cast<double>(expected[i])) << i;
}

// The phase history carried from one call to the next changes the first samples:
// after a trace whose phases ended high, the next starts with an offset.
TEST(Hilbert, PhaseHistoryCarriesAcrossCalls) {
  const std::vector<long double> phase{0.5L, 1.0L, 1.5L, 2.0L};
  std::vector<int32_t> alone(4), carried(4);
  TPhaseHistory fresh;
  PhaseToFrequency(phase.data(), 4, 4.0, fresh, alone.data());
  EXPECT_EQ(fresh.p1, 2.0);
  EXPECT_EQ(fresh.p2, 1.5);
  TPhaseHistory history{3.0, 2.5};
  PhaseToFrequency(phase.data(), 4, 4.0, history, carried.data());
  EXPECT_EQ(alone, carried) << "a jump at the first sample shifts every later sample alike";
  // A drop at the second sample: the unwrapping uses the carried p2 there.
  const std::vector<long double> drop{2.9L, 0.1L, 0.2L, 0.3L};
  std::vector<int32_t> a(4), b(4);
  TPhaseHistory h1;
  TPhaseHistory h2{2.0, 0.0};
  PhaseToFrequency(drop.data(), 4, 4.0, h1, a.data());
  PhaseToFrequency(drop.data(), 4, 4.0, h2, b.data());
  EXPECT_NE(a[0], b[0]);
}

TEST(Hilbert, EnvelopeSaturatesInsteadOfWrapping) {
  // The transform of full-scale samples exceeds the 32-bit range.
  std::vector<int32_t> trace(64);
  for (int i = 0; i < 64; ++i) trace[i] = i < 32 ? INT32_MAX : INT32_MIN;
  HilbertTransformTrace(trace.data(), 64, 0, 64.0);
  for (int32_t v : trace) EXPECT_GT(v, 0);
  EXPECT_EQ(trace[32], INT32_MAX);
}

TEST(MeanTraceTest, MeanOfASmallBlock) {
  // Three traces of four samples.
  const int32_t block[] = {3, 6, -9, 1,  //
                           0, 6, 0, 1,   //
                           6, 0, 3, 2};
  std::vector<double> mean{99, 99};
  MeanTrace(mean, block, 4, 3);
  ASSERT_EQ(mean.size(), 4u);
  EXPECT_DOUBLE_EQ(mean[0], 3.0);
  EXPECT_DOUBLE_EQ(mean[1], 4.0);
  EXPECT_DOUBLE_EQ(mean[2], -2.0);
  EXPECT_DOUBLE_EQ(mean[3], 4.0 / 3);

  double out[2] = {5, 5};
  MeanTrace(out, block, 2, 1);  // the first trace alone, first two samples
  EXPECT_EQ(out[0], 3.0);
  EXPECT_EQ(out[1], 6.0);
}

TEST(MeanTraceTest, NoTracesGiveZeros) {
  double out[3] = {5, 5, 5};
  MeanTrace(out, nullptr, 3, 0);
  EXPECT_EQ(out[0], 0.0);
  EXPECT_EQ(out[2], 0.0);

  std::vector<double> mean{1, 2};
  MeanTrace(mean, nullptr, 0, 5);
  EXPECT_TRUE(mean.empty());
}

}  // namespace
