// The topo device and inclinometer tabs of the preferences dialog, with the
// main window started in its own program folder and a simulated radar on a
// pseudo-terminal: the radar link finds the dialog through the main window's
// shell and forwards the unit's wheel reports and traces to it, the commands
// are checked on the wire, and the calibrations in the settings file on disk.

#include "acquisition/calibration_host.h"
#include "acquisition/general_pref_form.h"
#include "acquisition/inclinometer_calibration.h"
#include "acquisition/main_form.h"
#include "acquisition/settings_arithmetic.h"
#include "acquisition/topo_device_tab.h"
#include "platform/rtl/ini_files.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/value_list_editor.h"
#include "profiledata/digit_edit.h"
#include "radar/control_radar.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_messages.h"
#include "tests/acquisition/program_folders.h"
#include "tests/support/qstring_print.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>


#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace calibration_tabs_test {


void UserClick(TControl& control) {
  SendMouse(control, maPress, mbLeft, true, false, 3, 3);
  SendMouse(control, maRelease, mbLeft, false, false, 3, 3);
}

// What the accelerometer of the simulated unit reads (X, Y, Z).
struct TReadings {
  std::atomic<int16_t> x{500}, y{500}, z{500};
};

class CalibrationTabs : public testing::Test, protected TProgramFolders {
protected:
  void SetUp() override {
    ASSERT_TRUE(EnterProgramFolders());
    TMemIniFile ini(MainIniFileName());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), QString());
    ini.UpdateFile();
  }
  void TearDown() override {
    if (dialog) {
      dialog->Hide();
      dialog->Free();
    }
    if (MainWindow) MainWindow->Free();
    TDialogScript::Reset();
    sim.reset();
    LeaveProgramFolders();
  }
  // The unit found at start, then the preferences dialog shown over the main
  // window; the tabs are the dialog's.
  void Start(std::function<void(TMemIniFile&)> settings = {}) {
    if (settings) {
      TMemIniFile ini(MainIniFileName());
      settings(ini);
      ini.UpdateFile();
    }
    radarsim::TSimConfig config;
    config.DeviceType = 8;  // a single-channel box
    config.TraceIntervalMs = 2;
    config.AccelerometerOf = [r = &readings](uint32_t) {
      return std::array<int16_t, 4>{7, r->x.load(), r->y.load(), r->z.load()};
    };
    sim = std::make_unique<radarsim::TPtyRadarSim>(config);
    ASSERT_TRUE(sim->Ok());
    tree.AddUsbSerial(1, QStringLiteral("ttyACM0"), 0xc251, 0x9705, QStringLiteral("Radar"),
                      QString::fromStdString(sim->SlavePath()));
    CreateMainWindow();
    ASSERT_NE(MainWindow, nullptr);
    ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() && MainWindow->CurrentRadar()->ready; }));

    dialog = new TGeneralPreferensesForm(Application, MainWindow);
    dialog->Show();
    ASSERT_TRUE(dialog->Shown());
    topo = dialog->TopoTab.get();
    incl = dialog->InclinometerTab.get();
    radar = MainWindow->CurrentRadar();
    ASSERT_EQ(radar->Shell().Windows->PreferencesDialogHandle(), dialog->Handle());
    ASSERT_EQ(radar->CurMode(), cmStop);
    mark = sim->Engine().Received().size();
  }
  // The acquisition and wheel commands the unit received since the last call,
  // once there are `count` of them (the last command sent may still be on its way).
  std::vector<uint8_t> CommandsSinceMark(size_t count) {
    std::vector<uint8_t> wanted;
    size_t seen = mark;
    ServeUntil([&] {
      const std::vector<uint8_t> codes = sim->Engine().ReceivedCodes();
      for (; seen < codes.size(); ++seen) {
        const uint8_t c = codes[seen];
        if (c == bcpLoadData || c == bcpStart || c == bcpStop || c == bcpWheelRotate_Start || c == bcpWheelRotate_Stop)
          wanted.push_back(c);
      }
      return wanted.size() >= count;
    }, std::chrono::seconds(3));
    mark = seen;
    return wanted;
  }
  // The settings file as it is on disk.
  static std::unique_ptr<TMemIniFile> Disk() { return std::make_unique<TMemIniFile>(MainIniFileName()); }
  QStringList Rows() const { return topo->OdometerList->Strings(); }
  // Stops the unit and serves the traces still queued for the dialog.
  void WaitStopped() {
    ASSERT_TRUE(ServeUntil([&] { return radar->CurMode() == cmStop && !sim->Engine().Streaming(); }));
    for (int i = 0; i < 20; ++i) {
      Application->ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  static void TypeInto(TValueListEditor& list, const QString& text) { SendText(list, text); }
  void ClickCell(TValueListEditor& list, int col, int row) {
    const TRect r = list.CellRect(col, row);
    SendMouse(list, maPress, mbLeft, true, false, r.Left + 3, r.Top + 3);
    SendMouse(list, maRelease, mbLeft, false, false, r.Left + 3, r.Top + 3);
  }

  TReadings readings;
  std::unique_ptr<radarsim::TPtyRadarSim> sim;
  TGeneralPreferensesForm* dialog = nullptr;
  TTopoDeviceTab* topo = nullptr;
  TInclinometerTab* incl = nullptr;
  TRadar* radar = nullptr;
  size_t mark = 0;
};

TEST_F(CalibrationTabs, AWheelRunCountsTheUnitsPulsesAndStoresTheCutStep) {
  Start();
  topo->TopoItemClick(ttWheel);
  EXPECT_EQ(MainWindow->Settings.TopoType, ttWheel);
  EXPECT_EQ(Rows(), QStringList{"31.47=Default"});
  EXPECT_EQ(topo->TopoTitleLabel->Caption(), QStringLiteral("Wheel"));
  EXPECT_FALSE(topo->delOdometer->Enabled()) << "row 1 is the device's own";

  UserClick(*topo->AddOdometer);
  EXPECT_TRUE(topo->MeasureOdometrPanel->Visible());
  EXPECT_EQ(topo->NameMeasurEdit->Text(), QStringLiteral("Calibration 2"));
  EXPECT_FALSE(topo->AddOdometer->Enabled());
  EXPECT_EQ(Disk()->ReadString(QStringLiteral("Odometer_1"), QStringLiteral("NameMeasure_0"), {}),
            QStringLiteral("Default")) << "Add writes the list";

  topo->DistanceDigitEdit->SetValueReal(10);
  UserClick(*topo->StartStopSpeedButton);
  EXPECT_TRUE(topo->StartStopSpeedButton->Down());
  EXPECT_EQ(topo->StartStopSpeedButton->Caption(), QStringLiteral("Stop"));
  EXPECT_EQ(CommandsSinceMark(2), (std::vector<uint8_t>{bcpLoadData, bcpWheelRotate_Start})) << "a stopped unit";
  sim->Engine().TurnWheel(320, false);
  sim->Engine().TurnWheel(2, true);
  ASSERT_TRUE(ServeUntil([&] { return topo->WheelCalibrateTraces == 318; }))
      << topo->StepLabel->Caption().toStdString();
  EXPECT_EQ(topo->StepLabel->Caption(), QStringLiteral("Number of Pulses 318"));

  TDialogScript::QueueAnswer(mrYes);
  UserClick(*topo->StartStopSpeedButton);
  EXPECT_EQ(CommandsSinceMark(1), std::vector<uint8_t>{bcpWheelRotate_Stop});
  EXPECT_EQ(topo->StartStopSpeedButton->Caption(), QStringLiteral("Start"));
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text,
            QStringLiteral("Calibration completed\r\nStep of wheel= 31.44 mm (Default= 31.47 mm)\r\nTo save the result?"));
  EXPECT_EQ(shown[0].Buttons, mbYes | mbNo);
  EXPECT_EQ(Rows(), (QStringList{"31.47=Default", "31.44=Calibration 2"}));
  EXPECT_DOUBLE_EQ(static_cast<double>(topo->OdometerDigitEdit->ValueReal()), 31.44);
  EXPECT_FALSE(topo->MeasureOdometrPanel->Visible());
  EXPECT_TRUE(topo->AddOdometer->Enabled());

  // Row 1 is still the current one: it stays.
  TDialogScript::Reset();
  TDialogScript::QueueAnswer(mrOk);
  UserClick(*topo->delOdometer);
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text, QStringLiteral("The default value can not be removed"));
  EXPECT_EQ(Rows().size(), 2);

  // Closing writes the list; the settings window offers it as its menu.
  bool canClose = false;
  dialog->FormCloseQuery(canClose);
  EXPECT_TRUE(canClose);
  const auto disk = Disk();
  EXPECT_EQ(disk->ReadInteger(QStringLiteral("Odometer_1"), QStringLiteral("CountMeasur"), 0), 2);
  EXPECT_EQ(disk->ReadFloat(QStringLiteral("Odometer_1"), QStringLiteral("Measure_1"), 0), 31.44);
  const auto menu = settings_window::WheelCalibrations(disk.get(), ttWheel);
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[1].Text, QStringLiteral("31.44 Calibration 2"));
  // And the tab shows it again.
  topo->TopoItemClick(ttOdometerA);
  EXPECT_EQ(Rows(), QStringList{"11.18=Default"});
  topo->TopoItemClick(ttWheel);
  EXPECT_EQ(Rows(), (QStringList{"31.47=Default", "31.44=Calibration 2"}));
}

