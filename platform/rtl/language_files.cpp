#include "platform/rtl/language_files.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/resource_strings.h"

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kLanguage = QStringLiteral("Language");

}  // namespace

QString LanguageFileName() { return ProgramFolder() + kLanguage; }

std::optional<int> ReadLanguageFile() {
  const QString fileName = LanguageFileName();
  if (!FileExists(fileName)) return std::nullopt;
  const TMemIniFile ini(fileName);
  return ini.ReadInteger(kGeneral, kLanguage, EnglishLocaleId);
}

void WriteLanguageFile(int localeId) {
  TMemIniFile ini(LanguageFileName());
  ini.WriteInteger(kGeneral, kLanguage, localeId);
  ini.UpdateFile();
}

QString LanguageModuleFileName(int localeId) {
  const QString exe = ExtractFileName(ExeName());
  const QString base = ChangeFileExt(exe, QString());
  return ProgramFolder() + base + u'_' + QString::number(localeId) + QStringLiteral(".lng");
}

bool LoadLanguageModule(int localeId) {
  // The module of a locale replaces the one read before, so texts removed from
  // the file do not linger.
  const bool loaded = LoadLanguageModuleFile(localeId, LanguageModuleFileName(localeId));
  if (!loaded && localeId != EnglishLocaleId) return false;
  if (!loaded) RegisterLanguageModule(EnglishLocaleId, {});
  SetResourceLanguage(localeId);
  return true;
}
