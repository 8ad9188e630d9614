// The radargram window's hyperbola overlay and depth pick on real channel
// stores: the overlay on every channel at its own zero level, "Hyperbola" and
// "Depth" excluding each other, the pick by Enter and by the medium button, and
// a pick at the zero level refused, and the simple page's twins mirroring the
// main boxes both ways.

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/page_control.h"
#include "platform/ui/std_controls.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

namespace view2d_hyperbola_test {

constexpr int kTraces = 80;
constexpr int kSamples = 200;

// 200 samples over 100 ns (0.5 ns per sample), zero at `zero`, 50 mm steps.
void Fill(T2Dview& store, int32_t zero, int32_t speed) {
  TSettingData& s = *store.Settings();
  s.SetOverStep(5);
  s.RestoreSpanWidth(100);
  s.RestoreLongTrace(kSamples);
  s.SetSpeedLight(speed);
  s.SetNullShift(zero);
  s.SetAdvanceStacking(false);
  s.SetStacking(1);
  s.SetRunMode(rmWheel);
  s.SetTopoType(ttWheel);
  s.SetWheelStep(50);
  s.SetWheelMult(1);
  FillRawSums(store, kTraces, kSamples, [](int t, int j) {
    return static_cast<int32_t>((int64_t{t} * kSamples + j) % 29) - 14;
  });
}

class View2DHyperbola : public ::testing::Test {
protected:
  void TearDown() override { TDialogScript::Reset(); }
  TView2DForm* Window(int32_t speed = 70) {
    TView2DForm* w = env.Create(2);
    Fill(*w->GetView2DByIndx(0), 20, speed);  // zero at 10 ns
    Fill(*w->GetView2DByIndx(1), 60, speed);  // zero at 30 ns
    w->Paint2D(0);
    w->DistanceMenuClick(w->TracesMenu);
    return w;
  }
  static void Key(TView2DForm& w, WORD key) { w.DepthDigitEditKeyDown(w.DepthDigitEdit, key, TShiftState{}); }
  TRadargramEnv env;
};

TEST_F(View2DHyperbola, AClickPutsTheApexOnEveryChannelAtTheSameHeightAboveItsZero) {
  TView2DForm* w = Window();
  w->HyperbolaCheckButton->SetChecked(true);
  ASSERT_GT(w->HyperbolaSeries_[0]->Count(), 0);
  // A click at 25 ns on channel 0: 15 ns below its zero.
  w->HyperbolaX = 40;
  w->HyperbolaY = 25;
  w->HyperbolaMouseDown(0, 25);
  EXPECT_EQ(w->HyperbolaY, 15.0);
  TLineSeries* a = w->HyperbolaSeries_[0];
  TLineSeries* b = w->HyperbolaSeries_[1];
  ASSERT_EQ(a->Count(), b->Count());
  ASSERT_GT(a->Count(), 0);
  for (int i = 0; i < a->Count(); ++i) {
    EXPECT_EQ(a->XValue(i), b->XValue(i));
    EXPECT_EQ(a->YValue(i) - 10, b->YValue(i) - 30) << i;
  }
  // The apex point lies at the click.
  EXPECT_EQ(a->YValue(140), 25.0);
  EXPECT_EQ(a->XValue(140), 40.0);

  // "Depth" releases "Hyperbola" and its curves.
  w->DepthCheckButton->SetChecked(true);
  EXPECT_FALSE(w->HyperbolaCheckButton->Checked());
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(b->Count(), 0);
  EXPECT_FALSE(w->MeniumButton->Visible());
}

TEST_F(View2DHyperbola, APickTypedWithEnterSetsTheSpeedOfEveryChannel) {
  TView2DForm* w = Window();
  w->DepthCheckButton->SetChecked(true);
  EXPECT_EQ(w->DepthTimeInCursorClick, 20.0L);
  w->GetView2DByIndx(0)->Settings()->SetSpeedLight(100);
  w->HyperbolaMouseDown(0, 60);  // 50 ns below the zero at 100 m/us
  EXPECT_EQ(w->DepthDigitEdit->ValueReal(), 2.5L);
  EXPECT_TRUE(w->DepthDigitEdit->Visible());
  EXPECT_EQ(w->MeniumButton->ImageIndex(), TView2DForm::kMediumConfirmImage);
  EXPECT_TRUE(w->MeniumButton->Visible());
  w->GetView2DByIndx(0)->Settings()->SetSpeedLight(70);
  w->DepthDigitEdit->SetValueReal(2.5L);
  Key(*w, VK_RETURN);
  EXPECT_EQ(w->SpeedDigitEdit->ValueInt(), 100);
  EXPECT_EQ(w->SimpleSpeedDigitEdit->ValueInt(), 100);
  EXPECT_FALSE(w->DepthCheckButton->Checked());
  EXPECT_FALSE(w->DepthDigitEdit->Visible());
  EXPECT_EQ(w->MeniumButton->ImageIndex(), TView2DForm::kMediumListImage);
  EXPECT_EQ(w->GetView2DByIndx(0)->Settings()->GetSpeedLight(), 100);
  EXPECT_EQ(w->GetView2DByIndx(1)->Settings()->GetSpeedLight(), 100);
}

TEST_F(View2DHyperbola, TheMediumButtonConfirmsByTheSameRuleAsEnter) {
  TView2DForm* w = Window(40);  // a wrong old speed
  w->DepthCheckButton->SetChecked(true);
  w->HyperbolaMouseDown(0, 60);
  w->DepthDigitEdit->SetValueReal(2.5L);
  w->MeniumButtonClick(w->MeniumButton);
  EXPECT_EQ(w->SpeedDigitEdit->ValueInt(), 100);
  EXPECT_FALSE(w->DepthCheckButton->Checked());
  EXPECT_EQ(w->GetView2DByIndx(1)->Settings()->GetSpeedLight(), 100);
}

TEST_F(View2DHyperbola, APickAtTheZeroLevelIsRefusedAndTheSpeedKept) {
  TView2DForm* w = Window(70);
  w->SpeedDigitEdit->SetValueInt(70);
  w->DepthCheckButton->SetChecked(true);
  w->HyperbolaMouseDown(0, 10);  // the zero time itself
  w->DepthDigitEdit->SetValueReal(2.0L);
  TDialogScript::QueueAnswer(mrOk);
  Key(*w, VK_RETURN);
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text,
            QStringLiteral("The depth cannot be picked at the zero level or above it. Click a reflection below it."));
  EXPECT_EQ(w->SpeedDigitEdit->ValueInt(), 70);
  EXPECT_EQ(w->GetView2DByIndx(0)->Settings()->GetSpeedLight(), 70);
  EXPECT_TRUE(w->DepthCheckButton->Checked());
  // Escape ends the pick with the speed as it was.
  Key(*w, VK_ESCAPE);
  EXPECT_FALSE(w->DepthCheckButton->Checked());
  EXPECT_EQ(w->GetView2DByIndx(1)->Settings()->GetSpeedLight(), 70);
}

