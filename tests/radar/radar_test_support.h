#pragma once
// Helpers of the radar tests: a byte builder that lays frames out by hand (expected
// bytes never come from the code under test), a radar with a recording transport,
// fakes of the main window and the radar set, and a temporary program folder for
// the logs and the settings container.

#include "platform/rtl/paths.h"
#include "platform/ui/messages.h"
#include "radar/radar.h"
#include "radar/parent_thread.h"
#include "radar/radar_hooks.h"
#include "radar/tcp_probe.h"
#include "tests/support/ui_test_support.h"

class TSettingData;

#include <QTemporaryDir>

#include <array>
#include <atomic>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

using TBytes = std::vector<uint8_t>;

// ---- Byte builder -------------------------------------------------------------------

class TBytesBuilder {
public:
  TBytesBuilder& U8(unsigned v) { bytes.push_back(static_cast<uint8_t>(v)); return *this; }
  TBytesBuilder& Be16(unsigned v) { return U8(v >> 8).U8(v); }
  TBytesBuilder& Le16(unsigned v) { return U8(v).U8(v >> 8); }
  TBytesBuilder& Le32(uint32_t v) { return U8(v).U8(v >> 8).U8(v >> 16).U8(v >> 24); }
  TBytesBuilder& Be24(int32_t v) { const auto u = static_cast<uint32_t>(v); return U8(u >> 16).U8(u >> 8).U8(u); }
  TBytesBuilder& Le64(double v);
  TBytesBuilder& Text(const char* s) { while (*s) U8(static_cast<uint8_t>(*s++)); return *this; }
  TBytesBuilder& Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); return *this; }
  TBytesBuilder& Add(const TBytes& more) {
    for (uint8_t b : more) bytes.push_back(b);
    return *this;
  }
  TBytes bytes;
};

// "QEL3", L (BE) = params + 2, code, params, XOR of code and params.
TBytes Frame(uint8_t code, const TBytes& params);
// A frame with its length field set to `length` whatever the parameters (and a
// correct XOR of code and params).
TBytes FrameWithLength(uint8_t code, const TBytes& params, uint16_t length);

// ---- Radar with a recording transport ---------------------------------------------------

class TFakeRadar : public TRadar {
public:
  explicit TFakeRadar(TComponent* owner = nullptr) : TRadar(owner) {}

  void SendCommand(uint8_t code, uint8_t size, const void* param) override { SendFramedCommand(code, size, param); }
  void QueuePacket(std::span<const uint8_t> packet) override;
  int32_t GetNumCollision() override { return thread ? thread->NumCollision.load() : 0; }
  int32_t GetSumCollision() override { return thread ? thread->SumCollision.load() : 0; }
  void ClearSumCollision() override {
    if (thread) thread->SumCollision = 0;
  }
  void SetWhillParamFromMaster(int32_t, TDirectForCart) override {}
  TDirectForCart GetRadarDirection() override { return dForward; }
  TParentThread* GetCommThread() override { return thread; }

  // Every packet handed to the transport, in order. Any thread.
  std::vector<TBytes> Sent() const;
  std::vector<uint8_t> SentCodes() const;
  // Runs on the sending thread right after a packet was queued.
  std::function<void(const TBytes&)> onQueued;

  // A reply arriving on the link as the reader thread handles it: appended to the
  // receive buffer, then the wait it answers is ended.
  TReplyWaitEnd InjectReply(const TBytes& frame);

  TParentThread* thread = nullptr;  // the parser under test, when there is one

private:
  mutable std::mutex sentLock_;
  std::vector<TBytes> sent_;
};

// A reader thread that is never started: its parser runs on the test's thread.
class TParserUnderTest : public TParentThread {
public:
  explicit TParserUnderTest(TFakeRadar& radar) : TParentThread(&radar) { radar.thread = this; }
  // Appends bytes to the radar's receive buffer and parses them as a reader cycle does.
  void Feed(const TBytes& bytes);

protected:
  void Execute() override {}
};

// ---- Main window and radar set ------------------------------------------------------------

