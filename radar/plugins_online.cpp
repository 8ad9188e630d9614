#include "radar/plugins_online.h"

#include "platform/rtl/rounding.h"
#include "profiledata/channel_store.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/setting_data.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include <immintrin.h>

namespace PluginsOnline {

namespace {

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Half-to-even rounding in the default rounding mode, as Round gives it, kept
// inline (x87 frndint) for the per-sample loops; glibc's nearbyintl saves and
// restores the floating-point environment on every call.
inline long double RoundInline(long double v) { return __builtin_rintl(v); }

// Restores a stage's runing flag however the trace ends.
class TRunGuard {
public:
  explicit TRunGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~TRunGuard() { flag_ = false; }
  TRunGuard(const TRunGuard&) = delete;
  TRunGuard& operator=(const TRunGuard&) = delete;

private:
  bool& flag_;
};

// One output of the wavelet sum as the exact extended chain.
int32_t WaveletChainAt(const int32_t* in, int32_t last, const long double* taps, int32_t count, int32_t h,
                       int32_t k) {
  long double acc = 0;
  const int32_t dFirst = std::max(0, h - k);
  const int32_t dEnd = std::min(count, last - k + h + 1);
  for (int32_t d = dFirst; d < dEnd; ++d) acc = RoundInline(acc + in[k + d - h] * taps[d]);
  return RoundToInt32Fast(acc);
}

// The wavelet chain from double products. While every intermediate |acc + p| stays
// below 2^32 and acc is an integer, round(acc + p) = acc + round(p) unless p lies
// near a half: the extended sum has spacing <= 2^-32 there, and the double product
// x t' (t' the tap rounded to double) is within |p| 2^-51 of the extended one. So a
// tap is decided when |p' - round(p')| < 0.5 - (|t'| 2^-18 + 2^-30) (|x| <= 2^31
// bounds |p'| 2^-50 by |t'| 2^-19), and the sum of the rounded products is exact in
// doubles. The sum of their magnitudes kept below 2^31 bounds every |acc + p| and
// the result's range. Undecided outputs run the extended chain.
constexpr double kRoundMagic = 6755399441055744.0;  // 1.5 x 2^52: (p + m) - m rounds p half to even
constexpr double kSumLimit = 2147483648.0;            // 2^31

struct TWaveletDoubleTaps {
  std::vector<double> t;    // taps in double
  std::vector<double> lim;  // a tap is decided while |p' - r| < lim

