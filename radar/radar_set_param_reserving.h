#pragma once
// TRadarParamReserving: what the program knew about a Wi-Fi radar when its
// connection was lost. A single-board-computer radar keeps recording on its own;
// when it comes back with the same recording, its new radar object takes these
// values instead of asking the unit again.
//
// User-interface thread (the main window saves on WM_WIFIERROR; the radar set
// restores while it creates the radar).

#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>

class IRecordingWindow;
class TControlRadar;
class TRadar;

class TRadarParamReserving {
public:
  // Copies slot 0's radar of the set, the set's device box and the recording
  // window; nothing when slot 0 is empty.
  void SaveParam(const TControlRadar& ActiveRadar);
  // The saved values back into a new radar object (the set's device box is the
  // caller's to restore).
  void RestoreParam(TRadar& radar) const;

  uint16_t ReservSerNum = 0;
  double ReservGXmax = 0, ReservGXmin = 0, ReservGYmax = 0, ReservGYmin = 0, ReservGZmax = 0, ReservGZmin = 0;
  TTypeGPR ReservRadarType = unknown;
  bool ReservValid = false;
  double ReservPower = 0;
  double ReservRadarLoading = 0;
  QString ReservLastNMEA;
  uint16_t ReservFirmwareVer = 0;
  uint16_t ReservShiftSlowRamp = 0;
  uint8_t ReservCountRadarInArray = 0;
  int32_t ReservZeroOffset = 0, ReservXshift = 0, ReservYshift = 0;
  uint8_t ReservNumChannalRadar = 0;
  bool ReservWithoutAck = false;
  uint8_t ReservMaxPerfomanceDelay = 0;
  TInclinometersSett ReservInclinometersSett = isUnknown;
  TTypeGPRDevice ReservTypeGPRDevice = tdUnknown;
  int32_t ReservSerNumDevice = 0;
  IRecordingWindow* ReservRunChild = nullptr;  // not owned
  int32_t ReservNumTraceWiFi = 0;
  int32_t ReservLastPaint = 0;
  int32_t ReservLastRecived = 0;
};
