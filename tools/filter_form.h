#pragma once
// TFilterForm: the low/high-pass filter's dialog: low pass or high pass, the
// corner frequency and the number of passes 1..8, and the spectra.

#include "tools/frequency_filter_form.h"

class TFilter;

class TFilterForm : public TFrequencyFilterForm {
public:
  explicit TFilterForm(TComponent* AOwner);

  TToolButton* LowPassFilterToolButton;
  TToolButton* HighPassFilterToolButton;
  TDigitEdit* RangeDigitEdit;
  TTrackBar* RangeTrackBar;

protected:
  int32_t SecondValue() const override;
  void SetSecondValue(int32_t value) override;
  void SetType(uint8_t type) override;

private:
  TFilter& Filter() const;
};
