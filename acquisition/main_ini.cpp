#include "acquisition/main_ini.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"

#include <cmath>
#include <limits>

namespace {

const QString kPosition = QStringLiteral("Position");
const QString kGeneral = QStringLiteral("General");
const QString kADC = QStringLiteral("ADC");
const QString kWIFI = QStringLiteral("WIFI");
const QString kSimple = QStringLiteral("Simple");
const QString kHistory = QStringLiteral("History");
const QString kComparator = QStringLiteral("Comparator");
const QString kHilbert = QStringLiteral("Hilbert");
const QString kFreqHilbert = QStringLiteral("FreqHilbert");

const QString kLastFolder = QStringLiteral("LastFolder");
const QString kPrefixFiles = QStringLiteral("PrefixFiles");
const QString kCountFiles = QStringLiteral("CountFiles");
const QString kTypeProfiles = QStringLiteral("TypeProfiles");

// An integer key whose value must lie in [low, high]; anything else gives the default.
int ReadRanged(const TCustomIniFile& ini, const QString& section, const QString& key, int defaultValue, int low,
               int high) {
  const int value = ini.ReadInteger(section, key, defaultValue);
  return value >= low && value <= high ? value : defaultValue;
}

// A Boolean key: "0" false, any other integer true, anything else the default.
bool ReadFlag(const TCustomIniFile& ini, const QString& section, const QString& key, bool defaultValue) {
  return ini.ReadBool(section, key, defaultValue);
}

// Key 0 -> mode 1, 1 -> 0, 2 -> 2: the mapping is its own inverse.
int SwapLabelMode(int value) { return value == 0 ? 1 : value == 1 ? 0 : value; }

void ReadPostProc(const TCustomIniFile& ini, const QString& section, TPostProcDefaults& p, bool amplitudeWindow,
                  bool frequencyWindow) {
  p.PosLevel = ini.ReadInteger(section, QStringLiteral("PosLevel"), p.PosLevel);
  p.AlphaBlend = ini.ReadInteger(section, QStringLiteral("AlphaBlend"), p.AlphaBlend);
  p.Color = ini.ReadInteger(section, QStringLiteral("Color"), p.Color);
  p.MinPnt = ini.ReadInteger(section, QStringLiteral("MinPnt"), p.MinPnt);
  if (amplitudeWindow) {
    p.WinAmpSizeW = ini.ReadInteger(section, QStringLiteral("WinAmpSizeW"), p.WinAmpSizeW);
    p.WinAmpSizeH = ini.ReadInteger(section, QStringLiteral("WinAmpSizeH"), p.WinAmpSizeH);
  }
  if (frequencyWindow) p.WinFreqSize = ini.ReadInteger(section, QStringLiteral("WinFreqSize"), p.WinFreqSize);
}

void WritePostProc(TCustomIniFile& ini, const QString& section, const TPostProcDefaults& p, bool amplitudeWindow,
                   bool frequencyWindow) {
  ini.WriteInteger(section, QStringLiteral("PosLevel"), p.PosLevel);
  ini.WriteInteger(section, QStringLiteral("AlphaBlend"), p.AlphaBlend);
  ini.WriteInteger(section, QStringLiteral("Color"), p.Color);
  if (amplitudeWindow) {
    ini.WriteInteger(section, QStringLiteral("WinAmpSizeW"), p.WinAmpSizeW);
    ini.WriteInteger(section, QStringLiteral("WinAmpSizeH"), p.WinAmpSizeH);
  }
  if (frequencyWindow) ini.WriteInteger(section, QStringLiteral("WinFreqSize"), p.WinFreqSize);
  ini.WriteInteger(section, QStringLiteral("MinPnt"), p.MinPnt);
}

}  // namespace

QString MainIniFileName() {
  return ProgramFolder() + ChangeFileExt(ExtractFileName(ExeName()).toLower(), QStringLiteral(".ini"));
}

QString DefaultPrefixFiles(TDateTime today) {
  uint16_t year = 0, month = 0, day = 0;
  DecodeDate(today, year, month, day);
  return QStringLiteral("%1_%2_%3_").arg(year).arg(month).arg(day);
}

QString GuidToRegistryString(const QUuid& guid) { return guid.toString(QUuid::WithBraces).toUpper(); }

