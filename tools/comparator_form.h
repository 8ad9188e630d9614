#pragma once
// TComparatorForm: the comparator's dialog ("Comparator Settings"): a vertical
// track bar for the threshold beside the godograph of the dialog's channel. The
// threshold grows towards the top: Threshold = maximum - position, the maximum
// being the channel's largest magnitude. It follows the tool dialog protocol
// (tool_form.h); its buttons read "Add" / "Cancel" from its creation on.

#include "tools/tool_form.h"

class TComparatorTool;
class TImage;
class TLabel;
class TTrackBar;

class TComparatorForm : public TToolForm {
public:
  explicit TComparatorForm(TComponent* AOwner);

  TLabel* TresholdLabel;
  TTrackBar* ThresholdTrackBar;
  TImage* GodographImage;

  // While live: Threshold := maximum - position, the label; unless the tool runs,
  // the protocol's handler.
  void ThresholdTrackBarChange(TObject* Sender);

protected:
  // The godograph (which finds ThresholdMax), the track bar's maximum and
  // position, the label.
  void DisplayToolParam() override;

private:
  TComparatorTool& Comparator() const;
  void ShowThresholdLabel();
};
