// The main window's settings file without the window: defaults, conversions,
// write rules, the round trip of every key and the re-read of the file-naming
// keys that another program rewrote.

#include "acquisition/main_ini.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace main_ini_test {

const TDateTime kApril9 = EncodeDate(2026, 4, 9);

class MainIni : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path() const { return dir_.filePath(QStringLiteral("talvorn3.ini")); }
  QTemporaryDir dir_;
};

TEST_F(MainIni, EmptyFileGivesTheDefaultsAndTodaysPrefix) {
  const TMemIniFile ini(Path());
  const TMainIniSettings s = ReadAllMainSettings(ini, kApril9);
  EXPECT_EQ(s.Left, 20);
  EXPECT_EQ(s.Top, 20);
  EXPECT_EQ(s.Width, 725);
  EXPECT_EQ(s.Height, 442);
  EXPECT_EQ(s.WindowState, wsNormal);
  EXPECT_EQ(s.PrefixFiles, QStringLiteral("2026_4_9_"));
  EXPECT_EQ(s.CountFiles, 0);
  EXPECT_EQ(s.TopoType, ttWheel);
  EXPECT_EQ(s.OdometerMult, 5);
  EXPECT_FLOAT_EQ(s.KoefArrMax, 0.75f);
  EXPECT_EQ(s.LastFolder, QStringLiteral("..\\data\\"));
  EXPECT_EQ(s.LastFile, QStringLiteral("FerunGPR.frn"));
  EXPECT_EQ(s.SettingsHorizontalLabelMode, 2);
  EXPECT_TRUE(s.DataLeftLabelIsTime);
  EXPECT_EQ(GuidToRegistryString(s.gprGUID), QStringLiteral("{4D36E978-E325-11CE-BFC1-08002BE10318}"));
  EXPECT_EQ(s.strUID, QStringLiteral("VID_c251&PID_9705"));
  EXPECT_EQ(s.WiFiPort, QStringLiteral("2000"));
  EXPECT_TRUE(s.SimpleBackgroundRemoval);
  EXPECT_EQ(s.Comparator, (TPostProcDefaults{40, 128, 255, 3}));
  EXPECT_EQ(s.Hilbert.Color, 16711680);
  EXPECT_EQ(s.FreqHilbert.Color, 16711680);
  EXPECT_TRUE(s.History.isEmpty());
  // A date with two-digit month and day has no leading zeros to drop.
  EXPECT_EQ(DefaultPrefixFiles(EncodeDate(2025, 12, 31)), QStringLiteral("2025_12_31_"));
}

TEST_F(MainIni, ReadIniFloatTakesEitherSeparatorAndFallsBackToTheDefault) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {{"0,8", 0.8}, {"0.8", 0.8}, {"1", 1.0}, {"", 0.75}, {"abc", 0.75}, {"1,2,3", 0.75},
                        {"-0,5", -0.5}, {"nan", 0.75}, {"inf", 0.75}};
  for (const Case& c : cases) {
    TMemIniFile ini(Path());
    ini.WriteString(QStringLiteral("General"), QStringLiteral("KoefArrMax"), QString::fromUtf8(c.text));
    EXPECT_DOUBLE_EQ(ReadIniFloat(ini, QStringLiteral("General"), QStringLiteral("KoefArrMax"), 0.75), c.expected)
        << c.text;
  }
  TMemIniFile ini(Path());
  ini.WriteString(QStringLiteral("General"), QStringLiteral("KoefArrMax"), QStringLiteral("0,8"));
  TMainIniSettings s;
  ReadMainSettings(ini, kApril9, s);
  EXPECT_FLOAT_EQ(s.KoefArrMax, 0.8f);
}

