// The general preferences dialog as the program shows it (in this process,
// offscreen, its own program folder): opened from the main window's
// Preferences menu with simulated radars on pseudo-terminals whose received
// commands are checked on the wire; the GPS grid, the NMEA configuration and
// its exception hook, the radar list of a set of two, and the Wi-Fi settings.

#include "acquisition/general_pref_form.h"
#include "acquisition/general_pref_ops.h"
#include "acquisition/main_form.h"
#include "acquisition/program_startup.h"
#include "acquisition/settings_form.h"
#include "acquisition/topo_pictures.h"
#include "acquisition/wifi_settings.h"
#include "platform/rtl/ini_files.h"
#include "platform/ui/adv_popup_menu.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/mask_edit.h"
#include "platform/ui/memo.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/page_control.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/string_grid.h"
#include "profiledata/digit_edit.h"
#include "radar/control_radar.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_messages.h"
#include "radargram/view2d_form.h"
#include "tests/acquisition/settings_window_fixture.h"
#include "tests/support/qstring_print.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace general_pref_form_test {

// A Wi-Fi capable antenna model.
constexpr uint8_t kWiFiModel = 10;

// A user's click on a button of the dialog.
void UserClick(TControl& control) {
  SendMouse(control, maPress, mbLeft, true, false, 3, 3);
  SendMouse(control, maRelease, mbLeft, false, false, 3, 3);
}

// The codes of `wanted`, in the order the unit received them from `mark` on.
std::vector<uint8_t> CodesSince(const radarsim::TRadarSimEngine& sim, size_t mark, std::vector<uint8_t> wanted) {
  std::vector<uint8_t> codes;
  const auto received = sim.Received();
  for (size_t i = mark; i < received.size(); ++i)
    if (std::find(wanted.begin(), wanted.end(), received[i].Code) != wanted.end()) codes.push_back(received[i].Code);
  return codes;
}

// The text of the last message box shown.
QString LastMessage() {
  const std::vector<TShownDialog> shown = TDialogScript::Shown();
  for (auto it = shown.rbegin(); it != shown.rend(); ++it)
    if (it->Kind == dkMessageBox) return it->Text;
  return {};
}

size_t MessageCount() {
  const std::vector<TShownDialog> shown = TDialogScript::Shown();
  return static_cast<size_t>(std::count_if(shown.begin(), shown.end(), [](const TShownDialog& d) {
    return d.Kind == dkMessageBox;
  }));
}

std::vector<radarsim::TBytes> ParamsSince(const radarsim::TRadarSimEngine& sim, size_t mark, uint8_t code) {
  std::vector<radarsim::TBytes> params;
  const auto received = sim.Received();
  for (size_t i = mark; i < received.size(); ++i)
    if (received[i].Code == code) params.push_back(received[i].Params);
  return params;
}

class GeneralPreferences : public testing::Test, protected TProgramFolders {
protected:
  void SetUp() override {
    ASSERT_TRUE(EnterProgramFolders());
    TMemIniFile ini(MainIniFileName());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), QString());
    ini.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), program.path() + u'/');
    ini.UpdateFile();
    TDialogScript::Enable(true);
  }
  void TearDown() override {
    if (MainWindow) MainWindow->Free();
    settings_window_fixture::FreeStartupForms();
    TDialogScript::Reset();
    sims.clear();
    LeaveProgramFolders();
  }
  radarsim::TRadarSimEngine& Plug(radarsim::TSimConfig config) {
    config.TraceIntervalMs = 2;
    sims.push_back(std::make_unique<radarsim::TPtyRadarSim>(config));
    radarsim::TPtyRadarSim& sim = *sims.back();
    EXPECT_TRUE(sim.Ok());
    const int unit = static_cast<int>(sims.size());
    tree.AddUsbSerial(unit, QStringLiteral("ttyACM%1").arg(unit - 1), 0xc251, 0x9705, QStringLiteral("Radar"),
                      QString::fromStdString(sim.SlavePath()));
    return sim.Engine();
  }
  // One radar of this firmware and model, a single-channel box.
  radarsim::TRadarSimEngine& PlugOne(uint16_t firmware, uint8_t model = kWiFiModel) {
    radarsim::TSimConfig config;
    config.Firmware = firmware;
    config.RadarType = model;
    config.DeviceType = 8;
    return Plug(config);
  }
  void Start() {
    StartAcquisitionProgram({QStringLiteral("create")}, 0);
    ASSERT_NE(MainWindow, nullptr);
    if (!sims.empty())
      ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() && MainWindow->CurrentRadar()->ready; }));
  }
  // Preferences > General Preferences; `work` runs while the dialog is shown.
  void ShowDialog(const std::function<void(TGeneralPreferensesForm&)>& work) {
    bool ran = false;
    TDialogScript::QueueModal([&](TForm& shown) {
      ran = true;
      auto* dialog = dynamic_cast<TGeneralPreferensesForm*>(&shown);
      ASSERT_NE(dialog, nullptr);
      ASSERT_EQ(dialog, GeneralPreferensesForm.load());
      EXPECT_TRUE(dialog->Shown());
      work(*dialog);
      dialog->SetModalResult(mrOk);
    });
    ASSERT_TRUE(MainWindow->GeneralPreferencesMenuItem->Enabled());
    MainWindow->GeneralPreferencesMenuItem->Click();
    EXPECT_TRUE(ran);
    EXPECT_EQ(GeneralPreferensesForm.load(), nullptr) << "freed after it closed";
  }

  std::vector<std::unique_ptr<radarsim::TPtyRadarSim>> sims;
};

