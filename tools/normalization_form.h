#pragma once
// TNormalizationForm: the normalisation's dialog ("Normalisation Settings"): the
// half window as an edit and a track bar (0 .. 300). It follows the tool dialog
// protocol (tool_form.h) except that a change of Apply goes to the sets it
// changes only, not to all channels; Enter in the edit is the edit's.

#include "tools/tool_form.h"

class TDigitEdit;
class TLabel;
class TNormalizationTrace;
class TTrackBar;

class TNormalizationForm : public TToolForm {
public:
  explicit TNormalizationForm(TComponent* AOwner);

  TLabel* WidthWindowLabel;
  TDigitEdit* WidthWindowDigitEdit;
  TTrackBar* WidthWindowTrackBar;

  // The edit's confirmed value moves the track bar.
  void WidthWindowDigitEditChangeFinish(TObject* Sender);
  // The track bar's position: the edit, then WidthWindow; unless the tool runs,
  // the protocol's handler.
  void WidthWindowTrackBarChange(TObject* Sender);

protected:
  void DisplayToolParam() override;

private:
  TNormalizationTrace& Normalization() const;
};
