#pragma once
// What a radar asks of its neighbours that are built later: the acquisition main
// window with the windows it reaches (settings window, preferences dialog, active
// radargram window), and the radar set that owns the radars. The real main window
// and radar set implement these; tests use fakes.
//
// Both are process-wide registrations (not owned). Without a registration a radar
// behaves as with no windows: nothing is posted or refreshed, the load-data block
// takes its window-less values, and the parameter re-send finds the radar outside
// the channel set.
//
// Calls run on the user-interface thread unless a method says otherwise.

#include "platform/ui/messages.h"
#include "profiledata/gpr_constants.h"

#include <cstdint>

class TRadar;
class TSettingData;

class IRadarShell {
public:
  virtual ~IRadarShell() = default;
  // The main window's handle for posted messages; nullptr when there is none. Any thread.
  virtual HWND MainWindowHandle() const = 0;
  // The radar's reported antenna type changed.
  virtual void AfterChangeRadar() = 0;
  // The Run command's state after a stop command (false).
  virtual void SetButtonInRunMode(bool running) = 0;
  // The receive-buffer overflow flag, cleared by every start command.
  virtual void SetWasOverFlow(bool value) = 0;
  // PC time stamp of the last load-data command.
  virtual void SetPCLoading(double pcTime) = 0;
  // Number of radars of the set as reported by the master.
  virtual void SetCountRadarFromMaster(uint8_t count) = 0;
  // The channel settings of the active radargram window in the slot that holds this
  // radar; nullptr when no radargram window is active (or it has no such channel).
  virtual TSettingData* ActiveChannelFor(const TRadar& radar) const = 0;
  virtual bool PreferencesDialogExists() const = 0;
  virtual bool PreferencesDialogVisible() const = 0;
  // Vertical range of the settings window's first amplitude chart (ChartAmp_ entry 0).
  virtual void SetAmpChartRange(double minimum, double maximum) = 0;
};

class IRadarSetView {
public:
  virtual ~IRadarSetView() = default;
  // The radar in a slot of the set that owns the radars (ActiveRadar); nullptr when empty.
  virtual TRadar* SlotRadar(int slot) const = 0;
  // True when the radar sits in a channel slot of the main window's ControlRadar.
  virtual bool InChannelSet(const TRadar& radar) const = 0;
  // Device-box type reported for the set.
  virtual TTypeGPRDevice TypeGPRDevice() const = 0;
};

void SetRadarShell(IRadarShell* shell);
IRadarShell* RadarShell();
void SetRadarSetView(IRadarSetView* set);
IRadarSetView* RadarSetView();
