#pragma once
// Small fakes of the channel settings' and marker lists' neighbours: a radar that
// counts parameter re-sends, a radargram window that records property-list refills,
// tool-chain notices and what a channel record put into it, a channel store that
// counts the flags and default saves asked of it, a project profile of the planning
// program, and a main window. The window also hands out channel slots and file names
// to channel stores, and the main window its settings file. ShellScope registers a
// main window for one test and always unregisters it.

#include "platform/ui/bitmap.h"
#include "platform/ui/component.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/pal_maker.h"

#include <map>
#include <memory>
#include <vector>

class FakeRadar : public ISettingsRadar {
public:
  TTypeGPR type = unknown;
  uint16_t firmware = 0;
  int resends = 0;
  double lastPcLoading = -1;

  uint16_t serNum = 0;
  TInclCalibration calibration;

  TTypeGPR RadarType() const override { return type; }
  uint16_t FirmwareVer() const override { return firmware; }
  void SetPcLoading(double pcLoading) override {
    ++resends;
    lastPcLoading = pcLoading;
  }
  uint16_t DeviceSerNum() const override { return serNum; }
  TInclCalibration InclinometerCalibration() const override { return calibration; }
};

class FakeWindow : public IChannelWindow {
public:
  bool visible = true;
  const IChannelStore* activeStore = nullptr;
  std::map<const IChannelStore*, int> channels;  // store -> slot
  int32_t deviceX = 0, deviceY = 0, deviceZ = 0;
  std::vector<int> filledLists;  // channel of every FilValueList call, in order
  int radarChanges = 0;

  bool Visible() const override { return visible; }
  bool IsActiveChannel(const IChannelStore* store) const override { return store == activeStore; }
  int ChannelIndex(const IChannelStore* store) const override {
    const auto it = channels.find(store);
    return it == channels.end() ? -1 : it->second;
  }
  void FilValueList(int channel) override { filledLists.push_back(channel); }
  void ChangeRadarInTools() override { ++radarChanges; }
  int32_t DeviceX() const override { return deviceX; }
  int32_t DeviceY() const override { return deviceY; }
  int32_t DeviceZ() const override { return deviceZ; }

  // What a channel record asks of the window.
  TProportional proportional = PropInSamples11;
  std::map<int, TBitmap*> displayBitmaps;                   // channel -> picture (not owned)
  std::map<int, std::vector<TZeroLevelPoint>> zeroLevels;  // channel -> series
  std::map<int, std::vector<TColor>> zeroLevelColors;      // channel -> colour of each added point
  std::vector<int> zeroLevelClears;                        // channel of every ClearZeroLevel call
  int deviceOffsetSets = 0;
  bool firstPaintAfterOpen = false;
  int topoButtonReleases = 0;

  ~FakeWindow() override {
    if (palette_) palette_->Free();
  }
  void SetDeviceOffsets(int32_t x, int32_t y, int32_t z) override {
    deviceX = x;
    deviceY = y;
    deviceZ = z;
    ++deviceOffsetSets;
  }
  TPalMaker* PaletteControl() override {
    if (!palette_) palette_ = new TPalMaker(nullptr);
    return palette_;
  }
  TProportional Proportional() const override { return proportional; }
  void SetProportional(TProportional value) override { proportional = value; }
  TBitmap* DisplayBitmap(int channel) override {
    const auto it = displayBitmaps.find(channel);
    return it == displayBitmaps.end() ? nullptr : it->second;
  }
  std::vector<TZeroLevelPoint> ZeroLevelPoints(int channel) const override {
    const auto it = zeroLevels.find(channel);
    return it == zeroLevels.end() ? std::vector<TZeroLevelPoint>{} : it->second;
  }
  void ClearZeroLevel(int channel) override {
    zeroLevels[channel].clear();
    zeroLevelColors[channel].clear();
    zeroLevelClears.push_back(channel);
  }
  void AddZeroLevelPoint(int channel, TZeroLevelPoint point, TColor color) override {
    zeroLevels[channel].push_back(point);
    zeroLevelColors[channel].push_back(color);
  }
  void SetFirstPaintAfterOpen(bool value) override { firstPaintAfterOpen = value; }
  void ReleaseTopoCorrectionButton() override { ++topoButtonReleases; }

  // Makes the store the window's channel in that slot.
  void AddChannel(const IChannelStore* store, int slot, bool active) {
    channels[store] = slot;
    if (active) activeStore = store;
  }

