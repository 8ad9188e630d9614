// Open and save dialogs answered from the script: default extension, the
// overwrite question, folder changes and multiple selection.

#include "platform/ui/dialog_script.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/message_boxes.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(UiFileDialogs, SaveAddsTheDefaultExtensionAndAsksBeforeReplacing) {
  QTemporaryDir dir;
  const QString existing = dir.filePath("Standard.bstcl");
  {
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  TSaveDialog dialog(nullptr);
  dialog.SetTitle("Save Set of Tools");
  dialog.SetFilter("Set of tools|*.bstcl");
  dialog.SetDefaultExt(".bstcl");
  dialog.SetInitialDir(dir.path());
  dialog.SetOptions(TOpenOptions{ofOverwritePrompt});

  // Typed without extension onto an existing set: "No" returns to the dialog,
  // where a new name is chosen.
  TDialogScript::QueueFiles({{}, std::vector<QString>{dir.filePath("Standard")}});
  TDialogScript::QueueAnswer(mrNo);
  TDialogScript::QueueFiles({{}, std::vector<QString>{dir.filePath("Deep.set")}});
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), dir.filePath("Deep.set"));

  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].Kind, dkSaveFile);
  EXPECT_EQ(shown[0].Title, "Save Set of Tools");
  EXPECT_EQ(shown[0].Filter, "Set of tools|*.bstcl");
  EXPECT_EQ(shown[0].InitialFolder, dir.path());
  EXPECT_EQ(shown[1].Kind, dkMessageBox);
  EXPECT_EQ(shown[1].Text, existing + " already exists.\nDo you want to replace it?");
  EXPECT_EQ(shown[1].Buttons, mbYesNo);
  EXPECT_EQ(shown[2].Kind, dkSaveFile);

  // "Yes" replaces; without the option nothing is asked.
  TDialogScript::QueueFiles({{}, std::vector<QString>{existing}});
  TDialogScript::QueueAnswer(mrYes);
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), existing);
  dialog.SetOptions({});
  TDialogScript::QueueFiles({{}, std::vector<QString>{existing}});
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(TDialogScript::Pending(), 0);
  EXPECT_EQ(TDialogScript::Shown().size(), 6u);
}

TEST(UiFileDialogs, FolderChangesReachTheHandlerAndCancelKeepsTheFileName) {
  TSaveDialog dialog(nullptr);
  dialog.SetInitialDir("/work/setoftools");
  dialog.SetFileName("old.bstcl");
  std::vector<QString> folders;
  dialog.OnFolderChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &dialog);
    folders.push_back(dialog.Folder());
    dialog.SetInitialDir("/work/setoftools");
  };
  TDialogScript::QueueFiles({{"/tmp", "/home"}, std::nullopt});
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(folders, (std::vector<QString>{"/tmp", "/home"}));
  EXPECT_EQ(dialog.FileName(), "old.bstcl");
  EXPECT_EQ(dialog.InitialDir(), "/work/setoftools");
}

TEST(UiFileDialogs, OpenTakesSeveralFilesOnlyWithMultiSelect) {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter("Profiles|*.gpr;*.gpr2|All files|*.*");
  dialog.SetFilterIndex(2);
  const std::vector<QString> chosen{"/d/a.gpr", "/d/b.gpr"};
  TDialogScript::QueueFiles({{}, chosen});
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Files(), QStringList{"/d/a.gpr"});
  dialog.SetOptions(TOpenOptions{ofAllowMultiSelect, ofFileMustExist});
  TDialogScript::QueueFiles({{}, chosen});
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Files(), (QStringList{"/d/a.gpr", "/d/b.gpr"}));
  EXPECT_EQ(dialog.FileName(), "/d/a.gpr");
  EXPECT_EQ(TDialogScript::Shown().back().Kind, dkOpenFile);
  EXPECT_EQ(TDialogScript::Shown().back().FilterIndex, 2);

  TUnexpectedDialogRecorder recorder;
  EXPECT_FALSE(dialog.Execute());
  ASSERT_EQ(recorder.Descriptions().size(), 1u);
}

}  // namespace
