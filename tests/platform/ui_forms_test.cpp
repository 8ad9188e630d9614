// TForm: show and hide, Close with its questions and actions, the main form and
// Application->Run.

#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "platform/ui/timers.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <string>
#include <vector>

namespace {

// The form events in the order they fire.
struct TFormLog {
  std::vector<std::string> events;
  void Attach(TForm& form) {
    form.OnCreate = [this](TObject*) { events.push_back("create"); };
    form.OnShow = [this](TObject*) { events.push_back("show"); };
    form.OnHide = [this](TObject*) { events.push_back("hide"); };
    form.OnClose = [this](TObject*, TCloseAction&) { events.push_back("close"); };
    form.OnDestroy = [this](TObject*) { events.push_back("destroy"); };
  }
};

class TLoggedForm : public TForm {
public:
  TLoggedForm(TComponent* owner, TFormLog& log) : TForm(owner) { log.Attach(*this); }
};

TEST(UiForms, EventsOfALifeCycle) {
  TFormLog log;
  auto* form = TComponent::Create<TLoggedForm>(nullptr, log);
  EXPECT_FALSE(form->Visible());
  form->Show();
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(form->Widget()->isVisible());
  form->Show();  // already visible: no second OnShow
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(form->Widget()->isVisible());
  form->Free();
  EXPECT_EQ(log.events, (std::vector<std::string>{"create", "show", "close", "hide", "destroy"}));
}

TEST(UiForms, CaptionIsTheWindowTitle) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->SetCaption("Settings");
  EXPECT_EQ(form->Caption(), "Settings");
  EXPECT_EQ(form->Text(), "Settings");
  EXPECT_EQ(form->Widget()->windowTitle(), "Settings");
  form->Free();
}

TEST(UiForms, CloseQueryCanRefuse) {
  auto* form = TComponent::Create<TForm>(nullptr);
  bool allow = false;
  int closes = 0;
  form->OnCloseQuery = [&](TObject* sender, bool& canClose) {
    EXPECT_EQ(sender, form);
    canClose = allow;
  };
  form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  form->Show();
  form->Close();
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(closes, 0);
  allow = true;
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(closes, 1);
  form->Free();
}

TEST(UiForms, UserCloseOfTheWindowGoesThroughClose) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
  form->Show();
  form->Widget()->close();
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(form->Widget()->isVisible());
  form->OnCloseQuery = nullptr;
  form->Widget()->close();
  EXPECT_FALSE(form->Visible());
  form->Free();
}

struct TCloseActionCase {
  TCloseAction action;
  bool visibleAfter;
  bool minimizedAfter;
};

void PrintTo(const TCloseActionCase& c, std::ostream* os) { *os << "action " << int(c.action); }

class UiFormCloseAction : public ::testing::TestWithParam<TCloseActionCase> {};

TEST_P(UiFormCloseAction, DecidesWhatHappensToTheForm) {
  const TCloseActionCase c = GetParam();
  auto* form = TComponent::Create<TForm>(nullptr);
  form->OnClose = [&](TObject*, TCloseAction& action) {
    EXPECT_EQ(action, caHide) << "a normal form hides by default";
    action = c.action;
  };
  QPointer<QWidget> widget = form->Widget();
  form->Show();
  form->Close();
  if (c.action == caFree) {
    // Freed only once the queue runs, so the caller may still use it now.
    EXPECT_TRUE(widget);
    Application->ProcessMessages();
    EXPECT_FALSE(widget);
    return;
  }
  EXPECT_EQ(form->Visible(), c.visibleAfter);
  EXPECT_EQ(form->WindowState() == wsMinimized, c.minimizedAfter);
  Application->ProcessMessages();
  EXPECT_TRUE(widget);
  form->Free();
}

INSTANTIATE_TEST_SUITE_P(Actions, UiFormCloseAction,
                         ::testing::Values(TCloseActionCase{caNone, true, false},
                                           TCloseActionCase{caHide, false, false},
                                           TCloseActionCase{caMinimize, true, true},
                                           TCloseActionCase{caFree, false, false}));

class TFormCheckingReference;
TFormCheckingReference* gCheckedForm = nullptr;

class TFormCheckingReference : public TForm {
public:
  explicit TFormCheckingReference(TComponent* owner) : TForm(owner) {
    OnCreate = [this](TObject*) { referenceSetInOnCreate = gCheckedForm == this; };
  }
  bool referenceSetInOnCreate = false;
};

TEST(UiForms, ApplicationOwnsCreatedFormsAndTheFirstIsTheMainForm) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  Application->CreateForm(gCheckedForm);
  EXPECT_TRUE(gCheckedForm->referenceSetInOnCreate);
  EXPECT_EQ(gCheckedForm->Owner(), Application);
  EXPECT_EQ(Application->MainForm(), gCheckedForm);
  TForm* second = nullptr;
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), gCheckedForm);
  EXPECT_EQ(Application->ComponentCount(), 2);

  gCheckedForm->Free();
  EXPECT_EQ(Application->MainForm(), nullptr);
  second->Free();
  EXPECT_EQ(Application->ComponentCount(), 0);
}

