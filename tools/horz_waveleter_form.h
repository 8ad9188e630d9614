#pragma once
// THorzWaveleterForm: the horizontal wavelet filter's dialog ("Wavelate Advanced
// Filter Settings"): the window width in traces (half of WidthWindow) and a chart
// of the kernel. It follows the tool dialog protocol (tool_form.h) but keeps the
// default character set; OK stores the dialog's channel's set before closing;
// Enter in the width edit is the edit's.

#include "tools/tool_form.h"

#include <array>

class TChart;
class TDigitEdit;
class TLabel;
class TLineSeries;
class THorzWavelet;

class THorzWaveleterForm : public TToolForm {
public:
  explicit THorzWaveleterForm(TComponent* AOwner);

  TLabel* WidthWindowLabel;
  TDigitEdit* DigitEditWidthWindow;
  TChart* Chart1;
  // Series1 .. Series9; only Series5 (harmonic 0) is ever filled.
  std::array<TLineSeries*, 9> Series{};

  // WidthWindow := 2 x the edit's value; unless the tool runs, the protocol's
  // handler and the kernel again.
  void DigitEditWidthWindowChangeFinish(TObject* Sender);
  void OKClick(TObject* Sender);
  void DrawKernel();

protected:
  void DisplayToolParam() override;

private:
  THorzWavelet& Horz() const;
};
