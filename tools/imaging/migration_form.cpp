#include "tools/imaging/migration_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "tools/imaging/migration_tool.h"

RESOURCESTRING(SMigrationFormCaption, "Migration");

TMigrationForm::TMigrationForm(TComponent* AOwner) : TWheelToolForm(AOwner, [] {
  TToolFormOptions options;
  options.PlaceBesideChannel0 = true;
  return options;
}()) {
  SetCaption(LoadResString(SMigrationFormCaption));
  SetClientWidth(225);
  SetClientHeight(133);
  EditCaption->SetBounds(8, 8, 209, 21);
  ExecCheckBox->SetBounds(8, 36, 97, 17);
  StaticText->SetBounds(8, 58, 209, 30);
  OKBitBtn->SetBounds(62, 100, 75, 25);
  CancelBitBtn->SetBounds(142, 100, 75, 25);
  RebuildDiagram = [this] {
    if (Tool) static_cast<TMigrationTool&>(*Tool).PaintDiagram();
  };
}
