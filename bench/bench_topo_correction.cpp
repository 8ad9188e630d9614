// The topographically corrected image of one channel:
//  - 600 traces x 256 samples: the full loop over every cell and trace beside
//    the pruned build (each trace visits only the cells its beam can reach), on
//    one thread and on the display threads;
//  - 30000 traces x 1024 samples: the pruned build on the display threads.
// The profile climbs and falls by a slow tilt wave, so the image has margins
// above and below as a real one does. Geometry of a common survey: 50 mm trace
// step, 100 m/us, a window of samples / 5.12 ns (about 9.8 mm of depth per
// sample: 2.5 m at 256 samples, 10 m at 1024).

#include "radargram/display_pipeline.h"
#include "radargram/topo_correction.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

namespace tc = topo_correction;

struct TBenchProfile {
  std::vector<int32_t> data;
  std::vector<double> tilt, DX, DY;
  tc::TTopoImageInput in;
};

TBenchProfile MakeProfile(int64_t traces, int32_t samples) {
  TBenchProfile p;
  p.data.resize(static_cast<size_t>(traces * samples));
  for (int64_t i = 0; i < traces; ++i)
    for (int32_t s = 0; s < samples; ++s)
      p.data[static_cast<size_t>(i * samples + s)] =
          static_cast<int32_t>(std::sin(s * 0.37 + i * 0.05) * 900 + ((s % 40 == 20) ? 20000 : 0));
  p.tilt.resize(static_cast<size_t>(traces));
  for (int64_t i = 0; i < traces; ++i) p.tilt[static_cast<size_t>(i)] = 0.3 * std::sin(i * 0.01);
  tc::TPathInput path;
  path.NumTraces = traces;
  path.NumIncl = traces;
  path.StepDistance = 50;
  path.SpeedLight = 100;
  path.SpanWidth = samples / 5.12;
  path.LongTrace = samples;
  path.Proportion = path.StepDistance / (path.SpeedLight * path.SpanWidth / (2.0 * samples));
  tc::TTopoExtents ext;
  tc::BuildAntennaPath(
      path, [&](int64_t t) -> long double { return t < traces ? p.tilt[static_cast<size_t>(t)] : 0.0; }, ext, p.DX,
      p.DY);
  p.in.Height = samples + ext.IdentYtopPx + ext.IdentYBottomPx;
  p.in.Width = static_cast<int32_t>(traces) + ext.IdentXLeftPx + ext.IdentXrightPx;
  p.in.NumTraces = traces;
  p.in.LongTrace = samples;
  p.in.NullShift = 10;
  p.in.SpeedLight = path.SpeedLight;
  p.in.SpanWidth = path.SpanWidth;
  p.in.StepDistance = path.StepDistance;
  p.in.IdentXLeftM = ext.IdentXLeftM;
  p.in.IdentYtopM = ext.IdentYtopM;
  p.in.DX = p.DX.data();
  p.in.DY = p.DY.data();
  p.in.Tilt = p.tilt.data();
  p.in.Samples = p.data.data();
  return p;
}

const TBenchProfile& Small() {
  static const TBenchProfile profile = MakeProfile(600, 256);
  return profile;
}

void BM_TopoImage_FullLoop_600x256(benchmark::State& state) {
  std::vector<uint8_t> image;
  for (auto _ : state) {
    tc::BuildTopoImageReference(Small().in, image, {});
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BM_TopoImage_FullLoop_600x256)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_TopoImage_Pruned_600x256(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  std::vector<uint8_t> image;
  for (auto _ : state) {
    tc::BuildTopoImage(Small().in, image, {}, threads);
    benchmark::DoNotOptimize(image.data());
  }
  state.counters["threads"] = threads;
}
BENCHMARK(BM_TopoImage_Pruned_600x256)
    ->Arg(1)
    ->Arg(display_pipeline::DisplayThreads())
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_TopoImage_Pruned_30000x1024(benchmark::State& state) {
  static const TBenchProfile profile = MakeProfile(30000, 1024);
  std::vector<uint8_t> image;
  for (auto _ : state) {
    tc::BuildTopoImage(profile.in, image, {});
    benchmark::DoNotOptimize(image.data());
  }
  state.counters["cells"] = static_cast<double>(profile.in.Height) * profile.in.Width;
}
BENCHMARK(BM_TopoImage_Pruned_30000x1024)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
