// The radargram window's hyperbola overlay and wave-speed pick: the overlay
// drawn on every channel at the clicked apex, keeping the apex in view, and the
// depth pick (click a reflection, type its depth, the wave speed follows). The
// arithmetic is hyperbola.h.

#include "radargram/view2d_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
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
  SimpleHyperbolaCheckBox->OnClick = [this](TObject* sender) { SimpleHyperbolaCheckBoxClick(sender); };
  SimpleDepthCheckBox->OnClick = [this](TObject* sender) { SimpleDepthCheckBoxClick(sender); };

  // The simple page's medium button and depth edit sit in its wave-speed group
  // beside the speed edit, at the places the main ones take beside theirs.
  SimpleMeniumButton->SetParent(SimpleSpeedPanel);
  SimpleMeniumButton->SetBounds(kMediumButtonLeft, 4, 24, 22);
  SimpleDepthDigitEdit = new TDigitEdit(this);
  SimpleDepthDigitEdit->SetName(QStringLiteral("SimpleDepthDigitEdit"));
  SimpleDepthDigitEdit->SetParent(SimpleSpeedPanel);
  SimpleDepthDigitEdit->SetBounds(kDepthEditRestLeft, 4, 80, 22);
  SimpleSpeedPanel->SetWidth(kPickedMediumButtonLeft + 28);
  for (TSpeedButton* button : {MeniumButton, SimpleMeniumButton}) button->SetImageIndex(kMediumListImage);
  // Depths in metres to the centimetre, hidden until a click gives one.
  for (TDigitEdit* edit : {DepthDigitEdit, SimpleDepthDigitEdit}) {
    edit->SetAvailableDecimal(true);
    edit->SetStep(0.01L);
    edit->SetMinVal(0);
    edit->SetMaxVal(300);
    edit->SetValueReal(2);
    edit->Hide();
    edit->OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) {
      DepthDigitEditKeyDown(sender, key, shift);
    };
  }
}

// ---- The simple page's twins --------------------------------------------------------------------

// A twin whose state already equals the main box's was set by the main box's
// handler (which mirrors it): nothing more to do. Otherwise the main box takes
// the state, which runs its handler.
void TView2DForm::SimpleHyperbolaCheckBoxClick(TObject* /*Sender*/) {
  if (SimpleHyperbolaCheckBox->Checked() != HyperbolaCheckButton->Checked())
    HyperbolaCheckButton->SetChecked(SimpleHyperbolaCheckBox->Checked());
}

void TView2DForm::SimpleDepthCheckBoxClick(TObject* /*Sender*/) {
  if (SimpleDepthCheckBox->Checked() != DepthCheckButton->Checked())
    DepthCheckButton->SetChecked(SimpleDepthCheckBox->Checked());
}

// ---- The overlay --------------------------------------------------------------------------------

void TView2DForm::HyperbolaCheckButtonClick(TObject* /*Sender*/) {
  SimpleHyperbolaCheckBox->SetChecked(HyperbolaCheckButton->Checked());
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
    const long double depth = hb::PickedDepth(s.GetSpeedLight(), YValue, ZeroTimeOf(indx, s.GetNullShift()));
    const bool simple = LeftPageControl->ActivePage() == SimpleTabSheet;
    for (const auto& [edit, button] : DepthPickPairs()) {
      if (edit == SimpleDepthDigitEdit && !simple) continue;
      edit->SetValueReal(depth);
      edit->Show();
      button->SetImageIndex(kMediumConfirmImage);
      button->Show();
    }
  }
}

// ---- The depth pick -----------------------------------------------------------------------------

std::array<std::pair<TDigitEdit*, TSpeedButton*>, 2> TView2DForm::DepthPickPairs() const {
  return {{{DepthDigitEdit, MeniumButton}, {SimpleDepthDigitEdit, SimpleMeniumButton}}};
}

void TView2DForm::DepthCheckButtonClick(TObject* /*Sender*/) {
  SimpleDepthCheckBox->SetChecked(DepthCheckButton->Checked());
  if (DepthCheckButton->Checked()) {
    HyperbolaCheckButton->SetChecked(false);
    DepthTimeInCursorClick = 20;
    // The depth edit takes the button's place; the button waits for a click.
    for (const auto& [edit, button] : DepthPickPairs()) {
      edit->SetLeft(kMediumButtonLeft);
      button->SetLeft(kPickedMediumButtonLeft);
      button->Hide();
    }
  } else {
    for (const auto& [edit, button] : DepthPickPairs()) {
      button->SetImageIndex(kMediumListImage);
      edit->Hide();
      edit->SetLeft(kDepthEditRestLeft);
      button->SetLeft(kMediumButtonLeft);
      button->Show();
    }
  }
}

bool TView2DForm::ConfirmDepthPick() {
  const T2Dview* active = GetView2DByIndx(NumActiveView);
  if (!active) return false;
  const TSettingData& s = *active->Settings();
  // The depth is typed on the page in view.
  const TDigitEdit* depth = LeftPageControl->ActivePage() == SimpleTabSheet ? SimpleDepthDigitEdit : DepthDigitEdit;
  const std::optional<int32_t> speed =
      hb::SpeedOfPick(depth->ValueReal(), DepthTimeInCursorClick, s.SampleToTime(s.GetNullShift()));
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
  SimpleDepthDigitEdit->Hide();
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
