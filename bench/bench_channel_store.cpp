// Loading and writing a profile of 30000 traces x 1024 samples (about 123 MB) with
// the channel store, beside a plain read and a plain write of the same bytes in the
// same folder, so the store's own cost shows as the difference.

#include "bench/bench_acquisition_shell.h"
#include "platform/rtl/streams.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kTraces = 30000;
constexpr int kSamples = 1024;


// One profile file written by the store, shared by every benchmark of the run.
struct TProfileFixture {
  TBenchAcquisitionShell shell;
  QTemporaryDir dir;
  QString profile;
  int64_t fileBytes = 0;
  std::unique_ptr<T2Dview> store;

  TProfileFixture() {
    SetAcquisitionShell(&shell);
    profile = dir.filePath(QStringLiteral("profile.dezo"));
    store = std::make_unique<T2Dview>(nullptr);
    store->Settings()->RestoreLongTrace(kSamples);
    const int64_t bytes = int64_t{kTraces} * kSamples * 4;
    store->RawData.Allocate(bytes);
    store->dezoData.Allocate(bytes);
    int32_t* samples = store->RawData.Data();
    for (int64_t i = 0; i < int64_t{kTraces} * kSamples; ++i) samples[i] = static_cast<int32_t>(i * 2654435761u);
    store->SetMinNumTraces(0);
    store->SetMaxNumTraces(kTraces);
    store->SetSizeDat(bytes);
    store->WriteToFile(profile);
    TFileStream f(profile, fmOpenRead);
    fileBytes = f.Size();
  }
};

TProfileFixture& Fixture() {
  static TProfileFixture fixture;
  return fixture;
}

void BM_PlainRead(benchmark::State& state) {
  TProfileFixture& f = Fixture();
  for (auto _ : state) {
    TFileStream in(f.profile, fmOpenRead);
    void* buffer = std::malloc(static_cast<size_t>(f.fileBytes));
    in.ReadBuffer(buffer, f.fileBytes);
    benchmark::DoNotOptimize(buffer);
    std::free(buffer);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.fileBytes);
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChannelStoreLoad(benchmark::State& state) {
  TProfileFixture& f = Fixture();
  for (auto _ : state) {
    T2Dview store(nullptr);
    if (!store.LoadFromFile(f.profile) || store.NumTraces() != kTraces) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(store.RawData.Data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.fileBytes);
}
BENCHMARK(BM_ChannelStoreLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainWrite(benchmark::State& state) {
  TProfileFixture& f = Fixture();
  const QString target = f.dir.filePath(QStringLiteral("plain.bin"));
  for (auto _ : state) {
    TFileStream out(target, fmCreate);
    out.WriteBuffer(f.store->RawData.Data(), f.store->RawData.Bytes());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.store->RawData.Bytes());
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChannelStoreWrite(benchmark::State& state) {
  TProfileFixture& f = Fixture();
  const QString target = f.dir.filePath(QStringLiteral("written.dezo"));
  for (auto _ : state) {
    if (!f.store->WriteToFile(target)) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * f.fileBytes);
}
BENCHMARK(BM_ChannelStoreWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
