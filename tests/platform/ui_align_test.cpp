// Aligned controls: the order of the sides, the order within a side, the
// re-alignment trick that stacks controls in a chosen order, and nested
// alignment following a parent's new size.

#include "platform/ui/forms.h"
#include "platform/ui/panels.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class UiAlign : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 500, 400);
    host = new TPanel(form);
    host->SetParent(form);
    host->SetBounds(0, 0, 300, 200);
  }
  void TearDown() override { form->Free(); }

  TPanel* Add(TAlign align, int width, int height, int top = 0) {
    auto* panel = new TPanel(form);
    panel->SetBounds(0, top, width, height);
    panel->SetParent(host);
    panel->SetAlign(align);
    return panel;
  }

  TForm* form = nullptr;
  TPanel* host = nullptr;
};

TEST_F(UiAlign, SidesTakeTheirPlacesBeforeTheClientFillsTheRest) {
  TPanel* client = Add(alClient, 10, 10);
  TPanel* right = Add(alRight, 18, 10);
  TPanel* bottom = Add(alBottom, 10, 18);
  TPanel* left = Add(alLeft, 30, 10);
  TPanel* top = Add(alTop, 10, 25);
  // Top and bottom span the width; left and right what is between them.
  EXPECT_EQ((std::vector<int>{top->Left(), top->Top(), top->Width(), top->Height()}), (std::vector<int>{0, 0, 300, 25}));
  EXPECT_EQ((std::vector<int>{bottom->Left(), bottom->Top(), bottom->Width(), bottom->Height()}),
            (std::vector<int>{0, 182, 300, 18}));
  EXPECT_EQ((std::vector<int>{left->Left(), left->Top(), left->Width(), left->Height()}),
            (std::vector<int>{0, 25, 30, 157}));
  EXPECT_EQ((std::vector<int>{right->Left(), right->Top(), right->Width(), right->Height()}),
            (std::vector<int>{282, 25, 18, 157}));
  EXPECT_EQ((std::vector<int>{client->Left(), client->Top(), client->Width(), client->Height()}),
            (std::vector<int>{30, 25, 252, 157}));

  // The parent's new size moves them all; the client's children follow it.
  TPanel* inner = new TPanel(form);
  inner->SetParent(client);
  inner->SetAlign(alClient);
  host->SetBounds(0, 0, 400, 300);
  EXPECT_EQ(right->Left(), 382);
  EXPECT_EQ(bottom->Top(), 282);
  EXPECT_EQ(client->Width(), 352);
  EXPECT_EQ(inner->Width(), 352);
  EXPECT_EQ(inner->Height(), 257);

  // A hidden control gives its place up; a control set free keeps its bounds.
  left->Hide();
  EXPECT_EQ(client->Left(), 0);
  top->SetAlign(alNone);
  EXPECT_EQ(client->Top(), 0);
  EXPECT_EQ(top->Height(), 25);
}

TEST_F(UiAlign, ControlsOfASideStackByPositionAndTheMovedOneGoesFirstAmongEquals) {
  TPanel* a = Add(alTop, 10, 20);
  TPanel* b = Add(alTop, 10, 30);  // at Top 0 like a: the one just aligned goes first
  EXPECT_EQ(b->Top(), 0);
  EXPECT_EQ(a->Top(), 30);
  // A new height keeps the order and moves those below.
  b->SetHeight(50);
  EXPECT_EQ(a->Top(), 50);
  // Bottom, then top again: the control goes after every other top control.
  b->SetAlign(alBottom);
  EXPECT_EQ(b->Top(), 150);
  b->SetAlign(alTop);
  EXPECT_EQ(a->Top(), 0);
  EXPECT_EQ(b->Top(), 20);

  // Dealing three in a chosen order stacks them in that order.
  TPanel* c = Add(alTop, 10, 5);
  std::vector<TPanel*> order{c, a, b};
  for (TPanel* p : order) {
    p->SetAlign(alBottom);
    p->SetAlign(alTop);
  }
  EXPECT_EQ(c->Top(), 0);
  EXPECT_EQ(a->Top(), 5);
  EXPECT_EQ(b->Top(), 25);

  // Bottom controls stack upwards from the edge, right controls leftwards.
  TPanel* low1 = Add(alBottom, 10, 10, 500);
  TPanel* low2 = Add(alBottom, 10, 15, 500);
  EXPECT_EQ(low2->Top(), 185);
  EXPECT_EQ(low1->Top(), 175);
  // A panel 0 high takes no room but keeps its place.
  a->SetHeight(0);
  EXPECT_EQ(b->Top(), 5);
  EXPECT_EQ(a->Top(), 5);
}

}  // namespace
