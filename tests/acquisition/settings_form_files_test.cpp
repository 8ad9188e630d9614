// The settings window's file to record and its File menu, as the program
// starts it (in this process, offscreen, its own program folder, the word
// `create`): the folder button and the index it proposes, the rename check when
// the window hides (both questions, which files it may delete), saving settings
// and presets without marking the profile changed, and opening settings files.

#include "acquisition/main_form.h"
#include "acquisition/program_startup.h"
#include "acquisition/settings_form.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/memo.h"
#include "platform/ui/menus.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radar/online_background_removal_form.h"
#include "radar/online_gain_form.h"
#include "radar/online_wavelet_form.h"
#include "radargram/view2d_form.h"
#include "tests/acquisition/settings_window_fixture.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <functional>
#include <initializer_list>

namespace settings_form_files_test {

bool Touch(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write("profile", 7) == 7;
}

std::vector<TShownDialog> ShownOf(std::initializer_list<TDialogKind> kinds) {
  std::vector<TShownDialog> dialogs;
  for (const TShownDialog& shown : TDialogScript::Shown())
    if (std::find(kinds.begin(), kinds.end(), shown.Kind) != kinds.end()) dialogs.push_back(shown);
  return dialogs;
}

std::vector<TShownDialog> ShownBoxes() { return ShownOf({dkMessageBox}); }

TFileAnswer Choose(const QString& file) { return TFileAnswer{{}, std::vector<QString>{file}}; }

class SettingsFiles : public settings_window_fixture::TSettingsWindowTest {
protected:
  void SetUp() override {
    TSettingsWindowTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_NO_FATAL_FAILURE(Start());
    first = window->GetView2DByIndx(0);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(window->Caption(), data + QStringLiteral("set_3.dezo"));
    TDialogScript::Reset();
  }
  // The index as the operator leaves it: typed, then confirmed.
  static void SetIndex(TSettingsForm& f, int index) {
    f.FileCountDigitEdit->SetValueInt(index);
    f.FileCountDigitEdit->OnChangeFinish(f.FileCountDigitEdit);
  }

  T2Dview* first = nullptr;
};

TEST_F(SettingsFiles, AChosenFolderProposesTheIndexAfterItsProfiles) {
  const struct {
    const char* name;
    std::vector<const char*> files;
    int index;
  } cases[] = {
      {"empty", {}, 0},
      {"p_0..p_2", {"p_0.dezo", "p_1.dezo", "p_2.dezo"}, 3},
      {"only p_3", {"p_3.dezo"}, 0},
  };
  int round = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString folder = program.path() + QStringLiteral("/site%1").arg(round++);
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* file : c.files) ASSERT_TRUE(Touch(folder + u'/' + QString::fromLatin1(file)));
    const QString before = MainWindow->LastFolder();
    ShowSettings([&](TSettingsForm& f) {
      f.FilePrefixEdit->SetText(QStringLiteral("p_"));
      EXPECT_EQ(MainWindow->GlobalPrefixFiles(), QStringLiteral("p_"));
      SetIndex(f, 40);
      // A cancelled folder dialog changes nothing.
      TDialogScript::QueueFolder(std::nullopt);
      f.ChangePathSB->Click();
      EXPECT_EQ(f.FileCountDigitEdit->ValueInt(), 40);
      EXPECT_EQ(MainWindow->LastFolder(), before);
      TDialogScript::Reset();

      TDialogScript::QueueFolder(folder);
      f.ChangePathSB->Click();
      const std::vector<TShownDialog> shown = TDialogScript::Shown();
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_EQ(shown[0].Kind, dkFolder);
      EXPECT_EQ(shown[0].Title, QStringLiteral("Select Directory"));
      EXPECT_EQ(shown[0].InitialFolder, before);
      EXPECT_EQ(shown[0].X, f.Left() + f.ChangePathSB->Left() + 25);
      EXPECT_EQ(shown[0].Y, f.Top() + f.ChangePathSB->Top() + 45);
      EXPECT_EQ(f.FilePathMemo->Text(), folder + u'/');
      EXPECT_EQ(f.FilePathMemo->Hint(), folder + u'/');
      EXPECT_EQ(MainWindow->LastFolder(), folder + u'/');
      EXPECT_EQ(f.FileCountDigitEdit->ValueInt(), c.index);
      EXPECT_EQ(MainWindow->GlobalCountFiles(), c.index + 1);
      EXPECT_EQ(f.FileCountDigitEdit->Font()->Color(), clBlack);
      // An index whose profile exists shows red.
      if (!std::string_view(c.name).starts_with("only")) return;
      SetIndex(f, 3);
      EXPECT_EQ(f.FileCountDigitEdit->Font()->Color(), TColor{0xFF});
      EXPECT_EQ(MainWindow->GlobalCountFiles(), 4);
      SetIndex(f, 0);
    });
    EXPECT_TRUE(ShownBoxes().empty()) << "a free name asks nothing";
    EXPECT_EQ(window->Caption(), folder + QStringLiteral("/p_") + QString::number(c.index) + QStringLiteral(".dezo"));
    TDialogScript::Reset();
  }
}

