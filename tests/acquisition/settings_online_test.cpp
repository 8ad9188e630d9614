// The settings window's "Tools online" as the program starts it (in this
// process, offscreen, its own program folder): the switches reach every
// channel's online stage and the settings file, a double click and the stage
// dialogs work on the selected channel only, the gain calibration runs through
// the preview of a simulated radar on a pseudo-terminal and ends with the gain
// curve, the chain tools and the zero offset sent on the wire, and the stages
// become the radargram window's chain with numbered captions.

#include "acquisition/main_form.h"
#include "acquisition/main_ini.h"
#include "acquisition/program_startup.h"
#include "acquisition/settings_form.h"
#include "acquisition/settings_online.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/check_list_box.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/adv_track_bar.h"
#include "radar/online_background_removal_form.h"
#include "radar/online_gain_form.h"
#include "radar/online_stages.h"
#include "radar/online_wavelet_form.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radargram/chain_tool.h"
#include "radargram/tool_chain_library.h"
#include "radargram/view2d_form.h"
#include "tests/acquisition/settings_window_fixture.h"
#include "tests/support/qstring_print.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace settings_online_test {

using settings_window_fixture::FreeForms;
using settings_window_fixture::Key;
using settings_window_fixture::UserClick;

TOnlineStageSet& StagesOf(TView2DForm& window, int c) {
  TOnlineStageSet* stages = settings_online::StagesOf(window.GetView2DByIndx(c));
  EXPECT_NE(stages, nullptr) << c;
  return *stages;
}

// The chain's nodes: caption and registry name of each tool, top to bottom.
std::vector<std::pair<QString, QString>> Chain(const TView2DForm& window) {
  std::vector<std::pair<QString, QString>> chain;
  const TTreeNodes* items = window.ToolsTreeView->Items();
  for (int i = 0; i < items->TopCount(); ++i)
    if (const IChainTool* tool = TView2DForm::ToolOfNode(items->Top(i)))
      chain.emplace_back(tool->GetCaption(), tool->GetToolName());
  return chain;
}

class SettingsOnline : public settings_window_fixture::TSettingsWindowTest {
protected:
  void PlugRadar(uint16_t zeroOffset, int traceIntervalMs = 2) {
    radarsim::TSimConfig config;
    config.Firmware = 19;
    config.DeviceType = 8;  // a single-channel box
    config.TraceIntervalMs = traceIntervalMs;
    config.ZeroOffset = zeroOffset;
    TSettingsWindowTest::PlugRadar(config);
  }
  // A recording window of five channels (no radar).
  void FiveChannels() {
    MainWindow->SetCountRadarFromMaster(5);
    SetNewViewChannalCount(5);
    MainWindow->CreateActionExecute();
    window = MainWindow->CurChild();
    ASSERT_NE(window, nullptr);
    for (int c = 0; c < 5; ++c) ASSERT_NE(window->GetView2DByIndx(c), nullptr) << c;
  }
};

