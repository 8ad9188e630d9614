#pragma once
// The test-signal generator's computations, without the tool: the input scale
// with uniform noise, and the diffraction hyperbolas of point reflectors.
//
// Noise: sample n of a channel gets NoiseAt(seed, n, range), an integer drawn
// uniformly from 0 .. range - 1 by a counter-based generator (a hash of the
// index modulo 2^32 and the seed), so a seed gives the same channel whatever the
// order or the number of threads.
//
// Threads: ScaleAndNoise and TGridSectPoint's look-ups are safe from several
// threads on disjoint samples; building the points is one thread's.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// round(mult x v / 100) (half to even) plus the noise, the product formed in 64
// bits and the result saturated to 32 bits; samples [first, end) of the channel,
// `first` being the channel index of in[0] and out[0].
void ScaleAndNoise(const int32_t* in, int32_t* out, int64_t first, int64_t end, int32_t mult, int32_t range,
                   uint64_t seed);
// 0 for a range of 0 or less.
uint32_t NoiseAt(uint64_t seed, int64_t index, int32_t range);

class TSettingData;

// A channel's section grid: GridStepSectX, the trace step (MeasureStep / 1000 m),
// and GridStepSectY, the depth of one sample (SpanWidth / LongTrace x SpeedLight
// / 2000 m; 0 without samples). The generator and the object detector share it.
struct TSectionGridSteps {
  long double X = 0;
  long double Y = 0;
};
TSectionGridSteps SectionGridSteps(const TSettingData& s);

// The geometry of one run's hyperbolas.
struct THyperbolaGeometry {
  long double GridStepSectX = 0;   // trace step, m
  long double GridStepSectY = 0;   // depth step of one sample, m
  long double DistanceRecept = 0;  // transmitter-receiver spacing, m
  int32_t NullShift = 0;
  int64_t Traces = 0;
  int32_t LongTrace = 0;
};

// GridSectPoint: the hyperbola amplitudes of one run by channel index; a later
// write to an index replaces an earlier one, and an amplitude of 0 is no
// hyperbola (the input shows there).
class TGridSectPoint {
public:
  void Set(int64_t index, int32_t amplitude) { writes_.emplace_back(index, amplitude); }
  // Keeps the last write of every index and drops the zeros; then the look-ups.
  void Finish();
  // Writes the amplitudes that fall in [first, end) into out (out[0] is index first).
  void Apply(int32_t* out, int64_t first, int64_t end) const;
  size_t Count() const { return writes_.size(); }

private:
  std::vector<std::pair<int64_t, int32_t>> writes_;
};

// The hyperbola of the reflector with its apex at trace X, sample Y (amplitude
// A there, falling linearly by D per cent towards the ends), half-width S traces:
//   r = GridStepSectX / GridStepSectY,  h = DistanceRecept / GridStepSectY / 2,
//   e = Y - NullShift,  m = sqrt(e^2 + h^2),  delta = m - e,
//   trace X + i, i = -S .. S:  sample round(sqrt(m^2 + (i r)^2) + NullShift - delta),
//   amplitude round(A - |i| (D / 100 / S) A).
// Points outside the channel are skipped; S <= 0 and a depth step that is not
// positive and finite write nothing.
void AddParabola(TGridSectPoint& points, const THyperbolaGeometry& g, int32_t X, int32_t Y, int32_t A, int32_t D,
                 int32_t S);
