// The resampling loops are written for the vectoriser (plain loops over the
// bytes of a row); the build compiles this file at full optimisation.

#include "raster/resampler_kernels.h"

#include "raster/resampler_kernel_rows.h"

#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/perf_timer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Nearest integer, ties to the even neighbour (the default rounding mode).
int32_t RoundEven(double v) {
  return static_cast<int32_t>(std::clamp<double>(std::nearbyint(v), INT32_MIN, INT32_MAX));
}

int32_t FloorInt(float v) { return static_cast<int32_t>(std::clamp<double>(std::floor(v), INT32_MIN, INT32_MAX)); }
int32_t CeilInt(float v) { return static_cast<int32_t>(std::clamp<double>(std::ceil(v), INT32_MIN, INT32_MAX)); }

// Albrecht window coefficients, row = number of terms (2..11).
constexpr double kAlbrecht[10][11] = {
    {0.5383553946707251, 0.4616446053292749},
    {0.346100822018625, 0.497340635096738, 0.156558542884637},
    {0.226982412792069, 0.457254070828427, 0.273199027957384, 0.0425644884221201},
    {0.14894260601583, 0.386001173639176, 0.340977403214053, 0.1139879604246, 0.0100908567063414},
    {0.0971676200107429, 0.308845222524055, 0.362623371437917, 0.188953325525116, 0.0402095714148751,
     0.0022008890872942},
    {0.0639644241143904, 0.239938645993528, 0.350159563238205, 0.247741118970808, 0.085438256055858,
     0.0123202033692932, 0.000437788257917735},
    {0.0421072107042137, 0.182076226633776, 0.317713781059942, 0.284438001373442, 0.136762237777383,
     0.0334038053504025, 0.00341677216705768, 8.19649337831348e-05},
    {0.0276143731612611, 0.135382228758844, 0.275287234472237, 0.298843335317801, 0.185319330279284,
     0.0648884482549063, 0.0117641910285655, 0.000885987580106899, 1.48711469943406e-05},
    {0.0179908225352538, 0.098795958606521, 0.229883817001211, 0.294113019095183, 0.224338977814325,
     0.103248806248099, 0.0275674109448523, 0.00383958622947123, 0.000218971708430106, 2.62981665347889e-06},
    {0.0118717127796602, 0.0719533651951142, 0.187887160922585, 0.275808174097291, 0.248904243244464,
     0.141729867200712, 0.0502002976228256, 0.0104589649084984, 0.0011361511274166, 4.96285981703436e-05,
     4.3430326268572e-07},
};

}  // namespace

float SinC(float Value) {
  if (Value == 0) return 1;
  const float px = static_cast<float>(kPi * Value);
  return static_cast<float>(std::sin(static_cast<double>(px)) / px);
}

// ---- Kernels ------------------------------------------------------------------------

float TBoxKernel::Filter(float Value) { return (Value >= -0.5f && Value <= 0.5f) ? 1.0f : 0.0f; }

float TLinearKernel::Filter(float Value) {
  const float a = std::fabs(Value);
  return a < 1 ? 1 - a : 0;
}

float TCosineKernel::Filter(float Value) {
  const double a = std::fabs(Value);
  return a < 1 ? static_cast<float>((std::cos(kPi * Value) + 1) / 2) : 0;
}

float TSplineKernel::Filter(float Value) {
  const double a = std::fabs(Value);
  if (a < 1) return static_cast<float>(a * a * a / 2 - a * a + 2.0 / 3);
  if (a < 2) return static_cast<float>((2 - a) * (2 - a) * (2 - a) / 6);
  return 0;
}

float TMitchellKernel::Filter(float Value) {
  const double a = std::fabs(Value);
  if (a < 1) return static_cast<float>((21 * a * a * a - 36 * a * a + 16) / 18);
  if (a < 2) return static_cast<float>((-7 * a * a * a + 36 * a * a - 60 * a + 32) / 18);
  return 0;
}

float TCubicKernel::Filter(float Value) {
  const double a = std::fabs(Value);
  const double c = FCoeff;
  if (a < 1) return static_cast<float>((c + 2) * a * a * a - (c + 3) * a * a + 1);
  if (a < 2) return static_cast<float>(c * (a * a * a - 5 * a * a + 8 * a - 4));
  return 0;
}

