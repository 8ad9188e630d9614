#include "tools/dq_kernel.h"

#include <cmath>
#include <cstring>
#include <span>
#include <vector>

void DQEnvelopeTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int samples,
                      TOutputType signMode) {
  if (samples <= 0 || end <= first) return;
  const auto width = static_cast<size_t>(samples);
  const auto count = static_cast<size_t>(end - first);
  int32_t* part = out + static_cast<size_t>(first) * width;
  std::memcpy(part, in + static_cast<size_t>(first) * width, count * width * sizeof(int32_t));
  std::vector<std::vector<TMaxSample2>> lists(count);
  FindExtremaInTraces(samples, static_cast<int>(count), true, lists, std::span<int32_t>(part, count * width),
                      signMode, true);
}

void DQFrequencyTrace(const int32_t* envelope, const int32_t* x, int samples, double timeWindow,
                      TPhaseHistory& history, int32_t* out) {
  if (samples <= 0) return;
  std::vector<long double> phase(static_cast<size_t>(samples));
  for (size_t i = 0; i < phase.size(); ++i) {
    const long double e = envelope[i];
    const long double v = x[i];
    const long double q = std::sqrt(std::fabs(e * e - v * v));
    phase[i] = std::atan2(q, v);
  }
  PhaseToFrequency(phase.data(), samples, timeWindow, history, out);
}
