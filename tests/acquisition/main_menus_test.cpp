// The main window's menus: which commands the open windows, the active one and
// the radar allow (and that this follows a change of the active window by
// itself), the Language menu, the window commands and zoom.

#include "acquisition/main_form.h"

#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/language_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/menus.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/radar.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"
#include "tests/support/fake_device_tree.h"
#include "tests/support/qstring_print.h"
#include "tests/support/radarsim/sim_links.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace main_menus_test {

class MainMenus : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(runtime.isValid());
    RasterLibraryStartup();
    SetProgramFolder(dir.path() + u'/');
    SetIpcRuntimeFolder(runtime.path());
    SetDeviceRoots(tree.Roots());
    data = dir.path() + QStringLiteral("/data/");
    ASSERT_TRUE(QDir().mkpath(data));
  }
  void TearDown() override {
    if (MainWindow) MainWindow->Free();
    TDialogScript::Reset();
    SetDeviceRoots({});
    SetIpcRuntimeFolder({});
    SetProgramFolder(QString());
  }
  // The main window with its own settings; a Wi-Fi radar at `port` when given.
  void Start(const QString& port = QString()) {
    TMemIniFile ini(MainIniFileName());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), port.isEmpty() ? QString() : QStringLiteral("127.0.0.1"));
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("port"), port);
    ini.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), data);
    ini.WriteString(QStringLiteral("General"), QStringLiteral("PrefixFiles"), QStringLiteral("m_"));
    ini.WriteInteger(QStringLiteral("General"), QStringLiteral("CountFiles"), 1);
    ini.UpdateFile();
    CreateMainWindow();
    ASSERT_NE(MainWindow, nullptr);
  }
  // A recording window with three traces, saved; its file.
  QString SavedProfile() {
    MainWindow->CreateActionExecute();
    TView2DForm* window = MainWindow->CurChild();
    EXPECT_NE(window, nullptr);
    if (!window) return {};
    T2Dview* first = window->GetView2DByIndx(0);
    std::vector<int32_t> samples(static_cast<size_t>(first->Settings()->GetLongTrace()), 5);
    for (int i = 0; i < 3; ++i) first->AppendTrace(samples.data(), static_cast<int32_t>(samples.size()), {});
    first->PackTraces();
    first->SetNeedForSave(true);
    first->Settings()->NewFile = false;
    EXPECT_TRUE(MainWindow->SaveActionExecute());
    return window->Caption();
  }
  static TView2DForm* Active() { return dynamic_cast<TView2DForm*>(MainWindow->ActiveMDIChild()); }

  QTemporaryDir dir;
  QTemporaryDir runtime;
  TFakeDeviceTree tree;
  QString data;
};

// The states the menus show, for one situation.
struct TShown {
  bool save, zoom, direction, language, settings, presets, start, binding;
};

TShown Shown() {
  const DUvova3DuruZuza& w = *MainWindow;
  const TMainCommands& c = w.Commands;
  // The menu items show the command states.
  EXPECT_EQ(w.SaveMenuItem->Enabled(), c.SaveEnabled);
  EXPECT_EQ(w.SaveAsMenuItem->Enabled(), c.SaveAsEnabled);
  EXPECT_EQ(w.PrintMenuItem->Enabled(), c.PrintEnabled);
  EXPECT_EQ(w.ExportMenu->Enabled(), c.ExportEnabled);
  EXPECT_EQ(w.ZoomInMenuItem->Enabled(), c.ZoomEnabled);
  EXPECT_EQ(w.ZoomOutMenuItem->Enabled(), c.ZoomEnabled);
  EXPECT_EQ(w.GprSettingsMenuItem->Enabled(), c.GprSettingsEnabled);
  EXPECT_EQ(w.RunMenuItem->Enabled(), c.RunEnabled);
  EXPECT_EQ(w.SnapMenuItem->Enabled(), w.BindingActionEnabled);
  EXPECT_EQ(w.LanguageMenu->Visible(), c.LanguageVisible);
  return {c.SaveEnabled && c.SaveAsEnabled && c.PrintEnabled && c.ExportEnabled,
          c.ZoomEnabled,
          c.DirectionEnabled,
          c.LanguageVisible,
          c.GprSettingsEnabled,
          c.GprPresetsEnabled,
          c.RunEnabled,
          w.BindingActionEnabled};
}

