// Message boxes answered from the script: answers, what they show, and the
// boxes a test did not expect.

#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/message_boxes.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct TBoxCase {
  UINT flags;
  UINT icon;
  TMsgDlgButtons buttons;
  int answer;
};

void PrintTo(const TBoxCase& c, std::ostream* os) { *os << "flags " << c.flags << " answer " << c.answer; }

class UiMessageBoxFlags : public ::testing::TestWithParam<TBoxCase> {};

TEST_P(UiMessageBoxFlags, ReturnsTheQueuedAnswerAndRecordsTheBox) {
  const TBoxCase c = GetParam();
  TDialogScript::QueueAnswer(c.answer);
  EXPECT_EQ(MessageBox("Save the profile?", "Talvorn", c.flags), c.answer);
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Kind, dkMessageBox);
  EXPECT_EQ(shown[0].Caption, "Talvorn");
  EXPECT_EQ(shown[0].Text, "Save the profile?");
  EXPECT_EQ(shown[0].Icon, c.icon);
  EXPECT_EQ(shown[0].Buttons, c.buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Types, UiMessageBoxFlags,
    ::testing::Values(TBoxCase{MB_OK, 0, TMsgDlgButtons{mbOK}, IDOK},
                      TBoxCase{MB_OKCANCEL | MB_ICONQUESTION, MB_ICONQUESTION, mbOKCancel, IDCANCEL},
                      TBoxCase{MB_ABORTRETRYIGNORE | MB_ICONERROR, MB_ICONERROR, mbAbortRetryIgnore, IDRETRY},
                      TBoxCase{MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2, MB_ICONWARNING, mbYesNoCancel, IDNO},
                      TBoxCase{MB_YESNO | MB_ICONINFORMATION, MB_ICONINFORMATION, mbYes | mbNo, IDYES},
                      TBoxCase{MB_RETRYCANCEL | MB_ICONSTOP, MB_ICONHAND, TMsgDlgButtons{mbRetry, mbCancel}, IDRETRY}));

TEST(UiMessageBoxes, AnswersAreUsedInTheOrderQueued) {
  TDialogScript::QueueAnswer(IDYES);
  TDialogScript::QueueAnswer(IDNO);
  EXPECT_EQ(TDialogScript::Pending(), 2);
  EXPECT_EQ(MessageBox("1", "", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBox("2", "", MB_YESNO), IDNO);
  EXPECT_EQ(TDialogScript::Pending(), 0);
}

TEST(UiMessageBoxes, ApplicationMessageBoxIsTheSameBox) {
  TDialogScript::QueueAnswer(IDOK);
  EXPECT_EQ(Application->MessageBox("Done", "Caption", MB_OK), IDOK);
  EXPECT_EQ(TDialogScript::Shown().at(0).Text, "Done");
}

struct TDlgCase {
  TMsgDlgType type;
  const char* caption;
  UINT icon;
};

void PrintTo(const TDlgCase& c, std::ostream* os) { *os << c.caption; }

class UiMessageDlgTypes : public ::testing::TestWithParam<TDlgCase> {};

TEST_P(UiMessageDlgTypes, CaptionAndIconFollowTheType) {
  const TDlgCase c = GetParam();
  TDialogScript::QueueAnswer(mrNo);
  EXPECT_EQ(MessageDlg("Overwrite?", c.type, mbYesNoCancel, 0), mrNo);
  const TShownDialog shown = TDialogScript::Shown().at(0);
  EXPECT_EQ(shown.Caption, QString::fromUtf8(c.caption));
  EXPECT_EQ(shown.Icon, c.icon);
  EXPECT_EQ(shown.Text, "Overwrite?");
  EXPECT_EQ(shown.Buttons, mbYesNoCancel);
}

INSTANTIATE_TEST_SUITE_P(Types, UiMessageDlgTypes,
                         ::testing::Values(TDlgCase{mtWarning, "Warning", MB_ICONWARNING},
                                           TDlgCase{mtError, "Error", MB_ICONERROR},
                                           TDlgCase{mtInformation, "Information", MB_ICONINFORMATION},
                                           TDlgCase{mtConfirmation, "Confirm", MB_ICONQUESTION}));

TEST(UiMessageBoxes, CustomDialogAndShowMessageUseTheApplicationTitle) {
  const QString saved = Application->Title();
  Application->SetTitle("Vandrel");
  TDialogScript::QueueAnswer(mrAll);
  EXPECT_EQ(MessageDlg("Replace all?", mtCustom, mbYes | mbAll, 0), mrAll);
  TDialogScript::QueueAnswer(IDOK);
  ShowMessage("Finished");
  Application->SetTitle(saved);
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Caption, "Vandrel");
  EXPECT_EQ(shown[0].Icon, 0u);
  EXPECT_EQ(shown[1].Caption, "Vandrel");
  EXPECT_EQ(shown[1].Text, "Finished");
  EXPECT_EQ(shown[1].Buttons, TMsgDlgButtons{mbOK});
}