TEST_F(MainIni, UnconvertibleOrOutOfRangeValuesGiveTheirDefaults) {
  TMemIniFile ini(Path());
  auto put = [&](const char* section, const char* key, const char* value) {
    ini.WriteString(QString::fromUtf8(section), QString::fromUtf8(key), QString::fromUtf8(value));
  };
  put("Position", "left", "x");
  put("Position", "WindowState", "9");
  put("Position", "bittoolbar", "maybe");
  put("General", "TopoType", "13");
  put("General", "OdometerMult", "-1");
  put("General", "Proportional", "8");
  put("General", "CountFiles", "ten");
  put("General", "TypeProfiles", "7");
  put("General", "SettingsHorizontalLabelIsTime", "3");
  put("ADC", "strGUID", "not a guid");
  put("Comparator", "PosLevel", "");
  const TMainIniSettings s = ReadAllMainSettings(ini, kApril9);
  const TMainIniSettings d;
  EXPECT_EQ(s.Left, d.Left);
  EXPECT_EQ(s.WindowState, wsNormal);
  EXPECT_TRUE(s.BitToolbar);
  EXPECT_EQ(s.TopoType, ttWheel);
  EXPECT_EQ(s.OdometerMult, 5);
  EXPECT_EQ(s.Proportional, PropInSamples11);
  EXPECT_EQ(s.CountFiles, 0);
  EXPECT_EQ(s.TypeProfiles, tpLinear);
  EXPECT_EQ(s.SettingsHorizontalLabelMode, 2);
  EXPECT_EQ(s.gprGUID, PortsClassGuid);
  EXPECT_EQ(s.Comparator.PosLevel, 40);
}

TEST_F(MainIni, LabelKeysMapZeroAndOneCrosswiseBothWays) {
  struct Case {
    int key;
    int mode;
  };
  for (const Case c : {Case{0, 1}, Case{1, 0}, Case{2, 2}}) {
    TMemIniFile ini(Path());
    ini.WriteInteger(QStringLiteral("General"), QStringLiteral("SettingsHorizontalLabelIsTime"), c.key);
    TMainIniSettings s;
    ReadViewSettings(ini, s);
    EXPECT_EQ(s.SettingsHorizontalLabelMode, c.mode) << c.key;
    TMemIniFile out(dir_.filePath(QStringLiteral("out.ini")));
    WriteMainSettings(out, s, false);
    EXPECT_EQ(out.ReadInteger(QStringLiteral("General"), QStringLiteral("SettingsHorizontalLabelIsTime"), -1), c.key);
  }
  for (const int key : {0, 1}) {
    TMemIniFile ini(Path());
    ini.WriteInteger(QStringLiteral("General"), QStringLiteral("DataLeftLabelIsTime"), key);
    TMainIniSettings s;
    ReadViewSettings(ini, s);
    EXPECT_EQ(s.DataLeftLabelIsTime, key == 1);
    WriteMainSettings(ini, s, false);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("General"), QStringLiteral("DataLeftLabelIsTime"), -1), key);
  }
}

// Every key holds a value other than its default, written and read back from disk.
TEST_F(MainIni, EveryKeyRoundTripsThroughTheFile) {
  TMainIniSettings s;
  s.Left = 31;
  s.Top = -4;
  s.Width = 1001;
  s.Height = 777;
  s.WindowState = wsMinimized;
  s.BitToolbar = false;
  s.TopoType = ttOdometerD;
  s.LastFile = QStringLiteral("line 7.frn");
  s.LastFolder = QStringLiteral("/surveys/Site A/");
  s.PrefixFiles = QStringLiteral("north_");
  s.CountFiles = 42;
  s.OdometerMult = 12;
  s.KoefArrMax = 0.8f;
  s.ViewSectOfDeep = true;
  s.Proportional = PropInM12;
  s.SimpleStretchPaint = true;
  s.SimpleMode = true;
  s.SettingsHorizontalLabelMode = 0;
  s.DataLeftLabelIsTime = false;
  s.strUID = QStringLiteral("VID_1234&PID_5678");
  s.gprGUID = QUuid(QStringLiteral("{01234567-89ab-cdef-0123-456789abcdef}"));
  s.WiFiAddress = QStringLiteral("127.0.0.1");
  s.WiFiPort = QStringLiteral("2101");
  s.SimpleDSTCL = QStringLiteral("sand.dstcl");
  s.SimpleBackgroundRemoval = false;
  s.Comparator = {41, 129, 254, 4, 3, 3, 3};
  s.Hilbert = {42, 130, 253, 5, 6, 7, 3};
  s.FreqHilbert = {43, 131, 252, 8, 3, 3, 9};
  s.History = {QStringLiteral("/a/one.frn"), QStringLiteral("/b/two.dezo")};
  {
    TMemIniFile ini(Path());
    WriteMainSettings(ini, s, false);
    ini.UpdateFile();
  }
  const TMemIniFile ini(Path());
  EXPECT_EQ(ReadAllMainSettings(ini, kApril9), s);
  EXPECT_EQ(ini.ReadString(QStringLiteral("ADC"), QStringLiteral("strGUID"), QString()),
            QStringLiteral("{01234567-89AB-CDEF-0123-456789ABCDEF}"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("General"), QStringLiteral("KoefArrMax"), QString()), QStringLiteral("0.8"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("General"), QStringLiteral("EqNull"), QString()), QStringLiteral("0"));
}