TEST_F(SettingsOnline, ASwitchReachesEveryChannelAndTheSectionsOfItsSerialNumber) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(FiveChannels());
  ShowSettings([&](TSettingsForm& f) {
    // Channel 4 has no serial number (no radar gave it one): its stages have
    // no sections.
    for (int c = 0; c < 5; ++c) window->GetView2DByIndx(c)->Settings()->SetSerNum(c < 4 ? 7000 + c : 0);
    TCheckListBox& list = *f.OnlinePluginCheckListBox;
    EXPECT_EQ(list.Items(), QStringList({QStringLiteral("Wavelet"), QStringLiteral("Windowed Background Removal"),
                                         QStringLiteral("Gain")}));
    EXPECT_EQ(list.ItemHeight(), 29);
    EXPECT_EQ(f.sbGain->Hint(), QStringLiteral("Online Gain properties"));
    EXPECT_FALSE(f.flChangeOnLineFilter);
    f.SelectNumRadar = 2;
    f.st->SetOverStep(2);
    list.SetChecked(OnlinePluginBackgroundItem, true);
    list.SetChecked(OnlinePluginGainItem, true);
    ASSERT_TRUE(list.OnClickCheck);
    list.OnClickCheck(&list);
    for (int c = 0; c < 5; ++c) {
      SCOPED_TRACE(c);
      const TOnlineStageSet& stages = StagesOf(*window, c);
      EXPECT_FALSE(stages.Wavelet.Applay);
      EXPECT_TRUE(stages.WindowedBackgroundRemoval.Applay);
      EXPECT_TRUE(stages.TVGC.Applay);
    }
    // The switched channel's curve spans its 500 samples.
    EXPECT_EQ(StagesOf(*window, 2).TVGC.ListofBaseDots.GetHeight(), 500);
    EXPECT_TRUE(f.flChangeOnLineFilter);
    TMemIniFile ini(MainIniFileName());
    for (int c = 0; c < 4; ++c) {
      const QString ser = QString::number(7000 + c);
      EXPECT_TRUE(ini.ReadBool(QStringLiteral("WindowedBackgroundRemoval_") + ser, QStringLiteral("Applay"), false)) << c;
      EXPECT_TRUE(ini.ReadBool(QStringLiteral("TVGC_") + ser, QStringLiteral("Applay"), false)) << c;
      EXPECT_FALSE(ini.ReadBool(QStringLiteral("Wavelet_") + ser, QStringLiteral("Applay"), true)) << c;
    }
    for (const char* section : {"Comparator_0", "WindowedBackgroundRemoval_0", "Wavelet_0", "TVGC_0"})
      EXPECT_FALSE(ini.SectionExists(QLatin1String(section))) << section;
  });
  // Hidden after a switch: the stages became the chain, marks as Apply flags.
  const auto chain = Chain(*window);
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(chain[0].second, QStringLiteral("Wavelet Filter"));
  EXPECT_EQ(chain[2].second, QStringLiteral("TVGC"));
  EXPECT_TRUE(chain[2].first.endsWith(QLatin1Char('1')));
  EXPECT_TRUE(window->TlsNeedForSave);
}

TEST_F(SettingsOnline, ADoubleClickSwitchesTheSelectedChannelOnlyAndOpensItsItemsDialog) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(FiveChannels());
  ShowSettings([&](TSettingsForm& f) {
    TCheckListBox& list = *f.OnlinePluginCheckListBox;
    struct TCase {
      int item;
      std::function<bool(TForm&)> isItsDialog;
    };
    const TCase cases[] = {
        {OnlinePluginWaveletItem, [](TForm& d) { return dynamic_cast<TOnlineWaveletForm*>(&d) != nullptr; }},
        {OnlinePluginBackgroundItem,
         [](TForm& d) { return dynamic_cast<TOnlineWindowedBackgroundRemovalForm*>(&d) != nullptr; }},
        {OnlinePluginGainItem, [](TForm& d) { return dynamic_cast<TOnlineTVGCForm*>(&d) != nullptr; }},
    };
    for (const TCase& test : cases) {
      SCOPED_TRACE(test.item);
      for (int c = 0; c < 5; ++c) {
        TOnlineStageSet& stages = StagesOf(*window, c);
        stages.Wavelet.Applay = stages.WindowedBackgroundRemoval.Applay = stages.TVGC.Applay = false;
        stages.Comparator.Applay = true;
      }
      f.ChartAmpClick(f.ChartAmp_[3]);
      ASSERT_EQ(f.SelectNumRadar, 3);
      list.SetChecked(0, true);
      list.SetChecked(1, false);
      list.SetChecked(2, true);
      list.SetItemIndex(test.item);
      bool opened = false;
      TDialogScript::QueueModal([&](TForm& dialog) {
        opened = true;
        EXPECT_TRUE(test.isItsDialog(dialog));
        dialog.SetModalResult(mrCancel);
      });
      ASSERT_TRUE(list.OnDblClick);
      list.OnDblClick(&list);
      EXPECT_TRUE(opened);
      for (int c = 0; c < 5; ++c) {
        SCOPED_TRACE(c);
        const TOnlineStageSet& stages = StagesOf(*window, c);
        EXPECT_EQ(stages.Wavelet.Applay, c == 3);
        EXPECT_FALSE(stages.WindowedBackgroundRemoval.Applay);
        EXPECT_EQ(stages.TVGC.Applay, c == 3);
        EXPECT_EQ(stages.Comparator.Applay, c != 3);
      }
    }
  });
}

