#pragma once
// User-facing texts as named resource strings. Each is declared once with its
// English text:
//   RESOURCESTRING(SFileNotFound, "File not found");
//   ... LoadResString(SFileNotFound)
// A language module, registered per locale id (1033 English, 25 Russian, 2052
// Chinese, 21 Polish, 1034 Spanish, 1055 Turkish, 7 German, 16 Italian,
// 34 Ukrainian, 12 French), replaces texts by name; a name the module lacks keeps
// its English text. Reads are thread-safe and may run while the language changes.

#include <QHash>
#include <QString>

struct TResourceString {
  const char* name;
  const char16_t* english;
};

#define RESOURCESTRING(id, text) inline constexpr TResourceString id{#id, u"" text}

// The current language module's text, else the English one.
QString LoadResString(const TResourceString& resource);

// Selects the module for `localeId`; a locale without a module shows English.
void SetResourceLanguage(int localeId);
int ResourceLanguage();  // 1033 until set
// Adds or replaces the module of a locale.
void RegisterLanguageModule(int localeId, QHash<QString, QString> textsByName);
// Registers the [Strings] section of a UTF-16 INI file (name=text lines) as the
// module of `localeId`; false, with nothing changed, when the file is missing or
// has no such section.
bool LoadLanguageModuleFile(int localeId, const QString& iniFileName);