TEST_F(MainIni, WriteRulesKeepWhatTheWindowDoesNotOwnNow) {
  TMemIniFile ini(Path());
  TMainIniSettings before;
  before.Left = 50;
  before.Top = 60;
  before.Width = 900;
  before.Height = 500;
  before.TopoType = ttGPS;
  before.LastFolder = QStringLiteral("/old/");
  WriteMainSettings(ini, before, false);

  TMainIniSettings after = before;
  after.Left = after.Top = 0;
  after.Width = 1920;
  after.Height = 1080;
  after.WindowState = wsMaximized;
  after.TopoType = ttNil;
  after.LastFolder.clear();
  after.MultGain = 0.125;  // 12.5 rounds half to even
  WriteMainSettings(ini, after, true);

  const TMainIniSettings read = ReadAllMainSettings(ini, kApril9);
  EXPECT_EQ(read.Left, 50);
  EXPECT_EQ(read.Top, 60);
  EXPECT_EQ(read.Width, 900);
  EXPECT_EQ(read.Height, 500);
  EXPECT_EQ(read.WindowState, wsMaximized);
  EXPECT_EQ(read.TopoType, ttGPS);
  EXPECT_EQ(read.LastFolder, QStringLiteral("/old/"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("General"), QStringLiteral("MultGain"), QString()), QStringLiteral("12"));
  // MultGain and EqNull are never taken from the file.
  EXPECT_EQ(read.MultGain, 1.0);
  EXPECT_FALSE(read.EqNull);
}

TEST_F(MainIni, HistoryKeepsItsOrderSkipsGapsAndForgetsDroppedEntries) {
  TMemIniFile ini(Path());
  ini.WriteString(QStringLiteral("History"), QStringLiteral("0"), QStringLiteral("/x/first.frn"));
  ini.WriteString(QStringLiteral("History"), QStringLiteral("2"), QStringLiteral("/x/third.frn"));
  ini.WriteString(QStringLiteral("History"), QStringLiteral("8"), QStringLiteral("/x/last.frn"));
  ini.WriteString(QStringLiteral("History"), QStringLiteral("9"), QStringLiteral("/x/beyond.frn"));
  TMainIniSettings s;
  ReadViewSettings(ini, s);
  EXPECT_EQ(s.History, QStringList({"/x/first.frn", "/x/third.frn", "/x/last.frn"}));
  s.History = {QStringLiteral("/y/only.frn")};
  WriteMainSettings(ini, s, false);
  EXPECT_EQ(ini.ReadSection(QStringLiteral("History")), QStringList({"0"}));
}

TEST_F(MainIni, TypeProfilesIsTakenOnceAndResetInMemory) {
  TMemIniFile ini(Path());
  ini.WriteInteger(QStringLiteral("General"), QStringLiteral("TypeProfiles"), 1);
  TMainIniSettings s;
  ReadMainSettings(ini, kApril9, s);
  EXPECT_EQ(s.TypeProfiles, tpArc);
  ResetTypeProfiles(ini);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("General"), QStringLiteral("TypeProfiles"), -1), 0);
}

