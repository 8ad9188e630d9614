// The settings window's trace preview (PaintLastTrace) for five channels of
// 1000 samples: the copy of each radar's last trace, the channel's online chain
// (wavelet, windowed background removal, gain), the preview gain and the refill
// of the channel's trace series; the screen paint is not part of it (the charts
// repaint once per burst). The target is at least 5000 traces per second.

#include "acquisition/main_form.h"
#include "acquisition/settings_form.h"
#include "bench/bench_radar.h"
#include "bench/bench_toolkit.h"
#include "platform/rtl/paths.h"
#include "platform/ui/chart.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/online_stages.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <memory>

namespace {

constexpr int kChannels = 5;
constexpr int kSamples = 1000;

void BM_SettingsPaintLastTrace(benchmark::State& state) {
  BenchToolkit();
  RasterLibraryStartup();
  RegisterOnlineStages();
  QTemporaryDir dir;
  SetProgramFolder(dir.path() + u'/');
  Application->CreateForm(MainWindow);
  std::array<std::unique_ptr<TBenchRadar>, kChannels> radars;
  std::vector<int32_t> trace(LastArrayLength);
  for (int i = 0; i < kChannels; ++i) {
    radars[static_cast<size_t>(i)] = std::make_unique<TBenchRadar>();
    for (int s = 0; s < LastArrayLength; ++s)
      trace[static_cast<size_t>(s)] =
          static_cast<int32_t>(std::sin(s * 0.05 + i) * 4.0e5) + (s * 7919 + i * 104729) % 2001 - 1000;
    radars[static_cast<size_t>(i)]->StoreLastTrace(trace);
    MainWindow->ControlRadar()->AddRadarToChanal(i, radars[static_cast<size_t>(i)].get());
  }
  MainWindow->SetCountRadarFromMaster(kChannels);
  SetNewViewChannalCount(kChannels);
  MainWindow->CreateActionExecute();
  TView2DForm* window = MainWindow->CurChild();
  TSettingsForm* form = nullptr;
  Application->CreateForm(form);
  if (!window || !window->GetView2DByIndx(kChannels - 1)) {
    state.SkipWithError("no window of five channels");
  } else {
    for (int i = 0; i < kChannels; ++i) {
      T2Dview& store = *window->GetView2DByIndx(i);
      store.Settings()->SetOverStep(1);
      store.Settings()->SetRunMode(rmCont);
      auto& stages = dynamic_cast<TOnlineStageSet&>(*store.OnlineStages());
      stages.SetWaveletApplay(true);
      stages.SetWidthWindow(32);
      stages.SetWindowedBackgroundRemovalApplay(true);
      stages.SetTVGCApplay(true);
    }
    window->InitOnlinePlugin();
    form->st = window->GetView2DByIndx(0)->Settings();
    form->PrepareGain();
    for (auto _ : state)
      for (int c = 0; c < kChannels; ++c) form->PaintLastTrace(LastArrayLength, c);
    if (form->Series_[kChannels - 1]->Count() != kSamples) state.SkipWithError("the preview did not fill its series");
    state.SetItemsProcessed(state.iterations() * kChannels);
  }
  form->Free();
  MainWindow->ControlRadar()->RadarNil();
  MainWindow->Free();
  SetProgramFolder(QString());
}
BENCHMARK(BM_SettingsPaintLastTrace)->Unit(benchmark::kMicrosecond);

}  // namespace
