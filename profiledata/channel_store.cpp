// T2Dview: creation and release, the hooks to window and main window, Clear, the
// conversions, the display scale and the tilt of the topographic correction. Files
// are in channel_store_files.cpp, recording in channel_store_traces.cpp, the online
// stage parameters in channel_store_online.cpp.

#include "profiledata/channel_store.h"

#include "platform/rtl/paths.h"
#include "platform/rtl/rounding.h"
#include "profiledata/setting_data.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Lengths of the metre aspect modes are scaled: 2:1 halves, 1:2 doubles.
long double AspectFactor(TProportional code) {
  if (code == PropInM21) return 0.5L;
  if (code == PropInM12) return 2.0L;
  return 1.0L;
}

// Units whose tilt sensor is mounted the other way round, by serial number era.
bool TiltNegatedBefore62(TTypeGPR unit) {
  switch (unit) {
    case Unit09: case Unit15: case Unit17: case Unit19: case Unit28: case Unit29: case Unit31: case Unit34:
      return true;
    default:
      return false;
  }
}

bool TiltPositiveFrom62(TTypeGPR unit) {
  switch (unit) {
    case Unit09: case Unit15: case Unit17: case Unit19: case Unit28: case Unit29: case Unit32: case Unit33:
    case Unit35: case Unit36:
      return true;
    default:
      return false;
  }
}

QString NextFileName(const IChannelWindow& window) {
  return window.FilePrefix() + QString::number(window.FileCount()) + QStringLiteral(".dezo");
}

}  // namespace

T2Dview::T2Dview(TComponent* AOwner) : TComponent(AOwner) {
  FSettings = new TSettingData(this);
  IAcquisitionShell* shell = AcquisitionShell();
  if (!shell) return;  // the planning program: no window slot, no file name, no stages

  FWindow = dynamic_cast<IChannelWindow*>(AOwner);
  if (FWindow) {
    const int slot = FWindow->RegisterChannel(this);
    if (slot <= 0) shell->SetCurrentTopoType(FSettings->GetTopoType());
    FSettings->SetFileName(shell->LastFolder() + NextFileName(*FWindow));
    FSettings->SetNeedForSave(false);
  }
  if (IOnlineStagesFactory* factory = OnlineStagesFactory()) FOnlineStages = factory->CreateOnlineStages(*this);
}

T2Dview::~T2Dview() {
  Destroying();
  FOnlineStages.reset();
  if (IChannelWindow* window = Window()) window->UnregisterChannel(this);
  FreeData();
  // The settings free the marker lists they made for this store; the store's own
  // component list frees whatever is left afterwards.
  if (FSettings) FSettings->Free();
  FSettings = nullptr;
}

// ---- Hooks ---------------------------------------------------------------------------

bool T2Dview::HoldsTraces() const { return NumTraces() > 0 || !RawData.Empty(); }

IChannelWindow* T2Dview::Window() const {
  // A window that is freeing its channels (it has let go of them, or is going) is
  // no window for them any more.
  TComponent* owner = Owner();
  if (!FWindow || !owner || owner->IsDestroying() || dynamic_cast<IChannelWindow*>(owner) != FWindow) return nullptr;
  return FWindow;
}

void T2Dview::SaveDefaultSettings() {
  if (FSettings) FSettings->SaveDefault();
}

IProjectProfile* T2Dview::ProjectProfile() const { return dynamic_cast<IProjectProfile*>(Owner()); }

bool T2Dview::GetNeedForSave() const { return FNeedForSave || (FSettings && FSettings->GetNeedForSave()); }

int T2Dview::Slot() const {
  IChannelWindow* window = Window();
  return window ? window->ChannelIndex(this) : -1;
}

// ---- Data ------------------------------------------------------------------------------

int64_t T2Dview::NumSamples() const { return Round(static_cast<long double>(SizeDat()) / 4); }

long double T2Dview::ProfileLength() const {
  return FSettings ? NumTraces() * static_cast<long double>(FSettings->GetMeasureStep()) / 1000 : 0;
}

long double T2Dview::Depth() const { return FSettings ? FSettings->GetDepth() : 0; }

void T2Dview::FreeData() {
  if (FSettings) {
    FSettings->IndexIncl.Clear();
    FSettings->MinNumIncl = 0;
    FSettings->MaxNumIncl = 0;
  }
  RawData.Reset();
  dezoData.Reset();
  IndexTraces.Clear();
  DYarray.clear();
  DYarray.shrink_to_fit();
  DXarray.clear();
  DXarray.shrink_to_fit();
}

