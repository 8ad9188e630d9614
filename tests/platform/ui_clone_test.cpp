// CloneComponentWithIndex: a designed panel with a chart, its series and nested
// controls copied under indexed names, into the parent's alignment order,
// with the handlers of the originals and no shared state.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/component_clone.h"
#include "platform/ui/forms.h"
#include "platform/ui/image.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class UiClone : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 600, 500);
    column = new TPanel(form);
    column->SetName("Panel5");
    column->SetParent(form);
    column->SetAlign(alClient);

    panel = new TPanel(form);
    panel->SetName("Panel");
    panel->SetBounds(0, 0, 300, 120);
    panel->SetParent(column);
    panel->SetAlign(alTop);
    chart = new TChart(form);
    chart->SetName("ChartView");
    chart->SetParent(panel);
    chart->SetAlign(alClient);
    chart->LeftAxis()->SetTitle("#0 Time, ns");
    chart->OnDblClick = [this](TObject* sender) { doubleClicked.push_back(sender); };
    zero = new TLineSeries(form);
    zero->SetName("SeriesNull");
    zero->SetParentChart(chart);
    zero->SetSeriesColor(clBlue);
    zero->AddXY(0, 5);
    zero->AddXY(10, 5);
    size = new TPointSeries(form);
    size->SetName("SizeSeries");
    size->SetParentChart(chart);
    size->OnBeforeDrawValues = [this](TObject* sender) { drawnSeries.push_back(sender); };

    progress = new TPanel(form);
    progress->SetName("ProgressPanel");
    progress->SetBounds(10, 10, 350, 46);
    progress->SetParent(panel);
    progress->Hide();
    image = new TImage(form);
    image->SetName("ProgressImage");
    image->SetParent(progress);
    std::vector<std::unique_ptr<TBitmap>> frames;
    for (int i = 0; i < 3; ++i) {
      frames.push_back(std::make_unique<TBitmap>());
      frames.back()->SetSize(8, 8);
    }
    image->SetFrames(std::move(frames));
    image->SetAnimate(true);
    cancel = new TBitBtn(form);
    cancel->SetName("Cansel");
    cancel->SetCaption("Cancel");
    cancel->SetParent(progress);
    cancel->OnClick = [this](TObject* sender) { cancelled.push_back(sender); };
  }
  void TearDown() override { form->Free(); }

  template <typename T>
  T* Find(const char* name) {
    return dynamic_cast<T*>(form->FindComponent(QString::fromLatin1(name)));
  }

  TForm* form = nullptr;
  TPanel* column = nullptr;
  TPanel* panel = nullptr;
  TChart* chart = nullptr;
  TLineSeries* zero = nullptr;
  TPointSeries* size = nullptr;
  TPanel* progress = nullptr;
  TImage* image = nullptr;
  TBitBtn* cancel = nullptr;
  std::vector<TObject*> doubleClicked, drawnSeries, cancelled;
};

TEST_F(UiClone, CopiesAPanelWithEverythingOnItUnderIndexedNames) {
  auto* copy = dynamic_cast<TPanel*>(CloneComponentWithIndex(3, nullptr, panel));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Name(), "Panel_3");
  EXPECT_EQ(copy->Owner(), form);
  EXPECT_EQ(copy->Parent(), column);
  EXPECT_EQ(panel->Name(), "Panel");

  auto* chart3 = Find<TChart>("ChartView_3");
  auto* zero3 = Find<TLineSeries>("SeriesNull_3");
  auto* size3 = Find<TPointSeries>("SizeSeries_3");
  auto* progress3 = Find<TPanel>("ProgressPanel_3");
  auto* image3 = Find<TImage>("ProgressImage_3");
  auto* cancel3 = Find<TBitBtn>("Cansel_3");
  ASSERT_TRUE(chart3 && zero3 && size3 && progress3 && image3 && cancel3);
  EXPECT_EQ(chart3->Parent(), copy);
  EXPECT_EQ(progress3->Parent(), copy);
  EXPECT_EQ(image3->Parent(), progress3);
  EXPECT_EQ(cancel3->Parent(), progress3);
  // The originals keep their series; the copies sit on the copied chart.
  ASSERT_EQ(chart->SeriesCount(), 2);
  EXPECT_EQ(chart->Series(0), zero);
  ASSERT_EQ(chart3->SeriesCount(), 2);
  EXPECT_EQ(chart3->Series(0), zero3);
  EXPECT_EQ(chart3->Series(1), size3);

  // Properties came along.
  EXPECT_EQ(chart3->LeftAxis()->Title(), "#0 Time, ns");
  EXPECT_EQ(zero3->Count(), 2);
  EXPECT_EQ(zero3->SeriesColor(), clBlue);
  EXPECT_FALSE(progress3->Visible());
  EXPECT_EQ(progress3->Width(), 350);
  EXPECT_EQ(cancel3->Caption(), "Cancel");
  EXPECT_EQ(image3->FrameCount(), 3);
  EXPECT_TRUE(image3->Animate());

  // So did the handlers, which see the copy as their sender.
  chart3->DblClick();
  cancel3->Click();
  chart3->PaintTo(*chart3->Canvas(), Rect(0, 0, 100, 100));
  EXPECT_EQ(doubleClicked, std::vector<TObject*>{chart3});
  EXPECT_EQ(cancelled, std::vector<TObject*>{cancel3});
  EXPECT_EQ(drawnSeries, std::vector<TObject*>{size3});
}

