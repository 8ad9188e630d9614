#pragma once
// TGenTestForm: the test-signal generator's dialog ("Generation Test", titled with
// the tool's caption when it opens): the input scale, the noise range, the
// antenna spacing and, per hyperbola, apex, amplitude, decrease and half-width.
// Each edit stores its value in the tool when its entry is finished and runs the
// protocol's Apply handler (tool_form.h), so every change is previewed at once;
// all but the spacing take their value as an integer (rounded, halves to even).
//
// Deviations from the protocol: no preview when shown while adding; the dialog
// handles no keys of its own (no Enter, Esc or space).

#include "tools/tool_form.h"

#include <cstdint>

class TDigitEdit;
class TGenTestTool;
class TGroupBox;
class TLabel;

class TGenTestForm : public TToolForm {
public:
  explicit TGenTestForm(TComponent* AOwner);

  TDigitEdit* MultInputSignalDigitEdit;
  TDigitEdit* SetRandomDigitEdit;
  TDigitEdit* DistanceTRDigitEdit;
  TGroupBox* Parabol1GroupBox;
  TDigitEdit* X1DigitEdit;
  TDigitEdit* Y1DigitEdit;
  TDigitEdit* TopAmp1DigitEdit;
  TDigitEdit* DecAmpPercent1DigitEdit;
  TDigitEdit* SizeParabol1DigitEdit;
  TGroupBox* Parabol2GroupBox;
  TDigitEdit* X2DigitEdit;
  TDigitEdit* Y2DigitEdit;
  TDigitEdit* TopAmp2DigitEdit;
  TDigitEdit* DecAmpPercent2DigitEdit;
  TDigitEdit* SizeParabol2DigitEdit;

protected:
  void DisplayToolParam() override;

private:
  TGenTestTool& GenTool() const;
  // An edit with its label at (left, top) of parent; its change-finish stores
  // into the field the setter names and runs the Apply handler.
  TDigitEdit* AddEdit(TWinControl* parent, int top, const QString& label, long double min, long double max,
                      long double step, long double shown, int32_t TGenTestTool::*field);
};
