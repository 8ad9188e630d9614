#include "platform/rtl/ini_files.h"

#include "platform/rtl/date_time.h"
#include "platform/rtl/streams.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <limits>

namespace {

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// BOM, then each UTF-16 code unit low byte first.
QByteArray Utf16File(const char* utf8) {
  QByteArray out("\xFF\xFE", 2);
  for (const QChar c : QString::fromUtf8(utf8)) {
    out += static_cast<char>(c.unicode() & 0xFF);
    out += static_cast<char>(c.unicode() >> 8);
  }
  return out;
}

class RtlIniFiles : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const char* name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(RtlIniFiles, ExactBytesOfASmallFile) {
  const QString path = Path("small.ini");
  TMemIniFile ini(path);
  ini.WriteString("Main", "Name", QString::fromUtf8("Wert é"));
  ini.WriteFloat("Main", "Pi", 3.25);
  ini.WriteInteger("Other", "N", -5);
  ini.WriteBool("Other", "On", true);
  ini.UpdateFile();
  EXPECT_EQ(FileBytes(path), Utf16File("[Main]\r\nName=Wert é\r\nPi=3.25\r\n\r\n[Other]\r\nN=-5\r\nOn=1\r\n\r\n"));

  TMemIniFile ansi(Path("ansi.ini"), ieAnsi);
  ansi.WriteString("S", "K", QString::fromUtf8("é€"));
  ansi.UpdateFile();
  EXPECT_EQ(FileBytes(Path("ansi.ini")), QByteArray("[S]\r\nK=\xE9\x80\r\n\r\n"));
}

TEST_F(RtlIniFiles, EveryValueKindRoundTrips) {
  const QString path = Path("values.ini");
  const QString text = QString::fromUtf8("Профиль 雷达 ü");
  const TDateTime when = EncodeDate(2024, 3, 7) + EncodeTime(9, 4, 5, 7);
  {
    TMemIniFile ini(path);
    ini.WriteString("Strings", "Unicode", text);
    ini.WriteString("Strings", "Empty", "");
    ini.WriteString("Strings", "Inner", "a = b ; c");
    ini.WriteInteger("Numbers", "Min", std::numeric_limits<int>::min());
    ini.WriteInteger("Numbers", "Max", std::numeric_limits<int>::max());
    ini.WriteFloat("Numbers", "Tenth", 0.1);
    ini.WriteFloat("Numbers", "Tiny", -1.5e-7);
    ini.WriteFloat("Numbers", "Huge", 1e300);
    ini.WriteBool("Flags", "Yes", true);
    ini.WriteBool("Flags", "No", false);
    ini.WriteDateTime("Times", "When", when);
    ini.UpdateFile();
  }
  const TMemIniFile mem(path);
  const TIniFile disk(path);
  for (const TCustomIniFile* ini : {static_cast<const TCustomIniFile*>(&mem), static_cast<const TCustomIniFile*>(&disk)}) {
    EXPECT_EQ(ini->ReadString("Strings", "Unicode", "?"), text);
    EXPECT_EQ(ini->ReadString("Strings", "Empty", "?"), "");
    EXPECT_EQ(ini->ReadString("Strings", "Inner", "?"), "a = b ; c");
    EXPECT_EQ(ini->ReadInteger("Numbers", "Min", 0), std::numeric_limits<int>::min());
    EXPECT_EQ(ini->ReadInteger("Numbers", "Max", 0), std::numeric_limits<int>::max());
    EXPECT_EQ(ini->ReadFloat("Numbers", "Tenth", 0), 0.1);
    EXPECT_EQ(ini->ReadFloat("Numbers", "Tiny", 0), -1.5e-7);
    EXPECT_EQ(ini->ReadFloat("Numbers", "Huge", 0), 1e300);
    EXPECT_TRUE(ini->ReadBool("Flags", "Yes", false));
    EXPECT_FALSE(ini->ReadBool("Flags", "No", true));
    EXPECT_NEAR(ini->ReadDateTime("Times", "When", 0), when, 1e-9);
    EXPECT_EQ(ini->ReadSections(), QStringList({"Strings", "Numbers", "Flags", "Times"}));
    EXPECT_EQ(ini->ReadSection("Numbers"), QStringList({"Min", "Max", "Tenth", "Tiny", "Huge"}));
    EXPECT_EQ(ini->ReadSectionValues("Flags"), QStringList({"Yes=1", "No=0"}));
    EXPECT_EQ(ini->FileName(), path);
  }
}

TEST_F(RtlIniFiles, ReadingRules) {
  const QString path = Path("rules.ini");
  WriteBytes(path, Utf16File("; header comment\r\n"
                             "stray=before any section\r\n"
                             "  [ Main ]  \r\n"
                             "  Key  =  value with spaces  \r\n"
                             "; a comment\r\n"
                             "Hex=$1F\r\nHex2=0x1f\r\nBad=abc\r\nComma=1,5\r\nDot= 2.5 \r\nTwo=2\r\nNoEquals\r\n"
                             "[Empty]\r\n"
                             "[Lf]\nA=1\nB=2\rC=3\n"
                             "[main]\r\nLater=x\r\n"));
  TMemIniFile ini(path);
  EXPECT_EQ(ini.ReadSections(), QStringList({"Main", "Empty", "Lf"}));
  EXPECT_EQ(ini.ReadString("MAIN", "key", "?"), "value with spaces");
  EXPECT_EQ(ini.ReadString("main", "LATER", "?"), "x") << "a repeated header continues its section";
  EXPECT_EQ(ini.ReadString("Main", "stray", "?"), "?");
  EXPECT_EQ(ini.ReadString("Main", "NoEquals", "?"), "?");
  EXPECT_EQ(ini.ReadInteger("Main", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Main", "Hex2", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Main", "Bad", -1), -1);
  EXPECT_EQ(ini.ReadInteger("Main", "Missing", 7), 7);
  EXPECT_EQ(ini.ReadFloat("Main", "Comma", -1), -1);
  EXPECT_EQ(ini.ReadFloat("Main", "Dot", -1), 2.5);
  EXPECT_EQ(ini.ReadFloat("Main", "Bad", 9.5), 9.5);
  EXPECT_TRUE(ini.ReadBool("Main", "Two", false));
  EXPECT_TRUE(ini.ReadBool("Main", "Bad", true));
  EXPECT_FALSE(ini.ReadBool("Main", "Bad", false));
  EXPECT_EQ(ini.ReadSection("lf"), QStringList({"A", "B", "C"}));

  EXPECT_TRUE(ini.SectionExists("MAIN"));
  EXPECT_FALSE(ini.SectionExists("Empty")) << "a section without keys does not count";
  EXPECT_FALSE(ini.SectionExists("Nowhere"));
  EXPECT_TRUE(ini.ValueExists("main", "HEX"));
  EXPECT_FALSE(ini.ValueExists("Main", "NoEquals"));
  EXPECT_FALSE(ini.ValueExists("Lf", "Hex"));

  // Comments survive a rewrite; stray lines before the first section do not.
  ini.WriteString("MAIN", "KEY", "new");
  ini.UpdateFile();
  const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(FileBytes(path).constData() + 2),
                                          (FileBytes(path).size() - 2) / 2);
  EXPECT_TRUE(text.startsWith("; header comment\r\n[Main]\r\nKey=new\r\n; a comment\r\nHex=$1F\r\n")) << text.toStdString();
  EXPECT_FALSE(text.contains("stray"));
  EXPECT_TRUE(text.contains("\r\nNoEquals\r\n"));
}

