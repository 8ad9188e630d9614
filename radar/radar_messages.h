#pragma once
// Window messages the radar link posts (never sends) to the main window, the
// settings window, the preferences dialog and the radargram windows.

#include "platform/ui/messages.h"

// Main window: refresh the status-bar text of the radar set. (0, 0)
constexpr UINT WM_GPRSTATUS = WM_USER + 404;
// Preferences dialog (0, 0), or settings window (samples per trace, channel slot):
// a trace was decoded.
constexpr UINT WM_PAINTLASTTRACE = WM_USER + 407;
// Main window: (reply code 61, 63, 67, 71 or 75, receiver value).
constexpr UINT WM_RXVOLUME = WM_USER + 408;
// Preferences dialog: (tick byte, direction byte) of an odometer tick.
constexpr UINT WM_WHEELPULSE = WM_USER + 417;
// Main window: (new TCurMode, 0) after every CurMode assignment.
constexpr UINT WM_CURMODECHANGED = WM_USER + 418;
// Main window: the TCP connection was lost. (0, 0)
constexpr UINT WM_WIFIERROR = WM_USER + 419;
// Preferences dialog: the Wi-Fi settings reply was decoded. (0, 0)
constexpr UINT WM_WIFISETTINGS = WM_USER + 420;
// Preferences dialog: the radar stored its Wi-Fi settings. (0, 0)
constexpr UINT WM_WIFISETTINGSSTORED = WM_USER + 421;
// Current radargram window, preferences dialog: an NMEA text arrived. (0, 0)
constexpr UINT WM_GPSDATA = WM_USER + 424;
// Preferences dialog, visible settings window, current radargram window: the radar
// set is loaded. (0, 0)
constexpr UINT WM_RADARSLOADED = WM_USER + 425;
