// The main window finding its radars: a simulated radar on loopback TCP found by
// the ping timer, one on a pseudo-terminal found through a fake device tree at
// start, device and power notifications injected as the system would send
// them, the Wi-Fi radar giving way to a USB radar, a dropped TCP link, and the
// status text of the radar set.

#include "acquisition/main_form.h"

#include "acquisition/radar_discovery.h"
#include "platform/devices/device_events.h"
#include "platform/devices/power_events.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/timers.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar.h"
#include "radar/radar_set_param_reserving.h"
#include "radar/radar_usb.h"
#include "radar/radar_w.h"
#include "radargram/view2d_form.h"
#include "tests/support/fake_device_tree.h"
#include "tests/support/qstring_print.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace main_radars_test {

const QString kRadarName = QStringLiteral("USB\\VID_C251&PID_9705\\ttyACM0");

class MainRadars : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    SetProgramFolder(dir.path() + u'/');
    SetDeviceRoots(tree.Roots());
  }
  void TearDown() override {
    if (MainWindow) MainWindow->Free();
    SetDeviceRoots({});
    SetProgramFolder(QString());
  }
  // The settings file: the Wi-Fi radar's address and port.
  void WriteWiFi(const QString& address, const QString& port) {
    TMemIniFile ini(MainIniFileName());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), address);
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("port"), port);
    ini.UpdateFile();
  }
  void Start() {
    CreateMainWindow();
    ASSERT_NE(MainWindow, nullptr);
  }
  // Serves the message loop until the condition holds or the time is up.
  // The radar device on USB unit `unit` of the tree, its node at the simulator.
  QString PlugRadar(int unit, const radarsim::TPtyRadarSim& sim) {
    return tree.AddUsbSerial(unit, QStringLiteral("ttyACM0"), 0xc251, 0x9705, QStringLiteral("Radar"),
                             QString::fromStdString(sim.SlavePath()));
  }
  static QString Status() { return MainWindow->StatusGprText(); }
  static QString ExpectedStatus() { return QStringLiteral("GPR ") + MainWindow->ControlRadar()->GetListRadar(); }

  QTemporaryDir dir;
  TFakeDeviceTree tree;
};

TEST_F(MainRadars, ThePingTimerFindsAWiFiRadarOnLoopback) {
  radarsim::TTcpRadarSim sim;
  ASSERT_TRUE(sim.Ok());
  WriteWiFi(QStringLiteral("127.0.0.1"), QString::number(sim.Port()));
  Start();
  EXPECT_EQ(MainWindow->CurrentRadar(), nullptr);
  EXPECT_TRUE(MainWindow->TimerPing->Enabled()) << "no radar at start";
  EXPECT_EQ(MainWindow->TimerPing->Interval(), 3000u);
  EXPECT_TRUE(MainWindow->FileActionsEnabled);

  // The real timer, after its 3000 ms.
  ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() != nullptr; }, std::chrono::seconds(15)));
  EXPECT_NE(dynamic_cast<TRadarW*>(MainWindow->CurrentRadar()), nullptr);
  EXPECT_FALSE(MainWindow->TimerPing->Enabled());
  EXPECT_NE(MainWindow->ResultCheckingTCP, nullptr);
  ASSERT_TRUE(ServeUntil([] { return Status().startsWith(QStringLiteral("GPR ")); }, std::chrono::seconds(5)));
  EXPECT_FALSE(MainWindow->ControlRadar()->GetListRadar().isEmpty());
  EXPECT_EQ(Status(), ExpectedStatus());
  EXPECT_EQ(sim.Connections(), 1);
}

TEST_F(MainRadars, WithoutAnAddressOrAPortThePingTimerNeverProbes) {
  radarsim::TTcpRadarSim sim;
  ASSERT_TRUE(sim.Ok());
  const QString port = QString::number(sim.Port());
  const std::pair<QString, QString> cases[] = {{QString(), port}, {QStringLiteral("127.0.0.1"), QString()}};
  for (const auto& [address, portText] : cases) {
    SCOPED_TRACE(address.toStdString() + ":" + portText.toStdString());
    WriteWiFi(address, portText);
    Start();
    MainWindow->TimerPingTimer();
    EXPECT_EQ(MainWindow->CurrentRadar(), nullptr);
    EXPECT_EQ(MainWindow->ResultCheckingTCP, nullptr);
    MainWindow->Free();
  }
  EXPECT_EQ(sim.Connections(), 0);
}

