// TSettingData: construction, defaults, the hooks to radar and windows, and the
// setters with their side effects. Conversions are in setting_data_conversions.cpp,
// the stacking table in setting_data_stacking.cpp.

#include "profiledata/setting_data.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/topo_data.h"

#include <algorithm>
#include <cmath>

namespace {

// The unit's time window at a span index; an index above 3 cannot come from the
// setter, but a record could hold one.
double UnitWindowWidth(int unit, uint8_t spanIndex) {
  return UnitParams(unit).WndWidth[std::min<size_t>(spanIndex, 3)];
}

}  // namespace

TSettingData::TSettingData(TComponent* AOwner) : TComponent(AOwner) {
  IAcquisitionShell* shell = AcquisitionShell();
  if (shell) Radar = shell->CurrentRadar();
  FVersion = SettingDataVersion;
  FAngle = 9000000;
  FAzimuth = 0;
  FListOwner = AOwner;
  TopoArray = new TTopoData(AOwner);
  initial();
  Bmp = std::make_unique<TBitmap>();
  Bmp->SetPixelFormat(pf8bit);
  Bmp->SetSize(0, 2);
  SurfaceMarkersArray = new TSurfeMarkersData(AOwner);
  ObjectMarkersArray = new TObjectMarkersData(AOwner);
  PolyLineMarkersArray = new TPolyLineMarkersArray(AOwner);
  // Radars from firmware 7 on sum deeper samples more often by default.
  if (shell) FAdvanceStacking = Radar && Radar->FirmwareVer() >= 7;
  NrmCoef = 0.015L;
}

TSettingData::~TSettingData() {
  Destroying();
  FreeStoreComponent(PolyLineMarkersArray);
  FreeStoreComponent(ObjectMarkersArray);
  FreeStoreComponent(SurfaceMarkersArray);
  FreeStoreComponent(TopoArray);
}

void TSettingData::FreeStoreComponent(TComponent* component) {
  if (!component) return;
  if (!FListOwner) {
    component->Free();
    return;
  }
  // A store being destroyed frees its components, the last created first: the
  // lists, created after the settings, are gone by the time the settings go.
  for (int i = 0; i < FListOwner->ComponentCount(); ++i)
    if (FListOwner->Components(i) == component) {
      component->Free();
      return;
    }
}

void TSettingData::initial() {
  IAcquisitionShell* shell = AcquisitionShell();
  Topocorrection = false;
  FComments = FormatDateTime(QStringLiteral("dd_mm_yyyy"), Now());
  FFileName = DefaultProfileFileName;
  FSpanIndex = 2;
  FOverStep = 2;
  FWasFlip = false;
  // The planning program has no distance source, odometer or radar: these stay as
  // they are (zero for new settings).
  if (shell) {
    FTopoType = shell->CurrentTopoType();
    FWheelStep = TopoWheelStep(FTopoType);
    FWheelMult = shell->OdometerMult();
    FRunMode = rmCont;
    FTypeGPR = Radar ? Radar->RadarType() : unknown;
  }
  FStart = 0;
  FStop = 1000;
  FSpeedLight = 299;
  FNullShift = 0;
  FLongTrace = 500;
  FStartXShift = 0;
  FStartYShift = 0;
  FStartZShift = 0;
  if (shell) InitSettingsByRadar();
  FStacking = 10;
  FStackingCurve = 130;
  FStackingVolume = 10;
  FAdvanceStacking = false;
  PrepareStacking();
  FNeedForSave = false;
  WasStarted = false;
  NewFile = true;
}

void TSettingData::InitSettingsByRadar() {
  FSpanWidth = UnitWindowWidth(Radar ? Radar->RadarType() : 0, FSpanIndex);
}

void TSettingData::CompactInclinometer() {
  if (MinNumIncl == FMinTrace && MaxNumIncl == FMaxTrace) return;
  if (MinNumIncl == MaxNumIncl) return;
  IndexIncl.Rebase(MinNumIncl, MaxNumIncl, FMinTrace, FMaxTrace);
  MinNumIncl = FMinTrace;
  MaxNumIncl = FMaxTrace;
}

QString TSettingData::GetRadarTypeStr() const {
  return AnsiToString(QByteArray(UnitParams(FTypeGPR).UnitName));
}

// ---- Hooks ---------------------------------------------------------------------

IChannelStore* TSettingData::ChannelStore() const { return dynamic_cast<IChannelStore*>(Owner()); }

IChannelWindow* TSettingData::OwnerWindow() const {
  IChannelStore* store = ChannelStore();
  return store ? store->Window() : nullptr;
}

IChannelWindow* TSettingData::RecordWindow() const { return AcquisitionShell() ? OwnerWindow() : nullptr; }

bool TSettingData::RefusedWhileTracesHeld() const {
  if (!AcquisitionShell()) return false;
  IChannelStore* store = ChannelStore();
  return store && store->HoldsTraces();
}

void TSettingData::Resend() {
  if (Radar) Radar->SetPcLoading(1.0);
}

void TSettingData::RefreshViewProperties() {
  if (!AcquisitionShell()) return;
  IChannelStore* store = ChannelStore();
  IChannelWindow* window = store ? store->Window() : nullptr;
  if (!window || !window->Visible() || !window->IsActiveChannel(store)) return;
  const int channel = window->ChannelIndex(store);
  if (channel >= 0) window->FilValueList(channel);
}

void TSettingData::ListRefresh() {
  IAcquisitionShell* shell = AcquisitionShell();
  if (!shell) return;
  IChannelWindow* window = OwnerWindow();
  if (!window || !window->Visible()) return;
  if (IChannelWindow* active = shell->ActiveChannelWindow()) active->FilValueList(0);
}

