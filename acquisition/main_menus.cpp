// The main window's command states: which commands may run for the open
// windows, the active one and the current radar.

#include "acquisition/main_form.h"

#include "platform/ui/menus.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar_set.h"
#include "radargram/view2d_form.h"

void DUvova3DuruZuza::Updatemenu() {
  const bool anyWindow = !RadargramWindows().empty();
  // The language changes only while no profile is shown.
  Commands.LanguageVisible = !anyWindow;
  Commands.SaveEnabled = Commands.SaveAsEnabled = Commands.PrintEnabled = anyWindow;
  Commands.DirectionEnabled = Commands.ExportEnabled = Commands.ZoomEnabled = anyWindow;

  auto* active = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  T2Dview* first = active ? active->GetView2DByIndx(0) : nullptr;
  // A window made for recording, not one opened from a file.
  const bool recording = first && !first->WasOpen;
  TRadar* current = radar_;
  const bool typesMatch = radarSet_ && radarSet_->ControlRadar.isEqualRadarTypeAndView();
  const bool typeUnknown = first && first->Settings()->GetTypeGPR() == unknown;
  const bool settings = recording && current && (typesMatch || typeUnknown);
  const bool presets = recording && !first->HoldsTraces() && current && typesMatch;
  if (Commands.ToolDialogShown) {
    // The dialog gives them back when it closes.
    Commands.GprPresetsBeforeToolDialog = presets;
  } else {
    Commands.GprSettingsEnabled = settings;
    Commands.GprPresetsEnabled = presets;
  }
  BindingActionEnabled = recording && current && !active->AutOfRange;
  if (SnapMenuItem) SnapMenuItem->SetEnabled(BindingActionEnabled && !Commands.ToolDialogShown);
  // The direction of a profile with traces is fixed.
  if (first && first->HoldsTraces()) Commands.DirectionEnabled = false;
  if (active) SetButtonDirect();
}
