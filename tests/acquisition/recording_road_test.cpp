// The road of a recording through the program as main starts it (in this
// process, offscreen, its own program folder): a simulated radar found on
// loopback TCP by the ping timer or on a pseudo-terminal through a fake device
// tree, the window the word `create` made, F2, the unit's traces, F2, and the
// automatic save read back by the channel store. Also the recording's end when
// the radar goes (USB removal, a dropped TCP link) and its resumption when a
// Wi-Fi radar comes back, and the warning after a run that lost data.

#include "acquisition/main_form.h"
#include "acquisition/program_startup.h"
#include "acquisition/settings_form.h"
#include "platform/devices/device_events.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/timers.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar_hooks.h"
#include "radar/online_background_removal_form.h"
#include "radar/online_gain_form.h"
#include "radar/online_wavelet_form.h"
#include "radar/radar_usb.h"
#include "radar/radar_w.h"
#include "radargram/view2d_form.h"
#include "tests/acquisition/program_folders.h"
#include "tests/radar/sim_expectations.h"
#include "tests/support/qstring_print.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace recording_road_test {

constexpr uint32_t kTraces = 200;

radarsim::TSimConfig Unit(uint32_t limit) {
  radarsim::TSimConfig c;
  c.TraceLimit = limit;
  c.TraceIntervalMs = 1;
  c.SerialNumber = 3131;
  // A single-channel device box: one channel is saved as a ".dezo" profile.
  c.DeviceType = 8;
  return c;
}

template <typename T>
void FreeApplicationForms() {
  for (int i = Application->ComponentCount() - 1; i >= 0; --i)
    if (auto* form = dynamic_cast<T*>(Application->Components(i))) form->Free();
}