// Every part of the main window in one fake, as the main window implements them.
class TFakeRadarShell : public IRadarWindows,
                        public IAcquisitionFlags,
                        public IRadarUnitShell,
                        public IRadarSetShell,
                        public ITcpLinkShell,
                        public IBackupShell {
public:
  TFakeRadarShell();
  ~TFakeRadarShell() override;

  HWND MainWindowHandle() const override { return window; }
  void AfterChangeRadar() override { ++radarChanges; }
  void SetButtonInRunMode(bool running) override { runButtonStates.push_back(running); }
  void SetWasOverFlow(bool value) override { wasOverFlow = value; }
  void SetPCLoading(double pcTime) override { pcLoading = pcTime; }
  void SetCountRadarFromMaster(uint8_t count) override { countRadarFromMaster = count; }
  uint8_t CountRadarFromMaster() const override { return static_cast<uint8_t>(countRadarFromMaster.load()); }
  TSettingData* ActiveChannelFor(const TRadar&) const override { return channel; }
  bool PreferencesDialogExists() const override { return preferencesExist; }
  bool PreferencesDialogVisible() const override { return preferencesVisible; }
  void SetAmpChartRange(double minimum, double maximum) override {
    chartMin = minimum;
    chartMax = maximum;
  }
  HWND PreferencesDialogHandle() const override { return preferencesExist ? preferences.window : nullptr; }
  HWND SettingsWindowHandle() const override { return settings.window; }
  bool SettingsWindowVisible() const override { return settingsVisible; }
  HWND CurrentChildHandle() const override { return hasCurrentChild ? currentChild.window : nullptr; }
  IRecordingWindow* RunChild() const override { return runChild; }
  bool RunActionChecked() const override { return runActionChecked; }
  bool RadarStarted() const override { return radarStarted; }
  bool SimpleMode() const override { return simpleMode; }
  bool DeleteDeviceRunning() const override { return deleteDeviceRunning; }
  bool HasCurrentRadar() const override { return hasCurrentRadar; }
  TCustomIniFile* MainIni() const override { return mainIni; }
  TResultCheckingTCP* ResultCheckingTCP() const override { return probeResult.get(); }
  void SetResultCheckingTCP(std::unique_ptr<TResultCheckingTCP> result) override;
  void SetPingTimerEnabled(bool enabled) override { pingTimerStates.push_back(enabled); }
  // What the radar set asks.
  IRadarSetWindow* CurChildWindow() const override { return curChildWindow; }
  TRadar* CurrentRadar() const override { return currentRadar; }
  void SetCurrentRadar(TRadar* radar) override {
    currentRadar = radar;
    hasCurrentRadar = radar != nullptr;
  }
  void SetStrComNumber(const QString& name) override { strComNumber = name; }
  void SetStrErrorCreateRadar(const QString& text) override { strErrorCreateRadar = text; }
  TModeSystemRadars ModeSystemRadars() const override { return modeSystemRadars; }
  void SetModeSystemRadars(TModeSystemRadars mode) override { modeSystemRadars = mode; }
  double PCLoading() const override { return pcLoading; }
  bool CheckDeviceRunning() const override { return checkDeviceRunning; }
  QString WiFiAddress() const override { return wifiAddress; }
  uint16_t WiFiPort() const override { return wifiPort; }
  TRadarParamReserving* ReserverRadarParam() const override { return reserverRadarParam; }

  // A hidden window that records what is posted to it (user-interface thread).
  struct TWindow {
    TWindow();
    ~TWindow();
    std::vector<TMessage> Messages(UINT msg) const;
    HWND window = nullptr;
    std::vector<TMessage> messages;
  };

  HWND window = nullptr;
  std::vector<TMessage> messages;  // posted to the main window
  TWindow preferences, settings, currentChild;
  int radarChanges = 0;
  std::vector<bool> runButtonStates;
  bool wasOverFlow = true;
  double pcLoading = 0;
  std::atomic<int> countRadarFromMaster{-1};
  std::atomic<TSettingData*> channel{nullptr};
  std::atomic<bool> preferencesExist{false};
  std::atomic<bool> preferencesVisible{false};
  std::atomic<bool> settingsVisible{false};
  std::atomic<bool> hasCurrentChild{false};
  std::atomic<IRecordingWindow*> runChild{nullptr};
  std::atomic<bool> runActionChecked{false};
  std::atomic<bool> radarStarted{false};
  std::atomic<bool> simpleMode{false};
  std::atomic<bool> deleteDeviceRunning{false};
  std::atomic<bool> hasCurrentRadar{false};
  TCustomIniFile* mainIni = nullptr;
  std::unique_ptr<TResultCheckingTCP> probeResult;
  std::vector<bool> pingTimerStates;
  double chartMin = 0, chartMax = 0;
  IRadarSetWindow* curChildWindow = nullptr;
  TRadar* currentRadar = nullptr;
  QString strComNumber;
  QString strErrorCreateRadar;
  TModeSystemRadars modeSystemRadars = msrSingle;
  std::atomic<bool> checkDeviceRunning{false};
  QString wifiAddress = QStringLiteral("127.0.0.1");
  uint16_t wifiPort = 0;
  TRadarParamReserving* reserverRadarParam = nullptr;
  // Messages of one kind posted to the main window.
  std::vector<TMessage> Messages(UINT msg) const;
  // Makes currentChild the current radargram window, recording into `window`.
  void Record(IRecordingWindow* recording) {
    hasCurrentChild = true;
    runChild = recording;
    runActionChecked = true;
  }
};