TEST_F(CalibrationTabs, BackwardPulsesCountDownNoPulseCountsAsOneAndCancelStopsTheWheel) {
  Start();
  topo->TopoItemClick(ttOdometerA);
  UserClick(*topo->AddOdometer);
  topo->DistanceDigitEdit->SetValueReal(2);
  UserClick(*topo->StartStopSpeedButton);
  sim->Engine().TurnWheel(3, true);
  ASSERT_TRUE(ServeUntil([&] { return topo->WheelCalibrateTraces == -3; }));
  EXPECT_EQ(topo->StepLabel->Caption(), QStringLiteral("Number of Pulses -3"));
  TDialogScript::QueueAnswer(mrNo);
  UserClick(*topo->StartStopSpeedButton);
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_TRUE(TDialogScript::Shown()[0].Text.contains(QStringLiteral("Step of wheel= 666.66 mm (Default= 11.18 mm)")))
      << TDialogScript::Shown()[0].Text.toStdString();
  EXPECT_TRUE(topo->MeasureOdometrPanel->Visible()) << "No keeps the panel for another run";
  // The unit left its wheel mode (a run started before would stop it first).
  ASSERT_TRUE(ServeUntil([&] { return radar->CurMode() == cmStop; }));
  EXPECT_EQ(Rows(), QStringList{"11.18=Default"});

  // A run without a pulse.
  TDialogScript::Reset();
  UserClick(*topo->StartStopSpeedButton);
  TDialogScript::QueueAnswer(mrNo);
  UserClick(*topo->StartStopSpeedButton);
  EXPECT_EQ(topo->StepLabel->Caption(), QStringLiteral("Number of Pulses 1"));
  ASSERT_TRUE(ServeUntil([&] { return radar->CurMode() == cmStop; }));
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_TRUE(TDialogScript::Shown()[0].Text.contains(QStringLiteral("Step of wheel= 2000 mm")));

  // Cancel during a run stops the wheel reports.
  EXPECT_EQ(CommandsSinceMark(6), (std::vector<uint8_t>{bcpLoadData, bcpWheelRotate_Start, bcpWheelRotate_Stop,
                                                        bcpLoadData, bcpWheelRotate_Start, bcpWheelRotate_Stop}));
  UserClick(*topo->StartStopSpeedButton);
  UserClick(*topo->CancelSpeedButton);
  EXPECT_EQ(CommandsSinceMark(3), (std::vector<uint8_t>{bcpLoadData, bcpWheelRotate_Start, bcpWheelRotate_Stop}));
  EXPECT_FALSE(topo->StartStopSpeedButton->Down());
  EXPECT_EQ(topo->StartStopSpeedButton->Caption(), QStringLiteral("Start"));
  EXPECT_FALSE(topo->MeasureOdometrPanel->Visible());
  EXPECT_TRUE(topo->AddOdometer->Enabled());
  EXPECT_FALSE(topo->delOdometer->Enabled()) << "row 1 is current";
}