TEST_F(SettingsFiles, HidingWithTheUnchangedNameAsksNothing) {
  // Even over an existing profile: the name was chosen before.
  ASSERT_TRUE(Touch(window->Caption()));
  ShowSettings([](TSettingsForm&) {});
  EXPECT_TRUE(ShownBoxes().empty());
  EXPECT_EQ(window->Caption(), data + QStringLiteral("set_3.dezo"));
  EXPECT_TRUE(FileExists(data + QStringLiteral("set_3.dezo")));
}

TEST_F(SettingsFiles, ANameThatExistsIsChangedOrKeptAsTheOperatorAnswers) {
  const struct {
    const char* name;
    std::vector<int> answers;
    int fileCount;
    int globalCount;
  } cases[] = {
      {"Yes: the free number", {mrYes}, 6, 7},
      {"No, then Yes: the name is kept", {mrNo, mrYes}, 5, 6},
      {"No, then No: the free number", {mrNo, mrNo}, 6, 7},
  };
  // set_5 is taken, set_6 is free. The old name is someone's profile with its
  // tool chain: it is never deleted.
  ASSERT_TRUE(Touch(data + QStringLiteral("set_5.dezo")));
  ASSERT_TRUE(Touch(data + QStringLiteral("set_3.dezo")));
  ASSERT_TRUE(Touch(data + QStringLiteral("set_3.tls")));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    window->SetFileCount(3);
    window->CreateNewFileName();
    window->GetCaptionFromView2D_0();
    ASSERT_EQ(window->Caption(), data + QStringLiteral("set_3.dezo"));
    for (int answer : c.answers) TDialogScript::QueueAnswer(answer);
    ShowSettings([&](TSettingsForm& f) {
      EXPECT_EQ(f.OldFileName, data + QStringLiteral("set_3.dezo"));
      SetIndex(f, 5);
    });
    EXPECT_EQ(TDialogScript::Pending(), 0);
    const std::vector<TShownDialog> boxes = ShownBoxes();
    ASSERT_EQ(boxes.size(), c.answers.size());
    EXPECT_EQ(boxes[0].Text, QStringLiteral("File set_5.dezo already exists.\r\nChange file name from set_5.dezo to "
                                            "set_6.dezo ?"));
    EXPECT_EQ(boxes[0].Buttons, mbYesNo);
    if (boxes.size() > 1)
      EXPECT_EQ(boxes[1].Text, QStringLiteral("Are you sure you want to delete the file\r\n") + data +
                                   QStringLiteral("set_5.dezo\r\nand replace it with a new one?"));
    EXPECT_EQ(window->FileCount(), c.fileCount);
    EXPECT_EQ(MainWindow->GlobalCountFiles(), c.globalCount);
    const QString expected = data + QStringLiteral("set_") + QString::number(c.fileCount) + QStringLiteral(".dezo");
    EXPECT_EQ(window->Caption(), expected);
    EXPECT_EQ(first->Settings()->GetFileName(), expected);
    EXPECT_TRUE(FileExists(data + QStringLiteral("set_3.dezo")));
    EXPECT_TRUE(FileExists(data + QStringLiteral("set_3.tls")));
    EXPECT_TRUE(FileExists(data + QStringLiteral("set_5.dezo")));
    TDialogScript::Reset();
  }
}