  void Prepare(const long double* taps, int32_t count) {
    t.resize(static_cast<size_t>(count));
    lim.resize(static_cast<size_t>(count));
    for (int32_t d = 0; d < count; ++d) {
      t[d] = static_cast<double>(taps[d]);
      const double margin = std::fabs(t[d]) * 0x1p-18 + 0x1p-30;
      lim[d] = std::isfinite(margin) ? 0.5 - margin : 0.0;  // an infinite tap is never decided
    }
  }
};

int32_t WaveletOutputDouble(const int32_t* in, int32_t last, const long double* taps, const TWaveletDoubleTaps& t,
                            int32_t count, int32_t h, int32_t k) {
  const int32_t dFirst = std::max(0, h - k);
  const int32_t dEnd = std::min(count, last - k + h + 1);
  double s = 0, magnitude = 0;
  bool decided = true;
  for (int32_t d = dFirst; d < dEnd; ++d) {
    const double p = static_cast<double>(in[k + d - h]) * t.t[d];
    const double r = (p + kRoundMagic) - kRoundMagic;
    decided &= std::fabs(p - r) < t.lim[d];
    s += r;
    magnitude += std::fabs(r);
  }
  if (decided && magnitude < kSumLimit) return static_cast<int32_t>(s);
  return WaveletChainAt(in, last, taps, count, h, k);
}

// Lanes of mask (bit i for output k0 + i) had an undecided tap or too large a sum:
// they run the extended chain.
void WaveletRedoLanes(const int32_t* in, int32_t last, const long double* taps, int32_t count, int32_t h, int32_t k0,
                      int mask, int32_t* out) {
  while (mask != 0) {
    const int lane = __builtin_ctz(static_cast<unsigned>(mask));
    out[k0 + lane] = WaveletChainAt(in, last, taps, count, h, k0 + lane);
    mask &= mask - 1;
  }
}

// Outputs k .. kEnd - 1 (all their taps inside the trace) eight and four at a time;
// returns the first output not done. AVX2 only, not FMA: a fused multiply-add would
// round the exact product where the check reads the double one.
__attribute__((target("avx2"))) int32_t WaveletInsideAvx2(const int32_t* in, int32_t last, const long double* taps,
                                                          const TWaveletDoubleTaps& t, int32_t count, int32_t h,
                                                          int32_t k, int32_t kEnd, int32_t* out) {
  const __m256d magic = _mm256_set1_pd(kRoundMagic);
  const __m256d sign = _mm256_set1_pd(-0.0);
  const __m256d sumLimit = _mm256_set1_pd(kSumLimit);
  // Stores four outputs of the double sums; the undecided ones are done again.
#define GPR_WAVELET_STORE_LANES(k0, s, magnitude, bad)                                                         \
  do {                                                                                                         \
    const __m256d undecided = _mm256_or_pd(bad, _mm256_cmp_pd(magnitude, sumLimit, _CMP_NLT_UQ));            \
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (k0)), _mm256_cvttpd_epi32(_mm256_andnot_pd(undecided, s))); \
    const int mask = _mm256_movemask_pd(undecided);                                                           \
    if (mask != 0) WaveletRedoLanes(in, last, taps, count, h, (k0), mask, out);                               \
  } while (false)
  for (; k + 8 <= kEnd; k += 8) {
    __m256d s0 = _mm256_setzero_pd(), s1 = s0, m0 = s0, m1 = s0, b0 = s0, b1 = s0;
    const int32_t* x = in + (k - h);
    for (int32_t d = 0; d < count; ++d) {
      const __m256d td = _mm256_broadcast_sd(&t.t[d]);
      const __m256d lim = _mm256_broadcast_sd(&t.lim[d]);
      const __m256d p0 = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x + d))), td);
      const __m256d p1 =
          _mm256_mul_pd(_mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x + d + 4))), td);
      const __m256d r0 = _mm256_sub_pd(_mm256_add_pd(p0, magic), magic);
      const __m256d r1 = _mm256_sub_pd(_mm256_add_pd(p1, magic), magic);
      b0 = _mm256_or_pd(b0, _mm256_cmp_pd(_mm256_andnot_pd(sign, _mm256_sub_pd(p0, r0)), lim, _CMP_NLT_UQ));
      b1 = _mm256_or_pd(b1, _mm256_cmp_pd(_mm256_andnot_pd(sign, _mm256_sub_pd(p1, r1)), lim, _CMP_NLT_UQ));
      s0 = _mm256_add_pd(s0, r0);
      s1 = _mm256_add_pd(s1, r1);
      m0 = _mm256_add_pd(m0, _mm256_andnot_pd(sign, r0));
      m1 = _mm256_add_pd(m1, _mm256_andnot_pd(sign, r1));
    }
    GPR_WAVELET_STORE_LANES(k, s0, m0, b0);
    GPR_WAVELET_STORE_LANES(k + 4, s1, m1, b1);
  }
  for (; k + 4 <= kEnd; k += 4) {
    __m256d s0 = _mm256_setzero_pd(), m0 = s0, b0 = s0;
    const int32_t* x = in + (k - h);
    for (int32_t d = 0; d < count; ++d) {
      const __m256d p0 = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x + d))),
                                       _mm256_broadcast_sd(&t.t[d]));
      const __m256d r0 = _mm256_sub_pd(_mm256_add_pd(p0, magic), magic);
      b0 = _mm256_or_pd(b0, _mm256_cmp_pd(_mm256_andnot_pd(sign, _mm256_sub_pd(p0, r0)),
                                          _mm256_broadcast_sd(&t.lim[d]), _CMP_NLT_UQ));
      s0 = _mm256_add_pd(s0, r0);
      m0 = _mm256_add_pd(m0, _mm256_andnot_pd(sign, r0));
    }
    GPR_WAVELET_STORE_LANES(k, s0, m0, b0);
  }