float THermiteKernel::Filter(float Value) {
  const double n = std::floor(static_cast<double>(Value));
  const double t = std::fabs(n - Value);
  const double t2 = t * t;
  const double t3 = t2 * t;
  const double h = -2 * t3 + 3 * t2;
  const double f = (1 - static_cast<double>(FTension)) / 2;
  const double g = f * (1 - static_cast<double>(FBias));
  const double fb = f * (1 + static_cast<double>(FBias));
  const double b = t + t3 - 2 * t2;
  const double d = t3 - t2;
  if (n == 0) return static_cast<float>(b * (fb - g) + (1 - h) - d * fb);
  if (n == 1) return static_cast<float>(-b * fb);
  if (n == -2) return static_cast<float>(g * d);
  if (n == -1) return static_cast<float>(h + g * b + d * (fb - g));
  return 0;
}

float TSinshKernel::Filter(float Value) {
  if (Value == 0) return 1;
  return static_cast<float>(std::sin(kPi * Value) * FCoeff / std::sinh(kPi * FCoeff * Value));
}

void TSinshKernel::SetCoeff(float Value) {
  if (FCoeff == 0 || Value == 0) return;
  FCoeff = Value;
}

float TWindowedSincKernel::Filter(float Value) {
  const float a = std::fabs(Value);
  if (a >= FWidth) return 0;
  return SinC(a) * Window(a);
}

void TWindowedSincKernel::SetWidth(float Value) {
  Value = std::min(Value, 16.0f);
  FWidth = Value;
  FWidthReciprocal = 1.0f / Value;
}

float TLanczosKernel::Window(float Value) { return SinC(Value * FWidthReciprocal); }

float THannKernel::Window(float Value) {
  return static_cast<float>(0.5 + 0.5 * std::cos(kPi * Value * FWidthReciprocal));
}

float THammingKernel::Window(float Value) {
  return static_cast<float>(0.54 + 0.46 * std::cos(kPi * Value * FWidthReciprocal));
}

float TBlackmanKernel::Window(float Value) {
  const double c = std::cos(kPi * Value * FWidthReciprocal);
  return static_cast<float>(0.34 + 0.5 * c + 0.16 * c * c);
}

float TGaussianKernel::Window(float Value) {
  return static_cast<float>(std::exp(static_cast<double>(Value) * Value * FSigmaReciprocalLn2));
}

void TGaussianKernel::SetSigma(float Value) {
  if (FSigma == 0 || Value == 0 || Value == FSigma) return;
  FSigma = Value;
  FSigmaReciprocalLn2 = static_cast<float>(-std::log(2.0) / Value);
}

float TAlbrechtKernel::Window(float Value) {
  const float c = static_cast<float>(std::cos(kPi * Value * FWidthReciprocal));
  float result = static_cast<float>(FCoefPointer[static_cast<size_t>(FTerms - 1)]);
  for (int i = FTerms - 2; i >= 0; --i) result = result * c + static_cast<float>(FCoefPointer[static_cast<size_t>(i)]);
  return result;
}

void TAlbrechtKernel::SetTerms(int Value) {
  FTerms = std::clamp(Value, 2, 11);
  FCoefPointer.fill(0);
  for (int i = 0; i < FTerms; ++i) FCoefPointer[static_cast<size_t>(i)] = kAlbrecht[FTerms - 2][i];
}

template <class K>
std::unique_ptr<TCustomKernel> CreateKernel() {
  return std::make_unique<K>();
}

