// Tree view: vetoed selection changes, node pictures with selected and state
// images, dragging a node within the tree, moving nodes and the insertion line.

#include "platform/ui/bitmap.h"
#include "platform/ui/forms.h"
#include "platform/ui/image_list.h"
#include "platform/ui/keys.h"
#include "platform/ui/tree_view.h"
#include "tests/platform/ui_input.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTreeWidget>

#include <string>
#include <vector>

namespace {

class UiTreeView : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 300);
    tree = new TTreeView(form);
    tree->SetParent(form);
    tree->SetBounds(0, 0, 200, 250);
    for (const char* text : {"Gain", "Filter", "Hilbert", "Migration"}) nodes.push_back(tree->Items()->AddChild(nullptr, text));
    form->Show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return nodes[3]->DisplayRect().Height() > 0; }));
  }
  void TearDown() override { form->Free(); }
  QWidget* Rows() const { return static_cast<QTreeWidget*>(tree->Widget())->viewport(); }
  QPoint Centre(TTreeNode* node) const {
    const TRect r = node->DisplayRect();
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }

  TForm* form = nullptr;
  TTreeView* tree = nullptr;
  std::vector<TTreeNode*> nodes;
};

TEST_F(UiTreeView, ChangingMayRefuseANewSelection) {
  std::vector<std::string> events;
  bool allow = true;
  tree->OnChanging = [&](TObject*, TTreeNode* node, bool& allowChange) {
    events.push_back("changing " + node->Text().toStdString());
    allowChange = allow;
  };
  tree->OnChange = [&](TObject*, TTreeNode* node) { events.push_back("change " + node->Text().toStdString()); };
  tree->SetSelected(nodes[1]);
  allow = false;
  ui_input::Click(Rows(), Centre(nodes[2]));
  EXPECT_EQ(tree->Selected(), nodes[1]);
  allow = true;
  ui_input::Click(Rows(), Centre(nodes[2]));
  EXPECT_EQ(tree->Selected(), nodes[2]);
  EXPECT_EQ(events, (std::vector<std::string>{"changing Filter", "change Filter", "changing Hilbert",
                                              "changing Hilbert", "change Hilbert"}));
  EXPECT_EQ(tree->GetNodeAt(Centre(nodes[3]).x(), Centre(nodes[3]).y()), nodes[3]);
  EXPECT_EQ(tree->GetNodeAt(5, 240), nullptr);
}

TEST_F(UiTreeView, NodesShowTheirImageTheSelectedImageAndTheStateImage) {
  auto* images = new TImageList(form);
  images->SetSize(4, 4);
  TBitmap strip;
  strip.SetPixelFormat(pf24bit);
  strip.SetSize(12, 4);
  const TColor colours[] = {clRed, clLime, clBlue};
  for (int i = 0; i < 3; ++i) {
    strip.Canvas()->Brush()->SetColor(colours[i]);
    strip.Canvas()->FillRect(Bounds(i * 4, 0, 4, 4));
  }
  images->Add(strip);
  nodes[0]->SetImageIndex(0);
  nodes[0]->SetSelectedIndex(1);
  tree->SetImages(images);
  auto* item = static_cast<QTreeWidget*>(tree->Widget())->topLevelItem(0);
  auto colourOf = [&](int x) { return item->icon(0).pixmap(item->icon(0).availableSizes().value(0)).toImage().pixel(x, 1); };
  EXPECT_EQ(colourOf(1), QColor(255, 0, 0).rgb());
  tree->SetSelected(nodes[0]);
  EXPECT_EQ(colourOf(1), QColor(0, 255, 0).rgb());
  tree->SetSelected(nodes[1]);
  EXPECT_EQ(colourOf(1), QColor(255, 0, 0).rgb());

  tree->SetStateImages(images);
  nodes[0]->SetStateIndex(2);
  EXPECT_EQ(colourOf(1), QColor(0, 0, 255).rgb());
  EXPECT_EQ(colourOf(5), QColor(255, 0, 0).rgb());
  images->Free();
  EXPECT_EQ(tree->Images(), nullptr);
  EXPECT_TRUE(item->icon(0).isNull());
}