// ---- Showing the dialog --------------------------------------------------------------------------

TEST_F(GeneralPreferences, ShowingAsksWiFiFromFirmwareSixThenNmeaSerialAndPingAndLeavesDepthSlicesOff) {
  struct TCase {
    uint16_t Firmware;
    std::vector<uint8_t> Expected;
  };
  for (const TCase& c : {TCase{6, {bcpGetWifiSettings, bcpGetNMEICfg, bcpReadSerNum}},
                         TCase{5, {bcpGetNMEICfg, bcpReadSerNum}}}) {
    SCOPED_TRACE(c.Firmware);
    radarsim::TRadarSimEngine& sim = PlugOne(c.Firmware);
    ASSERT_NO_FATAL_FAILURE(Start());
    MainWindow->Settings.ViewSectOfDeep = true;
    const size_t mark = sim.Received().size();
    ShowDialog([&](TGeneralPreferensesForm& f) {
      // The reader's own pings may come between: the order of the rest, and a
      // ping after the serial number request.
      ASSERT_TRUE(ServeUntil([&] { return !CodesSince(sim, mark, {bcpReadSerNum}).empty(); }));
      const std::vector<uint8_t> shown = CodesSince(sim, mark, {bcpGetWifiSettings, bcpGetNMEICfg, bcpReadSerNum});
      ASSERT_GE(shown.size(), c.Expected.size());
      EXPECT_EQ(std::vector<uint8_t>(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(c.Expected.size())),
                c.Expected);
      const auto pingAfterSerial = [&] {
        const std::vector<uint8_t> withPing = CodesSince(sim, mark, {bcpReadSerNum, bcpPing2});
        const auto serial = std::find(withPing.begin(), withPing.end(), bcpReadSerNum);
        return std::find(serial, withPing.end(), bcpPing2) != withPing.end();
      };
      EXPECT_TRUE(ServeUntil(pingAfterSerial)) << "the ping after the serial number";
      if (c.Firmware >= 6) {
        EXPECT_EQ(ParamsSince(sim, mark, bcpGetWifiSettings).front(), (radarsim::TBytes{0x07, 0x92, 0x01, 0x00}));
      } else {
        EXPECT_TRUE(ParamsSince(sim, mark, bcpGetWifiSettings).empty());
      }
      EXPECT_FALSE(MainWindow->Settings.ViewSectOfDeep) << "the hidden box switches depth slices off";
      EXPECT_FALSE(f.cbGlobalViewSectOfDeep->Checked());
      // One radar: its row, the Wi-Fi tab and the GPS topo item.
      EXPECT_EQ(f.ChannelStringGrid->RowCount(), 2);
      EXPECT_EQ(f.ChannelStringGrid->Cells(2, 1), QString::number(c.Firmware));
      EXPECT_EQ(f.ChannelStringGrid->Cells(3, 1), QStringLiteral("4242"));
      EXPECT_EQ(f.CountChannalEd->ValueInt(), 1);
      EXPECT_TRUE(f.WiFiTabSheet->TabVisible());
      EXPECT_TRUE(f.TopoTab->TopoItems[ttGPS]->Enabled());
      EXPECT_FALSE(f.GPRDeviceLabel->Visible());
      EXPECT_TRUE(f.SsidEdit->Enabled()) << "a Wi-Fi model on USB";
      EXPECT_FALSE(f.SaveWiFiSettButton->Enabled()) << "nothing edited yet";
      EXPECT_TRUE(f.InclinometerTab->CheckBox1->PushLike());
      EXPECT_TRUE(f.SimpleModeCheckBox->PushLike());
    });
    MainWindow->Free();
    sims.clear();
  }
}