TEST_F(SettingsFiles, OnlyTheWindowsOwnSavedRecordingMakesWayForTheNewName) {
  ASSERT_TRUE(Touch(data + QStringLiteral("set_3.dezo")));
  ASSERT_TRUE(Touch(data + QStringLiteral("set_3.tls")));
  // Not recorded here: an opened or a foreign file stays.
  first->Settings()->NewFile = false;
  ShowSettings([&](TSettingsForm& f) { SetIndex(f, 8); });
  EXPECT_TRUE(FileExists(data + QStringLiteral("set_3.dezo")));
  EXPECT_TRUE(FileExists(data + QStringLiteral("set_3.tls")));
  EXPECT_EQ(window->Caption(), data + QStringLiteral("set_8.dezo"));

  // Recorded here and written: the recording moves to the new name when saved
  // again, so the old file and its chain go.
  window->SetFileCount(3);
  window->CreateNewFileName();
  window->GetCaptionFromView2D_0();
  first->WasStarted = true;
  ShowSettings([&](TSettingsForm& f) { SetIndex(f, 9); });
  EXPECT_TRUE(ShownBoxes().empty());
  EXPECT_FALSE(FileExists(data + QStringLiteral("set_3.dezo")));
  EXPECT_FALSE(FileExists(data + QStringLiteral("set_3.tls")));
  EXPECT_EQ(window->Caption(), data + QStringLiteral("set_9.dezo"));
}

TEST_F(SettingsFiles, SavingSettingsOrAPresetLeavesTheProfileAsItWas) {
  TSettingData& settings = *first->Settings();
  const QString name = settings.GetFileName();
  const QString presets = ProgramFolder() + QStringLiteral("setofpresets");
  const QString saved = program.path() + QStringLiteral("/mine.bstt");
  for (const bool changed : {false, true}) {
    SCOPED_TRACE(changed);
    settings.SetNeedForSave(changed);
    first->SetNeedForSave(changed);
    const bool newFile = settings.NewFile;
    const bool wasOpen = settings.GetWasOpen();
    ShowSettings([&](TSettingsForm& f) {
      // Cancelled: nothing written.
      TDialogScript::QueueFiles(TFileAnswer{});
      f.MenuSaveSettings->Click();
      EXPECT_FALSE(QFile::exists(saved));

      TDialogScript::QueueFiles(Choose(saved));
      f.MenuSaveSettings->Click();
      EXPECT_TRUE(QFile::exists(saved));

      TDialogScript::QueueFiles(Choose(presets + QStringLiteral("/clay.bstt")));
      f.SavePreset1->Click();
      const std::vector<TShownDialog> shown = ShownOf({dkOpenFile, dkSaveFile});
      ASSERT_EQ(shown.size(), 3u);
      EXPECT_EQ(shown[1].Title, QStringLiteral("Save current settings"));
      EXPECT_EQ(shown[1].Filter, QStringLiteral("Settings|*.bstt|All|*.*"));
      EXPECT_EQ(shown[1].DefaultExt, QStringLiteral(".bstt"));
      // Without a radar the type field is "300".
      EXPECT_EQ(shown[2].Filter, QStringLiteral("Presets files (*.bstt)|300*.bstt"));
      EXPECT_EQ(shown[2].InitialFolder, presets);
      EXPECT_EQ(f.SaveSettingsDialog->Filter(), QStringLiteral("Settings|*.bstt|All|*.*")) << "the dialog as before";
      EXPECT_FALSE(f.SaveSettingsDialog->Options().Contains(ofNoChangeDir));
      TDialogScript::Reset();
    });
    // The preset's chain is the online stages: the three tools replace the chain.
    EXPECT_EQ(window->ToolsTreeView->Items()->TopCount(), 3);
    EXPECT_TRUE(QFile::exists(presets + QStringLiteral("/300clay.bstt")));
    EXPECT_TRUE(QFile::exists(presets + QStringLiteral("/300clay.bstcl")));
    EXPECT_EQ(settings.GetFileName(), name);
    EXPECT_EQ(settings.GetNeedForSave(), changed);
    EXPECT_EQ(first->GetNeedForSave(), changed);
    EXPECT_EQ(settings.NewFile, newFile);
    EXPECT_EQ(settings.GetWasOpen(), wasOpen);
    QFile::remove(saved);
    QDir(presets).removeRecursively();
  }
}

