#include "tools/filter_spectrum.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

int SpectrumLineCount(double spanWidth, int32_t maxFr, int longTrace) {
  if (!(spanWidth > 0) || !std::isfinite(spanWidth) || longTrace <= 0) return 0;
  const int64_t n = Round(static_cast<long double>(spanWidth) * maxFr / 1000);
  return static_cast<int>(std::clamp<int64_t>(n, 0, longTrace));
}

std::vector<double> AmplitudeSpectrum(const int32_t* trace, int longTrace, int lines) {
  lines = std::max(lines, 0);
  std::vector<double> spectrum(static_cast<size_t>(lines) + 1, 0.0);
  if (!trace || longTrace <= 0) return spectrum;
  // cos(w j) and sin(w j) with w = 2 pi k / L repeat with period L in k j: one
  // table of L angles serves every line.
  std::vector<double> cosTable(static_cast<size_t>(longTrace)), sinTable(static_cast<size_t>(longTrace));
  for (int m = 0; m < longTrace; ++m) {
    const double angle = 2 * std::numbers::pi * m / longTrace;
    cosTable[static_cast<size_t>(m)] = std::cos(angle);
    sinTable[static_cast<size_t>(m)] = std::sin(angle);
  }
  for (int k = 1; k <= lines; ++k) {
    double re = 0, im = 0;
    int64_t m = 0;  // k j mod L
    for (int j = 0; j < longTrace; ++j) {
      re += trace[j] * cosTable[static_cast<size_t>(m)];
      im += trace[j] * sinTable[static_cast<size_t>(m)];
      m += k;
      if (m >= longTrace) m %= longTrace;
    }
    spectrum[static_cast<size_t>(k)] = std::sqrt(re * re + im * im) / longTrace;
  }
  return spectrum;
}
