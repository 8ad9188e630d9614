#pragma once
// The synthetic channel the tool benchmarks share: 30000 traces x 1024 samples
// (hyperbolas, horizontal bands and noise within +-2^20), built once.

#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace bench_tool_channel {

constexpr int kTraces = 30000;
constexpr int kSamples = 1024;
constexpr int64_t kBytes = int64_t{kTraces} * kSamples * 4;

struct TChannelFixture {
  std::unique_ptr<T2Dview> view = std::make_unique<T2Dview>(nullptr);
  std::vector<int32_t> raw;

  TChannelFixture() {
    view->Settings()->RestoreLongTrace(kSamples);
    view->Settings()->RestoreSpanWidth(50.0);
    view->SetMinNumTraces(0);
    view->SetMaxNumTraces(kTraces);
    view->SetSizeDat(kBytes);
    view->dezoData.Allocate(kBytes);
    raw.resize(static_cast<size_t>(int64_t{kTraces} * kSamples));
    std::mt19937 random(12345);
    std::uniform_int_distribution<int32_t> noise(-20000, 20000);
    const double limit = std::ldexp(1.0, 20) - 1;
    for (int t = 0; t < kTraces; ++t) {
      for (int k = 0; k < kSamples; ++k) {
        double v = noise(random);
        // Bands: ringing below the surface and a flat layer.
        v += 400000.0 * std::sin(k * 0.35) * std::exp(-k / 60.0);
        v += 150000.0 * std::exp(-std::pow((k - 600) / 6.0, 2));
        // Diffraction hyperbolas every 1500 traces.
        const int apex = (t / 1500) * 1500 + 750;
        const double depth = 150 + (t / 1500) % 5 * 120;
        const double arrival = std::sqrt(depth * depth + std::pow((t - apex) * 0.8, 2));
        v += 300000.0 * std::cos((k - arrival) * 0.6) * std::exp(-std::pow((k - arrival) / 8.0, 2));
        raw[static_cast<size_t>(int64_t{t} * kSamples + k)] = static_cast<int32_t>(std::clamp(v, -limit, limit));
      }
    }
    std::memcpy(view->dezoData.Data(), raw.data(), static_cast<size_t>(kBytes));
  }
};

inline TChannelFixture& Fixture() {
  static TChannelFixture fixture;
  return fixture;
}

}  // namespace bench_tool_channel
