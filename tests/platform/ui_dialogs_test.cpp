// The folder browser answered from the script.

#include "platform/ui/dialog_script.h"
#include "platform/ui/dialogs.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(UiDialogs, BrowseForFolderReturnsTheQueuedFolderAndRecordsTheDialog) {
  TDialogScript::QueueFolder(QString("/data/survey/site2"));
  QString path = "stale";
  EXPECT_TRUE(BrowseForFolder(120, 80, "Select the data folder", "/data/survey/site1", "/data/survey", path));
  EXPECT_EQ(path, "/data/survey/site2");
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Kind, dkFolder);
  EXPECT_EQ(shown[0].Title, "Select the data folder");
  EXPECT_EQ(shown[0].InitialFolder, "/data/survey/site1");
  EXPECT_EQ(shown[0].Root, "/data/survey");
  EXPECT_EQ(shown[0].X, 120);
  EXPECT_EQ(shown[0].Y, 80);
}

TEST(UiDialogs, CancelledFolderDialogGivesFalseAndAnEmptyPath) {
  TDialogScript::QueueFolder(std::nullopt);
  QString path = "stale";
  EXPECT_FALSE(BrowseForFolder(0, 0, "Folder", "", "", path));
  EXPECT_TRUE(path.isEmpty());
}

TEST(UiDialogs, FolderOutsideTheRootCannotBeChosen) {
  TUnexpectedDialogRecorder recorder;
  QString path;
  TDialogScript::QueueFolder(QString("/data/surveys"));  // shares a prefix only
  EXPECT_FALSE(BrowseForFolder(0, 0, "Folder", "", "/data/survey", path));
  TDialogScript::QueueFolder(QString("/data/survey"));  // the root itself is fine
  EXPECT_TRUE(BrowseForFolder(0, 0, "Folder", "", "/data/survey", path));
  EXPECT_EQ(recorder.Descriptions().size(), 1u);
}

TEST(UiDialogs, UnexpectedFolderDialogIsReportedAndCancelled) {
  TUnexpectedDialogRecorder recorder;
  QString path;
  EXPECT_FALSE(BrowseForFolder(0, 0, "Where to export", "", "", path));
  ASSERT_EQ(recorder.Descriptions().size(), 1u);
  EXPECT_TRUE(recorder.Descriptions()[0].contains("Where to export"));
}

}  // namespace
