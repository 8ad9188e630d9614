// Owner-drawn items asked of the parent (WM_DRAWITEM, handed back as
// CN_DRAWITEM unless it is a menu's item) and WM_MDIDESTROY passed by an MDI
// frame to the child it names.

#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "platform/ui/messages.h"
#include "platform/ui/status_bar.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace ui_draw_item_test {

TEST(UiDrawItem, TheBarsPanelsAreDrawnThroughTheParentUnlessTakenForAMenuItem) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->SetBounds(0, 0, 400, 200);
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->AddPanel(100, psOwnerDraw);
  bar->AddPanel(80, psText);
  bar->AddPanel(60, psOwnerDraw);
  std::vector<int> drawn;
  bar->OnDrawPanel = [&](TStatusBar&, int index, const TRect&) { drawn.push_back(index); };
  std::vector<UINT> asked;
  form->SetMessageHandler(WM_DRAWITEM, [&](TMessage& message) {
    const auto* item = reinterpret_cast<const TDrawItemStruct*>(message.LParam);
    EXPECT_EQ(item->hwndItem, bar->Handle());
    EXPECT_EQ(item->rcItem.Left, bar->PanelRect(static_cast<int>(item->itemID)).Left);
    asked.push_back(item->itemID);
    form->DefaultHandler(message);
  });
  form->Show();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return drawn.size() >= 2; }));
  // The owner-drawn panels only, each asked of the parent first.
  EXPECT_EQ(asked.front(), 0u);
  EXPECT_EQ(drawn.front(), 0);
  for (int index : drawn) EXPECT_NE(index, 1);

  // Sent by hand: a menu's item is not the bar's; any other type is.
  drawn.clear();
  TDrawItemStruct item;
  item.hwndItem = bar->Handle();
  item.itemID = 2;
  item.rcItem = bar->PanelRect(2);
  item.CtlType = ODT_MENU;
  EXPECT_EQ(form->Perform(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)), 0);
  EXPECT_TRUE(drawn.empty());
  item.CtlType = ODT_STATIC;
  EXPECT_EQ(form->Perform(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)), 1);
  EXPECT_EQ(drawn, (std::vector<int>{2}));
  form->Free();
}

TEST(UiDrawItem, AFramePassesMdiDestroyToTheChildItNames) {
  TMdiFrameForm* frame = nullptr;
  Application->CreateForm(frame);
  frame->Show();
  TMdiChildForm* kept = nullptr;
  TMdiChildForm* destroyed = nullptr;
  Application->CreateForm(kept);
  Application->CreateForm(destroyed);
  ASSERT_EQ(frame->MDIChildCount(), 2);
  int seen = 0;
  destroyed->SetMessageHandler(WM_MDIDESTROY, [&](TMessage& message) {
    ++seen;
    destroyed->DefaultHandler(message);
  });
  // A handle that is no child of the frame: nothing.
  frame->Perform(WM_MDIDESTROY, reinterpret_cast<WPARAM>(frame->Handle()), 0);
  frame->Perform(WM_MDIDESTROY, reinterpret_cast<WPARAM>(destroyed->Handle()), 0);
  EXPECT_EQ(seen, 1);
  ASSERT_TRUE(ProcessMessagesUntil([&] { return frame->MDIChildCount() == 1; }));
  EXPECT_EQ(frame->MDIChildren(0), kept);
  frame->Free();
}

}  // namespace ui_draw_item_test
