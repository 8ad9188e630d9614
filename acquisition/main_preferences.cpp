// The main window's General Preferences command: the dialog shown modally with
// the active window's channels, and their visibility carried back afterwards.

#include "acquisition/main_form.h"

#include "acquisition/general_pref_form.h"
#include "profiledata/channel_store.h"
#include "platform/ui/chart.h"
#include "radargram/view2d_form.h"

void DUvova3DuruZuza::GeneralPreferencesActionExecute() {
  if (!FileActionsEnabled) return;
  const int remembered = NewViewChannalCount();
  auto* window = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  if (window) {
    SetNewViewChannalCount(window->CountChannalView);
    window->CopyChannalVisibleToGlobal();
  }
  ShowGeneralPreferences(this);
  // The window may have gone while the dialog was shown.
  window = dynamic_cast<TView2DForm*>(ActiveMDIChild());
  const T2Dview* first = window ? window->GetView2DByIndx(0) : nullptr;
  if (window && first && !first->WasOpen) {
    window->CopyGlobalChannalVisibleToLocal();
    int active = window->NumActiveView;
    if (active < 0 || active >= kChannelSlots || !window->arChannalVisible[static_cast<size_t>(active)]) {
      active = 0;
      for (int i = 0; i < kChannelSlots; ++i)
        if (window->arChannalVisible[static_cast<size_t>(i)]) {
          active = i;
          break;
        }
    }
    if (TChart* chart = window->GetChartByIndx(active)) window->SetActiveView(chart);
    window->ReCreateViewInterface();
  }
  SetNewViewChannalCount(remembered);
}