TEST_F(GeneralPreferences, WithoutARadarTheListIsUnknownAndNothingIsSent) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowDialog([&](TGeneralPreferensesForm& f) {
    EXPECT_EQ(f.ChannelStringGrid->RowCount(), 2);
    for (int col = 1; col < 4; ++col) EXPECT_EQ(f.ChannelStringGrid->Cells(col, 1), QStringLiteral("Unknown"));
    EXPECT_EQ(f.ChannelStringGrid->Cells(0, 0), QStringLiteral("Channel"));
    EXPECT_EQ(f.ChannelStringGrid->ColWidths(4), 0);
    EXPECT_EQ(f.NMEIMaskEdit->Text(), QStringLiteral("$GPGGA"));
    EXPECT_EQ(f.SpeedNMEIComboBox->Text(), QStringLiteral("unknown"));
    EXPECT_FALSE(f.SsidEdit->Enabled());
    f.SetHeaderGPSButtonClick();  // nothing to send it to, and no message
  });
}

// ---- NMEA configuration and the exception hook --------------------------------------------------------

TEST_F(GeneralPreferences, SaveNmeaSendsSpeedAndTypeAndAnInvalidTypeBlocksItUntilTheNextOpening) {
  radarsim::TRadarSimEngine& sim = PlugOne(6);
  ASSERT_NO_FATAL_FAILURE(Start());
  const auto before = Application->OnException;
  size_t mark = 0;
  ShowDialog([&](TGeneralPreferensesForm& f) {
    ASSERT_TRUE(ServeUntil([&] { return f.SpeedNMEIComboBox->ItemIndex() == 3; })) << "the radar's 4800";
    f.SpeedNMEIComboBox->SetItemIndex(3);
    f.NMEIMaskEdit->SetText(QStringLiteral("$GPGGA"));
    mark = sim.Received().size();
    TDialogScript::QueueAnswer(mrOk);
    f.SetHeaderGPSButton->Click();
    ASSERT_TRUE(ServeUntil([&] { return !ParamsSince(sim, mark, bcpLoadNMEICfg).empty(); }));
    EXPECT_EQ(ParamsSince(sim, mark, bcpLoadNMEICfg),
              (std::vector<radarsim::TBytes>{{0x03, 'G', 'P', 'G', 'G', 'A', 0x00}}));
    EXPECT_EQ(LastMessage(),
              QStringLiteral("Unplug Data connector and plug it back\r\nto restart antenna unit."));

    // The edit refuses a type that is not "$" and five letters; the hook warns.
    f.NMEIMaskEdit->SetText(QStringLiteral("$GP1GA"));
    TDialogScript::QueueAnswer(mrOk);
    f.NMEIMaskEdit->ValidateOnExit();
    EXPECT_TRUE(f.HasError);
    EXPECT_EQ(LastMessage(),
              QStringLiteral("Invalid NMEI string.\r\nThe string should begins with $ sign and contains five Latin "
                             "letters"));
    f.NMEIMaskEdit->SetText(QStringLiteral("$GPRMC"));
    mark = sim.Received().size();
    const size_t shownBefore = MessageCount();
    f.SetHeaderGPSButton->Click();
    // A ping goes out after whatever would have been sent before it.
    const size_t pings = sim.CountReceived(bcpPing2);
    MainWindow->CurrentRadar()->SendCommand(bcpPing2, 0, nullptr);
    ASSERT_TRUE(ServeUntil([&] { return sim.CountReceived(bcpPing2) > pings; }));
    EXPECT_TRUE(ParamsSince(sim, mark, bcpLoadNMEICfg).empty()) << "blocked until the dialog opens again";
    EXPECT_EQ(MessageCount(), shownBefore);
  });
  // Gone with the dialog: the previous exception handler is back.
  EXPECT_EQ(static_cast<bool>(Application->OnException), static_cast<bool>(before));
  ShowDialog([&](TGeneralPreferensesForm& f) {
    EXPECT_FALSE(f.HasError);
    f.SpeedNMEIComboBox->SetItemIndex(7);
    f.NMEIMaskEdit->SetText(QStringLiteral("$gprmc"));
    EXPECT_EQ(f.NMEIMaskEdit->Text(), QStringLiteral("$GPRMC")) << "shown in upper case";
    mark = sim.Received().size();
    TDialogScript::QueueAnswer(mrOk);
    f.SetHeaderGPSButton->Click();
    ASSERT_TRUE(ServeUntil([&] { return !ParamsSince(sim, mark, bcpLoadNMEICfg).empty(); }));
    EXPECT_EQ(ParamsSince(sim, mark, bcpLoadNMEICfg),
              (std::vector<radarsim::TBytes>{{0x07, 'G', 'P', 'R', 'M', 'C', 0x00}}));
  });
}

// ---- GPS data ------------------------------------------------------------------------------------------------

