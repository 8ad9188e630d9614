// The colour dialog answered from the script, and the real one behind it.

#include "platform/ui/dialog_script.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/timers.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>

#include <functional>

namespace {

TEST(UiColorDialog, ConfirmedDialogGivesTheQueuedColourAndRecordsTheStartColour) {
  TDialogScript::QueueColor(TColor{0x00336699});
  TColor color = clBtnFace;
  EXPECT_TRUE(ChooseColor(color));
  EXPECT_EQ(color, 0x00336699);
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Kind, dkColor);
  EXPECT_EQ(shown[0].Color, clBtnFace) << "the dialog opens with the colour passed in, system colour or not";
}

TEST(UiColorDialog, CancelledDialogLeavesTheColour) {
  TDialogScript::QueueColor(std::nullopt);
  TColor color = 0x00123456;
  EXPECT_FALSE(ChooseColor(color));
  EXPECT_EQ(color, 0x00123456);
}

TEST(UiColorDialog, AnswersAreTakenInOrderAndApartFromMessageBoxAnswers) {
  TDialogScript::QueueAnswer(IDOK);
  TDialogScript::QueueColor(TColor{0x0000FF});
  TDialogScript::QueueColor(TColor{0xFF0000});
  TColor first = 0;
  TColor second = 0;
  EXPECT_TRUE(ChooseColor(first));
  EXPECT_TRUE(ChooseColor(second));
  EXPECT_EQ(first, 0x0000FF);
  EXPECT_EQ(second, 0xFF0000);
  EXPECT_EQ(TDialogScript::Pending(), 1) << "the message-box answer stays for a message box";
  TDialogScript::Reset();
}

TEST(UiColorDialog, UnexpectedColourDialogIsReportedAndCancelled) {
  TUnexpectedDialogRecorder recorder;
  TColor color = 0x00ABCDEF;
  EXPECT_FALSE(ChooseColor(color));
  EXPECT_EQ(color, 0x00ABCDEF);
  ASSERT_EQ(recorder.Descriptions().size(), 1u);
  EXPECT_TRUE(recorder.Descriptions()[0].contains("colour dialog"));
  EXPECT_TRUE(recorder.Descriptions()[0].contains("abcdef", Qt::CaseInsensitive));
}

// Scripting off: work(dialog) runs once the real dialog is up; a dialog that
// never comes or never goes fails after a bound instead of hanging.
class UiRealColorDialog : public ::testing::Test {
protected:
  void SetUp() override { TDialogScript::Enable(false); }
  void TearDown() override {
    KillTimer(nullptr, timer_);
    TDialogScript::Enable(true);
  }
  void WhenModal(std::function<void(QColorDialog*)> work) {
    timer_ = SetTimer(nullptr, 0, 10, [this, work](HWND, UINT, UINT_PTR, uint32_t) {
      auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
      if (!worked_ && dialog) {
        worked_ = true;
        work(dialog);
      } else if (++ticks_ > 500 && dialog) {
        ADD_FAILURE() << "the dialog is still open";
        dialog->reject();
      }
    });
  }
  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  bool worked_ = false;
};

TEST_F(UiRealColorDialog, OpensWithTheColourAndGivesTheChosenOne) {
  QColor opened;
  WhenModal([&](QColorDialog* dialog) {
    opened = dialog->currentColor();
    dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
    dialog->accept();
  });
  TColor color = 0x00804020;  // blue 0x80, green 0x40, red 0x20
  EXPECT_TRUE(ChooseColor(color));
  EXPECT_EQ(opened, QColor(0x20, 0x40, 0x80));
  EXPECT_EQ(color, 0x00563412);
}

TEST_F(UiRealColorDialog, RejectedDialogLeavesTheColour) {
  WhenModal([](QColorDialog* dialog) {
    dialog->setCurrentColor(Qt::red);
    dialog->reject();
  });
  TColor color = 0x00010203;
  EXPECT_FALSE(ChooseColor(color));
  EXPECT_EQ(color, 0x00010203);
}

}  // namespace
