#pragma once
// The rules of the main window's file commands that need no window: the
// recent-files list and the preset files' names.
//
// Threads: any.

#include "profiledata/gpr_constants.h"

#include <QString>
#include <QStringList>

#include <vector>

// The recent-files list holds at most nine paths, the newest first. A path
// already listed (in any letter case) moves to the top instead of repeating.
inline constexpr int RecentFilesCount = 9;
void PutOnTopOfRecentFiles(QStringList& list, const QString& path);
// The menu caption of a recent file: "&" + its place (from 1) + " " + path; and
// the path of such a caption (the caption without its first three characters).
QString RecentFileCaption(int place, const QString& path);
QString RecentFilePath(const QString& caption);

// The last run of digits and '-' of a text, after skipping the trailing
// characters that are neither (a type string ending in a number followed by
// blanks gives that number); empty when there is none.
QString TrailingNumber(const QString& text);

// A preset file: folder "setofpresets", named the radar's type string padded
// with blanks to 16 characters, then the title, then ".bstt". Its type string
// is the first 16 characters without trailing blanks, its title the
// characters from 17 up to the extension (empty for a shorter name).
inline constexpr int PresetTypeLength = 16;
TPresetsProperty PresetFromFileName(const QString& fileName);
// The ".bstt" files of the folder (names without folder), sorted.
std::vector<TPresetsProperty> ScanPresetFolder(const QString& folder);
// The type string a preset file name starts with: "300" without a radar, else
// the radar's key padded with blanks to 16 characters.
QString PresetTypePrefix(bool haveRadar, const QString& radarKey);
// The titles whose type string names the key's number.
QStringList PresetTitlesFor(const std::vector<TPresetsProperty>& presets, const QString& key);

// The type field a preset is saved under from the settings window: the
// radar's type string for presets; for a set of several radars the device
// name without its first three characters (when it is longer than three)
// followed by 12 blanks.
QString PresetTypeField(const QString& radarTypeStr, bool severalRadars, const QString& deviceName);
// Where a preset's settings go, from the file chosen in the save dialog: its
// name part s; a name longer than 16 characters that begins with "Qel" loses
// its first 16 characters; a name that begins with the type field is kept,
// any other gets it in front; the file lies in the presets folder.
QString PresetSettingsFileName(const QString& presetsFolder, const QString& typeField, const QString& chosen);
