#pragma once
// TCalcTracesForm: the computed traces' dialog ("Calc Traces", stays on top,
// 1087 x 517): on the left the box's nine edits (each stores its value in the
// tool's box when its entry is finished), the section kind box and "Calculate",
// which run the last shown channel with first set; on the right the tool's last
// image, drawn through the radargram window's palette on a $7F7F7F background.
// The track bar of the distance weight is hidden.
//
// The protocol (tool_form.h) otherwise; the dialog handles no keys of its own.

#include "tools/tool_form.h"

class TCalcTracesTool;
class TComboBox;
class TDigitEdit;
class TImage;
class TLabel;
class TPanel;
class TSpeedButton;
class TTrackBar;

class TCalcTracesForm : public TToolForm {
public:
  explicit TCalcTracesForm(TComponent* AOwner);

  TPanel* Panel2;
  TPanel* Panel1;
  TComboBox* cbVector;
  TSpeedButton* Calculate;
  TDigitEdit* X1DigitEdit;
  TDigitEdit* Y1DigitEdit;
  TDigitEdit* Z1DigitEdit;
  TDigitEdit* X2DigitEdit;
  TDigitEdit* Y2DigitEdit;
  TDigitEdit* Z2DigitEdit;
  TDigitEdit* StepXDigitEdit;
  TDigitEdit* StepYDigitEdit;
  TDigitEdit* StepZDigitEdit;
  TTrackBar* ThresholdTrackBar;
  TLabel* ThresholdLabel;
  TImage* BufOutImage;

  // The tool's last image into BufOutImage (nothing while it has none).
  void DrawImage();

protected:
  void DisplayToolParam() override;

private:
  TCalcTracesTool& CalcTool() const;
  void CalculateClick();
};
