#pragma once
// The GPS state a radar shows, from the NMEA texts it reports. A new text (longer
// than 40 characters and different from the last one) decides by its satellite
// count: below 4 the receiver is on without a position (gpsOn), else it has one
// (gpsPos), and a hold-off of 10 texts starts. Repeated or short texts count the
// hold-off down; when it is spent the state falls back to gpsNone. Pure code.

#include "profiledata/gpr_constants.h"

#include <QString>

#include <cstdint>

inline constexpr int32_t GpsHoldOffTexts = 10;
inline constexpr qsizetype GpsMinSentenceLength = 40;  // shorter texts carry no fix

// Field 8 (index 7) of a comma-separated GGA sentence; 0 when absent or not a number.
int GgaSatelliteCount(const QString& sentence);

struct TGpsStateStep {
  TtypeGPSstate State = gpsNone;
  int32_t HoldOff = 0;
};

TGpsStateStep NextGpsState(const QString& text, const QString& lastNmea, TtypeGPSstate state, int32_t holdOff);
