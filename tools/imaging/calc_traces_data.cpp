#include "tools/imaging/calc_traces_data.h"

#include "platform/rtl/rounding.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64);

namespace {
// Round (half to even, saturated, NaN 0) for the per-cell work: rint in the
// default rounding mode inline; the library's nearbyintl saves and restores the
// floating-point environment on every call, which costs more than the cell.
inline int64_t CalcRound(long double v) {
  const long double r = __builtin_rintl(v);
  if (!(r == r)) return 0;
  if (r >= 9223372036854775807.0L) return std::numeric_limits<int64_t>::max();
  if (r <= -9223372036854775808.0L) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}
}  // namespace

bool SetCellCounts(TAreaCalc& area, char16_t VectorSect) {
  if (VectorSect != u'X' && VectorSect != u'Y' && VectorSect != u'Z') return false;
  const auto count = [](int32_t from, int32_t to, int32_t step) -> int64_t {
    if (step <= 0) return 0;
    return Round((static_cast<long double>(to) - from) / step);
  };
  const int64_t x = VectorSect == u'X' ? 1 : count(area.X1, area.X2, area.StepX);
  const int64_t y = VectorSect == u'Y' ? 1 : count(area.Y1, area.Y2, area.StepY);
  const int64_t z = VectorSect == u'Z' ? 1 : count(area.Z1, area.Z2, area.StepZ);
  // Every step takes part in a cell's coordinates.
  if (area.StepX <= 0 || area.StepY <= 0 || area.StepZ <= 0) return false;
  if (x < 1 || y < 1 || z < 1) return false;
  area.CountX = SaturateToInt32(x);
  area.CountY = SaturateToInt32(y);
  area.CountZ = SaturateToInt32(z);
  return true;
}

void TCalcData::Init(int32_t aLongTrace, int32_t aSpeedLight, const TAreaCalc& aAreaCalc, float aMeasureStep,
                     int32_t aNullShift, double aSpanWidth) {
  LongTrace = aLongTrace;
  SpeedLight = aSpeedLight;
  AreaCalc = aAreaCalc;
  MeasureStep = aMeasureStep;
  NullShift = aNullShift;
  SpanWidth = aSpanWidth;
  WasFlip = false;
  MinTrace = 0;
}

void TCalcData::AddRecTraces(const int32_t* RawTraces, int64_t NumSamples) {
  TRecTrace rec;
  rec.RawTraces = RawTraces;
  rec.NumSamples = RawTraces ? std::max<int64_t>(NumSamples, 0) : 0;
  RecTraces.push_back(std::move(rec));
}

int64_t TCalcData::DepthToSample(long double x) const {
  return CalcRound(x * LongTrace / (static_cast<long double>(SpeedLight) * SpanWidth / 2000) + NullShift);
}

long double TCalcData::TraceToDist(int64_t i) const {
  const long double d = static_cast<long double>(i - int64_t{MinTrace}) * MeasureStep / 1000;
  return WasFlip ? -d : d;
}

int64_t TCalcData::DistToTrace(long double x) const {
  if (WasFlip) x = -x;
  return CalcRound(x * 100000 / (static_cast<long double>(MeasureStep) * 100));
}

void TCalcData::Test() {
  for (size_t i = 0; i < RecTraces.size(); ++i) {
    TRecTrace& rec = RecTraces[i];
    rec.RecLongTrace = LongTrace;
    rec.RecNumTraces = LongTrace > 0 ? SaturateToInt32(Round(static_cast<long double>(rec.NumSamples) / LongTrace)) : 0;
    rec.PosTx.clear();
    rec.PosRx.clear();
    rec.PosTx.reserve(static_cast<size_t>(std::max(rec.RecNumTraces, 0)));
    rec.PosRx.reserve(static_cast<size_t>(std::max(rec.RecNumTraces, 0)));
    for (int32_t j = 0; j < rec.RecNumTraces; ++j) {
      const long double mm = TraceToDist(j) * 1000;
      rec.PosTx.push_back({RoundToInt32(mm), SaturateToInt32(int64_t{300} * static_cast<int64_t>(i)), 0});
      rec.PosRx.push_back({RoundToInt32(mm - 150), 600, 0});
    }
  }
}

namespace {
// sqrt(sqrt(dx^2 + dy^2)^2 + dz^2) in metres, each root rounded to double.
// The differences are whole millimetres, exact in extended precision; each root
// is taken in millimetres and scaled to metres once (no division per term).
double CellDistance(const TPos3& p, int32_t cX, int32_t cY, int32_t cZ) {
  const long double dx = static_cast<long double>(p.X) - cX;
  const long double dy = static_cast<long double>(p.Y) - cY;
  const long double dz = (static_cast<long double>(p.Z) - cZ) * 0.001L;
  const double flat = static_cast<double>(std::sqrt(dx * dx + dy * dy) * 0.001L);
  return static_cast<double>(std::sqrt(static_cast<long double>(flat) * flat + dz * dz));
}
}  // namespace