TEST_F(GeneralPreferences, TheGpsGridKeepsTwoHundredRowsDroppingTheOldest) {
  radarsim::TRadarSimEngine& sim = PlugOne(6);
  ASSERT_NO_FATAL_FAILURE(Start());
  TRadar* radar = MainWindow->CurrentRadar();
  ShowDialog([&](TGeneralPreferensesForm& f) {
    EXPECT_EQ(f.NMEIListBox->Cells(3, 0), QStringLiteral("Quality Indicator"));
    // Up: nothing is added.
    radar->SetLastNMEA(QStringLiteral("$GPGGA,000001,4807.038,N,01131.000,E,1,08,0.9,545.4,M"));
    f.GpsData();
    EXPECT_EQ(f.NMEIListBox->Cells(0, 1), QString());
    radar->SetLastNMEA(QString());
    UserClick(*f.GetLastNMEIButton);
    ASSERT_TRUE(f.GetLastNMEIButton->Down());
    EXPECT_TRUE(f.GroupBoxLocationGPR->Visible());
    // The unit's sentence in its ping reply reaches the grid through the radar link.
    const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
    sim.Configure([&](radarsim::TSimConfig& c) { c.Nmea = gga; });
    radar->SendCommand(bcpPing2, 0, nullptr);
    const auto last = [&](int col) { return f.NMEIListBox->Cells(col, f.NMEIListBox->RowCount() - 1); };
    ASSERT_TRUE(ServeUntil([&] { return last(0) == QStringLiteral("12:35:19"); }));
    EXPECT_EQ(f.NMEI_GPS_Edit->Text(), QString::fromStdString(gga));
    EXPECT_EQ(last(3), QStringLiteral("GPS fix"));
    sim.Configure([](radarsim::TSimConfig& c) { c.Nmea.clear(); });
    ServeUntil([] { return false; }, std::chrono::milliseconds(100));
    f.NMEIListBox->SetRowCount(2);
    for (int col = 0; col < general_pref::GpsColumnCount; ++col) f.NMEIListBox->SetCells(col, 1, QString());
    // The unit keeps still meanwhile: its ping replies would replace the sentence.
    sim.SetSilent(true);
    ServeUntil([] { return false; }, std::chrono::milliseconds(200));
    for (int i = 1; i <= 205; ++i) {
      const QString time = QStringLiteral("%1").arg(i, 6, 10, QChar(u'0'));
      radar->SetLastNMEA(QStringLiteral("$GPGGA,") + time + QStringLiteral(",4807.038,N,01131.000,W,") +
                         (i == 205 ? QStringLiteral("4") : QString::number(i % 3)) + QStringLiteral(",08,0.9"));
      f.GpsData();
    }
    sim.SetSilent(false);
    EXPECT_EQ(f.NMEIListBox->RowCount(), 201) << "200 data rows";
    EXPECT_EQ(f.NMEIListBox->Cells(0, 1), QStringLiteral("00:00:06")) << "the five oldest dropped";
    EXPECT_EQ(f.NMEIListBox->Cells(0, 199), QStringLiteral("00:02:04"));
    EXPECT_EQ(f.NMEIListBox->Cells(0, 200), QStringLiteral("00:02:05"));
    EXPECT_EQ(f.NMEIListBox->Cells(3, 200), QString()) << "fix quality 4 has no text";
    EXPECT_EQ(f.NMEIListBox->Cells(3, 199), QStringLiteral("Not fix"));
    EXPECT_EQ(f.NMEIListBox->Cells(3, 198), QStringLiteral("DGPS fix"));
    EXPECT_EQ(f.NMEIListBox->Cells(3, 197), QStringLiteral("GPS fix"));
    EXPECT_EQ(f.NMEIListBox->Cells(2, 200), QStringLiteral("-11.51666667 W"));
    EXPECT_GT(f.NMEIListBox->TopRow(), 150) << "scrolled to the last row";
    // A handler already running ignores the next message.
    f.GpsDataRunning = true;
    radar->SetLastNMEA(QStringLiteral("$GPGGA,999999,4807.038,N,01131.000,E,1,08,0.9,545.4"));
    f.GpsData();
    EXPECT_EQ(f.NMEIListBox->Cells(0, 200), QStringLiteral("00:02:05"));
    f.GpsDataRunning = false;
  });
}

TEST(GeneralPreferencesGps, RowsFromSentencesWithMissingFieldsFillEmptyCells) {
  using general_pref::GpsRowOf;
  const general_pref::TGpsRow full = GpsRowOf(QStringLiteral("$GPGGA,123519.25,4807.038,N,01131.000,E,2,08,0.9"));
  EXPECT_EQ(full[0], QStringLiteral("12:35:19.25"));
  EXPECT_EQ(full[1], QStringLiteral("48.11730000 N"));
  EXPECT_EQ(full[2], QStringLiteral("11.51666667 E"));
  EXPECT_EQ(full[3], QStringLiteral("DGPS fix"));
  EXPECT_EQ(full[4], QStringLiteral("08"));
  EXPECT_EQ(full[5], QStringLiteral("0.9"));
  const general_pref::TGpsRow cut = GpsRowOf(QStringLiteral("$GPGGA,1235"));
  EXPECT_EQ(cut[0], QStringLiteral("12:35:"));
  EXPECT_EQ(cut[1], QStringLiteral("0.00 "));
  EXPECT_EQ(cut[3], QString());
  EXPECT_EQ(cut[5], QString());
  EXPECT_EQ(general_pref::FixQualityText(QStringLiteral("0")), QStringLiteral("Not fix"));
  EXPECT_EQ(general_pref::FixQualityText(QStringLiteral("1")), QStringLiteral("GPS fix"));
}