// ---- The simple page's twins ------------------------------------------------------------------

// Which box of the pair a step clicks, and both pairs' states after it.
struct TTwinStep {
  const char* name;
  bool simpleBox;      // the simple page's box (else the Properties page's)
  bool hyperbolaBox;   // "Hyperbola" (else "Depth")
  bool check;
  bool hyperbolaAfter;
  bool depthAfter;
};

TEST_F(View2DHyperbola, TheSimpleTwinsAndTheMainBoxesFollowEachOtherBothWays) {
  TView2DForm* w = Window();
  const TTwinStep steps[] = {
      {"simple Hyperbola on", true, true, true, true, false},
      {"main Depth on releases Hyperbola on both pages", false, false, true, false, true},
      {"simple Hyperbola on releases Depth", true, true, true, true, false},
      {"main Hyperbola off", false, true, false, false, false},
      {"main Hyperbola on", false, true, true, true, false},
      {"simple Depth on", true, false, true, false, true},
      {"simple Depth off", true, false, false, false, false},
  };
  for (const TTwinStep& step : steps) {
    SCOPED_TRACE(step.name);
    TCheckBox* box = step.hyperbolaBox ? (step.simpleBox ? w->SimpleHyperbolaCheckBox : w->HyperbolaCheckButton)
                                       : (step.simpleBox ? w->SimpleDepthCheckBox : w->DepthCheckButton);
    box->SetChecked(step.check);
    EXPECT_EQ(w->HyperbolaCheckButton->Checked(), step.hyperbolaAfter);
    EXPECT_EQ(w->SimpleHyperbolaCheckBox->Checked(), step.hyperbolaAfter);
    EXPECT_EQ(w->DepthCheckButton->Checked(), step.depthAfter);
    EXPECT_EQ(w->SimpleDepthCheckBox->Checked(), step.depthAfter);
    // The main handler ran: the overlay is drawn exactly while "Hyperbola" is checked.
    EXPECT_EQ(w->HyperbolaSeries_[0]->Count() > 0, step.hyperbolaAfter);
    EXPECT_EQ(w->HyperbolaSeries_[1]->Count() > 0, step.hyperbolaAfter);
    // Both medium buttons wait for a click during a pick and offer the media otherwise.
    for (TSpeedButton* button : {w->MeniumButton, w->SimpleMeniumButton}) {
      EXPECT_EQ(button->Visible(), !step.depthAfter) << button->Name().toStdString();
      EXPECT_EQ(button->ImageIndex(), TView2DForm::kMediumListImage) << button->Name().toStdString();
    }
    for (TDigitEdit* edit : {w->DepthDigitEdit, w->SimpleDepthDigitEdit}) EXPECT_FALSE(edit->Visible()) << "no click yet";
    // In the simple wave-speed group the depth edit takes the button's place during a pick.
    EXPECT_EQ(w->SimpleMeniumButton->Left(), step.depthAfter ? 178 : 94);
    EXPECT_EQ(w->SimpleDepthDigitEdit->Left(), step.depthAfter ? 94 : 135);
  }
}

