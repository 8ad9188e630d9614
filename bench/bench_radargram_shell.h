#pragma once
// A main window for the benchmarks' radargram windows: it lets a recording
// window be created and asks nothing else. The toolkit comes from
// bench_toolkit.h.

#include "bench/bench_toolkit.h"
#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "radargram/radargram_shell.h"
#include "radargram/view2d_form.h"

#include <atomic>


// A main window that lets a recording window be created and asks nothing else.
class TBenchShell : public IRadargramLayoutShell,
                    public IRadargramFilesShell,
                    public IRadargramRadarsShell,
                    public IRadargramNextWindowShell,
                    public IRadargramRecordingShell,
                    public IRadargramActionsShell,
                    public IRadargramActiveChildShell,
                    public IRadargramDisplayShell,
                    public IRadargramGpsShell,
                    public IRadargramReadoutShell,
                    public IRadargramRunShell,
                    public IRadargramSliceShell,
                    public IRadargramWiFiLossShell,
                    public IRadargramPalettesShell,
                    public IRadargramToolSetsShell {
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
  bool AlphaScanDepthOn() const override { return false; }
  void SetAutoDepthOnline(bool) override {}
  bool NormalizationOnlineAllTraces() const override { return false; }
  bool SlotHasRadar(int) const override { return false; }
  QString GlobalPrefixFiles() const override { return QStringLiteral("Bench"); }
  int32_t GlobalCountFiles() const override { return 1; }
  bool isCheckDeviceRunned() const override { return false; }
  void SetCheckDeviceRunned(bool) override {}
  ISettingsRadar* GetRadarByIndex(int) const override { return nullptr; }
  void SetGlobalCountFiles(int32_t) override {}
  void AddToReopenList(const QString&) override {}
  TControlRadar* ControlRadar() const override { return controlRadar; }
  TRadar* CurrentRadar() const override { return nullptr; }
  void SetCurrentRadar(TRadar*) override {}
  int CountRadarFromMaster() const override { return 5; }
  TTypeProfiles GlobalTypeProfiles() const override { return tpLinear; }
  void SetGlobalTypeProfiles(TTypeProfiles) override {}
  TProportional GlobalProportional() const override { return PropInSamples11; }
  bool GlobalViewSectOfDeep() const override { return false; }
  bool SimpleBackgroundRemoval() const override { return false; }
  int Language() const override { return 1033; }
  bool RadarStarted() const override { return radarStarted; }
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
  void SetToolDialogActionsEnabled(bool) override {}

  QString LastFolder() const override { return {}; }
  QString LastFile() const override { return {}; }
  void SetLastFile(const QString&) override {}
  bool ErrorLoadFile() const override { return false; }
  void SetErrorLoadFile(bool) override {}
  bool HasActiveMDIChild() const override { return false; }
  bool isActiveMDIChild_OneChannal() const override { return false; }
  float KoefArrMax() const override { return 0.75f; }

  bool RadarPausedWithGPS() const override { return false; }
  void SetGPSTrekRange(long double, long double, long double, long double) override {}

  void DispInfo(const QString&, const QString&, const QString&, const QString&) override {}

  // The Run command: checked and started as a recording benchmark sets it.
  bool RunActionChecked() const override { return runActionChecked; }
  void SetRunActionChecked(bool checked) override { runActionChecked = checked; }
  void RunActionExecute() override {}
  bool RunActionEnabled() const override { return true; }
  void SetRunActionEnabled(bool) override {}
  void SetRunImage(int, const QString&) override {}
  void SetRadarStarted(bool value) override { radarStarted = value; }
  void SetBindingActionEnabled(bool) override {}
  void Updatemenu() override {}
  void DispCmCursor(const QString&) override {}
  bool SimpleStretchPaint() const override { return false; }
  void ActionsInStop() override {}
  void ClearWiFiInterruptedRecording() override {}
  void SaveWIFIDisconnection() override {}

  // The radar set a recording benchmark gives the window; none by default.
  TControlRadar* controlRadar = nullptr;
  std::atomic<bool> runActionChecked{false};
  bool radarStarted = false;

  // An empty palette library.
  std::vector<int64_t> PaletteOffsets() const override { return {}; }
  TImageList* PalettePreviews() const override { return nullptr; }
  void PalReadAll() override {}

  // No simple-mode tool sets; the online stages keep what they hold.
  QStringList GetListOfDSTCL() const override { return {}; }
  QString GetSimpleDSTCL() const override { return {}; }
  void SetSimpleDSTCL(const QString&) override {}
  void SetSimpleBackgroundRemoval(bool) override {}
  void Sinchronize3ToolsToOnline(TView2DForm&, bool) override {}

  TRadargramShell Parts() {
    TRadargramShell parts{this, this, this, this, this, this, this, this};
    parts.Gps = this;
    parts.Readout = this;
    parts.Run = this;
    parts.Slice = this;
    parts.WiFiLoss = this;
    parts.Palettes = this;
    parts.ToolSets = this;
    return parts;
  }
};

class TMainFrame : public TForm {
public:
  explicit TMainFrame(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIForm); }
};