const std::vector<TKernelClass>& KernelClasses() {
  static const std::vector<TKernelClass> list = {
      {QStringLiteral("TBoxKernel"), &CreateKernel<TBoxKernel>},
      {QStringLiteral("TLinearKernel"), &CreateKernel<TLinearKernel>},
      {QStringLiteral("TCosineKernel"), &CreateKernel<TCosineKernel>},
      {QStringLiteral("TSplineKernel"), &CreateKernel<TSplineKernel>},
      {QStringLiteral("TCubicKernel"), &CreateKernel<TCubicKernel>},
      {QStringLiteral("TMitchellKernel"), &CreateKernel<TMitchellKernel>},
      {QStringLiteral("TAlbrechtKernel"), &CreateKernel<TAlbrechtKernel>},
      {QStringLiteral("TLanczosKernel"), &CreateKernel<TLanczosKernel>},
      {QStringLiteral("TGaussianKernel"), &CreateKernel<TGaussianKernel>},
      {QStringLiteral("TBlackmanKernel"), &CreateKernel<TBlackmanKernel>},
      {QStringLiteral("THannKernel"), &CreateKernel<THannKernel>},
      {QStringLiteral("THammingKernel"), &CreateKernel<THammingKernel>},
      {QStringLiteral("TSinshKernel"), &CreateKernel<TSinshKernel>},
      {QStringLiteral("THermiteKernel"), &CreateKernel<THermiteKernel>},
  };
  return list;
}

const TKernelClass* FindKernelClass(const QString& ClassName) {
  for (const TKernelClass& c : KernelClasses())
    if (c.ClassName == ClassName) return &c;
  return nullptr;
}

// ---- Tap tables ---------------------------------------------------------------------

TMappingTable MakeTapTable(int DstLo, int DstHi, int ClipLo, int ClipHi, int SrcLo, int SrcHi, TCustomKernel& Kernel) {
  const int64_t srcW = int64_t{SrcHi} - SrcLo;
  const int64_t dstW = int64_t{DstHi} - DstLo;
  const int64_t clipW = std::max<int64_t>(0, int64_t{ClipHi} - ClipLo);
  if (srcW <= 0) return {};
  TMappingTable result(static_cast<size_t>(clipW));
  if (srcW == 1) {
    for (TCluster& c : result) c = {{SrcLo, 256}};
    return result;
  }
  if (clipW == 0) return result;
  const float scale = static_cast<float>(dstW) / static_cast<float>(srcW);
  if (scale == 0) {
    if (result.size() != 1) throw EAssertionFailed("Assertion failure (raster/resampler_kernels.cpp)");
    result[0] = {{static_cast<int32_t>((int64_t{SrcLo} + SrcHi) / 2), 256}};
    return result;
  }
  const float s = 1.0f / scale;
  const bool reducing = scale < 1;
  // A reduction stretches the kernel over 1/scale source pixels and lowers its height.
  const float fw = reducing ? Kernel.GetWidth() * s : Kernel.GetWidth();
  for (int64_t i = 0; i < clipW; ++i) {
    const float center =
        static_cast<float>(SrcLo) - 0.5f + (static_cast<float>(ClipLo + i - DstLo) + 0.5f) * s;
    TCluster& cluster = result[static_cast<size_t>(i)];
    int32_t sum = -256;
    const int32_t lo = FloorInt(center - fw);
    const int32_t hi = CeilInt(center + fw);
    for (int64_t j = lo; j <= hi; ++j) {
      const float x = center - static_cast<float>(j);
      const int32_t weight = reducing ? RoundEven(static_cast<float>(Kernel.Filter(x * scale) * scale) * 256.0)
                                      : RoundEven(static_cast<double>(Kernel.Filter(x)) * 256.0);
      if (weight == 0) continue;
      cluster.push_back({static_cast<int32_t>(std::clamp<int64_t>(j, SrcLo, int64_t{SrcHi} - 1)), weight});
      sum += weight;
    }
    if (cluster.empty())
      cluster = {{FloorInt(center), 256}};
    else if (sum != 0)
      cluster[(cluster.size() - 1) / 2].Weight -= sum;
  }
  return result;
}

// ---- Kernel resampling ----------------------------------------------------------------

