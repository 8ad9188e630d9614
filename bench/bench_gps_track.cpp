// The radargram window's stored GPS track: GPSarrayToMetres over a master
// channel of 30000 traces with an NMEA line each (the whole track converted,
// the chart fitted and filled), and the conversion alone.

#include "bench/bench_acquisition_shell.h"
#include "bench/bench_radargram_shell.h"
#include "bench/bench_toolkit.h"
#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/gps_track.h"
#include "radargram/view2d_form.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kTraces = 30000;

// A walk north-east: one GGA sentence per trace, a few centimetres apart.
QStringList TrackLines() {
  QStringList lines;
  lines.reserve(kTraces);
  for (int t = 0; t < kTraces; ++t)
    lines << QStringLiteral("%1=$GPGGA,120526.00,%2,N,%3,E,1,08,1.0,120.0,M,0.0,M,,*48")
                 .arg(t + 1)
                 .arg(5030.5 + t * 0.00002, 0, 'f', 5)
                 .arg(3930.0 + t * 0.00001, 10, 'f', 5, QLatin1Char('0'));
  return lines;
}

struct TTrackFixture {
  TBenchAcquisitionShell acquisition;
  TBenchShell shell;
  TMainFrame* frame = nullptr;
  TView2DForm* window = nullptr;

  TTrackFixture() {
    BenchToolkit();
    SetAcquisitionShell(&acquisition);
    Application->CreateForm(frame);
    SetNewViewChannalCount(1);
    window = TComponent::Create<TView2DForm>(frame, shell.Parts());
    T2Dview& view = *window->GetView2DByIndx(0);
    view.Settings()->NMEIStrings = TrackLines();
    view.SetMinNumTraces(0);
    view.SetMaxNumTraces(kTraces);
  }
};

TTrackFixture& Fixture() {
  static TTrackFixture fixture;
  return fixture;
}

void BM_GPSarrayToMetres(benchmark::State& state) {
  TTrackFixture& f = Fixture();
  for (auto _ : state) {
    // Each round is a first call: the whole track and the chart.
    f.window->xGPS.clear();
    f.window->yGPS.clear();
    f.window->GPSarrayToMetres();
    benchmark::DoNotOptimize(f.window->xGPS.data());
  }
  if (f.window->xGPS.size() != kTraces) state.SkipWithError("no track");
  state.SetItemsProcessed(int64_t(state.iterations()) * kTraces);
}
BENCHMARK(BM_GPSarrayToMetres)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GpsTrackConversion(benchmark::State& state) {
  const QStringList lines = TrackLines();
  std::vector<double> x, y;
  for (auto _ : state) {
    x.clear();
    y.clear();
    benchmark::DoNotOptimize(gps_track::ConvertNmeaToMetres(lines, kTraces, x, y));
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kTraces);
}
BENCHMARK(BM_GpsTrackConversion)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
