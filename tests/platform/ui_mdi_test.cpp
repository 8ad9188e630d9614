// MDI frames and their children.

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include <string>
#include <vector>

namespace {

class UiMdi : public ::testing::Test {
protected:
  void SetUp() override {
    Application->CreateForm(frame_);
    frame_->Show();
  }
  void TearDown() override { frame_->Free(); }
  TMdiFrameForm* frame_ = nullptr;
};

TEST_F(UiMdi, ChildrenLiveInTheFrameAndShowWhenCreated) {
  TMdiChildForm* first = nullptr;
  TMdiChildForm* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  EXPECT_TRUE(first->Visible());
  EXPECT_EQ(frame_->MDIChildCount(), 2);
  ASSERT_NE(frame_->MdiArea(), nullptr);
  EXPECT_TRUE(frame_->MdiArea()->isAncestorOf(first->Widget()));
  EXPECT_TRUE(frame_->MdiArea()->isAncestorOf(second->Widget()));
  // The child created last is the active one and comes first.
  EXPECT_EQ(frame_->ActiveMDIChild(), second);
  EXPECT_EQ(frame_->MDIChildren(0), second);
  EXPECT_EQ(frame_->MDIChildren(1), first);

  first->Show();  // brings it to the front
  EXPECT_EQ(frame_->ActiveMDIChild(), first);
  EXPECT_EQ(frame_->MDIChildren(0), first);

  second->Free();
  EXPECT_EQ(frame_->MDIChildCount(), 1);
  EXPECT_EQ(frame_->MDIChildren(0), first);
  first->Free();
  EXPECT_EQ(frame_->MDIChildCount(), 0);
  EXPECT_EQ(frame_->ActiveMDIChild(), nullptr);
}

TEST_F(UiMdi, ChildBoundsAreThoseOfItsFrameWindow) {
  TMdiChildForm* child = nullptr;
  Application->CreateForm(child);
  child->SetBounds(10, 20, 300, 200);
  QWidget* subWindow = child->Widget()->parentWidget();
  ASSERT_NE(qobject_cast<QMdiSubWindow*>(subWindow), nullptr);
  EXPECT_EQ(subWindow->geometry(), QRect(10, 20, 300, 200));
  EXPECT_EQ(child->Left(), 10);
  EXPECT_EQ(child->Width(), 300);
  EXPECT_LT(child->ClientWidth(), 300);
  child->Free();
}

TEST_F(UiMdi, ActivatingAChildRunsItsOnActivate) {
  TMdiChildForm* first = nullptr;
  TMdiChildForm* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  std::vector<std::string> events;
  first->OnActivate = [&](TObject*) { events.push_back("first+"); };
  first->OnDeactivate = [&](TObject*) { events.push_back("first-"); };
  second->OnDeactivate = [&](TObject*) { events.push_back("second-"); };
  first->Show();
  EXPECT_EQ(events, (std::vector<std::string>{"second-", "first+"}));
  second->Free();
  first->Free();
}

TEST_F(UiMdi, WindowCommandsTileCascadeAndStepThroughTheChildren) {
  frame_->SetBounds(0, 0, 800, 600);
  TMdiChildForm* first = nullptr;
  TMdiChildForm* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  int changes = 0;
  frame_->OnActiveMDIChildChange = [&](TObject*) { ++changes; };
  const QRect area = frame_->MdiArea()->viewport()->rect();
  auto box = [](TMdiChildForm* child) { return child->Widget()->parentWidget()->geometry(); };

  frame_->Tile(TForm::tbVertical);
  EXPECT_EQ(box(first), QRect(0, 0, area.width() / 2, area.height()));
  EXPECT_EQ(box(second).left(), area.width() / 2);
  EXPECT_EQ(box(second).height(), area.height());
  frame_->Tile(TForm::tbHorizontal);
  EXPECT_EQ(box(first), QRect(0, 0, area.width(), area.height() / 2));
  EXPECT_EQ(box(second).top(), area.height() / 2);
  EXPECT_EQ(box(second).width(), area.width());

  frame_->Cascade();
  EXPECT_NE(box(first).topLeft(), box(second).topLeft()) << "cascaded windows are offset";
  EXPECT_LT(box(first).width(), area.width());

  ASSERT_EQ(frame_->ActiveMDIChild(), second);
  frame_->Next();
  EXPECT_EQ(frame_->ActiveMDIChild(), first);
  frame_->Previous();
  EXPECT_EQ(frame_->ActiveMDIChild(), second);
  EXPECT_EQ(changes, 2);

  first->SetWindowState(wsMinimized);
  second->SetWindowState(wsMinimized);
  frame_->ArrangeIcons();
  EXPECT_EQ(box(first).bottom(), area.bottom()) << "icons line up along the bottom";
  EXPECT_EQ(box(second).bottom(), area.bottom());
  EXPECT_EQ(box(first).left(), 0);
  EXPECT_EQ(box(second).left(), box(first).right() + 1);
  const int before = changes;
  second->Free();
  first->Free();
  EXPECT_EQ(frame_->ActiveMDIChild(), nullptr);
  EXPECT_EQ(changes, before + 2) << "each freed active window is a change, the last one to none";
}

TEST_F(UiMdi, ChildCloseMinimizesByDefault) {
  TMdiChildForm* child = nullptr;
  Application->CreateForm(child);
  TCloseAction defaultAction = caNone;
  child->OnClose = [&](TObject*, TCloseAction& action) { defaultAction = action; };
  child->Close();
  EXPECT_EQ(defaultAction, caMinimize);
  EXPECT_EQ(child->WindowState(), wsMinimized);
  child->Free();
}

TEST_F(UiMdi, FrameCloseQueryAsksEveryChildFirst) {
  TMdiChildForm* child = nullptr;
  Application->CreateForm(child);
  bool childAllows = false;
  int frameQueries = 0;
  child->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = childAllows; };
  frame_->OnCloseQuery = [&](TObject*, bool&) { ++frameQueries; };
  EXPECT_FALSE(frame_->CloseQuery());
  EXPECT_EQ(frameQueries, 0);
  childAllows = true;
  EXPECT_TRUE(frame_->CloseQuery());
  EXPECT_EQ(frameQueries, 1);
  child->Free();
}