namespace {

// The largest sum of absolute weights over the clusters of a table.
int64_t MaxAbsWeight(const TMappingTable& map) {
  int64_t best = 0;
  for (const TCluster& c : map) {
    int64_t s = 0;
    for (const TPointRec& p : c) s += std::llabs(p.Weight);
    best = std::max(best, s);
  }
  return best;
}

template <bool RangeCheck, typename Acc>
uint32_t Channel(Acc v) {
  // V > $FF0000 and V shr 16 > 255 select the same values, as do V < 0 and a
  // negative arithmetic shift; in this form the loop vectorises to saturating packs.
  if constexpr (RangeCheck) {
    const Acc t = v >> 16;
    return static_cast<uint32_t>(t < 0 ? 0 : t > 255 ? 255 : t);
  } else {
    return static_cast<uint32_t>(v >> 16) & 0xFFu;
  }
}

// The one resampling loop. The sums are exact integers, so the order of the two
// passes does not change the result; the horizontal pass runs first, once per
// source row (rows are kept in a small cache while the vertical taps of
// successive destination rows reuse them), and the vertical pass then runs over
// contiguous rows of sums. Channel order B, G, R, A. Acc is int32_t when the
// weight bounds show no sum can leave its range (then weights fit 16 bits and
// the horizontal pass is the bound KernelRowPass).
template <typename Acc, bool RangeCheck>
void ResampleRows(TCustomBitmap32* Dst, const TRect& DstClip, TCustomBitmap32* Src, const TMappingTable& mapX,
                  const TMappingTable& mapY, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  // Clamped taps keep every position inside the source span, but the ends of
  // the table need not be the extremes for every kernel; take the true range.
  int32_t lo = mapX.front().front().Pos;
  for (const TCluster& c : mapX)
    for (const TPointRec& p : c) lo = std::min(lo, p.Pos);
  const int32_t width = DstClip.Width();
  const size_t count = static_cast<size_t>(width) * 4;
  TKernelRowTaps taps;
  if constexpr (sizeof(Acc) == 4) {
    taps.PairStart.push_back(0);
    for (const TCluster& c : mapX) {
      for (size_t t = 0; t < c.size(); t += 2) {
        const bool pair = t + 1 < c.size();
        taps.PosA.push_back(c[t].Pos - lo);
        taps.PosB.push_back(pair ? c[t + 1].Pos - lo : c[t].Pos - lo);
        const uint32_t wa = static_cast<uint16_t>(static_cast<int16_t>(c[t].Weight));
        const uint32_t wb = pair ? static_cast<uint16_t>(static_cast<int16_t>(c[t + 1].Weight)) : 0u;
        taps.Weights.push_back(wa | (wb << 16));
      }
      taps.PairStart.push_back(static_cast<int32_t>(taps.PosA.size()));
    }
  }
  size_t slotCount = 1;
  for (const TCluster& c : mapY) slotCount = std::max(slotCount, c.size() + 1);

  const uint32_t masterAlpha = Src->MasterAlpha();
  const TColor32 outerColor = Src->OuterColor();
  TBlendMemEx* blend = *BlendPxIntoExTbl[Src->CombineMode()];

  // Clip rows first .. last - 1, with their own row cache and sums.
  const auto run = [&](int32_t first, int32_t last) {
    std::vector<Acc> cache(slotCount * count);
    std::vector<int32_t> tags(slotCount, INT32_MIN);
    std::vector<Acc> sums(count);
    std::vector<TColor32> colourRow(static_cast<size_t>(width));
    uint8_t* bytes = reinterpret_cast<uint8_t*>(colourRow.data());
    // The horizontal sums of source row y, computed on first use. The taps of a
    // cluster are consecutive rows, so y mod slotCount never collides within one.
    const auto horizontal = [&](int32_t y) -> const Acc* {
      const size_t slot = static_cast<size_t>(y) % slotCount;
      Acc* out = cache.data() + slot * count;
      if (tags[slot] == y) return out;
      tags[slot] = y;
      const TColor32* row = Src->PixelPtr(lo, y);
      if constexpr (sizeof(Acc) == 4) {
        KernelRowPass(row, taps, width, out);
      } else {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(row);
        for (int32_t i = 0; i < width; ++i) {
          Acc s[4] = {0, 0, 0, 0};
          for (const TPointRec& tap : mapX[static_cast<size_t>(i)])
            for (int k = 0; k < 4; ++k) s[k] += Acc{tap.Weight} * bytes[static_cast<size_t>(tap.Pos - lo) * 4 + k];
          for (int k = 0; k < 4; ++k) out[static_cast<size_t>(i) * 4 + k] = s[k];
        }
      }
      return out;
    };
    for (int32_t j = first; j < last; ++j) {
      Acc* v = sums.data();
      const TCluster& cluster = mapY[static_cast<size_t>(j)];
      // Up to four taps per sweep over the row: fewer reads and writes of the
      // sums; the first sweep stores instead of adding.
      for (size_t t = 0; t < cluster.size(); t += 4) {
        const size_t n = std::min<size_t>(4, cluster.size() - t);
        const Acc* h[4];
        Acc w[4];
        for (size_t q = 0; q < 4; ++q) {
          // Missing taps repeat the first one with weight 0.
          h[q] = horizontal(cluster[t + (q < n ? q : 0)].Pos);
          w[q] = q < n ? Acc{cluster[t + q].Weight} : Acc{0};
        }
        if constexpr (sizeof(Acc) == 4) {
          KernelColumnSweep(v, h, w, count, t == 0);
        } else {
          for (size_t k = 0; k < count; ++k)
            v[k] = (t == 0 ? Acc{0} : v[k]) + w[0] * h[0][k] + w[1] * h[1][k] + w[2] * h[2][k] + w[3] * h[3][k];
        }
      }
      // Channel bytes in B, G, R, A order are the little-endian colour.
      for (size_t k = 0; k < count; ++k) bytes[k] = static_cast<uint8_t>(Channel<RangeCheck>(v[k]));
      PColor32 line = Dst->PixelPtr(DstClip.Left, DstClip.Top + j);
      const TColor32* colours = colourRow.data();
      switch (CombineOp) {
        case dmOpaque: std::copy(colours, colours + width, line); break;
        case dmBlend:
          for (int32_t i = 0; i < width; ++i) blend(colours[i], line[i], masterAlpha);
          break;
        case dmCustom:
          for (int32_t i = 0; i < width; ++i) CombineCallBack(colours[i], line[i], masterAlpha);
          break;
        case dmTransparent:
          for (int32_t i = 0; i < width; ++i)
            if (colours[i] != outerColor) line[i] = colours[i];
          break;
      }
    }
  };

  // Rows are independent (each writes only its own destination row), so large
  // areas are split across threads. A custom callback may keep state of its
  // own and always runs on the calling thread, in row order.
  const int64_t work = int64_t{width} * DstClip.Height();
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const int32_t parts = CombineOp == dmCustom || work < (int64_t{1} << 16)
                            ? 1
                            : static_cast<int32_t>(std::min<int64_t>({cores, 16, DstClip.Height()}));
  if (parts <= 1) {
    run(0, DstClip.Height());
    return;
  }
  std::vector<std::thread> threads;
  std::exception_ptr failure;
  std::mutex failureLock;
  for (int32_t p = 1; p < parts; ++p) {
    const int32_t first = static_cast<int32_t>(int64_t{DstClip.Height()} * p / parts);
    const int32_t last = static_cast<int32_t>(int64_t{DstClip.Height()} * (p + 1) / parts);
    threads.emplace_back([&, first, last] {
      try {
        run(first, last);
      } catch (...) {
        std::lock_guard guard(failureLock);
        if (!failure) failure = std::current_exception();
      }
    });
  }
  try {
    run(0, static_cast<int32_t>(DstClip.Height() / parts));
  } catch (...) {
    std::lock_guard guard(failureLock);
    if (!failure) failure = std::current_exception();
  }
  for (std::thread& t : threads) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

void KernelResample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                    const TRect& SrcRect, TCustomKernel& Kernel, TDrawMode CombineOp,
                    const TPixelCombineEvent& CombineCallBack) {
  if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
  if (CombineOp == dmBlend && Src->MasterAlpha() == 0) return;
  IntersectRect(DstClip, DstClip, Dst->BoundsRect());
  IntersectRect(DstClip, DstClip, DstRect);
  if (RectIsEmpty(DstClip)) return;
  if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > Src->Width() || SrcRect.Bottom > Src->Height())
    throw ERasterError("Invalid SrcRect");
  TMappingTable mapX =
      MakeTapTable(DstRect.Left, DstRect.Right, DstClip.Left, DstClip.Right, SrcRect.Left, SrcRect.Right, Kernel);
  TMappingTable mapY =
      MakeTapTable(DstRect.Top, DstRect.Bottom, DstClip.Top, DstClip.Bottom, SrcRect.Top, SrcRect.Bottom, Kernel);
  if (mapX.empty() || mapY.empty()) return;
  // A cluster left without taps holds floor(Center), which may lie outside the
  // source for exotic kernels; such positions are limited to the source rectangle.
  for (TMappingTable* map : {&mapX, &mapY}) {
    const int32_t first = map == &mapX ? SrcRect.Left : SrcRect.Top;
    const int32_t last = (map == &mapX ? SrcRect.Right : SrcRect.Bottom) - 1;
    for (TCluster& c : *map)
      for (TPointRec& p : c) p.Pos = std::clamp(p.Pos, first, last);
  }
  const bool rangeCheck = Kernel.RangeCheck();
  // Every final sum is bounded by 255 x (sum of |weights| vertically) x (horizontally).
  const bool narrow = MaxAbsWeight(mapX) * MaxAbsWeight(mapY) * 255 <= INT32_MAX && MaxAbsWeight(mapX) <= INT16_MAX;
  try {
    if (narrow) {
      if (rangeCheck) ResampleRows<int32_t, true>(Dst, DstClip, Src, mapX, mapY, CombineOp, CombineCallBack);
      else ResampleRows<int32_t, false>(Dst, DstClip, Src, mapX, mapY, CombineOp, CombineCallBack);
    } else {
      if (rangeCheck) ResampleRows<int64_t, true>(Dst, DstClip, Src, mapX, mapY, CombineOp, CombineCallBack);
      else ResampleRows<int64_t, false>(Dst, DstClip, Src, mapX, mapY, CombineOp, CombineCallBack);
    }
  } catch (...) {
    EndMmxState();
    throw;
  }
  EndMmxState();
}