TEST_F(SettingsOnline, TheDialogsAreFilledFromAndApplyToTheSelectedChannel) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(FiveChannels());
  ShowSettings([&](TSettingsForm& f) {
    for (int c = 0; c < 5; ++c) StagesOf(*window, c).SetWidthWindow(100);
    StagesOf(*window, 2).SetWidthWindow(37);
    StagesOf(*window, 2).WindowedBackgroundRemoval.Applay = true;
    StagesOf(*window, 2).Wavelet.Timescale = 2.5L;
    f.ChartAmpClick(f.ChartAmp_[2]);
    f.flChangeOnLineFilter = false;
    bool opened = false;
    TDialogScript::QueueModal([&](TForm& shown) {
      opened = true;
      auto* dialog = dynamic_cast<TOnlineWindowedBackgroundRemovalForm*>(&shown);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->FParametrsWindowedBackgroundRemoval.pWidthWindow, 37);
      EXPECT_TRUE(dialog->FParametrsWindowedBackgroundRemoval.pApplay);
      dialog->WidthWindowTrackBar->SetPosition(57);
      EXPECT_EQ(StagesOf(*window, 2).WindowedBackgroundRemoval.WidthWindow, 57) << "applied while open";
      EXPECT_EQ(StagesOf(*window, 0).WindowedBackgroundRemoval.WidthWindow, 100);
      dialog->SetModalResult(mrCancel);
    });
    UserClick(*f.sbWindowedBackgroundRemoval);
    ASSERT_TRUE(opened);
    EXPECT_FALSE(f.flChangeOnLineFilter) << "only an accepted dialog counts as a change";

    opened = false;
    TDialogScript::QueueModal([&](TForm& shown) {
      opened = true;
      auto* dialog = dynamic_cast<TOnlineWaveletForm*>(&shown);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->FParametrsWavelet.pTimescale, 2.5L);
      dialog->SetModalResult(mrCancel);
    });
    UserClick(*f.sbWavelet);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(f.flChangeOnLineFilter) << "the wavelet dialog counts whatever its result";
  });
}

TEST_F(SettingsOnline, CopyingTheStagesNumbersATool) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(FiveChannels());
  IToolChainLibrary* library = ToolChainLibrary();
  ASSERT_NE(library, nullptr);
  const std::array<T2Dview*, 5> views = settings_online::ChannelsOf(window);
  // Appending to a chain that holds a gain tool numbers the new one 2.
  ASSERT_NE(settings_online::AppendOnlineTool(*window, library->GetTool(QStringLiteral("TVGC"), views)), nullptr);
  ASSERT_NE(settings_online::AppendOnlineTool(*window, library->GetTool(QStringLiteral("TVGC"), views)), nullptr);
  const QString gain = library->GetTool(QStringLiteral("TVGC"), views)->GetCaption();
  auto chain = Chain(*window);
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0].first, gain + QStringLiteral("1"));
  EXPECT_EQ(chain[1].first, gain + QStringLiteral("2"));
  EXPECT_EQ(window->CurrentItem, window->ToolsTreeView->Items()->Top(1));

  // The whole copy replaces the chain; each tool takes each channel's stage.
  StagesOf(*window, 1).SetWidthWindow(42);
  window->TlsNeedForSave = false;
  EXPECT_EQ(settings_online::CopyOnlineToTools(*window, {false, true, false}), 3);
  chain = Chain(*window);
  ASSERT_EQ(chain.size(), 3u);
  const std::array<QString, 3> names = {QStringLiteral("Wavelet Filter"), QStringLiteral("Background Remover with Window"),
                                        QStringLiteral("TVGC")};
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(chain[i].second, names[i]);
    EXPECT_EQ(chain[i].first, library->GetTool(names[i], views)->GetCaption() + QStringLiteral("1"));
  }
  EXPECT_TRUE(window->TlsNeedForSave);
  // Back into the stages: channel 1 keeps its width, the marks its switches.
  for (int c = 0; c < 5; ++c) {
    TOnlineStageSet& stages = StagesOf(*window, c);
    stages.SetWidthWindow(5);
    stages.WindowedBackgroundRemoval.Applay = false;
    stages.TVGC.Applay = true;
  }
  // "Copy to online tools" through the main window: the marks follow only
  // when asked for all three.
  TCheckListBox& marks = *form->OnlinePluginCheckListBox;
  for (int i = 0; i < 3; ++i) marks.SetChecked(i, i != 1);
  MainWindow->Sinchronize3ToolsToOnline(*window, false);
  EXPECT_TRUE(marks.Checked(0));
  EXPECT_FALSE(marks.Checked(1));
  EXPECT_EQ(StagesOf(*window, 1).WindowedBackgroundRemoval.WidthWindow, 42);
  for (int c = 0; c < 5; ++c) {
    EXPECT_TRUE(StagesOf(*window, c).WindowedBackgroundRemoval.Applay) << c;
    EXPECT_FALSE(StagesOf(*window, c).TVGC.Applay) << c;
  }
  MainWindow->Sinchronize3ToolsToOnline(*window, true);
  EXPECT_FALSE(marks.Checked(0));
  EXPECT_TRUE(marks.Checked(1));
  EXPECT_FALSE(marks.Checked(2));
}

