#pragma once
// TControlRadar: up to five radars of one set by channel slot 0..4 (the channel of
// the recording window each radar fills). It answers queries about the set, builds
// the status text, copies the radars' offsets into the current radargram window, and
// starts, stops and resumes acquisition and the inclinometer calibration on every
// radar. It refers to its radars but does not own them: TActiveRadar (a subclass)
// creates and frees them, and the main window's ControlRadar only forgets them.
//
// Threads and locks:
// - Everything runs on the user-interface thread except GetRadarByIndex,
//   GetRadarByIdTimer and isSlaveRunEnded, which the reader threads call during a
//   trace hand-over. The slots are atomic pointers for them.
// - RadarSect guards the slaves' FRun flags and the readers' FRunPaintLastTrace.
// - A radar leaves its slot before it is freed, and radars are freed only while no
//   recording runs, so a hand-over never reaches a freed radar through a slot.
//
// The sending operations wait for each reply in turn while serving the
// user-interface thread's messages (radar.h); their short pauses block it.

#include "platform/rtl/resource_strings.h"
#include "profiledata/gpr_constants.h"
#include "radar/radar_hooks.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

class TRadar;

inline constexpr int MaxCountChannal = 5;

RESOURCESTRING(SGprNotAvailable, "GPR is not available");

// Serial number of the radar of each channel, 0 for none (user-interface thread).
extern std::array<uint16_t, MaxCountChannal> ArChannalSerNum;

// Multi-channel device boxes: the type with bit 7 cleared is 1..7 or 17.
bool IsMultiChannelGPRDevice(uint8_t aTypeGPRDevice);

class TControlRadar {
public:
  TControlRadar();
  // Forgets the radars (a subclass that owns them frees them in its own destructor).
  virtual ~TControlRadar();
  TControlRadar(const TControlRadar&) = delete;
  TControlRadar& operator=(const TControlRadar&) = delete;

  // Frees the radars of a set that owns them; nothing here.
  virtual void RadarFree() {}
  // The channel-slot variant of creation: a 10 ms pause, the main window's current
  // radar := the radar of slot 0, the creation line on it; always true.
  virtual bool CreateRadar(const QString& strComNumberIn);

  // ---- Properties -----------------------------------------------------------------
  bool Active() const { return FActive; }
  bool CompleteList() const { return FCompleteList; }
  void SetCompleteList(bool value) { FCompleteList = value; }
  // The raw type byte the unit reported (bit 7 may be set).
  TTypeGPRDevice TypeGPRDevice() const { return FTypeGPRDevice; }
  void SetTypeGPRDevice(TTypeGPRDevice value) { FTypeGPRDevice = value; }
  int32_t SerNumDevice() const { return FSerNumDevice; }
  void SetSerNumDevice(int32_t value) { FSerNumDevice = value; }
  // Slots, empty ones included.
  int CountRadars() const { return MaxCountChannal; }

  // ---- Slots -----------------------------------------------------------------------
  // Empties every slot without freeing.
  void RadarNil();
  // Unless present, into the first empty slot.
  void RadarAdd(TRadar* NewRadar);
  // For Channal below 5: puts the radar into that slot and logs the addition on it.
  // Then Active := isPresentRadarNotNil.
  void AddRadarToChanal(int Channal, TRadar* SetRadar);
  // Empties every slot that holds the radar.
  void RemoveRadar(const TRadar* radar);
  // The master's slot (a radar set's master/slave hand-over follows it).
  void SetMasterChannal(int32_t value) { FMasterChannal = value; }

  // ---- Queries -----------------------------------------------------------------------
  bool isPresentRadar(const TRadar* NewRadar) const;
  bool isPresentComNumber(const QString& strComNumberIn) const;
  int GetCountPluginRadars() const;
  bool isPresentRadarNotNil() const;
  TRadar* GetPresentRadarNotNil() const;
  int GetIndexRadar(const TRadar* SearchRadar) const;
  // nullptr while the main window re-checks or removes a device, or out of range.
  // Any thread.
  TRadar* GetRadarByIndex(int indx) const;
  // Any thread.
  TRadar* GetRadarByIdTimer(uint32_t id) const;
  int32_t GetMasterChannal() const { return FMasterChannal; }
  TRadar* GetMasterRadar() const;
  // True when no slave has its FRun flag set (each read under RadarSect). Any thread.
  bool isSlaveRunEnded();
  void ClearRadarLoading();
  void SetAllRadarsToStopMode();

  static bool isDualFrequenceGPRDevice(TTypeGPRDevice aTypeGPRDevice) { return aTypeGPRDevice == tdBox02; }
  static bool isGPRDeviceReverseInclinometr(TTypeGPRDevice aTypeGPRDevice) {
    return IsMultiChannelGPRDevice(aTypeGPRDevice);
  }

  // Status-bar text of the set.
  QString GetListRadar() const;
  // Channels of the current radargram window against the unit types of their radars.
  bool isEqualRadarTypeAndView() const;
  void SetEqualRadarTypeAndView();
  // The set's device box and the radars' offsets into the current radargram window.
  void CreateXYZOffsetFromRadar();

  // ---- Acquisition (radar_set_acquisition.cpp) -------------------------------------------
  void StartRadarGetData(int indx);
  void StartAllRadarGetData();
  void StopRadarGetData(int indx);
  void StopAllRadarGetData();
  void ResumeAllRadarGetData();

  // ---- Inclinometer calibration (radar_set_acquisition.cpp) -------------------------------
  void StartAllRadarsForInclinometr(bool isNulling);
  void StopAllRadarsForInclinometr();
  void CopyAllRadarsInclinometrFromMaster();

  // The radar of a slot whatever the main window does (nullptr out of range).
  TRadar* SlotRadar(int slot) const;

  std::recursive_mutex RadarSect;

protected:
  // The main window's parts as registered when the set was created.
  const TRadarShell& Shell() const { return shell_; }
  // The current radargram window (the main window's CurChild); nullptr when none.
  IRadarSetWindow* CurrentWindow() const { return shell_.Set ? shell_.Set->CurChildWindow() : nullptr; }
  void SetSlot(int slot, TRadar* radar);
  void UpdateActive() { FActive = isPresentRadarNotNil(); }

private:
  const TRadarShell shell_ = RadarShell();
  std::array<std::atomic<TRadar*>, MaxCountChannal> arRadar{};
  std::atomic<bool> FActive{false};
  std::atomic<bool> FCompleteList{true};
  std::atomic<TTypeGPRDevice> FTypeGPRDevice{tdUnknown};
  std::atomic<int32_t> FSerNumDevice{0};
  std::atomic<int32_t> FMasterChannal{0};
};