namespace {
// The amplitude of one channel at a cell, with the time window's depth
// (SpeedLight x SpanWidth / 2000 m) and the cell's weight worked out by the caller.
bool CalcAmplitude(const TRecTrace& rec, int64_t NumTrc, long double windowDepth, int32_t longTrace,
                   int32_t nullShift, const float* weightOf, int32_t& Amp, int32_t cZ, int32_t cY, int32_t cX) {
  if (!rec.RawTraces || rec.NumSamples <= 0) return false;
  if (NumTrc < 0 || NumTrc >= static_cast<int64_t>(rec.PosTx.size()) || NumTrc >= static_cast<int64_t>(rec.PosRx.size()))
    return false;
  const TPos3& tx = rec.PosTx[static_cast<size_t>(NumTrc)];
  const TPos3& rx = rec.PosRx[static_cast<size_t>(NumTrc)];
  const double dT = CellDistance(tx, cX, cY, cZ);
  const double dR = CellDistance(rx, cX, cY, cZ);
  const int64_t sample = CalcRound((static_cast<long double>(dT) + dR) * longTrace / windowDepth + nullShift);
  const int64_t u = CalcRound(static_cast<long double>(sample) / 2);
  if (NumTrc >= rec.RecNumTraces || u < 0 || u >= rec.RecLongTrace) return false;
  const int64_t index = NumTrc * rec.RecLongTrace + u;
  if (index >= rec.NumSamples) return false;
  const int32_t a = rec.RawTraces[index];
  const float weight = weightOf ? *weightOf : 0;
  Amp = SaturateToInt32(CalcRound(static_cast<long double>(weight) * a));
  return true;
}

// single((1.2 - |Tx.Y - cY| / 1000) x KoefDist / 1.2)
float CalcWeight(int32_t txY, int32_t cY, float KoefDist) {
  return static_cast<float>((1.2L - std::fabs((static_cast<long double>(txY) - cY) / 1000)) * KoefDist / 1.2L);
}
}  // namespace

bool TCalcData::GetAMPatRAWfromCoord(int32_t NumRaw, int64_t NumTrc, float KoefDist, int32_t& Amp, int32_t cZ,
                                     int32_t cY, int32_t cX) const {
  if (NumRaw < 0 || static_cast<size_t>(NumRaw) >= RecTraces.size()) return false;
  const TRecTrace& rec = RecTraces[static_cast<size_t>(NumRaw)];
  if (NumTrc < 0 || NumTrc >= static_cast<int64_t>(rec.PosTx.size())) return false;
  const float weight = CalcWeight(rec.PosTx[static_cast<size_t>(NumTrc)].Y, cY, KoefDist);
  return CalcAmplitude(rec, NumTrc, static_cast<long double>(SpeedLight) * SpanWidth / 2000, LongTrace, NullShift,
                       &weight, Amp, cZ, cY, cX);
}

