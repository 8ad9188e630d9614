#pragma once
// THilbertForm: the Hilbert filter's dialog ("Hilbert Filter Settings"); its
// frequency label is shown while "Envelope" is chosen.

#include "tools/instantaneous_form.h"

class THilbertForm : public TInstantaneousForm {
public:
  explicit THilbertForm(TComponent* AOwner);

protected:
  bool ShowsFrequencyLabel() const override { return true; }
};