// ---- A set of two radars ---------------------------------------------------------------------------------------

TEST_F(GeneralPreferences, TwoRadarsHideTheWiFiTabAndGpsAndShowTheDeviceLabel) {
  auto unit = [](uint8_t mode, uint8_t channel, uint16_t serial) {
    radarsim::TSimConfig c;
    c.MasterSlaveMode = mode;
    c.Channel = channel;
    c.RadarCount = 2;
    c.SerialNumber = serial;
    c.RadarType = kWiFiModel;
    c.Firmware = 19;
    return c;
  };
  Plug(unit(1, 0, 201));
  Plug(unit(2, 1, 202));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(ServeUntil([] {
    const TControlRadar* set = MainWindow->ControlRadar();
    return set && set->SlotRadar(0) && set->SlotRadar(1);
  }));
  MainWindow->Settings.TopoType = ttGPS;
  ShowDialog([&](TGeneralPreferensesForm& f) {
    EXPECT_EQ(f.ChannelStringGrid->RowCount(), 3);
    EXPECT_EQ(f.CountChannalEd->ValueInt(), 2);
    EXPECT_EQ(f.ChannelStringGrid->Cells(0, 1), QStringLiteral("0"));
    EXPECT_EQ(f.ChannelStringGrid->Cells(0, 2), QStringLiteral("1"));
    EXPECT_FALSE(f.WiFiTabSheet->TabVisible());
    EXPECT_FALSE(f.TopoTab->TopoItems[ttGPS]->Enabled());
    EXPECT_TRUE(f.TopoTab->TopoItems[ttTrolleyA]->Checked()) << "the mark moves off GPS";
    EXPECT_EQ(MainWindow->Settings.TopoType, ttGPS) << "the chosen device itself stays";
    EXPECT_TRUE(f.GPRDeviceLabel->Visible());
    EXPECT_TRUE(f.GPRDeviceLabel->Caption().startsWith(QStringLiteral("GPR Model: ")));
    EXPECT_TRUE(f.GPRDeviceLabel->Caption().contains(QStringLiteral(" ,s/n: ")));
  });
}

// ---- Who opens the dialog, and whom it answers ------------------------------------------------------------------

