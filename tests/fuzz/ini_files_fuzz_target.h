#pragma once
// One fuzz input through the settings-file reader, shared by the libFuzzer
// target and the normal suite (tests/platform/rtl_ini_files_fuzz_test.cpp).
//
// Input: byte 0 picks what goes before the bytes in the file (mod 3: nothing, so
// an old 8-bit file unless the bytes start with a BOM; the UTF-16LE BOM; the
// UTF-8 BOM); the rest is the file.
// Checked for every input:
// - every key a section lists reads back (as a string, and as a number, a float,
//   a boolean and a date without fault), and a section lists as many
//   "name=value" lines as names;
// - TIniFile sees the same sections and values as TMemIniFile;
// - written back (UTF-16) and read again, the file gives the same sections,
//   names and values.

#include "platform/rtl/ini_files.h"

#include "tests/fuzz/fuzz_scratch_folder.h"

#include <QByteArray>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ini_fuzz {

// Every section with its "name=value" lines, in file order.
inline std::vector<QStringList> Contents(const TCustomIniFile& ini) {
  std::vector<QStringList> contents;
  for (const QString& section : ini.ReadSections()) {
    QStringList lines = ini.ReadSectionValues(section);
    lines.prepend(QLatin1Char('[') + section + QLatin1Char(']'));
    contents.push_back(lines);
  }
  return contents;
}

inline std::string CheckKeys(const TCustomIniFile& ini) {
  const QString missing = QStringLiteral("\x01missing\x01");
  for (const QString& section : ini.ReadSections()) {
    const QStringList names = ini.ReadSection(section);
    if (names.size() != ini.ReadSectionValues(section).size()) return "names and name=value lines differ in number";
    if (!names.isEmpty() && !ini.SectionExists(section)) return "a section with keys does not exist";
    for (const QString& name : names) {
      if (!ini.ValueExists(section, name)) return "a listed key does not exist";
      if (ini.ReadString(section, name, missing) == missing) return "a listed key does not read";
      // Only the conversions' own safety is checked here: any text must convert
      // to a number or fall back to the default without fault.
      (void)ini.ReadInteger(section, name, 0);
      (void)ini.ReadFloat(section, name, 0);
      (void)ini.ReadBool(section, name, false);
      (void)ini.ReadDateTime(section, name, 0);
    }
  }
  return {};
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace ini_fuzz

// Empty when every guarantee held, else the first that did not.
inline std::string ReadIniOnce(const uint8_t* data, size_t size) {
  using namespace ini_fuzz;
  if (size == 0) return {};
  const QString path = FuzzScratchFolder().filePath(QStringLiteral("fuzz.ini"));
  static const char* const kPrefixes[] = {"", "\xFF\xFE", "\xEF\xBB\xBF"};
  QByteArray bytes(kPrefixes[data[0] % 3]);
  bytes.append(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  if (!WriteFile(path, bytes)) return "the fixture could not be written";

  std::vector<QStringList> read;
  {
    TMemIniFile ini(path);
    if (std::string broken = CheckKeys(ini); !broken.empty()) return broken;
    read = Contents(ini);
    const TIniFile direct(path);
    if (Contents(direct) != read) return "TIniFile and TMemIniFile read the file differently";
    ini.UpdateFile();
  }
  const TMemIniFile reread(path);
  if (Contents(reread) != read) return "a file written back reads differently";
  return {};
}