TEST_F(SettingsOnline, AGainCalibrationRunsThroughThePreviewAndSendsTheZeroOffset) {
  ASSERT_NO_FATAL_FAILURE(PlugRadar(30000));
  ASSERT_NO_FATAL_FAILURE(Start());
  QFile::remove(ProgramFolder() + QStringLiteral("stcl"));
  ShowSettings([&](TSettingsForm& f) {
    Key(f, VK_F1 + 7);  // Internal
    Key(f, VK_F1 + 1);  // F2: the preview
    ASSERT_TRUE(f.SpeedButtonSwitchOn->Down());
    ASSERT_TRUE(ServeUntil([&] { return f.PreviewRefills(0) >= 3; }));
    ASSERT_TRUE(f.StartCalibrationSpeedButton->Enabled());
    const size_t mark = sim->Engine().Received().size();
    UserClick(*f.StartCalibrationSpeedButton);
    ASSERT_TRUE(f.StartCalibrationGain);
    // The preview was switched off and on again (the unit's reader may still be
    // taking the start in), and its button is hidden.
    EXPECT_TRUE(sim->Engine().WaitUntil([mark](const radarsim::TRadarSimEngine& e) {
      const auto received = e.Received();
      std::vector<uint8_t> codes;
      for (size_t i = mark; i < received.size(); ++i) codes.push_back(received[i].Code);
      const auto stop = std::find(codes.begin(), codes.end(), uint8_t{bcpStop});
      return stop != codes.end() && std::find(stop, codes.end(), uint8_t{bcpStart}) != codes.end();
    }));
    EXPECT_TRUE(f.SpeedButtonSwitchOn->Down());
    EXPECT_FALSE(f.SpeedButtonSwitchOn->Visible());
    EXPECT_TRUE(f.ProgressPanel->Visible());
    EXPECT_TRUE(f.ProgressImage->Animate() && f.ProgressImage->FrameCount() > 1) << "the panel shows it is busy";
    EXPECT_EQ(f.StartCalibrationSpeedButton->Caption(), QStringLiteral("Stop calibration"));
    EXPECT_TRUE(f.OnlinePluginCheckListBox->Checked(0));
    EXPECT_TRUE(f.OnlinePluginCheckListBox->Checked(1));
    EXPECT_FALSE(f.OnlinePluginCheckListBox->Checked(2));

    TOnlineStageSet& stages = StagesOf(*window, 0);
    ASSERT_TRUE(ServeUntil([&] { return !f.StartCalibrationGain; }, std::chrono::seconds(60)));
    // Stopped by itself: at most 60 collected traces, fewer on convergence.
    EXPECT_GE(stages.GainCalibration.NumTraces, 1);
    EXPECT_LE(stages.GainCalibration.NumTraces, 60);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+ \\(\\d+%\\)$"))
                    .match(f.TracesCalibrationLabel->Caption())
                    .hasMatch())
        << f.TracesCalibrationLabel->Caption().toStdString();
    EXPECT_FALSE(f.SpeedButtonSwitchOn->Down());
    EXPECT_TRUE(f.SpeedButtonSwitchOn->Visible());
    EXPECT_FALSE(f.ProgressPanel->Visible());
    EXPECT_FALSE(f.ProgressImage->Animate());
    EXPECT_FALSE(f.StartCalibrationSpeedButton->Down());
    EXPECT_EQ(f.StartCalibrationSpeedButton->Caption(), QStringLiteral("Start calibration"));
    EXPECT_TRUE(f.OnlinePluginCheckListBox->Checked(2));
    EXPECT_TRUE(stages.TVGC.Applay);
    EXPECT_GT(stages.TVGC.ListofBaseDots.GetCount(), 0);
    const auto chain = Chain(*window);
    ASSERT_EQ(chain.size(), 3u);
    EXPECT_EQ(chain[0].second, QStringLiteral("Wavelet Filter"));
    EXPECT_EQ(chain[1].second, QStringLiteral("Background Remover with Window"));
    EXPECT_EQ(chain[2].second, QStringLiteral("TVGC"));
    EXPECT_TRUE(QFile::exists(ProgramFolder() + QStringLiteral("stcl"))) << "the last-used set";
    // The collected copies are gone.
    const T2Dview& store = *window->GetView2DByIndx(0);
    EXPECT_EQ(store.NumTraces(), 0);
    EXPECT_EQ(store.SizeDat(), 0);
    EXPECT_EQ(store.IndexTraces.Count(), 0);
    EXPECT_TRUE(store.RawData.Empty());
    // The new zero offset on the wire: 16, high byte, low byte.
    const TRadar* radar = MainWindow->CurrentRadar();
    ASSERT_TRUE(sim->Engine().WaitUntil([](const radarsim::TRadarSimEngine& e) { return e.CountReceived(bcpSetZeroOffset) > 0; }));
    std::vector<uint8_t> params;
    for (const auto& command : sim->Engine().Received())
      if (command.Code == bcpSetZeroOffset) params = command.Params;
    ASSERT_EQ(params.size(), 3u);
    EXPECT_EQ(params[0], 16);
    const int sent = params[1] * 256 + params[2];
    EXPECT_EQ(sent, radar->ZeroOffset());
    EXPECT_GE(sent, 1);
    EXPECT_LE(sent, 63999);
    EXPECT_EQ(sent, 30000 - stages.DeviceOffset.FinishDeviceOffset) << "moved by the measured level";
  });
}

