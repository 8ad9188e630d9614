#pragma once
// The states of the main window's commands that acquisition control sets: the
// Run command's check, caption and picture, and which commands may run. The
// menus and the tool bar show them.
//
// Threads: set on the user-interface thread; RunChecked is read by the radars'
// reader threads too.

#include "platform/rtl/resource_strings.h"
#include "profiledata/gpr_constants.h"

#include <QString>

#include <atomic>

RESOURCESTRING(SStart, "Start");
RESOURCESTRING(SStop, "Stop");
RESOURCESTRING(SBackward, "Backward");
RESOURCESTRING(SForward, "Forward");

// Pictures of the Run command and of the Direction button.
inline constexpr int RunPictureStart = 6;
inline constexpr int RunPictureStop = 7;
inline constexpr int DirectionPictureBackward = 10;
inline constexpr int DirectionPictureForward = 11;

struct TMainCommands {
  // Run: checked while a recording runs; "Start" with picture 6, else "Stop" with 7.
  std::atomic<bool> RunChecked{false};
  int RunPicture = RunPictureStart;
  QString RunCaption = LoadResString(SStart);
  bool RunEnabled = true;
  // Save, Save As, Print, Direction, GPR settings.
  bool SaveEnabled = false;
  bool SaveAsEnabled = false;
  bool PrintEnabled = false;
  bool DirectionEnabled = false;
  bool GprSettingsEnabled = false;
  // GPR Presets; while a tool dialog is shown it is off, and afterwards as it
  // was before the dialog.
  bool GprPresetsEnabled = false;
  bool GprPresetsBeforeToolDialog = false;
  // The Export menu, Zoom In and Zoom Out: with a radargram window open.
  bool ExportEnabled = false;
  bool ZoomEnabled = false;
  // The Language menu: only while no radargram window is open.
  bool LanguageVisible = true;
  // A tool dialog is shown (GPR settings and presets stay off meanwhile).
  bool ToolDialogShown = false;
  // The Direction button's picture and hint.
  int DirectionPicture = DirectionPictureForward;
  QString DirectionHint = LoadResString(SForward);

  // Run unchecked, "Start" with its picture.
  void ShowRunStopped() {
    RunChecked = false;
    RunPicture = RunPictureStart;
    RunCaption = LoadResString(SStart);
  }
  void ShowDirection(TDirection direction) {
    DirectionPicture = direction == back ? DirectionPictureBackward : DirectionPictureForward;
    DirectionHint = LoadResString(direction == back ? SBackward : SForward);
  }
};