// A recording window that keeps a copy of every trace handed to it. Any thread.
class TFakeRecordingWindow : public IRecordingWindow {
public:
  struct TCall {
    const TRadar* Radar = nullptr;
    int32_t NumCollision = 0;
    TDirectForCart Direction = dForward;
    int32_t NumCollisionWiFi = 0;
    TLastArray Samples{};
    std::thread::id Thread;
  };
  TTraceStored PaintLastTrace(const TTraceHandOver& trace) override;
  int32_t Channel0LongTrace() const override { return longTrace; }

  std::vector<TCall> Calls() const;
  size_t Count() const;
  std::atomic<int32_t> longTrace{0};

private:
  mutable std::mutex lock_;
  std::vector<TCall> calls_;
};

class TFakeRadarSet : public IRadarSetView {
public:
  TRadar* SlotRadar(int slot) const override { return slot >= 0 && slot < 5 ? slotRadars[slot].load() : nullptr; }
  bool InChannelSet(const TRadar& radar) const override;
  TTypeGPRDevice TypeGPRDevice() const override { return device; }
  void SetDeviceBox(uint8_t typeGPRDevice, uint16_t serNumDevice) override {
    deviceBoxType = typeGPRDevice;
    deviceBoxSerial = serNumDevice;
  }
  std::recursive_mutex& RadarSect() override { return sect; }
  bool isSlaveRunEnded() override;

  std::atomic<TRadar*> slotRadars[5] = {};
  std::vector<const TRadar*> channelSet;
  TTypeGPRDevice device = tdUnknown;
  std::atomic<int> deviceBoxType{-1};
  std::atomic<int> deviceBoxSerial{-1};
  std::recursive_mutex sect;
};

// Registers the fakes for one test and always unregisters them.
class THooksScope {
public:
  THooksScope(TFakeRadarShell* shell, IRadarSetView* set) {
    SetRadarShell(TRadarShell::Of(shell));
    SetRadarSetView(set);
  }
  ~THooksScope() {
    SetRadarShell({});
    SetRadarSetView(nullptr);
  }
  THooksScope(const THooksScope&) = delete;
  THooksScope& operator=(const THooksScope&) = delete;
};

// Points the program folder at a fresh temporary folder for one test.
class TProgramFolderScope {
public:
  TProgramFolderScope() { SetProgramFolder(dir.path() + u'/'); }
  ~TProgramFolderScope() { SetProgramFolder(QString()); }
  QString Path(const QString& name) const { return dir.path() + u'/' + name; }

  QTemporaryDir dir;
};

// The log's lines (split at CRLF; a trailing empty piece dropped).
QStringList ReadLogLines(const QString& fileName);
// True when some line of the log contains text.
bool LogContains(const QString& fileName, const QString& text);

// The current radargram window as the radar set sees it: channels in the slots the
// test gives it, and a record of what the set did to it. Channels are added before
// any radar reads them (reader threads read them too).
class TFakeSetWindow : public IRadarSetWindow {
public:
  TFakeSetWindow();
  ~TFakeSetWindow() override;
  // A channel with default settings in the slot (owned by the window).
  TSettingData& AddChannel(int slot);

  TSettingData* ChannelSettings(int slot) const override;
  bool ChannelHoldsTraces(int slot) const override { return slot >= 0 && slot < 5 && holdsTraces[slot]; }
  void SetChannelFirstTrace(int slot) override { firstTraces.push_back(slot); }
  void SetChannelVisible(int slot, bool visible) override { channelVisible.at(static_cast<size_t>(slot)) = visible; }
  void SetCountChannalView(int32_t count) override { countChannalView = count; }
  void SetDeviceBox(TTypeGPRDevice type, int32_t serNum) override {
    deviceType = type;
    deviceSerial = serNum;
  }
  void ReadFromFileToFRNChannals(const QString& fileName) override { containersRead.push_back(fileName); }

  std::array<bool, 5> holdsTraces{};
  std::vector<int> firstTraces;
  std::array<std::optional<bool>, 5> channelVisible{};
  int32_t countChannalView = -1;
  int deviceType = -1;
  int32_t deviceSerial = -1;
  std::vector<QString> containersRead;

private:
  std::array<TSettingData*, 5> channels_{};
};

// A radar whose unit answers every command at once, with its log open under name
// (also its port name) and its place in a set. Allocated: a radar set may own it.
TFakeRadar* NewAnsweringRadar(const QString& name, uint8_t mode = 0, uint16_t serial = 0, uint8_t channel = 0);
