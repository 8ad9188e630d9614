#pragma once
// The object detector's computations, without the tool: the bright points of a
// channel, the ellipses of reflector positions they stand for, the intersections
// of two ellipses, and the whole run from an input channel to the output.
//
// A bright point (trace i, sample n) defines the ellipse of the reflector
// positions matching its travel time for a transmitter-receiver pair DistanceTR
// apart centred at x_i = i x GridStepSectX on the surface (focal half-distance
// c = DistanceTR / 2):
//   time form:  t = (n - NullShift) x SpanWidth / LongTrace ns (none when t < 0),
//               a = WaveSpeed / 1000 x (DistanceTR / (WaveSpeedAir / 1000) + t) / 2,
//               b^2 = a^2 - c^2 (none when negative);
//   depth form: y = (n - NullShift) x GridStepSectY, b^2 = y^2, a^2 = y^2 + c^2.
// An ellipse with a <= 0 does not exist.
//
// The run counts the intersections in a grid of MultGrid x MultGrid cells per
// trace and sample and replaces the samples by the strong cells (the modes are
// described at TObjDetectParams::PntVisual). Counters are 64-bit: weighted pairs
// of a long profile would pass the 32-bit range.
//
// Threads: the pairs of modes 2 and 3 run on the worker pool by trace, counting in
// worker sets added together at the end or, past their budget, with atomic
// increments on the shared grid; integer sums, so the counts are the same for
// any thread count. Every function here may be called from several threads on
// disjoint outputs.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// One bright point: its sample and the value there.
struct TMaxSample {
  int32_t NumSampleMax = 0;
  int32_t AmplMax = 0;
};
using TBrightPoints = std::vector<std::vector<TMaxSample>>;

// The strict local maxima (s[k] < s[k+1] > s[k+2]) and then the strict local
// minima (s[k] > s[k+1] < s[k+2]) of one trace, k = 0 .. longTrace - 4, each
// recorded at k + 1. A trace shorter than 4 samples has none.
void FindBrightPoints(const int32_t* trace, int32_t longTrace, std::vector<TMaxSample>& list);
// Every trace's list (one list per trace, whatever the number of traces).
TBrightPoints FindBrightPoints(const int32_t* data, int64_t traces, int32_t longTrace);

// A channel's geometry as the detector sees it.
struct TObjDetectGeometry {
  long double GridStepSectX = 0;  // trace step, m
  long double GridStepSectY = 0;  // depth of one sample, m
  double SpanWidth = 0;           // time window, ns
  int32_t LongTrace = 0;
  int32_t NullShift = 0;
  int64_t Traces = 0;
};

struct TObjDetectParams {
  long double DistanceTR = 0.2L;  // m
  int32_t WaveSpeed = 150;        // mm/ns
  int32_t WaveSpeedAir = 290;     // mm/ns
  int32_t CountVisibleCrossSignal = 30;  // per cent of the largest count
  bool UseAmpl = false;
  // 0 no point (the input), 1 every bright point := nMax, 2 intersections of the
  // time-form ellipses, 3 of the depth-form ellipses, 4 circles about the bright
  // points, 5 the time-form ellipses of two chosen points; any other value is 0.
  int32_t PntVisual = 0;
  long double XElipse = 9.4L, YElipse = 2.87L;
  long double X2Elipse = 10.76L, Y2Elipse = 3.18L;
  int32_t MultGrid = 1;
  // Modes 2 and 3: the workers count in sets of their own while all of them
  // together take at most this many bytes, else on the shared grid atomically.
  int64_t WorkerCountersBudget = int64_t{256} << 20;
};

// An ellipse centred at (X, 0) with semi-axes a (along the profile) and b.
struct TDetectEllipse {
  long double X = 0;
  long double A2 = 0;  // a^2
  long double B2 = 0;  // b^2
};
std::optional<TDetectEllipse> TimeFormEllipse(const TObjDetectGeometry& g, const TObjDetectParams& p, int64_t trace,
                                              int32_t sample);
std::optional<TDetectEllipse> DepthFormEllipse(const TObjDetectGeometry& g, const TObjDetectParams& p, int64_t trace,
                                               int32_t sample);

// The lower-half meeting point (x, y >= 0) of two ellipses, with k1 = b1^2 / a1^2:
//   r = b2^2 - a2^2 k1,  o = 2 x1 a2^2 k1 - 2 x2 b2^2,
//   C = x2^2 b2^2 + a2^2 b1^2 - x1^2 a2^2 k1 - a2^2 b2^2,
//   x = (-o - sqrt(o^2 - 4 r C)) / 2r, or the other root when that one is negative
//   or not below xLimit;  y^2 = b1^2 - k1 (x - x1)^2.
// None when the discriminant or y^2 is negative or r = 0 (ellipses of one shape
// never meet, however far apart).
std::optional<std::pair<long double, long double>> IntersectEllipses(const TDetectEllipse& e1,
                                                                     const TDetectEllipse& e2, long double xLimit);

// The extremes of the bright points of the last run.
struct TObjDetectResult {
  int32_t nMin = 1000000;
  int32_t nMax = -1000000;
};

// The run on a channel of g.Traces x g.LongTrace samples from `in` into `out`
// (distinct buffers). Modes 2..5 pass the input through when a grid step is not
// positive and finite. Outputs saturate to 32 bits.
TObjDetectResult DetectObjects(const int32_t* in, int32_t* out, const TObjDetectGeometry& g,
                               const TObjDetectParams& p);
