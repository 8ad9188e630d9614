// The acquisition settings window as the program starts it (in this process,
// offscreen, its own program folder, the word `create`): shown modally by
// "GPR settings" (Shift+F3) with clicks and keys synthesised on its controls, a
// simulated radar on a pseudo-terminal whose received commands are checked on
// the wire, the copy of the settings into every channel, its place in the
// settings file, and a screenshot of the shown window.

#include "acquisition/main_form.h"
#include "acquisition/program_startup.h"
#include "acquisition/settings_form.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/adv_popup_menu.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/form_image.h"
#include "platform/ui/keys.h"
#include "platform/ui/memo.h"
#include "platform/ui/menus.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/online_background_removal_form.h"
#include "radar/online_gain_form.h"
#include "radar/online_wavelet_form.h"
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
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace settings_form_test {

using settings_window_fixture::FreeForms;
using settings_window_fixture::Key;
using settings_window_fixture::UserClick;

class SettingsWindow : public settings_window_fixture::TSettingsWindowTest {
protected:
  // A radar unit of this firmware on a pseudo-terminal, found at start.
  void PlugRadar(uint16_t firmware, int replyDelayMs = 0) {
    radarsim::TSimConfig config;
    config.Firmware = firmware;
    config.ReplyDelayMs = replyDelayMs;
    config.DeviceType = 8;  // a single-channel box
    config.TraceIntervalMs = 2;
    TSettingsWindowTest::PlugRadar(config);
  }
  // Shift+F3 as the main menu takes it; `work` runs while the window is shown
  // modally, then the window closes with OK.
  void ShowSettings(const std::function<void(TSettingsForm&)>& work) {
    TMenuItem* item = MainWindow->MainMenu->FindItemByShortCut(ShortCut(VK_F1 + 2, TShiftState{ssShift}));
    if (MainWindow->CurrentRadar()) {
      ASSERT_NE(item, nullptr);
      ASSERT_EQ(item, MainWindow->GprSettingsMenuItem);
    } else {
      // Without a radar the menu does not offer the command; the window itself
      // still opens when asked (the tests below look at it that way).
      ASSERT_EQ(item, nullptr);
      ASSERT_FALSE(MainWindow->GprSettingsMenuItem->Enabled());
      item = MainWindow->GprSettingsMenuItem;
    }
    TSettingsWindowTest::ShowSettings(work, item);
  }
  // The commands of the restart the unit received since `mark`.
  std::vector<radarsim::TSimCommand> RestartCommandsSince(size_t mark) const {
    std::vector<radarsim::TSimCommand> restart;
    const auto received = sim->Engine().Received();
    for (size_t i = mark; i < received.size(); ++i) {
      const uint8_t code = received[i].Code;
      if (code == bcpStop || code == bcpLoadData || code == bcpLoad_Steck_Curve || code == bcpStart)
        restart.push_back(received[i]);
    }
    return restart;
  }
};

TEST_F(SettingsWindow, WithoutARadarTheModelIsUnknownAndStartStaysDisabled) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowSettings([&](TSettingsForm& f) {
    EXPECT_EQ(f.Caption(), QStringLiteral("GPR Settings, Profile: ") + window->Caption());
    EXPECT_EQ(f.LabelRadarType->Caption(), QStringLiteral("Unknown"));
    EXPECT_FALSE(f.SpeedButtonSwitchOn->Enabled());
    EXPECT_FALSE(f.MenuRun->Enabled());
    EXPECT_FALSE(f.StartCalibrationSpeedButton->Enabled());
    EXPECT_TRUE(f.WindowSurveyButton->Enabled()) << "a new recording is editable";
    // The survey windows from the first row of the antenna-unit table.
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(f.SurveyWindow[i]->Caption(),
                settings_window::SurveyWindowCaption(UnitParams(0).WndWidth[i], f.st->GetSpeedLight()))
          << i;
    // Without a radar the stacking is depth-dependent.
    EXPECT_TRUE(f.st->GetAdvanceStacking());
    EXPECT_FALSE(f.FlatSteckingPanel->Visible());
    EXPECT_TRUE(f.AdvancedStackingPanel->Visible());
    // F2 without a radar starts nothing.
    Key(f, VK_F1 + 1);
    EXPECT_EQ(f.SpeedButtonSwitchOn->Caption(), QStringLiteral("Start"));
    EXPECT_FALSE(f.SpeedButtonSwitchOn->Down());
    EXPECT_FALSE(f.MenuRun->Checked());
    // A gain calibration with the preview off keeps the window open.
    f.StartCalibrationGain = true;
    bool canClose = true;
    f.FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    f.StartCalibrationGain = false;
    f.FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
  });
}

