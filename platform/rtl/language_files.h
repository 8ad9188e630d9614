#pragma once
// The two files that carry the interface language, shared by both programs:
//
// - The language file "Language" in the program folder: a UTF-16 INI file with
//   section "General", key "Language" = the locale id of the interface. Either
//   program writes it when the user switches the language; both read it at start.
// - One language module per locale id beside the executable, named after the
//   executable: "<name without extension>_<locale id>.lng", a UTF-16 INI file
//   whose [Strings] section holds name=text lines for the resource strings.
//   English (1033) is built in and needs no file.
//
// Threads: user-interface thread.

#include <QString>

#include <optional>

inline constexpr int EnglishLocaleId = 1033;

// Program folder + "Language".
QString LanguageFileName();
// The locale id the language file holds (1033 when the key is missing or not a
// number); nullopt when there is no language file.
std::optional<int> ReadLanguageFile();
// Writes the locale id into the language file, keeping whatever else it holds;
// the file is replaced in one step. EFCreateError when it cannot be written.
void WriteLanguageFile(int localeId);

// The module file of a locale beside the executable.
QString LanguageModuleFileName(int localeId);
// Makes the module of the locale the program's texts: true for English, true
// when the locale's module file was read (the texts then come from it), false
// with the current language unchanged when there is no module for the locale.
bool LoadLanguageModule(int localeId);