TEST_F(MainIni, ReopenTakesTheThreeNamingKeysAndKeepsUnwrittenChanges) {
  {
    TMemIniFile disk(Path());
    disk.WriteInteger(QStringLiteral("General"), QStringLiteral("TypeProfiles"), 1);
    disk.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), QStringLiteral("/a/"));
    disk.WriteString(QStringLiteral("General"), QStringLiteral("PrefixFiles"), QStringLiteral("p_"));
    disk.WriteInteger(QStringLiteral("General"), QStringLiteral("CountFiles"), 3);
    disk.UpdateFile();
  }
  TMemIniFile mainIni(Path());
  TFileNaming naming;
  ReadFileSettings(mainIni, false, kApril9, naming);
  EXPECT_EQ(naming.LastFolder, QStringLiteral("/a/"));
  EXPECT_EQ(naming.CountFiles, 3);
  // The in-memory reset of TypeProfiles is not on disk yet.
  ResetTypeProfiles(mainIni);
  mainIni.WriteString(QStringLiteral("Settingspos"), QStringLiteral("left"), QStringLiteral("77"));

  // Another program rewrites the three keys (and leaves TypeProfiles as it was).
  {
    TMemIniFile other(Path());
    other.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), QStringLiteral("/b/"));
    other.WriteString(QStringLiteral("General"), QStringLiteral("PrefixFiles"), QStringLiteral("q_"));
    other.WriteInteger(QStringLiteral("General"), QStringLiteral("CountFiles"), 9);
    other.UpdateFile();
  }
  ReadFileSettings(mainIni, true, kApril9, naming);
  EXPECT_EQ(naming.LastFolder, QStringLiteral("/b/"));
  EXPECT_EQ(naming.PrefixFiles, QStringLiteral("q_"));
  EXPECT_EQ(naming.CountFiles, 9);
  EXPECT_EQ(mainIni.ReadInteger(QStringLiteral("General"), QStringLiteral("TypeProfiles"), -1), 0);
  EXPECT_EQ(mainIni.ReadString(QStringLiteral("Settingspos"), QStringLiteral("left"), QString()), QStringLiteral("77"));
  EXPECT_EQ(mainIni.ReadInteger(QStringLiteral("General"), QStringLiteral("CountFiles"), -1), 9);
}

TEST_F(MainIni, CountFilesIsReadOnlyWhenTheFolderOrPrefixChanged) {
  TMemIniFile mainIni(Path());
  mainIni.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), QStringLiteral("/a/"));
  mainIni.WriteString(QStringLiteral("General"), QStringLiteral("PrefixFiles"), QStringLiteral("p_"));
  mainIni.WriteInteger(QStringLiteral("General"), QStringLiteral("CountFiles"), 20);
  TFileNaming naming{QStringLiteral("/a/"), QStringLiteral("p_"), 5};
  ReadFileSettings(mainIni, false, kApril9, naming);
  EXPECT_EQ(naming.CountFiles, 5);
  mainIni.WriteString(QStringLiteral("General"), QStringLiteral("PrefixFiles"), QStringLiteral("r_"));
  ReadFileSettings(mainIni, false, kApril9, naming);
  EXPECT_EQ(naming.CountFiles, 20);
  // A key gone from disk takes its default on reopen.
  mainIni.UpdateFile();
  {
    TMemIniFile other(Path());
    other.DeleteKey(QStringLiteral("General"), QStringLiteral("PrefixFiles"));
    other.UpdateFile();
  }
  ReadFileSettings(mainIni, true, kApril9, naming);
  EXPECT_EQ(naming.PrefixFiles, QStringLiteral("2026_4_9_"));
}

TEST_F(MainIni, SettingsFileNameLowersOnlyTheExecutablesName) {
  const QString folder = dir_.path() + QStringLiteral("/Mixed Case/");
  SetProgramFolder(folder);
  const QString expected = folder + ChangeFileExt(ExtractFileName(ExeName()).toLower(), QStringLiteral(".ini"));
  EXPECT_EQ(MainIniFileName(), expected);
  EXPECT_TRUE(MainIniFileName().startsWith(folder));
  SetProgramFolder(QString());
}

}  // namespace main_ini_test