TEST_F(CalibrationTabs, ARunningCalibrationIsCancelledWhenTheSetLosesItsRadar) {
  Start();
  topo->TopoItemClick(ttWheel);
  UserClick(*topo->AddOdometer);
  topo->DistanceDigitEdit->SetValueReal(5);
  UserClick(*topo->StartStopSpeedButton);
  ASSERT_TRUE(topo->StartStopSpeedButton->Down());
  EXPECT_EQ(CommandsSinceMark(2), (std::vector<uint8_t>{bcpLoadData, bcpWheelRotate_Start}));
  MainWindow->DelDeviceAndNil();
  ASSERT_TRUE(ServeUntil([&] { return !topo->MeasureOdometrPanel->Visible(); }));
  EXPECT_EQ(MainWindow->CurrentRadar(), nullptr);
  EXPECT_FALSE(topo->StartStopSpeedButton->Down());
  EXPECT_EQ(topo->StartStopSpeedButton->Caption(), QStringLiteral("Start"));
  EXPECT_FALSE(topo->AddOdometer->Enabled()) << "no radar to calibrate with";
  EXPECT_TRUE(TDialogScript::Shown().empty()) << "no question about a result";
  EXPECT_EQ(Rows(), QStringList{"31.47=Default"});
}

TEST_F(CalibrationTabs, ADistanceOfZeroIsRefusedWithoutACommand) {
  Start();
  topo->TopoItemClick(ttWheel);
  UserClick(*topo->AddOdometer);
  TDialogScript::QueueAnswer(mrOk);
  UserClick(*topo->StartStopSpeedButton);
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text, QStringLiteral("Enter valid distance for calibration"));
  EXPECT_EQ(TDialogScript::Shown()[0].Icon, MB_ICONERROR);
  EXPECT_FALSE(topo->StartStopSpeedButton->Down());
  EXPECT_EQ(topo->StartStopSpeedButton->Caption(), QStringLiteral("Start"));
  EXPECT_TRUE(CommandsSinceMark(1).empty());
}

