// The radargram window's multi-channel container of 5 channels x 30000 traces x
// 1024 samples (about 614 MB), written and read by the window, beside a plain
// write and read of the same bytes in the same folder: the container's own cost
// shows as the ratio to them.

#include "bench/bench_acquisition_shell.h"
#include "bench/bench_radargram_shell.h"
#include "bench/bench_toolkit.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kChannels = 5;
constexpr int kTraces = 30000;
constexpr int kSamples = 1024;
constexpr int64_t kChannelBytes = int64_t{kTraces} * kSamples * 4;

// One window of five channels with traces and its container file, shared by
// every benchmark of the run.
struct TContainerFixture {
  TBenchAcquisitionShell acquisition;
  TBenchShell shell;
  QTemporaryDir dir;
  TMainFrame* frame = nullptr;
  TView2DForm* window = nullptr;
  QString container;
  int64_t fileBytes = 0;

  TContainerFixture() {
    BenchToolkit();
    SetAcquisitionShell(&acquisition);
    Application->CreateForm(frame);
    SetNewViewChannalCount(kChannels);
    window = TComponent::Create<TView2DForm>(frame, shell.Parts());
    for (int c = 0; c < kChannels; ++c) {
      T2Dview& view = *window->GetView2DByIndx(c);
      view.Settings()->RestoreLongTrace(kSamples);
      view.RawData.Allocate(kChannelBytes);
      view.dezoData.Allocate(kChannelBytes);
      int32_t* samples = view.RawData.Data();
      for (int64_t i = 0; i < kChannelBytes / 4; ++i) samples[i] = static_cast<int32_t>((i + c) * 2654435761u);
      view.SetMinNumTraces(0);
      view.SetMaxNumTraces(kTraces);
      view.SetSizeDat(kChannelBytes);
    }
    container = dir.filePath(QStringLiteral("profile.frn"));
    window->WriteToFileToFRNChannals(container);
    fileBytes = TFileStream(container, fmOpenRead).Size();
  }
};

TContainerFixture& Fixture() {
  static TContainerFixture fixture;
  return fixture;
}

void BM_FrnPlainWrite(benchmark::State& state) {
  TContainerFixture& f = Fixture();
  const QString target = f.dir.filePath(QStringLiteral("plain.bin"));
  for (auto _ : state) {
    TFileStream out(target, fmCreate);
    for (int c = 0; c < kChannels; ++c) {
      const T2Dview& view = *f.window->GetView2DByIndx(c);
      out.WriteBuffer(view.RawData.Data(), view.RawData.Bytes());
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kChannels * kChannelBytes);
}
BENCHMARK(BM_FrnPlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FrnContainerWrite(benchmark::State& state) {
  TContainerFixture& f = Fixture();
  const QString target = f.dir.filePath(QStringLiteral("written.frn"));
  for (auto _ : state) {
    if (!f.window->WriteToFileToFRNChannals(target)) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.fileBytes);
}
BENCHMARK(BM_FrnContainerWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FrnPlainRead(benchmark::State& state) {
  TContainerFixture& f = Fixture();
  for (auto _ : state) {
    TFileStream in(f.container, fmOpenRead);
    for (int c = 0; c < kChannels; ++c) {
      void* buffer = std::malloc(static_cast<size_t>(kChannelBytes));
      in.ReadBuffer(buffer, kChannelBytes);
      benchmark::DoNotOptimize(buffer);
      std::free(buffer);
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kChannels * kChannelBytes);
}
BENCHMARK(BM_FrnPlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FrnContainerRead(benchmark::State& state) {
  TContainerFixture& f = Fixture();
  for (auto _ : state) {
    if (f.window->ReadFrnContainerFile(f.container) != fhOk ||
        f.window->GetView2DByIndx(kChannels - 1)->NumTraces() != kTraces)
      state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.fileBytes);
}
BENCHMARK(BM_FrnContainerRead)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