// ---- Row pass (portable form) ----------------------------------------------------------

TKernelRowPass* KernelRowPass = &raster_portable::KernelRowPass;
TKernelColumnSweep* KernelColumnSweep = &raster_portable::KernelColumnSweep;

namespace raster_portable {
void KernelColumnSweep(int32_t* Sums, const int32_t* const H[4], const int32_t W[4], size_t Count, bool First) {
  const int32_t* h0 = H[0];
  const int32_t* h1 = H[1];
  const int32_t* h2 = H[2];
  const int32_t* h3 = H[3];
  const int32_t w0 = W[0], w1 = W[1], w2 = W[2], w3 = W[3];
  if (First)
    for (size_t k = 0; k < Count; ++k) Sums[k] = w0 * h0[k] + w1 * h1[k] + w2 * h2[k] + w3 * h3[k];
  else
    for (size_t k = 0; k < Count; ++k) Sums[k] += w0 * h0[k] + w1 * h1[k] + w2 * h2[k] + w3 * h3[k];
}

void KernelRowPass(const TColor32* Row, const TKernelRowTaps& Taps, int32_t Count, int32_t* Out) {
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(Row);
  for (int32_t i = 0; i < Count; ++i) {
    int32_t s[4] = {0, 0, 0, 0};
    for (int32_t p = Taps.PairStart[static_cast<size_t>(i)]; p < Taps.PairStart[static_cast<size_t>(i) + 1]; ++p) {
      const uint32_t packed = Taps.Weights[static_cast<size_t>(p)];
      const int32_t wa = static_cast<int16_t>(packed & 0xFFFFu);
      const int32_t wb = static_cast<int16_t>(packed >> 16);
      const uint8_t* a = bytes + static_cast<size_t>(Taps.PosA[static_cast<size_t>(p)]) * 4;
      const uint8_t* b = bytes + static_cast<size_t>(Taps.PosB[static_cast<size_t>(p)]) * 4;
      for (int k = 0; k < 4; ++k) s[k] += wa * a[k] + wb * b[k];
    }
    for (int k = 0; k < 4; ++k) Out[static_cast<size_t>(i) * 4 + k] = s[k];
  }
}
}  // namespace raster_portable