TEST_F(GeneralPreferences, TheRadarLinkFindsTheDialogAndTheSettingsWindowOpensIt) {
  PlugOne(6);
  ASSERT_NO_FATAL_FAILURE(Start());
  const TRadarShell shell = RadarShell();
  ASSERT_NE(shell.Windows, nullptr);
  GlobalChannalVisible().fill(true);
  ShowDialog([&](TGeneralPreferensesForm& f) {
    EXPECT_EQ(shell.Windows->PreferencesDialogHandle(), f.Handle());
    EXPECT_TRUE(shell.Flags->PreferencesDialogExists());
    EXPECT_TRUE(shell.Flags->PreferencesDialogVisible());
    // The set answered: the channels of the list are visible, the others not.
    ASSERT_EQ(NewViewChannalCount(), 1);
    PostMessage(f.Handle(), WM_RADARSLOADED, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(GlobalChannalVisible(), (std::array<bool, kChannelSlots>{true, false, false, false, false}));
  });
  EXPECT_EQ(shell.Windows->PreferencesDialogHandle(), nullptr);
  EXPECT_FALSE(shell.Flags->PreferencesDialogExists());

  // The settings window's topo menu and its menu bar open the same dialog.
  TSettingsForm* settings = SettingsForm;
  ASSERT_NE(settings, nullptr);
  for (TMenuItem* item : {settings->GeneralPreferencesMenu, settings->MenuGeneralPreferences}) {
    bool opened = false;
    TDialogScript::QueueModal([&](TForm& shown) {
      opened = dynamic_cast<TGeneralPreferensesForm*>(&shown) != nullptr;
      shown.SetModalResult(mrOk);
    });
    ASSERT_TRUE(item->Enabled());
    item->Click();
    EXPECT_TRUE(opened) << item->Caption().toStdString();
    EXPECT_EQ(GeneralPreferensesForm.load(), nullptr);
  }
}

TEST_F(GeneralPreferences, TheActiveWindowsChannelVisibilityGoesToTheDialogAndComesBack) {
  ASSERT_NO_FATAL_FAILURE(Start());
  TView2DForm* window = MainWindow->CurChild();
  ASSERT_NE(window, nullptr);
  const int remembered = NewViewChannalCount();
  window->CountChannalView = 3;
  window->arChannalVisible = {true, true, true, false, false};
  ShowDialog([&](TGeneralPreferensesForm&) {
    EXPECT_EQ(NewViewChannalCount(), 3);
    EXPECT_EQ(GlobalChannalVisible(), window->arChannalVisible);
    GlobalChannalVisible() = {false, false, true, false, false};
  });
  EXPECT_EQ(window->arChannalVisible, (std::array<bool, kChannelSlots>{false, false, true, false, false}));
  EXPECT_EQ(window->NumActiveView, 2) << "the first visible channel becomes active";
  EXPECT_EQ(NewViewChannalCount(), remembered);
}

// ---- Folder, prefix and index ------------------------------------------------------------------------------------

TEST_F(GeneralPreferences, AChosenFolderProposesTheFreeIndexAfterThePrefixesProfilesAndATakenIndexShowsRed) {
  const QString folder = program.path() + QStringLiteral("/site");
  ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/day2")));
  // The prefix's first two numbers are taken; the one in the sub-folder is counted too.
  for (const char* name : {"/run_0.dezo", "/run_1.dezo", "/day2/other_7.dezo"}) {
    QFile file(folder + QString::fromLatin1(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  ASSERT_NO_FATAL_FAILURE(Start());
  const QString before = MainWindow->LastFolder();
  ShowDialog([&](TGeneralPreferensesForm& f) {
    f.FilePrefixEdit->SetText(QStringLiteral("run_"));
    EXPECT_EQ(MainWindow->GlobalPrefixFiles(), QStringLiteral("run_")) << "every change of the prefix";
    f.FileCountDigitEdit->SetValueInt(40);
    TDialogScript::QueueFolder(std::nullopt);
    f.ChangePathSB->Click();
    EXPECT_EQ(MainWindow->LastFolder(), before) << "Cancel changes nothing";
    EXPECT_EQ(f.FileCountDigitEdit->ValueInt(), 40);

    TDialogScript::QueueFolder(folder);
    f.ChangePathSB->Click();
    EXPECT_EQ(f.FilePathMemo->Text(), folder + u'/');
    EXPECT_EQ(MainWindow->LastFolder(), folder + u'/');
    EXPECT_EQ(f.FileCountDigitEdit->ValueInt(), 2);
    EXPECT_EQ(MainWindow->GlobalCountFiles(), 3);
    EXPECT_EQ(f.FileCountDigitEdit->Font()->Color(), clBlack);

    // The operator goes back to a taken number.
    f.FileCountDigitEdit->SetValueInt(1);
    f.FileCountDigitEdit->OnChangeFinish(f.FileCountDigitEdit);
    EXPECT_EQ(f.FileCountDigitEdit->Font()->Color(), TColor{0xFF});
    EXPECT_EQ(MainWindow->GlobalCountFiles(), 2);
    f.FileCountDigitEdit->SetValueInt(5);
    f.FileCountDigitEdit->OnChangeFinish(f.FileCountDigitEdit);
    EXPECT_EQ(f.FileCountDigitEdit->Font()->Color(), clBlack);
  });
  const std::vector<TShownDialog> shown = TDialogScript::Shown();
  const auto folderDialogs = std::count_if(shown.begin(), shown.end(), [](const TShownDialog& d) {
    return d.Kind == dkFolder && d.Title == QStringLiteral("Select Directory");
  });
  EXPECT_EQ(folderDialogs, 2);
}

// ---- Closing -------------------------------------------------------------------------------------------------------

TEST_F(GeneralPreferences, ClosingIsRefusedWhileAnInclinometerStepIsTicked) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowDialog([&](TGeneralPreferensesForm& f) {
    for (TCheckBox* box : {f.InclinometerTab->CheckBox1, f.InclinometerTab->CheckBox3, f.InclinometerTab->CheckBox4}) {
      box->SetChecked(true);
      bool canClose = true;
      f.FormCloseQuery(canClose);
      EXPECT_FALSE(canClose);
      box->SetChecked(false);
    }
    f.InclinometerTab->CheckBox2->SetChecked(true);
    bool canClose = false;
    f.FormCloseQuery(canClose);
    EXPECT_TRUE(canClose) << "Test does not hold it";
    f.InclinometerTab->CheckBox2->SetChecked(false);
    // OK takes the options into the main window.
    f.FilePrefixEdit->SetText(QStringLiteral("line_"));
    f.FileCountDigitEdit->SetValueInt(42);
    f.BitBtn1Click();
    EXPECT_EQ(MainWindow->Settings.PrefixFiles, QStringLiteral("line_"));
    EXPECT_EQ(MainWindow->Settings.CountFiles, 42);
  });
}

// ---- Wi-Fi settings --------------------------------------------------------------------------------------------------

TEST(GeneralPreferencesWiFi, ThePayloadCarriesTheTagsInOrderAndRefusesTooLongTexts) {
  wifi_settings::TWifiEdits edits;
  edits.Ssid = QStringLiteral("gpr");
  edits.Password = QString();
  edits.Ip = {192, 168, 4, 1};
  edits.Mask = {255, 255, 255, 0};
  edits.Port = 2000;
  edits.WithoutRouter = true;
  edits.Channel = 11;
  const auto accessPoint = wifi_settings::StorePayload(edits);
  ASSERT_TRUE(accessPoint);
  const std::vector<uint8_t> expected = {0x47, 0x92, 0x01, 0x00, 1,    3,    'g',  'p',  'r',  2,   0,
                                         13,   4,    192,  168,  4,    1,    17,   4,    255,  255, 255,
                                         0,    16,   2,    0x07, 0xD0, 10,   1,    7,    3,    1,   11,
                                         7,    1,    12};
  EXPECT_EQ(*accessPoint, expected);
  edits.WithoutRouter = false;
  const auto router = wifi_settings::StorePayload(edits);
  ASSERT_TRUE(router);
  const std::vector<uint8_t> tail = {10, 1, 1, 3, 1, 0, 7, 1, 12};
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), router->end() - static_cast<std::ptrdiff_t>(tail.size())));

  edits.Ssid = QString(111, u's');
  edits.Password = QString(111, u'p');
  const auto longest = wifi_settings::StorePayload(edits);
  ASSERT_TRUE(longest);
  EXPECT_EQ(longest->size(), 255u);
  edits.Password = QString(112, u'p');
  EXPECT_FALSE(wifi_settings::StorePayload(edits)) << "223 characters pass 255 bytes";

  EXPECT_TRUE(wifi_settings::IsWiFiCapableModel(static_cast<TTypeGPR>(52)));
  EXPECT_FALSE(wifi_settings::IsWiFiCapableModel(static_cast<TTypeGPR>(16)));
}

