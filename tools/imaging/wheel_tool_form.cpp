#include "tools/imaging/wheel_tool_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/application.h"
#include "platform/ui/std_controls.h"
#include "tools/common_tool.h"
#include "tools/imaging/migration_run.h"

RESOURCESTRING(SWheelOnlyNotice, "This tool applies only to profiles obtained with the measuring wheel");

TWheelToolForm::TWheelToolForm(TComponent* AOwner, TToolFormOptions options)
    : TToolForm(AOwner, [&options] {
        options.PreviewOnShow = false;
        return options;
      }()) {
  StaticText = new TLabel(this);
  StaticText->SetParent(this);
  StaticText->SetWordWrap(true);
  StaticText->SetCaption(LoadResString(SWheelOnlyNotice));
  StaticText->Font()->SetColor(clRed);
  StaticText->SetVisible(false);

  OnShow = [this](TObject* sender) { WheelFormShow(sender); };
  ExecCheckBox->OnClick = [this](TObject* sender) { WheelApplyClick(sender); };
  OnDblClick = [this](TObject*) {
    if (RebuildDiagram) RebuildDiagram();
  };
}

void TWheelToolForm::ApplyWheelModeRule() {
  if (!Tool || IsWheelProfile(Tool->GetViewByIndx(0))) return;
  Tool->AExecuting = false;
  // Not the user's change: the box's handler must not store it.
  const bool live = Vsbl;
  Vsbl = false;
  ExecCheckBox->SetChecked(false);
  Vsbl = live;
  StaticText->SetVisible(true);
}

void TWheelToolForm::WheelFormShow(TObject* Sender) {
  FormShow(Sender);
  if (!Tool) return;
  Application->ProcessMessages();
  ApplyWheelModeRule();
}

void TWheelToolForm::WheelApplyClick(TObject* Sender) {
  const bool live = Vsbl;
  ExecCheckBoxClick(Sender);
  if (!live || !Tool || IsWheelProfile(Tool->GetViewByIndx(0))) return;
  Application->ProcessMessages();
  ApplyWheelModeRule();
}
