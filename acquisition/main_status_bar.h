#pragma once
// The supply-voltage panel of the main window's status bar: a bar in two
// colours whose border follows the radar's supply voltage between 10.8 V
// (empty) and 13.1 V (full), with the voltage written over it.
//
// Threads: user-interface thread (the caller reads the radar's power under the
// radar's paint lock and passes the values in).

#include "platform/rtl/resource_strings.h"

#include <QString>

class TBitmap;

RESOURCESTRING(SVoltUnit, " V");

// The voltage the bar shows and its text: the two radar types whose supply is
// not measured (ordinals 41 and 45) show a full bar and "5.0 V"; the others
// their power and its one-decimal text.
struct TVoltageShown {
  long double Power = 0;
  QString Text;
};
TVoltageShown VoltageShown(int typeGprOrdinal, long double power, const QString& powerStr);

// Where the first colour ends: round(width x (power - 10.8) / 2.3), kept
// within 0..width.
int VoltageBarEnd(int width, long double power);

inline constexpr unsigned VoltageFullColor = 0x0057F4FD;
inline constexpr unsigned VoltageEmptyColor = 0x0099CC99;

// The panel's picture, width x height: the first colour up to the bar's end,
// the second after it, the text centred in Arial 14 bold.
void DrawVoltagePanel(TBitmap& bitmap, int width, int height, const TVoltageShown& shown);
