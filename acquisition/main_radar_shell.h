#pragma once
// The main window's parts as the radar link sees them (radar/radar_hooks.h):
// one object over DUvova3DuruZuza that the window registers while it lives
// (SetRadarShell). The settings window and the preferences dialog answer for
// themselves (their globals are atomic).
//
// Threads: the IRadarWindows and IAcquisitionFlags members answer on any thread
// from the window's atomics; everything else runs on the user-interface thread.

#include "radar/radar_hooks.h"

class DUvova3DuruZuza;

class TMainRadarShell final : public IRadarWindows,
                              public IAcquisitionFlags,
                              public IRadarUnitShell,
                              public IRadarSetShell,
                              public ITcpLinkShell,
                              public IBackupShell {
public:
  explicit TMainRadarShell(DUvova3DuruZuza& window) : window_(window) {}

  // ---- IRadarWindows ------------------------------------------------------------------
  HWND MainWindowHandle() const override;
  HWND PreferencesDialogHandle() const override;
  HWND SettingsWindowHandle() const override;
  bool SettingsWindowVisible() const override;
  HWND CurrentChildHandle() const override;
  IRecordingWindow* RunChild() const override;
  bool RunActionChecked() const override;

  // ---- IAcquisitionFlags --------------------------------------------------------------
  bool RadarStarted() const override;
  bool SimpleMode() const override;
  bool DeleteDeviceRunning() const override;
  bool CheckDeviceRunning() const override;
  bool HasCurrentRadar() const override;
  bool PreferencesDialogExists() const override;
  bool PreferencesDialogVisible() const override;
  void SetCountRadarFromMaster(uint8_t count) override;
  uint8_t CountRadarFromMaster() const override;

  // ---- IRadarUnitShell ----------------------------------------------------------------
  void AfterChangeRadar() override;
  void SetButtonInRunMode(bool running) override;
  void SetWasOverFlow(bool value) override;
  void SetPCLoading(double pcTime) override;
  TSettingData* ActiveChannelFor(const TRadar& radar) const override;
  // The settings window's amplitude charts.
  void SetAmpChartRange(double minimum, double maximum) override;
  TCustomIniFile* MainIni() const override;

  // ---- IRadarSetShell -------------------------------------------------------------------
  IRadarSetWindow* CurChildWindow() const override;
  TRadar* CurrentRadar() const override;
  void SetCurrentRadar(TRadar* radar) override;
  void SetStrComNumber(const QString& name) override;
  void SetStrErrorCreateRadar(const QString& text) override;
  TModeSystemRadars ModeSystemRadars() const override;
  void SetModeSystemRadars(TModeSystemRadars mode) override;

  // ---- ITcpLinkShell ----------------------------------------------------------------------
  TResultCheckingTCP* ResultCheckingTCP() const override;
  void SetResultCheckingTCP(std::unique_ptr<TResultCheckingTCP> result) override;
  void SetPingTimerEnabled(bool enabled) override;
  QString WiFiAddress() const override;
  uint16_t WiFiPort() const override;
  TRadarParamReserving* ReserverRadarParam() const override;
  double PCLoading() const override;

  // ---- IBackupShell -------------------------------------------------------------------------
  IBackupWindow* CurrentBackupWindow() const override;
  void SetRunActionChecked(bool checked) override;

private:
  DUvova3DuruZuza& window_;
};
