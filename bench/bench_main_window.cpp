// The acquisition main window's creation (FormCreate) with a settings file that
// holds every key of the window and the sections of five radars, and a palette
// library of 100 palettes; the target is under 100 ms. The window is freed (and
// its settings written) outside the timed part.

#include "acquisition/main_form.h"
#include "bench/bench_toolkit.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "profiledata/palette_stream_library.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

void WriteFullSettings(const QString& fileName) {
  TMainIniSettings s;
  s.PrefixFiles = QStringLiteral("2026_4_9_");
  s.CountFiles = 17;
  for (int i = 0; i < HistoryCount; ++i) s.History.push_back(QStringLiteral("/data/survey/profile_%1.frn").arg(i));
  TMemIniFile ini(fileName);
  WriteMainSettings(ini, s, false);
  ini.WriteInteger(QStringLiteral("Settingspos"), QStringLiteral("left"), 20);
  // What the channel stores and the preferences keep for five radars.
  for (int radar = 1; radar <= 5; ++radar) {
    const QString ser = QString::number(1000 + radar);
    ini.WriteInteger(QStringLiteral("Comparator_") + ser, QStringLiteral("Threshold"), 30000);
    ini.WriteInteger(QStringLiteral("WindowedBackgroundRemoval_") + ser, QStringLiteral("WidthWindow"), 300);
    ini.WriteFloat(QStringLiteral("Wavelet_") + ser, QStringLiteral("Timescale"), 1.5);
    const QString gain = QStringLiteral("TVGC_") + ser;
    ini.WriteInteger(gain, QStringLiteral("DotCount"), 32);
    for (int d = 0; d < 32; ++d) {
      ini.WriteInteger(gain, QStringLiteral("DotX%1").arg(d), d * 30);
      ini.WriteInteger(gain, QStringLiteral("DotY%1").arg(d), d * 7);
    }
    for (const char* key : {"MaxX", "MinX", "MaxY", "MinY", "MaxZ", "MinZ", "CalibrationQuality", "ZeroAngle"})
      ini.WriteFloat(QStringLiteral("Inclinometer") + ser, QString::fromLatin1(key), 0.125 * radar);
  }
  ini.UpdateFile();
}

void WritePaletteLibrary(const QString& fileName) {
  for (int p = 0; p < 100; ++p) {
    std::vector<TPalettePoint> points;
    for (int k = 0; k <= 8; ++k) points.push_back({k * 32, static_cast<TColor>((p * 2654435761u + k * 40503u) & 0xFFFFFF)});
    AppendPaletteToLibrary(fileName, points);
  }
}

void BM_MainWindowFormCreate(benchmark::State& state) {
  BenchToolkit();
  QTemporaryDir dir;
  SetProgramFolder(dir.path() + u'/');
  WriteFullSettings(MainIniFileName());
  WritePaletteLibrary(dir.filePath(QStringLiteral("palset")));
  IAcquisitionShell* previous = AcquisitionShell();
  for (auto _ : state) {
    DUvova3DuruZuza* window = nullptr;
    Application->CreateForm(window);
    benchmark::DoNotOptimize(window->PalArray.data());
    state.PauseTiming();
    if (window->PalArray.size() != 101) state.SkipWithError("palette library not read");
    window->Free();
    SetAcquisitionShell(previous);
    state.ResumeTiming();
  }
  SetProgramFolder(QString());
}
BENCHMARK(BM_MainWindowFormCreate)->Unit(benchmark::kMillisecond);

}  // namespace