bool TCalcData::CreateCalcTraces(char16_t VectorSect, float KoefDist) {
  const TAreaCalc& a = AreaCalc;
  if (VectorSect != u'X' && VectorSect != u'Y' && VectorSect != u'Z') return false;
  if (LongTrace <= 0 || !(static_cast<long double>(SpeedLight) * SpanWidth != 0) || !std::isfinite(SpanWidth))
    return false;
  if (!(MeasureStep != 0) || !std::isfinite(MeasureStep)) return false;
  if (a.CountX < 1 || a.CountY < 1 || a.CountZ < 1) return false;

  const int64_t depthRows = DepthToSample(static_cast<long double>(a.CountZ) * a.StepZ / 1000);
  const int64_t traceColumns = DistToTrace(static_cast<long double>(a.CountX) * a.StepX / 1000);
  int64_t width = 0, height = 0;
  switch (VectorSect) {
    case u'X': width = a.CountY, height = depthRows; break;
    case u'Y': width = traceColumns, height = depthRows; break;
    default: width = traceColumns, height = a.CountY; break;
  }
  if (width < 1 || height < 1) return false;
  const int64_t cells = int64_t{a.CountX} * a.CountY * a.CountZ;
  // Pixels: a value, a byte and a reached flag; cells: a value.
  const long double bytes = static_cast<long double>(width) * height * 6 + static_cast<long double>(cells) * 4;
  if (bytes > MemoryCap || width * height > std::numeric_limits<int32_t>::max()) return false;

  Test();
  // Cell n = (ix CountY + iy) CountZ + iz: iz innermost, then iy, then ix.
  std::vector<int32_t> values(static_cast<size_t>(cells));
  const int64_t sectionTrace = DistToTrace(static_cast<long double>(a.X1) / 1000);
  const int32_t channels = static_cast<int32_t>(RecTraces.size());
  // Every transmitter of a channel lies at one Y: the weights by channel and row
  // of cells across the profile.
  std::vector<float> weights(static_cast<size_t>(channels) * static_cast<size_t>(a.CountY));
  std::vector<uint8_t> weighted(static_cast<size_t>(channels), 0);
  for (int32_t c = 0; c < channels; ++c) {
    const TRecTrace& rec = RecTraces[static_cast<size_t>(c)];
    if (rec.PosTx.empty()) continue;
    weighted[static_cast<size_t>(c)] = 1;
    for (int64_t iy = 0; iy < a.CountY; ++iy)
      weights[static_cast<size_t>(c * a.CountY + iy)] =
          CalcWeight(rec.PosTx.front().Y, SaturateToInt32(a.Y1 + iy * a.StepY), KoefDist);
  }
  const long double windowDepth = static_cast<long double>(SpeedLight) * SpanWidth / 2000;
  TWorkerPool::Instance().Run(0, cells, [&](int64_t first, int64_t end) {
    for (int64_t n = first; n < end; ++n) {
      const int64_t iz = n % a.CountZ;
      const int64_t iy = n / a.CountZ % a.CountY;
      const int64_t ix = n / a.CountZ / a.CountY;
      const int32_t cX = SaturateToInt32(a.X1 + ix * a.StepX);
      const int32_t cY = SaturateToInt32(a.Y1 + iy * a.StepY);
      const int32_t cZ = SaturateToInt32(a.Z1 + iz * a.StepZ);
      const int64_t t = VectorSect == u'X' ? sectionTrace : DistToTrace(static_cast<long double>(cX) / 1000);
      int64_t sum = 0, count = 0;
      for (int32_t c = 0; c < channels; ++c) {
        int32_t amp = 0;
        if (!weighted[static_cast<size_t>(c)]) continue;
        const float* weight = &weights[static_cast<size_t>(c * a.CountY + iy)];
        if (CalcAmplitude(RecTraces[static_cast<size_t>(c)], t, windowDepth, LongTrace, NullShift, weight, amp, cZ, cY,
                          cX)) {
          sum += amp;
          ++count;
        }
      }
      values[static_cast<size_t>(n)] = count > 0 ? static_cast<int32_t>(sum / count) : 0;
    }
  });

  TCalcTrace result;
  result.BufOut_Width = static_cast<int32_t>(width);
  result.BufOut_Height = static_cast<int32_t>(height);
  result.NumSamples = static_cast<int32_t>(width * height);
  result.CalcRaw.assign(static_cast<size_t>(width * height), 0);
  std::vector<uint8_t> reached(static_cast<size_t>(width * height), 0);
  int64_t smallest = 10000000, largest = -10000000;
  for (int64_t n = 0; n < cells; ++n) {
    const int64_t iz = n % a.CountZ;
    const int64_t iy = n / a.CountZ % a.CountY;
    const int64_t ix = n / a.CountZ / a.CountY;
    int64_t c = 0, r = 0;
    switch (VectorSect) {
      case u'X': c = iy, r = iz; break;
      case u'Y': c = ix, r = iz; break;
      default: c = ix, r = iy; break;
    }
    c = std::min(c, width - 1);
    r = std::min(r, height - 1);
    const int32_t v = values[static_cast<size_t>(n)];
    result.CalcRaw[static_cast<size_t>(c * height + r)] = v;
    reached[static_cast<size_t>(c * height + r)] = 1;
    smallest = std::min<int64_t>(smallest, v);
    largest = std::max<int64_t>(largest, v);
  }
  const int64_t mid = Round((static_cast<long double>(largest) + smallest) / 2);
  const int64_t range = largest == mid ? 1 : largest - mid;
  result.CalcDezoData.resize(result.CalcRaw.size());
  for (size_t i = 0; i < result.CalcRaw.size(); ++i) {
    // A pixel no cell maps to shows the middle value.
    const long double v = reached[i] ? result.CalcRaw[i] : static_cast<long double>(mid);
    const int64_t b = CalcRound((v - mid) * 127 / range) + 127;
    result.CalcDezoData[i] = static_cast<uint8_t>(std::clamp<int64_t>(b, 0, 255));
  }
  CalcTraces = std::move(result);
  return true;
}