// ---- TKernelResampler ---------------------------------------------------------------

TKernelResampler::TKernelResampler(TCustomBitmap32* ABitmap)
    : TCustomResampler(ABitmap), FKernel(std::make_unique<TBoxKernel>()) {}

void TKernelResampler::SetKernel(std::unique_ptr<TCustomKernel> Value) {
  if (!Value || Value.get() == FKernel.get()) return;
  FKernel = std::move(Value);
  Changed();
}

void TKernelResampler::SetKernelClassName(const QString& Value) {
  if (Value.isEmpty() || Value == FKernel->ClassName()) return;
  const TKernelClass* c = FindKernelClass(Value);
  if (c == nullptr) return;
  FKernel = c->Create();
  Changed();
}

void TKernelResampler::SetKernelMode(TKernelMode Value) {
  if (Value == FKernelMode) return;
  FKernelMode = Value;
  Changed();
}

void TKernelResampler::SetTableSize(int Value) {
  Value = std::max(Value, 2);
  if (Value == FTableSize) return;
  FTableSize = Value;
  Changed();
}

void TKernelResampler::Resample(TCustomBitmap32* Dst, const TRect& DstRect, TRect DstClip, TCustomBitmap32* Src,
                                const TRect& SrcRect, TDrawMode CombineOp,
                                const TPixelCombineEvent& CombineCallBack) {
  KernelResample(Dst, DstRect, DstClip, Src, SrcRect, *FKernel, CombineOp, CombineCallBack);
}

