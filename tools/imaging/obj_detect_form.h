#pragma once
// TObjDetectForm: the object detector's dialog ("Object Detector", single border,
// stays on top): the antenna spacing, the two wave speeds and the visibility
// threshold (each stored into the tool and channel 0's set when its entry is
// finished, without a preview), "Use Amlitude" and the chosen points of mode 5
// (stored only), and the visualisation box, which stores the mode and runs the
// protocol's Apply handler (tool_form.h).
//
// Deviations from the protocol: with Apply unchanged the preview re-runs every
// channel only while adding, else the dialog's channel; no keys of its own.

#include "tools/tool_form.h"

class TCheckBox;
class TComboBox;
class TDigitEdit;
class TGroupBox;
class TObjDetectTool;

class TObjDetectForm : public TToolForm {
public:
  explicit TObjDetectForm(TComponent* AOwner);

  TDigitEdit* DistanceTRDigitEdit;
  TDigitEdit* WaveSpeedAirDigitEdit;
  TDigitEdit* WaveSpeedDigitEdit;
  TDigitEdit* CountVisibleCrossSignalDigitEdit;
  TCheckBox* UseAmlCheckBox;
  TComboBox* PntComboBox;
  TGroupBox* ElipseGroupBox;
  TDigitEdit* XElipseDigitEdit;
  TDigitEdit* YElipseDigitEdit;
  TDigitEdit* X2ElipseDigitEdit;
  TDigitEdit* Y2ElipseDigitEdit;

protected:
  void DisplayToolParam() override;

private:
  TObjDetectTool& DetectTool() const;
  TDigitEdit* AddEdit(TWinControl* parent, int left, int top, int labelWidth, const QString& label, long double min,
                      long double max, long double step, bool decimal);
  // A set's edit: stores, then channel 0's set takes the working parameters.
  void StoreAndSave(void (*store)(TObjDetectTool&, TDigitEdit&), TDigitEdit* edit);
};
