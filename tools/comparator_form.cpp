#include "tools/comparator_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/image.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "tools/comparator_tool.h"
#include "tools/tool_strings.h"

RESOURCESTRING(SComparatorFormCaption, "Comparator Settings");
RESOURCESTRING(SComparatorThresholdLabel, "Threshold = %d (max=%d)");

TComparatorForm::TComparatorForm(TComponent* AOwner) : TToolForm(AOwner) {
  SetCaption(LoadResString(SComparatorFormCaption));
  SetClientWidth(217);
  SetClientHeight(325);

  EditCaption->SetBounds(8, 8, 201, 21);

  TresholdLabel = new TLabel(this);
  TresholdLabel->SetParent(this);
  TresholdLabel->SetLeft(8);
  TresholdLabel->SetTop(36);

  ThresholdTrackBar = new TTrackBar(this);
  ThresholdTrackBar->SetParent(this);
  ThresholdTrackBar->SetOrientation(trVertical);
  ThresholdTrackBar->SetBounds(8, 56, 33, 209);
  ThresholdTrackBar->SetRange(1, TComparatorTool::InitialThresholdMax);
  ThresholdTrackBar->SetPageSize(50);

  GodographImage = new TImage(this);
  GodographImage->SetParent(this);
  GodographImage->SetBounds(48, 60, TComparatorTool::GodographWidth, TComparatorTool::GodographHeight);
  GodographImage->Picture()->SetSize(TComparatorTool::GodographWidth, TComparatorTool::GodographHeight);

  ExecCheckBox->SetBounds(8, 272, 97, 17);
  OKBitBtn->SetBounds(54, 294, 75, 25);
  CancelBitBtn->SetBounds(134, 294, 75, 25);
  OKBitBtn->SetCaption(LoadResString(SToolAddCaption));
  CancelBitBtn->SetCaption(LoadResString(SToolCancelCaption));

  ThresholdTrackBar->OnChange = [this](TObject* sender) { ThresholdTrackBarChange(sender); };
}

TComparatorTool& TComparatorForm::Comparator() const { return static_cast<TComparatorTool&>(*Tool); }

void TComparatorForm::ShowThresholdLabel() {
  TresholdLabel->SetCaption(
      Format(LoadResString(SComparatorThresholdLabel), {Comparator().Threshold, Comparator().ThresholdMax}));
}

void TComparatorForm::DisplayToolParam() {
  TComparatorTool& tool = Comparator();
  GodographImage->Picture()->Assign(*tool.GetGodograph());
  GodographImage->Invalidate();
  // Moving the bound moves the position; the threshold in force stays.
  const int32_t threshold = tool.Threshold;
  ThresholdTrackBar->SetMax(tool.ThresholdMax);
  ThresholdTrackBar->SetPosition(ThresholdTrackBar->Max() - threshold);
  tool.Threshold = threshold;
  ShowThresholdLabel();
}

void TComparatorForm::ThresholdTrackBarChange(TObject* Sender) {
  if (!Tool || !Vsbl) return;
  Comparator().Threshold = ThresholdTrackBar->Max() - ThresholdTrackBar->Position();
  ShowThresholdLabel();
  if (!Tool->runing) ExecCheckBoxClick(Sender);
}