TEST_F(SettingsOnline, ACalibrationStoppedBeforeAnyTraceMakesNothing) {
  ASSERT_NO_FATAL_FAILURE(PlugRadar(30000));
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowSettings([&](TSettingsForm& f) {
    Key(f, VK_F1 + 7);  // Internal
    TOnlineStageSet& stages = StagesOf(*window, 0);
    const int dots = stages.TVGC.ListofBaseDots.GetCount();
    const int32_t zero = window->GetView2DByIndx(0)->Settings()->GetNullShift();
    f.StartCalibrationSpeedButtonClick();
    ASSERT_TRUE(f.StartCalibrationGain);
    f.StartCalibrationSpeedButtonClick();
    EXPECT_FALSE(f.StartCalibrationGain);
    EXPECT_FALSE(f.SpeedButtonSwitchOn->Down());
    EXPECT_EQ(stages.TVGC.ListofBaseDots.GetCount(), dots);
    EXPECT_EQ(window->GetView2DByIndx(0)->Settings()->GetNullShift(), zero);
    EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), 0);
    ServeUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(sim->Engine().CountReceived(bcpSetZeroOffset), 0u);
  });
}

TEST_F(SettingsOnline, ClosingDuringACalibrationNeedsThePreviewOnAndDropsTheCollectedTraces) {
  // Slow traces: the message loop comes back between them.
  ASSERT_NO_FATAL_FAILURE(PlugRadar(30000, 20));
  ASSERT_NO_FATAL_FAILURE(Start());
  ShowSettings([&](TSettingsForm& f) {
    Key(f, VK_F1 + 7);  // Internal
    f.MenuRun->Click();  // the preview
    ASSERT_TRUE(ServeUntil([&] { return f.PreviewRefills(0) >= 3; }));
    // A long background window keeps the calibration waiting.
    StagesOf(*window, 0).SetWidthWindow(300);
    UserClick(*f.StartCalibrationSpeedButton);
    ASSERT_TRUE(f.StartCalibrationGain);
    ASSERT_TRUE(ServeUntil([&] { return window->GetView2DByIndx(0)->NumTraces() >= 3; }));
    f.MenuRun->Click();  // the preview off
    ASSERT_FALSE(f.SpeedButtonSwitchOn->Down());
    bool canClose = true;
    f.FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    f.MenuRun->Click();  // on again
    ASSERT_TRUE(f.SpeedButtonSwitchOn->Down());
    ASSERT_TRUE(f.StartCalibrationGain);
  });
  // Closed with the preview on: allowed, and nothing of the calibration stays.
  EXPECT_FALSE(form->Shown());
  EXPECT_FALSE(form->StartCalibrationGain);
  EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), 0);
  EXPECT_EQ(window->GetView2DByIndx(0)->IndexTraces.Count(), 0);
}

}  // namespace settings_online_test
