#pragma once
// TCalcData: the computed traces' data holder and computation, without the tool.
// For every cell of a regular 3-D grid in a box of ground below the profile it
// takes, from each channel, the sample at the two-way travel time transmitter ->
// cell -> receiver under the cell's trace, weights it by the transmitter's
// lateral distance, averages over the channels and scales the section to bytes.
//
// Coordinates and steps are int32 millimetres: X along the profile, Y across
// it, Z down. Conversions (round is half to even, in extended precision):
//   DepthToSample(x) = round(x LongTrace / (SpeedLight SpanWidth / 2000) + NullShift)  (x in m)
//   TraceToDist(i)   = (i - MinTrace) MeasureStep / 1000 m, negated when WasFlip
//   DistToTrace(x)   = round(x 100000 / (MeasureStep 100)), x negated when WasFlip
//
// The channel blocks are not owned: they must outlive the computation.
// Threads: CreateCalcTraces runs its cells on the worker pool (the same image for
// any thread count); one thread uses a TCalcData at a time.

#include <cstdint>
#include <vector>

// The box; Count* are set from the extents and steps for a section kind
// (SetCellCounts).
struct TAreaCalc {
  int32_t X1 = 0, Y1 = 0, Z1 = 0;
  int32_t X2 = 0, Y2 = 0, Z2 = 0;
  int32_t StepX = 0, StepY = 0, StepZ = 0;
  int32_t CountX = 0, CountY = 0, CountZ = 0;
  bool operator==(const TAreaCalc&) const = default;
};

// The counts of the section kind: 'X' a cross-section at X1 (CountX 1), 'Y' a
// section along the profile (CountY 1), 'Z' a plan view (CountZ 1), the others
// round(extent / step). False, and the box as it was, for another kind, a step
// that is not positive or a count below 1.
bool SetCellCounts(TAreaCalc& area, char16_t VectorSect);

struct TPos3 {
  int32_t X = 0, Y = 0, Z = 0;
  bool operator==(const TPos3&) const = default;
};

// One channel.
struct TRecTrace {
  const int32_t* RawTraces = nullptr;  // trace after trace; not owned
  int64_t NumSamples = 0;
  int32_t RecLongTrace = 0;
  int32_t RecNumTraces = 0;
  std::vector<TPos3> PosTx;  // per trace: transmitter
  std::vector<TPos3> PosRx;  // per trace: receiver
};

// The result: BufOut_Width x BufOut_Height values, column after column (column c,
// row r at c x height + r).
struct TCalcTrace {
  std::vector<int32_t> CalcRaw;
  std::vector<uint8_t> CalcDezoData;
  int32_t NumSamples = 0;
  int32_t BufOut_Width = 0;
  int32_t BufOut_Height = 0;
};

class TCalcData {
public:
  // Images (and their cells) beyond this many bytes are refused.
  static constexpr int64_t DefaultMemoryCap = int64_t{1} << 30;

  double SpanWidth = 0;
  int32_t LongTrace = 0;
  int32_t SpeedLight = 0;
  int32_t NullShift = 0;
  float MeasureStep = 0;
  bool WasFlip = false;
  int32_t MinTrace = 0;
  std::vector<TRecTrace> RecTraces;
  TAreaCalc AreaCalc;
  TCalcTrace CalcTraces;
  int64_t MemoryCap = DefaultMemoryCap;

  void Init(int32_t aLongTrace, int32_t aSpeedLight, const TAreaCalc& aAreaCalc, float aMeasureStep,
            int32_t aNullShift, double aSpanWidth);
  // A channel of NumSamples samples (an empty one, RawTraces nullptr, keeps the
  // channel's place in the antenna layout and gives no amplitude).
  void AddRecTraces(const int32_t* RawTraces, int64_t NumSamples);
  // The antenna layout: channel i, trace j: Tx (round(TraceToDist(j) 1000), 300 i, 0),
  // Rx (round(TraceToDist(j) 1000 - 150), 600, 0); RecNumTraces = round(NumSamples / LongTrace).
  void Test();
  // The image of the section kind with AreaCalc's counts: width x height from the
  // box (see the conversions), every cell the truncated mean of the channels'
  // amplitudes (0 when none), pixels no cell reaches the middle value, then the
  // bytes round((v - mid) 127 / range) + 127 (mid = round((largest + smallest) / 2),
  // range = largest - mid or 1), held to 0..255. False, and the result as it was,
  // when the geometry gives no image (a time window, trace step or trace length
  // of 0, counts or sizes below 1) or the image passes MemoryCap.
  bool CreateCalcTraces(char16_t VectorSect, float KoefDist);
  // Channel NumRaw's amplitude at cell (cX, cY, cZ) from trace NumTrc: the sample u =
  // round(DepthToSample(dT + dR) / 2) (dT, dR the distances from the trace's
  // transmitter and receiver) times the weight single((1.2 - |Tx.Y - cY| / 1000)
  // KoefDist / 1.2). False when the channel, the trace, the sample or its data
  // do not exist.
  bool GetAMPatRAWfromCoord(int32_t NumRaw, int64_t NumTrc, float KoefDist, int32_t& Amp, int32_t cZ, int32_t cY,
                            int32_t cX) const;

  int64_t DepthToSample(long double x) const;
  long double TraceToDist(int64_t i) const;
  int64_t DistToTrace(long double x) const;
};
