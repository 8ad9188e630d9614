// The direct amplitude spectrum: a cosine on a whole number of periods shows as
// one line of half its amplitude, the line count's limits.

#include "tools/filter_spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace filter_spectrum_test {

TEST(FilterSpectrum, ACosineIsOneLineOfHalfItsAmplitude) {
  const int n = 100;
  std::vector<int32_t> trace(n);
  for (int j = 0; j < n; ++j) trace[j] = static_cast<int32_t>(std::lround(1e6 * std::cos(2 * std::numbers::pi * 7 * j / n)));
  const std::vector<double> s = AmplitudeSpectrum(trace.data(), n, 20);
  ASSERT_EQ(s.size(), 21u);
  EXPECT_EQ(s[0], 0.0);
  for (int k = 1; k <= 20; ++k) EXPECT_NEAR(s[k], k == 7 ? 5e5 : 0.0, 1.0) << k;
}

TEST(FilterSpectrum, LineCount) {
  EXPECT_EQ(SpectrumLineCount(50.0, 1500, 512), 75);
  EXPECT_EQ(SpectrumLineCount(50.0, 1500, 40), 40) << "at most the trace length";
  EXPECT_EQ(SpectrumLineCount(0.0, 1500, 512), 0);
  EXPECT_EQ(SpectrumLineCount(std::nan(""), 1500, 512), 0);
  EXPECT_EQ(SpectrumLineCount(50.0, 1500, 0), 0);
  EXPECT_EQ(SpectrumLineCount(50.0, -10, 512), 0);
}

}  // namespace filter_spectrum_test
