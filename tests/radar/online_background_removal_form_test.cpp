// The windowed background removal dialog: filling on show applies nothing, the
// track bar and the edit keep each other and the stage in step, the edit's limit
// is applied when it is left, the Apply box reaches the stage and the check list,
// and the dialog's layout and place beside the amplitude chart.

#include "radar/online_background_removal_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radar/adv_track_bar.h"
#include "tests/radar/online_dialog_test_support.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

namespace {

class BackgroundRemovalForm : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TOnlineWindowedBackgroundRemovalForm>(nullptr);
    form->FParametrsWindowedBackgroundRemoval.pWidthWindow = 120;
    form->FParametrsWindowedBackgroundRemoval.pApplay = false;
  }
  void TearDown() override { form->Free(); }

  void ShowAndWork(const std::function<void()>& work) { ::ShowAndWork(form, form->OKBitBtn, work); }

  TFakeDialogHost host;
  TOnlineWindowedBackgroundRemovalForm* form = nullptr;
};

TEST_F(BackgroundRemovalForm, OpeningFillsTheControlsAndAppliesNothing) {
  form->FParametrsWindowedBackgroundRemoval.pApplay = true;
  ShowAndWork([&] {
    EXPECT_EQ(form->Caption(), "Windowed Background Removal");
    EXPECT_EQ(form->WidthWindowDigitEdit->ValueInt(), 120);
    EXPECT_EQ(form->WidthWindowTrackBar->Position(), 120);
    EXPECT_TRUE(form->ExecCheckBox->Checked());
    EXPECT_TRUE(host.applied.empty());
  });
  EXPECT_TRUE(host.applied.empty());
  EXPECT_EQ(host.stages->WindowedBackgroundRemoval.WidthWindow, 100);  // the stage's own start value
}

TEST_F(BackgroundRemovalForm, TrackBarMovesTheEditAndTheStage) {
  ShowAndWork([&] {
    form->WidthWindowTrackBar->SetPosition(57);
    EXPECT_EQ(form->WidthWindowDigitEdit->ValueInt(), 57);
    ASSERT_EQ(host.applied.size(), 1u);
    EXPECT_EQ(host.applied.back().stage, "Background Remover with Window");
    EXPECT_EQ(host.applied.back().width, 57);
    EXPECT_EQ(host.stages->WindowedBackgroundRemoval.WidthWindow, 57);

    // The keyboard moves it as well: End goes to the largest width.
    SendKey(form->WidthWindowTrackBar->Widget(), Qt::Key_End);
    EXPECT_EQ(form->WidthWindowDigitEdit->ValueInt(), 300);
    EXPECT_EQ(host.stages->WindowedBackgroundRemoval.WidthWindow, 300);
  });
}

TEST_F(BackgroundRemovalForm, TypedWidthIsClampedWhenTheEditIsLeft) {
  ShowAndWork([&] {
    TDigitEdit* edit = form->WidthWindowDigitEdit;
    edit->SetFocus();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return edit->Focused(); }));
    edit->SelectAll();
    for (QChar c : QStringLiteral("500")) SendKey(edit->Widget(), c.unicode(), QString(c));
    EXPECT_EQ(edit->Text(), "500");
    EXPECT_TRUE(host.applied.empty());  // nothing until the value is confirmed

    form->ExecCheckBox->SetFocus();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return !edit->Focused(); }));
    EXPECT_EQ(edit->ValueInt(), 300);
    EXPECT_EQ(form->WidthWindowTrackBar->Position(), 300);
    ASSERT_FALSE(host.applied.empty());
    EXPECT_EQ(host.applied.back().width, 300);
    EXPECT_EQ(host.stages->WindowedBackgroundRemoval.WidthWindow, 300);
  });
}

TEST_F(BackgroundRemovalForm, ApplyBoxReachesTheStageAndTheCheckList) {
  ShowAndWork([&] {
    ClickControl(form->ExecCheckBox);
    EXPECT_TRUE(host.stages->WindowedBackgroundRemoval.Applay);
    EXPECT_EQ(host.stages->WindowedBackgroundRemoval.WidthWindow, 120);
    EXPECT_TRUE(host.checked[OnlinePluginBackgroundItem]);
    ClickControl(form->ExecCheckBox);
    EXPECT_FALSE(host.stages->WindowedBackgroundRemoval.Applay);
    EXPECT_FALSE(host.checked[OnlinePluginBackgroundItem]);
  });
  EXPECT_EQ(host.applied.size(), 2u);
}

TEST_F(BackgroundRemovalForm, LayoutAndPlaceBesideTheChart) {
  host.origin = TPoint{700, 240};
  ShowAndWork([&] {
    EXPECT_EQ(form->ClientWidth(), 249);
    EXPECT_EQ(form->ClientHeight(), 154);
    EXPECT_EQ(form->Left(), 700 - form->Width());
    EXPECT_EQ(form->Top(), 240);
    EXPECT_EQ(form->Label1->Left(), 8);
    EXPECT_EQ(form->Label1->Top(), 8);
    EXPECT_EQ(form->Label1->Caption(), "Width of Window, traces");
    EXPECT_EQ(BoundsOf(form->WidthWindowTrackBar), (std::vector<int>{8, 28, 233, 33}));
    EXPECT_EQ(BoundsOf(form->WidthWindowDigitEdit), (std::vector<int>{8, 72, 65, 21}));
    EXPECT_EQ(BoundsOf(form->ExecCheckBox), (std::vector<int>{8, 124, 97, 17}));
    EXPECT_EQ(BoundsOf(form->OKBitBtn), (std::vector<int>{166, 120, 75, 25}));
    EXPECT_EQ(form->ExecCheckBox->Caption(), "Apply");
    EXPECT_EQ(form->OKBitBtn->Caption(), "Ok");
    EXPECT_EQ(form->WidthWindowTrackBar->Min(), 1);
    EXPECT_EQ(form->WidthWindowTrackBar->Max(), 300);
    EXPECT_EQ(form->WidthWindowTrackBar->PageSize(), 20);

    const QImage shot = SaveScreenshot(form, QStringLiteral("dlg_background_removal_form"));
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(249, 154));
    // The controls are painted where the layout puts them: the track bar and the
    // button differ from the bare form around them.
    const QRgb face = shot.pixel(245, 5);
    bool buttonPainted = false;
    for (int x = 167; x < 240 && !buttonPainted; ++x)
      for (int y = 121; y < 144 && !buttonPainted; ++y) buttonPainted = shot.pixel(x, y) != face;
    EXPECT_TRUE(buttonPainted);
  });
}

// The rule the three dialogs share: left of the chart's client origin and level
// with it, an edge at 1 or less moved to 2.
TEST_F(BackgroundRemovalForm, PlacementBesideTheChart) {
  const int w = form->Width();
  struct Case {
    TPoint origin;
    TPoint place;
  };
  const Case cases[] = {
      {{700, 240}, {700 - w, 240}}, {{w + 50, 50}, {50, 50}}, {{w + 2, 2}, {2, 2}},
      {{w + 1, 1}, {2, 2}},         {{0, -10}, {2, 2}},       {{w - 30, 400}, {2, 400}},
  };
  for (const Case& c : cases) {
    host.origin = c.origin;
    form->PlaceAtChart();
    EXPECT_EQ((TPoint{form->Left(), form->Top()}), c.place) << c.origin.X << "," << c.origin.Y;
  }
}

}  // namespace