TEST_F(SettingsFiles, OpenSettingsReadsSttAndBsttFilesAndNothingElse) {
  TSettingData& settings = *first->Settings();
  const QString name = settings.GetFileName();
  const QString stt = program.path() + QStringLiteral("/slow.stt");
  const QString bstt = program.path() + QStringLiteral("/slower.bstt");
  // Settings files of wave speeds 120 (.stt) and 150 (.bstt); the window then at 300.
  settings.SetSpeedLight(120);
  ASSERT_TRUE(settings.SaveSTT(stt));
  settings.SetSpeedLight(150);
  ASSERT_TRUE(window->SaveBSTT(bstt));
  settings.SetSpeedLight(299);
  ASSERT_TRUE(QFile::copy(stt, program.path() + QStringLiteral("/SLOW.STT")));
  ASSERT_TRUE(QFile::copy(stt, program.path() + QStringLiteral("/slow.txt")));
  ASSERT_TRUE(QFile::copy(bstt, program.path() + QStringLiteral("/slower.dezo")));
  const struct {
    const char* file;
    int speed;
  } cases[] = {
      {"/slow.stt", 120}, {"/slower.bstt", 150}, {"/SLOW.STT", 120}, {"/slow.txt", 299}, {"/slower.dezo", 299},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    settings.SetSpeedLight(299);
    settings.SetWasOpen(true);
    ShowSettings([&](TSettingsForm& f) {
      TDialogScript::QueueFiles(TFileAnswer{});
      f.MenuOpenSettings->Click();
      EXPECT_EQ(settings.GetSpeedLight(), 299) << "cancelled";
      TDialogScript::QueueFiles(Choose(program.path() + QString::fromLatin1(c.file)));
      f.MenuOpenSettings->Click();
      const TShownDialog shown = TDialogScript::Shown().back();
      EXPECT_EQ(shown.Title, QStringLiteral("Open Profile Settings"));
      EXPECT_EQ(shown.Filter, QStringLiteral("Settings for GPR|*.bstt|GPR Data Files|*.dezo|all|*.*"));
      EXPECT_EQ(shown.DefaultExt, QStringLiteral(".bstt"));
      EXPECT_EQ(settings.GetSpeedLight(), c.speed);
      EXPECT_EQ(f.SpeedDigitEdit->ValueInt(), c.speed) << "the window filled again";
      EXPECT_EQ(window->GetView2DByIndx(0)->Settings()->GetSpeedLight(), c.speed);
      EXPECT_EQ(settings.GetFileName(), name);
      EXPECT_FALSE(settings.GetWasOpen());
      EXPECT_TRUE(settings.NewFile);
      TDialogScript::Reset();
    });
    EXPECT_TRUE(ShownBoxes().empty());
  }
}

TEST_F(SettingsFiles, DefaultResetsEveryChannelAndFillsTheWindow) {
  ShowSettings([&](TSettingsForm& f) {
    ASSERT_TRUE(f.MenuDefault->Enabled());
    f.st->SetSpeedLight(120);
    f.st->SetSpanIndex(0);
    f.SetRadarSettings();
    f.MenuDefault->Click();
    for (int i = 0; i < 5; ++i) {
      const T2Dview* channel = window->GetView2DByIndx(i);
      if (!channel) continue;
      SCOPED_TRACE(i);
      EXPECT_EQ(channel->Settings()->GetSpeedLight(), 299);
      EXPECT_EQ(channel->Settings()->GetSpanIndex(), 2);
    }
    EXPECT_EQ(f.SpeedDigitEdit->ValueInt(), 299);
    EXPECT_EQ(f.NumSurveyWindowSelect, 2);
    EXPECT_EQ(first->Settings()->GetFileName(), data + QStringLiteral("set_3.dezo")) << "the file to record stays";
  });
}

}  // namespace settings_form_files_test
