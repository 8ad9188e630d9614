#include "platform/ipc/runtime_folder.h"

#include "platform/ipc/ipc_strings.h"
#include "platform/rtl/sys_utils.h"

#include <QByteArray>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex folderMutex;
QString folderOverride;

QString FolderError(const TResourceString& text, const QString& folder) {
  return Format(LoadResString(text), {folder});
}

}  // namespace

bool UsableIpcName(const QString& name) {
  return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
         !name.contains(QChar(0));
}

QString IpcSystemError(const QString& what, int error) {
  return Format(LoadResString(SIpcSystemError), {what, QString::fromLocal8Bit(std::strerror(error))});
}

QString CheckPrivateFolder(const QString& folder, bool createMissing) {
  if (folder.isEmpty()) return FolderError(SIpcFolderMissing, folder);
  const QByteArray path = folder.toLocal8Bit();
  struct stat info{};
  if (lstat(path.constData(), &info) != 0) {
    if (errno != ENOENT || !createMissing) return FolderError(SIpcFolderMissing, folder);
    // mkdir applies the umask, which can only take rights away from 0700; an
    // existing entry made by someone else in between fails the checks below.
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
      return IpcSystemError(folder, errno);
    if (lstat(path.constData(), &info) != 0) return FolderError(SIpcFolderMissing, folder);
  }
  if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid() || (info.st_mode & 0777) != 0700)
    return FolderError(SIpcFolderNotPrivate, folder);
  return {};
}

void SetIpcRuntimeFolder(const QString& folder) {
  std::lock_guard lock(folderMutex);
  folderOverride = folder;
}

TIpcFolder IpcRuntimeFolder() {
  QString folder;
  {
    std::lock_guard lock(folderMutex);
    folder = folderOverride;
  }
  bool createMissing = false;
  if (folder.isEmpty()) folder = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
  if (folder.isEmpty()) {
    folder = QStringLiteral("/tmp/gpr-ipc-%1").arg(geteuid());
    createMissing = true;
  }
  while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
  TIpcFolder result;
  result.Error = CheckPrivateFolder(folder, createMissing);
  if (result.Ok()) result.Path = folder;
  return result;
}
