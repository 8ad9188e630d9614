// The acquisition program started in this process with the word `create`, as
// the settings window's tests need it: its own program folder with a survey
// folder, the prefix "set_" and counter 3, optionally a radar unit on a
// pseudo-terminal found at start, and the settings window shown modally with a
// piece of work done while it is shown. The start-up's long-lived dialogs go
// with the program at the end.
#pragma once

#include "acquisition/main_form.h"
#include "acquisition/program_startup.h"
#include "acquisition/settings_form.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/menus.h"
#include "radar/online_background_removal_form.h"
#include "radar/online_gain_form.h"
#include "radar/online_wavelet_form.h"
#include "radar/radar.h"
#include "radargram/view2d_form.h"
#include "tests/acquisition/program_folders.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace settings_window_fixture {


// Frees the application's forms of type T (the start-up's long-lived dialogs).
template <typename T>
void FreeForms() {
  for (int i = Application->ComponentCount() - 1; i >= 0; --i)
    if (auto* form = dynamic_cast<T*>(Application->Components(i))) form->Free();
}

// The long-lived dialogs the start-up makes, which outlive the main window.
inline void FreeStartupForms() {
  FreeForms<TSettingsForm>();
  FreeForms<TOnlineTVGCForm>();
  FreeForms<TOnlineWindowedBackgroundRemovalForm>();
  FreeForms<TOnlineWaveletForm>();
}

// A user's click on a control.
inline void UserClick(TControl& control) {
  SendMouse(control, maPress, mbLeft, true, false, 3, 3);
  SendMouse(control, maRelease, mbLeft, false, false, 3, 3);
}

inline void Key(TSettingsForm& form, WORD key) { form.OnKeyDown(&form, key, TShiftState{}); }

class TSettingsWindowTest : public testing::Test, protected TProgramFolders {
protected:
  void SetUp() override {
    ASSERT_TRUE(EnterProgramFolders());
    data = program.path() + QStringLiteral("/surveys/");
    ASSERT_TRUE(QDir().mkpath(data));
    TMemIniFile ini(MainIniFileName());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), QString());
    ini.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), data);
    ini.WriteString(QStringLiteral("General"), QStringLiteral("PrefixFiles"), QStringLiteral("set_"));
    ini.WriteInteger(QStringLiteral("General"), QStringLiteral("CountFiles"), 3);
    ini.UpdateFile();
  }
  void TearDown() override {
    if (MainWindow) MainWindow->Free();
    FreeStartupForms();
    TDialogScript::Reset();
    SetNewViewChannalCount(1);
    sim.reset();
    LeaveProgramFolders();
  }
  // A radar unit with this configuration on a pseudo-terminal, found at start.
  void PlugRadar(const radarsim::TSimConfig& config) {
    sim = std::make_unique<radarsim::TPtyRadarSim>(config);
    ASSERT_TRUE(sim->Ok());
    tree.AddUsbSerial(1, QStringLiteral("ttyACM0"), 0xc251, 0x9705, QStringLiteral("Radar"),
                      QString::fromStdString(sim->SlavePath()));
  }
  // The program with its recording window; the radar ready when one is plugged.
  void Start() {
    StartAcquisitionProgram({QStringLiteral("create")}, 0);
    ASSERT_NE(MainWindow, nullptr);
    window = MainWindow->CurChild();
    ASSERT_NE(window, nullptr);
    form = SettingsForm;
    ASSERT_NE(form, nullptr);
    if (sim) ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() && MainWindow->CurrentRadar()->ready; }));
  }
  // The window shown modally by `item` (the main window's "GPR settings" when
  // none); `work` runs while it is shown, then it closes with OK.
  void ShowSettings(const std::function<void(TSettingsForm&)>& work, TMenuItem* item = nullptr) {
    bool ran = false;
    TDialogScript::QueueModal([&](TForm& shown) {
      ran = true;
      ASSERT_EQ(&shown, form);
      EXPECT_TRUE(form->Shown());
      work(*form);
      form->SetModalResult(mrOk);
    });
    (item ? item : MainWindow->GprSettingsMenuItem)->Click();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(form->Shown());
  }

  QString data;
  std::unique_ptr<radarsim::TPtyRadarSim> sim;
  TView2DForm* window = nullptr;
  TSettingsForm* form = nullptr;
};

}  // namespace settings_window_fixture
