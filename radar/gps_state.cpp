#include "radar/gps_state.h"

#include "platform/rtl/sys_utils.h"

#include <QStringList>

int GgaSatelliteCount(const QString& sentence) {
  const QStringList fields = sentence.split(u',');
  if (fields.size() < 8) return 0;
  return StrToIntDef(fields[7], 0);
}

TGpsStateStep NextGpsState(const QString& text, const QString& lastNmea, TtypeGPSstate state, int32_t holdOff) {
  if (text.size() > GpsMinSentenceLength && text != lastNmea) {
    return {GgaSatelliteCount(text) < 4 ? gpsOn : gpsPos, GpsHoldOffTexts};
  }
  if (holdOff > 0) --holdOff;
  if (holdOff == 0) state = gpsNone;
  return {state, holdOff};
}