void ExpectShown(const TShown& want, const char* situation) {
  SCOPED_TRACE(situation);
  const TShown got = Shown();
  EXPECT_EQ(got.save, want.save);
  EXPECT_EQ(got.zoom, want.zoom);
  EXPECT_EQ(got.direction, want.direction);
  EXPECT_EQ(got.language, want.language);
  EXPECT_EQ(got.settings, want.settings);
  EXPECT_EQ(got.presets, want.presets);
  EXPECT_EQ(got.start, want.start);
  EXPECT_EQ(got.binding, want.binding);
}

TEST_F(MainMenus, CommandStatesFollowTheWindowsTheActiveOneAndTheRadar) {
  radarsim::TSimConfig config;
  config.TraceLimit = 0;
  config.SerialNumber = 4242;
  config.DeviceType = 8;
  radarsim::TTcpRadarSim sim(config);
  ASSERT_TRUE(sim.Ok());
  ASSERT_NO_FATAL_FAILURE(Start(QString::number(sim.Port())));
  ASSERT_TRUE(ServeUntil([] { return MainWindow->CurrentRadar() && MainWindow->CurrentRadar()->ready; }));
  MainWindow->Updatemenu();
  //                  save   zoom   direct lang   settng preset start  bind
  ExpectShown({false, false, false, true, false, false, false, false}, "no window");

  // A window opened from a file, then a new recording window (no trace yet).
  const QString file = SavedProfile();
  ASSERT_FALSE(file.isEmpty());
  MainWindow->OpenFiles({file});
  TView2DForm* opened = Active();
  ASSERT_NE(opened, nullptr);
  ASSERT_TRUE(opened->GetView2DByIndx(0)->WasOpen);
  // Opening ran the update; the active window is the file's.
  EXPECT_EQ(MainWindow->CurChild(), opened);
  ExpectShown({true, true, false, false, false, false, false, false}, "a window opened from a file");
  MainWindow->CreateActionExecute();
  TView2DForm* recording = MainWindow->CurChild();
  ASSERT_NE(recording, nullptr);
  ASSERT_NE(recording, opened);
  ASSERT_FALSE(recording->GetView2DByIndx(0)->HoldsTraces());
  opened->Show();
  ASSERT_EQ(Active(), opened);

  // Activating the other window updates the menus by itself.
  recording->Show();
  ASSERT_EQ(Active(), recording);
  EXPECT_EQ(MainWindow->CurChild(), recording);
  ExpectShown({true, true, true, false, true, true, true, true}, "a recording window");
  // Out of range: no start and no binding.
  recording->AutOfRange = true;
  MainWindow->Updatemenu();
  ExpectShown({true, true, true, false, true, true, false, false}, "a recording window out of range");
  recording->AutOfRange = false;

  opened->Show();
  ASSERT_EQ(Active(), opened);
  EXPECT_EQ(MainWindow->CurChild(), opened);
  ExpectShown({true, true, false, false, false, false, false, false}, "the file's window active again");
  for (TView2DForm* w : MainWindow->RadargramWindows()) w->Free();
  EXPECT_EQ(MainWindow->CurChild(), nullptr) << "the last window gone updates the menus";
  ExpectShown({false, false, false, true, false, false, false, false}, "every window closed");
}

TEST_F(MainMenus, TheLanguageMenuSwitchesAndChecksOnlyALanguageThatLoads) {
  {
    TMemIniFile module(LanguageModuleFileName(25));
    module.WriteString(QStringLiteral("Strings"), QStringLiteral("SPreferencesMenu"), QString::fromUtf8("Настройки"));
    module.UpdateFile();
  }
  ASSERT_NO_FATAL_FAILURE(Start());
  const int tags[] = {1033, 16, 7, 12, 34, 21, 1034, 2052, 1055, 25};
  ASSERT_EQ(MainWindow->LanguageMenu->Count(), 10);
  auto checked = [] {
    std::vector<intptr_t> ids;
    for (TMenuItem* item : MainWindow->LanguageItems)
      if (item->Checked()) ids.push_back(item->Tag());
    return ids;
  };
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(MainWindow->LanguageMenu->Items(i), MainWindow->LanguageItems[static_cast<size_t>(i)]);
    EXPECT_EQ(MainWindow->LanguageItems[static_cast<size_t>(i)]->Tag(), tags[i]);
  }
  EXPECT_EQ(checked(), std::vector<intptr_t>{1033});
  EXPECT_EQ(MainWindow->PreferencesMenu->Caption(), QStringLiteral("Preferences"));
  EXPECT_TRUE(MainWindow->GeneralPreferencesMenuItem->Enabled());

  // German has no module: nothing changes.
  MainWindow->LanguageItems[2]->Click();
  EXPECT_EQ(MainWindow->Language(), EnglishLocaleId);
  EXPECT_EQ(checked(), std::vector<intptr_t>{1033});

  MainWindow->LanguageItems[9]->Click();
  EXPECT_EQ(MainWindow->Language(), 25);
  EXPECT_EQ(checked(), std::vector<intptr_t>{25});
  EXPECT_EQ(MainWindow->PreferencesMenu->Caption(), QString::fromUtf8("Настройки"));
  EXPECT_EQ(ReadLanguageFile(), std::optional<int>(25));

  MainWindow->LanguageItems[0]->Click();
  EXPECT_EQ(checked(), std::vector<intptr_t>{1033});
  EXPECT_EQ(MainWindow->PreferencesMenu->Caption(), QStringLiteral("Preferences"));
}

