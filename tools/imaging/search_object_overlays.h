#pragma once
// What the object search dialog draws and lists over its picture, without the
// form: the predicted hyperbola through an inspected point, the amplitude profile
// along it with its verdict, and the lines that describe a chain.
//
// Threads: any; plain functions on caller-owned data.

#include "tools/imaging/search_object_kernel.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

struct TOverlayGeometry {
  int32_t NullShift = 0;
  long double DepthStep = 0;  // metres per sample
  long double DistanceRecept = 0;
  long double XYProportional = 0;
  int32_t SizeHyperbola = 50;
  // The most points a side of the hyperbola gets.
  int32_t SideLimit = 50;
};

using TOverlayPoints = std::vector<std::pair<double, double>>;

// The hyperbola of an apex at sample Ya under trace position X: for i = -S .. S
// the point (X + i, Z + sqrt(r^2 + (XY i)^2) - delta), r = sqrt((Ya - Z)^2 +
// (D / dz / 2)^2) as a double, delta = r - (Ya - Z). None when X/Y is 0, the point
// lies above time zero or there is no depth step.
TOverlayPoints HyperbolaOverlay(const TOverlayGeometry& g, double Ya, double X);

// The channel's display samples as the amplitude profile reads them.
struct TOverlayChannel {
  const int32_t* Data = nullptr;
  int64_t Traces = 0;
  int32_t LongTrace = 0;
  int64_t MinNumTraces = 0;
};

struct TAmpProfile {
  bool Computed = false;
  // m at offsets -50 .. 50 (entry 50 + i), 0 where not computed.
  std::array<int32_t, 101> Profile{};
  // (i, m) for i = -S .. S.
  std::vector<std::pair<int32_t, int32_t>> Values;
  // The drawn profile: (T - 200 + 4 i, M - m / |4 MaxAmp| x M).
  TOverlayPoints Points;
};

// Along the hyperbola of (Ya, X): m = the rounded mean of thirds of the sample and
// its two neighbours that exist, 0 off the channel. T is the top axis's maximum
// and M the middle of the left axis; a MaxAmp of 0 counts as 1.
TAmpProfile AmpHyperbolaProfile(const TOverlayGeometry& g, const TOverlayChannel& c, double Ya, double X,
                                int64_t maxAmp, double T, double M);

// The amplitude list: "X=.. Y=..", then, when computed, the sign line, the
// verdict ("Detect Up Dugi" or "no Detect") and one line per offset.
QStringList AmpProfileLines(const TAmpProfile& p, double Ya, double X, bool detected);

// The chain's description from the start (X, Y): its indexes and counts; for a
// chain the statistics of its amplitudes A (the mean step, the largest, the
// dispersion, the means and counts of its left, centre and right thirds, the
// shares above the start's amplitude and stronger across than along, the
// contrast) and "Detekted"; then one line per chain point with its amplitude
// (0 outside the statistics' range).
QStringList ChainLines(const TChainResult& r, const TChainPoints& points, const TSearchPlanes& planes, int32_t X,
                       int32_t Y, int32_t sizeHyperbola, int32_t middleAmp);
