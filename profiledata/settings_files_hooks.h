#pragma once
// What a channel's settings files and its SEG-Y import ask of the radargram window
// that owns the channel store: the flag that lets default settings be saved, the
// window's multi-channel settings container, and the progress bar in a channel's
// panel. The window implements this beside IChannelWindow; the settings reach it
// by a cross-cast of their store's window, so a window without it (and the
// planning program, which has no window) saves no container and shows no progress.
//
// User-interface thread only.

#include <QString>

class ISettingsFilesWindow {
public:
  virtual ~ISettingsFilesWindow() = default;
  // The window's isSaveDefault flag: default settings are written only while it is set.
  virtual bool IsSaveDefault() const = 0;
  // Writes the window's settings container of its five channel slots (SaveBSTT).
  // False when the file could not be written; the window has told the user and the
  // file that was there is kept.
  virtual bool SaveBSTT(const QString& fileName) = 0;

  // ---- Progress bar of a channel panel ------------------------------------------
  // The full width of a progress bar (the window's progress panel).
  virtual int ProgressPanelWidth() const = 0;
  // Shows the channel's progress bar with the given width in pixels.
  virtual void SetProgressWidth(int channel, int width) = 0;
  virtual void HideProgress(int channel) = 0;
};