// ---- Point sampling ----------------------------------------------------------------------

void TKernelResampler::PrepareSampling() {
  TCustomResampler::PrepareSampling();
  if (FBitmap != nullptr) FOuterColor = FBitmap->OuterColor();
  FWeightTable.clear();
  if (FKernelMode == kmDynamic) return;
  const int w = CeilInt(FKernel->GetWidth());
  FWeightTable.assign(static_cast<size_t>(FTableSize) + 1, std::vector<int32_t>(static_cast<size_t>(2 * w + 1)));
  for (int r = 0; r <= FTableSize; ++r) {
    std::vector<int32_t>& row = FWeightTable[static_cast<size_t>(r)];
    int32_t sum = 0;
    for (int k = -w; k <= w; ++k) {
      const float x = static_cast<float>(k) + static_cast<float>(r) / static_cast<float>(FTableSize - 1);
      row[static_cast<size_t>(k + w)] = RoundEven(static_cast<double>(FKernel->Filter(x)) * 256.0);
      sum += row[static_cast<size_t>(k + w)];
    }
    row[static_cast<size_t>(w)] -= sum - 256;
  }
}

void TKernelResampler::FinalizeSampling() {
  FWeightTable.clear();
  TCustomResampler::FinalizeSampling();
}

void TKernelResampler::Weights(float d, int w, int32_t* out) {
  const size_t n = static_cast<size_t>(2 * w + 1);
  if (FKernelMode == kmDynamic || FWeightTable.empty()) {
    int32_t sum = 0;
    for (int i = -w; i <= w; ++i) {
      out[i + w] = RoundEven(static_cast<double>(FKernel->Filter(static_cast<float>(i) + d)) * 256.0);
      sum += out[i + w];
    }
    out[w] -= sum - 256;
    return;
  }
  const int last = FTableSize;
  if (FKernelMode == kmTableNearest) {
    const int r = std::clamp(RoundEven(static_cast<double>(d) * (FTableSize - 1)), 0, last);
    std::copy_n(FWeightTable[static_cast<size_t>(r)].begin(), n, out);
    return;
  }
  const int32_t p = RoundEven(static_cast<double>(d) * (FTableSize - 1) * 65536.0);
  const int r = std::clamp(p >> 16, 0, last - 1);
  const int32_t f = p & 0xFFFF;
  const std::vector<int32_t>& a = FWeightTable[static_cast<size_t>(r)];
  const std::vector<int32_t>& b = FWeightTable[static_cast<size_t>(r) + 1];
  int32_t sum = 0;
  for (size_t i = 0; i < n; ++i) {
    // Truncating division, as the integer divide of the formula.
    out[i] = a[i] + static_cast<int32_t>((int64_t{b[i] - a[i]} * f + 0x7FFF) / 65536);
    sum += out[i];
  }
  out[w] -= sum - 256;
}

