// The replay of a loaded backup on the reader thread. The window is reached only
// through calls queued to the user-interface thread; they hold values, never the
// thread and the radar, so one that runs after the radar went finds the window (or
// nothing) through the main window's backup part.

#include "radar/ftp_replay.h"

#include "platform/ui/threads.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/wifi_thread.h"

#include <cmath>

int32_t ReplayPercent(int64_t loaded, int64_t remaining) {
  if (loaded <= 0) return 0;
  return static_cast<int32_t>(std::nearbyint(static_cast<double>(loaded - remaining) * 100.0 / static_cast<double>(loaded)));
}

int32_t ReplayProgressWidth(int32_t percent, int32_t panelWidth) {
  return static_cast<int32_t>(std::nearbyint(static_cast<double>(percent) * panelWidth / 100.0));
}

namespace {

IBackupWindow* CurrentBackupWindow(const IBackupShell* shell) { return shell ? shell->CurrentBackupWindow() : nullptr; }

void ShowReplayProgress(const IBackupShell* shell, int channel, int32_t percent) {
  IBackupWindow* window = CurrentBackupWindow(shell);
  if (window && window->ProgressPanelVisible(channel))
    window->SetProgressImageWidth(channel, ReplayProgressWidth(percent, window->ProgressPanelWidth()));
}

void EndReplayOnWindows(IBackupShell* shell, int channel) {
  if (shell) shell->SetRunActionChecked(false);
  if (IBackupWindow* window = CurrentBackupWindow(shell)) window->HideProgressPanel(channel);
}

}  // namespace

void TWiFiThread::ReplayCycle() {
  TRadar& radar = *FOwner;
  const int channel = radar.NumChannalRadar();
  IBackupShell* backup = radar.Shell().Backup;
  const int32_t remaining = radar.CommGlobBufEndPos();
  if (remaining > MinTraceMem) {
    // Queued only when the figure changes: at most 101 updates for any recording.
    const int32_t percent = ReplayPercent(StartCommGlobBufEndPos, remaining);
    if (percent != shownPercent_) {
      shownPercent_ = percent;
      TThread::Queue(nullptr, [backup, channel, percent] { ShowReplayProgress(backup, channel, percent); });
    }
    if (ParseProc() > 0) return;
    // Nothing more arrives during a replay: bytes that hold no whole packet now
    // (a packet cut at the end of the file, junk without a magic) never will.
    radar.WriteStrToLog(QStringLiteral("Replay ends, no whole packet in the last bytes: ") + QString::number(remaining));
  }
  radar.ClearReceived();
  isFtpGet = false;
  TThread::Queue(nullptr, [backup, channel] { EndReplayOnWindows(backup, channel); });
}
