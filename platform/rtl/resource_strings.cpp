#include "platform/rtl/resource_strings.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"

#include <map>
#include <mutex>
#include <shared_mutex>

namespace {

constexpr int EnglishLocale = 1033;

struct LanguageState {
  std::shared_mutex mutex;
  int current = EnglishLocale;
  std::map<int, QHash<QString, QString>> modules;
};

LanguageState& State() {
  static LanguageState state;
  return state;
}

}  // namespace

QString LoadResString(const TResourceString& resource) {
  LanguageState& state = State();
  {
    std::shared_lock lock(state.mutex);
    const auto module = state.modules.find(state.current);
    if (module != state.modules.end()) {
      const auto text = module->second.constFind(QLatin1String(resource.name));
      if (text != module->second.constEnd()) return *text;
    }
  }
  return QString::fromUtf16(resource.english);
}

void SetResourceLanguage(int localeId) {
  std::unique_lock lock(State().mutex);
  State().current = localeId;
}

int ResourceLanguage() {
  std::shared_lock lock(State().mutex);
  return State().current;
}

void RegisterLanguageModule(int localeId, QHash<QString, QString> textsByName) {
  std::unique_lock lock(State().mutex);
  State().modules[localeId] = std::move(textsByName);
}

bool LoadLanguageModuleFile(int localeId, const QString& iniFileName) {
  if (!FileExists(iniFileName)) return false;
  const TMemIniFile ini(iniFileName);
  const QStringList names = ini.ReadSection(QStringLiteral("Strings"));
  if (names.isEmpty()) return false;
  QHash<QString, QString> texts;
  for (const QString& name : names)
    if (!texts.contains(name)) texts.insert(name, ini.ReadString(QStringLiteral("Strings"), name, QString()));
  RegisterLanguageModule(localeId, std::move(texts));
  return true;
}
