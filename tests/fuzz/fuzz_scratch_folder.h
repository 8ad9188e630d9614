#pragma once
// A temporary folder for harness bodies that must go through a file. Thousands
// of inputs each rewrite a small file, which costs milliseconds per write on a
// disk file system and microseconds in memory: the folder lies in /dev/shm when
// the machine has one, else in the usual temporary folder.

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

inline const QTemporaryDir& FuzzScratchFolder() {
  static const QTemporaryDir folder([] {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return base + QStringLiteral("/gpr-fuzz-XXXXXX");
  }());
  return folder;
}
