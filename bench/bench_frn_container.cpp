// The radargram window's multi-channel container of 5 channels x 30000 traces x
// 1024 samples (about 614 MB), written and read by the window, beside a plain
// write and read of the same bytes in the same folder: the container's own cost
// shows as the ratio to them.

#include "bench/bench_acquisition_shell.h"
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

// A main window that lets a recording window be created and asks nothing else.
class TBenchShell : public IRadargramLayoutShell,
                    public IRadargramFilesShell,
                    public IRadargramRadarsShell,
                    public IRadargramNextWindowShell,
                    public IRadargramRecordingShell,
                    public IRadargramActionsShell,
                    public IRadargramActiveChildShell {
public:
  bool isCloseChild() const override { return false; }
  void SetCloseChild(bool) override {}
  bool isActivatedClosed() const override { return false; }
  bool StartResize() const override { return false; }
  void SetStartResize(bool) override {}
  bool flNewCreate() const override { return true; }
  void SetErrorNewCreate(bool) override {}
  int ChildAreaWidth() const override { return 900; }
  int ChildAreaHeight() const override { return 640; }
  TColor PageColor() const override { return clBtnFace; }
  bool SimpleMode() const override { return false; }
  bool AutoDepthOnline() const override { return false; }
  bool SlotHasRadar(int) const override { return false; }
  QString GlobalPrefixFiles() const override { return QStringLiteral("Bench"); }
  int32_t GlobalCountFiles() const override { return 1; }
  bool isCheckDeviceRunned() const override { return false; }
  void SetCheckDeviceRunned(bool) override {}
  ISettingsRadar* GetRadarByIndex(int) const override { return nullptr; }
  void SetGlobalCountFiles(int32_t) override {}
  void AddToReopenList(const QString&) override {}
  TControlRadar* ControlRadar() const override { return nullptr; }
  TRadar* CurrentRadar() const override { return nullptr; }
  void SetCurrentRadar(TRadar*) override {}
  int CountRadarFromMaster() const override { return 5; }
  TTypeProfiles GlobalTypeProfiles() const override { return tpLinear; }
  void SetGlobalTypeProfiles(TTypeProfiles) override {}
  TProportional GlobalProportional() const override { return PropInSamples11; }
  bool GlobalViewSectOfDeep() const override { return false; }
  bool SimpleBackgroundRemoval() const override { return false; }
  int Language() const override { return 1033; }
  bool RadarStarted() const override { return false; }
  bool RunButtonDown() const override { return false; }
  TView2DForm* RunChild() const override { return nullptr; }
  void SetRunChild(TView2DForm*) override {}
  TView2DForm* CurChild() const override { return nullptr; }
  void SetCurChild(TView2DForm*) override {}
  void SetRadarPausedWithGPS(bool) override {}
  bool isClosedMain() const override { return false; }
  void ClearTraceSinceWiFiLoss() override {}
  bool SaveActionExecute() override { return true; }
  void SetFileActionsEnabled(bool) override {}
  void SetButtonDirect() override {}
  void RefreshGprStatus() override {}
  void SetMDIChildCountOld(int) override {}
  QString LastFolder() const override { return {}; }
  QString LastFile() const override { return {}; }
  void SetLastFile(const QString&) override {}
  bool ErrorLoadFile() const override { return false; }
  void SetErrorLoadFile(bool) override {}
  bool HasActiveMDIChild() const override { return false; }
  bool isActiveMDIChild_OneChannal() const override { return false; }

  TRadargramShell Parts() { return TRadargramShell{this, this, this, this, this, this, this}; }
};

class TMainFrame : public TForm {
public:
  explicit TMainFrame(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIForm); }
};

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
