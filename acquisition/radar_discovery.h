#pragma once
// The main window's rules for finding radars and naming new files, apart from
// the window: the USB enumeration over the serial devices, the match of a
// device notification against the radar's id text, the next free file number
// and which writer a save takes. Pure functions over their arguments (the
// enumeration reads the device tree).

#include "platform/devices/serial_devices.h"
#include "platform/ui/messages.h"
#include "profiledata/gpr_constants.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The port in a device's friendly name: the text inside its last parentheses
// (the expression ".*\((.*)\)" replaced by "$1"); the name itself without any.
QString PortOfFriendlyName(const QString& friendlyName);

struct TUsbEnumeration {
  // The entries visited plus one (the index at which the enumeration ended, plus one).
  int Count = 0;
  // The ports of the devices named "Ground Penetrating Radar", in enumeration order.
  QStringList RadarPorts;
};
// strUID: the radar's USB id text ("VID_c251&PID_9705").
TUsbEnumeration EnumerateUsbRadars(const TDeviceRoots& roots, const QString& strUID);

// A notification's name text names the radar's device: it contains the id
// text, in any letter case. An empty id text matches nothing.
bool DeviceNameMatches(const QString& name, const QString& strUID);

// The next free number for a new file: the number after the prefix in the
// name's base name (0 when nothing or no number follows), plus 1, then further
// while folder + prefix + number + ".dezo" exists. The folder is the name's.
// Never past the largest 32-bit number.
int32_t FreeFileNumber(const QString& fileName, const QString& prefix);

// What a save of the active window writes: one record per channel (".dezo")
// or the multi-channel container (".frn").
struct TWriteKindInput {
  bool OpenedFromFile = false;   // channel 0 was read from a file
  QString Name;                  // the name written to
  bool OneChannel = false;       // isActiveMDIChild_OneChannal
  bool MultiChannelDevice = false;
  TTypeProfiles TypeProfiles = tpLinear;
};
bool WritesSingleFiles(const TWriteKindInput& input);

// The system's notifications of devices and power, as the main window takes them.
inline constexpr UINT WM_POWERBROADCAST = 0x0218;
inline constexpr UINT DBT_DEVICEARRIVAL = 0x8000;
inline constexpr UINT DBT_DEVICEREMOVECOMPLETE = 0x8004;

// The radar link's automatic channel counter back to 0 (before a probe and when
// radars are dropped).
void ResetAutoNumChannalRadar();
// The radar link saw a gap in the Wi-Fi trace numbers (WiFiTracesLost).
bool WiFiTracesWereLost();
// The radar link's last NMEA text (LastNmeaSentence).
QString LinkNmeaText();