TEST_F(MainRadars, AUsbRadarOnAPseudoTerminalIsFoundAtStart) {
  radarsim::TPtyRadarSim sim;
  ASSERT_TRUE(sim.Ok());
  PlugRadar(1, sim);
  tree.AddUsbSerial(2, QStringLiteral("ttyUSB0"), 0x0403, 0x6001, QStringLiteral("FT232R USB UART"));
  tree.AddBoardSerial(QStringLiteral("ttyS0"));
  radarsim::TTcpRadarSim wifi;
  ASSERT_TRUE(wifi.Ok());
  WriteWiFi(QStringLiteral("127.0.0.1"), QString::number(wifi.Port()));
  Start();
  ASSERT_NE(MainWindow->CurrentRadar(), nullptr);
  EXPECT_NE(dynamic_cast<TRadarUsb*>(MainWindow->CurrentRadar()), nullptr);
  EXPECT_EQ(MainWindow->strComNumber, tree.Roots().Dev + QStringLiteral("/ttyACM0"));
  EXPECT_EQ(MainWindow->CountUSBdevices, 4) << "three serial devices, plus one";
  EXPECT_EQ(MainWindow->PredCountUSBdevices, 4);
  // With a radar of known type the ping timer does not look for another.
  MainWindow->TimerPingTimer();
  EXPECT_EQ(wifi.Connections(), 0);
  EXPECT_EQ(MainWindow->CountPortDevices(PortsClassGuid), 4);
  ASSERT_TRUE(ServeUntil([] { return Status().startsWith(QStringLiteral("GPR ")); }, std::chrono::seconds(5)));
  EXPECT_EQ(Status(), ExpectedStatus());
  EXPECT_TRUE(MainWindow->FileActionsEnabled);

  // The same count again: no second probe, the radar stays the one it was.
  TRadar* radar = MainWindow->CurrentRadar();
  MainWindow->ProbeUsbRadars(PortsClassGuid);
  EXPECT_EQ(MainWindow->CurrentRadar(), radar);
}

TEST_F(MainRadars, DeviceNotificationsOfTheRadarDropAndFindItAndOthersChangeNothing) {
  auto sim = std::make_unique<radarsim::TPtyRadarSim>();
  ASSERT_TRUE(sim->Ok());
  const QString devPath = PlugRadar(1, *sim);
  WriteWiFi(QString(), QString());
  Start();
  ASSERT_NE(MainWindow->CurrentRadar(), nullptr);
  TDeviceEventSource& events = *MainWindow->DeviceEvents();

  // A device that is not the radar: nothing at all.
  TRadar* radar = MainWindow->CurrentRadar();
  events.Inject({dekRemoval, QStringLiteral("USB\\VID_0403&PID_6001\\ttyUSB0")});
  events.Inject({dekArrival, QStringLiteral("TTY\\ttyS0")});
  Application->ProcessMessages();
  EXPECT_EQ(MainWindow->CurrentRadar(), radar);

  // A recording window whose channels were opened in part: the removal keeps
  // each channel's state.
  MainWindow->CreateActionExecute();
  TView2DForm* window = MainWindow->CurChild();
  ASSERT_NE(window, nullptr);
  for (int i = 0; i < 5; ++i)
    if (T2Dview* store = window->GetView2DByIndx(i)) store->Settings()->SetWasOpen(i % 2 == 1);

  // The radar unplugged: the kernel's message, its name from what was seen.
  tree.Remove(devPath);
  sim->Drop();
  events.InjectUevent(TFakeDeviceTree::Uevent("remove", devPath));
  Application->ProcessMessages();
  EXPECT_EQ(MainWindow->CurrentRadar(), nullptr);
  EXPECT_EQ(MainWindow->ControlRadar()->GetCountPluginRadars(), 0);
  EXPECT_EQ(Status(), QStringLiteral("GPR is not available"));
  EXPECT_FALSE(MainWindow->Commands.RunChecked);
  EXPECT_EQ(MainWindow->Commands.RunCaption, QStringLiteral("Start"));
  EXPECT_EQ(MainWindow->Commands.RunPicture, RunPictureStart);
  EXPECT_TRUE(MainWindow->TimerPing->Enabled()) << "no radar left";
  for (int i = 0; i < 5; ++i)
    if (const T2Dview* store = window->GetView2DByIndx(i)) {
      EXPECT_EQ(store->Settings()->GetWasOpen(), i % 2 == 1) << i;
      EXPECT_EQ(store->Settings()->GetSettingRadar(), nullptr) << i;
    }

  // Plugged in again.
  sim = std::make_unique<radarsim::TPtyRadarSim>();
  ASSERT_TRUE(sim->Ok());
  const QString again = PlugRadar(1, *sim);
  events.InjectUevent(TFakeDeviceTree::Uevent("add", again));
  Application->ProcessMessages();
  ASSERT_NE(MainWindow->CurrentRadar(), nullptr);
  EXPECT_NE(dynamic_cast<TRadarUsb*>(MainWindow->CurrentRadar()), nullptr);
  EXPECT_EQ(Status(), ExpectedStatus());
}

