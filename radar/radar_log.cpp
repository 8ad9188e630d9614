#include "radar/radar_log.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/sys_utils.h"

#include <QFile>
#include <QFileInfo>

#include <map>

namespace {

std::shared_ptr<std::mutex> LockOfFile(const QString& fileName) {
  static std::mutex registryLock;
  static std::map<QString, std::weak_ptr<std::mutex>> locks;
  const QString key = QFileInfo(fileName).absoluteFilePath();
  std::lock_guard guard(registryLock);
  std::shared_ptr<std::mutex> lock = locks[key].lock();
  if (!lock) {
    lock = std::make_shared<std::mutex>();
    locks[key] = lock;
  }
  return lock;
}

}  // namespace

QString RadarLogFileName(const QString& suffix) {
  // Only the name is lower-cased: folders on this system are case-sensitive.
  const QString exe = LowerCase(ExtractFileName(ExeName()));
  return ProgramFolder() + ChangeFileExt(exe, QStringLiteral("_")) + suffix + QStringLiteral(".log");
}

void TRadarLog::Open(const QString& fileName) {
  fileName_ = fileName;
  fileLock_ = LockOfFile(fileName);
  std::lock_guard guard(*fileLock_);
  QFile file(fileName);
  if (file.exists()) {
    const int64_t blocks = file.size() / RadarLogBlockSize;
    if (blocks * RadarLogBlockSize > RadarLogLimit) file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  } else {
    file.open(QIODevice::WriteOnly);
  }
}

void TRadarLog::Write(const QString& text) const {
  if (!fileLock_) return;
  const QByteArray line =
      StringToAnsi(FormatDateTime(QStringLiteral("hh:nn:ss.zzz"), Now()) + u'\t' + text + QStringLiteral("\r\n"));
  std::lock_guard guard(*fileLock_);
  QFile file(fileName_);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
  file.write(line);
  file.flush();
}