TEST_F(GeneralPreferences, WiFiReplyFillsTheTabAndSaveStoresTheEditedSettings) {
  radarsim::TSimConfig config;
  config.Firmware = 6;
  config.RadarType = kWiFiModel;
  config.DeviceType = 8;
  config.WifiSettings = {1, 5, 'f', 'i', 'e', 'l', 'd', 2, 3, 'k', 'e', 'y', 3, 1, 6, 10, 1, 7,
                         13, 4, 127, 0, 0, 9, 16, 2, 0x0B, 0xB8, 17, 4, 255, 255, 0, 0};
  radarsim::TRadarSimEngine& sim = Plug(config);
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowDialog([&](TGeneralPreferensesForm& f) {
    ASSERT_TRUE(ServeUntil([&] { return f.SsidEdit->Text() == QStringLiteral("field"); }));
    EXPECT_EQ(f.PassEdit->Text(), QStringLiteral("key"));
    EXPECT_EQ(f.IPDigitEdit[0]->ValueInt(), 127);
    EXPECT_EQ(f.IPDigitEdit[3]->ValueInt(), 9);
    EXPECT_EQ(f.NetMaskDigitEdit[1]->ValueInt(), 255);
    EXPECT_EQ(f.NetMaskDigitEdit[2]->ValueInt(), 0);
    EXPECT_EQ(f.PortDigitEdit->ValueInt(), 3000);
    EXPECT_EQ(f.ChannelDigitEdit->ValueInt(), 6);
    EXPECT_EQ(MainWindow->Settings.WiFiAddress, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(MainWindow->Settings.WiFiPort, QStringLiteral("3000"));
    EXPECT_FALSE(f.SaveWiFiSettButton->Enabled());
    // The tab of a Wi-Fi model on USB writes the address the radar reported.
    f.RefreshRadarState();
    EXPECT_EQ(MainWindow->MainIni()->ReadString(QStringLiteral("WIFI"), QStringLiteral("IP address"), QString()),
              QStringLiteral("127.0.0.9"));
    EXPECT_EQ(MainWindow->MainIni()->ReadString(QStringLiteral("WIFI"), QStringLiteral("port"), QString()),
              QStringLiteral("3000"));

    // Router mode: tag 10 with 1 and tag 3 with 0; the port edit enables Save.
    UserClick(*f.InfraToolButton);
    EXPECT_TRUE(f.InfraToolButton->Down());
    EXPECT_FALSE(f.ChannelDigitEdit->Visible());
    EXPECT_TRUE(f.SaveWiFiSettButton->Enabled());
    f.PortDigitEdit->SetValueInt(2000);
    f.PassEdit->SetText(QString());
    size_t mark = sim.Received().size();
    f.SaveWiFiSettButton->Click();
    ASSERT_TRUE(ServeUntil([&] { return !f.SaveWiFiSettButton->Enabled(); })) << "stored: Save off";
    std::vector<radarsim::TBytes> stored = ParamsSince(sim, mark, bcpStorewifiSettings);
    ASSERT_EQ(stored.size(), 1u);
    const radarsim::TBytes router = {0x47, 0x92, 0x01, 0x00, 1,  5,    'f',  'i',  'e', 'l', 'd', 2, 0,
                                     13,   4,    127,  0,    0,  9,    17,   4,    255, 255, 0,   0, 16,
                                     2,    0x07, 0xD0, 10,   1,  1,    3,    1,    0,   7,   1,   12};
    EXPECT_EQ(stored[0], router);
    ASSERT_TRUE(ServeUntil([&] { return CodesSince(sim, mark, {bcpStorewifiSettings, bcpGetWifiSettings}).size() >= 2; }));
    EXPECT_EQ(CodesSince(sim, mark, {bcpStorewifiSettings, bcpGetWifiSettings}),
              (std::vector<uint8_t>{bcpStorewifiSettings, bcpGetWifiSettings}))
        << "the settings are asked again";
    ASSERT_TRUE(ServeUntil([&] { return f.PortDigitEdit->ValueInt() == 3000; })) << "and shown again";

    // Access point on channel 11.
    UserClick(*f.SoftAPToolButton);
    EXPECT_TRUE(f.ChannelDigitEdit->Visible());
    EXPECT_EQ(f.ChannelDigitEdit->ValueInt(), 5);
    f.ChannelDigitEdit->SetValueInt(11);
    mark = sim.Received().size();
    f.SaveWiFiSettButton->Click();
    ASSERT_TRUE(ServeUntil([&] { return !ParamsSince(sim, mark, bcpStorewifiSettings).empty(); }));
    stored = ParamsSince(sim, mark, bcpStorewifiSettings);
    ASSERT_EQ(stored.size(), 1u);
    const radarsim::TBytes tail = {10, 1, 7, 3, 1, 0x0B, 7, 1, 12};
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), stored[0].end() - static_cast<std::ptrdiff_t>(tail.size())));

    // SSID and password of 223 characters together: refused, nothing sent.
    f.SsidEdit->SetText(QString(200, u's'));
    f.PassEdit->SetText(QString(23, u'p'));
    mark = sim.Received().size();
    TDialogScript::QueueAnswer(mrOk);
    f.SaveWiFiSettButton->Click();
    const size_t pings = sim.CountReceived(bcpPing2);
    MainWindow->CurrentRadar()->SendCommand(bcpPing2, 0, nullptr);
    ASSERT_TRUE(ServeUntil([&] { return sim.CountReceived(bcpPing2) > pings; }));
    EXPECT_TRUE(ParamsSince(sim, mark, bcpStorewifiSettings).empty());
    EXPECT_TRUE(LastMessage().contains(QStringLiteral("222")));
  });
}

