#pragma once
// What the radar link asks of its neighbours that are built later: the acquisition
// main window (split below by caller), the radargram windows it reaches, and the
// radar set that owns the radars. The real main window, windows and radar set
// implement these; tests use fakes.
//
// Which thread may call what:
// - Reader threads (parsing, trace hand-over, pings): IRadarWindows and
//   IAcquisitionFlags (any thread; implementations answer from atomics or under
//   their own lock), IRecordingWindow::PaintLastTrace (also on the user-interface
//   thread for old firmware), IRecordingWindow::Channel0LongTrace, and the "any
//   thread" members of IRadarSetView.
// - The user-interface thread: everything else (IRadarUnitShell, IRadarSetShell,
//   ITcpLinkShell, IBackupShell, IRadarSetWindow, IBackupWindow). A reader thread
//   reaches them only through Synchronize or a queued call.
//
// The main window's parts are registered once (SetRadarShell); the radar set
// registers itself (SetRadarSetView). Neither is owned by the link. Without a
// registration a radar behaves as with no windows: nothing is posted or refreshed,
// the load-data block takes its window-less values, and the parameter re-send finds
// the radar outside the channel set.

#include "platform/ui/messages.h"
#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

class TCustomIniFile;
class TRadar;
class TRadarParamReserving;
class TResultCheckingTCP;
class TSettingData;
class TStream;

// One decoded trace on its way to the recording window: the radar's last-trace
// array with the header fields the parser worked out, and the radar's own record of
// what the window stored last.
struct TTraceHandOver {
  TRadar& Radar;
  // The radar's LastArray; the caller holds the radar's SectPaint for the call.
  std::span<const int32_t> Samples;
  int32_t NumCollision = 1;         // positions the trace stands for
  TDirectForCart Direction = dForward;
  int32_t NumCollisionWiFi = 0;     // Wi-Fi traces lost just before it
  TDirectForCart LastDirect = dForward;  // the radar's LastDirect
  int64_t LastRecived = 0;               // the radar's LastRecived
};

// What the recording window made of a trace: the direction and the lost-trace count
// it went by, and the radar's new LastDirect and LastRecived.
struct TTraceStored {
  TDirectForCart Direction = dForward;
  int32_t NumCollisionWiFi = 0;
  TDirectForCart LastDirect = dForward;
  int64_t LastRecived = 0;
};

// The stored-nothing-else answer: every value as it came in.
inline TTraceStored Unchanged(const TTraceHandOver& trace) {
  return {trace.Direction, trace.NumCollisionWiFi, trace.LastDirect, trace.LastRecived};
}

// The recording window (the main window's RunChild) as the radar link sees it.
class IRecordingWindow {
public:
  virtual ~IRecordingWindow() = default;
  // Takes the trace into the channel store of the radar's slot: NumCollisionWiFi
  // zero traces for traces lost on Wi-Fi, then the trace NumCollision times in
  // Direction. Called on the radar's reader thread (on the user-interface thread,
  // with the reader waiting, for firmware below 6; on a master's reader for a late
  // slave) with the radar's SectPaint held and no other lock of the radar.
  virtual TTraceStored PaintLastTrace(const TTraceHandOver& trace) = 0;
  // LongTrace of the window's channel 0. Any thread.
  virtual int32_t Channel0LongTrace() const = 0;
};

// The current radargram window (the main window's CurChild) as the radar set sees
// it: its five channels by slot. User-interface thread.
class IRadarSetWindow {
public:
  virtual ~IRadarSetWindow() = default;
  // The settings of the window's channel in a slot; nullptr when the window has no
  // such channel.
  virtual TSettingData* ChannelSettings(int slot) const = 0;
  // The channel holds recorded or loaded traces.
  virtual bool ChannelHoldsTraces(int slot) const = 0;
  // The channel's next trace starts a recording (its FirstTrace flag).
  virtual void SetChannelFirstTrace(int slot) = 0;
  // The channel-visibility flag of a slot.
  virtual void SetChannelVisible(int slot, bool visible) = 0;
  virtual void SetCountChannalView(int32_t count) = 0;
  // The device box of the window's profile.
  virtual void SetDeviceBox(TTypeGPRDevice type, int32_t serNum) = 0;
  // Reads a multi-channel settings container into the window's channels.
  virtual void ReadFromFileToFRNChannals(const QString& fileName) = 0;
};