// ---- Setters -------------------------------------------------------------------

void TSettingData::SetFileName(const QString& value) {
  if (value == FFileName) return;
  FNeedForSave = true;
  FFileName = value;
}

void TSettingData::SetComments(const QString& value) {
  if (value == FComments) return;
  FNeedForSave = true;
  FComments = value;
  RefreshViewProperties();
}

void TSettingData::SetSerNum(uint16_t value) {
  if (value == FSerNum || RefusedWhileTracesHeld()) return;
  FSerNum = value;
}

void TSettingData::SetTypeGPR(TTypeGPR value) {
  if (value == FTypeGPR || RefusedWhileTracesHeld()) return;
  FTypeGPR = value;
  if (!AcquisitionShell()) return;
  IChannelWindow* window = OwnerWindow();
  if (!window || !window->Visible()) return;
  SetSpanIndex(4);
  ListRefresh();
  window->ChangeRadarInTools();
}

void TSettingData::SetSpanIndex(uint8_t value) {
  if (value != 4) {
    value = std::min<uint8_t>(value, 3);
    if (value == FSpanIndex) return;
    FSpanIndex = value;
  }
  if (!AcquisitionShell()) return;
  // Unit type 0 keeps the unknown unit's windows even when a radar is connected.
  const int unit = FTypeGPR == unknown ? 0 : (Radar ? Radar->RadarType() : 0);
  FSpanWidth = UnitWindowWidth(unit, FSpanIndex);
  FNeedForSave = true;
  Resend();
  RefreshViewProperties();
}

void TSettingData::SetOverStep(uint8_t value) {
  value = std::clamp<uint8_t>(value, 1, 5);
  if (value == FOverStep) return;
  FNeedForSave = true;
  FOverStep = value;
  FLongTrace = int32_t(Round(1000.0L / value));
  RefreshViewProperties();
  if (AcquisitionShell() && OwnerWindow()) Resend();
}

void TSettingData::SetStacking(uint8_t value) {
  value = std::clamp<uint8_t>(value, 1, 64);
  if (value == FStacking) return;
  FNeedForSave = true;
  FStacking = value;
  RefreshViewProperties();
  if (!AcquisitionShell()) return;
  if (OwnerWindow()) Resend();
  FPRF = TraceRate(FStacking, FLongTrace);
}

void TSettingData::SetNullShift(int32_t value) {
  if (value == FNullShift) return;
  FNeedForSave = true;
  FNullShift = value;
}

void TSettingData::SetSpeedLight(int32_t value) {
  value = std::clamp(value, 10, 299);
  if (value == FSpeedLight) return;
  FNeedForSave = true;
  FSpeedLight = value;
  RefreshViewProperties();
}

void TSettingData::SetStackingCurve(int32_t value) {
  if (value == FStackingCurve) return;
  FNeedForSave = true;
  FStackingCurve = value;
  PrepareStacking();
  ListRefresh();
}

void TSettingData::SetStackingVolume(int32_t value) {
  if (value == FStackingVolume) return;
  FNeedForSave = true;
  FStackingVolume = value;
  PrepareStacking();
  ListRefresh();
}

void TSettingData::SetAdvanceStacking(bool value) {
  if (value == FAdvanceStacking || RefusedWhileTracesHeld()) return;
  FAdvanceStacking = value;
  ListRefresh();
}

void TSettingData::SetRunMode(TRunMode value) {
  if (value == FRunMode) return;
  FNeedForSave = true;
  FRunMode = value;
  RefreshViewProperties();
}

void TSettingData::SetWheelStep(double value) {
  if (!(value >= 0)) value = 0;  // also NaN
  if (value == FWheelStep) return;
  FNeedForSave = true;
  FWheelStep = value;
  RefreshViewProperties();
}

void TSettingData::SetWheelMult(uint16_t value) {
  if (value != FWheelMult) {
    FNeedForSave = true;
    FWheelMult = value;  // MeasureStep follows: its getter multiplies
    RefreshViewProperties();
  }
  // Re-sent even when unchanged: the radar may have been loaded with another
  // multiplier meanwhile (the preferences dialog loads it with 1).
  if (AcquisitionShell() && Radar) Resend();
}

void TSettingData::SetWasFlip(bool value) {
  if (value == FWasFlip) return;
  FNeedForSave = true;
  FWasFlip = value;
  RefreshViewProperties();
}

void TSettingData::SetWasFlipVert(bool value) {
  if (value == FWasFlipVert) return;
  FNeedForSave = true;
  FWasFlipVert = value;
  RefreshViewProperties();
}

void TSettingData::SetPlacement(int32_t& field, int32_t value) {
  if (value == field) return;
  FNeedForSave = true;
  field = value;
  ListRefresh();
}

void TSettingData::SetStartXShift(int32_t value) { SetPlacement(FStartXShift, value); }
void TSettingData::SetStartYShift(int32_t value) { SetPlacement(FStartYShift, value); }
void TSettingData::SetStartZShift(int32_t value) { SetPlacement(FStartZShift, value); }
void TSettingData::SetAngle(int32_t value) { SetPlacement(FAngle, value); }

void TSettingData::SetAzimuth(int32_t value) {
  if (!AcquisitionShell()) {
    // The planning program marks the channel even for the same azimuth.
    FNeedForSave = true;
    FAzimuth = value;
    return;
  }
  SetPlacement(FAzimuth, value);
}

void TSettingData::SetDirection(TDirection value) {
  if (value == FDirection) return;
  FNeedForSave = true;
  FDirection = value;
  ListRefresh();
}
