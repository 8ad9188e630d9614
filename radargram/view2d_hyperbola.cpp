// The radargram window's hyperbola overlay and wave-speed pick: the overlay
// drawn on every channel at the clicked apex, keeping the apex in view, and the
// depth pick (click a reflection, type its depth, the wave speed follows). The
// arithmetic is hyperbola.h.

#include "radargram/view2d_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_bar.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/menus.h"
#include "profiledata/channel_store.h"
#include "profiledata/digit_edit.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/setting_data.h"
#include "radargram/hyperbola.h"

namespace hb = hyperbola;

void TView2DForm::BuildHyperbolaControls() {
  HyperbolaCheckButton->OnClick = [this](TObject* sender) { HyperbolaCheckButtonClick(sender); };
  DepthCheckButton->OnClick = [this](TObject* sender) { DepthCheckButtonClick(sender); };
  DepthDigitEdit->OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) {
    DepthDigitEditKeyDown(sender, key, shift);
  };
}

// ---- The overlay --------------------------------------------------------------------------------

void TView2DForm::HyperbolaCheckButtonClick(TObject* /*Sender*/) {
  if (HyperbolaCheckButton->Checked()) {
    if (DepthCheckButton->Checked()) {
      DepthCheckButton->SetChecked(false);
      HyperbolaCheckButton->SetChecked(true);
    }
    WiggleSpeedButton->SetDown(false);
    for (TLineSeries* series : SliceSeries_)
      if (series) series->Clear();
    const T2Dview* first = View2D_[0];
    TChart* chart = Chart_[0];
    if (first && chart) {
      const TSettingData& s = *first->Settings();
      HyperbolaX = Panel4->Visible() ? (chart->TopAxis()->Minimum() + chart->TopAxis()->Maximum()) / 2
                                     : static_cast<double>(first->NumTraces()) * s.GetMeasureStep() / 2000;
      HyperbolaY = Panel2->Width() <= 1 ? s.GetSpanWidth() / 2
                                        : (chart->LeftAxis()->Minimum() + chart->LeftAxis()->Maximum()) / 2;
      DrawHyperbolaAll(HyperbolaY, HyperbolaX);
    }
  } else {
    if (HyperbolaSeries_[0]) HyperbolaSeries_[0]->Clear();
    AssignHyperbolaSeries();
  }
  AssignSliceSeries();
}

void TView2DForm::DrawHyperbolaAll(double apexTime, double apexX) {
  for (int i = 0; i < kChannelSlots; ++i) {
    const T2Dview* store = View2D_[static_cast<size_t>(i)];
    if (!store || !HyperbolaSeries_[static_cast<size_t>(i)]) continue;
    const TSettingData& s = *store->Settings();
    DrawHyperbola(i, apexTime + static_cast<double>(s.SampleToTime(s.GetNullShift())), apexX);
  }
}

void TView2DForm::DrawHyperbola(int index, double apexTime, double apexX) {
  const T2Dview* store = GetView2DByIndx(index);
  TLineSeries* series = index >= 0 && index < kChannelSlots ? HyperbolaSeries_[static_cast<size_t>(index)] : nullptr;
  if (!store || !series) return;
  series->Clear();
  const TSettingData& s = *store->Settings();
  const double antenSpace = UnitParams(s.GetTypeGPR()).AntenSpace;
  std::vector<hb::TPoint2> points;
  if (TracesMenu->Checked())
    points = hb::TracePoints(s, apexTime, apexX, static_cast<double>(store->GetProportionalCoefic()), antenSpace);
  else if (DistanceMenu->Checked())
    points = hb::DistancePoints(s, apexTime, apexX, antenSpace);
  for (const hb::TPoint2& p : points) series->AddXY(p.X, p.Y, QString(), clRed);
}

void TView2DForm::HyperbolaScroll() {
  if (!HyperbolaCheckButton->Checked()) return;
  TChart* chart = GetChartByIndx(NumActiveView);
  if (!chart) return;
  if (HyperbolaX > chart->TopAxis()->Maximum()) {
    HorScrollBar->SetPosition(HorScrollBar->Max());
    RunAfterChangeScrollBars();
  } else if (HyperbolaX < chart->TopAxis()->Minimum()) {
    HorScrollBar->SetPosition(HorScrollBar->Min());
    RunAfterChangeScrollBars();
  }
}

void TView2DForm::HyperbolaMouseDown(int indx, double YValue) {
  const T2Dview* store = GetView2DByIndx(indx);
  if (!store) return;
  const TSettingData& s = *store->Settings();
  if (HyperbolaCheckButton->Checked()) {
    HyperbolaY -= static_cast<double>(s.SampleToTime(s.GetNullShift()));
    DrawHyperbolaAll(HyperbolaY, HyperbolaX);
  } else if (DepthCheckButton->Checked()) {
    DepthTimeInCursorClick = YValue;
    DepthDigitEdit->SetValueReal(hb::PickedDepth(s.GetSpeedLight(), YValue, ZeroTimeOf(indx, s.GetNullShift())));
    DepthDigitEdit->Show();
    MeniumButton->SetImageIndex(kMediumConfirmImage);
    MeniumButton->Show();
  }
}

// ---- The depth pick -----------------------------------------------------------------------------

void TView2DForm::DepthCheckButtonClick(TObject* /*Sender*/) {
  if (DepthCheckButton->Checked()) {
    HyperbolaCheckButton->SetChecked(false);
    DepthTimeInCursorClick = 20;
    DepthDigitEdit->SetLeft(94);
    MeniumButton->SetLeft(178);
    MeniumButton->Hide();
  } else {
    MeniumButton->SetImageIndex(kMediumListImage);
    DepthDigitEdit->Hide();
    DepthDigitEdit->SetLeft(135);
    MeniumButton->SetLeft(94);
    MeniumButton->Show();
  }
}

bool TView2DForm::ConfirmDepthPick() {
  const T2Dview* active = GetView2DByIndx(NumActiveView);
  if (!active) return false;
  const TSettingData& s = *active->Settings();
  const std::optional<int32_t> speed =
      hb::SpeedOfPick(DepthDigitEdit->ValueReal(), DepthTimeInCursorClick, s.SampleToTime(s.GetNullShift()));
  if (!speed) {
    MessageDlg(LoadResString(SDepthPickAtZero), mtError, {mbOK}, 0);
    return false;
  }
  SpeedDigitEdit->SetValueInt(*speed);
  SimpleSpeedDigitEdit->SetValueInt(*speed);
  return true;
}

void TView2DForm::FinishDepthPick() {
  DepthCheckButton->SetChecked(false);
  DepthDigitEdit->Hide();
  SpeedDigitEditChangeFinish(SpeedDigitEdit);
}

void TView2DForm::DepthDigitEditKeyDown(TObject* /*Sender*/, WORD& Key, TShiftState /*Shift*/) {
  if (Key == VK_RETURN) {
    // A refused pick keeps the speed and the pick open for another click.
    if (!ConfirmDepthPick()) return;
    FinishDepthPick();
  } else if (Key == VK_ESCAPE) {
    FinishDepthPick();
  }
}
