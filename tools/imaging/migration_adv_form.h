#pragma once
// TMigrationAdvForm: the advanced migration's dialog ("Migration"): caption,
// Apply, the wheel-mode notice and the antenna offset the last run used
// ("Antennas offset %s m"). The scale, amplitude and hyperbola-length edits and
// the diagram chart that the user never sees are not built. The wheel-mode rule
// and the other deviations are TWheelToolForm's; on show the dialog first loads
// the set of its channel.

#include "tools/imaging/wheel_tool_form.h"

class TLabel;
class TMigrationAdvTool;

class TMigrationAdvForm : public TWheelToolForm {
public:
  explicit TMigrationAdvForm(TComponent* AOwner);

  // A bold label, named after the edit it once was.
  TLabel* DistanceReceptDigitEdit = nullptr;

protected:
  void DisplayToolParam() override;

private:
  TMigrationAdvTool& MigrationTool() const;
};
