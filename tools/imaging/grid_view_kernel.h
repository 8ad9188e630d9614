#pragma once
// The grid view's arithmetic without a window: the metric grid laid over a
// channel whose transmitter-receiver spacing grows along the profile, the
// measured value of a grid cell interpolated from the samples, the arc of a grid
// cell for the reconstruction engine, the 8-bit grid image and the arrival plot.
//
//   grid:    iXCount = round(traces * StepRecept / iXStep),
//            iYCount = round(LongTrace * dz / iYStep)
//   cell:    u = x iXStep / StepRecept (trace), v = y iYStep / dz (sample),
//            bilinear between the traces and samples around (u, v), each limited
//            to the last one
//   arc:     r = iXStep / iYStep, h = dH + y,
//            o = (iXStep x + DistanceRecept) / 2 / iYStep, t = sqrt(o^2 + h^2),
//            E = round(t SinA / r), row(i) = h sqrt|1 - (i r)^2 / t^2| limited
//            to the grid's rows; row 0, h <= 0 or t = 0: the cell itself
//   image:   128 + round(Bm * 127 / max|Bm| * Kontrast) limited to -128..127

#include "tools/imaging/real_view_engine.h"

#include <cstdint>
#include <vector>

class TBitmap;

struct TGridViewSteps {
  // Trace step of the profile and growth of the spacing per trace, metres.
  long double StepRecept = 0.05L;
  long double iXStep = 0.05L;
  long double iYStep = 0.0075L;
  // Metres per sample of the channel.
  long double dz = 0;
};

struct TGridViewSize {
  int64_t X = 0, Y = 0;
  int64_t Cells() const { return X * Y; }
};
// A step that is not a positive number gives no columns (or rows): nothing is
// divided by it. Counts saturate far above any grid the memory cap admits.
TGridViewSize GridViewSize(int64_t traces, int longTrace, const TGridViewSteps& s);

// The measured value of grid cell (x, y) from the channel `input` (`traces`
// traces of `longTrace` samples).
int32_t InterpolateSample(const int32_t* input, int64_t traces, int longTrace, int32_t x, int32_t y,
                          const TGridViewSteps& s);
// Every cell's value in cell order (x * countY + y).
std::vector<int32_t> InterpolateGrid(const int32_t* input, int64_t traces, int longTrace, int32_t countX,
                                     int32_t countY, const TGridViewSteps& s);

// The grid view's arcs: one per cell, centred on its own column, rows limited to
// the grid, the update's denominators in single precision.
class TGridViewArcs : public TRealViewGeometry {
public:
  TGridViewArcs(const TGridViewSteps& s, long double distanceRecept, int32_t dH, long double sinA, long double decrease,
                int32_t countY);
  bool PerCell() const override { return true; }
  int64_t HalfWidth(int32_t x, int32_t y) const override;
  void Arc(int32_t x, int32_t y, TArcRows& arc) const override;
  long double Decrease() const override { return decrease_; }
  bool SingleDenominator() const override { return true; }

private:
  struct TShape {
    long double h, t;
    bool oneCell;
  };
  TShape Shape(int32_t x, int32_t y) const;
  TGridViewSteps s_;
  long double distance_;
  int32_t dH_;
  long double sinA_;
  long double decrease_;
  int32_t countY_;
  long double r_;
};

// Palette index of model value `bm` with the largest magnitude `maxAbs`.
uint8_t GridPixel(int32_t bm, int64_t maxAbs, long double kontrast);
// The image of the model `bm` (countX x countY cells, all zero when empty): pixel
// (x, y) is cell x * countY + y; resized when its size differs.
void PaintGridPixels(const std::vector<int32_t>& bm, int32_t countX, int32_t countY, long double kontrast,
                     TBitmap& image);

// The arrival plot: per offset (trace) i the spacing term d = |i StepRecept +
// DistanceRecept| / 180 and the time T = a + d, a = XY / 1000 - |DistanceRecept| / 180.
struct TOffsetArrival {
  long double d = 0, T = 0;
};
std::vector<TOffsetArrival> OffsetArrivals(int64_t traces, long double xy, long double stepRecept,
                                           long double distanceRecept);
// The plot's points (spacing in metres, depth in the picture's axis) for a channel
// of `longTrace` samples over `timeWindowNs`; none when the window is not
// positive.
struct TArrivalPoint {
  double x = 0, y = 0;
};
std::vector<TArrivalPoint> ArrivalPoints(const std::vector<TOffsetArrival>& arrivals, long double xy,
                                         long double stepRecept, long double distanceRecept, int32_t speedLight,
                                         long double spanWidth, int longTrace, long double timeWindowNs);
