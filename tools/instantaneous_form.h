#pragma once
// TInstantaneousForm: the dialog of the Hilbert and DQ filters: the protocol's
// controls, the output type as two grouped check buttons ("Frequency",
// "Envelope") and a frequency label. Deviations from the protocol (tool_form.h):
// showing the dialog does not preview, and the window may ask a live, applied
// dialog to re-run its preview (WM_TOOLREAPPLY).

#include "tools/tool_form.h"

class TGroupBox;
class TInstantaneousTool;
class TLabel;
class TToolBar;
class TToolButton;

class TInstantaneousForm : public TToolForm {
public:
  explicit TInstantaneousForm(TComponent* AOwner);

  TGroupBox* OutputTypeGroupBox;
  TToolBar* OutputTypeToolBar;
  TToolButton* FreqToolButton;       // "Frequency"
  TToolButton* AmplitudeToolButton;  // "Envelope"
  TLabel* FrequencyLbl;

  // Each button: the output type and the label's visibility, then the Apply handler.
  void FreqToolButtonClick(TObject* Sender);
  void AmplitudeToolButtonClick(TObject* Sender);

protected:
  void DisplayToolParam() override;
  // The output type goes to every channel's set before the protocol stores the set.
  void StoreToolParam() override;
  // Whether the frequency label is shown while "Envelope" is chosen.
  virtual bool ShowsFrequencyLabel() const = 0;

private:
  TInstantaneousTool& InstantaneousTool() const;
  void ShowFrequencyLabel(bool envelope);
};
