#include "platform/rtl/ini_files.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sys_utils.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cmath>

namespace {

bool SameName(const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) == 0; }

// BOM first; without one, UTF-8 when the bytes are valid UTF-8, else ANSI.
QString DecodeIniBytes(const QByteArray& bytes) {
  auto decodeWith = [](QStringConverter::Encoding encoding, QByteArrayView data) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return QString(decoder.decode(data));
  };
  const QByteArrayView view(bytes);
  if (bytes.startsWith("\xFF\xFE")) return decodeWith(QStringConverter::Utf16LE, view.sliced(2));
  if (bytes.startsWith("\xFE\xFF")) return decodeWith(QStringConverter::Utf16BE, view.sliced(2));
  if (bytes.startsWith("\xEF\xBB\xBF")) return decodeWith(QStringConverter::Utf8, view.sliced(3));
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString text = utf8.decode(view);
  return utf8.hasError() ? AnsiToString(bytes) : text;
}

// A missing or unreadable file reads as empty.
QByteArray ReadFileBytes(const QString& fileName) {
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFileBytes(const QString& fileName, const QByteArray& bytes) {
  TFileStream file(fileName, fmCreate);
  file.WriteBuffer(bytes.constData(), bytes.size());
}

QByteArray EncodeIniText(const QString& text, TIniEncoding encoding) {
  if (encoding == ieAnsi) return StringToAnsi(text);
  QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
  return QByteArray("\xFF\xFE", 2) + QByteArray(encoder.encode(text));
}

// The whole file at once: the bytes go to a temporary file in the same folder,
// which then takes the old file's place, so a failed or interrupted write never
// leaves a cut settings file behind (another program may read it any moment).
void ReplaceFileBytes(const QString& fileName, const QByteArray& bytes) {
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly))
    throw EFCreateError("Cannot create file \"" + fileName.toStdString() + "\". " + file.errorString().toStdString());
  if (file.write(bytes) != bytes.size() || !file.commit())
    throw EFCreateError("Cannot write file \"" + fileName.toStdString() + "\". " + file.errorString().toStdString());
}

}  // namespace

// ---- TCustomIniFile ------------------------------------------------------------

double ReadIniFloat(const TCustomIniFile& ini, const QString& section, const QString& key, double defaultValue) {
  QString text = ini.ReadString(section, key, QString());
  if (text.isEmpty()) return defaultValue;
  text.replace(u',', u'.');
  double value = 0;
  if (!TryStrToFloat(text, value) || !std::isfinite(value)) return defaultValue;
  return value;
}

int TCustomIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue) const {
  return StrToIntDef(ReadString(section, ident, QString()), defaultValue);
}

void TCustomIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

double TCustomIniFile::ReadFloat(const QString& section, const QString& ident, double defaultValue) const {
  double value;
  return TryStrToFloat(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteFloat(const QString& section, const QString& ident, double value) {
  WriteString(section, ident, FloatToStr(value));
}

bool TCustomIniFile::ReadBool(const QString& section, const QString& ident, bool defaultValue) const {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
  WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TCustomIniFile::ReadDateTime(const QString& section, const QString& ident, double defaultValue) const {
  return ReadFloat(section, ident, defaultValue);
}

void TCustomIniFile::WriteDateTime(const QString& section, const QString& ident, double value) {
  WriteFloat(section, ident, value);
}

bool TCustomIniFile::SectionExists(const QString& section) const { return !ReadSection(section).isEmpty(); }

bool TCustomIniFile::ValueExists(const QString& section, const QString& ident) const {
  return ReadSection(section).contains(ident, Qt::CaseInsensitive);
}

// ---- TMemIniFile ---------------------------------------------------------------

TMemIniFile::TMemIniFile(const QString& fileName, TIniEncoding encoding)
    : TCustomIniFile(fileName), encoding_(encoding) {
  Reload();
}

void TMemIniFile::Clear() {
  preamble_.clear();
  sections_.clear();
}

void TMemIniFile::Reload() { Load(ReadFileBytes(FileName())); }

void TMemIniFile::Load(const QByteArray& bytes) {
  Clear();
  Parse(DecodeIniBytes(bytes));
}

void TMemIniFile::Parse(const QString& text) {
  Section* current = nullptr;
  auto addLine = [&](const QString& rawLine) {
    const QString line = Trim(rawLine);
    if (line.isEmpty()) return;
    if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
      const QString name = Trim(line.mid(1, line.size() - 2));
      current = FindSection(name);  // a repeated header continues its section
      if (!current) current = &sections_.emplace_back(Section{name, {}});
      return;
    }
    if (!current) {
      if (line.startsWith(u';')) preamble_ << line;
      return;
    }
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0 || line.startsWith(u';'))
      current->entries.push_back(Entry{QString(), line, false});
    else
      current->entries.push_back(Entry{Trim(line.left(eq)), Trim(line.mid(eq + 1)), true});
  };
  // Lines end with CRLF, LF or CR.
  qsizetype start = 0;
  for (qsizetype k = 0; k < text.size(); ++k) {
    if (text[k] != u'\r' && text[k] != u'\n') continue;
    addLine(text.mid(start, k - start));
    if (text[k] == u'\r' && k + 1 < text.size() && text[k + 1] == u'\n') ++k;
    start = k + 1;
  }
  addLine(text.mid(start));
}

QString TMemIniFile::Compose() const {
  QString text;
  for (const QString& line : preamble_) text += line + QLatin1String("\r\n");
  for (const Section& section : sections_) {
    text += u'[' + section.name + QLatin1String("]\r\n");
    for (const Entry& e : section.entries)
      text += (e.isPair ? e.name + u'=' + e.value : e.value) + QLatin1String("\r\n");
    text += QLatin1String("\r\n");
  }
  return text;
}

QByteArray TMemIniFile::Bytes() const { return EncodeIniText(Compose(), encoding_); }

void TMemIniFile::UpdateFile() { ReplaceFileBytes(FileName(), Bytes()); }

const TMemIniFile::Section* TMemIniFile::FindSection(const QString& name) const {
  const auto it = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) { return SameName(s.name, name); });
  return it == sections_.end() ? nullptr : &*it;
}

