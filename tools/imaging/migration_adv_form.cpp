#include "tools/imaging/migration_adv_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "tools/imaging/migration_adv_tool.h"

RESOURCESTRING(SMigrationAdvFormCaption, "Migration");
RESOURCESTRING(SAntennasOffset, "Antennas offset %s m");

TMigrationAdvForm::TMigrationAdvForm(TComponent* AOwner) : TWheelToolForm(AOwner, TToolFormOptions{}) {
  SetCaption(LoadResString(SMigrationAdvFormCaption));
  SetClientWidth(225);
  SetClientHeight(161);
  EditCaption->SetBounds(8, 8, 209, 21);
  ExecCheckBox->SetBounds(8, 36, 97, 17);
  StaticText->SetBounds(8, 58, 209, 30);
  DistanceReceptDigitEdit = new TLabel(this);
  DistanceReceptDigitEdit->SetParent(this);
  DistanceReceptDigitEdit->SetBounds(8, 96, 209, 13);
  DistanceReceptDigitEdit->Font()->SetStyle(TFontStyles{fsBold});
  OKBitBtn->SetBounds(62, 128, 75, 25);
  CancelBitBtn->SetBounds(142, 128, 75, 25);

  RebuildDiagram = [this] {
    if (Tool) MigrationTool().PaintDiagram();
  };
  OnShow = [this](TObject* sender) {
    if (Tool) Tool->GetParam(Tool->CurrentNumberView);
    WheelFormShow(sender);
  };
}

TMigrationAdvTool& TMigrationAdvForm::MigrationTool() const { return static_cast<TMigrationAdvTool&>(*Tool); }

void TMigrationAdvForm::DisplayToolParam() {
  const QString offset = FloatToStrF(MigrationTool().DistanceRecept, ffFixed, 5, 2);
  DistanceReceptDigitEdit->SetCaption(Format(LoadResString(SAntennasOffset), {offset}));
}