TEST_F(MainRadars, SleepDropsEveryRadarAndAfterWakingTheRadarIsFoundAgain) {
  radarsim::TPtyRadarSim sim;
  ASSERT_TRUE(sim.Ok());
  PlugRadar(1, sim);
  WriteWiFi(QString(), QString());
  Start();
  ASSERT_NE(MainWindow->CurrentRadar(), nullptr);

  MainWindow->PowerEvents()->Inject(PBT_APMSUSPEND);
  Application->ProcessMessages();
  EXPECT_EQ(MainWindow->CurrentRadar(), nullptr);
  EXPECT_EQ(MainWindow->ControlRadar()->GetCountPluginRadars(), 0);
  EXPECT_EQ(MainWindow->PredCountUSBdevices, 0);
  EXPECT_EQ(Status(), QStringLiteral("GPR is not available"));

  MainWindow->PowerEvents()->Inject(PBT_APMRESUMEAUTOMATIC);
  Application->ProcessMessages();
  EXPECT_TRUE(MainWindow->TimerPing->Enabled());
  EXPECT_EQ(MainWindow->CurrentRadar(), nullptr);
  // The device tree is as before the sleep; the next notification of the radar
  // probes in full all the same.
  MainWindow->DeviceEvents()->Inject({dekArrival, kRadarName});
  Application->ProcessMessages();
  EXPECT_NE(dynamic_cast<TRadarUsb*>(MainWindow->CurrentRadar()), nullptr);
}

TEST_F(MainRadars, ARecheckDropsTheRadarsAndFindsThemAgain) {
  radarsim::TPtyRadarSim sim;
  ASSERT_TRUE(sim.Ok());
  PlugRadar(1, sim);
  WriteWiFi(QString(), QString());
  Start();
  ASSERT_NE(MainWindow->CurrentRadar(), nullptr);
  const size_t before = sim.Engine().Received().size();
  MainWindow->ReCheckDevice();
  ASSERT_NE(dynamic_cast<TRadarUsb*>(MainWindow->CurrentRadar()), nullptr);
  EXPECT_GT(sim.Engine().Received().size(), before) << "the unit was asked again";
  EXPECT_TRUE(MainWindow->ControlRadar()->CompleteList());
  EXPECT_FALSE(MainWindow->isCheckDeviceRunned());
  EXPECT_FALSE(MainWindow->isDeleteDeviceRunned);
  EXPECT_EQ(Status(), ExpectedStatus());
}

TEST_F(MainRadars, AUsbRadarArrivingTakesOverFromTheWiFiRadar) {
  radarsim::TTcpRadarSim wifi;
  ASSERT_TRUE(wifi.Ok());
  WriteWiFi(QStringLiteral("127.0.0.1"), QString::number(wifi.Port()));
  Start();
  MainWindow->TimerPingTimer();
  ASSERT_NE(dynamic_cast<TRadarW*>(MainWindow->CurrentRadar()), nullptr);

  radarsim::TPtyRadarSim usb;
  ASSERT_TRUE(usb.Ok());
  const QString devPath = PlugRadar(1, usb);
  MainWindow->DeviceEvents()->InjectUevent(TFakeDeviceTree::Uevent("add", devPath));
  Application->ProcessMessages();
  EXPECT_NE(dynamic_cast<TRadarUsb*>(MainWindow->CurrentRadar()), nullptr);
  EXPECT_EQ(MainWindow->ResultCheckingTCP, nullptr) << "the Wi-Fi link is given up";
  EXPECT_NE(MainWindow->ReserverRadarParam, nullptr) << "its parameters are kept";
  EXPECT_EQ(MainWindow->ControlRadar()->GetCountPluginRadars(), 1);
}