void ReadMainSettings(const TCustomIniFile& ini, TDateTime today, TMainIniSettings& s) {
  const TMainIniSettings d;
  s.Left = ini.ReadInteger(kPosition, QStringLiteral("left"), d.Left);
  s.Top = ini.ReadInteger(kPosition, QStringLiteral("top"), d.Top);
  s.Width = ini.ReadInteger(kPosition, QStringLiteral("width"), d.Width);
  s.Height = ini.ReadInteger(kPosition, QStringLiteral("height"), d.Height);
  s.WindowState = static_cast<TWindowState>(ReadRanged(ini, kPosition, QStringLiteral("WindowState"), wsNormal,
                                                       wsNormal, wsMaximized));
  s.BitToolbar = ReadFlag(ini, kPosition, QStringLiteral("bittoolbar"), d.BitToolbar);

  s.TopoType = static_cast<TTopoType>(ReadRanged(ini, kGeneral, QStringLiteral("TopoType"), d.TopoType, ttNil,
                                                 ttUnitWheelB));
  s.LastFile = ini.ReadString(kGeneral, QStringLiteral("LastFile"), d.LastFile);
  s.LastFolder = ini.ReadString(kGeneral, kLastFolder, d.LastFolder);
  s.PrefixFiles = ini.ReadString(kGeneral, kPrefixFiles, DefaultPrefixFiles(today));
  s.CountFiles = ini.ReadInteger(kGeneral, kCountFiles, d.CountFiles);
  s.OdometerMult = static_cast<uint16_t>(
      ReadRanged(ini, kGeneral, QStringLiteral("OdometerMult"), d.OdometerMult, 0, std::numeric_limits<uint16_t>::max()));
  const double koef = ReadIniFloat(ini, kGeneral, QStringLiteral("KoefArrMax"), d.KoefArrMax);
  s.KoefArrMax = std::fabs(koef) <= std::numeric_limits<float>::max() ? static_cast<float>(koef) : d.KoefArrMax;
  s.MultGain = 1.0;
  s.EqNull = false;
  s.ViewSectOfDeep = ReadFlag(ini, kGeneral, QStringLiteral("ViewSectOfDeep"), d.ViewSectOfDeep);
  s.Proportional = static_cast<TProportional>(ReadRanged(ini, kGeneral, QStringLiteral("Proportional"),
                                                         d.Proportional, PropInSamples11, PropInM41));
  s.SimpleStretchPaint = ReadFlag(ini, kGeneral, QStringLiteral("SimpleStretchPaint"), d.SimpleStretchPaint);
  s.SimpleMode = ReadFlag(ini, kGeneral, QStringLiteral("SimpleMode"), d.SimpleMode);
  s.TypeProfiles = ini.ReadInteger(kGeneral, kTypeProfiles, 0) == tpArc ? tpArc : tpLinear;

  s.strUID = ini.ReadString(kADC, QStringLiteral("strDescr"), d.strUID);
  const QUuid guid(ini.ReadString(kADC, QStringLiteral("strGUID"), GuidToRegistryString(d.gprGUID)).trimmed());
  s.gprGUID = guid.isNull() ? d.gprGUID : guid;

  s.WiFiAddress = ini.ReadString(kWIFI, QStringLiteral("IP address"), d.WiFiAddress);
  s.WiFiPort = ini.ReadString(kWIFI, QStringLiteral("port"), d.WiFiPort);

  s.SimpleDSTCL = ini.ReadString(kSimple, QStringLiteral("SimpleDSTCL"), d.SimpleDSTCL);
  s.SimpleBackgroundRemoval = ReadFlag(ini, kSimple, QStringLiteral("SimpleBackgroundRemoval"), d.SimpleBackgroundRemoval);
}

void ReadViewSettings(const TCustomIniFile& ini, TMainIniSettings& s) {
  s.SettingsHorizontalLabelMode =
      SwapLabelMode(ReadRanged(ini, kGeneral, QStringLiteral("SettingsHorizontalLabelIsTime"), 2, 0, 2));
  s.DataLeftLabelIsTime = ini.ReadInteger(kGeneral, QStringLiteral("DataLeftLabelIsTime"), 1) != 0;
  s.History.clear();
  for (int i = 0; i < HistoryCount; ++i) {
    const QString file = ini.ReadString(kHistory, QString::number(i), QString());
    if (!file.isEmpty()) s.History.push_back(file);
  }
}

void ReadPostProcSettings(const TCustomIniFile& ini, TMainIniSettings& s) {
  ReadPostProc(ini, kComparator, s.Comparator, false, false);
  ReadPostProc(ini, kHilbert, s.Hilbert, true, false);
  ReadPostProc(ini, kFreqHilbert, s.FreqHilbert, false, true);
}

TMainIniSettings ReadAllMainSettings(const TCustomIniFile& ini, TDateTime today) {
  TMainIniSettings s;
  ReadMainSettings(ini, today, s);
  ReadViewSettings(ini, s);
  ReadPostProcSettings(ini, s);
  return s;
}

void ResetTypeProfiles(TCustomIniFile& ini) { ini.WriteInteger(kGeneral, kTypeProfiles, tpLinear); }