TEST_F(SettingsWindow, SetRadarSettingsCopiesIntoEveryChannelAndNamesTheFile) {
  ASSERT_NO_FATAL_FAILURE(Start());
  // A window of five channels for a set of radars.
  MainWindow->SetCountRadarFromMaster(5);
  SetNewViewChannalCount(5);
  MainWindow->CreateActionExecute();
  window = MainWindow->CurChild();
  ASSERT_NE(window, nullptr);
  int channels = 0;
  for (int i = 0; i < 5; ++i) channels += window->GetView2DByIndx(i) ? 1 : 0;
  ASSERT_EQ(channels, 5);
  ShowSettings([&](TSettingsForm& f) {
    f.FilePrefixEdit->SetText(QStringLiteral("line_"));
    f.FileCountDigitEdit->SetValueInt(17);
    Key(f, VK_F1 + 4);  // survey window 3
    Key(f, VK_F1 + 6);  // Single
    f.st->SetWheelMult(7);
    f.st->SetSpeedLight(120);
    f.BitBtnDirection->Click();
    f.SetRadarSettings();
    const TSettingData& first = *window->GetView2DByIndx(0)->Settings();
    EXPECT_EQ(f.st, &first);
    EXPECT_EQ(first.GetSpanIndex(), 2);
    for (int i = 1; i < 5; ++i) {
      SCOPED_TRACE(i);
      const TSettingData& s = *window->GetView2DByIndx(i)->Settings();
      EXPECT_EQ(s.GetSpanIndex(), 2);
      EXPECT_EQ(s.GetRunMode(), rmStep);
      EXPECT_EQ(s.GetWheelMult(), 7);
      EXPECT_EQ(s.GetSpeedLight(), 120);
      EXPECT_EQ(s.GetDirection(), back);
      EXPECT_EQ(s.GetOverStep(), first.GetOverStep());
      EXPECT_EQ(s.GetStacking(), first.GetStacking());
      EXPECT_EQ(s.SteckingArray, first.SteckingArray);
    }
    EXPECT_EQ(first.GetFileName(), data + QStringLiteral("line_17.frn")) << "a set of five records .frn";
    EXPECT_EQ(window->FilePrefix(), QStringLiteral("line_"));
    EXPECT_EQ(window->FileCount(), 17);
    MainWindow->SetCountRadarFromMaster(1);
    f.SetRadarSettings();
    EXPECT_EQ(first.GetFileName(), data + QStringLiteral("line_17.dezo"));
  });
}

TEST_F(SettingsWindow, FlatStackingTrackBarSamplesAndTraceRate) {
  ASSERT_NO_FATAL_FAILURE(PlugRadar(6));
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowSettings([&](TSettingsForm& f) {
    EXPECT_NE(f.LabelRadarType->Caption(), QStringLiteral("Unknown"));
    EXPECT_TRUE(f.SpeedButtonSwitchOn->Enabled());
    ASSERT_FALSE(f.st->GetAdvanceStacking()) << "firmware 6 stacks flat, whatever the empty slots";
    EXPECT_TRUE(f.FlatSteckingPanel->Visible());
    EXPECT_FALSE(f.AdvancedStackingPanel->Visible());

    f.TrackBarStacking->SetPosition(1);
    EXPECT_EQ(f.st->GetStacking(), 64);
    EXPECT_EQ(f.LabelStacking->Caption(), QStringLiteral("64"));
    for (TChart* chart : f.ChartAmp_) {
      EXPECT_DOUBLE_EQ(chart->BottomAxis()->Minimum(), -8388544);
      EXPECT_DOUBLE_EQ(chart->BottomAxis()->Maximum(), 8388544);
      EXPECT_DOUBLE_EQ(chart->TopAxis()->Minimum(), -4.096);
      EXPECT_DOUBLE_EQ(chart->TopAxis()->Maximum(), 4.096);
    }
    f.TrackBarStacking->SetPosition(64);
    EXPECT_EQ(f.st->GetStacking(), 1);

    // Samples: 1000 at OverStep 1, 200 at 5, no further either way.
    while (f.st->GetOverStep() > 1) UserClick(*f.NumSamplesUp);
    EXPECT_EQ(f.LabelNumSamples->Caption(), QStringLiteral("1000"));
    EXPECT_EQ(f.PRFLabel->Caption(), QStringLiteral("27.19"));
    UserClick(*f.NumSamplesUp);
    EXPECT_EQ(f.st->GetOverStep(), 1);
    for (int i = 0; i < 4; ++i) UserClick(*f.NumSamplesDown);
    EXPECT_EQ(f.st->GetOverStep(), 5);
    EXPECT_EQ(f.LabelNumSamples->Caption(), QStringLiteral("200"));
    EXPECT_EQ(f.Series->Count(), 200) << "the preview holds one point per sample";
    UserClick(*f.NumSamplesDown);
    EXPECT_EQ(f.st->GetOverStep(), 5);
    EXPECT_EQ(window->GetView2DByIndx(0)->Settings()->GetLongTrace(), 200);
  });
}