TEST_F(MainRadars, AUsbRemovalWhileAWiFiRadarRecordsLeavesTheRunAlone) {
  radarsim::TTcpRadarSim wifi;
  ASSERT_TRUE(wifi.Ok());
  WriteWiFi(QStringLiteral("127.0.0.1"), QString::number(wifi.Port()));
  Start();
  MainWindow->TimerPingTimer();
  TRadar* radar = MainWindow->CurrentRadar();
  ASSERT_NE(dynamic_cast<TRadarW*>(radar), nullptr);
  RadarShell().Backup->SetRunActionChecked(true);
  MainWindow->Commands.RunCaption = QStringLiteral("Stop");
  MainWindow->DeviceEvents()->Inject({dekRemoval, kRadarName});
  Application->ProcessMessages();
  EXPECT_EQ(MainWindow->CurrentRadar(), radar);
  EXPECT_TRUE(MainWindow->Commands.RunChecked);
  EXPECT_TRUE(MainWindow->RunButtonDown());
  EXPECT_EQ(MainWindow->Commands.RunCaption, QStringLiteral("Stop"));
}

TEST_F(MainRadars, ALostTcpLinkDropsTheRadarAndThePingTimerFindsItAgain) {
  radarsim::TTcpRadarSim sim;
  ASSERT_TRUE(sim.Ok());
  WriteWiFi(QStringLiteral("127.0.0.1"), QString::number(sim.Port()));
  Start();
  MainWindow->TimerPingTimer();
  ASSERT_NE(dynamic_cast<TRadarW*>(MainWindow->CurrentRadar()), nullptr);
  ASSERT_TRUE(ServeUntil([&] { return sim.ClientConnected(); }, std::chrono::seconds(5)));

  sim.Drop(true);
  ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() == nullptr; }, std::chrono::seconds(10)));
  EXPECT_EQ(MainWindow->ResultCheckingTCP, nullptr);
  EXPECT_TRUE(MainWindow->TimerPing->Enabled());
  EXPECT_NE(MainWindow->ReserverRadarParam, nullptr);

  ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() != nullptr; }, std::chrono::seconds(15)));
  EXPECT_NE(dynamic_cast<TRadarW*>(MainWindow->CurrentRadar()), nullptr);
  EXPECT_EQ(sim.Connections(), 2);
}

TEST_F(MainRadars, TheWindowAnswersTheRadarLinkForItselfAndNoSettingsWindowOrPreferences) {
  WriteWiFi(QString(), QString());
  Start();
  const TRadarShell shell = RadarShell();
  ASSERT_NE(shell.Windows, nullptr);
  EXPECT_EQ(shell.Windows->MainWindowHandle(), MainWindow->Handle());
  EXPECT_EQ(shell.Windows->SettingsWindowHandle(), nullptr);
  EXPECT_FALSE(shell.Windows->SettingsWindowVisible());
  EXPECT_EQ(shell.Windows->PreferencesDialogHandle(), nullptr);
  EXPECT_FALSE(shell.Flags->PreferencesDialogExists());
  EXPECT_EQ(shell.Windows->CurrentChildHandle(), nullptr);
  EXPECT_EQ(shell.Unit->MainIni(), MainWindow->MainIni());
  shell.Flags->SetCountRadarFromMaster(3);
  EXPECT_EQ(MainWindow->CountRadarFromMaster(), 3);
  EXPECT_EQ(shell.Tcp->WiFiAddress(), QString());
  shell.Tcp->SetPingTimerEnabled(false);
  EXPECT_FALSE(MainWindow->TimerPing->Enabled());
  MainWindow->CreateActionExecute();
  ASSERT_NE(MainWindow->CurChild(), nullptr);
  EXPECT_EQ(shell.Windows->CurrentChildHandle(), MainWindow->CurChild()->Handle());
  EXPECT_EQ(shell.Set->CurChildWindow(), MainWindow->CurChild());
  MainWindow->Free();
  EXPECT_EQ(RadarShell().Windows, nullptr) << "withdrawn with the window";
}

}  // namespace main_radars_test