TEST_F(UiTreeView, AutomaticDragAsksOverEachMoveAndDropsWhereAccepted) {
  tree->SetDragMode(dmAutomatic);
  std::vector<std::string> events;
  tree->OnDragOver = [&](TObject*, TObject* source, int x, int y, TDragState, bool& accept) {
    EXPECT_EQ(source, tree);
    TTreeNode* over = tree->GetNodeAt(x, y);
    accept = over != nullptr;
    events.push_back("over " + (over ? over->Text().toStdString() : std::string("-")));
  };
  tree->OnDragDrop = [&](TObject*, TObject*, int x, int y) {
    events.push_back("drop on " + tree->GetNodeAt(x, y)->Text().toStdString() + " moving " +
                     tree->Selected()->Text().toStdString());
  };
  tree->OnEndDrag = [&](TObject*, TObject* target, int, int) {
    events.push_back(target ? "end taken" : "end refused");
  };

  ui_input::Mouse(Rows(), QEvent::MouseButtonPress, Centre(nodes[0]));
  ui_input::Mouse(Rows(), QEvent::MouseMove, Centre(nodes[0]) + QPoint(1, 0));  // too small to start
  EXPECT_FALSE(tree->Dragging());
  ui_input::Mouse(Rows(), QEvent::MouseMove, Centre(nodes[2]));
  EXPECT_TRUE(tree->Dragging());
  ui_input::Mouse(Rows(), QEvent::MouseButtonRelease, Centre(nodes[2]));
  EXPECT_FALSE(tree->Dragging());

  // Dropped below the last node: refused.
  ui_input::Mouse(Rows(), QEvent::MouseButtonPress, Centre(nodes[1]));
  ui_input::Mouse(Rows(), QEvent::MouseMove, QPoint(20, 240));
  ui_input::Mouse(Rows(), QEvent::MouseButtonRelease, QPoint(20, 240));
  EXPECT_EQ(events, (std::vector<std::string>{"over Hilbert", "drop on Hilbert moving Gain", "end taken", "over -",
                                              "end refused"}));

  // A press on no node starts nothing; the program may start a drag itself.
  events.clear();
  ui_input::Mouse(Rows(), QEvent::MouseButtonPress, QPoint(20, 240));
  ui_input::Mouse(Rows(), QEvent::MouseMove, Centre(nodes[0]));
  EXPECT_FALSE(tree->Dragging());
  ui_input::Mouse(Rows(), QEvent::MouseButtonRelease, Centre(nodes[0]));
  tree->BeginDrag(true);
  tree->EndDrag(false);
  EXPECT_EQ(events, (std::vector<std::string>{"end refused"}));
}

TEST_F(UiTreeView, AMovedNodeTakesItsNewPlaceInTheTreeAndKeepsTheSelection) {
  auto child = tree->Items()->AddChild(nodes[0], "Child");
  tree->SetSelected(nodes[0]);
  int changes = 0;
  tree->OnChange = [&](TObject*, TTreeNode*) { ++changes; };
  auto shownOrder = [&] {
    auto* widget = static_cast<QTreeWidget*>(tree->Widget());
    std::vector<std::string> texts;
    for (int i = 0; i < widget->topLevelItemCount(); ++i) texts.push_back(widget->topLevelItem(i)->text(0).toStdString());
    return texts;
  };
  auto order = [&] {
    std::vector<std::string> texts;
    for (int i = 0; i < tree->Items()->TopCount(); ++i) texts.push_back(tree->Items()->Top(i)->Text().toStdString());
    return texts;
  };
  using Texts = std::vector<std::string>;
  nodes[0]->MoveTo(nodes[3]);
  EXPECT_EQ(order(), (Texts{"Filter", "Hilbert", "Gain", "Migration"}));
  EXPECT_EQ(shownOrder(), order());
  EXPECT_EQ(nodes[0]->Index(), 2);
  EXPECT_EQ(child->Parent(), nodes[0]);
  EXPECT_EQ(nodes[0]->Item(0), child);
  EXPECT_EQ(tree->Selected(), nodes[0]);
  nodes[1]->MoveTo(nullptr);
  EXPECT_EQ(order(), (Texts{"Hilbert", "Gain", "Migration", "Filter"}));
  EXPECT_EQ(shownOrder(), order());
  nodes[2]->MoveTo(nodes[2]);
  nodes[0]->MoveTo(child);  // into its own subtree: refused
  EXPECT_EQ(order(), (Texts{"Hilbert", "Gain", "Migration", "Filter"}));
  EXPECT_EQ(tree->Selected(), nodes[0]);
  EXPECT_EQ(changes, 0);
  // The rows follow: a click on the last row is the moved node.
  ASSERT_TRUE(ProcessMessagesUntil([&] { return nodes[1]->DisplayRect().Height() > 0; }));
  EXPECT_EQ(tree->GetNodeAt(Centre(nodes[1]).x(), Centre(nodes[1]).y()), nodes[1]);
  EXPECT_GT(nodes[1]->DisplayRect().Top, nodes[2]->DisplayRect().Top);
}