TColor32 TKernelResampler::GetSampleFloat(float X, float Y) {
  if (FBitmap == nullptr || FBitmap->Empty()) return FOuterColor;
  const int w = CeilInt(FKernel->GetWidth());
  const int32_t cX = CeilInt(X), cY = CeilInt(Y);
  const TRect& clip = FClipRect;
  int loX = -w, hiX = w, loY = -w, hiY = w;
  bool edge = false;
  // An empty clip rectangle has no pixel to fold onto.
  if (FPixelAccessMode == pamWrap && RectIsEmpty(clip)) return FOuterColor;
  if (FPixelAccessMode == pamSafe || FPixelAccessMode == pamTransparentEdge) {
    if (cX < clip.Left || cX > clip.Right || cY < clip.Top || cY > clip.Bottom)
      return FPixelAccessMode == pamSafe ? FOuterColor : 0;
    loX = static_cast<int>(std::max<int64_t>(-w, int64_t{clip.Left} - cX));
    hiX = static_cast<int>(std::min<int64_t>(w, int64_t{clip.Right} - cX - 1));
    loY = static_cast<int>(std::max<int64_t>(-w, int64_t{clip.Top} - cY));
    hiY = static_cast<int>(std::min<int64_t>(w, int64_t{clip.Bottom} - cY - 1));
    edge = loX != -w || hiX != w || loY != -w || hiY != w;
  }
  std::vector<int32_t> hw(static_cast<size_t>(2 * w + 1)), vw(hw.size());
  Weights(static_cast<float>(cX) - X, w, hw.data());
  Weights(static_cast<float>(cY) - Y, w, vw.data());

  // Premultiplied channel sums in B, G, R order and alpha; 64-bit so that no
  // kernel can overflow them.
  int64_t sum[3] = {0, 0, 0}, alpha = 0;
  const auto add = [](TColor32 c, int64_t weight, int64_t* s, int64_t& a) {
    const uint32_t ca = c >> 24;
    if (ca == 0) return;
    a += weight * ca;
    for (int k = 0; k < 3; ++k) {
      const uint32_t ch = (c >> (8 * k)) & 0xFFu;
      s[k] += weight * (ca == 255 ? ch : ch * ca / 255);
    }
  };
  const bool wrap = FPixelAccessMode == pamWrap;
  for (int j = loY; j <= hiY; ++j) {
    const int64_t vj = vw[static_cast<size_t>(j + w)];
    if (vj == 0) continue;
    int64_t rowSum[3] = {0, 0, 0}, rowAlpha = 0;
    int32_t y = static_cast<int32_t>(int64_t{cY} + j);
    if (wrap) y = FBitmap->WrapProcVert()(y, clip.Top, clip.Bottom - 1);
    for (int i = loX; i <= hiX; ++i) {
      int32_t x = static_cast<int32_t>(int64_t{cX} + i);
      if (wrap) x = FBitmap->WrapProcHorz()(x, clip.Left, clip.Right - 1);
      add(FBitmap->Pixel(x, y), hw[static_cast<size_t>(i + w)], rowSum, rowAlpha);
    }
    for (int k = 0; k < 3; ++k) sum[k] += rowSum[k] * vj;
    alpha += rowAlpha * vj;
  }
  if (FPixelAccessMode == pamSafe && edge && (FOuterColor >> 24) != 0) {
    for (int j = -w; j <= w; ++j)
      for (int i = -w; i <= w; ++i)
        if (i < loX || i > hiX || j < loY || j > hiY)
          add(FOuterColor, int64_t{hw[static_cast<size_t>(i + w)]} * vw[static_cast<size_t>(j + w)], sum, alpha);
  }
  const bool rangeCheck = FKernel->RangeCheck();
  const auto limit = [rangeCheck](int64_t v) { return rangeCheck ? std::clamp<int64_t>(v, 0, 255) : (v & 0xFF); };
  const int64_t a = limit((alpha + 0x7FFF) >> 16);
  if (a <= 0) return 0;
  TColor32 result = static_cast<TColor32>(a) << 24;
  for (int k = 0; k < 3; ++k) {
    const int64_t v = (sum[k] + 0x7FFF) >> 16;
    // Undo the premultiplication.
    result |= static_cast<TColor32>(limit(a == 255 ? v : v * 255 / a)) << (8 * k);
  }
  return result;
}
