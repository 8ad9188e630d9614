#pragma once
// The acquisition program's settings file (the executable's name in lower case
// with ".ini", in the program folder): the keys the main window reads when it
// is created and writes when it goes, with their defaults and write rules. The
// same file is the system's shared "talvorn3.ini": the planning program writes
// "TypeProfiles", "LastFolder", "PrefixFiles" and "CountFiles" into it.
//
// A value that does not convert to its type, or names no value of its
// enumeration, gives the key's default. Reals are read by ReadIniFloat, which
// takes '.' and ',' as the decimal separator.
//
// Other sections of the same file belong to other parts of the program
// ("Settingspos", the odometer and inclinometer sections, the online stages).

#include "platform/rtl/date_time.h"
#include "platform/rtl/ini_files.h"  // ReadIniFloat
#include "platform/ui/forms.h"
#include "profiledata/gpr_constants.h"
#include "tools/tool_shell.h"  // TPostProcDefaults

#include <QString>
#include <QStringList>
#include <QUuid>

#include <cstdint>

// The wave-speed rows of the settings window's medium menu: 23 of them.
inline constexpr int MediumCount = 23;
// The recent-files list holds keys "0".."8" of section "History".
inline constexpr int HistoryCount = 9;

// The ports device class: the default of "strGUID".
inline const QUuid PortsClassGuid = QUuid(QStringLiteral("{4D36E978-E325-11CE-BFC1-08002BE10318}"));
// The Wi-Fi modem of a radar answers at this address of a private network.
inline const QString DefaultWiFiAddress = QStringLiteral("192.168.4.1");

struct TMainIniSettings {
  // Position
  int Left = 20;
  int Top = 20;
  int Width = 725;
  int Height = 442;
  TWindowState WindowState = wsNormal;
  bool BitToolbar = true;  // "Many buttons"
  // General
  TTopoType TopoType = ttWheel;
  QString LastFile = QStringLiteral("FerunGPR.frn");
  QString LastFolder = QStringLiteral("..\\data\\");
  QString PrefixFiles;  // default: today's date (DefaultPrefixFiles)
  int32_t CountFiles = 0;
  uint16_t OdometerMult = 5;
  float KoefArrMax = 0.75f;
  double MultGain = 1.0;  // never read: 1.0 at every start
  bool EqNull = false;    // never read, always written false
  bool ViewSectOfDeep = false;
  TProportional Proportional = PropInSamples11;
  bool SimpleStretchPaint = false;
  bool SimpleMode = false;
  TTypeProfiles TypeProfiles = tpLinear;
  // Label mode of the settings window's horizontal axis: 0, 1 or 2 (key 1, 0, 2).
  int SettingsHorizontalLabelMode = 2;
  // The radargram windows' left axis shows time in ns (else samples).
  bool DataLeftLabelIsTime = true;
  // ADC
  QString strUID = QStringLiteral("VID_c251&PID_9705");
  QUuid gprGUID = PortsClassGuid;
  // WIFI
  QString WiFiAddress = DefaultWiFiAddress;
  QString WiFiPort = QStringLiteral("2000");
  // Simple
  QString SimpleDSTCL;
  bool SimpleBackgroundRemoval = true;
  // Post-processing overlays.
  TPostProcDefaults Comparator{40, 128, 255, 3};
  TPostProcDefaults Hilbert{40, 128, 16711680, 3};
  TPostProcDefaults FreqHilbert{40, 128, 16711680, 3};
  // Recent files, most recent first (History "0".."8").
  QStringList History;

  bool operator==(const TMainIniSettings&) const = default;
};

// The settings file of the running program: program folder + the executable's
// file name in lower case with the extension ".ini". Only the file name is
// lower-cased; the folder is taken as it is.
QString MainIniFileName();

// Year, month and day of the date, each followed by "_", without leading zeros
// ("2026_4_9_").
QString DefaultPrefixFiles(TDateTime today);

// The GUID in its registry text form: upper case in braces.
QString GuidToRegistryString(const QUuid& guid);

// Step by step as the main window reads them at creation:
// the table of sections Position, General, ADC, WIFI and Simple (MultGain 1.0,
// EqNull false whatever the file holds; TypeProfiles as the file holds it) ...
void ReadMainSettings(const TCustomIniFile& ini, TDateTime today, TMainIniSettings& settings);
// ... the two chart-label keys and the recent files ...
void ReadViewSettings(const TCustomIniFile& ini, TMainIniSettings& settings);
// ... and the three post-processing sections.
void ReadPostProcSettings(const TCustomIniFile& ini, TMainIniSettings& settings);
// All three.
TMainIniSettings ReadAllMainSettings(const TCustomIniFile& ini, TDateTime today);

// "TypeProfiles" := 0: the arc start the planning program asked for is taken
// once.
void ResetTypeProfiles(TCustomIniFile& ini);

// Writes every key of the table as the main window does when it goes: the
// position keys only when the window is not maximised, LastFolder only when not
// empty, TopoType only when not 0, MultGain as round(MultGain x 100), EqNull
// false; section History holds the recent files and nothing else.
void WriteMainSettings(TCustomIniFile& ini, const TMainIniSettings& settings, bool maximized);

// The file-naming keys after another program may have changed them on disk.
struct TFileNaming {
  QString LastFolder;
  QString PrefixFiles;
  int32_t CountFiles = 0;
};

// Re-reads LastFolder and PrefixFiles (defaults as at creation); CountFiles is
// read only when either of them differs from what naming held. With reopen the
// three keys are first taken from the file on disk into the in-memory file
// (a key missing on disk is removed); every other in-memory value, written or
// not, stays.
void ReadFileSettings(TMemIniFile& mainIni, bool reopen, TDateTime today, TFileNaming& naming);
