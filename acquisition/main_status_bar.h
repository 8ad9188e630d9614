#pragma once
// The supply-voltage panel of the main window's status bar: a bar in two
// colours whose border follows the radar's supply voltage between 10.8 V
// (empty) and 13.1 V (full), with the voltage written over it.
//
// Threads: user-interface thread (the caller reads the radar's power under the
// radar's paint lock and passes the values in).

#include "platform/rtl/resource_strings.h"
#include "profiledata/gpr_constants.h"

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

// ---- The GPS and link panels ------------------------------------------------------

// The small pictures of the two status panels, drawn by the program.
enum class TStatusPicture : uint8_t { None, NotConnected, GpsLost, GpsConnect, Usb, WifiGreen, WifiRed };

// What the GPS panel shows: nothing while a device check runs or without a
// master radar and channel set; "not connected" when the master radar holds
// no slot of the set; else its GPS state (read under the radar's paint lock).
struct TGpsPanelState {
  bool CheckRunning = false;
  bool HasMaster = false;
  bool HasControl = false;
  bool MasterInSlot = false;
  TtypeGPSstate Gps = gpsNone;
};
TStatusPicture GpsPanelPicture(const TGpsPanelState& state);

// The master radar's link: a serial radar shows USB; a Wi-Fi radar green while
// its connection is up, red while it is down; no radar "not connected".
enum class TRadarLinkKind : uint8_t { None, Serial, WiFi };
TStatusPicture LinkPanelPicture(TRadarLinkKind kind, bool connected);

inline constexpr int StatusPictureSize = 20;

// Makes bitmap the picture (StatusPictureSize square, 24-bit; None: empty).
void DrawStatusPicture(TBitmap& bitmap, TStatusPicture picture);
