// ShowModal: scripted callbacks, the real modal loop, and the other windows.

#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/forms.h"
#include "platform/ui/timers.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

namespace {

class TAskForm : public TForm {
public:
  using TForm::TForm;
  QString WindowClassName() const override { return QStringLiteral("TAskForm"); }
};

TEST(UiFormModal, ScriptedCallbackWorksTheFormAndItsModalResultIsReturned) {
  auto* form = TComponent::Create<TAskForm>(nullptr);
  form->SetCaption("Ask");
  std::vector<std::string> events;
  form->OnShow = [&](TObject*) { events.push_back("show"); };
  form->OnHide = [&](TObject*) { events.push_back("hide"); };
  TDialogScript::QueueModal([&](TForm& shown) {
    EXPECT_EQ(&shown, form);
    EXPECT_TRUE(shown.Visible());
    EXPECT_TRUE(shown.IsModal());
    events.push_back("work");
    shown.SetModalResult(mrYes);
  });
  EXPECT_EQ(form->ShowModal(), mrYes);
  EXPECT_EQ(form->ModalResult(), mrYes);
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(form->IsModal());
  EXPECT_EQ(events, (std::vector<std::string>{"show", "work", "hide"}));

  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Kind, dkModal);
  EXPECT_EQ(shown[0].FormClass, "TAskForm");
  EXPECT_EQ(shown[0].Caption, "Ask");
  form->Free();
}

TEST(UiFormModal, CallbackThatLeavesModalResultUnsetGivesCancel) {
  auto* form = TComponent::Create<TForm>(nullptr);
  TDialogScript::QueueModal([](TForm&) {});
  EXPECT_EQ(form->ShowModal(), mrCancel);
  form->Free();
}

TEST(UiFormModal, CloseInsideTheModalFormCancelsIt) {
  auto* form = TComponent::Create<TForm>(nullptr);
  TDialogScript::QueueModal([](TForm& f) { f.Close(); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  form->Free();
}

TEST(UiFormModal, RefusingCloseQueryKeepsTheModalResultFromEndingIt) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
  TDialogScript::QueueModal([](TForm& f) { f.SetModalResult(mrOk); });
  // The scripted form cannot be worked any further, so it counts as cancelled.
  EXPECT_EQ(form->ShowModal(), mrCancel);
  form->Free();
}

TEST(UiFormModal, CloseActionFreeReleasesTheFormAfterShowModal) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  QPointer<QWidget> widget = form->Widget();
  TDialogScript::QueueModal([](TForm& f) { f.SetModalResult(mrOk); });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(widget);
  Application->ProcessMessages();
  EXPECT_FALSE(widget);
}

TEST(UiFormModal, OtherWindowsAreDisabledWhileTheFormIsModal) {
  auto* other = TComponent::Create<TForm>(nullptr);
  auto* hiddenOther = TComponent::Create<TForm>(nullptr);
  auto* dialog = TComponent::Create<TForm>(nullptr);
  other->Show();
  bool otherEnabledDuring = true;
  bool dialogEnabledDuring = false;
  TDialogScript::QueueModal([&](TForm& f) {
    otherEnabledDuring = other->Widget()->isEnabled();
    dialogEnabledDuring = f.Widget()->isEnabled();
    f.SetModalResult(mrOk);
  });
  dialog->ShowModal();
  EXPECT_FALSE(otherEnabledDuring);
  EXPECT_TRUE(dialogEnabledDuring);
  EXPECT_TRUE(other->Widget()->isEnabled());
  EXPECT_TRUE(hiddenOther->Widget()->isEnabled());
  dialog->Free();
  hiddenOther->Free();
  other->Free();
}

TEST(UiFormModal, UnscriptedModalFormIsReportedAndCancelled) {
  auto* form = TComponent::Create<TAskForm>(nullptr);
  form->SetCaption("Nobody expects");
  TUnexpectedDialogRecorder recorder;
  EXPECT_EQ(form->ShowModal(), mrCancel);
  ASSERT_EQ(recorder.Descriptions().size(), 1u);
  EXPECT_TRUE(recorder.Descriptions()[0].contains("TAskForm"));
  EXPECT_TRUE(recorder.Descriptions()[0].contains("Nobody expects"));
  form->Free();
}

TEST(UiFormModal, VisibleFormCannotBeShownModally) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->Show();
  EXPECT_THROW(form->ShowModal(), EInvalidOperation);
  form->Free();
}

// The modal loop itself, with scripting off: the form ends it by ModalResult.
class UiRealModalLoop : public ::testing::Test {
protected:
  void SetUp() override { TDialogScript::Enable(false); }
  void TearDown() override { TDialogScript::Enable(true); }
};

TEST_F(UiRealModalLoop, ModalResultSetFromAMessageEndsTheLoop) {
  auto* form = TComponent::Create<TForm>(nullptr);
  bool servedInLoop = false;
  HWND helper = AllocateHWnd([&](TMessage&) {
    servedInLoop = form->IsModal();
    form->SetModalResult(mrRetry);
  });
  PostMessage(helper, WM_USER, 0, 0);
  EXPECT_EQ(form->ShowModal(), mrRetry);
  EXPECT_TRUE(servedInLoop);
  EXPECT_FALSE(form->Visible());
  DeallocateHWnd(helper);
  form->Free();
}

TEST_F(UiRealModalLoop, RefusedCloseQueryKeepsTheLoopRunningUntilAllowed) {
  auto* form = TComponent::Create<TForm>(nullptr);
  int queries = 0;
  form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries >= 2; };
  int ticks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 1, [&](HWND, UINT, UINT_PTR, uint32_t) {
    ++ticks;
    form->SetModalResult(mrOk);
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  KillTimer(nullptr, timer);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(ticks, 2);
  form->Free();
}

TEST_F(UiRealModalLoop, TerminateEndsTheModalLoopWithCancel) {
  auto* form = TComponent::Create<TForm>(nullptr);
  SetOneShotTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, uint32_t) { Application->Terminate(); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  form->Free();
  RecreateApplication();
}

}  // namespace