TMemIniFile::Section* TMemIniFile::FindSection(const QString& name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

std::vector<TMemIniFile::Entry>::const_iterator TMemIniFile::FindEntry(const Section& section, const QString& ident) {
  return std::find_if(section.entries.begin(), section.entries.end(),
                      [&](const Entry& e) { return e.isPair && SameName(e.name, ident); });
}

QString TMemIniFile::ReadString(const QString& section, const QString& ident, const QString& defaultValue) const {
  const Section* s = FindSection(section);
  if (!s) return defaultValue;
  const auto it = FindEntry(*s, ident);
  return it == s->entries.end() ? defaultValue : it->value;
}

void TMemIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  Section* s = FindSection(section);
  if (!s) s = &sections_.emplace_back(Section{section, {}});
  const auto it = FindEntry(*s, ident);
  if (it == s->entries.end())
    s->entries.push_back(Entry{ident, value, true});
  else
    s->entries[it - s->entries.begin()].value = value;
}

QStringList TMemIniFile::ReadSection(const QString& section) const {
  QStringList names;
  if (const Section* s = FindSection(section))
    for (const Entry& e : s->entries)
      if (e.isPair) names << e.name;
  return names;
}

QStringList TMemIniFile::ReadSections() const {
  QStringList names;
  for (const Section& s : sections_) names << s.name;
  return names;
}

QStringList TMemIniFile::ReadSectionValues(const QString& section) const {
  QStringList lines;
  if (const Section* s = FindSection(section))
    for (const Entry& e : s->entries)
      if (e.isPair) lines << e.name + u'=' + e.value;
  return lines;
}

void TMemIniFile::EraseSection(const QString& section) {
  std::erase_if(sections_, [&](const Section& s) { return SameName(s.name, section); });
}

void TMemIniFile::DeleteKey(const QString& section, const QString& ident) {
  Section* s = FindSection(section);
  if (!s) return;
  const auto it = FindEntry(*s, ident);
  if (it != s->entries.end()) s->entries.erase(it);
}

// ---- TIniFile ------------------------------------------------------------------

TIniFile::TIniFile(const QString& fileName, TIniEncoding encoding)
    : TCustomIniFile(fileName), data_(fileName, encoding), lastBytes_(ReadFileBytes(fileName)) {
  data_.Load(lastBytes_);
}

void TIniFile::Refresh() const {
  QByteArray bytes = ReadFileBytes(FileName());
  if (bytes == lastBytes_) return;
  data_.Load(bytes);
  lastBytes_ = std::move(bytes);
}

void TIniFile::Store() {
  const QByteArray bytes = data_.Bytes();
  try {
    WriteFileBytes(FileName(), bytes);
    lastBytes_ = bytes;
  } catch (const EStreamError&) {
    lastBytes_ = ReadFileBytes(FileName());  // hold what the file holds
    data_.Load(lastBytes_);
    throw EIniFileException("Unable to write to " + FileName().toStdString());
  }
}

QString TIniFile::ReadString(const QString& section, const QString& ident, const QString& defaultValue) const {
  Refresh();
  return data_.ReadString(section, ident, defaultValue);
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  Refresh();
  data_.WriteString(section, ident, value);
  Store();
}

QStringList TIniFile::ReadSection(const QString& section) const {
  Refresh();
  return data_.ReadSection(section);
}

QStringList TIniFile::ReadSections() const {
  Refresh();
  return data_.ReadSections();
}

QStringList TIniFile::ReadSectionValues(const QString& section) const {
  Refresh();
  return data_.ReadSectionValues(section);
}

void TIniFile::EraseSection(const QString& section) {
  Refresh();
  if (!data_.ReadSections().contains(section, Qt::CaseInsensitive)) return;
  data_.EraseSection(section);
  Store();
}

void TIniFile::DeleteKey(const QString& section, const QString& ident) {
  Refresh();
  if (!data_.ValueExists(section, ident)) return;
  data_.DeleteKey(section, ident);
  Store();
}
