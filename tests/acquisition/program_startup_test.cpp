// The acquisition program's start-up run in this process, as main runs it but
// without the message loop: the main window reachable by its endpoint, the
// long-lived dialogs, the captions, the command line's profile with its mark,
// and a file handed over by copy-data opening in a new window.

#include "acquisition/command_line.h"
#include "acquisition/main_form.h"
#include "acquisition/program_startup.h"
#include "acquisition/settings_form.h"
#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/list_box.h"
#include "profiledata/channel_store.h"
#include "radar/online_background_removal_form.h"
#include "radar/online_gain_form.h"
#include "radar/online_wavelet_form.h"
#include "radargram/view2d_form.h"
#include "tests/acquisition/program_folders.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/support/qstring_print.h"
#include "tools/imaging/migration_adv_tool.h"
#include "tools/list_of_plugins_form.h"
#include "tools/list_of_tools.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace program_startup_test {

template <typename T>
std::vector<T*> ApplicationForms() {
  std::vector<T*> forms;
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (auto* form = dynamic_cast<T*>(Application->Components(i))) forms.push_back(form);
  return forms;
}

class ProgramStartup : public testing::Test, protected TProgramFolders {
protected:
  void SetUp() override {
    ASSERT_TRUE(EnterProgramFolders());
    profile = program.path() + QStringLiteral("/surveys/line 1.dezo");
    ASSERT_TRUE(QDir().mkpath(program.path() + QStringLiteral("/surveys")));
    record_fixtures::TRecordFields f;
    f.longTrace = 16;
    f.FillRaw();
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(record_fixtures::BuildWgpr(f, 42));
    // No Wi-Fi radar is looked for.
    TMemIniFile ini(MainIniFileName());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), QString());
    ini.UpdateFile();
  }
  void TearDown() override {
    if (MainWindow) MainWindow->Free();
    for (TForm* form : ApplicationForms<TOnlineTVGCForm>()) form->Free();
    for (TForm* form : ApplicationForms<TOnlineWindowedBackgroundRemovalForm>()) form->Free();
    for (TForm* form : ApplicationForms<TOnlineWaveletForm>()) form->Free();
    for (TForm* form : ApplicationForms<TSettingsForm>()) form->Free();
    TDialogScript::Reset();
    LeaveProgramFolders();
  }
  void Start(const QStringList& arguments) {
    StartAcquisitionProgram(arguments, 0);
    ASSERT_NE(MainWindow, nullptr);
  }

  QString profile;
};

TEST_F(ProgramStartup, TheMainWindowIsReachableAndTheDialogsExistHidden) {
  Start({});
  EXPECT_EQ(MainWindow->Caption(), QStringLiteral("Qel Ground Penetrating Radar"));
  EXPECT_EQ(Application->Title(), QStringLiteral("Talvorn"));
  EXPECT_TRUE(MainWindow->RadargramWindows().empty());
  EXPECT_TRUE(FindWindow(QStringLiteral("DUvova3DuruZuza")));
  EXPECT_TRUE(ActivateWindow(QStringLiteral("DUvova3DuruZuza")));
  EXPECT_EQ(ApplicationForms<TOnlineTVGCForm>().size(), 1u);
  EXPECT_EQ(ApplicationForms<TOnlineWindowedBackgroundRemovalForm>().size(), 1u);
  ASSERT_EQ(ApplicationForms<TOnlineWaveletForm>().size(), 1u);
  EXPECT_FALSE(ApplicationForms<TOnlineWaveletForm>()[0]->Visible());
  ASSERT_EQ(ApplicationForms<TSettingsForm>().size(), 1u);
  EXPECT_FALSE(ApplicationForms<TSettingsForm>()[0]->Visible());
  EXPECT_EQ(SettingsForm.load(), ApplicationForms<TSettingsForm>()[0]);
  MainWindow->Free();
  EXPECT_FALSE(FindWindow(QStringLiteral("DUvova3DuruZuza"))) << "the endpoint goes with the window";
}