void WriteMainSettings(TCustomIniFile& ini, const TMainIniSettings& s, bool maximized) {
  if (!maximized) {
    ini.WriteInteger(kPosition, QStringLiteral("left"), s.Left);
    ini.WriteInteger(kPosition, QStringLiteral("top"), s.Top);
    ini.WriteInteger(kPosition, QStringLiteral("width"), s.Width);
    ini.WriteInteger(kPosition, QStringLiteral("height"), s.Height);
  }
  ini.WriteString(kGeneral, QStringLiteral("LastFile"), s.LastFile);
  if (!s.LastFolder.isEmpty()) ini.WriteString(kGeneral, kLastFolder, s.LastFolder);
  ini.WriteBool(kPosition, QStringLiteral("bittoolbar"), s.BitToolbar);
  ini.WriteInteger(kPosition, QStringLiteral("WindowState"), s.WindowState);
  ini.WriteString(kADC, QStringLiteral("strDescr"), s.strUID);
  ini.WriteString(kADC, QStringLiteral("strGUID"), GuidToRegistryString(s.gprGUID));
  ini.WriteInteger(kGeneral, QStringLiteral("SettingsHorizontalLabelIsTime"),
                   SwapLabelMode(s.SettingsHorizontalLabelMode));
  ini.WriteInteger(kGeneral, QStringLiteral("DataLeftLabelIsTime"), s.DataLeftLabelIsTime ? 1 : 0);
  // The section holds the list as it is now: an entry dropped from the list
  // must not come back from an older key.
  ini.EraseSection(kHistory);
  for (int i = 0; i < std::min<int>(HistoryCount, static_cast<int>(s.History.size())); ++i)
    ini.WriteString(kHistory, QString::number(i), s.History[i]);
  ini.WriteInteger(kGeneral, QStringLiteral("OdometerMult"), s.OdometerMult);
  // A single-precision value in the digits it holds: 0.8, not 0.800000011920929.
  ini.WriteString(kGeneral, QStringLiteral("KoefArrMax"), FloatToStrF(s.KoefArrMax, ffGeneral, 7, 0));
  ini.WriteInteger(kGeneral, QStringLiteral("MultGain"), SaturateToInt32(Round(static_cast<long double>(s.MultGain) * 100)));
  ini.WriteBool(kGeneral, QStringLiteral("EqNull"), false);
  if (s.TopoType != ttNil) ini.WriteInteger(kGeneral, QStringLiteral("TopoType"), s.TopoType);
  ini.WriteString(kWIFI, QStringLiteral("IP address"), s.WiFiAddress);
  ini.WriteString(kWIFI, QStringLiteral("port"), s.WiFiPort);
  ini.WriteBool(kGeneral, QStringLiteral("ViewSectOfDeep"), s.ViewSectOfDeep);
  ini.WriteInteger(kGeneral, QStringLiteral("Proportional"), s.Proportional);
  ini.WriteBool(kGeneral, QStringLiteral("SimpleStretchPaint"), s.SimpleStretchPaint);
  ini.WriteBool(kGeneral, QStringLiteral("SimpleMode"), s.SimpleMode);
  ini.WriteInteger(kGeneral, kCountFiles, s.CountFiles);
  ini.WriteString(kGeneral, kPrefixFiles, s.PrefixFiles);
  ini.WriteString(kSimple, QStringLiteral("SimpleDSTCL"), s.SimpleDSTCL);
  ini.WriteBool(kSimple, QStringLiteral("SimpleBackgroundRemoval"), s.SimpleBackgroundRemoval);
  WritePostProc(ini, kComparator, s.Comparator, false, false);
  WritePostProc(ini, kHilbert, s.Hilbert, true, false);
  WritePostProc(ini, kFreqHilbert, s.FreqHilbert, false, true);
}

void ReadFileSettings(TMemIniFile& mainIni, bool reopen, TDateTime today, TFileNaming& naming) {
  if (reopen) {
    const TMemIniFile disk(mainIni.FileName());
    for (const QString& key : {kLastFolder, kPrefixFiles, kCountFiles}) {
      if (disk.ValueExists(kGeneral, key))
        mainIni.WriteString(kGeneral, key, disk.ReadString(kGeneral, key, QString()));
      else
        mainIni.DeleteKey(kGeneral, key);
    }
  }
  const QString folder = mainIni.ReadString(kGeneral, kLastFolder, TMainIniSettings().LastFolder);
  const QString prefix = mainIni.ReadString(kGeneral, kPrefixFiles, DefaultPrefixFiles(today));
  if (folder != naming.LastFolder || prefix != naming.PrefixFiles)
    naming.CountFiles = mainIni.ReadInteger(kGeneral, kCountFiles, 0);
  naming.LastFolder = folder;
  naming.PrefixFiles = prefix;
}