TEST_F(CalibrationTabs, RowsAfterTheFirstAreEditedInPlaceAndDeletedAndEachChangeIsStored) {
  Start([](TMemIniFile& ini) {
    ini.WriteInteger(QStringLiteral("Odometer_7"), QStringLiteral("CountMeasur"), 3);
    const char* names[3] = {"Default", "Field", "Road"};
    const char* steps[3] = {"31.47", "30,5", "29.25"};
    for (int i = 0; i < 3; ++i) {
      ini.WriteString(QStringLiteral("Odometer_7"), QStringLiteral("NameMeasure_") + QString::number(i),
                      QString::fromLatin1(names[i]));
      ini.WriteString(QStringLiteral("Odometer_7"), QStringLiteral("Measure_") + QString::number(i),
                      QString::fromLatin1(steps[i]));
    }
  });
  topo->TopoItemClick(ttOdometerC);
  EXPECT_EQ(Rows(), (QStringList{"31.47=Default", "30.5=Field", "29.25=Road"}));
  TValueListEditor& list = *topo->OdometerList;

  ClickCell(list, 1, 2);
  EXPECT_DOUBLE_EQ(static_cast<double>(topo->OdometerDigitEdit->ValueReal()), 30.5);
  EXPECT_TRUE(topo->delOdometer->Enabled());
  TypeInto(list, QStringLiteral(" 2"));
  EXPECT_EQ(Disk()->ReadString(QStringLiteral("Odometer_7"), QStringLiteral("NameMeasure_1"), {}),
            QStringLiteral("Field 2"));
  ClickCell(list, 0, 3);
  TypeInto(list, QStringLiteral("5"));
  EXPECT_DOUBLE_EQ(static_cast<double>(topo->OdometerDigitEdit->ValueReal()), 29.255);
  EXPECT_EQ(Disk()->ReadFloat(QStringLiteral("Odometer_7"), QStringLiteral("Measure_2"), 0), 29.255);

  ClickCell(list, 1, 1);
  TypeInto(list, QStringLiteral("x"));
  EXPECT_EQ(list.Cells(1, 1), QStringLiteral("Default")) << "row 1 is not edited";
  EXPECT_FALSE(topo->delOdometer->Enabled());

  ClickCell(list, 0, 2);
  UserClick(*topo->delOdometer);
  EXPECT_EQ(Rows(), (QStringList{"31.47=Default", "29.255=Road"}));
  EXPECT_EQ(list.Row(), 1);
  const auto disk = Disk();
  EXPECT_EQ(disk->ReadInteger(QStringLiteral("Odometer_7"), QStringLiteral("CountMeasur"), 0), 2);
  EXPECT_EQ(disk->ReadString(QStringLiteral("Odometer_7"), QStringLiteral("NameMeasure_1"), {}), QStringLiteral("Road"));
}

