// The radargram window's display pipeline on one channel of 30000 traces x 1024
// samples, each beside its yardstick in the same run:
//  - recomputing the channel with an empty chain (stacking division, display
//    maximum, palette bitmap, zoom bitmap at zoom 1000, painting) beside one read
//    pass over the raw sums;
//  - the zoom bitmap at 1920 x 1080 (the 8-bit picture through the Lanczos
//    kernel) beside the raster library's plain stretch of the same picture to the
//    same size (the toolkit's own scaling stays in the raster benchmark, the one
//    place outside the toolkit layer allowed to use it);
//  - a 1920 x 1080 repaint after a scroll beside copying that rectangle.

#include "bench/bench_acquisition_shell.h"
#include "bench/bench_radargram_shell.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/scroll_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "raster/raster_library.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numeric>

namespace {

constexpr int kTraces = 30000;
constexpr int kSamples = 1024;
constexpr int64_t kBytes = int64_t{kTraces} * kSamples * 4;
constexpr int kScreenW = 1920;
constexpr int kScreenH = 1080;

// Hyperbolas over a noise floor, in raw sums of stacking 4.
int32_t RawSample(int64_t t, int s) {
  const double apex = 200.0 + 40.0 * std::sin(t * 0.001);
  const double d = (t % 3000) - 1500.0;
  const double arrival = std::sqrt(apex * apex + d * d * 0.04);
  const double wave = std::exp(-0.002 * (s - arrival) * (s - arrival)) * 4.0e5;
  const int noise = static_cast<int>((t * 7919 + s * 104729) % 2001) - 1000;
  return static_cast<int32_t>(wave) * ((s / 7) % 2 ? 1 : -1) + noise * 4;
}

struct TPipelineFixture {
  TBenchAcquisitionShell acquisition;
  TBenchShell shell;
  TMainFrame* frame = nullptr;
  TView2DForm* window = nullptr;

