#include "radar/radar_set_param_reserving.h"

#include "radar/control_radar.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"

#include <algorithm>
#include <limits>

namespace {
int32_t Narrow(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
}  // namespace

void TRadarParamReserving::SaveParam(const TControlRadar& ActiveRadar) {
  const TRadar* radar = ActiveRadar.SlotRadar(0);
  if (!radar) return;
  ReservSerNum = radar->SerNum();
  ReservGXmax = radar->GXmax;
  ReservGXmin = radar->GXmin;
  ReservGYmax = radar->GYmax;
  ReservGYmin = radar->GYmin;
  ReservGZmax = radar->GZmax;
  ReservGZmin = radar->GZmin;
  ReservRadarType = radar->RadarType();
  ReservValid = radar->Valid();
  ReservPower = radar->Power();
  ReservRadarLoading = radar->RadarLoading();
  ReservLastNMEA = radar->LastNMEA();
  ReservFirmwareVer = radar->FirmwareVer();
  ReservShiftSlowRamp = radar->ShiftSlowRamp();
  ReservCountRadarInArray = radar->CountRadarInArray();
  ReservZeroOffset = radar->ZeroOffset();
  ReservXshift = radar->Xshift();
  ReservYshift = radar->Yshift();
  ReservNumChannalRadar = radar->NumChannalRadar();
  ReservWithoutAck = radar->WithoutAck();
  ReservMaxPerfomanceDelay = radar->MaxPerfomanceDelay();
  ReservInclinometersSett = radar->InclinometersSett();
  ReservNumTraceWiFi = radar->NumTraceWiFi;
  // The recording window's trace counters are 64-bit; the saved copy is 32-bit.
  ReservLastPaint = 0;
  ReservLastRecived = Narrow(radar->LastRecived);
  ReservTypeGPRDevice = ActiveRadar.TypeGPRDevice();
  ReservSerNumDevice = ActiveRadar.SerNumDevice();
  const IRadarWindows* windows = RadarShell().Windows;
  ReservRunChild = windows ? windows->RunChild() : nullptr;
}

void TRadarParamReserving::RestoreParam(TRadar& radar) const {
  radar.SetSerNum(ReservSerNum);
  radar.GXmax = ReservGXmax;
  radar.GXmin = ReservGXmin;
  radar.GYmax = ReservGYmax;
  radar.GYmin = ReservGYmin;
  radar.GZmax = ReservGZmax;
  radar.GZmin = ReservGZmin;
  radar.SetRadarType(ReservRadarType);
  radar.SetValid(ReservValid);
  radar.SetPower(ReservPower);
  radar.SetRadarLoading(ReservRadarLoading);
  radar.SetLastNMEA(ReservLastNMEA);
  radar.SetFirmwareVer(ReservFirmwareVer);
  radar.SetShiftSlowRamp(ReservShiftSlowRamp);
  radar.SetCountRadarInArray(ReservCountRadarInArray);
  radar.SetZeroOffset(ReservZeroOffset);
  radar.SetXshift(ReservXshift);
  radar.SetYshift(ReservYshift);
  radar.SetNumChannalRadar(ReservNumChannalRadar);
  radar.SetWithoutAck(ReservWithoutAck);
  radar.SetMaxPerfomanceDelay(ReservMaxPerfomanceDelay);
  radar.SetInclinometersSett(ReservInclinometersSett);
  radar.NumTraceWiFi = ReservNumTraceWiFi;
  radar.LastPaint = ReservLastPaint;
  radar.LastRecived = ReservLastRecived;
}