// The current radargram window (the main window's CurChild) as the recovery of a
// radar's backup sees it: it takes the backup's settings and shows the replay's
// progress in the panel of the radar's channel. User-interface thread.
class IBackupWindow {
public:
  virtual ~IBackupWindow() = default;
  // Reads a multi-channel container from Stream's position into the window's
  // channels (ReadFromStreamToFRNChannals); FileName (".trc") makes it a backup's
  // settings container. Leaves Stream just past the container. Throws
  // EStreamError when Stream ends inside it.
  virtual void ReadFromStreamToFRNChannals(const QString& FileName, TStream& Stream) = 0;
  // The progress panel of a channel (GetProgressPanelByIndx) is shown.
  virtual bool ProgressPanelVisible(int channel) const = 0;
  // Width of the channel's progress image (GetProgressImageByIndx).
  virtual void SetProgressImageWidth(int channel, int width) = 0;
  virtual void HideProgressPanel(int channel) = 0;
  // Width of the window's ProgressPanel, the full length of a progress image.
  virtual int ProgressPanelWidth() const = 0;
};

// ---- The acquisition main window, by caller ------------------------------------------
// The main window (with the settings window and the preferences dialog it owns)
// implements all of the parts below; each caller holds only the part it uses.

// The windows the radar link posts to and routes traces by. Any thread: the reader
// threads ask on every trace; an implementation answers from atomics.
class IRadarWindows {
public:
  virtual ~IRadarWindows() = default;
  // The main window's handle; nullptr when there is none.
  virtual HWND MainWindowHandle() const = 0;
  // The general preferences dialog's handle; nullptr while it does not exist.
  virtual HWND PreferencesDialogHandle() const = 0;
  // The acquisition settings window (it exists for the whole run) and whether it is shown.
  virtual HWND SettingsWindowHandle() const = 0;
  virtual bool SettingsWindowVisible() const = 0;
  // The current radargram window's handle (CurChild); nullptr when there is none.
  virtual HWND CurrentChildHandle() const = 0;
  // The recording window (RunChild); nullptr when none records. It stays valid
  // until the main window has stopped the radars' hand-overs.
  virtual IRecordingWindow* RunChild() const = 0;
  // The Run command is checked.
  virtual bool RunActionChecked() const = 0;
};

// The main window's state flags and the radar count of the set. Any thread.
class IAcquisitionFlags {
public:
  virtual ~IAcquisitionFlags() = default;
  // A recording has started (RadarStarted).
  virtual bool RadarStarted() const = 0;
  virtual bool SimpleMode() const = 0;
  // The main window is removing (isDeleteDeviceRunned) or re-checking
  // (isCheckDeviceRunned) a device: serial readers idle, slots read empty.
  virtual bool DeleteDeviceRunning() const = 0;
  virtual bool CheckDeviceRunning() const { return false; }
  // The main window has a current radar (its `radar` field).
  virtual bool HasCurrentRadar() const = 0;
  virtual bool PreferencesDialogExists() const = 0;
  virtual bool PreferencesDialogVisible() const = 0;
  // Number of radars of the set as reported by the master.
  virtual void SetCountRadarFromMaster(uint8_t count) = 0;
  virtual uint8_t CountRadarFromMaster() const = 0;
};

// What a radar object asks when it sends commands and restarts: user-interface
// thread unless marked.
class IRadarUnitShell {
public:
  virtual ~IRadarUnitShell() = default;
  // The radar's reported antenna type changed.
  virtual void AfterChangeRadar() = 0;
  // The Run command's state after a stop command (false).
  virtual void SetButtonInRunMode(bool running) = 0;
  // The receive-buffer overflow flag, cleared by every start command.
  virtual void SetWasOverFlow(bool value) = 0;
  // PC time stamp of the last load-data command.
  virtual void SetPCLoading(double pcTime) = 0;
  // The channel settings of the active radargram window in the slot that holds this
  // radar; nullptr when no radargram window is active (or it has no such channel).
  // Also read on a reader thread by the start reply.
  virtual TSettingData* ActiveChannelFor(const TRadar& radar) const = 0;
  // Vertical range of the settings window's first amplitude chart (ChartAmp_ entry 0).
  virtual void SetAmpChartRange(double minimum, double maximum) = 0;
  // The program's settings file; nullptr when there is none.
  virtual TCustomIniFile* MainIni() const = 0;
};