  TPipelineFixture() {
    BenchToolkit();
    RasterLibraryStartup();
    SetAcquisitionShell(&acquisition);
    Application->CreateForm(frame);
    SetNewViewChannalCount(1);
    window = TComponent::Create<TView2DForm>(frame, shell.Parts());
    T2Dview& view = *window->GetView2DByIndx(0);
    view.Settings()->RestoreLongTrace(kSamples);
    view.Settings()->SetAdvanceStacking(false);
    view.Settings()->SetStacking(4);
    view.RawData.Allocate(kBytes);
    view.dezoData.Allocate(kBytes);
    for (int64_t t = 0; t < kTraces; ++t)
      for (int s = 0; s < kSamples; ++s) view.RawData.Data()[t * kSamples + s] = RawSample(t, s);
    view.SetMinNumTraces(0);
    view.SetMaxNumTraces(kTraces);
    view.SetSizeDat(kBytes);
    // A screen-sized chart: 1920 x 1080 of picture right of the axis allowance.
    TChart& chart = *window->ChartView;
    chart.SetAlign(alNone);
    chart.SetBounds(0, 0, kScreenW + window->WidthChartAxis, kScreenH);
    window->HorScrollBar->SetMax(100000000);
    window->VertScrollBar->SetMax(100000000);
  }
  T2Dview& View() const { return *window->GetView2DByIndx(0); }
};

TPipelineFixture& Fixture() {
  static TPipelineFixture fixture;
  return fixture;
}

void BM_RawDataReadPass(benchmark::State& state) {
  TPipelineFixture& f = Fixture();
  const int32_t* raw = f.View().RawData.Data();
  for (auto _ : state) {
    int64_t sum = 0;
    for (int64_t i = 0; i < kBytes / 4; ++i) sum += raw[i];
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}
BENCHMARK(BM_RawDataReadPass)->Unit(benchmark::kMillisecond);

void BM_Paint2DRadarEmptyChain(benchmark::State& state) {
  TPipelineFixture& f = Fixture();
  f.window->ZoomFactor = 1000;
  f.window->SetProportional(PropInSamples11);  // one column per trace
  for (auto _ : state) {
    f.window->Paint2D_Radar(0, 0);
    benchmark::DoNotOptimize(f.window->BmpAfterZoom_[0]->Bits());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}
BENCHMARK(BM_Paint2DRadarEmptyChain)->Unit(benchmark::kMillisecond);

// Zoom and proportion that take the 30000 x 1024 picture to 1920 x 1080.
// The window takes its proportion from the mode and the channel's step against
// its sample length: the step is chosen so that the metre mode gives the width.
void ScreenZoom(TView2DForm& window) {
  window.ZoomFactor = 948;  // 1024 x 1000 / 948 = 1080.2
  const long double wanted = static_cast<long double>(kScreenW) * 948 / 1000 / kTraces;
  window.SetProportional(PropInM11);
  TSettingData& settings = *window.GetView2DByIndx(0)->Settings();
  settings.SetWheelMult(1);
  settings.SetWheelStep(50);
  const long double sampleMm = 50 / window.GetView2DByIndx(0)->GetProportionalCoefic();
  settings.SetWheelStep(static_cast<double>(wanted * sampleMm));
}

void BM_MakeZoomBmpToScreen(benchmark::State& state) {
  TPipelineFixture& f = Fixture();
  f.window->ZoomFactor = 1000;
  f.window->SetProportional(PropInSamples11);  // one column per trace
  f.window->PrepareBmp(0);
  ScreenZoom(*f.window);
  for (auto _ : state) {
    if (!f.window->MakeZoomBmp(0)) state.SkipWithError("no zoom bitmap");
  }
  const TBitmap32& zoom = *f.window->BmpAfterZoom_[0];
  if (std::abs(zoom.Width() - kScreenW) > 2 || zoom.Height() != kScreenH) state.SkipWithError("not the screen size");
  state.SetItemsProcessed(int64_t(state.iterations()) * kScreenW * kScreenH);
}
BENCHMARK(BM_MakeZoomBmpToScreen)->Unit(benchmark::kMillisecond);

void BM_PlainStretchOfTheDisplayBitmap(benchmark::State& state) {
  TPipelineFixture& f = Fixture();
  f.window->ZoomFactor = 1000;
  f.window->SetProportional(PropInSamples11);  // one column per trace
  f.window->PrepareBmp(0);
  TBitmap32 source;
  source.Assign(static_cast<TObject*>(f.window->Bmp_[0].get()));
  TBitmap32 target;
  target.SetSize(kScreenW, kScreenH);
  for (auto _ : state) {
    source.DrawTo(&target, target.BoundsRect());
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kScreenW * kScreenH);
}
BENCHMARK(BM_PlainStretchOfTheDisplayBitmap)->Unit(benchmark::kMillisecond);

// A zoom bitmap taller than the screen (zoom 900: 33333 x 1138) to scroll over.
void PrepareScrolling(TPipelineFixture& f) {
  f.window->ZoomFactor = 900;
  f.window->SetProportional(PropInSamples11);  // one column per trace
  f.window->PrepareBmp(0);
}

void BM_ScrollRepaint(benchmark::State& state) {
  TPipelineFixture& f = Fixture();
  PrepareScrolling(f);
  TChart& chart = *f.window->ChartView;
  if (chart.ClientWidth() - f.window->WidthChartAxis != kScreenW || chart.ClientHeight() != kScreenH)
    state.SkipWithError("the chart is not screen-sized");
  int step = 0;
  // Moving the scroll bar is the whole scroll: its handler repaints the charts.
  for (auto _ : state) f.window->HorScrollBar->SetPosition((step++ % 100) * 10000);
  state.SetItemsProcessed(int64_t(state.iterations()) * kScreenW * kScreenH);
}
BENCHMARK(BM_ScrollRepaint)->Unit(benchmark::kMillisecond);

void BM_CopyScreenRectangle(benchmark::State& state) {
  TPipelineFixture& f = Fixture();
  PrepareScrolling(f);
  const TBitmap32& zoom = *f.window->BmpAfterZoom_[0];
  TBitmap& back = *f.window->ChartView->BackImage();
  if (zoom.Height() < kScreenH || zoom.Width() < kScreenW + 10000) state.SkipWithError("zoom bitmap too small");
  int step = 0;
  for (auto _ : state) {
    const int x = (step++ % 100) * 100;
    for (int y = 0; y < kScreenH; ++y)
      std::memcpy(back.ScanLine(y), zoom.ScanLine(y) + x, size_t{kScreenW} * sizeof(TColor32));
    benchmark::DoNotOptimize(back.ScanLine(0));
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kScreenW * kScreenH);
}
BENCHMARK(BM_CopyScreenRectangle)->Unit(benchmark::kMillisecond);

}  // namespace