TEST_F(CalibrationTabs, CalibrateFindsTheExtremesAndTheZeroAngleWaitsForBothSteps) {
  Start();
  incl->EnableControls(true);
  readings.x = 700;
  readings.y = 600;
  readings.z = 900;
  incl->CheckBox1->SetChecked(true);  // as the user's tick, it runs the click handler
  EXPECT_EQ(CommandsSinceMark(2), (std::vector<uint8_t>{bcpLoadData, bcpStart}));
  ASSERT_TRUE(ServeUntil([&] { return radar->GXmax == 700 && radar->GYmax == 600 && radar->GZmax == 900; }));
  bool canClose = true;
  dialog->FormCloseQuery(canClose);
  EXPECT_FALSE(canClose) << "calibrating";
  readings.x = 300;
  readings.y = 200;
  readings.z = 100;
  ASSERT_TRUE(ServeUntil([&] { return radar->GXmin == 300 && radar->GYmin == 200 && radar->GZmin == 100; }));
  incl->CheckBox1->SetChecked(false);
  WaitStopped();
  EXPECT_EQ(radar->GXmax, 700) << "a maximum never falls";
  EXPECT_EQ(incl->GXmaxLabel->Caption(), QStringLiteral("700.0"));
  EXPECT_EQ(incl->GZminLabel->Caption(), QStringLiteral("100.0"));

  // First zero position: X at 3/4 of its range, Y and Z in their middles.
  readings.x = 600;
  readings.y = 400;
  readings.z = 500;
  incl->CheckBox3->SetChecked(true);
  EXPECT_EQ(incl->Image1Picture, QStringLiteral("LEFT_W"));
  ASSERT_TRUE(ServeUntil([&] { return !incl->CheckBox3->Checked(); }));
  WaitStopped();
  // Serial 4242 of model 2 reads X negated: arcsin(-0.5).
  EXPECT_NEAR(incl->ZeroAngle1, -30, 1e-9);
  EXPECT_EQ(radar->ZeroAngle, 0) << "one step is not enough";
  EXPECT_EQ(incl->Image1Picture, QStringLiteral("LEFT_BR"));
  EXPECT_DOUBLE_EQ(radar->CalibrationQuality, 0.5);

  readings.x = 350;  // x = -0.75
  incl->CheckBox4->SetChecked(true);
  EXPECT_EQ(incl->Image2Picture, QStringLiteral("RIGHT_W"));
  ASSERT_TRUE(ServeUntil([&] { return !incl->CheckBox4->Checked(); }));
  WaitStopped();
  const double second = std::asin(0.75) * 57.29577951308232;
  EXPECT_NEAR(incl->ZeroAngle2, second, 1e-9);
  EXPECT_NEAR(radar->ZeroAngle, -(-30 + second) / 2, 1e-9);
  EXPECT_EQ(incl->Image2Picture, QStringLiteral("RIGHT_BR"));
  EXPECT_DOUBLE_EQ(radar->CalibrationQuality, 0.75);
  EXPECT_EQ(incl->QuolityLabel->Caption(), QStringLiteral("0.750"));

  // Closing stores the calibration under the serial number, on disk at once.
  dialog->FormCloseQuery(canClose);
  ASSERT_TRUE(canClose);
  const auto disk = Disk();
  const QString section = QStringLiteral("Inclinometer4242");
  EXPECT_EQ(disk->ReadFloat(section, QStringLiteral("MaxX"), 0), 700);
  EXPECT_EQ(disk->ReadFloat(section, QStringLiteral("MinY"), 0), 200);
  EXPECT_EQ(disk->ReadFloat(section, QStringLiteral("MinZ"), 0), 100);
  EXPECT_EQ(disk->ReadFloat(section, QStringLiteral("CalibrationQuality"), 0), 0.75);
  EXPECT_NEAR(disk->ReadFloat(section, QStringLiteral("ZeroAngle"), 0), radar->ZeroAngle, 1e-12);
}