// ---- The topo menu's items ----------------------------------------------------------------------------------------------

TEST_F(GeneralPreferences, TopoItemsAreSizedAndDrawnWithTheirPictures) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowDialog([&](TGeneralPreferensesForm& f) {
    TAdvPopupMenu& menu = *f.TopoTab->TopoTypePopupMenu;
    ASSERT_EQ(menu.Items()->Count(), 12);
    EXPECT_EQ(menu.Items()->Items(0), f.TopoTab->TopoItems[ttGPS]);
    EXPECT_EQ(menu.Items()->Items(11), f.TopoTab->TopoItems[ttCustom]);
    TBitmap scratch;
    scratch.SetSize(1, 1);
    TCanvas& canvas = *scratch.Canvas();
    int width = 0, height = 0;
    TMenuItem* wheel = f.TopoTab->TopoItems[ttWheel];
    menu.MeasureItem(wheel, canvas, width, height);
    const int textWidth = canvas.TextWidth(wheel->Caption() + QStringLiteral("   "));
    const int textHeight = canvas.TextHeight(wheel->Caption() + QStringLiteral("   "));
    EXPECT_EQ(width, textWidth + TopoPictureSize + 10);
    EXPECT_EQ(height, std::max(textHeight, TopoPictureSize));
    // Without a picture: text + 10 wide, text + 4 high.
    wheel->SetImageIndex(-1);
    menu.MeasureItem(wheel, canvas, width, height);
    EXPECT_EQ(width, textWidth + 10);
    EXPECT_EQ(height, textHeight + 4);
  });
}

}  // namespace general_pref_form_test
