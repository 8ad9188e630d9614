#pragma once
// The words of the acquisition program's command line, and what a second
// instance hands over to the running one.
//
//   Talvorn3 <file>                    open the profile
//   Talvorn3 reopen <file>             open it for the planning program (mark 102)
//   Talvorn3 reopensaveclose <file>    the same, marked 103
//   Talvorn3 create                    a new recording window
//   Talvorn3 open ""                   start without a file (the planning program's word)
//
// Pure functions; `arguments` never holds the program's own name.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The code of the copy-data request that hands a file over to the running
// instance, and the result that instance answers once the file is open.
inline constexpr uint64_t cdOpenFile = 100;
// The other codes of the link with the planning program (main_copydata.cpp).
inline constexpr uint64_t cdOpenFileWithOffsets = 101;
inline constexpr uint64_t cdReloadFile = 102;
inline constexpr uint64_t cdReloadSaveClose = 103;
inline constexpr uint64_t cdCreateProfile = 200;
inline constexpr uint64_t cdCreateArcProfile = 201;
inline constexpr uint64_t cdFilesSaved = 300;
inline constexpr uint64_t cdLanguageChanged = 400;
// How a window was opened: the marks of LastCopydataMessage.
inline constexpr int MarkReopen = 102;
inline constexpr int MarkReopenSaveClose = 103;
inline constexpr int MarkCreated = 200;

// The main window's class name, by which the other instance and the planning
// program find it.
inline constexpr char16_t MainWindowClassName[] = u"DUvova3DuruZuza";

inline const QString& ArgumentAt(const QStringList& arguments, int index) {
  static const QString empty;
  return index < arguments.size() ? arguments[index] : empty;
}

// The file of a command line and its mark (0 for none): `reopen` and
// `reopensaveclose` take the second argument, anything else is the file.
struct TCommandLineFile {
  QString FileName;
  int Mark = 0;
};
TCommandLineFile CommandLineFile(const QStringList& arguments);

// Profiles open from the command line only with the extension exactly ".dezo"
// or ".frn" (case-sensitive: "profile.DEZO" is not opened).
bool IsCommandLineProfile(const QString& fileName);

// What a second instance hands over: the file of the command line. Nothing for
// an empty command line, a bare `reopen`, or one of the program words
// (`create`, `open`), which are no file names: the second instance then only
// brings the running one to the front.
std::optional<QString> HandOverText(const QStringList& arguments);
