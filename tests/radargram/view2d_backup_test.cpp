// The recovery of a recording from a single-board-computer radar's backup, end
// to end: the real radar set with a radar found on a simulated unit over loopback
// TCP, its backup fetched from a real FTP server on 127.0.0.1 and replayed by the
// radar's reader into the radargram window through the online display.

#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/radar_set.h"
#include "radar/radar_w.h"
#include "radar/tcp_probe.h"
#include "radar/wifi_thread.h"
#include "radargram/view2d_form.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radar/sim_expectations.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/ftp_server.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QFile>

#include <chrono>
#include <memory>
#include <vector>

namespace view2d_backup_test {

constexpr std::chrono::milliseconds kBound{30000};
const TFtpTimeouts kFtpTimeouts{5000, 5, 5};
constexpr int kLiveTraces = 3;

// The radar link's view of the main window: the recording window and the Run
// action are the radargram shell's, as the main window keeps one state for both.
class TBackupRadarShell : public TFakeRadarShell {
public:
  explicit TBackupRadarShell(FakeRadargramShell& windows) : windows_(windows) {}
  HWND CurrentChildHandle() const override { return child ? child->Handle() : nullptr; }
  IRadarSetWindow* CurChildWindow() const override { return child; }
  IRecordingWindow* RunChild() const override { return windows_.runChild; }
  TSettingData* ActiveChannelFor(const TRadar& radar) const override {
    const int slot = control ? control->GetIndexRadar(&radar) : -1;
    return child && slot >= 0 ? child->ChannelSettings(slot) : nullptr;
  }
  bool RunActionChecked() const override { return windows_.runActionChecked; }
  IBackupWindow* CurrentBackupWindow() const override { return child; }
  // The end of a replay unchecks Run, unless the test loses it.
  void SetRunActionChecked(bool checked) override {
    if (!loseReplayEnd) windows_.runActionChecked = checked;
  }
  TView2DForm* child = nullptr;
  const TControlRadar* control = nullptr;
  bool loseReplayEnd = false;

private:
  FakeRadargramShell& windows_;
};

radarsim::TTraceSpec Spec(uint32_t index, uint16_t firmware) {
  radarsim::TTraceSpec spec;
  spec.Firmware = firmware;
  spec.Format = radarsim::tfReadydata2;
  spec.Index = index;
  spec.Samples = 60;
  return spec;
}

QByteArray AsQBytes(const radarsim::TBytes& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QByteArray ReadAll(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class View2DBackup : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(server.Ok()) << server.Error().toStdString();
    radarShell.control = &set.ControlRadar;
  }
  void TearDown() override {
    if (window) window->Free();
    env.shell.controlRadar = nullptr;
    set.ActiveRadar.RadarFree();
    if (HasFailure()) ADD_FAILURE() << "FTP server log:\n" << server.ServerLog().toStdString();
  }

  // A single-board-computer radar on channel 0, found on the simulated unit; its
  // backup comes from the test's FTP server.
  void ConnectRadar(uint16_t firmware, int slot = 0) {
    tcp = std::make_unique<radarsim::TTcpRadarSim>(radarsim::TSimConfig{}, radarsim::BoardGreeting(7, 2, 45123.5));
    ASSERT_TRUE(tcp->Ok());
    radarShell.probeResult.reset();
    radarShell.wifiPort = tcp->Port();
    ASSERT_NE(CheckTcpRadar(TFtpTestServer::Host(), tcp->Port(), TTcpProbeTimeouts{5000, 1000}), nullptr);
    ASSERT_TRUE(set.ActiveRadar.CreateRadar(QStringLiteral("RASP")));
    set.FinishSet();
    Application->ProcessMessages();
    radar = dynamic_cast<TRadarW*>(set.ControlRadar.SlotRadar(0));
    ASSERT_NE(radar, nullptr);
    if (slot != 0) {
      // The unit of another channel of the box.
      set.ControlRadar.RemoveRadar(radar);
      set.ControlRadar.AddRadarToChanal(slot, radar);
      radar->SetNumChannalRadar(slot);
    }
    radar->SetFirmwareVer(firmware);
    radar->WiFiThreadOf()->SetFtpServer(TFtpTestServer::Host(), server.Port(), kFtpTimeouts);
    env.shell.controlRadar = &set.ControlRadar;
  }

  // The recording window as a stopped recording with lost traces leaves it: its
  // file name, three traces received live in each channel, nothing recording.
  void OpenWindow(int channels = 1) {
    window = env.Create(channels);
    ASSERT_FALSE(env.shell.errorNewCreate);
    window->OnlinePaintThread->SleepTm = 20;
    for (int c = 0; c < channels; ++c) {
      window->ChannelSettings(c)->SetOverStep(5);
      T2Dview& store = *window->GetView2DByIndx(c);
      const std::vector<int32_t> live(static_cast<size_t>(store.Settings()->GetLongTrace()), 999);
      for (int k = 0; k < kLiveTraces; ++k)
        ASSERT_TRUE(store.AppendTrace(live.data(), static_cast<int32_t>(live.size()), {}));
    }
    radarShell.child = window;
    env.shell.curChild = window;
    env.shell.runChild = nullptr;
    env.shell.runActionChecked = false;
  }

  // The backup the unit keeps: its header, the prefix, a settings container of
  // a window like the recording one, then the recorded packets.
  void ServeBackup(uint32_t traces, uint16_t firmware, int slot = 0) {
    TView2DForm* source = env.Create(slot + 1);
    for (int c = 0; c <= slot; ++c) source->ChannelSettings(c)->SetOverStep(5);
    const QString bstt = env.dir.path() + QStringLiteral("/radar.bstt");
    ASSERT_TRUE(source->SaveBSTT(bstt));
    source->Free();
    QByteArray file("QELSV");
    file.append('\x03').append("T16").append(QByteArray(17, '\0')).append("\xA5\x5A").append(ReadAll(bstt));
    pieces.clear();
    for (uint32_t i = 1; i <= traces; ++i) {
      pieces.push_back(AsQBytes(radarsim::EncodeTrace(Spec(i, firmware))));
      file.append(pieces.back());
    }
    ASSERT_TRUE(server.Put(QStringLiteral("pub/trace%1.trc").arg(slot), file));
  }

  // The traces a replay stores: it leaves the last LongTrace x 2 + 21 bytes.
  uint32_t ReplayedTraces(int longTrace) const {
    int64_t remaining = 0;
    for (const QByteArray& piece : pieces) remaining += piece.size();
    uint32_t count = 0;
    for (const QByteArray& piece : pieces) {
      if (remaining <= int64_t{longTrace} * 2 + 21) break;
      remaining -= piece.size();
      ++count;
    }
    return count;
  }

  void ExpectBackupTraces(uint32_t count, uint16_t firmware, int slot = 0) {
    const T2Dview& store = *window->GetView2DByIndx(slot);
    ASSERT_EQ(store.NumTraces(), static_cast<int64_t>(count));
    const int longTrace = store.Settings()->GetLongTrace();
    for (uint32_t k = 0; k < count; ++k) {
      const int32_t* stored = store.IndexTraces.Trace(store.MinNumTraces() + k);
      ASSERT_NE(stored, nullptr) << k;
      const std::vector<int32_t> expected = ExpectedSamples(Spec(k + 1, firmware));
      for (int i = 0; i < longTrace; ++i) {
        const int32_t want = i < static_cast<int>(expected.size()) ? expected[static_cast<size_t>(i)] : 0;
        ASSERT_EQ(stored[i], want) << "trace " << k + 1 << " sample " << i;
      }
    }
  }

  // The radar of slot recovers its channel of a window of slot + 1 channels;
  // the channels before it keep their live traces.
  void RecoverSlot(int slot) {
    constexpr uint16_t kFirmware = 19;
    ASSERT_NO_FATAL_FAILURE(ConnectRadar(kFirmware, slot));
    ASSERT_NO_FATAL_FAILURE(OpenWindow(slot + 1));
    ASSERT_NO_FATAL_FAILURE(ServeBackup(40, kFirmware, slot));
    const QString file = window->Caption();
    const QString ext = ExtractFileExt(file);
    const QString bak = file.left(file.size() - ext.size()) + QStringLiteral("_bak") + ext;
    ASSERT_TRUE(WriteAll(file, "recorded live"));
    ASSERT_TRUE(WriteAll(bak, "an older copy"));
    const int longTrace = window->ChannelSettings(slot)->GetLongTrace();

    window->GetFtpFile();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return env.shell.stopActions > 0; }, kBound)) << "the stop actions run";

    ExpectBackupTraces(ReplayedTraces(longTrace), kFirmware, slot);
    for (int c = 0; c < slot; ++c) EXPECT_EQ(window->GetView2DByIndx(c)->NumTraces(), kLiveTraces) << c;
    EXPECT_EQ(ReadAll(bak), QByteArray("recorded live"));
    EXPECT_EQ(ReadAll(file), QByteArray("recorded live"));
    EXPECT_FALSE(env.shell.runActionChecked);
    EXPECT_EQ(env.shell.runChild, window);
    EXPECT_FALSE(window->PanelProgressFtp->Visible());
    EXPECT_EQ(window->LabelFtpLoad->Caption(), QStringLiteral("Recovery data from backup"));
    EXPECT_TRUE(env.shell.wifiInterruptedRecording.isEmpty());
    EXPECT_EQ(window->ChannelSettings(slot)->GetFileName(), file);
    EXPECT_EQ(radar->CurMode(), cmStop);
    EXPECT_FALSE(radar->WiFiThreadOf()->Suspended());
    EXPECT_TRUE(TDialogScript::Shown().empty());
    // Nothing runs the stop actions a second time.
    ProcessMessagesUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(env.shell.stopActions, 1);
  }

  TRadargramEnv env;
  TBackupRadarShell radarShell{env.shell};
  THooksScope hooks{&radarShell, nullptr};
  TFtpTestServer server;
  std::unique_ptr<radarsim::TTcpRadarSim> tcp;
  TRadarSet set;
  TRadarW* radar = nullptr;
  TView2DForm* window = nullptr;
  std::vector<QByteArray> pieces;
};

