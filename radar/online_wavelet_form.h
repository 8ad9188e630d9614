#pragma once
// TOnlineWaveletForm: the online wavelet filter's Apply switch and a picture of
// its wavelet for the current time scale and sample interval.
//
// Created once and shown modally by the settings window, which fills the record
// before each showing. The time scale is shown but not edited here (the stage
// takes it from the antenna unit); the Apply box goes to the stage at once.
//
// User-interface thread only.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"
#include "radar/online_parameters.h"

#include <vector>

class TBitBtn;
class TChart;
class TCheckBox;
class TDigitEdit;
class TLabel;
class TLineSeries;

RESOURCESTRING(SWaveletCaption, "Wavelet");
// Two blanks before "property", as the dialog has always shown it.
RESOURCESTRING(SOnlineWaveletFormCaption, "Online Wavelet  property");
RESOURCESTRING(STimeNsCaption, "Time, ns");
RESOURCESTRING(STimeScaleNsCaption, "Time Scale, ns");

class TOnlineWaveletForm : public TForm {
public:
  explicit TOnlineWaveletForm(TComponent* AOwner);

  TParametrsWavelet FParametrsWavelet;

  TChart* Chart1;
  TLineSeries* Series1;  // the wavelet: amplitude across (top axis), time down
  TLineSeries* Series2;  // the zero line
  TLabel* Label1;
  TDigitEdit* DigitEditTimescale;
  TCheckBox* ExecCheckBox;
  TBitBtn* OKBitBtn;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  // The wavelet of pTimescale for the settings window's sample interval; nothing
  // without scan settings.
  void PrepareLine();
  void ExecCheckBoxClick(TObject* Sender);
  void DigitEditTimescaleChangeFinish(TObject* Sender);

  void PlaceAtChart();
  // PrepareLine, then the wavelet and the zero line over +-150 samples.
  void DrawWavelet();
  // The record to the stage, unless the dialog is filling its controls.
  void ApplyWavelet();

  bool flnoStart = false;

  // The wavelet as PrepareLine left it.
  std::vector<long double> CorFunc;
  int32_t CorLength = 0;
  std::vector<long double> line;
  int32_t start = 0, stop = -1;
};
