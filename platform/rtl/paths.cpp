#include "platform/rtl/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <mutex>
#include <unistd.h>

bool IsPathDelimiter(QChar c) { return c == u'/' || c == u'\\'; }

namespace {

qsizetype LastDelimiter(const QString& s) {
  for (qsizetype k = s.size() - 1; k >= 0; --k)
    if (IsPathDelimiter(s[k])) return k;
  return -1;
}

// Position of the extension's dot, or -1.
qsizetype ExtensionDot(const QString& s) {
  for (qsizetype k = s.size() - 1; k >= 0; --k) {
    if (s[k] == u'.') return k;
    if (IsPathDelimiter(s[k])) break;
  }
  return -1;
}

std::mutex& FolderMutex() {
  static std::mutex m;
  return m;
}
QString& FolderOverride() {
  static QString folder;
  return folder;
}

}  // namespace

QString ExtractFileName(const QString& fileName) { return fileName.mid(LastDelimiter(fileName) + 1); }

QString ExtractFilePath(const QString& fileName) { return fileName.left(LastDelimiter(fileName) + 1); }

QString ExtractFileDir(const QString& fileName) {
  const qsizetype k = LastDelimiter(fileName);
  if (k < 0) return QString();
  // Keep the delimiter of a root: "/x", "C:\x", "a//x" stop at their delimiter.
  const bool root = k == 0 || IsPathDelimiter(fileName[k - 1]) || fileName[k - 1] == u':';
  return fileName.left(root ? k + 1 : k);
}

QString ExtractFileExt(const QString& fileName) {
  const qsizetype dot = ExtensionDot(fileName);
  return dot < 0 ? QString() : fileName.mid(dot);
}

QString ChangeFileExt(const QString& fileName, const QString& extension) {
  const qsizetype dot = ExtensionDot(fileName);
  return (dot < 0 ? fileName : fileName.left(dot)) + extension;
}

QString IncludeTrailingPathDelimiter(const QString& path) {
  if (!path.isEmpty() && IsPathDelimiter(path.back())) return path;
  const bool windowsStyle = path.contains(u'\\') && !path.contains(u'/');
  return path + (windowsStyle ? QChar(u'\\') : PathDelim);
}

QString ExcludeTrailingPathDelimiter(const QString& path) {
  return !path.isEmpty() && IsPathDelimiter(path.back()) ? path.left(path.size() - 1) : path;
}

bool SameFileExt(const QString& a, const QString& b) {
  return QString::compare(ExtractFileExt(a), ExtractFileExt(b), Qt::CaseInsensitive) == 0;
}

QString NativePath(const QString& windowsStylePath) {
  QString path = windowsStylePath;
  return path.replace(u'\\', PathDelim);
}

bool FileExists(const QString& fileName) {
  const QFileInfo info(fileName);
  return info.exists() && !info.isDir();
}

bool DirectoryExists(const QString& directory) { return !directory.isEmpty() && QFileInfo(directory).isDir(); }

bool ForceDirectories(const QString& directory) {
  if (directory.isEmpty()) return false;
  return QDir().mkpath(directory) && DirectoryExists(directory);
}

bool DeleteFile(const QString& fileName) { return FileExists(fileName) && QFile::remove(fileName); }

bool RenameFile(const QString& oldName, const QString& newName) {
  if (QFileInfo::exists(newName) || QFileInfo(newName).isSymLink()) return false;
  return std::rename(QFile::encodeName(oldName).constData(), QFile::encodeName(newName).constData()) == 0;
}

QString ExeName() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf);
  return n > 0 ? QFile::decodeName(QByteArray(buf, static_cast<qsizetype>(n))) : QString();
}

QString ProgramFolder() {
  {
    std::lock_guard lock(FolderMutex());
    if (!FolderOverride().isEmpty()) return FolderOverride();
  }
  return ExtractFilePath(ExeName());
}

void SetProgramFolder(const QString& folder) {
  std::lock_guard lock(FolderMutex());
  FolderOverride() = folder.isEmpty() ? QString() : IncludeTrailingPathDelimiter(folder);
}