  // What a channel store asks of the window.
  QString filePrefix;
  int32_t fileCount = 0;
  std::vector<QString> containersRead;           // ReadFromFileToFRNChannals calls, in order
  bool saveDefault = false;
  bool reversedInclinometer = false;
  std::vector<const IChannelStore*> unregistered;  // UnregisterChannel calls, in order
  // The same calls, kept outside the window so a test can read them after freeing it.
  std::vector<const IChannelStore*>* unregisteredLog = nullptr;

  int RegisterChannel(IChannelStore* store) override {
    for (int slot = 0; slot < 5; ++slot) {
      bool taken = false;
      for (const auto& [s, used] : channels) taken = taken || used == slot;
      if (taken) continue;
      channels[store] = slot;
      return slot;
    }
    return -1;
  }
  void UnregisterChannel(IChannelStore* store) override {
    channels.erase(store);
    unregistered.push_back(store);
    if (unregisteredLog) unregisteredLog->push_back(store);
  }
  QString FilePrefix() const override { return filePrefix; }
  int32_t FileCount() const override { return fileCount; }
  void ReadFromFileToFRNChannals(const QString& fileName) override { containersRead.push_back(fileName); }
  void SetSaveDefault(bool value) override { saveDefault = value; }
  bool ReversedInclinometer() const override { return reversedInclinometer; }

private:
  TPalMaker* palette_ = nullptr;  // made on first use: most tests never need one
};

// A channel store: a component that owns its settings and is reached through the
// interface by a cross-cast. A test that needs Settings() creates them with the store
// as owner and puts them in `settings`.
class FakeStore : public TComponent, public IChannelStore {
public:
  explicit FakeStore(IChannelWindow* window = nullptr) : TComponent(nullptr), window_(window) {}
  bool holdsTraces = false;
  TSettingData* settings = nullptr;
  int64_t minNumTraces = 0;
  int64_t maxNumTraces = 0;
  IProjectProfile* projectProfile = nullptr;
  bool needForSave = false;  // the store's own flag
  int defaultSaves = 0;      // SaveDefaultSettings calls

  bool HoldsTraces() const override { return holdsTraces; }
  IChannelWindow* Window() const override { return window_; }
  void SetNeedForSave(bool value) override { needForSave = value; }
  TSettingData* Settings() const override { return settings; }
  int64_t MinNumTraces() const override { return minNumTraces; }
  int64_t MaxNumTraces() const override { return maxNumTraces; }
  void SaveDefaultSettings() override { ++defaultSaves; }
  IProjectProfile* ProjectProfile() const override { return projectProfile; }

  // Forgets what was counted so far.
  void ResetCounters() {
    needForSave = false;
    defaultSaves = 0;
  }

private:
  IChannelWindow* window_;
};

// The planning program's project profile: answers a fixed trace and records the
// distances it was asked for.
class FakeProjectProfile : public IProjectProfile {
public:
  int32_t trace = 0;
  mutable std::vector<long double> asked;

  int32_t ProfileDistToTraceWithShift(long double distance) const override {
    asked.push_back(distance);
    return trace;
  }
};

class FakeShell : public IAcquisitionShell {
public:
  ISettingsRadar* radar = nullptr;
  TTopoType topoType = ttWheel;
  uint16_t odometerMult = 5;
  IChannelWindow* activeWindow = nullptr;

  ISettingsRadar* CurrentRadar() const override { return radar; }
  TTopoType CurrentTopoType() const override { return topoType; }
  uint16_t OdometerMult() const override { return odometerMult; }
  IChannelWindow* ActiveChannelWindow() const override { return activeWindow; }
  bool errorLoadFile = false;
  void SetErrorLoadFile(bool value) override { errorLoadFile = value; }

  // What the channel stores ask of the main window.
  int topoTypeSets = 0;  // SetCurrentTopoType calls
  QString lastFolder;
  QString lastFile;
  TCustomIniFile* mainIni = nullptr;  // not owned
  int32_t serNumDevice = 0;
  void SetCurrentTopoType(TTopoType value) override {
    topoType = value;
    ++topoTypeSets;
  }
  QString LastFolder() const override { return lastFolder; }
  void SetLastFile(const QString& value) override { lastFile = value; }
  TCustomIniFile* MainIni() const override { return mainIni; }
  int32_t RadarSetSerNumDevice() const override { return serNumDevice; }
  bool simpleMode = false;
  bool SimpleMode() const override { return simpleMode; }
};

class ShellScope {
public:
  explicit ShellScope(IAcquisitionShell* shell) { SetAcquisitionShell(shell); }
  ~ShellScope() { SetAcquisitionShell(nullptr); }
  ShellScope(const ShellScope&) = delete;
  ShellScope& operator=(const ShellScope&) = delete;
};