TEST_F(UiTreeView, TheProgramMayMoveADragAndDropIt) {
  std::vector<std::string> events;
  tree->OnDragOver = [&](TObject*, TObject*, int x, int y, TDragState, bool& accept) {
    TTreeNode* over = tree->GetNodeAt(x, y);
    accept = over != nullptr;
    events.push_back("over " + (over ? over->Text().toStdString() : std::string("-")));
  };
  tree->OnEndDrag = [&](TObject*, TObject* target, int x, int y) {
    events.push_back(std::string(target ? "taken at " : "refused at ") + std::to_string(x) + "," + std::to_string(y));
  };
  tree->DragMove(5, 5);  // no drag: nothing
  EXPECT_TRUE(events.empty());
  tree->BeginDrag(true);
  const QPoint on = Centre(nodes[2]);
  tree->DragMove(on.x(), on.y());
  tree->EndDrag(true);
  tree->BeginDrag(true);
  tree->DragMove(20, 240);
  tree->EndDrag(true);
  const std::string at = std::to_string(on.x()) + "," + std::to_string(on.y());
  EXPECT_EQ(events, (std::vector<std::string>{"over Hilbert", "taken at " + at, "over -", "refused at 20,240"}));
}

TEST_F(UiTreeView, TheInsertionLineIsDrawnAcrossTheRowsAndLeavesItsOldPlace) {
  auto colourAt = [&](int x, int y) { return Rows()->grab().toImage().pixelColor(x, y).rgb() & 0xFFFFFFu; };
  const int y1 = nodes[1]->DisplayRect().Top;
  const int y2 = nodes[3]->DisplayRect().Bottom;
  const QRgb grey = 0x909090;
  ASSERT_NE(colourAt(100, y1), grey);
  EXPECT_EQ(tree->InsertionLineY(), -1);
  tree->ShowInsertionLine(y1, TColor{0x909090}, 4);
  EXPECT_EQ(tree->InsertionLineY(), y1);
  EXPECT_EQ(colourAt(2, y1), grey);
  EXPECT_EQ(colourAt(190, y1 + 1), grey) << "across the whole width, 4 pixels high";
  EXPECT_NE(colourAt(100, y1 + 3), grey);
  tree->ShowInsertionLine(y2, TColor{0x909090}, 4);
  EXPECT_EQ(colourAt(100, y2), grey);
  EXPECT_NE(colourAt(100, y1), grey) << "the previous line is gone";
  tree->HideInsertionLine();
  EXPECT_EQ(tree->InsertionLineY(), -1);
  EXPECT_NE(colourAt(100, y2), grey);
}

// A focused control takes the keys it names before a menu short cut of the same
// key: Qt asks the focused widget with a short-cut override event first, and the
// key then comes as a key press.
TEST_F(UiTreeView, NamedKeysComeBeforeMenuShortCuts) {
  std::vector<WORD> keys;
  tree->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys.push_back(key); };
  auto overridden = [&](int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent override(QEvent::ShortcutOverride, key, modifiers);
    override.ignore();
    QApplication::sendEvent(tree->Widget(), &override);
    return override.isAccepted();
  };
  EXPECT_FALSE(overridden(Qt::Key_Insert, Qt::NoModifier)) << "without the list the short cut wins";
  tree->KeysBeforeShortCuts = {VK_INSERT, VK_DELETE};
  EXPECT_TRUE(overridden(Qt::Key_Insert, Qt::NoModifier));
  EXPECT_TRUE(overridden(Qt::Key_Delete, Qt::ShiftModifier));
  EXPECT_FALSE(overridden(Qt::Key_F1, Qt::NoModifier));
  ui_input::Key(tree->Widget(), Qt::Key_Insert, QString());
  EXPECT_EQ(keys, (std::vector<WORD>{VK_INSERT}));
}

}  // namespace
