#pragma once
// TDlgSpectrum: the spectrum tool's dialog ("Spectrum", 820 x 308, on top): the
// caption edit and Apply, the position switch ("Vertical" / "Horizontal"),
// "Frequency" (the horizontal mode's trace rate, its integer taken) and "+/-"
// (the averaging half width) over the input chart ("Input", its bottom axis
// titled with the trace, depth and the window's statistics) and the spectrum
// chart ("Frequency"). The Start, Stop, Step Time and Diapazon edits and the five
// harmonic charts exist but stay hidden.
//
// Every change recomputes through the tool's cursor handling at the current
// trace and depth; the Apply box runs the protocol's Apply handler, and with
// Apply off redraws the spectrum itself. Enter (outside the two edits) is OK and
// Esc cancels, both deferred while the tool runs (tool_form.h). Its texts are
// resource strings and follow the interface language.

#include "tools/imaging/spectrum_kernel.h"
#include "tools/tool_form.h"

#include <array>
#include <vector>

class TChart;
class TDigitEdit;
class TFastLineSeries;
class TLabel;
class TLineSeries;
class TPanel;
class TRadioGroup;
class TSpectrum;

class TDlgSpectrum : public TToolForm {
public:
  explicit TDlgSpectrum(TComponent* AOwner);

  TPanel* TopPanel;
  TPanel* BottomPanel;
  TPanel* ChartPanel;
  TRadioGroup* RadioGroupPosition;
  TDigitEdit* FrDiscretDigitEdit;
  TDigitEdit* DeltaPlusDigitEdit;
  TDigitEdit* StartDigitEdit;
  TDigitEdit* StopDigitEdit;
  TDigitEdit* StepTimeDigitEdit;
  TDigitEdit* DiapazonDigitEdit;
  TChart* Chart1;
  TLineSeries* Series1;
  TChart* Chart2;
  TLineSeries* FreqSeries1;
  TPanel* HarmonicPanel;
  std::array<TChart*, HarmonicCount> HarmonicCharts{};        // Chart5 .. Chart9
  std::array<TFastLineSeries*, HarmonicCount> KernelSeries{};  // FastLineSeries3 .. 7
  std::array<TFastLineSeries*, HarmonicCount> CorFuncSeries{};  // CorFuncSeries3 .. 7

  // The window in the Start and Stop edits and the step in Step Time.
  void ShowWindow(int32_t start, int32_t stop, long double stepTime);
  void ClearSpectrum();
  void SetStatisticsTitle(const QString& title);
  // Harmonic i (0 .. 4): its kernel's display line and its correlation.
  void ShowHarmonic(int i, const std::vector<double>& kernel, const std::vector<double>& correlation);

  // ---- Handlers ---------------------------------------------------------------
  void ApplyClick(TObject* Sender);
  void RadioGroupPositionClick(TObject* Sender);
  void FrDiscretChangeFinish(TObject* Sender);
  void DeltaPlusChangeFinish(TObject* Sender);
  void DiapazonChangeFinish(TObject* Sender);
  void StartStopChangeFinish(TObject* Sender);

protected:
  void DisplayToolParam() override;

private:
  TSpectrum& Spectrum() const;
  // Live, and not while the tool writes into its own edits.
  bool Reacts() const;
  TDigitEdit* AddEdit(TWinControl* parent, int left, int top, const QString& label, long double min, long double max,
                      long double step);
};
