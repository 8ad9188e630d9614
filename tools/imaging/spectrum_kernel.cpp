#include "tools/imaging/spectrum_kernel.h"

#include "platform/rtl/rounding.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// Steps of the rotation between two exact seeds.
constexpr int64_t SeedEvery = 64;
// No spectrum of more entries than this (a broken time window could ask for any).
constexpr int64_t MostEntries = 1 << 20;
// Frequencies, and correlation positions, per piece a worker takes.
constexpr int64_t FrequencyChunk = 16;  // a multiple of Lanes
constexpr int64_t TraceChunk = 2048;
// Frequencies that advance side by side through the window (independent lanes,
// each adding in the window's order).
constexpr int Lanes = 8;
// Correlation positions computed together, tap by tap.
constexpr int64_t PositionBlock = 256;

// Pieces of about a quarter of a thread's share of `count` items, at least `least`.
int64_t ChunkFor(int64_t count, int64_t least) {
  const int64_t threads = TWorkerPool::Instance().ThreadCount();
  return std::max<int64_t>(least, count / (threads * 4));
}
}  // namespace

std::vector<double> AverageLine(const TSpectrumSamples& s, bool horizontal, int64_t centre, int32_t delta) {
  if (!s.Data || s.Traces <= 0 || s.LongTrace <= 0) return {};
  const int64_t l = s.LongTrace;
  const int64_t across = horizontal ? l : s.Traces;  // traces or rows averaged
  const int64_t c = std::clamp<int64_t>(centre, 0, across - 1);
  const int64_t d = std::max<int32_t>(delta, 0);
  const int64_t lo = std::max<int64_t>(0, c - d);
  const int64_t hi = std::min(across - 1, c + d);
  // A sample over at most 2^31 values: a quotient that is no half lies at least
  // 1 / (2 k) from one, far beyond the double's error, so rounding the double
  // quotient rounds the exact one.
  const double k = static_cast<double>(hi - lo + 1);
  const auto term = [k](int32_t v) { return static_cast<int64_t>(std::nearbyint(v / k)); };
  std::vector<double> line(static_cast<size_t>(horizontal ? s.Traces : l), 0.0);
  if (horizontal) {
    const auto traces = [&](int64_t first, int64_t end) {
      for (int64_t e = first; e < end; ++e) {
        const int32_t* trace = s.Data + e * l;
        int64_t sum = 0;
        for (int64_t r = lo; r <= hi; ++r) sum += term(trace[r]);
        line[static_cast<size_t>(e)] = static_cast<double>(sum);
      }
    };
    TWorkerPool::Instance().RunChunked(0, s.Traces, TraceChunk, traces);
  } else {
    std::vector<int64_t> sums(static_cast<size_t>(l), 0);
    for (int64_t t = lo; t <= hi; ++t) {
      const int32_t* trace = s.Data + t * l;
      for (int64_t e = 0; e < l; ++e) sums[static_cast<size_t>(e)] += term(trace[e]);
    }
    for (int64_t e = 0; e < l; ++e) line[static_cast<size_t>(e)] = static_cast<double>(sums[static_cast<size_t>(e)]);
  }
  return line;
}

int32_t MaxFrOfUnit(int type, int32_t previous) {
  if (type == 0) return 800;
  if (type >= 1 && type <= 15) {
    switch ((type - 1) % 3) {
      case 0: return 300;
      case 1: return 800;
      default: return 1200;
    }
  }
  if (type >= 16 && type <= 19) return 1000;
  if (type >= 20 && type <= 23) return 150;
  return previous;
}

TFrequencyAxis FrequencyAxis(bool horizontal, int64_t traces, double spanWidth, long double stepTime, int32_t maxFr) {
  TFrequencyAxis a;
  a.MaxFr = maxFr;
  if (traces <= 0) {
    a.dTime = stepTime * 1000;
  } else {
    a.dTime = horizontal ? traces * stepTime * 1000 : static_cast<long double>(spanWidth);
  }
  if (horizontal && stepTime > 0) a.MaxFr = SaturateToInt32(Round(1 / (2 * stepTime)));
  if (!(a.dTime > 0) || !std::isfinite(a.dTime)) return a;
  a.MinFr = SaturateToInt32(Round(1000 / a.dTime));
  a.M = static_cast<int32_t>(std::clamp<int64_t>(Round(a.MaxFr * a.dTime / 1000), 0, MostEntries));
  return a;
}