TEST_F(UiMdi, FreeingTheFrameFreesItsChildren) {
  TMdiChildForm* child = nullptr;
  Application->CreateForm(child);
  bool childDestroyed = false;
  child->OnDestroy = [&](TObject*) { childDestroyed = true; };
  frame_->Free();
  frame_ = nullptr;
  EXPECT_TRUE(childDestroyed);
  EXPECT_EQ(Application->ComponentCount(), 0);
  Application->CreateForm(frame_);  // for TearDown
}

// The user's double click on a child's title, as the frame carries it out.
struct TTitleCommandCase {
  const char* what;
  TWindowState from;
  WPARAM command;
  TWindowState to;
};

TEST_F(UiMdi, TheUsersStateCommandsReachTheChildAsSystemCommandsItMayRefuse) {
  const TTitleCommandCase cases[] = {
      {"maximise", wsNormal, SC_MAXIMIZE, wsMaximized},
      {"restore", wsMaximized, SC_RESTORE, wsNormal},
  };
  for (const TTitleCommandCase& c : cases) {
    SCOPED_TRACE(c.what);
    TMdiChildForm* child = nullptr;
    Application->CreateForm(child);
    child->SetWindowState(c.from);
    Application->ProcessMessages();
    std::vector<WPARAM> commands;
    bool refuse = true;
    child->SetMessageHandler(WM_SYSCOMMAND, [&](TMessage& m) {
      commands.push_back(m.WParam);
      if (!refuse) child->DefaultHandler(m);
    });

    UserTitleDoubleClick(*child);
    EXPECT_EQ(child->WindowState(), c.from) << "taken back until the child decides";
    Application->ProcessMessages();
    EXPECT_EQ(commands, std::vector<WPARAM>{c.command});
    EXPECT_EQ(child->WindowState(), c.from) << "refused";

    refuse = false;
    UserTitleDoubleClick(*child);
    Application->ProcessMessages();
    EXPECT_EQ(commands.size(), 2u);
    EXPECT_EQ(child->WindowState(), c.to) << "the default handling";
    child->Free();
  }
}