TEST_F(CalibrationTabs, AFlatCalibrationIsMarkedWithQualityTwo) {
  Start();
  // Forty traces per start: the windows fill once, and the step's last trace
  // is the one that ends it (no later trace recomputes the quality).
  sim->Engine().Configure([](radarsim::TSimConfig& c) { c.TraceLimit = 40; });
  incl->CheckBox1->SetChecked(true);
  ASSERT_TRUE(ServeUntil([&] { return radar->GXmax == 500 && radar->GZmin == 500; }));
  incl->CheckBox1->SetChecked(false);
  WaitStopped();
  incl->CheckBox3->SetChecked(true);
  ASSERT_TRUE(ServeUntil([&] { return !incl->CheckBox3->Checked(); }));
  WaitStopped();
  EXPECT_EQ(radar->CalibrationQuality, 2.0);
  EXPECT_EQ(incl->QuolityLabel->Caption(), QStringLiteral("2.000"));
}

// Without a radar the controls start nothing; closing still waits for them.
class TNoRadarHost final : public ICalibrationHost {
public:
  TRadar* CurrentRadar() const override { return nullptr; }
  TControlRadar* ControlRadar() const override { return nullptr; }
  TCustomIniFile* MainIni() const override { return nullptr; }
  TTopoType LastTopoType() const override { return ttWheel; }
  void SetLastTopoType(TTopoType) override {}
};

TEST(CalibrationTabsClose, TheDialogStaysWhileCalibrateOrAZeroStepIsTicked) {
  TNoRadarHost host;
  TForm* form = TComponent::Create<TForm>(nullptr);
  TInclinometerTab tab(form, form, host);
  const struct {
    TCheckBox* box;
    bool closes;
  } cases[] = {{tab.CheckBox1, false}, {tab.CheckBox2, true}, {tab.CheckBox3, false}, {tab.CheckBox4, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box->Caption().toStdString());
    c.box->SetChecked(true);
    EXPECT_EQ(tab.CloseQuery(), c.closes);
    c.box->SetChecked(false);
  }
  EXPECT_TRUE(tab.CloseQuery());
  EXPECT_EQ(tab.Image1Picture, QStringLiteral("LEFT_GRAY")) << "nothing started without a radar";
  form->Free();
}

}  // namespace calibration_tabs_test