TLineWindow ClampWindow(int64_t start, int64_t stop, int64_t length) {
  if (start > stop) std::swap(start, stop);
  TLineWindow w;
  w.Start = std::max<int64_t>(start, 0);
  w.Stop = std::min(stop, length - 1);
  return w;
}

TLineStatistics WindowStatistics(const std::vector<double>& line, int64_t start, int64_t stop) {
  TLineStatistics r;
  const TLineWindow w = ClampWindow(start, stop, static_cast<int64_t>(line.size()));
  if (w.Empty()) return r;
  const int64_t k = w.Stop - w.Start + 1;
  long double sum = 0;
  for (int64_t i = w.Start; i <= w.Stop; ++i) sum += line[static_cast<size_t>(i)];
  const long double mean = sum / k;
  r.Mean = static_cast<double>(mean);
  if (k > 1) {
    long double squares = 0;
    for (int64_t i = w.Start; i <= w.Stop; ++i) {
      const long double d = line[static_cast<size_t>(i)] - mean;
      squares += d * d;
    }
    r.Deviation = static_cast<double>(std::sqrt(squares / (k - 1)));
  }
  return r;
}

std::vector<double> AmplitudeSpectrum(const std::vector<double>& line, int64_t start, int64_t stop, int32_t M) {
  std::vector<double> out(static_cast<size_t>(std::max(M, 0)) + 1, 0.0);
  const int64_t n = static_cast<int64_t>(line.size());
  const TLineWindow w = ClampWindow(start, stop, n);
  if (n == 0 || w.Empty() || M < 1) return out;
  const long double twoPi = 2 * std::numbers::pi_v<long double>;
  const double twoPiD = 2 * std::numbers::pi;
  const double* x = line.data();
  const auto frequencies = [&](int64_t first, int64_t end) {
    for (int64_t k0 = first; k0 < end; k0 += Lanes) {
      const int lanes = static_cast<int>(std::min<int64_t>(Lanes, end - k0));
      // Per lane: the step e^(i w), and every SeedEvery steps the exact e^(i w j)
      // from the phase (k j mod n) / n, which keeps the argument small.
      double stepC[Lanes] = {}, stepS[Lanes] = {}, re[Lanes] = {}, im[Lanes] = {};
      int64_t kn[Lanes] = {};
      for (int q = 0; q < lanes; ++q) {
        kn[q] = (k0 + q) % n;
        const long double omega = twoPi * static_cast<long double>(kn[q]) / n;
        stepC[q] = static_cast<double>(std::cos(omega));
        stepS[q] = static_cast<double>(std::sin(omega));
      }
      for (int64_t j = w.Start; j <= w.Stop;) {
        double c[Lanes] = {}, s[Lanes] = {};
        for (int q = 0; q < lanes; ++q) {
          // The phase below 2 pi: double sines are exact to far within the bound.
          const double phase = twoPiD * static_cast<double>(kn[q] * (j % n) % n) / static_cast<double>(n);
          c[q] = std::cos(phase);
          s[q] = std::sin(phase);
        }
        const int64_t stop = std::min(w.Stop + 1, j + SeedEvery);
        for (; j < stop; ++j) {
          const double v = x[j];
          for (int q = 0; q < Lanes; ++q) {
            re[q] += v * c[q];
            im[q] += v * s[q];
            const double nc = c[q] * stepC[q] - s[q] * stepS[q];
            s[q] = s[q] * stepC[q] + c[q] * stepS[q];
            c[q] = nc;
          }
        }
      }
      for (int q = 0; q < lanes; ++q)
        out[static_cast<size_t>(k0 + q)] = std::sqrt(re[q] * re[q] + im[q] * im[q]) / static_cast<double>(n);
    }
  };
  TWorkerPool::Instance().RunChunked(1, int64_t{M} + 1, FrequencyChunk, frequencies);
  return out;
}

