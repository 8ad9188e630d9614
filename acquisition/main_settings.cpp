// The main window's "GPR settings" command: the settings window, shown modally.

#include "acquisition/main_form.h"

#include "acquisition/settings_form.h"
#include "platform/rtl/resource_strings.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"

RESOURCESTRING(SGprSettingsAction, "GPR settings");

void DUvova3DuruZuza::CreateSettingsCommand() {
  if (!AcquisitionMenu) return;
  GprSettingsMenuItem = TComponent::Create<TMenuItem>(this);
  GprSettingsMenuItem->SetCaption(LoadResString(SGprSettingsAction));
  GprSettingsMenuItem->SetShortCut(ShortCut(VK_F1 + 2, TShiftState{ssShift}));
  GprSettingsMenuItem->OnClick = [this](TObject*) { ActionViewSettingsExecute(); };
  AcquisitionMenu->Insert(0, GprSettingsMenuItem);
}

void DUvova3DuruZuza::ActionViewSettingsExecute() {
  if (TSettingsForm* settings = SettingsForm) settings->ShowModal();
}
