#pragma once
// Radargram windows for tests: an MDI frame as the main window, fakes of what a
// window asks of the main window, and a main window for the channel stores, with
// their files in a temporary folder.

#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "profiledata/palette_stream_library.h"
#include "radargram/radargram_shell.h"
#include "radar/control_radar.h"
#include "radar/radar.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"
#include "tests/profiledata/fake_hooks.h"
#include "tests/support/ui_test_support.h"

#include <QTemporaryDir>

#include <array>
#include <atomic>
#include <functional>
#include <vector>

class FakeRadargramShell : public IRadargramLayoutShell,
                           public IRadargramFilesShell,
                           public IRadargramRadarsShell,
                           public IRadargramNextWindowShell,
                           public IRadargramRecordingShell,
                           public IRadargramActionsShell,
                           public IRadargramActiveChildShell,
                           public IRadargramDisplayShell,
                           public IRadargramAxesShell,
                           public IRadargramGpsShell,
                           public IRadargramReadoutShell,
                           public IRadargramRunShell,
                           public IRadargramSliceShell,
                           public IRadargramWiFiLossShell,
                           public IRadargramPalettesShell,
                           public IRadargramToolSetsShell {
public:
  bool closeChild = false;
  bool activatedClosed = false;
  bool startResize = false;
  bool newCreate = true;
  bool errorNewCreate = false;
  int childAreaWidth = 900;
  int childAreaHeight = 640;
  TColor pageColor = RGB(0xE0, 0xF0, 0xE0);
  bool simpleMode = false;
  bool autoDepthOnline = true;
  bool radars[kChannelSlots] = {};
  QString prefix = QStringLiteral("Prof");
  int32_t count = 7;

  bool isCloseChild() const override { return closeChild; }
  void SetCloseChild(bool value) override { closeChild = value; }
  bool isActivatedClosed() const override { return activatedClosed; }
  bool StartResize() const override { return startResize; }
  void SetStartResize(bool value) override { startResize = value; }
  bool flNewCreate() const override { return newCreate; }
  void SetErrorNewCreate(bool value) override { errorNewCreate = value; }
  int ChildAreaWidth() const override { return childAreaWidth; }
  int ChildAreaHeight() const override { return childAreaHeight; }
  TColor PageColor() const override { return pageColor; }
  bool SimpleMode() const override { return simpleMode; }
  bool AutoDepthOnline() const override { return autoDepthOnline; }
  bool alphaScanDepth = false;
  bool AlphaScanDepthOn() const override { return alphaScanDepth; }
  void SetAutoDepthOnline(bool value) override { autoDepthOnline = value; }
  bool normalizationOnlineAllTraces = false;
  bool NormalizationOnlineAllTraces() const override { return normalizationOnlineAllTraces; }
  bool SlotHasRadar(int slot) const override { return slot >= 0 && slot < kChannelSlots && radars[slot]; }
  QString GlobalPrefixFiles() const override { return prefix; }
  int32_t GlobalCountFiles() const override { return count; }
  void SetGlobalCountFiles(int32_t value) override { count = value; }
  std::vector<QString> reopenList;
  void AddToReopenList(const QString& fileName) override { reopenList.push_back(fileName); }
  QString lastFolder;
  QString lastFile;
  bool errorLoadFile = false;
  QString LastFolder() const override { return lastFolder; }
  QString LastFile() const override { return lastFile; }
  void SetLastFile(const QString& value) override { lastFile = value; }
  bool ErrorLoadFile() const override { return errorLoadFile; }
  void SetErrorLoadFile(bool value) override { errorLoadFile = value; }

  // The active child: -1 asks the frame for its active MDI child, 0 and 1 answer
  // as set. oneChannel answers isActiveMDIChild_OneChannal.
  TForm* frame = nullptr;
  int activeChild = -1;
  bool oneChannel = true;
  bool HasActiveMDIChild() const override {
    if (activeChild >= 0) return activeChild == 1;
    return frame && frame->ActiveMDIChild();
  }
  bool isActiveMDIChild_OneChannal() const override { return oneChannel; }

  // Globals for the next window.
  TTypeProfiles globalTypeProfiles = tpLinear;
  TProportional globalProportional = PropInSamples11;
  bool globalViewSectOfDeep = false;
  bool simpleBackgroundRemoval = false;
  TTypeProfiles GlobalTypeProfiles() const override { return globalTypeProfiles; }
  void SetGlobalTypeProfiles(TTypeProfiles value) override { globalTypeProfiles = value; }
  TProportional GlobalProportional() const override { return globalProportional; }
  bool GlobalViewSectOfDeep() const override { return globalViewSectOfDeep; }
  bool SimpleBackgroundRemoval() const override { return simpleBackgroundRemoval; }
  int language = 1033;
  int Language() const override { return language; }

  // Recording state.
  std::atomic<bool> radarStarted{false};
  bool runButtonDown = false;
  TView2DForm* runChild = nullptr;
  TView2DForm* curChild = nullptr;
  bool radarPausedWithGPS = true;
  bool closedMain = false;
  bool traceSinceWiFiLoss = true;
  bool RadarStarted() const override { return radarStarted; }
  bool RunButtonDown() const override { return runButtonDown; }
  TView2DForm* RunChild() const override { return runChild; }
  void SetRunChild(TView2DForm* window) override { runChild = window; }
  TView2DForm* CurChild() const override { return curChild; }
  void SetCurChild(TView2DForm* window) override { curChild = window; }
  void SetRadarPausedWithGPS(bool value) override { radarPausedWithGPS = value; }
  bool isClosedMain() const override { return closedMain; }
  void ClearTraceSinceWiFiLoss() override { traceSinceWiFiLoss = false; }

  // Actions: the save reports saveSucceeds.
  bool saveSucceeds = true;
  int saves = 0;
  bool fileActionsEnabled = false;
  int buttonDirectCalls = 0;
  int gprStatusRefreshes = 0;
  int mdiChildCountOld = -1;
  bool SaveActionExecute() override {
    ++saves;
    return saveSucceeds;
  }
  void SetFileActionsEnabled(bool enabled) override { fileActionsEnabled = enabled; }
  void SetButtonDirect() override { ++buttonDirectCalls; }
  void RefreshGprStatus() override { ++gprStatusRefreshes; }
  void SetMDIChildCountOld(int value) override { mdiChildCountOld = value; }
  void SetToolDialogActionsEnabled(bool enabled) override { toolDialogActionsEnabled = enabled; }
  bool toolDialogActionsEnabled = true;

  // The radar set: radars by slot, found only while no device is being re-checked.
  bool checkDeviceRunned = false;
  std::array<ISettingsRadar*, kChannelSlots> slotRadars{};
  mutable std::vector<int> radarLookups;  // slots looked up, in order
  bool isCheckDeviceRunned() const override { return checkDeviceRunned; }
  void SetCheckDeviceRunned(bool value) override { checkDeviceRunned = value; }
  ISettingsRadar* GetRadarByIndex(int slot) const override {
    radarLookups.push_back(slot);
    if (checkDeviceRunned || slot < 0 || slot >= kChannelSlots) return nullptr;
    return controlRadar ? controlRadar->GetRadarByIndex(slot) : slotRadars[static_cast<size_t>(slot)];
  }
  // The real radar set, when a test has one; the current radar is also the one
  // new channel stores take (the acquisition shell's).
  TControlRadar* controlRadar = nullptr;
  TRadar* currentRadar = nullptr;
  FakeShell* acquisition = nullptr;
  int countRadarFromMaster = 1;
  TControlRadar* ControlRadar() const override { return controlRadar; }
  TRadar* CurrentRadar() const override { return currentRadar; }
  void SetCurrentRadar(TRadar* radar) override {
    currentRadar = radar;
    if (acquisition) acquisition->radar = radar;
  }
  int CountRadarFromMaster() const override { return countRadarFromMaster; }

  float koefArrMax = 0.75f;
  float KoefArrMax() const override { return koefArrMax; }

  // Axes: the left-axis mode and the media a window is created with, and what
  // the windows wrote.
  bool dataLeftLabelIsTime = true;
  std::vector<TMediumProperty> media{{QStringLiteral("Air"), 299}, {QStringLiteral("Sand wet"), 60}};
  QString unitLabels;
  std::vector<TProportional> globalProportionalWrites;
  bool DataLeftLabelIsTime() const override { return dataLeftLabelIsTime; }
  std::vector<TMediumProperty> GetListOfMedium() const override { return media; }
  void SetUnitLabels(const QString& text) override { unitLabels = text; }
  void SetGlobalProportional(TProportional value) override {
    globalProportional = value;
    globalProportionalWrites.push_back(value);
  }

  // The GPS page: the pause with a position and the track range the windows set.
  bool pausedWithGPS = false;
  std::array<long double, 4> trekRange{};
  int trekRangeWrites = 0;
  bool RadarPausedWithGPS() const override { return pausedWithGPS; }
  void SetGPSTrekRange(long double x1, long double x2, long double y1, long double y2) override {
    trekRange = {x1, x2, y1, y2};
    ++trekRangeWrites;
  }

  // The read-out: every DispInfo, in order (time, depth, trace, distance).
  std::vector<std::array<QString, 4>> readouts;
  void DispInfo(const QString& time, const QString& depth, const QString& trace, const QString& distance) override {
    readouts.push_back({time, depth, trace, distance});
  }

  // The Run command: the state the windows set, and the executions (each records
  // whether the action was checked then; an unchecked execution stops: it
  // clears radarStarted and counts a stop).
  std::atomic<bool> runActionChecked{false};
  bool runActionEnabled = true;
  std::vector<bool> runExecutions;
  int runImage = -1;
  QString runMenuCaption;
  bool bindingActionEnabled = true;
  int updatemenuCalls = 0;
  QString cmCursor;
  bool simpleStretchPaint = false;
  int stopActions = 0;
  bool RunActionChecked() const override { return runActionChecked; }
  void SetRunActionChecked(bool checked) override { runActionChecked = checked; }
  void RunActionExecute() override {
    runExecutions.push_back(runActionChecked);
    if (!runActionChecked) ActionsInStop();
  }
  bool RunActionEnabled() const override { return runActionEnabled; }
  void SetRunActionEnabled(bool enabled) override { runActionEnabled = enabled; }
  void SetRunImage(int imageIndex, const QString& menuCaption) override {
    runImage = imageIndex;
    runMenuCaption = menuCaption;
  }
  void SetRadarStarted(bool value) override { radarStarted = value; }
  void SetBindingActionEnabled(bool enabled) override { bindingActionEnabled = enabled; }
  void Updatemenu() override { ++updatemenuCalls; }
  void DispCmCursor(const QString& text) override { cmCursor = text; }
  bool SimpleStretchPaint() const override { return simpleStretchPaint; }
  // Runs at each ActionsInStop, when set.
  std::function<void()> onStopActions;
  void ActionsInStop() override {
    ++stopActions;
    radarStarted = false;
    if (onStopActions) onStopActions();
  }

  // The recording a Wi-Fi loss interrupted: cleared by the recovery of a
  // backup; SaveWIFIDisconnection calls counted.
  QString wifiInterruptedRecording = QStringLiteral("interrupted.dezo");
  int saveWifiDisconnections = 0;
  void ClearWiFiInterruptedRecording() override { wifiInterruptedRecording.clear(); }
  void SaveWIFIDisconnection() override { ++saveWifiDisconnections; }
  // The palette library: its file (empty: none), the offsets read from it at
  // the last PalReadAll and the previews (none: the buttons show no pictures).
  QString paletteLibrary;
  std::vector<int64_t> paletteOffsets;
  TImageList* palettePreviews = nullptr;
  int palReadAllCalls = 0;
  std::vector<int64_t> PaletteOffsets() const override { return paletteOffsets; }
  TImageList* PalettePreviews() const override { return palettePreviews; }
  void PalReadAll() override {
    ++palReadAllCalls;
    paletteOffsets.clear();
    try {
      if (!paletteLibrary.isEmpty())
        for (const TPaletteLibraryRecord& record : ReadPaletteLibrary(paletteLibrary))
          paletteOffsets.push_back(record.Position);
    } catch (const EStreamError&) {
      paletteOffsets.clear();
    }
    for (int i = 0; frame && i < frame->MDIChildCount(); ++i)
      if (auto* window = dynamic_cast<TView2DForm*>(frame->MDIChildren(i))) window->PalReadAll();
  }

  // The simple-mode tool sets and the copies of chains to the online stages.
  QStringList listOfDSTCL;
  QString simpleDSTCL;
  std::vector<std::pair<TView2DForm*, bool>> synchronised;  // Sinchronize3ToolsToOnline calls
  QStringList GetListOfDSTCL() const override { return listOfDSTCL; }
  QString GetSimpleDSTCL() const override { return simpleDSTCL; }
  void SetSimpleDSTCL(const QString& value) override { simpleDSTCL = value; }
  void SetSimpleBackgroundRemoval(bool value) override { simpleBackgroundRemoval = value; }
  void Sinchronize3ToolsToOnline(TView2DForm& window, bool OnAll) override {
    synchronised.emplace_back(&window, OnAll);
    window.CopyChainToOnlineStages();
  }

  TRadargramShell Parts() {
    TRadargramShell parts{this, this, this, this, this, this, this, this, this};
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

// Gives a channel traces x longTrace raw sums value(trace, sample), with its
// working copy allocated and its trace range and size set. The channel's
// settings other than the trace length stay as they are.
inline void FillRawSums(T2Dview& store, int traces, int longTrace, const std::function<int32_t(int, int)>& value) {
  store.Settings()->RestoreLongTrace(longTrace);
  store.SetMinNumTraces(0);
  store.SetMaxNumTraces(traces);
  const int64_t bytes = int64_t{traces} * longTrace * 4;
  store.RawData.Allocate(bytes);
  store.dezoData.Allocate(bytes);
  store.SetSizeDat(bytes);
  for (int t = 0; t < traces; ++t)
    for (int j = 0; j < longTrace; ++j) store.RawData.Data()[int64_t{t} * longTrace + j] = value(t, j);
}

// A main window (an MDI frame with the acquisition shell registered) that
// creates radargram windows.
class TRadargramEnv {
public:
  TRadargramEnv() {
    // The program starts the raster library before its first window.
    RasterLibraryStartup();
    // The windows read their default settings from the program folder.
    SetProgramFolder(dir.path() + u'/');
    Application->CreateForm(frame);
    frame->SetBounds(0, 0, 1000, 720);
    frame->Show();
    acquisition.lastFolder = dir.path() + QStringLiteral("/");
    shell.lastFolder = acquisition.lastFolder;
    shell.frame = frame;
    shell.acquisition = &acquisition;
  }
  ~TRadargramEnv() {
    frame->Free();
    SetNewViewChannalCount(1);
    SetProgramFolder(QString());
  }
  TRadargramEnv(const TRadargramEnv&) = delete;
  TRadargramEnv& operator=(const TRadargramEnv&) = delete;

  // A window for channels, as the main window creates it.
  TView2DForm* Create(int channels) {
    SetNewViewChannalCount(channels);
    return TComponent::Create<TView2DForm>(frame, shell.Parts());
  }

  QTemporaryDir dir;
  FakeRadargramShell shell;
  FakeShell acquisition;
  ShellScope scope{&acquisition};
  TMdiFrameForm* frame = nullptr;
};
