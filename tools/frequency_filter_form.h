#pragma once
// TFrequencyFilterForm: the dialog the band filter and the low/high-pass filter
// share ("Filter"): two filter types as grouped check buttons, the frequency in
// MHz (edit and track bar, bounded to the tool's MinFr..MaxFr), a second integer
// parameter (edit and track bar) and the chart of the three spectra: "Input"
// (red) and "Output" (blue) on the left axis, "Filter" (green) on the hidden
// right axis, frequency in GHz along the bottom.
//
// It follows the tool dialog protocol (tool_form.h) with a blocking preview: the
// window has re-run the chain, and the tool redrawn its spectra, when a handler
// returns. Enter in a numeric edit is the edit's (it confirms the value), not OK.
// A click in the chart redraws the spectra.

#include "platform/rtl/resource_strings.h"
#include "tools/tool_form.h"

#include <cstdint>
#include <vector>

class TChart;
class TDigitEdit;
class TFrequencyFilterTool;
class TGroupBox;
class TLineSeries;
class TToolBar;
class TToolButton;
class TTrackBar;

// What differs between the two dialogs.
struct TFrequencyFormLayout {
  const TResourceString* FirstTypeCaption;
  uint8_t FirstType;
  const TResourceString* SecondTypeCaption;
  uint8_t SecondType;
  int DownButton;  // 0 or 1: the button down before any parameters are shown
  const TResourceString* SecondCaption;     // the second parameter's group
  int SecondMin;
  int SecondMax;
};

class TFrequencyFilterForm : public TToolForm {
public:
  TFrequencyFilterForm(TComponent* AOwner, const TFrequencyFormLayout& layout);

  TGroupBox* TypeGroupBox;
  TToolBar* TypeToolBar;
  TToolButton* TypeButtons[2];
  TGroupBox* FrequencyGroupBox;
  TDigitEdit* FrequencyDigitEdit;
  TTrackBar* FrequencyTrackBar;
  TGroupBox* SecondGroupBox;
  TDigitEdit* SecondDigitEdit;
  TTrackBar* SecondTrackBar;
  TChart* Chart1;
  TLineSeries* InputSeries;
  TLineSeries* OutputSeries;
  TLineSeries* FilterSeries;

  // Clears the three series and adds (axis[k], line[k]), k = 1..n; a missing
  // input or output line leaves its series empty.
  void ShowSpectra(const std::vector<double>& axis, const std::vector<double>* input,
                   const std::vector<double>* output, const std::vector<double>& filter);

  // ---- Handlers -------------------------------------------------------------------
  // A track bar: its position into its edit; while live the tool's value from the
  // edit, the dialog's channel's set stored and, unless the tool runs, the Apply
  // handler.
  void FrequencyTrackBarChange(TObject* Sender);
  void SecondTrackBarChange(TObject* Sender);
  // An edit's confirmed value moves its track bar.
  void FrequencyDigitEditChangeFinish(TObject* Sender);
  void SecondDigitEditChangeFinish(TObject* Sender);
  // A type button: the tool's type, then the Apply handler.
  void TypeButtonClick(TObject* Sender);
  // The protocol's Apply handler; without a preview (no traces, Apply off) the
  // spectra are recomputed here.
  void ApplyClick(TObject* Sender);
  void Chart1Click(TObject* Sender);

protected:
  void DisplayToolParam() override;
  // The second parameter of the tool (quality or passes).
  virtual int32_t SecondValue() const = 0;
  virtual void SetSecondValue(int32_t value) = 0;
  // The tool's type after a type button (its tag).
  virtual void SetType(uint8_t type) = 0;

  TFrequencyFilterTool& FilterTool() const;
};
