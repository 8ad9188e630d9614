#include "radar/online_dialog_hooks.h"

#include "platform/ui/forms.h"

namespace {
IOnlineDialogHost* g_host = nullptr;
}  // namespace

void SetOnlineDialogHost(IOnlineDialogHost* host) { g_host = host; }
IOnlineDialogHost* OnlineDialogHost() { return g_host; }

void PlaceBesideChartAmp(TForm& form) {
  const IOnlineDialogHost* host = OnlineDialogHost();
  const TPoint origin = host ? host->ChartAmpClientOrigin() : TPoint{};
  form.SetLeft(KeptOnScreen(origin.X - form.Width()));
  form.SetTop(KeptOnScreen(origin.Y));
}