TEST_F(UiClone, CopiesShareNothingWithTheOriginal) {
  auto* copy = dynamic_cast<TPanel*>(CloneComponentWithIndex(1, nullptr, panel));
  ASSERT_NE(copy, nullptr);
  auto* chart1 = Find<TChart>("ChartView_1");
  auto* zero1 = Find<TLineSeries>("SeriesNull_1");
  ASSERT_TRUE(chart1 && zero1);
  chart1->LeftAxis()->SetTitle("#1 Time, ns");
  chart1->TopAxis()->SetVisible(true);
  chart1->BackImage()->SetSize(40, 40);
  zero1->Clear();
  zero1->SetSeriesColor(clRed);
  copy->SetHeight(77);
  Find<TImage>("ProgressImage_1")->SetAnimate(false);
  EXPECT_EQ(chart->LeftAxis()->Title(), "#0 Time, ns");
  EXPECT_FALSE(chart->TopAxis()->Visible());
  EXPECT_TRUE(chart->BackImage()->Empty());
  EXPECT_EQ(zero->Count(), 2);
  EXPECT_EQ(zero->SeriesColor(), clBlue);
  EXPECT_EQ(panel->Height(), 120);
  EXPECT_TRUE(image->Animate());
  // Freeing a copy leaves the original whole.
  copy->Free();
  EXPECT_EQ(form->FindComponent("ChartView_1"), nullptr);
  EXPECT_EQ(chart->SeriesCount(), 2);
}

TEST_F(UiClone, CopiesStackAfterTheOriginalInIndexOrder) {
  std::vector<TPanel*> panels{panel};
  for (int i = 1; i <= 4; ++i) panels.push_back(dynamic_cast<TPanel*>(CloneComponentWithIndex(i, nullptr, panel)));
  for (size_t i = 0; i < panels.size(); ++i) EXPECT_EQ(panels[i]->Top(), static_cast<int>(i) * 120) << i;
  // Each copied chart fills its own panel.
  auto* chart4 = Find<TChart>("ChartView_4");
  ASSERT_NE(chart4, nullptr);
  EXPECT_EQ(chart4->Width(), panels[4]->ClientWidth());
  EXPECT_EQ(chart4->Height(), panels[4]->ClientHeight());
}

TEST_F(UiClone, ATakenNameOrAnUncopiableClassFails) {
  auto* taken = new TLabel(form);
  taken->SetName("ChartView_2");
  EXPECT_THROW(CloneComponentWithIndex(2, nullptr, panel), EComponentError);
  EXPECT_EQ(CloneComponentWithIndex(2, nullptr, nullptr), nullptr);
  auto* plain = new TComponent(form);
  plain->SetName("Plain");
  EXPECT_THROW(CloneComponentWithIndex(5, nullptr, plain), EComponentError);
}

TEST_F(UiClone, TreeViewCopiesNodesButNotTheirData) {
  auto* tree = new TTreeView(form);
  tree->SetName("ObjectsTreeView");
  tree->SetParent(form);
  int data = 7;
  TTreeNode* surface = tree->Items()->AddChildObject(nullptr, "Surface markers", &data);
  tree->Items()->AddChild(surface, "m1")->SetImageIndex(4);
  tree->Items()->AddChild(nullptr, "Objects");
  std::vector<TTreeNode*> changes;
  tree->OnChange = [&](TObject*, TTreeNode* node) { changes.push_back(node); };
  auto* copy = dynamic_cast<TTreeView*>(CloneComponentWithIndex(2, nullptr, tree));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Name(), "ObjectsTreeView_2");
  ASSERT_EQ(copy->Items()->Count(), 3);
  EXPECT_EQ(copy->Items()->Item(1)->Text(), "m1");
  EXPECT_EQ(copy->Items()->Item(1)->ImageIndex(), 4);
  EXPECT_EQ(copy->Items()->Item(0)->Data(), nullptr);
  EXPECT_EQ(copy->Items()->Item(2)->Parent(), nullptr);
  copy->Items()->GetFirstNode()->SetText("Changed");
  EXPECT_EQ(surface->Text(), "Surface markers");
  copy->SetSelected(copy->Items()->Item(2));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0], copy->Items()->Item(2));
}

}  // namespace
