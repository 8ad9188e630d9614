#include "acquisition/main_radar_shell.h"

#include "acquisition/main_form.h"
#include "acquisition/settings_form.h"
#include "acquisition/general_pref_form.h"
#include "platform/ui/timers.h"
#include "profiledata/channel_store.h"
#include "radar/control_radar.h"
#include "radar/radar_set_param_reserving.h"
#include "radar/tcp_probe.h"
#include "radargram/view2d_form.h"

HWND TMainRadarShell::MainWindowHandle() const { return window_.Handle(); }

HWND TMainRadarShell::SettingsWindowHandle() const {
  const TSettingsForm* settings = SettingsForm;
  return settings ? settings->Handle() : nullptr;
}

bool TMainRadarShell::SettingsWindowVisible() const {
  const TSettingsForm* settings = SettingsForm;
  return settings && settings->Shown();
}

HWND TMainRadarShell::PreferencesDialogHandle() const {
  const TGeneralPreferensesForm* preferences = GeneralPreferensesForm;
  return preferences ? preferences->Handle() : nullptr;
}

bool TMainRadarShell::PreferencesDialogExists() const { return GeneralPreferensesForm.load() != nullptr; }

bool TMainRadarShell::PreferencesDialogVisible() const {
  const TGeneralPreferensesForm* preferences = GeneralPreferensesForm;
  return preferences && preferences->Shown();
}

void TMainRadarShell::SetAmpChartRange(double minimum, double maximum) {
  if (TSettingsForm* settings = SettingsForm)
    for (int channel = 0; channel < TSettingsForm::ChannelCount; ++channel)
      settings->SetAmpRange(channel, minimum, maximum);
}

HWND TMainRadarShell::CurrentChildHandle() const {
  TView2DForm* child = window_.CurChild();
  return child ? child->Handle() : nullptr;
}

IRecordingWindow* TMainRadarShell::RunChild() const {
  // The recording window takes traces once it is a recording window of the link.
  return dynamic_cast<IRecordingWindow*>(static_cast<TForm*>(window_.RunChild()));
}

bool TMainRadarShell::RunActionChecked() const { return window_.Commands.RunChecked; }
bool TMainRadarShell::RadarStarted() const { return window_.RadarStarted(); }
bool TMainRadarShell::SimpleMode() const { return window_.SimpleMode(); }
bool TMainRadarShell::DeleteDeviceRunning() const { return window_.isDeleteDeviceRunned; }
bool TMainRadarShell::CheckDeviceRunning() const { return window_.isCheckDeviceRunned(); }
bool TMainRadarShell::HasCurrentRadar() const { return window_.CurrentRadar() != nullptr; }
void TMainRadarShell::SetCountRadarFromMaster(uint8_t count) { window_.SetCountRadarFromMaster(count); }
uint8_t TMainRadarShell::CountRadarFromMaster() const {
  return static_cast<uint8_t>(window_.DUvova3DuruZuza::CountRadarFromMaster());
}

void TMainRadarShell::AfterChangeRadar() { window_.AfterChangeRadar(); }
void TMainRadarShell::SetButtonInRunMode(bool running) { window_.SetButtonInRunMode(running); }
void TMainRadarShell::SetWasOverFlow(bool value) { window_.WasOverFlow = value; }
void TMainRadarShell::SetPCLoading(double pcTime) { window_.PCLoading = pcTime; }

TSettingData* TMainRadarShell::ActiveChannelFor(const TRadar& radar) const {
  TView2DForm* child = window_.CurChild();
  const TControlRadar* set = window_.ControlRadar();
  if (!child || !set) return nullptr;
  const int slot = set->GetIndexRadar(&radar);
  const T2Dview* store = child->GetView2DByIndx(slot);
  return store ? store->Settings() : nullptr;
}

TCustomIniFile* TMainRadarShell::MainIni() const { return window_.MainIni(); }
IRadarSetWindow* TMainRadarShell::CurChildWindow() const { return window_.CurChild(); }
TRadar* TMainRadarShell::CurrentRadar() const { return window_.CurrentRadar(); }
void TMainRadarShell::SetCurrentRadar(TRadar* radar) { window_.SetCurrentRadar(radar); }
void TMainRadarShell::SetStrComNumber(const QString& name) { window_.strComNumber = name; }
void TMainRadarShell::SetStrErrorCreateRadar(const QString& text) { window_.strErrorCreateRadar = text; }
TModeSystemRadars TMainRadarShell::ModeSystemRadars() const { return window_.ModeSystemRadars; }
void TMainRadarShell::SetModeSystemRadars(TModeSystemRadars mode) { window_.ModeSystemRadars = mode; }

TResultCheckingTCP* TMainRadarShell::ResultCheckingTCP() const { return window_.ResultCheckingTCP.get(); }
void TMainRadarShell::SetResultCheckingTCP(std::unique_ptr<TResultCheckingTCP> result) {
  window_.ResultCheckingTCP = std::move(result);
}
void TMainRadarShell::SetPingTimerEnabled(bool enabled) {
  if (window_.TimerPing) window_.TimerPing->SetEnabled(enabled);
}
QString TMainRadarShell::WiFiAddress() const { return window_.Settings.WiFiAddress; }
uint16_t TMainRadarShell::WiFiPort() const {
  bool ok = false;
  const uint port = window_.Settings.WiFiPort.trimmed().toUInt(&ok);
  return ok && port <= 0xFFFF ? static_cast<uint16_t>(port) : 0;
}
TRadarParamReserving* TMainRadarShell::ReserverRadarParam() const { return window_.ReserverRadarParam.get(); }
double TMainRadarShell::PCLoading() const { return window_.PCLoading; }

IBackupWindow* TMainRadarShell::CurrentBackupWindow() const { return window_.CurChild(); }
void TMainRadarShell::SetRunActionChecked(bool checked) { window_.SetRunActionChecked(checked); }