TEST_F(UiMdi, StateChangesTheProgramOrTheAreaMakesAreNoCommands) {
  TMdiChildForm* child = nullptr;
  Application->CreateForm(child);
  int commands = 0;
  child->SetMessageHandler(WM_SYSCOMMAND, [&](TMessage&) { ++commands; });
  child->SetWindowState(wsMaximized);
  child->Widget()->parentWidget()->showMinimized();
  Application->ProcessMessages();
  EXPECT_EQ(child->WindowState(), wsMinimized);
  EXPECT_EQ(commands, 0);
  child->Free();
}

TEST_F(UiMdi, TheUsersCloseIsASystemCommandWhoseDefaultCloses) {
  TMdiChildForm* child = nullptr;
  Application->CreateForm(child);
  bool refuse = true;
  int commands = 0;
  child->SetMessageHandler(WM_SYSCOMMAND, [&](TMessage& m) {
    ++commands;
    EXPECT_EQ(m.WParam, SC_CLOSE);
    if (!refuse) child->DefaultHandler(m);
  });
  int closes = 0;
  child->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  child->Widget()->parentWidget()->close();
  EXPECT_EQ(commands, 1);
  EXPECT_EQ(closes, 0);
  EXPECT_EQ(child->WindowState(), wsNormal);
  refuse = false;
  child->Widget()->parentWidget()->close();
  EXPECT_EQ(commands, 2);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(child->WindowState(), wsMinimized);
  child->Free();
}

TEST_F(UiMdi, MdiDestroyFreesTheChildUnlessItsHandlerKeepsIt) {
  TMdiChildForm* child = nullptr;
  Application->CreateForm(child);
  bool keep = true;
  child->SetMessageHandler(WM_MDIDESTROY, [&](TMessage& m) {
    if (!keep) child->DefaultHandler(m);
  });
  SendMessage(child->Handle(), WM_MDIDESTROY, 0, 0);
  Application->ProcessMessages();
  ASSERT_EQ(frame_->MDIChildCount(), 1);
  keep = false;
  bool destroyed = false;
  child->OnDestroy = [&](TObject*) { destroyed = true; };
  SendMessage(child->Handle(), WM_MDIDESTROY, 0, 0);
  EXPECT_FALSE(destroyed) << "freed once the messages queued before have run";
  Application->ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(frame_->MDIChildCount(), 0);
}

TEST(UiMdiWithoutFrame, ChildNeedsAnMdiMainForm) {
  EXPECT_THROW(TComponent::Create<TMdiChildForm>(nullptr), EInvalidOperation);
  TForm* plainMain = nullptr;
  Application->CreateForm(plainMain);
  EXPECT_THROW(TComponent::Create<TMdiChildForm>(nullptr), EInvalidOperation);
  plainMain->Free();
}

}  // namespace

namespace ui_mdi_background_test {

TEST(UiMdiBackground, PictureShowsCentredBehindTheChildrenAndFollowsTheSize) {
  TMdiFrameForm* frame = nullptr;
  Application->CreateForm(frame);
  frame->SetBounds(0, 0, 400, 300);
  frame->Show();
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(20, 20);
  picture.Canvas()->Brush()->SetColor(clRed);
  picture.Canvas()->FillRect(Rect(0, 0, 20, 20));
  frame->SetBackgroundPicture(&picture);
  Application->ProcessMessages();
  const int cx = frame->MdiArea()->width() / 2, cy = frame->MdiArea()->height() / 2;
  EXPECT_EQ(ShownColor(*frame, cx, cy), clRed);
  EXPECT_NE(ShownColor(*frame, 5, 5), clRed);

  frame->SetBounds(0, 0, 600, 500);
  Application->ProcessMessages();
  EXPECT_EQ(ShownColor(*frame, frame->MdiArea()->width() / 2, frame->MdiArea()->height() / 2), clRed);
  EXPECT_NE(ShownColor(*frame, cx, cy), clRed) << "the picture moved with the centre";

  frame->SetBackgroundPicture(nullptr);
  Application->ProcessMessages();
  EXPECT_NE(ShownColor(*frame, frame->MdiArea()->width() / 2, frame->MdiArea()->height() / 2), clRed);
  frame->Free();
}

}  // namespace ui_mdi_background_test