// What the radar set asks while it builds and runs a set. User-interface thread.
// The defaults stand for a main window without these parts.
class IRadarSetShell {
public:
  virtual ~IRadarSetShell() = default;
  // The current radargram window (CurChild); nullptr when there is none.
  virtual IRadarSetWindow* CurChildWindow() const { return nullptr; }
  // The main window's current radar (its `radar` field); HasCurrentRadar follows it.
  virtual TRadar* CurrentRadar() const { return nullptr; }
  virtual void SetCurrentRadar(TRadar* /*radar*/) {}
  // Port name of the current radar (strComNumber, "WiFi" for a TCP radar).
  virtual void SetStrComNumber(const QString& /*name*/) {}
  // " Error" after a failed set test, else empty (strErrorCreateRadar).
  virtual void SetStrErrorCreateRadar(const QString& /*text*/) {}
  virtual TModeSystemRadars ModeSystemRadars() const { return msrSingle; }
  virtual void SetModeSystemRadars(TModeSystemRadars /*mode*/) {}
};

// What the TCP probe and the TCP radars ask. User-interface thread.
class ITcpLinkShell {
public:
  virtual ~ITcpLinkShell() = default;
  // The TCP probe result the main window holds (ResultCheckingTCP); nullptr when none.
  virtual TResultCheckingTCP* ResultCheckingTCP() const = 0;
  // Takes a new probe result.
  virtual void SetResultCheckingTCP(std::unique_ptr<TResultCheckingTCP> result) = 0;
  // The 3000 ms ping timer that probes for a Wi-Fi radar.
  virtual void SetPingTimerEnabled(bool enabled) = 0;
  // The program-wide address and port of a Wi-Fi radar.
  virtual QString WiFiAddress() const { return QString(); }
  virtual uint16_t WiFiPort() const { return 0; }
  // The saved parameters of a Wi-Fi radar (ReserverRadarParam); nullptr before the
  // first Wi-Fi loss.
  virtual TRadarParamReserving* ReserverRadarParam() const { return nullptr; }
  // PC time stamp of the last load-data command (PCLoading).
  virtual double PCLoading() const { return 0; }
};

// What the recovery of a radar's backup asks. User-interface thread. The defaults
// stand for a main window without a radargram window.
class IBackupShell {
public:
  virtual ~IBackupShell() = default;
  // The current radargram window (CurChild); nullptr when there is none.
  virtual IBackupWindow* CurrentBackupWindow() const { return nullptr; }
  // Checks or unchecks the Run action without executing it.
  virtual void SetRunActionChecked(bool /*checked*/) {}
};

// The parts of the main window, as registered once. Any part may be nullptr: the
// callers then behave as without that window.
struct TRadarShell {
  IRadarWindows* Windows = nullptr;
  IAcquisitionFlags* Flags = nullptr;
  IRadarUnitShell* Unit = nullptr;
  IRadarSetShell* Set = nullptr;
  ITcpLinkShell* Tcp = nullptr;
  IBackupShell* Backup = nullptr;

  // Every part from one object that implements them all (nullptr: none).
  template <typename TAll>
  static TRadarShell Of(TAll* all) {
    return all ? TRadarShell{all, all, all, all, all, all} : TRadarShell{};
  }
};

class IRadarSetView {
public:
  virtual ~IRadarSetView() = default;
  // The radar in a slot of the set that owns the radars (ActiveRadar); nullptr when
  // empty. Any thread.
  virtual TRadar* SlotRadar(int slot) const = 0;
  // True when the radar sits in a channel slot of the main window's ControlRadar.
  virtual bool InChannelSet(const TRadar& radar) const = 0;
  // Device-box type reported for the set.
  virtual TTypeGPRDevice TypeGPRDevice() const = 0;
  // The device box a radar reported (raw type byte, serial number). Any thread.
  virtual void SetDeviceBox(uint8_t typeGPRDevice, uint16_t serNumDevice) = 0;
  // Guards the slaves' FRun flags and the reader threads' FRunPaintLastTrace. Any thread.
  virtual std::recursive_mutex& RadarSect() = 0;
  // True when no slave of the set has its FRun flag set (each read under RadarSect).
  // Any thread.
  virtual bool isSlaveRunEnded() = 0;
};

// The main window registers its parts once at start and withdraws them ({}) after
// it freed the radars. A radar, its reader thread and the radar set take the parts
// they use when they are created and hold them.
void SetRadarShell(const TRadarShell& shell);
TRadarShell RadarShell();
void SetRadarSetView(IRadarSetView* set);
IRadarSetView* RadarSetView();