// Run needs a main form; each test that runs it makes one and frees it.
class UiRun : public ::testing::Test {
protected:
  void SetUp() override {
    Application->CreateForm(mainForm_);
    ASSERT_EQ(Application->MainForm(), mainForm_);
  }
  void TearDown() override {
    mainForm_->Free();
    // Terminate cannot be undone; the next test gets a fresh application.
    if (Application->Terminated()) RecreateApplication();
  }
  TForm* mainForm_ = nullptr;
};

TEST_F(UiRun, RunShowsTheMainFormAndReturnsWhenItCloses) {
  bool shownInLoop = false;
  SetOneShotTimer(nullptr, 0, 1, [&](HWND, UINT, UINT_PTR, uint32_t) {
    shownInLoop = mainForm_->Visible();
    PostMessage(mainForm_->Handle(), WM_CLOSE, 0, 0);
  });
  Application->Run();
  EXPECT_TRUE(shownInLoop);
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(UiRun, MainFormThatRefusesToCloseKeepsTheLoopRunning) {
  int queries = 0;
  mainForm_->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
  SetOneShotTimer(nullptr, 0, 1, [&](HWND, UINT, UINT_PTR, uint32_t) {
    mainForm_->Close();
    EXPECT_FALSE(Application->Terminated());
    mainForm_->Close();
  });
  Application->Run();
  EXPECT_EQ(queries, 2);
}

TEST_F(UiRun, CloseActionNoneOfTheMainFormKeepsTheLoopRunning) {
  int closes = 0;
  mainForm_->OnClose = [&](TObject*, TCloseAction& action) {
    if (++closes == 1) action = caNone;
  };
  SetOneShotTimer(nullptr, 0, 1, [&](HWND, UINT, UINT_PTR, uint32_t) {
    mainForm_->Close();
    EXPECT_FALSE(Application->Terminated());
    mainForm_->Close();
  });
  Application->Run();
  EXPECT_EQ(closes, 2);
}

TEST_F(UiRun, TerminateEndsRunFromAnEventHandler) {
  SetOneShotTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, uint32_t) { Application->Terminate(); });
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(mainForm_->Visible()) << "Terminate does not close the main form";
}

TEST(UiForms, RunWithoutAMainFormReturnsAtOnce) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  Application->Run();
  EXPECT_FALSE(Application->Terminated());
}

TEST(UiForms, ShowAppliesScreenCentrePosition) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->SetBounds(0, 0, 200, 100);
  form->SetPosition(poScreenCenter);
  form->Show();
  const QRect screen = form->Widget()->screen()->availableGeometry();
  EXPECT_EQ(form->Left(), screen.left() + (screen.width() - form->Width()) / 2);
  EXPECT_EQ(form->Top(), screen.top() + (screen.height() - form->Height()) / 2);
  form->Free();
}

TEST(UiForms, ActivatingAWindowRunsOnActivateAndOnDeactivate) {
  auto* first = TComponent::Create<TForm>(nullptr);
  auto* second = TComponent::Create<TForm>(nullptr);
  std::vector<std::string> events;
  first->OnActivate = [&](TObject*) { events.push_back("first+"); };
  first->OnDeactivate = [&](TObject*) { events.push_back("first-"); };
  second->OnActivate = [&](TObject*) { events.push_back("second+"); };
  first->Show();
  EXPECT_TRUE(ProcessMessagesUntil([&] { return !events.empty(); }));
  second->Show();
  EXPECT_TRUE(ProcessMessagesUntil([&] { return events.size() >= 3; }));
  EXPECT_EQ(events, (std::vector<std::string>{"first+", "first-", "second+"}));
  second->Free();
  first->Free();
}

TEST(UiForms, ClientSizeIsTheInsideOfTheWindow) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->SetClientWidth(300);
  form->SetClientHeight(150);
  EXPECT_EQ(form->ClientWidth(), 300);
  EXPECT_EQ(form->ClientHeight(), 150);
  EXPECT_EQ(form->Widget()->width(), 300);
  EXPECT_GE(form->Width(), 300);
  form->Free();
}

}  // namespace

namespace ui_forms_min_width_test {

TEST(UiForms, MinWidthWidensANarrowWindowAndLimitsLaterSizes) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->SetBounds(10, 10, 600, 300);
  form->SetMinWidth(800);
  EXPECT_EQ(form->MinWidth(), 800);
  EXPECT_EQ(form->Width(), 800);
  form->SetBounds(10, 10, 500, 300);
  EXPECT_EQ(form->Width(), 800);
  form->SetBounds(10, 10, 1000, 300);
  EXPECT_EQ(form->Width(), 1000);
  form->Free();
}

TEST(UiForms, MinHeightHeightensALowWindowAndLimitsLaterSizes) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->SetBounds(10, 10, 600, 300);
  form->SetMinHeight(640);
  EXPECT_EQ(form->MinHeight(), 640);
  EXPECT_EQ(form->Height(), 640);
  form->SetBounds(10, 10, 600, 400);
  EXPECT_EQ(form->Height(), 640);
  form->SetBounds(10, 10, 600, 700);
  EXPECT_EQ(form->Height(), 700);
  EXPECT_EQ(form->Width(), 600);
  form->Free();
}

}  // namespace ui_forms_min_width_test