TEST_F(View2DHyperbola, APickOnTheSimplePageIsShownAndTypedThere) {
  env.shell.simpleMode = true;
  TView2DForm* w = Window();
  w->UpdateInterface();
  ASSERT_EQ(w->LeftPageControl->ActivePage(), w->SimpleTabSheet);
  w->SimpleDepthCheckBox->SetChecked(true);
  ASSERT_TRUE(w->DepthCheckButton->Checked());
  w->GetView2DByIndx(0)->Settings()->SetSpeedLight(100);
  w->HyperbolaMouseDown(0, 60);  // 50 ns below the zero at 100 m/us
  EXPECT_EQ(w->SimpleDepthDigitEdit->ValueReal(), 2.5L);
  EXPECT_TRUE(w->SimpleDepthDigitEdit->Visible());
  EXPECT_TRUE(w->SimpleMeniumButton->Visible());
  EXPECT_EQ(w->SimpleMeniumButton->ImageIndex(), TView2DForm::kMediumConfirmImage);
  // The depth typed on the simple page gives the speed, whatever the hidden main edit holds.
  w->SimpleDepthDigitEdit->SetValueReal(5.0L);
  w->DepthDigitEdit->SetValueReal(0.5L);
  WORD enter = VK_RETURN;
  w->DepthDigitEditKeyDown(w->SimpleDepthDigitEdit, enter, TShiftState{});
  EXPECT_EQ(w->SimpleSpeedDigitEdit->ValueInt(), 200);
  EXPECT_EQ(w->GetView2DByIndx(1)->Settings()->GetSpeedLight(), 200);
  EXPECT_FALSE(w->SimpleDepthCheckBox->Checked());
  EXPECT_FALSE(w->DepthCheckButton->Checked());
  EXPECT_FALSE(w->SimpleDepthDigitEdit->Visible());
  EXPECT_TRUE(w->SimpleMeniumButton->Visible());
  EXPECT_EQ(w->SimpleMeniumButton->ImageIndex(), TView2DForm::kMediumListImage);
}

TEST_F(View2DHyperbola, APickOnThePropertiesPageLeavesTheSimpleTwinsHidden) {
  TView2DForm* w = Window();
  ASSERT_NE(w->LeftPageControl->ActivePage(), w->SimpleTabSheet);
  w->DepthCheckButton->SetChecked(true);
  w->HyperbolaMouseDown(0, 60);
  EXPECT_TRUE(w->DepthDigitEdit->Visible());
  EXPECT_FALSE(w->SimpleDepthDigitEdit->Visible());
  EXPECT_FALSE(w->SimpleMeniumButton->Visible());
}

}  // namespace view2d_hyperbola_test
