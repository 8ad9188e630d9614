#include "tools/band_pass_form.h"

#include "platform/rtl/resource_strings.h"
#include "tools/band_filter.h"

RESOURCESTRING(SBandPassButtonCaption, "Band Pass Filter");
RESOURCESTRING(SBandStopButtonCaption, "Band Stop Filter");
RESOURCESTRING(SQualityFactorCaption, "Quality Factor");

namespace {
const TFrequencyFormLayout BandPassLayout{&SBandPassButtonCaption, BandPassFilter, &SBandStopButtonCaption,
                                          BandStopFilter, 1, &SQualityFactorCaption, 1, 30};
}  // namespace

TBandPassForm::TBandPassForm(TComponent* AOwner) : TFrequencyFilterForm(AOwner, BandPassLayout) {
  PassFilterToolButton = TypeButtons[0];
  StopFilterToolButton = TypeButtons[1];
  QualityDigitEdit = SecondDigitEdit;
  QualityTrackBar = SecondTrackBar;
}

TBandFilter& TBandPassForm::BandFilter() const { return static_cast<TBandFilter&>(*Tool); }

int32_t TBandPassForm::SecondValue() const { return BandFilter().Quality(); }

void TBandPassForm::SetSecondValue(int32_t value) { BandFilter().SetQuality(value); }

void TBandPassForm::SetType(uint8_t type) { BandFilter().SetTypeFilter(static_cast<TTypeBandFilter>(type)); }
