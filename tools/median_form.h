#pragma once
// TMedianForm: the median filter's dialog ("Median"): the two half windows as
// numeric edits (0 .. 15). It follows the tool dialog protocol (tool_form.h)
// except for Enter, which only asks for the close while the tool runs and does
// nothing otherwise (the edits take Enter to confirm their values).

#include "tools/tool_form.h"

class TDigitEdit;
class TLabel;
class TMedianTool;

class TMedianForm : public TToolForm {
public:
  explicit TMedianForm(TComponent* AOwner);

  TLabel* MedianWindowXLabel;
  TDigitEdit* MedianWindowXDigitEdit;
  TLabel* MedianWindowYLabel;
  TDigitEdit* MedianWindowYDigitEdit;

  // Each edit's confirmed value: its half window, then (unless the tool runs)
  // the protocol's handler.
  void MedianWindowXDigitEditChangeFinish(TObject* Sender);
  void MedianWindowYDigitEditChangeFinish(TObject* Sender);

protected:
  void DisplayToolParam() override;

private:
  TMedianTool& Median() const;
  void KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
};
