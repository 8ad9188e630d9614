#pragma once
// TWaveleterForm: the wavelet filter's dialog ("Wavelate Advanced Filter
// Settings"): the time scale, the harmonics (count, step and invert: hidden
// controls) and a chart of the kernels, harmonic 0 in red and the others hidden.
// It follows the tool dialog protocol (tool_form.h) but keeps the default
// character set; OK stores the dialog's channel's set before closing; Enter in
// the time-scale edit, the count box or the step edit is the control's.

#include "tools/tool_form.h"

#include <array>

class TChart;
class TCheckBox;
class TComboBox;
class TDigitEdit;
class TLabel;
class TLineSeries;
class TWavelet;

class TWaveleterForm : public TToolForm {
public:
  explicit TWaveleterForm(TComponent* AOwner);

  TLabel* TimescaleLabel;
  TDigitEdit* DigitEditTimescale;
  TLabel* HarmonicCountLabel;
  TComboBox* cbHarmonicCount;
  TLabel* DHarmonicLabel;
  TDigitEdit* DigitEditDHarmonic;
  TCheckBox* InvertCheckBox;
  TChart* Chart1;
  // Series1 .. Series9: harmonics -4 .. 4.
  std::array<TLineSeries*, 9> Series{};

  void DigitEditTimescaleChangeFinish(TObject* Sender);
  void DigitEditDHarmonicChangeFinish(TObject* Sender);
  void cbHarmonicCountChange(TObject* Sender);
  void InvertCheckBoxClick(TObject* Sender);
  // Stores the dialog's channel's set, then closes as OK does.
  void OKClick(TObject* Sender);
  // The kernels of the dialog's channel on the chart.
  void DrawKernels();
  // The step edit's bounds from the tool's bound rule.
  void ApplyStepBound();

protected:
  void DisplayToolParam() override;

private:
  TWavelet& Wavelet() const;
  // The protocol's handler, then the kernels again.
  void Apply(TObject* Sender);
};
