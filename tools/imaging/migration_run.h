#pragma once
// What the two migrations share around the diffraction summation: the wheel-mode
// rule and the run of the summation on one channel with its progress image.

#include "tools/imaging/diffraction_sum.h"

#include <cstdint>

class IToolHost;
class TDirectivityDiagram;
class T2Dview;
class TRunYield;

// The profile was recorded with the measuring wheel.
bool IsWheelProfile(const T2Dview* view);

// The advanced migration's terms of row s (migration_adv_tool.h): e is half the
// antenna spacing in samples, proportion the trace step in samples. The diagram
// must outlive the terms.
TDiffractionRowTerms AdvancedMigrationTerms(const TDirectivityDiagram& diagram, double e, int32_t nullShift,
                                            long double proportion, int longTrace);

// x samples in nanoseconds: x * spanWidth * overStep / 1000.
long double SamplesToNs(long double x, double spanWidth, int overStep);

// The plain migration's terms of row s (migration_tool.h), from the wave speed
// (mm/ns), the time window (ns), OverStep and the trace step (mm); timeStep is
// speed x spanWidth x overStep, not 0.
TDiffractionRowTerms MetricMigrationTerms(const TDirectivityDiagram& diagram, long double speed, double spanWidth,
                                          int overStep, long double measureStep, int32_t nullShift, int longTrace);

// Copies the input into the output, then sums rows max(firstRow, 0) .. on
// (earlier rows keep the input), widening the channel's progress image as the
// rows are done. False when the run was stopped.
bool RunMigration(const int32_t* in, int32_t* out, int64_t traces, int longTrace, const T2Dview& view,
                  int32_t firstRow, TDiffractionRowTerms terms, IToolHost& host, int channel, TRunYield& yield);
