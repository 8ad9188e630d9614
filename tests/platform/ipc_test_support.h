#pragma once
// Shared by the program-link tests: a private runtime folder per test, waiting
// on a condition while the event loop runs, and the peer program.

#include "platform/ipc/runtime_folder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Every test runs in its own runtime folder (QTemporaryDir makes it 0700).
class IpcFolderTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    SetIpcRuntimeFolder(folder.path());
  }
  void TearDown() override { SetIpcRuntimeFolder({}); }

  QTemporaryDir folder;
};

// Sets an environment variable for the scope and restores it after.
class TScopedEnvironment {
public:
  TScopedEnvironment(const char* name, const QByteArray& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~TScopedEnvironment() {
    if (had_) qputenv(name_, saved_);
    else qunsetenv(name_);
  }
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

private:
  const char* name_;
  bool had_;
  QByteArray saved_;
};

// Runs the event loop until `done` holds or the deadline passes.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
  const QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

// The peer program in the test's runtime folder; killed if still running at the end.
class TIpcPeer {
public:
  TIpcPeer(const QString& runtimeFolder, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QStringLiteral(IPC_PEER_EXE), arguments);
  }
  ~TIpcPeer() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished(10000);
    }
  }
  bool Started() { return process.waitForStarted(10000); }
  // The next line the peer prints, without its end; empty when none came in time.
  QByteArray ReadLine(int timeoutMs = 10000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!process.canReadLine()) {
      const qint64 left = deadline.remainingTime();
      if (left <= 0 || !process.waitForReadyRead(static_cast<int>(left))) break;
    }
    return process.canReadLine() ? process.readLine().trimmed() : QByteArray();
  }
  // Closes its stdin (the peer's signal to end) and waits; the exit code, or -1.
  int Finish() {
    process.closeWriteChannel();
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
  }
  void Kill() {
    process.kill();
    process.waitForFinished(10000);
  }

  QProcess process;
};