#undef GPR_WAVELET_STORE_LANES
  return k;
}

bool WaveletHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

}  // namespace

// ---- Base ----------------------------------------------------------------------------

TSettingData* TOnlinePlugins::Settings() const { return FOwner ? FOwner->Settings() : nullptr; }

int32_t TOnlinePlugins::SamplesOf(int32_t n) const {
  n = std::clamp(n, 0, TraceArrayLength);
  const TSettingData* settings = Settings();
  if (!settings) return n;
  return std::clamp(settings->GetLongTrace(), 0, n);
}

// ---- Wavelet -------------------------------------------------------------------------

TWavelet::TWavelet(T2Dview* owner) : TOnlinePlugins(owner), line(1024, 0.0L) {}

void TWavelet::Init() {
  Timescale = 3.0L;
  if (const TSettingData* settings = Settings()) Timescale = UnitParams(settings->GetTypeGPR()).TimeScaleForWavelet;
  PrepareLine();
  AExecuting = true;
  runing = false;
}

void TWavelet::SetOnlineParameters(const TOnlineParametrs& P) {
  const auto* p = dynamic_cast<const TParametrsWavelet*>(&P);
  if (!p) return;
  Timescale = p->pTimescale;
  Applay = p->pApplay;
  PrepareLine();
}

void TWavelet::PrepareLine() { PrepareWaveletTaps(Timescale, Settings(), line, start, stop, CorLength, CorFunc); }

void PrepareRickerTaps(long double c, long double dt, long double b, int centre, int count, long double minWidthWeight,
                       std::vector<long double>& line, int32_t& start, int32_t& stop, int32_t& CorLength,
                       std::vector<long double>& CorFunc) {
  count = std::max(count, 0);
  if (line.size() < static_cast<size_t>(count)) line.resize(static_cast<size_t>(count));
  std::fill(line.begin(), line.end(), 0.0L);
  CorFunc.clear();
  CorLength = 0;
  start = 0;
  stop = -1;
  const bool takesPart = count > 0 && c > 0 && std::isfinite(c) && dt > 0 && std::isfinite(dt) && std::isfinite(b) &&
                         !(c * b < minWidthWeight);
  if (takesPart) {
    const long double norm = std::sqrt(3.0L * c * std::pow(std::numbers::pi_v<long double>, 0.25L));
    for (int j = 0; j < count; ++j) {
      const long double u = dt * (j - centre) / c;
      line[j] = 2.0L * b * (1.0L - u * u) * std::exp(-u * u / 2.0L) / norm;
    }
  }
  if (count == 0) return;
  // A line without taps trims to start = count - 1, stop = 0.
  start = 0;
  while (start < count - 1 && std::fabs(line[start]) < TWavelet::Threshold) ++start;
  stop = count - 1;
  while (stop > 0 && std::fabs(line[stop]) < TWavelet::Threshold) --stop;
  if (stop < start) return;
  long double sum = 0;
  for (int j = start; j <= stop; ++j) sum += std::fabs(line[j]);
  if (!(sum > 0)) return;
  CorLength = stop - start + 1;
  CorFunc.resize(static_cast<size_t>(CorLength));
  for (int i = 0; i < CorLength; ++i) CorFunc[i] = line[start + i] / sum;
}

void PrepareWaveletTaps(long double Timescale, const TSettingData* settings, std::vector<long double>& line,
                        int32_t& start, int32_t& stop, int32_t& CorLength, std::vector<long double>& CorFunc,
                        long double weight, long double minWidthWeight) {
  const long double dt = settings && settings->GetLongTrace() > 0
                             ? static_cast<long double>(settings->GetSpanWidth()) / settings->GetLongTrace()
                             : 0.0L;
  PrepareRickerTaps(Timescale / 3.4L, dt, weight, TWavelet::LineCentre, TWavelet::LineLength, minWidthWeight, line,
                    start, stop, CorLength, CorFunc);
}