TEST_F(View2DBackup, TheBackupReplacesTheChannelAndTheEarlierFileIsKept) { RecoverSlot(0); }

TEST_F(View2DBackup, TheBackupOfAnotherChannelLeavesChannelZeroAlone) { RecoverSlot(1); }

TEST_F(View2DBackup, AFailedDownloadEndsTheRecoveryBeforeTheNextRadar) {
  ASSERT_NO_FATAL_FAILURE(ConnectRadar(19));
  // A second Wi-Fi radar on channel 1 whose backup the server holds.
  auto second = std::make_unique<TRadarW>(nullptr, TFtpTestServer::Host(), 0);
  second->SetNumChannalRadar(1);
  second->WiFiThreadOf()->SetFtpServer(TFtpTestServer::Host(), server.Port(), kFtpTimeouts);
  set.ControlRadar.AddRadarToChanal(1, second.get());
  struct TLeaveSlot {
    TControlRadar& set;
    const TRadar* radar;
    ~TLeaveSlot() { set.RemoveRadar(radar); }
  } leave{set.ControlRadar, second.get()};
  ASSERT_TRUE(server.Put(QStringLiteral("pub/trace1.trc"), QByteArray(100, 'x')));
  ASSERT_NO_FATAL_FAILURE(OpenWindow());
  const int64_t liveTraces = window->GetView2DByIndx(0)->NumTraces();
  TDialogScript::QueueAnswer(mrOk);

  window->GetFtpFile();

  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, QStringLiteral("Error: Get ftp file"));
  EXPECT_FALSE(env.shell.runActionChecked);
  EXPECT_FALSE(window->PanelProgressFtp->Visible());
  EXPECT_FALSE(radar->WiFiThreadOf()->Suspended());
  EXPECT_TRUE(env.shell.wifiInterruptedRecording.isEmpty());
  EXPECT_EQ(env.shell.saveWifiDisconnections, 1);
  EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), liveTraces) << "the live recording stays";
  EXPECT_EQ(env.shell.runChild, nullptr);
  EXPECT_FALSE(FileExists(ProgramFolder() + QStringLiteral("trace1.trc"))) << "the next radar is not tried";
}