class RecordingRoad : public testing::Test, protected TProgramFolders {
protected:
  void SetUp() override {
    ASSERT_TRUE(EnterProgramFolders());
    data = program.path() + QStringLiteral("/surveys/");
    ASSERT_TRUE(QDir().mkpath(data));
  }
  void TearDown() override {
    if (MainWindow) MainWindow->Free();
    FreeApplicationForms<TOnlineTVGCForm>();
    FreeApplicationForms<TOnlineWindowedBackgroundRemovalForm>();
    FreeApplicationForms<TOnlineWaveletForm>();
    FreeApplicationForms<TSettingsForm>();
    TDialogScript::Reset();
    LeaveProgramFolders();
  }
  // The program's settings: the Wi-Fi radar's address and port, where and under
  // which names profiles go.
  void WriteSettings(const QString& address, const QString& port) {
    TMemIniFile ini(MainIniFileName());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), address);
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("port"), port);
    ini.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), data);
    ini.WriteString(QStringLiteral("General"), QStringLiteral("PrefixFiles"), QStringLiteral("road_"));
    ini.WriteInteger(QStringLiteral("General"), QStringLiteral("CountFiles"), 5);
    ini.UpdateFile();
  }
  // The start-up main runs, with the word `create`: one recording window.
  void StartWithCreate() {
    StartAcquisitionProgram({QStringLiteral("create")}, 0);
    ASSERT_NE(MainWindow, nullptr);
    window = MainWindow->CurChild();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->LastCopydataMessage, 200);
    EXPECT_EQ(window->Caption(), ExpectedFile());
  }
  QString ExpectedFile() const { return data + QStringLiteral("road_5.dezo"); }
  // F2, as the menu's shortcut runs it.
  static void PressF2() {
    TMenuItem* run = MainWindow->MainMenu->FindItemByShortCut(ShortCut(VK_F1 + 1, {}));
    ASSERT_NE(run, nullptr);
    ASSERT_EQ(run, MainWindow->RunMenuItem);
    run->Click();
  }
  static QString Status() { return MainWindow->StatusGprText(); }
  const T2Dview* Channel0() const { return window->GetView2DByIndx(0); }
  // F2, then until the unit has sent `traces` and the channel holds them.
  void RecordUntil(radarsim::TRadarSimEngine& sim, uint32_t traces) {
    ASSERT_NO_FATAL_FAILURE(PressF2());
    ASSERT_TRUE(MainWindow->Commands.RunChecked);
    EXPECT_EQ(MainWindow->Commands.RunCaption, QStringLiteral("Stop"));
    EXPECT_EQ(MainWindow->RunMenuItem->Caption(), QStringLiteral("Stop"));
    EXPECT_EQ(MainWindow->RunChild(), window);
    EXPECT_FALSE(MainWindow->FileActionsEnabled) << "nothing opens or creates while it records";
    ASSERT_TRUE(ServeUntil([&] { return sim.TracesSent() >= traces && Channel0()->NumTraces() >= traces; }))
        << "sent " << sim.TracesSent() << ", stored " << Channel0()->NumTraces();
  }
  // The profile the save wrote holds exactly the unit's traces 1..traces in order.
  static void ExpectSavedTraces(const QString& file, const radarsim::TRadarSimEngine& sim, uint32_t traces) {
    ASSERT_TRUE(FileExists(file)) << file.toStdString();
    T2Dview loaded(nullptr);
    ASSERT_TRUE(loaded.LoadFromFile(file));
    ASSERT_EQ(loaded.NumTraces(), static_cast<int64_t>(traces));
    const int longTrace = loaded.Settings()->GetLongTrace();
    ASSERT_GT(longTrace, 0);
    const int32_t* raw = loaded.RawData.Data();
    ASSERT_NE(raw, nullptr);
    for (uint32_t k = 0; k < traces; ++k) {
      const std::vector<int32_t> expected = ExpectedSamples(sim.TraceSpecOf(k + 1));
      const size_t n = std::min(expected.size(), static_cast<size_t>(longTrace));
      const int32_t* trace = raw + static_cast<size_t>(k) * static_cast<size_t>(longTrace);
      for (size_t i = 0; i < n; ++i) ASSERT_EQ(trace[i], expected[i]) << "trace " << k + 1 << " sample " << i;
    }
  }
  void ExpectStoppedAndSaved() {
    EXPECT_FALSE(MainWindow->Commands.RunChecked);
    EXPECT_FALSE(MainWindow->RadarStarted());
    EXPECT_EQ(MainWindow->Commands.RunCaption, QStringLiteral("Start"));
    EXPECT_EQ(MainWindow->Commands.RunPicture, RunPictureStart);
    EXPECT_EQ(MainWindow->RunMenuItem->Caption(), QStringLiteral("Start"));
    EXPECT_TRUE(MainWindow->FileActionsEnabled);
    EXPECT_FALSE(Channel0()->GetNeedForSave()) << "the recording was saved";
    EXPECT_EQ(window->Caption(), ExpectedFile());
  }

  QString data;
  TView2DForm* window = nullptr;
};

TEST_F(RecordingRoad, AWiFiRadarOnLoopbackRecordsTwoHundredTracesAndTheStopSavesThem) {
  radarsim::TTcpRadarSim sim(Unit(kTraces));
  ASSERT_TRUE(sim.Ok());
  WriteSettings(QStringLiteral("127.0.0.1"), QString::number(sim.Port()));
  StartWithCreate();
  ASSERT_TRUE(MainWindow->TimerPing->Enabled());
  // The real ping timer finds the radar.
  ASSERT_TRUE(ServeUntil([] { return Status().startsWith(QStringLiteral("GPR ")); }));
  ASSERT_NE(dynamic_cast<TRadarW*>(MainWindow->CurrentRadar()), nullptr);
  EXPECT_EQ(Status(), QStringLiteral("GPR ") + MainWindow->ControlRadar()->GetListRadar());
  ASSERT_EQ(MainWindow->CurChild(), window);

  ASSERT_NO_FATAL_FAILURE(RecordUntil(sim.Engine(), kTraces));
  ASSERT_FALSE(FileExists(ExpectedFile()));
  ASSERT_NO_FATAL_FAILURE(PressF2());
  ExpectStoppedAndSaved();
  EXPECT_EQ(Channel0()->NumTraces(), static_cast<int64_t>(kTraces)) << "the limit: no more came";
  ExpectSavedTraces(ExpectedFile(), sim.Engine(), kTraces);
  // The tool chain is written beside the profile, and kept as the last-used set.
  EXPECT_TRUE(FileExists(data + QStringLiteral("road_5.tls")));
  EXPECT_TRUE(FileExists(QDir(program.path()).filePath(QStringLiteral("stcl"))));
  EXPECT_TRUE(TDialogScript::Shown().empty());
  EXPECT_EQ(sim.Engine().TracesSent(), kTraces);
}

