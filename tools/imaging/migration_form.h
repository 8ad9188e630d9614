#pragma once
// TMigrationForm: the plain migration's dialog ("Migration"): caption, Apply and
// the wheel-mode notice; placed beside channel 0's chart. While adding only
// channel 0's set and, when Apply changes, every set's Apply are stored (the tool
// copies no set over the others). The hidden diagram chart is not built.

#include "tools/imaging/wheel_tool_form.h"

class TMigrationForm : public TWheelToolForm {
public:
  explicit TMigrationForm(TComponent* AOwner);
};