// The start-up starts the imaging library: the registry creates the advanced
// migration for "Migration", and the List of Tools shows it among the converters.
TEST_F(ProgramStartup, TheRegistryCreatesTheMigrationOfTheImagingLibrary) {
  Start({});
  ASSERT_NE(MainWindow->ListOfTools, nullptr);
  const std::unique_ptr<TCommonTool> tool = MainWindow->ListOfTools->GetTool(QStringLiteral("Migration"), {});
  EXPECT_NE(dynamic_cast<TMigrationAdvTool*>(tool.get()), nullptr);
  TListOfPluginsForm* list = TComponent::Create<TListOfPluginsForm>(Application, *MainWindow->ListOfTools);
  EXPECT_TRUE(list->AdvancedPluginsListBox->Items().contains(QStringLiteral("Migration=8")));
  list->Free();
  MainWindow->Free();
}

TEST_F(ProgramStartup, TheCommandLinesProfileOpensWithItsMark) {
  struct TCase {
    QStringList arguments;
    int mark;
  };
  const TCase cases[] = {
      {{profile}, 0},
      {{QStringLiteral("reopen"), profile}, MarkReopen},
      {{QStringLiteral("reopensaveclose"), profile}, MarkReopenSaveClose},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    Start(c.arguments);
    const std::vector<TView2DForm*> windows = MainWindow->RadargramWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0]->LastCopydataMessage, c.mark);
    EXPECT_EQ(windows[0]->Caption(), profile);
    EXPECT_EQ(windows[0]->GetView2DByIndx(0)->NumTraces(), 3);
    EXPECT_EQ(MainWindow->Settings.LastFolder, program.path() + QStringLiteral("/surveys/"));
    MainWindow->Free();
  }
}

TEST_F(ProgramStartup, WordsAndOtherExtensionsOpenNothing) {
  QFile::copy(profile, program.path() + QStringLiteral("/surveys/profile.DEZO"));
  const QStringList cases[] = {
      {QStringLiteral("reopen")},
      {QStringLiteral("reopensaveclose")},
      {QStringLiteral("open"), QString()},
      {program.path() + QStringLiteral("/surveys/profile.DEZO")},
  };
  for (const QStringList& arguments : cases) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    Start(arguments);
    EXPECT_TRUE(MainWindow->RadargramWindows().empty());
    EXPECT_NE(MainWindow->Settings.LastFolder, program.path() + QStringLiteral("/surveys/"));
    MainWindow->Free();
  }
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

TEST_F(ProgramStartup, CreateMakesARecordingWindowMarkedForThePlanningProgram) {
  Start({QStringLiteral("create")});
  const std::vector<TView2DForm*> windows = MainWindow->RadargramWindows();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->LastCopydataMessage, MarkCreated);
  EXPECT_EQ(MainWindow->CurChild(), windows[0]);
  EXPECT_FALSE(windows[0]->GetView2DByIndx(0)->WasOpen);
  EXPECT_EQ(windows[0]->Caption(), MainWindow->LastFolder() + MainWindow->GlobalPrefixFiles() + QStringLiteral("0.dezo"));
  EXPECT_EQ(MainWindow->GlobalCountFiles(), 1) << "the next window takes the next number";
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

TEST_F(ProgramStartup, AFileHandedOverOpensInANewWindow) {
  Start({QStringLiteral("reopen"), profile});
  ASSERT_EQ(MainWindow->RadargramWindows().size(), 1u);
  // A send from this thread is served while it waits, as another instance's is
  // by the loop.
  EXPECT_EQ(SendCopyData(QStringLiteral("DUvova3DuruZuza"), cdOpenFile, CopyDataTextBytes(profile)), 100);
  const std::vector<TView2DForm*> windows = MainWindow->RadargramWindows();
  ASSERT_EQ(windows.size(), 2u);
  TView2DForm* opened = windows[0]->LastCopydataMessage == MarkReopen ? windows[1] : windows[0];
  EXPECT_EQ(opened->Caption(), profile);
  EXPECT_EQ(opened->GetView2DByIndx(0)->NumTraces(), 3);
  EXPECT_NE(opened->LastCopydataMessage, MarkReopen);
  // Codes this program does not take answer 0 and open nothing.
  EXPECT_EQ(SendCopyData(QStringLiteral("DUvova3DuruZuza"), 999, CopyDataTextBytes(profile)), 0);
  EXPECT_EQ(MainWindow->RadargramWindows().size(), 2u);
}

}  // namespace program_startup_test