TEST_F(RecordingRoad, AUsbRadarOnAPseudoTerminalRecordsTwoHundredTracesAndTheStopSavesThem) {
  radarsim::TPtyRadarSim sim(Unit(kTraces));
  ASSERT_TRUE(sim.Ok());
  tree.AddUsbSerial(1, QStringLiteral("ttyACM0"), 0xc251, 0x9705, QStringLiteral("Radar"),
                    QString::fromStdString(sim.SlavePath()));
  WriteSettings(QString(), QString());
  StartWithCreate();
  ASSERT_NE(dynamic_cast<TRadarUsb*>(MainWindow->CurrentRadar()), nullptr);
  ASSERT_TRUE(ServeUntil([] { return Status().startsWith(QStringLiteral("GPR ")); }));

  ASSERT_NO_FATAL_FAILURE(RecordUntil(sim.Engine(), kTraces));
  ASSERT_NO_FATAL_FAILURE(PressF2());
  ExpectStoppedAndSaved();
  ExpectSavedTraces(ExpectedFile(), sim.Engine(), kTraces);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

TEST_F(RecordingRoad, UnpluggingTheUsbRadarWhileItRecordsStopsAndSaves) {
  auto sim = std::make_unique<radarsim::TPtyRadarSim>(Unit(0));
  ASSERT_TRUE(sim->Ok());
  const QString devPath = tree.AddUsbSerial(1, QStringLiteral("ttyACM0"), 0xc251, 0x9705, QStringLiteral("Radar"),
                                            QString::fromStdString(sim->SlavePath()));
  WriteSettings(QString(), QString());
  StartWithCreate();
  ASSERT_NE(MainWindow->CurrentRadar(), nullptr);
  ASSERT_NO_FATAL_FAILURE(RecordUntil(sim->Engine(), 50));
  // A state the save itself clears: the removal gives it back.
  window->GetView2DByIndx(0)->Settings()->SetWasOpen(true);

  tree.Remove(devPath);
  sim->Drop();
  MainWindow->DeviceEvents()->InjectUevent(TFakeDeviceTree::Uevent("remove", devPath));
  ASSERT_TRUE(ServeUntil([] { return !MainWindow->Commands.RunChecked.load(); }));
  EXPECT_EQ(MainWindow->CurrentRadar(), nullptr);
  ExpectStoppedAndSaved();
  EXPECT_TRUE(window->GetView2DByIndx(0)->Settings()->GetWasOpen()) << "as it was before the removal";
  T2Dview loaded(nullptr);
  ASSERT_TRUE(loaded.LoadFromFile(ExpectedFile()));
  EXPECT_EQ(loaded.NumTraces(), Channel0()->NumTraces());
  EXPECT_GE(loaded.NumTraces(), 50);
  EXPECT_EQ(Status(), QStringLiteral("GPR is not available"));
}

TEST_F(RecordingRoad, ADroppedTcpLinkStopsAndSavesAndTheReturningRadarRecordsOnInTheSameWindow) {
  constexpr uint32_t kHalf = 100;
  radarsim::TTcpRadarSim sim(Unit(kHalf));
  ASSERT_TRUE(sim.Ok());
  WriteSettings(QStringLiteral("127.0.0.1"), QString::number(sim.Port()));
  StartWithCreate();
  MainWindow->TimerPingTimer();
  ASSERT_NE(dynamic_cast<TRadarW*>(MainWindow->CurrentRadar()), nullptr);
  ASSERT_NO_FATAL_FAILURE(RecordUntil(sim.Engine(), kHalf));

  // The link drops: the half recorded is saved.
  sim.Drop(true);
  ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() == nullptr; }));
  ASSERT_TRUE(ServeUntil([this] { return FileExists(ExpectedFile()); }));
  EXPECT_FALSE(MainWindow->Commands.RunChecked);
  ExpectSavedTraces(ExpectedFile(), sim.Engine(), kHalf);
  EXPECT_TRUE(MainWindow->TimerPing->Enabled());

  // The ping timer finds it again, and the same window records on.
  ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() != nullptr; }));
  EXPECT_TRUE(MainWindow->Commands.RunChecked);
  EXPECT_EQ(MainWindow->Commands.RunCaption, QStringLiteral("Stop"));
  EXPECT_EQ(MainWindow->CurChild(), window);
  EXPECT_EQ(MainWindow->RunChild(), window);
  ASSERT_TRUE(ServeUntil([&] { return Channel0()->NumTraces() >= 2 * kHalf; }))
      << "stored " << Channel0()->NumTraces();
  ASSERT_NO_FATAL_FAILURE(PressF2());
  ExpectStoppedAndSaved();
  ExpectSavedTraces(ExpectedFile(), sim.Engine(), 2 * kHalf);
  EXPECT_EQ(sim.Connections(), 2);
}