TEST_F(View2DBackup, AReplayWithoutEndIsStoppedAtTheBound) {
  // Old firmware hands each trace over on the user-interface thread, one per
  // round of the wait: far more traces than rounds.
  constexpr uint16_t kFirmware = 5;
  ASSERT_NO_FATAL_FAILURE(ConnectRadar(kFirmware));
  ASSERT_NO_FATAL_FAILURE(OpenWindow());
  ASSERT_NO_FATAL_FAILURE(ServeBackup(400, kFirmware));
  radarShell.loseReplayEnd = true;
  window->BackupWaitRounds = 8;
  int64_t atStop = -1;
  env.shell.onStopActions = [&] { atStop = window->GetView2DByIndx(0)->NumTraces(); };
  TDialogScript::QueueAnswer(mrOk);

  window->GetFtpFile();

  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].Text.startsWith(QStringLiteral("The recovery from the backup did not end in time")))
      << shown[0].Text.toStdString();
  EXPECT_FALSE(env.shell.runActionChecked);
  EXPECT_EQ(env.shell.stopActions, 1);
  EXPECT_FALSE(window->PanelProgressFtp->Visible());
  TWiFiThread& reader = *radar->WiFiThreadOf();
  EXPECT_FALSE(reader.isFtpGet) << "the rest of the replay is dropped";
  EXPECT_EQ(radar->CommGlobBufEndPos(), 0);
  const T2Dview& store = *window->GetView2DByIndx(0);
  const int64_t stored = store.NumTraces();
  EXPECT_LT(stored, 400);
  ExpectBackupTraces(static_cast<uint32_t>(stored), kFirmware);
  ProcessMessagesUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_EQ(store.NumTraces(), stored);
  EXPECT_EQ(atStop, stored) << "no trace arrives after the stop actions";
  EXPECT_EQ(env.shell.stopActions, 1);
}

}  // namespace view2d_backup_test
