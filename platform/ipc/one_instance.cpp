#include "platform/ipc/one_instance.h"

#include "platform/ipc/ipc_strings.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/sys_utils.h"

#include <QByteArray>

#include <cerrno>
#include <memory>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The lock file opened close-on-exec; -1 with errno set on failure.
int OpenLockFile(const QString& fileName) {
  const QByteArray path = fileName.toLocal8Bit();
  int fd;
  do {
    fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

int Flock(int fd, int operation) {
  int rc;
  do {
    rc = flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

}  // namespace

QString InstanceLockNameA(const QString& title) { return title + QStringLiteral(".OneInstance32.CriticalSection"); }
QString InstanceLockNameB(const QString& title) { return title + QStringLiteral("OneInstance32.Default"); }

bool TInstanceLock::Acquire(const QString& folder, const QString& title) {
  Release();
  error_.clear();
  if (!UsableIpcName(title)) {
    error_ = Format(LoadResString(SIpcBadName), {title});
    return false;
  }
  const QString fileA = folder + u'/' + InstanceLockNameA(title);
  const QString fileB = folder + u'/' + InstanceLockNameB(title);
  const int fdA = OpenLockFile(fileA);
  if (fdA < 0) {
    error_ = IpcSystemError(fileA, errno);
    return false;
  }
  if (Flock(fdA, LOCK_EX) != 0) {
    error_ = IpcSystemError(fileA, errno);
    close(fdA);
    return false;
  }
  const int fdB = OpenLockFile(fileB);
  if (fdB < 0) {
    error_ = IpcSystemError(fileB, errno);
  } else if (Flock(fdB, LOCK_EX | LOCK_NB) == 0) {
    fd_ = fdB;
    lockFile_ = fileB;
  } else {
    if (errno != EWOULDBLOCK) error_ = IpcSystemError(fileB, errno);
    close(fdB);
  }
  Flock(fdA, LOCK_UN);
  close(fdA);
  return Held();
}

void TInstanceLock::Release() {
  if (fd_ < 0) return;
  close(fd_);  // closing the only descriptor of the open file drops the lock
  fd_ = -1;
  lockFile_.clear();
}

bool IsFirstInstance(const QString& title, QString* error) {
  // The kept locks of this process, one per lock file, alive until it ends.
  static std::mutex keptMutex;
  static std::vector<std::unique_ptr<TInstanceLock>> kept;

  const TIpcFolder folder = IpcRuntimeFolder();
  if (!folder.Ok()) {
    if (error) *error = folder.Error;
    return true;
  }
  std::lock_guard lock(keptMutex);
  const QString lockFile = folder.Path + u'/' + InstanceLockNameB(title);
  for (const auto& held : kept)
    if (held->LockFile() == lockFile) return true;
  auto instanceLock = std::make_unique<TInstanceLock>();
  const bool first = instanceLock->Acquire(folder.Path, title);
  if (first) {
    kept.push_back(std::move(instanceLock));
    return true;
  }
  if (!instanceLock->Error().isEmpty()) {
    if (error) *error = instanceLock->Error();
    return true;
  }
  return false;
}