THarmonicKernel PrepareHarmonicKernel(int n, long double dTime, int64_t lineLength, int64_t longMax) {
  THarmonicKernel kernel;
  kernel.Line.assign(HarmonicLineLength, 0.0);
  if (lineLength > 0 && std::isfinite(dTime)) {
    const long double s = dTime / lineLength;
    long double h = longMax / (3 * std::ldexp(1.0L, 10 - n));
    if (h == 0) h = 0.001L;
    const long double d = std::pow(2.0L, -n / 2.0L);
    if (h >= 0.05L) {
      const long double norm = std::sqrt(3 * h * std::pow(std::numbers::pi_v<long double>, 0.25L));
      for (int i = 0; i < HarmonicLineLength; ++i) {
        const long double u = s * (i - HarmonicLineLength / 2) / h;
        kernel.Line[static_cast<size_t>(i)] = static_cast<double>(2 * d * (1 - u * u) * std::exp(-u * u / 2) / norm);
      }
    }
  }
  double m = 0;
  for (double v : kernel.Line) m = std::max(m, std::fabs(v));
  kernel.MaxLine = m;
  int start = 0;
  while (start < HarmonicLineLength - 1 && std::fabs(kernel.Line[static_cast<size_t>(start)]) < m / 1000) ++start;
  int stop = HarmonicLineLength - 1;
  while (stop > 0 && std::fabs(kernel.Line[static_cast<size_t>(stop)]) < m / 1000) --stop;
  kernel.Start = start;
  kernel.Stop = stop;
  long double sum = 0;
  for (int i = start; i <= stop; ++i) sum += std::fabs(kernel.Line[static_cast<size_t>(i)]);
  if (sum > 0 && stop >= start) {
    kernel.Taps.resize(static_cast<size_t>(stop - start + 1));
    for (int j = 0; j <= stop - start; ++j)
      kernel.Taps[static_cast<size_t>(j)] = static_cast<double>(kernel.Line[static_cast<size_t>(start + j)] / sum);
  }
  return kernel;
}

std::vector<double> CorrelateHarmonic(const std::vector<double>& line, int64_t count, const std::vector<double>& taps) {
  count = std::clamp<int64_t>(count, 0, static_cast<int64_t>(line.size()));
  std::vector<double> result(static_cast<size_t>(count), 0.0);
  const int64_t length = static_cast<int64_t>(taps.size());
  if (count == 0 || length == 0) return result;
  const int64_t half = Round(length / 2.0L);
  const int64_t last = count - 2;  // the line's last value is never read
  // Positions whose taps all fall inside 0 .. last go tap by tap over a block of
  // positions (each position still adds its taps in order); the others one by one.
  const int64_t innerFirst = half;
  const int64_t innerEnd = last - (length - 1) + half + 1;
  const auto single = [&](int64_t h) {
    // t with 0 <= h + t - half <= last.
    const int64_t t0 = std::max<int64_t>(0, half - h);
    const int64_t t1 = std::min(length - 1, last - h + half);
    double sum = 0;
    for (int64_t t = t0; t <= t1; ++t) sum += line[static_cast<size_t>(h + t - half)] * taps[static_cast<size_t>(t)];
    result[static_cast<size_t>(h)] = sum;
  };
  const auto positions = [&](int64_t first, int64_t end) {
    int64_t h = first;
    for (; h < end && h < innerFirst; ++h) single(h);
    while (h < end && h < innerEnd) {
      const int64_t blockEnd = std::min({end, innerEnd, h + PositionBlock});
      const int64_t size = blockEnd - h;
      double sums[PositionBlock] = {};
      for (int64_t t = 0; t < length; ++t) {
        const double tap = taps[static_cast<size_t>(t)];
        const double* from = line.data() + (h + t - half);
        for (int64_t i = 0; i < size; ++i) sums[i] += from[i] * tap;
      }
      std::copy(sums, sums + size, result.begin() + h);
      h = blockEnd;
    }
    for (; h < end; ++h) single(h);
  };
  TWorkerPool::Instance().RunChunked(0, count, ChunkFor(count, PositionBlock), positions);
  return result;
}
