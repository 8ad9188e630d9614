#include "platform/ipc/start_program.h"

#include <QProcess>

std::optional<int64_t> StartProgram(const QString& path, const QStringList& arguments) {
  QProcess process;
  process.setProgram(path);
  process.setArguments(arguments);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  qint64 pid = 0;
  if (!process.startDetached(&pid)) return std::nullopt;
  return pid;
}