TEST_F(MainMenus, WindowCommandsArrangeTheWindowsAndZoomStepsTheActiveOne) {
  ASSERT_NO_FATAL_FAILURE(Start());
  MainWindow->Show();
  MainWindow->SetBounds(0, 0, 1200, 900);
  Application->ProcessMessages();
  const QString file = SavedProfile();
  ASSERT_FALSE(file.isEmpty());
  MainWindow->OpenFiles({file, file});
  const std::vector<TView2DForm*> windows = MainWindow->RadargramWindows();
  ASSERT_EQ(windows.size(), 3u);
  // The Window menu lists them, the active one checked.
  ASSERT_EQ(MainWindow->WindowListItems.size(), 3u);
  int checkedItems = 0;
  for (TMenuItem* item : MainWindow->WindowListItems) {
    checkedItems += item->Checked();
    if (item->Checked()) EXPECT_EQ(item->Caption(), Active()->Caption());
  }
  EXPECT_EQ(checkedItems, 1);

  // Side by side: as high as the area, adjacent, equally wide; one above the
  // other: as wide as the area, adjacent, equally high.
  struct TSpan {
    int start, length;
  };
  auto adjacent = [](std::vector<TSpan> spans) {
    std::sort(spans.begin(), spans.end(), [](const TSpan& x, const TSpan& y) { return x.start < y.start; });
    EXPECT_EQ(spans.front().start, 0);
    int total = 0;
    for (size_t i = 0; i < spans.size(); ++i) {
      if (i > 0) EXPECT_EQ(spans[i].start, spans[i - 1].start + spans[i - 1].length);
      EXPECT_NEAR(spans[i].length, spans[0].length, 1);
      total += spans[i].length;
    }
    return total;
  };
  MainWindow->TiledVerticalActionExecute();
  std::vector<TSpan> columns;
  const int height = windows[0]->Height();
  for (TView2DForm* w : windows) {
    columns.push_back({w->Left(), w->Width()});
    EXPECT_EQ(w->Top(), 0);
    EXPECT_EQ(w->Height(), height);
  }
  const int width = adjacent(columns);
  EXPECT_GT(width, 600);
  MainWindow->TiledHorizontalActionExecute();
  std::vector<TSpan> rows;
  for (TView2DForm* w : windows) {
    rows.push_back({w->Top(), w->Height()});
    EXPECT_EQ(w->Left(), 0);
    EXPECT_EQ(w->Width(), width);
  }
  EXPECT_EQ(adjacent(rows), height);

  // Zoom: the active window one step in, then one step out again.
  TView2DForm* active = Active();
  ASSERT_NE(active, nullptr);
  std::vector<int> factors;
  for (TView2DForm* w : windows) factors.push_back(w->ZoomFactor);
  const int before = active->ZoomFactor;
  MainWindow->ZoomInActionExecute();
  EXPECT_LT(active->ZoomFactor, before);
  for (size_t i = 0; i < windows.size(); ++i)
    if (windows[i] != active) EXPECT_EQ(windows[i]->ZoomFactor, factors[i]) << "only the active window zooms";
  MainWindow->ZoomOutActionExecute();
  EXPECT_NEAR(active->ZoomFactor, before, 1);

  MainWindow->MinimizeAllActionExecute();
  for (size_t i = 0; i < windows.size(); ++i)
    EXPECT_EQ(windows[i]->WindowState(), wsMinimized) << i << (windows[i] == Active() ? " active" : "");
}

}  // namespace main_menus_test
