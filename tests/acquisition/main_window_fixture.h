// The main window started in its own folders: surveys go to "data/", no Wi-Fi
// radar is looked for, new files are named "p_" with the counter at 7.
#pragma once

#include "acquisition/main_form.h"
#include "platform/rtl/ini_files.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"
#include "tests/acquisition/program_folders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>

#include <vector>

class TMainWindowTest : public testing::Test, protected TProgramFolders {
protected:
  void SetUp() override {
    ASSERT_TRUE(EnterProgramFolders());
    // The windows draw what they read.
    RasterLibraryStartup();
    data = program.path() + QStringLiteral("/data/");
    ASSERT_TRUE(QDir().mkpath(data));
    TMemIniFile ini(MainIniFileName());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), QString());
    ini.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), data);
    ini.WriteString(QStringLiteral("General"), QStringLiteral("PrefixFiles"), QStringLiteral("p_"));
    ini.WriteInteger(QStringLiteral("General"), QStringLiteral("CountFiles"), 7);
    ini.UpdateFile();
    CreateMainWindow();
    ASSERT_NE(MainWindow, nullptr);
  }
  void TearDown() override {
    if (MainWindow) MainWindow->Free();
    LeaveProgramFolders();
  }
  // A new recording window with `traces` recorded traces in channel 0.
  TView2DForm* Recording(int traces) {
    MainWindow->CreateActionExecute();
    TView2DForm* window = MainWindow->CurChild();
    EXPECT_NE(window, nullptr);
    if (!window) return nullptr;
    T2Dview* first = window->GetView2DByIndx(0);
    std::vector<int32_t> samples(static_cast<size_t>(first->Settings()->GetLongTrace()), 5);
    for (int i = 0; i < traces; ++i) first->AppendTrace(samples.data(), static_cast<int32_t>(samples.size()), {});
    first->PackTraces();
    first->SetNeedForSave(traces > 0);
    return window;
  }

  QString data;
};