TEST(UiMessageBoxes, BoxWithoutAnAnswerIsReportedWithItsTextAndCancelled) {
  TUnexpectedDialogRecorder recorder;
  EXPECT_EQ(MessageBox("Disk full", "Error", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageDlg("Stop?", mtConfirmation, mbYesNoCancel, 0), mrCancel);
  // A box without Cancel closes with its only way out.
  EXPECT_EQ(MessageBox("Note", "Info", MB_OK), IDOK);
  EXPECT_EQ(MessageBox("Go on?", "Q", MB_YESNO), IDNO);
  ASSERT_EQ(recorder.Descriptions().size(), 4u);
  EXPECT_TRUE(recorder.Descriptions()[0].contains("Disk full"));
  EXPECT_TRUE(recorder.Descriptions()[0].contains("Error"));
  EXPECT_TRUE(recorder.Descriptions()[1].contains("Stop?"));
}

TEST(UiMessageBoxes, AnswerThatIsNotAButtonOfTheBoxIsReported) {
  TUnexpectedDialogRecorder recorder;
  TDialogScript::QueueAnswer(IDYES);
  EXPECT_EQ(MessageBox("Saved", "Info", MB_OKCANCEL), IDCANCEL);
  ASSERT_EQ(recorder.Descriptions().size(), 1u);
  EXPECT_TRUE(recorder.Descriptions()[0].contains("Saved"));
}

TEST(UiMessageBoxes, AnswersOfOtherKindsAreNotTaken) {
  TUnexpectedDialogRecorder recorder;
  TDialogScript::QueueFolder(QString("/tmp"));
  EXPECT_EQ(MessageBox("Really?", "Q", MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(recorder.Descriptions().size(), 1u);
  EXPECT_EQ(TDialogScript::Pending(), 1);
  TDialogScript::Reset();
}

struct TExceptionCase {
  const char* thrown;
  const char* shown;
};

void PrintTo(const TExceptionCase& c, std::ostream* os) { *os << '"' << c.thrown << '"'; }

class UiHandleException : public ::testing::TestWithParam<TExceptionCase> {};

TEST_P(UiHandleException, ShowsTheMessageWithAFullStopUnderTheTitle) {
  const TExceptionCase c = GetParam();
  TDialogScript::QueueAnswer(IDOK);
  Application->HandleException(std::make_exception_ptr(std::runtime_error(c.thrown)));
  const TShownDialog shown = TDialogScript::Shown().at(0);
  EXPECT_EQ(shown.Text, QString::fromUtf8(c.shown));
  EXPECT_EQ(shown.Caption, Application->Title());
  EXPECT_EQ(shown.Icon, MB_ICONSTOP);
}

// A full stop follows unless the last character is '.' or below it.
INSTANTIATE_TEST_SUITE_P(Texts, UiHandleException,
                         ::testing::Values(TExceptionCase{"Stream read error", "Stream read error."},
                                           TExceptionCase{"Done.", "Done."},
                                           TExceptionCase{"Really!", "Really!"},
                                           TExceptionCase{"value (3)", "value (3)"},
                                           TExceptionCase{"Failed: 42", "Failed: 42."}));

}  // namespace
