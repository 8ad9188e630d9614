// TView2DForm::GetFtpFile: the recovery of a recording from the backup a
// single-board-computer radar keeps. Per Wi-Fi radar of the set, its reader is
// suspended while the backup downloads (so the receive buffer holds the download
// alone), the radar's channel is emptied, and the reader, resumed, replays the
// recorded packets, which reach this window as in a live recording. The end of
// the replay unchecks the Run action; the wait for it serves the window messages
// so that the paint thread's hand-over keeps painting.

#include "radargram/view2d_form.h"

#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/chart.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar_w.h"
#include "radar/wifi_thread.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

RESOURCESTRING(SRecoveryDataFromBackup, "Recovery data from backup");
RESOURCESTRING(SBackupReplayTimedOut,
               "The recovery from the backup did not end in time and was stopped. The traces replayed so far are "
               "kept.");

namespace {

constexpr std::chrono::milliseconds kBackupWaitRound{25};
// The room the replay leaves unreplayed for a channel without a store.
constexpr int32_t kNoStoreMinTraceMem = 2021;

// name + "_bak" + extension, the older copy of that name replaced. False when
// the copy could not be made.
bool KeepEarlierFile(const QString& fileName) {
  const QString ext = ExtractFileExt(fileName);
  const QString bak = fileName.left(fileName.size() - ext.size()) + QStringLiteral("_bak") + ext;
  if (FileExists(bak)) DeleteFile(bak);
  std::error_code error;
  return std::filesystem::copy_file(fileName.toStdString(), bak.toStdString(), error);
}

// The store holds nothing: its inclinometer records, its per-trace buffers and
// its trace range are gone.
void EmptyChannel(T2Dview& store) {
  TSettingData& settings = *store.Settings();
  settings.IndexIncl.Clear();
  settings.MinNumIncl = 0;
  settings.MaxNumIncl = 0;
  store.IndexTraces.Clear();
  store.SetMinNumTraces(0);
  store.SetMaxNumTraces(0);
  store.SetPosTraces(0);
}

}  // namespace

void TView2DForm::GetFtpFile() {
  TControlRadar* set = shell_.Radars->ControlRadar();
  if (!set || set->GetCountPluginRadars() == 0 || !shell_.Run) return;
  for (int slot = 0; slot < set->CountRadars(); ++slot) {
    auto* radar = dynamic_cast<TRadarW*>(set->GetRadarByIndex(slot));
    if (!radar || !radar->WiFiThreadOf()) continue;
    if (!RecoverBackupOfSlot(slot, *radar)) return;
  }
}

bool TView2DForm::RecoverBackupOfSlot(int slot, TRadarW& radar) {
  TWiFiThread& reader = *radar.WiFiThreadOf();
  shell_.Run->SetRunActionChecked(true);
  if (!reader.Suspended()) reader.Suspend();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));

  T2Dview* store = GetView2DByIndx(slot);
  const int32_t minTraceMem =
      store ? store->Settings()->GetLongTrace() * 2 + 21 : kNoStoreMinTraceMem;

  if (TChart* chart = Chart_[0]) {
    const TRect plot = chart->ChartRect();
    const int plotWidth = plot.Right - plot.Left;
    PanelProgressFtp->SetLeft(plotWidth / 2 + plot.Left - PanelProgressFtp->Width() / 2);
    PanelProgressFtp->SetTop(plot.Bottom / 2);
  }
  LabelFtpLoad->SetCaption(LoadResString(SDownloadingOfBackup));
  PanelProgressFtp->Show();
  Application->ProcessMessages();

  const bool loaded =
      reader.LoadFtpFile(QStringLiteral("trace") + QString::number(radar.NumChannalRadar()) + QStringLiteral(".trc"),
                         minTraceMem);
  LabelFtpLoad->SetCaption(LoadResString(SRecoveryDataFromBackup));
  if (!loaded) {
    PanelProgressFtp->Hide();
    reader.Resume();
    shell_.Run->SetRunActionChecked(false);
    if (shell_.WiFiLoss) {
      shell_.WiFiLoss->ClearWiFiInterruptedRecording();
      shell_.WiFiLoss->SaveWIFIDisconnection();
    }
    return false;
  }

  const QString fileName = Caption();
  if (FileExists(fileName)) KeepEarlierFile(fileName);

  shell_.Run->SetRunActionChecked(true);
  if (shell_.WiFiLoss) {
    shell_.WiFiLoss->ClearWiFiInterruptedRecording();
    shell_.WiFiLoss->SaveWIFIDisconnection();
  }
  // The backup replaces what this radar's channel received live; the painted
  // position starts again with it.
  store = GetView2DByIndx(slot);
  if (store) EmptyChannel(*store);
  radar.LastPaint = 0;
  radar.LastRecived = 0;

  bool backupHere = false;
  if (!shell_.Recording->RunChild()) {
    shell_.Recording->SetRunChild(this);
    PrepareForRunning();
    OnlinePaintThread->IsBackup = true;
    OnlinePaintThread->Resume();
    shell_.Run->SetRadarStarted(true);
    backupHere = true;
  }

  reader.Resume();
  for (int round = 0; round < BackupWaitRounds && RunChecked(); ++round) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(kBackupWaitRound);
  }
  if (RunChecked()) {
    // The replay has not ended: it is dropped, so that nothing is stored after
    // the stop actions; the reader goes back to its link.
    reader.Suspend();
    reader.AbandonReplay();
    shell_.Run->SetRunActionChecked(false);
    reader.Resume();
    PanelProgressFtp->Hide();
    ShowMessage(LoadResString(SBackupReplayTimedOut));
    // The painter would have run the stop actions at the end of the replay.
    if (backupHere && OnlinePaintThread->IsBackup.exchange(false)) shell_.Run->ActionsInStop();
  }

  PanelProgressFtp->Hide();
  if (store) store->Settings()->SetFileName(fileName);
  radar.SetCurMode(cmStop);
  SetScrollBars();
  return true;
}
