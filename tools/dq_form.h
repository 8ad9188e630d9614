#pragma once
// TDQForm: the DQ filter's dialog ("DQ Filter Settings"); its frequency label is
// never shown.

#include "tools/instantaneous_form.h"

class TDQForm : public TInstantaneousForm {
public:
  explicit TDQForm(TComponent* AOwner);

protected:
  bool ShowsFrequencyLabel() const override { return false; }
};
