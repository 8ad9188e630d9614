#pragma once
// TBandPassForm: the band filter's dialog: band pass or band stop, the centre
// frequency and the quality factor 1..30, and the spectra (the "Filter" line of
// a band stop is the band-pass response drawn upside down).

#include "tools/frequency_filter_form.h"

class TBandFilter;

class TBandPassForm : public TFrequencyFilterForm {
public:
  explicit TBandPassForm(TComponent* AOwner);

  TToolButton* PassFilterToolButton;
  TToolButton* StopFilterToolButton;
  TDigitEdit* QualityDigitEdit;
  TTrackBar* QualityTrackBar;

protected:
  int32_t SecondValue() const override;
  void SetSecondValue(int32_t value) override;
  void SetType(uint8_t type) override;

private:
  TBandFilter& BandFilter() const;
};
