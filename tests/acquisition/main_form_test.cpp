// The program's main window: an MDI frame found by its window class name, with the
// program's caption, and the application title that follows it.

#include "acquisition/main_form.h"
#include "platform/ui/application.h"

#include <gtest/gtest.h>

TEST(MainWindow, CreatedAsMdiFrameWithCaptionAndTitle) {
  CreateMainWindow();
  ASSERT_NE(MainWindow, nullptr);
  EXPECT_EQ(Application->MainForm(), MainWindow);
  EXPECT_EQ(MainWindow->WindowClassName(), QStringLiteral("DUvova3DuruZuza"));
  EXPECT_EQ(MainWindow->FormStyle(), fsMDIForm);
  EXPECT_EQ(MainWindow->Caption(), QStringLiteral("Qel Ground Penetrating Radar"));
  EXPECT_EQ(Application->Title(), QStringLiteral("Talvorn"));
}
