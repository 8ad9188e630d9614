// The SEG-Y export of one channel of 30000 traces x 1024 samples (about 130 MB)
// beside a plain write of the same number of bytes to the same folder: the
// export's own cost (trace headers, byte order) shows as the ratio to it.

#include "acquisition/channel_export.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace {

constexpr int64_t kTraces = 30000;
constexpr int32_t kSamples = 1024;

struct TSegyFixture {
  QTemporaryDir dir;
  std::vector<int32_t> samples;
  TExportChannel channel;
  int64_t fileBytes = 0;

  TSegyFixture() : samples(static_cast<size_t>(kTraces * kSamples)) {
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>(i * 2654435761u);
    channel.FileName = QStringLiteral("bench.dezo");
    channel.LongTrace = kSamples;
    channel.SpanWidth = 100;
    channel.StepDistance = 25;
    channel.Traces = kTraces;
    channel.Samples = samples.data();
    channel.SampleCount = static_cast<int64_t>(samples.size());
    fileBytes = 3600 + kTraces * (240 + 4 * int64_t{kSamples});
  }
};

TSegyFixture& Fixture() {
  static TSegyFixture fixture;
  return fixture;
}

void BM_SegYExport30000x1024(benchmark::State& state) {
  TSegyFixture& f = Fixture();
  const QString path = f.dir.filePath(QStringLiteral("export.seg"));
  for (auto _ : state) {
    QString error;
    if (!WriteSegYFile(f.channel, path, &error)) state.SkipWithError(error.toStdString().c_str());
  }
  state.SetBytesProcessed(state.iterations() * f.fileBytes);
}
BENCHMARK(BM_SegYExport30000x1024)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same bytes written as they are, in blocks of the export's size.
void BM_PlainWriteOfTheSegYBytes(benchmark::State& state) {
  TSegyFixture& f = Fixture();
  const QString path = f.dir.filePath(QStringLiteral("plain.bin"));
  const auto* bytes = reinterpret_cast<const char*>(f.samples.data());
  const int64_t available = static_cast<int64_t>(f.samples.size()) * 4;
  constexpr int64_t kBlock = 1 << 20;
  for (auto _ : state) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) state.SkipWithError("cannot write");
    for (int64_t done = 0; done < f.fileBytes;) {
      const int64_t n = std::min(kBlock, f.fileBytes - done);
      file.write(bytes + done % (available - kBlock), n);
      done += n;
    }
    file.close();
  }
  state.SetBytesProcessed(state.iterations() * f.fileBytes);
}
BENCHMARK(BM_PlainWriteOfTheSegYBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
