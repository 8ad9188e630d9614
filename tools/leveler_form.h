#pragma once
// TLevelerForm: the leveler's dialog ("Leveler Filter Settings"). It follows the
// tool dialog protocol (tool_form.h) except that it keeps the default character
// set and does not preview when shown. The search type, the envelope window,
// "Show result" and "Transform" only set their field; the smoothing boxes and
// windows set theirs and redraw the surface line at once, without a run.

#include "tools/tool_form.h"

class TCheckBox;
class TDigitEdit;
class TGroupBox;
class TLabel;
class TLeveler;
class TRadioGroup;

class TLevelerForm : public TToolForm {
public:
  explicit TLevelerForm(TComponent* AOwner);

  TCheckBox* TransformCheckBox;
  TRadioGroup* RadioGroup1;
  TGroupBox* HilbertGroupBox;
  TLabel* BloorHilebrtBaseLabel;
  TDigitEdit* BloorHilebrtBaseDigitEdit;
  TCheckBox* ShowHilbertResultCheckBox;
  TGroupBox* MedianGroupBox;
  TLabel* BaseMedianFLabel;
  TDigitEdit* BaseMedianFDigitEdit;
  TCheckBox* ApplyMedianFCheckBox;
  TGroupBox* BloorGroupBox;
  TLabel* BaseBloorFLabel;
  TDigitEdit* BaseBloorFDigitEdit;
  TCheckBox* ApplyGlideCheckBox;

  void TransformCheckBoxClick(TObject* Sender);
  void RadioGroup1Click(TObject* Sender);
  void BloorHilebrtBaseDigitEditChangeFinish(TObject* Sender);
  void ShowHilbertResultCheckBoxClick(TObject* Sender);
  void BaseMedianFDigitEditChangeFinish(TObject* Sender);
  void ApplyMedianFCheckBoxClick(TObject* Sender);
  void BaseBloorFDigitEditChangeFinish(TObject* Sender);
  void ApplyGlideCheckBoxClick(TObject* Sender);

protected:
  void DisplayToolParam() override;

private:
  TLeveler& Leveler() const;
  // The field is set: while live, the smoothed line is drawn again.
  void SmoothingChanged();
};
