#pragma once
// What the online stage dialogs ask of the acquisition settings window, which
// shows them: the parameter hand-over to the stages of the selected channel (or
// of every channel), the amplitude chart they place themselves beside, the check
// list of online stages that mirrors their Apply boxes, and the current scan
// settings. The settings window implements it; tests use a fake.
//
// A process-wide registration (not owned). Without one the dialogs apply nothing,
// place themselves at the screen's corner and draw no wavelet.
//
// User-interface thread only.

#include "platform/ui/control_types.h"
#include "radar/online_parameters.h"

#include <QString>

class TForm;
class TSettingData;

// Items of the settings window's check list of online stages.
constexpr int OnlinePluginWaveletItem = 0;
constexpr int OnlinePluginBackgroundItem = 1;
constexpr int OnlinePluginGainItem = 2;

class IOnlineDialogHost {
public:
  virtual ~IOnlineDialogHost() = default;
  // Hands P to the stage named stageName (TOnlineStageSet's names).
  virtual void SetParamOnlinePlugin(const QString& stageName, const TOnlineParametrs& P) = 0;
  // The amplitude chart: the screen position of its client origin, its height
  // and the height of its plotting area.
  virtual TPoint ChartAmpClientOrigin() const = 0;
  virtual int ChartAmpHeight() const = 0;
  virtual int ChartAmpPlotHeight() const = 0;
  // Checks or clears item (OnlinePlugin...Item) of the online stage check list.
  virtual void SetOnlinePluginChecked(int item, bool checked) = 0;
  // The scan settings of the selected channel; nullptr when there are none.
  virtual const TSettingData* CurrentSettings() const = 0;
};

void SetOnlineDialogHost(IOnlineDialogHost* host);
IOnlineDialogHost* OnlineDialogHost();

// Places a dialog to the left of the amplitude chart, level with its client
// origin: Left := x - the dialog's width, Top := y; an edge at 1 or less becomes
// 2, so the dialog stays on the screen. Without a host the origin is (0, 0).
void PlaceBesideChartAmp(TForm& form);
// Left (or Top) of a dialog from a chart position: 2 when value is not greater
// than 1.
inline int KeptOnScreen(int value) { return value > 1 ? value : 2; }
