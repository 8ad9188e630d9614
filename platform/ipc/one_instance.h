#pragma once
// One running instance per program and user: two lock files in the runtime
// folder (runtime_folder.h), named after the application title as the program's
// two instance mutexes are named:
//   A  title + ".OneInstance32.CriticalSection"  held (waiting) around the test
//   B  title + "OneInstance32.Default"           taken without waiting, kept
// Holding B is being the first instance. The locks are flock()s on files opened
// close-on-exec, so the kernel drops them when the holder ends however it ends
// (kill -9 included), and a program the holder starts never inherits them.
//
// Threads: any; one TInstanceLock is used by one thread at a time.

#include <QString>

QString InstanceLockNameA(const QString& title);
QString InstanceLockNameB(const QString& title);

class TInstanceLock {
public:
  TInstanceLock() = default;
  ~TInstanceLock() { Release(); }
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Runs the test in `folder` (which must already pass the runtime folder's
  // checks). True when this object now holds B; false when another holder has
  // it, or on an error (Error() then says why and nothing is held).
  bool Acquire(const QString& folder, const QString& title);
  bool Held() const { return fd_ >= 0; }
  void Release();
  const QString& Error() const { return error_; }
  const QString& LockFile() const { return lockFile_; }

private:
  int fd_ = -1;
  QString lockFile_;
  QString error_;
};

// The single-instance test of a program, run before its application object
// exists: false only when another process holds B for `title`. When the test
// cannot run at all (no usable runtime folder), the program counts as the first
// instance, so a broken folder never stops it from starting; *error (when
// given) then holds the reason. B stays held until the process ends; a second
// call for the same title in the holder returns true again.
bool IsFirstInstance(const QString& title, QString* error = nullptr);