TEST_F(SettingsWindow, WheelMultiplierTriggerModesAndTopoDevice) {
  ASSERT_NO_FATAL_FAILURE(PlugRadar(19));
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowSettings([&](TSettingsForm& f) {
    Key(f, VK_F1 + 8);  // External
    ASSERT_TRUE(f.GroupBoxOdometer->Visible());
    ASSERT_NE(f.st->GetTopoType(), ttNil);
    const auto up = [&](bool shift) {
      if (shift) f.MultOdometrUp->OnMouseDown(f.MultOdometrUp, mbLeft, TShiftState{ssShift}, 3, 3);
      else UserClick(*f.MultOdometrUp);
      return f.st->GetWheelMult();
    };
    const auto down = [&](bool shift) {
      if (shift) f.MultOdometrDown->OnMouseDown(f.MultOdometrDown, mbLeft, TShiftState{ssShift}, 3, 3);
      else UserClick(*f.MultOdometrDown);
      return f.st->GetWheelMult();
    };
    f.st->SetWheelMult(99);
    EXPECT_EQ(up(false), 99);
    EXPECT_EQ(up(true), 99);
    f.st->SetWheelMult(1);
    EXPECT_EQ(down(false), 1);
    EXPECT_EQ(up(true), 11);
    f.st->SetWheelMult(10);
    EXPECT_EQ(down(true), 10);
    EXPECT_EQ(down(false), 9);
    EXPECT_EQ(f.LabelOdometer->Caption(),
              QString::number(settings_window::StepDistanceMm(9, f.st->GetWheelStep())));

    // A topo device from its menu, then Internal and External again: it comes back.
    f.TopoItems[ttOdometerB]->Click();
    EXPECT_EQ(f.st->GetTopoType(), ttOdometerB);
    EXPECT_DOUBLE_EQ(f.st->GetWheelStep(), 11.0);
    EXPECT_TRUE(f.TopoItems[ttOdometerB]->Checked());
    Key(f, VK_F1 + 7);  // Internal
    EXPECT_EQ(f.st->GetTopoType(), ttNil);
    EXPECT_FALSE(f.GroupBoxOdometer->Visible());
    EXPECT_EQ(window->GetView2DByIndx(0)->Settings()->GetRunMode(), rmCont);
    Key(f, VK_F1 + 8);  // External
    EXPECT_EQ(f.st->GetTopoType(), ttOdometerB);
    EXPECT_DOUBLE_EQ(f.st->GetWheelStep(), 11.0);
    EXPECT_TRUE(f.GroupBoxOdometer->Visible());
    EXPECT_EQ(f.TriggerModeSpeedButton->Caption(), QStringLiteral("Trigger Mode:\nExt"));
  });
}

TEST_F(SettingsWindow, SingleTriggerStopsThePreviewAfterOneTrace) {
  ASSERT_NO_FATAL_FAILURE(PlugRadar(19));
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowSettings([&](TSettingsForm& f) {
    Key(f, VK_F1 + 6);  // Single
    ASSERT_TRUE(f.SpeedButtonSwitchOn->Enabled());
    UserClick(*f.SpeedButtonSwitchOn);
    ASSERT_TRUE(f.SpeedButtonSwitchOn->Down());
    EXPECT_EQ(f.SpeedButtonSwitchOn->Caption(), QStringLiteral("Stop"));
    ASSERT_TRUE(ServeUntil([&] { return f.PreviewRefills(0) >= 1; }));
    EXPECT_FALSE(f.SpeedButtonSwitchOn->Down()) << "one trace per Start";
    EXPECT_EQ(f.SpeedButtonSwitchOn->Caption(), QStringLiteral("Start"));
    EXPECT_EQ(f.Series->Count(), settings_window::PreviewSampleCount(1026, f.st->GetLongTrace()));
    EXPECT_EQ(f.Series->ValueColor(0), TSettingsForm::TraceColor);
    EXPECT_GE(sim->Engine().CountReceived(bcpStop), 1u);
  });
  EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), 0) << "the preview records nothing";
}