void T2Dview::Clear() {
  FreeData();
  FSettings->Free();
  FSettings = nullptr;
  SetMinNumTraces(0);
  SetMaxNumTraces(0);
  SetPosTraces(0);
  SetSizeDat(0);
  WasStarted = false;
  FSettings = new TSettingData(this);
  IAcquisitionShell* shell = AcquisitionShell();
  if (!shell) return;

  IChannelWindow* window = Window();
  if (window && Slot() == 0) {
    const QString defaults = ProgramFolder() + QStringLiteral("bstt");
    if (FileExists(defaults)) {
      window->ReadFromFileToFRNChannals(defaults);
      window->SetSaveDefault(true);
    } else {
      FSettings->initial();
    }
  }
  FSettings->SetWheelStep(TopoWheelStep(shell->CurrentTopoType()));
  if (window) {
    const QString lastFile = NextFileName(*window);
    shell->SetLastFile(lastFile);
    FSettings->SetFileName(shell->LastFolder() + lastFile);
  }
  FSettings->SetNeedForSave(false);
  FNeedForSave = false;
}

// ---- Conversions ------------------------------------------------------------------------

long double T2Dview::TraceToDist(int64_t trace) const { return FSettings->TraceToDist(trace); }
int32_t T2Dview::DistToTrace(long double m) const { return FSettings->DistToTrace(m); }
long double T2Dview::TraceToDistWithShift(int64_t trace) const { return FSettings->TraceToDistWithShift(trace); }
int32_t T2Dview::DistToTraceWithShift(long double m) const { return FSettings->DistToTraceWithShift(m); }
long double T2Dview::SampleToDepth(int32_t sample) const { return FSettings->SampleToDepth(sample); }
int32_t T2Dview::DepthToSample(long double m) const { return FSettings->DepthToSample(m); }

// ---- Display scale --------------------------------------------------------------------

long double T2Dview::GetProportionalCoefic() const {
  return FSettings ? GetProportionalCoeficAtSpeed(FSettings->GetSpeedLight()) : 0;
}

long double T2Dview::GetProportionalCoeficAtSpeed(int32_t speed) const {
  if (!FSettings) return 0;
  const long double step = FSettings->GetMeasureStep();
  if (step == 0) return 1;
  // Length of one sample: SpeedLight (mm/ns) x SpanWidth x OverStep / 2000000 m,
  // in mm.
  const long double sample = static_cast<long double>(speed) * FSettings->GetSpanWidth() *
                             FSettings->GetOverStep() / 2000000 * 1000;
  const long double ratio = sample != 0 ? step / sample : 0;
  return std::isfinite(ratio) ? ratio : 0;
}

long double T2Dview::PxToLength(int32_t i, TProportional PropCf, int32_t z) const {
  const int32_t longTrace = FSettings->GetLongTrace();
  if (longTrace == 0) return 0;
  return Depth() * (AspectFactor(PropCf) * z) * i / longTrace / 1000;
}

long double T2Dview::LengthToPxExt(TProportional PropCf, int32_t z, long double e) const {
  const long double depth = Depth();
  if (depth == 0 || z == 0) return 0;
  const long double px = e * (AspectFactor(PropCf) * 1000) * FSettings->GetLongTrace() / depth / z;
  return std::isfinite(px) ? px : 0;
}

int32_t T2Dview::LengthToPx(TProportional PropCf, int32_t z, long double e) const {
  return RoundToInt32(LengthToPxExt(PropCf, z, e));
}

long double T2Dview::PxToTime(int32_t i, int32_t z) const {
  return static_cast<long double>(i) * z / 1000 * FSettings->GetSpanWidth() * FSettings->GetOverStep() / 1000;
}

// ---- Tilt -----------------------------------------------------------------------------------

long double T2Dview::GetSinAngleForTopoCor(int64_t i) const {
  if (i < 0 || i > 999999) return 0;
  const TSettingData& s = *FSettings;
  const TInclRecord* record = s.IndexIncl.Entry(s.MinNumIncl + i);
  if (!record) return 0;
  const long double range = static_cast<long double>(s.GXmax) - s.GXmin;
  // No calibration range, no tilt.
  if (range == 0 || !std::isfinite(range)) return 0;

  int k;
  IChannelWindow* window = Window();
  if (window && window->ReversedInclinometer()) {
    IAcquisitionShell* shell = AcquisitionShell();
    const int32_t serNumDevice = shell ? shell->RadarSetSerNumDevice() : 0;
    if (serNumDevice == 14 || serNumDevice == 15) {
      k = 2;
    } else if (s.GetTypeGPR() == Unit31 || s.GetTypeGPR() == Unit34) {
      k = -2;
    } else {
      k = Slot() == 0 ? -2 : 2;
    }
  } else if (s.GetSerNum() < 62) {
    k = TiltNegatedBefore62(s.GetTypeGPR()) ? -2 : 2;
  } else {
    k = TiltPositiveFrom62(s.GetTypeGPR()) ? 2 : -2;
  }

  // The X reading is the unsigned 16-bit value at byte 2 of the record.
  const long double x = static_cast<uint16_t>(record->Values[1]);
  const long double mid = (static_cast<long double>(s.GXmax) + s.GXmin) / 2;
  long double sine = (x - mid) * k / range;
  if (s.GetDirection() == back) sine = -sine;
  if (std::isnan(sine)) return 0;
  return std::clamp(sine, -1.0L, 1.0L);
}