void TWavelet::ChangeTimescaleIfNoCorrect() {
  const IAcquisitionFlags* shell = RadarShell().Flags;
  const TSettingData* settings = Settings();
  if (!shell || !settings || !shell->SimpleMode()) return;
  const long double unitScale = UnitParams(settings->GetTypeGPR()).TimeScaleForWavelet;
  if (unitScale > 0 && unitScale != Timescale) {
    Timescale = unitScale;
    PrepareLine();
  }
}

void TWavelet::ExecuteLastTrace(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) {
  if (!Applay || runing || !ArrayLastTrace) return;
  TRunGuard guard(runing);
  ChangeTimescaleIfNoCorrect();
  RunHook();
  const int32_t n = std::clamp(lenArrayLastTrace, 0, TraceArrayLength);
  if (CorLength <= 0 || n <= 0) return;
  input_.assign(ArrayLastTrace, ArrayLastTrace + n);
  WaveletSum(input_.data(), n, CorFunc.data(), CorLength, ArrayLastTrace);
}

void WaveletSumExact(const int32_t* in, int32_t n, const long double* taps, int32_t count, int32_t* out) {
  if (count <= 0 || n <= 0) return;
  const int32_t h = static_cast<int32_t>(Round(count / 2.0L));
  const int32_t last = n - 2;  // the last sample is never read
  // Four output samples at a time: each one's sum is a serial chain of roundings,
  // the four chains are independent and overlap in the pipeline.
  int32_t k = 0;
  for (; k + 3 < n; k += 4) {
    long double a0 = 0, a1 = 0, a2 = 0, a3 = 0;
    const int32_t dFirst = std::max(0, h - k);
    const int32_t dEnd = std::min(count, last - (k + 3) + h + 1);  // all four inside
    // Edges where only some of the four are inside go through the general form.
    auto tap = [&](long double& acc, int32_t kk, int32_t d) {
      const int32_t index = kk + d - h;
      if (index >= 0 && index <= last) acc = RoundInline(acc + in[index] * taps[d]);
    };
    int32_t d = 0;
    for (; d < std::min(dFirst, count); ++d) {
      tap(a0, k, d); tap(a1, k + 1, d); tap(a2, k + 2, d); tap(a3, k + 3, d);
    }
    for (; d < dEnd; ++d) {
      const int32_t index = k + d - h;
      const long double t = taps[d];
      a0 = RoundInline(a0 + in[index] * t);
      a1 = RoundInline(a1 + in[index + 1] * t);
      a2 = RoundInline(a2 + in[index + 2] * t);
      a3 = RoundInline(a3 + in[index + 3] * t);
    }
    for (; d < count; ++d) {
      tap(a0, k, d); tap(a1, k + 1, d); tap(a2, k + 2, d); tap(a3, k + 3, d);
    }
    out[k] = RoundToInt32Fast(a0);
    out[k + 1] = RoundToInt32Fast(a1);
    out[k + 2] = RoundToInt32Fast(a2);
    out[k + 3] = RoundToInt32Fast(a3);
  }
  for (; k < n; ++k) out[k] = WaveletChainAt(in, last, taps, count, h, k);
}

void WaveletSum(const int32_t* in, int32_t n, const long double* taps, int32_t count, int32_t* out,
                bool allowAvx2) {
  if (count <= 0 || n <= 0) return;
  TWaveletDoubleTaps t;
  t.Prepare(taps, count);
  const int32_t h = static_cast<int32_t>(Round(count / 2.0L));
  const int32_t last = n - 2;
  // Outputs whose taps all read inside the trace go four lanes wide.
  const int32_t kFirst = std::min(h, n);
  const int32_t kEnd = std::max(kFirst, last - (count - 1) + h + 1);
  int32_t k = 0;
  for (; k < kFirst; ++k) out[k] = WaveletOutputDouble(in, last, taps, t, count, h, k);
  if (allowAvx2 && WaveletHasAvx2()) k = WaveletInsideAvx2(in, last, taps, t, count, h, k, kEnd, out);
  for (; k < n; ++k) out[k] = WaveletOutputDouble(in, last, taps, t, count, h, k);
}

// ---- Windowed background removal ----------------------------------------------------