TEST_F(RtlIniFiles, Old8BitFiles) {
  const QString ansiPath = Path("ansi.ini");
  const QString utf8Path = Path("utf8.ini");
  WriteBytes(ansiPath, "[Sect]\r\nName=Caf\xE9 \x80\r\n");
  WriteBytes(utf8Path, "[Sect]\nName=Caf\xC3\xA9 \xE2\x82\xAC\n");
  for (const QString& path : {ansiPath, utf8Path}) {
    SCOPED_TRACE(path.toStdString());
    for (const TIniEncoding enc : {ieUTF16, ieAnsi})
      EXPECT_EQ(TMemIniFile(path, enc).ReadString("SECT", "name", "?"), QString::fromUtf8("Café €"));
  }

  // Written back in the encoding the object was opened with.
  TMemIniFile keepAnsi(ansiPath, ieAnsi);
  keepAnsi.WriteString("Sect", "More", QString::fromUtf8("ü"));
  keepAnsi.UpdateFile();
  EXPECT_EQ(FileBytes(ansiPath), QByteArray("[Sect]\r\nName=Caf\xE9 \x80\r\nMore=\xFC\r\n\r\n"));

  TMemIniFile toUtf16(utf8Path);
  toUtf16.UpdateFile();
  EXPECT_EQ(FileBytes(utf8Path), Utf16File("[Sect]\r\nName=Café €\r\n\r\n"));
}

