#pragma once

// The acquisition program as a real process in a folder of its own: a copy of
// the executable in a temporary program folder (its settings file lives beside
// it), a temporary runtime folder for its locks and endpoint, settings that
// keep any radar link on this machine, and the environment it runs headless in.

#include "platform/ipc/copy_data.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <thread>

namespace program_copy {

inline const QString kMainWindow = QStringLiteral("DUvova3DuruZuza");

// Polls until done() holds or the patience runs out. A process's end reaches
// its QProcess through the event loop, so the loop is served between polls.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::seconds patience = std::chrono::seconds(30)) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    QCoreApplication::processEvents();
  }
  return true;
}

// The start-up is over once the endpoint answers: it is served by the loop.
inline bool WaitRunning() {
  return WaitUntil([] { return SendCopyData(kMainWindow, 999, {}) == 0; });
}

class TTalvornCopy {
public:
  // Copies the program and writes its first settings; lastFolder is where
  // new files go. Call from a test fixture's SetUp (it asserts).
  void Prepare(const QString& lastFolder) {
    ASSERT_TRUE(program.isValid());
    ASSERT_TRUE(runtime.isValid());
    SetIpcRuntimeFolder(runtime.path());
    const QFileInfo original(QStringLiteral(TALVORN3_EXE));
    executable = program.filePath(original.fileName());
    ASSERT_TRUE(QFile::copy(original.filePath(), executable));
    TMemIniFile ini(Ini());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), QStringLiteral("127.0.0.1"));
    ini.WriteInteger(QStringLiteral("WIFI"), QStringLiteral("port"), 1);
    ini.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), lastFolder);
    ini.UpdateFile();
  }
  // Call from the fixture's TearDown, after the processes ended.
  static void Release() { SetIpcRuntimeFolder({}); }

  QString Ini() const { return program.filePath(QStringLiteral("talvorn3.ini")); }
  QProcessEnvironment Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("GPR_LOOPBACK_ONLY", "1");
    return env;
  }

  QTemporaryDir program;
  QTemporaryDir runtime;
  QString executable;
};

}  // namespace program_copy