void SubtractWindowMeanOfWholeSums(const int32_t* x, const long double* sums, int32_t divisor, int32_t* out,
                                   int64_t n) {
  const double d = divisor;
  constexpr int64_t kBlock = 256;
  double numerator[kBlock];
  for (int64_t i0 = 0; i0 < n; i0 += kBlock) {
    const int64_t b = std::min(kBlock, n - i0);
    // |x d| < 2^49 and |s| < 2^49: the difference is exact, and so is rounding the
    // quotient (below 2^50) with the magic number.
    for (int64_t i = 0; i < b; ++i) numerator[i] = x[i0 + i] * d - static_cast<double>(sums[i0 + i]);
    for (int64_t i = 0; i < b; ++i) {
      const double r = (numerator[i] / d + kRoundMagic) - kRoundMagic;
      out[i0 + i] = static_cast<int32_t>(std::clamp(r, -2147483648.0, 2147483647.0));
    }
  }
}

void TWindowedBackgroundRemoval::Init() {
  const TSettingData* settings = Settings();
  const int32_t L = settings ? std::clamp(settings->GetLongTrace(), 0, TraceArrayLength) : TraceArrayLength;
  SumV.assign(static_cast<size_t>(L), 0.0L);
  arIndexTraces.clear();
  CountTraces = 0;
  runing = false;
}

void TWindowedBackgroundRemoval::Apply(int32_t width, bool applay) {
  WidthWindow = std::clamp(width, 0, MaxWidthWindow);
  Applay = applay;
}

void TWindowedBackgroundRemoval::SetOnlineParameters(const TOnlineParametrs& P) {
  const auto* p = dynamic_cast<const TParametrsWindowedBackgroundRemoval*>(&P);
  if (!p) return;
  if (runing) {
    tempWidthWindow = p->pWidthWindow;
    tempApplay = p->pApplay;
    tempGetParam = true;
  } else {
    Apply(p->pWidthWindow, p->pApplay);
    Init();
    tempGetParam = false;
  }
}

void TWindowedBackgroundRemoval::ExecuteLastTrace(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) {
  if (Applay && !runing && CountTraces < MaxCountTraces && ArrayLastTrace) {
    TRunGuard guard(runing);
    RunHook();
    const int32_t L = std::min<int32_t>(static_cast<int32_t>(SumV.size()), SamplesOf(lenArrayLastTrace));
    const int32_t n = std::clamp(lenArrayLastTrace, 0, TraceArrayLength);
    for (int32_t k = 0; k < L; ++k) SumV[k] += ArrayLastTrace[k];
    const int32_t m = std::min(CountTraces, WidthWindow);
    std::vector<int32_t> copy(TraceArrayLength, 0);
    std::copy(ArrayLastTrace, ArrayLastTrace + n, copy.begin());
    arIndexTraces.push_back(std::move(copy));
    ++CountTraces;
    if (CountTraces - 1 >= WidthWindow) {
      const std::vector<int32_t>& oldest = arIndexTraces.front();
      for (int32_t k = 0; k < static_cast<int32_t>(SumV.size()); ++k) SumV[k] -= oldest[k];
      arIndexTraces.pop_front();
      --CountTraces;
    }
    if (m > 0) {
      SubtractWindowMeanOfWholeSums(ArrayLastTrace, SumV.data(), m + 1, ArrayLastTrace, L);
    }
  }
  if (tempGetParam && !runing) {
    Apply(tempWidthWindow, tempApplay);
    tempGetParam = false;
    Init();
  }
}

// ---- Gain ------------------------------------------------------------------------------

TTVGC::TTVGC(T2Dview* owner) : TOnlinePlugins(owner) {
  ListofBaseDots.SetLeft(10);
  ListofBaseDots.SetTop(10);
  ListofBaseDots.SetWidth(280);
  ListofBaseDots.SetHeight(450);
  ListofBaseDots.SetPoint(0, 140, 0);
  ListofBaseDots.SetPoint(1, 207, 450);
  ListofBaseDots.PrepaerValues();
}

void TTVGC::Init() {
  AExecuting = true;
  runing = false;
  ListofBaseDots.PrepaerValues();
}

