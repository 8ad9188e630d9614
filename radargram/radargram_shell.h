#pragma once
// What a radargram window asks of the acquisition program's main window, in
// small interfaces by concern; the main window implements them together and
// hands them to each window it creates (TRadargramShell). Tests use fakes.
//
// All calls run on the user-interface thread.

#include "platform/ui/control_types.h"

#include <QString>

#include <cstdint>

class ISettingsRadar;

// Layout and state: the main window's flags around creating, resizing and
// closing its radargram windows, and the room it gives them.
class IRadargramLayoutShell {
public:
  virtual ~IRadargramLayoutShell() = default;
  // A radargram window is being closed (isCloseChild); the windows' layout
  // operations wait meanwhile.
  virtual bool isCloseChild() const = 0;
  virtual void SetCloseChild(bool value) = 0;
  // The last remembered child window is being closed (isActivatedClosed).
  virtual bool isActivatedClosed() const = 0;
  // Resize handling is suspended (StartResize).
  virtual bool StartResize() const = 0;
  virtual void SetStartResize(bool value) = 0;
  // The window being created is for a new recording (flNewCreate).
  virtual bool flNewCreate() const = 0;
  // Creating a window failed (ErrorNewCreate); the main window checks it after
  // creating one.
  virtual void SetErrorNewCreate(bool value) = 0;
  // The main window's client area less its tool bar and its status bar: the
  // room a maximised radargram window fills.
  virtual int ChildAreaWidth() const = 0;
  virtual int ChildAreaHeight() const = 0;
  // The colour of the windows' pages (FColor).
  virtual TColor PageColor() const = 0;
  // The program shows its simple display mode.
  virtual bool SimpleMode() const = 0;
  // The depth slice follows the strongest reflection while recording.
  virtual bool AutoDepthOnline() const = 0;
  // The radar set has a radar in channel slot 0..4.
  virtual bool SlotHasRadar(int slot) const = 0;
};

// Files and names: where a new window's file names come from.
class IRadargramFilesShell {
public:
  virtual ~IRadargramFilesShell() = default;
  // Prefix and counter of new file names (GlobalPrefixFiles, GlobalCountFiles).
  virtual QString GlobalPrefixFiles() const = 0;
  virtual int32_t GlobalCountFiles() const = 0;
};

// The radar set: the radars of the main window's ControlRadar by channel slot,
// which a channel without a radar takes when the window aligns its channels.
class IRadargramRadarsShell {
public:
  virtual ~IRadargramRadarsShell() = default;
  // The main window is re-checking a device (isCheckDeviceRunned); the slot
  // lookup answers nullptr while it is set.
  virtual bool isCheckDeviceRunned() const = 0;
  virtual void SetCheckDeviceRunned(bool value) = 0;
  // The radar in channel slot 0..4 (GetRadarByIndex); nullptr when the slot is
  // empty. Not owned.
  virtual ISettingsRadar* GetRadarByIndex(int slot) const = 0;
};

// The main window's parts a radargram window holds; none may be nullptr and
// all outlive the window.
struct TRadargramShell {
  IRadargramLayoutShell* Layout = nullptr;
  IRadargramFilesShell* Files = nullptr;
  IRadargramRadarsShell* Radars = nullptr;
};
