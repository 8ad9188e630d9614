#pragma once
// Settings files: "[Section]" headers and "key=value" lines. Files are written as
// UTF-16LE with a BOM and CRLF line ends (or as 8-bit ANSI text when asked); a
// file without a BOM is an old 8-bit file, read as UTF-8 when it is valid UTF-8
// and as the ANSI code page otherwise. Section and key names compare without
// case and keep their order; keys and values lose surrounding blanks when read.
// Comment lines (';') are kept. A missing file reads as empty and is created by
// the first write. Numbers use '.' as the decimal separator.
//
// TMemIniFile keeps the file in memory and replaces it on UpdateFile().
// TIniFile writes every change to disk at once and, before each call, rereads the
// file when its bytes changed, so several objects on one file see each other's
// writes (as the system's profile calls do).
// Neither is thread-safe.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <stdexcept>
#include <vector>

enum TIniEncoding : uint8_t { ieUTF16, ieAnsi };

// A change that TIniFile could not write to disk.
class EIniFileException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TCustomIniFile {
public:
  explicit TCustomIniFile(const QString& fileName) : fileName_(fileName) {}
  virtual ~TCustomIniFile() = default;

  const QString& FileName() const { return fileName_; }

  virtual QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) const = 0;
  virtual void WriteString(const QString& section, const QString& ident, const QString& value) = 0;
  // Key names of a section, in file order.
  virtual QStringList ReadSection(const QString& section) const = 0;
  virtual QStringList ReadSections() const = 0;
  // "name=value" lines of a section.
  virtual QStringList ReadSectionValues(const QString& section) const = 0;
  virtual void EraseSection(const QString& section) = 0;
  virtual void DeleteKey(const QString& section, const QString& ident) = 0;
  virtual void UpdateFile() = 0;

  // Decimal or hex ("$1F", "0x1F"); the default when missing or not a number.
  int ReadInteger(const QString& section, const QString& ident, int defaultValue) const;
  void WriteInteger(const QString& section, const QString& ident, int value);
  // The default when missing or not a number.
  double ReadFloat(const QString& section, const QString& ident, double defaultValue) const;
  void WriteFloat(const QString& section, const QString& ident, double value);
  // Any non-zero integer is true; written as "1"/"0".
  bool ReadBool(const QString& section, const QString& ident, bool defaultValue) const;
  void WriteBool(const QString& section, const QString& ident, bool value);
  // Days since 1899-12-30, stored as a float.
  double ReadDateTime(const QString& section, const QString& ident, double defaultValue) const;
  void WriteDateTime(const QString& section, const QString& ident, double value);

  // A section exists when it holds at least one key.
  bool SectionExists(const QString& section) const;
  bool ValueExists(const QString& section, const QString& ident) const;

private:
  QString fileName_;
};

// A real written with '.' or ',' as the decimal separator (files written on
// machines of either convention); an empty or unconvertible text, or a value
// that is not finite, gives the default.
double ReadIniFloat(const TCustomIniFile& ini, const QString& section, const QString& key, double defaultValue);

class TMemIniFile : public TCustomIniFile {
public:
  // Reads the whole file now; `encoding` is the one UpdateFile writes.
  explicit TMemIniFile(const QString& fileName, TIniEncoding encoding = ieUTF16);

  QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) const override;
  void WriteString(const QString& section, const QString& ident, const QString& value) override;
  QStringList ReadSection(const QString& section) const override;
  QStringList ReadSections() const override;
  QStringList ReadSectionValues(const QString& section) const override;
  void EraseSection(const QString& section) override;
  void DeleteKey(const QString& section, const QString& ident) override;
  // Writes the whole file to a temporary file beside it and renames that over
  // the old one (a symbolic link is followed, the old file's permissions kept);
  // EFCreateError, with the old file untouched, when it cannot.
  void UpdateFile() override;

  TIniEncoding Encoding() const { return encoding_; }
  void Clear();
  // Rereads the file (a missing file gives an empty INI).
  void Reload();

private:
  friend class TIniFile;
  void Load(const QByteArray& bytes);
  QByteArray Bytes() const;

  struct Entry {
    QString name;
    QString value;
    bool isPair = true;  // false: a comment or a line without '=', kept as `value`
  };
  struct Section {
    QString name;
    std::vector<Entry> entries;
  };

  const Section* FindSection(const QString& name) const;
  Section* FindSection(const QString& name);
  static std::vector<Entry>::const_iterator FindEntry(const Section& section, const QString& ident);
  void Parse(const QString& text);
  QString Compose() const;

  TIniEncoding encoding_;
  QStringList preamble_;  // comment lines before the first section
  std::vector<Section> sections_;
};

class TIniFile : public TCustomIniFile {
public:
  explicit TIniFile(const QString& fileName, TIniEncoding encoding = ieUTF16);

  QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) const override;
  // Writes through; EIniFileException "Unable to write to <file>" when the file
  // cannot be written, and then the object holds what the file holds.
  void WriteString(const QString& section, const QString& ident, const QString& value) override;
  QStringList ReadSection(const QString& section) const override;
  QStringList ReadSections() const override;
  QStringList ReadSectionValues(const QString& section) const override;
  void EraseSection(const QString& section) override;
  void DeleteKey(const QString& section, const QString& ident) override;
  // Every change is on disk already.
  void UpdateFile() override {}

private:
  void Refresh() const;
  void Store();

  mutable TMemIniFile data_;
  mutable QByteArray lastBytes_;  // the file as last read or written
};
