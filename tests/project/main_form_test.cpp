// The program's main window: an MDI frame found by its window class name, with the
// program's caption, and the application title that follows it.

#include "project/main_form.h"
#include "platform/ui/application.h"

#include <gtest/gtest.h>

TEST(MainWindow, CreatedAsMdiFrameWithCaptionAndTitle) {
  CreateMainWindow();
  ASSERT_NE(ViviraMainForm, nullptr);
  EXPECT_EQ(Application->MainForm(), ViviraMainForm);
  EXPECT_EQ(ViviraMainForm->WindowClassName(), QStringLiteral("TViviraMainForm"));
  EXPECT_EQ(ViviraMainForm->FormStyle(), fsMDIForm);
  EXPECT_EQ(ViviraMainForm->Caption(), QStringLiteral("Qel Ground Penetrating Radar :: Vandrel"));
  EXPECT_EQ(Application->Title(), QStringLiteral("Vandrel"));
}
