#pragma once
// File names and the file system. Both '/' and '\' delimit folders, so Windows
// paths stored in old files split as they were written; what the functions build
// uses '/' (the native delimiter). The program folder is the executable's folder
// unless a test points it elsewhere.

#include <QString>

inline constexpr QChar PathDelim = u'/';

bool IsPathDelimiter(QChar c);  // '/' or '\'

QString ExtractFileName(const QString& fileName);  // after the last delimiter
QString ExtractFilePath(const QString& fileName);  // up to and including the last delimiter
// ExtractFilePath without its trailing delimiter, except for a root ("/", "C:\").
QString ExtractFileDir(const QString& fileName);
// From the last '.' of the name part, dot included ("" when there is none).
QString ExtractFileExt(const QString& fileName);
// Replaces (or adds) the extension; `extension` includes its dot.
QString ChangeFileExt(const QString& fileName, const QString& extension);
// Adds '/' unless the path ends with a delimiter ('\' when the path only uses '\').
QString IncludeTrailingPathDelimiter(const QString& path);
// Removes one trailing delimiter.
QString ExcludeTrailingPathDelimiter(const QString& path);
// Compares the extensions of two names without case; an extension alone (".gpr")
// stands for itself.
bool SameFileExt(const QString& a, const QString& b);

// Turns a path written with '\' (a relative one such as "..\data\") into the
// native form ("../data/").
QString NativePath(const QString& windowsStylePath);

bool FileExists(const QString& fileName);        // an existing file, not a folder
bool DirectoryExists(const QString& directory);
// Creates the folder and any missing parents; true when it exists afterwards.
bool ForceDirectories(const QString& directory);
bool DeleteFile(const QString& fileName);
// Fails, as on the original system, when `newName` already exists.
bool RenameFile(const QString& oldName, const QString& newName);

// The executable's folder with a trailing '/', or the folder set by
// SetProgramFolder (an empty path restores the executable's). Thread-safe.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);
QString ExeName();  // the executable's full path
