#include "acquisition/file_commands.h"

#include "platform/rtl/paths.h"

#include <QDir>

#include <algorithm>

void PutOnTopOfRecentFiles(QStringList& list, const QString& path) {
  // Scanning from the last entry, as the menu items are looked through.
  qsizetype vacate = -1;
  for (qsizetype i = list.size() - 1; i >= 0; --i)
    if (list[i].compare(path, Qt::CaseInsensitive) == 0) {
      vacate = i;
      break;
    }
  if (vacate >= 0)
    list.removeAt(vacate);
  else
    while (list.size() >= RecentFilesCount) list.removeLast();
  list.prepend(path);
}

QString RecentFileCaption(int place, const QString& path) {
  return u'&' + QString::number(place) + u' ' + path;
}

QString RecentFilePath(const QString& caption) { return caption.mid(3); }

QString TrailingNumber(const QString& text) {
  auto isPart = [](QChar c) { return c.isDigit() || c == u'-'; };
  qsizetype end = text.size();
  while (end > 0 && !isPart(text[end - 1])) --end;
  qsizetype begin = end;
  while (begin > 0 && isPart(text[begin - 1])) --begin;
  return text.mid(begin, end - begin);
}

TPresetsProperty PresetFromFileName(const QString& fileName) {
  TPresetsProperty preset;
  QString type = fileName.left(PresetTypeLength);
  while (!type.isEmpty() && type.back() == u' ') type.chop(1);
  preset.RadarTypeStr = type;
  // 16 characters of type and the 5 of ".bstt": a shorter name has no title.
  const qsizetype titleLength = fileName.size() - (PresetTypeLength + 5);
  if (titleLength > 0) preset.Title = fileName.mid(PresetTypeLength, titleLength);
  return preset;
}

std::vector<TPresetsProperty> ScanPresetFolder(const QString& folder) {
  std::vector<TPresetsProperty> presets;
  const QStringList names =
      QDir(folder).entryList({QStringLiteral("*.bstt")}, QDir::Files, QDir::Name);
  for (const QString& name : names) presets.push_back(PresetFromFileName(name));
  return presets;
}

QString PresetTypePrefix(bool haveRadar, const QString& radarKey) {
  if (!haveRadar) return QStringLiteral("300");
  return radarKey.left(PresetTypeLength).leftJustified(PresetTypeLength, u' ');
}

QStringList PresetTitlesFor(const std::vector<TPresetsProperty>& presets, const QString& key) {
  QStringList titles;
  for (const TPresetsProperty& preset : presets)
    if (TrailingNumber(preset.RadarTypeStr) == key) titles.push_back(preset.Title);
  return titles;
}

QString PresetTypeField(const QString& radarTypeStr, bool severalRadars, const QString& deviceName) {
  if (!severalRadars) return radarTypeStr;
  const QString device = deviceName.size() > 3 ? deviceName.mid(3) : deviceName;
  return device + QString(12, u' ');
}

QString PresetSettingsFileName(const QString& presetsFolder, const QString& typeField, const QString& chosen) {
  QString name = ExtractFileName(chosen);
  if (name.size() > PresetTypeLength && name.startsWith(QStringLiteral("Qel"))) name = name.mid(PresetTypeLength);
  if (!name.startsWith(typeField)) name = typeField + name;
  return IncludeTrailingPathDelimiter(presetsFolder) + name;
}