void TTVGC::SetOnlineParameters(const TOnlineParametrs& P) {
  const auto* p = dynamic_cast<const TParametrsGain*>(&P);
  if (!p) return;
  ListofBaseDots.Assign(p->pListOfBaseDots);
  Applay = p->pApplay;
  ListofBaseDots.PrepaerValues();
}

void TTVGC::ExecuteLastTrace(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) {
  if (!Applay || runing || !ArrayLastTrace) return;
  TRunGuard guard(runing);
  RunHook();
  ListDotsHeight = ListofBaseDots.GetHeight();
  const int32_t L = SamplesOf(lenArrayLastTrace);
  if (L <= 0) return;
  if (static_cast<int32_t>(rows_.size()) != L || rowsHeight_ != ListDotsHeight) {
    const long double scale = static_cast<long double>(ListDotsHeight) / L;
    rows_.resize(static_cast<size_t>(L));
    for (int32_t k = 0; k < L; ++k) rows_[k] = RoundToInt32Fast(k * scale);
    rowsHeight_ = ListDotsHeight;
  }
  for (int32_t k = 0; k < L; ++k)
    ArrayLastTrace[k] = GainProductRounded(ArrayLastTrace[k], ListofBaseDots.Rval(rows_[k]));
}

int32_t GainProductRounded(int32_t x, long double g) {
  // The double product is within |p| 2^-51 of the extended one.
  const double p = x * static_cast<double>(g);
  const double a = std::fabs(p);
  if (a < 2147483647.0) {
    const double r = (p + kRoundMagic) - kRoundMagic;
    if (std::fabs(std::fabs(p - r) - 0.5) > a * 0x1p-50 + 0x1p-60) return static_cast<int32_t>(r);
  }
  return RoundToInt32Fast(x * g);
}

// ---- Device zero offset ------------------------------------------------------------------

TDeviceOffset::TDeviceOffset(T2Dview* owner) : TOnlinePlugins(owner) { Applay = true; }

void TDeviceOffset::Init() {
  const TSettingData* settings = Settings();
  MinTraceDepth = settings ? static_cast<int32_t>(Round(settings->GetLongTrace() / 3.0L)) : 100;
  CountTraces = 0;
  NakoplMidleAmp = 0;
}

void TDeviceOffset::ExecuteLastTrace(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) {
  if (!Applay || runing || CountTraces >= MaxCountTraces || !ArrayLastTrace) return;
  TRunGuard guard(runing);
  const int32_t L = SamplesOf(lenArrayLastTrace);
  const int32_t first = std::max(0, MinTraceDepth);
  // A trace shorter than the depth adds nothing and is not counted.
  if (first >= L) return;
  long double sum = 0;
  for (int32_t k = first; k < L; ++k) sum += ArrayLastTrace[k];
  NakoplMidleAmp += sum / (L - first);
  ++CountTraces;
}

void TDeviceOffset::CalculateOffset() {
  const TSettingData* settings = Settings();
  CalculateOffset(settings ? dynamic_cast<TRadar*>(settings->GetSettingRadar()) : nullptr);
}

void TDeviceOffset::CalculateOffset(TRadar* radar) {
  if (CountTraces <= 0) return;
  const int64_t measured = Round(NakoplMidleAmp / CountTraces);
  FinishDeviceOffset = ClampToInt32(Round(measured * OffsetScale));
  if (!radar) return;
  const auto v = static_cast<uint16_t>(static_cast<uint64_t>(static_cast<int64_t>(radar->ZeroOffset()) -
                                                             FinishDeviceOffset) & 0xFFFFu);
  if (v > 0 && v < 64000) {
    const uint8_t params[3] = {16, static_cast<uint8_t>(v / 256), static_cast<uint8_t>(v % 256)};
    radar->SendCommand(bcpSetZeroOffset, 3, params);
    radar->WriteStrToLog(QStringLiteral("Set ZeroOffset=") + QString::number(v));
    radar->SetZeroOffset(v);
  } else {
    radar->WriteStrToLog(QStringLiteral("Error FinishDeviceOffset=") + QString::number(FinishDeviceOffset));
  }
}

}  // namespace PluginsOnline