TEST_F(SettingsWindow, ABurstOfTracesRefillsTheSeriesEachTimeAndPaintsTheChartOnce) {
  ASSERT_NO_FATAL_FAILURE(PlugRadar(19));
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowSettings([&](TSettingsForm& f) {
    Application->ProcessMessages();
    int paints = 0;
    f.ChartAmp->OnAfterDraw = [&](TObject*) { ++paints; };
    const int before = f.PreviewRefills(0);
    for (int i = 0; i < 20; ++i) PostMessage(f.Handle(), WM_PAINTLASTTRACE, 1026, 0);
    // A channel outside the five is ignored.
    PostMessage(f.Handle(), WM_PAINTLASTTRACE, 1026, 5);
    PostMessage(f.Handle(), WM_PAINTLASTTRACE, 1026, -1);
    Application->ProcessMessages();
    Application->ProcessMessages();
    EXPECT_EQ(f.PreviewRefills(0) - before, 20);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(f.Series->Count(), settings_window::PreviewSampleCount(1026, f.st->GetLongTrace()));
    f.ChartAmp->OnAfterDraw = nullptr;
  });
}

TEST_F(SettingsWindow, ASurveyWindowChangeWhileRunningRestartsTheRadarOnTheWire) {
  // The channels' setters restart a running radar themselves (Stop, LoadData,
  // Start); the window's own restart must follow them, also when the unit answers
  // slowly and the setters' start is still unanswered.
  struct TCase {
    uint16_t Firmware;
    int ReplyDelayMs;
  };
  for (const TCase c : {TCase{19, 0}, TCase{6, 0}, TCase{19, 150}}) {
    SCOPED_TRACE(testing::Message() << "firmware " << c.Firmware << ", replies after " << c.ReplyDelayMs << " ms");
    ASSERT_NO_FATAL_FAILURE(PlugRadar(c.Firmware, c.ReplyDelayMs));
    ASSERT_NO_FATAL_FAILURE(Start());
    ShowSettings([&](TSettingsForm& f) {
      Key(f, VK_F1 + 7);  // Internal
      Key(f, VK_F1 + 1);  // F2: the preview
      ASSERT_TRUE(f.SpeedButtonSwitchOn->Down());
      ASSERT_TRUE(ServeUntil([&] { return f.PreviewRefills(0) >= 3; }));
      const size_t mark = sim->Engine().Received().size();
      Key(f, VK_F1 + 3);  // F4: survey window 2
      EXPECT_EQ(f.st->GetSpanIndex(), 1);
      const std::vector<uint8_t> tail = c.Firmware >= 7
                                            ? std::vector<uint8_t>{bcpStop, bcpLoadData, bcpLoad_Steck_Curve, bcpStart}
                                            : std::vector<uint8_t>{bcpStop, bcpLoadData, bcpStart};
      const auto codesSinceMark = [&] {
        std::vector<uint8_t> codes;
        for (const auto& command : RestartCommandsSince(mark)) codes.push_back(command.Code);
        return codes;
      };
      const auto endsWithTail = [&] {
        const auto codes = codesSinceMark();
        return codes.size() >= tail.size() && std::equal(tail.begin(), tail.end(), codes.end() - static_cast<ptrdiff_t>(tail.size()));
      };
      // The unit's reader may still be taking the last command in.
      EXPECT_TRUE(ServeUntil(endsWithTail, std::chrono::seconds(10))) << [&] {
        QString all;
        for (const uint8_t code : codesSinceMark()) all += QString::number(code, 16) + u' ';
        return "the restart commands since the change: " + all.toStdString();
      }();
      const auto restart = RestartCommandsSince(mark);
      if (c.Firmware < 7) {
        const auto codes = codesSinceMark();
        EXPECT_EQ(std::count(codes.begin(), codes.end(), bcpLoad_Steck_Curve), 0);
      }
      ASSERT_FALSE(restart.empty());
      ASSERT_FALSE(restart.back().Params.empty());
      EXPECT_EQ(restart.back().Params[0], rmCont) << "the start carries the run mode";
      Key(f, VK_F1 + 1);  // F2: off
      EXPECT_FALSE(f.SpeedButtonSwitchOn->Down());
    });
    TearDown();
    SetUp();
  }
}

