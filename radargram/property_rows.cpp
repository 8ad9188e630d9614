#include "radargram/property_rows.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/sys_utils.h"
#include "profiledata/setting_data.h"
#include "profiledata/utilits.h"

#include <array>

namespace {

// Offsets and angles are stored in 10^-5 m and 10^-5 degree.
constexpr long double kFieldScale = 100000.0L;
// A device-box byte that says "no box".
constexpr uint8_t kNoDeviceBox = 255;

QString Fixed2(long double value) { return FloatToStrF(value, ffFixed, 15, 2); }
QString General5(long double value) { return FloatToStrF(value, ffGeneral, 5, 0); }
QString Metres(long double value) { return Fixed2(value) + LoadResString(SSuffixMetres); }
QString FieldMetres(int32_t field) { return Metres(field / kFieldScale); }

bool PlacesByDistance(TTopoType topo) { return topo != ttNil && topo != ttGPS; }

// The zero shift in metres: the time of the zero sample at half the wave speed.
long double ZeroShiftMetres(const TSettingData& c, bool hasActiveWindow) {
  const long double time = hasActiveWindow
                               ? SampleToTimeOfView(0, c.GetNullShift())
                               : static_cast<long double>(c.GetNullShift()) * c.GetSpanWidth() * c.GetOverStep() / 1000;
  return time * c.GetSpeedLight() / 2000;
}

}  // namespace

bool DeviceOffsetRowsShown(bool masterReportsGps, TTopoType masterTopoType, int64_t masterNmeaLines) {
  return !masterReportsGps && masterTopoType != ttGPS && masterNmeaLines <= 1;
}

QString TopoDeviceName(int topoType) {
  static const std::array<TResourceString, TopoTypeCount> kNames = {
      STopoNotUsed,   STopoWheel,     STopoGPS,       STopoTrolleyA,  STopoOdometerA,  STopoTrolleyB,  STopoOdometerB,
      STopoOdometerC, STopoOdometerD, STopoOdometerE, STopoCustom,    STopoUnitWheelA, STopoUnitWheelB,
  };
  if (topoType < 0 || topoType >= TopoTypeCount) return LoadResString(STopoNotUsed);
  return LoadResString(kNames[static_cast<size_t>(topoType)]);
}

QString TriggerModeText(TRunMode mode) {
  switch (mode) {
    case rmStep: return LoadResString(STriggerSingle);
    case rmCont: return LoadResString(STriggerInt);
    case rmWheel: return LoadResString(STriggerExt);
  }
  return {};
}

std::vector<TPropertyRow> RecordingRows(const TSettingData& settings, int64_t numTraces) {
  std::vector<TPropertyRow> rows;
  if (settings.GetAdvanceStacking())
    rows.push_back({LoadResString(SPropAverageStacking), Fixed2(settings.GetAverageStecking())});
  else
    rows.push_back({LoadResString(SPropStacking), IntToStr(settings.GetStacking())});
  rows.push_back({LoadResString(SPropTraceNumbers), IntToStr(numTraces)});
  if (settings.GetRunMode() == rmWheel)
    rows.push_back({LoadResString(SPropProfileLength),
                    Metres(static_cast<long double>(numTraces) * settings.GetMeasureStep() / 1000)});
  return rows;
}

std::vector<TPropertyRow> PropertyRows(const TPropertySource& source) {
  const TSettingData& c = *source.Channel;
  const TSettingData& a = source.Active ? *source.Active : c;
  std::vector<TPropertyRow> rows;
  auto add = [&rows](const TResourceString& key, const QString& value) { rows.push_back({LoadResString(key), value}); };

  const uint8_t box = source.TypeGPRDevice == kNoDeviceBox ? uint8_t{tdUnknown} : source.TypeGPRDevice;
  if (box != tdUnknown) {
    add(SPropGPRModel, AnsiToString(QByteArray(DeviceParams(box).DeviceName)));
    add(SPropSerNum, IntToStr(source.SerNumDevice));
  } else {
    add(SPropGPRModel, c.GetRadarTypeStr());
    add(SPropSerNum, IntToStr(c.GetSerNum()));
  }
  if (source.ShowDeviceOffsets) {
    add(SPropShiftByCourse, FieldMetres(source.DeviceX));
    add(SPropShiftAside, FieldMetres(source.DeviceY));
    add(SPropShiftByHeight, FieldMetres(source.DeviceZ));
  }
  add(SPropSpacerKey, LoadResString(SPropSpacerValue));
  add(SPropChannelModel, c.GetRadarTypeStr());
  add(SPropChannelSerNum, IntToStr(c.GetSerNum()));
  add(SPropFormatVersion, IntToStr(c.GetVersion()));
  add(SPropWindowDepth, c.GetSpanDepth() + LoadResString(SSuffixMetres));
  add(SPropWindowWidth, General5(c.GetSpanWidth()) + LoadResString(SSuffixNs));
  add(SPropSamples, IntToStr(c.GetLongTrace()));
  const std::vector<TPropertyRow> recording = RecordingRows(c, source.NumTraces);
  rows.push_back(recording[0]);
  add(SPropTriggerMode, TriggerModeText(c.GetRunMode()));
  add(SPropShiftOfZero, Metres(ZeroShiftMetres(c, source.HasActiveWindow)));
  const bool wheel = c.GetRunMode() == rmWheel;
  if (wheel) add(SPropTopoDevice, TopoDeviceName(c.GetTopoType()));
  if (wheel && PlacesByDistance(c.GetTopoType()))
    add(SPropStepOfMeasuring, General5(c.GetMeasureStep()) + LoadResString(SSuffixMm));
  rows.push_back(recording[1]);
  if (wheel) rows.push_back(recording[2]);
  add(SPropShiftByCourse, FieldMetres(a.GetStartXShift()));
  add(SPropShiftAside, FieldMetres(a.GetStartYShift()));
  add(SPropShiftByHeight, FieldMetres(a.GetStartZShift()));
  add(SPropAngle, Fixed2(a.GetAngle() / kFieldScale) + LoadResString(SSuffixDegrees));
  return rows;
}

std::vector<TPropertyRow> EmptyGpsRows() {
  const QString zero = Fixed2(0) + LoadResString(SSuffixMetres);
  return {
      {LoadResString(SGpsLatitude), zero},
      {LoadResString(SGpsLongitude), zero},
      {LoadResString(SGpsQualityIndicator), LoadResString(SGpsNotAvailable)},
      {LoadResString(SGpsSatellites), QStringLiteral("0")},
      {LoadResString(SGpsPrecision), QStringLiteral("0")},
  };
}

QString CaptionForFileKind(const QString& caption, bool singleRecord) {
  static const QString kContainer = QStringLiteral(".frn");
  static const QString kRecord = QStringLiteral(".dezo");
  const QString& from = singleRecord ? kContainer : kRecord;
  const QString& to = singleRecord ? kRecord : kContainer;
  if (!caption.endsWith(from)) return caption;
  return caption.left(caption.size() - from.size()) + to;
}