TEST_F(RtlIniFiles, MemIniFileWritesOnlyOnUpdateFile) {
  const QString path = Path("mem.ini");
  TMemIniFile ini(path);
  EXPECT_TRUE(ini.ReadSections().isEmpty()) << "a missing file is an empty INI";
  ini.WriteString("A", "x", "1");
  EXPECT_FALSE(QFile::exists(path));
  ini.UpdateFile();
  EXPECT_EQ(TMemIniFile(path).ReadString("A", "x", "?"), "1");

  ini.DeleteKey("a", "X");
  ini.WriteString("B", "y", "2");
  EXPECT_EQ(TMemIniFile(path).ReadString("A", "x", "?"), "1");
  ini.UpdateFile();
  const TMemIniFile reread(path);
  EXPECT_EQ(reread.ReadString("A", "x", "?"), "?");
  EXPECT_EQ(reread.ReadString("B", "y", "?"), "2");

  ini.EraseSection("b");
  EXPECT_EQ(ini.ReadSections(), QStringList({"A"}));
  ini.Clear();
  EXPECT_TRUE(ini.ReadSections().isEmpty());
  ini.Reload();
  EXPECT_EQ(ini.ReadSections(), QStringList({"A", "B"}));

  TMemIniFile nowhere(Path("no/such/dir/x.ini"));
  nowhere.WriteString("A", "x", "1");
  EXPECT_THROW(nowhere.UpdateFile(), EFCreateError);
}

TEST_F(RtlIniFiles, IniFileWritesThrough) {
  const QString path = Path("disk.ini");
  TIniFile a(path);
  EXPECT_FALSE(QFile::exists(path));
  a.WriteString("S", "k", "one");
  EXPECT_EQ(TMemIniFile(path).ReadString("S", "k", "?"), "one");

  // A second object on the same file sees the first one's writes and keeps them.
  TIniFile b(path);
  b.WriteString("S", "k", "two");
  EXPECT_EQ(a.ReadString("S", "k", "?"), "two");
  a.WriteInteger("S", "n", 5);
  b.WriteInteger("S", "m", 6);
  const TMemIniFile both(path);
  EXPECT_EQ(both.ReadSectionValues("S"), QStringList({"k=two", "n=5", "m=6"}));

  a.DeleteKey("s", "K");
  EXPECT_FALSE(TMemIniFile(path).ValueExists("S", "k"));
  a.EraseSection("S");
  EXPECT_TRUE(TMemIniFile(path).ReadSections().isEmpty());
  EXPECT_EQ(FileBytes(path), QByteArray("\xFF\xFE", 2));

  TIniFile ansi(Path("disk8.ini"), ieAnsi);
  ansi.WriteString("S", "k", QString::fromUtf8("é"));
  EXPECT_EQ(FileBytes(Path("disk8.ini")), QByteArray("[S]\r\nk=\xE9\r\n\r\n"));

  TIniFile nowhere(Path("no/such/dir/x.ini"));
  EXPECT_THROW(nowhere.WriteString("A", "x", "1"), EIniFileException);
  EXPECT_EQ(nowhere.ReadString("A", "x", "?"), "?") << "a failed write leaves what the file holds";
}

}  // namespace