TEST_F(SettingsWindow, ThePlaceRoundTripsThroughTheSettingsFile) {
  ASSERT_NO_FATAL_FAILURE(Start());
  // Defaults without a section.
  EXPECT_EQ(form->Left(), 20);
  EXPECT_EQ(form->Top(), 20);
  EXPECT_EQ(form->Width(), 806) << "550 by default, widened to the window's minimum";
  EXPECT_EQ(form->Height(), 640) << "440 by default, raised to the window's minimum";
  form->SetBounds(33, 44, 900, 700);
  form->Free();
  TCustomIniFile* ini = MainWindow->MainIni();
  EXPECT_EQ(ini->ReadInteger(QStringLiteral("Settingspos"), QStringLiteral("left"), 0), 33);
  EXPECT_EQ(ini->ReadInteger(QStringLiteral("Settingspos"), QStringLiteral("top"), 0), 44);
  EXPECT_EQ(ini->ReadInteger(QStringLiteral("Settingspos"), QStringLiteral("width"), 0), 900);
  EXPECT_EQ(ini->ReadInteger(QStringLiteral("Settingspos"), QStringLiteral("height"), 0), 700);
  EXPECT_EQ(ini->ReadInteger(QStringLiteral("Settingspos"), QStringLiteral("WindowState"), -1), 0);
  TSettingsForm* again = nullptr;
  Application->CreateForm(again);
  EXPECT_EQ(again->Left(), 33);
  EXPECT_EQ(again->Top(), 44);
  EXPECT_EQ(again->Width(), 900);
  EXPECT_EQ(again->Height(), 700);
}

TEST_F(SettingsWindow, OffsetsCommentsAndStackingEditsKeepToTheirLimits) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowSettings([&](TSettingsForm& f) {
    f.XOffsetDigitEdit->SetValueReal(1.5);
    f.XOffsetDigitEdit->OnChangeFinish(f.XOffsetDigitEdit);
    EXPECT_EQ(window->DeviceX(), 150000);
    f.YOffsetDigitEdit->SetValueReal(2000000);
    f.YOffsetDigitEdit->OnChangeFinish(f.YOffsetDigitEdit);
    EXPECT_EQ(window->DeviceY(), 2147483647) << "the edit keeps within the stored field";
    f.MemoComments->SetText(QString(300, u'c'));
    EXPECT_EQ(f.st->GetComments().size(), 250);
    EXPECT_EQ(f.MemoComments->Text().size(), 250);
    f.StackingVolumeDigitEdit->SetMinVal(-5);
    f.StackingVolumeDigitEdit->SetValueInt(0);
    f.StackingVolumeDigitEdit->OnChangeFinish(f.StackingVolumeDigitEdit);
    EXPECT_EQ(f.st->GetStackingVolume(), 1);
    EXPECT_EQ(f.StackingVolumeDigitEdit->ValueInt(), 1);
    // Advanced stacking: the preview gain from the table.
    f.StackingVolumeDigitEdit->SetValueInt(20);
    f.StackingVolumeDigitEdit->OnChangeFinish(f.StackingVolumeDigitEdit);
    settings_window::TGainArray expected;
    settings_window::FillGain(expected, true, f.st->GetStacking(), f.st->SteckingArray, f.st->GetSteckingLength(),
                              settings_window::SamplesFromOverStep(f.st->GetOverStep()));
    EXPECT_EQ(f.Gain, expected);
    EXPECT_GT(f.Gain[0], 1.0) << "the first samples are stacked least";
    EXPECT_EQ(f.GainSeries->Count(), f.st->GetSteckingLength());
  });
}

TEST_F(SettingsWindow, AScreenshotOfTheShownWindow) {
  ASSERT_NO_FATAL_FAILURE(PlugRadar(19));
  ASSERT_NO_FATAL_FAILURE(Start());
  const QString file = program.filePath(QStringLiteral("settings_window.png"));
  ShowSettings([&](TSettingsForm& f) {
    f.Panel3Click();  // the whole settings panel
    EXPECT_EQ(f.Panel3->Caption(), QStringLiteral("<"));
    EXPECT_EQ(f.ClientWidth(), std::max(880, f.MinWidth() - (f.Width() - f.ClientWidth())));
    ASSERT_TRUE(SaveControlImagePng(f, file));
    f.Panel3Click();
    EXPECT_EQ(f.Panel3->Caption(), QStringLiteral(">"));
    EXPECT_EQ(f.Panel1->Width(), f.CollapsedPanelWidth());
  });
  QFile png(file);
  ASSERT_TRUE(png.open(QIODevice::ReadOnly));
  EXPECT_EQ(png.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
}

}  // namespace settings_form_test