TEST_F(RecordingRoad, AfterARunThatLostDataTheStopWarnsAndSavesWhatCame) {
  radarsim::TTcpRadarSim sim(Unit(20));
  ASSERT_TRUE(sim.Ok());
  WriteSettings(QStringLiteral("127.0.0.1"), QString::number(sim.Port()));
  StartWithCreate();
  MainWindow->TimerPingTimer();
  ASSERT_NE(MainWindow->CurrentRadar(), nullptr);
  ASSERT_NO_FATAL_FAILURE(RecordUntil(sim.Engine(), 20));
  // What the radar link reports when its receive buffer overflowed.
  RadarShell().Unit->SetWasOverFlow(true);
  TDialogScript::QueueAnswer(mrOk);
  ASSERT_NO_FATAL_FAILURE(PressF2());
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text,
            QStringLiteral("Due to insufficient performance of the computer the data of current profile have been "
                           "partially lost.\r\nPlease change settings of the GPR and try again."));
  EXPECT_EQ(shown[0].Icon, UINT{MB_ICONWARNING});
  ExpectStoppedAndSaved();
  ExpectSavedTraces(ExpectedFile(), sim.Engine(), 20);
}

TEST_F(RecordingRoad, F2StartsNothingWithoutARadar) {
  WriteSettings(QString(), QString());
  StartWithCreate();
  ASSERT_EQ(MainWindow->CurrentRadar(), nullptr);
  // The menu does not offer Start, and the command itself refuses too.
  EXPECT_EQ(MainWindow->MainMenu->FindItemByShortCut(ShortCut(VK_F1 + 1, {})), nullptr);
  EXPECT_FALSE(MainWindow->RunMenuItem->Enabled());
  MainWindow->RunActionClick();
  EXPECT_FALSE(MainWindow->Commands.RunChecked);
  EXPECT_EQ(MainWindow->RunChild(), nullptr);
  EXPECT_TRUE(MainWindow->FileActionsEnabled);
  EXPECT_EQ(MainWindow->Commands.RunCaption, QStringLiteral("Start"));

  // The menu item follows the state the radar link and the windows set.
  RadarShell().Backup->SetRunActionChecked(true);
  EXPECT_TRUE(MainWindow->RunMenuItem->Checked());
  MainWindow->SetRunImage(RunPictureStop, QStringLiteral("Stop"));
  EXPECT_EQ(MainWindow->RunMenuItem->Caption(), QStringLiteral("Stop"));
  EXPECT_EQ(MainWindow->RunMenuItem->ImageIndex(), RunPictureStop);
  MainWindow->SetRunActionChecked(false);
  EXPECT_FALSE(MainWindow->RunMenuItem->Checked());
}

}  // namespace recording_road_test
