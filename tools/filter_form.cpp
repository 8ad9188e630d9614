#include "tools/filter_form.h"

#include "platform/rtl/resource_strings.h"
#include "tools/filter_tool.h"

RESOURCESTRING(SLowPassButtonCaption, "Low-Pass Filter");
RESOURCESTRING(SHighPassButtonCaption, "High-Pass Filter");
RESOURCESTRING(SFilterRangeCaption, "Range");

namespace {
const TFrequencyFormLayout FilterLayout{&SLowPassButtonCaption, LowPassFilter, &SHighPassButtonCaption, HighPassFilter,
                                        1, &SFilterRangeCaption, 1, 8};
}  // namespace

TFilterForm::TFilterForm(TComponent* AOwner) : TFrequencyFilterForm(AOwner, FilterLayout) {
  LowPassFilterToolButton = TypeButtons[0];
  HighPassFilterToolButton = TypeButtons[1];
  RangeDigitEdit = SecondDigitEdit;
  RangeTrackBar = SecondTrackBar;
}

TFilter& TFilterForm::Filter() const { return static_cast<TFilter&>(*Tool); }

int32_t TFilterForm::SecondValue() const { return Filter().Range(); }

void TFilterForm::SetSecondValue(int32_t value) { Filter().SetRange(static_cast<uint8_t>(value)); }

void TFilterForm::SetType(uint8_t type) { Filter().SetTypeFilter(static_cast<TTypeFilter>(type)); }
