// The two programs start, wait in their message loop and end cleanly (exit code
// 0) on SIGTERM and SIGINT. Each runs as a copy in a temporary program folder
// with its own settings, so what it writes stays there.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

// True once the process has a handler for signal (SigCgt in /proc/<pid>/status).
bool CatchesSignal(qint64 pid, int signal) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (!line.startsWith("SigCgt:")) continue;
    bool ok = false;
    const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
    return ok && (mask & (qulonglong{1} << (signal - 1))) != 0;
  }
  return false;
}

struct TProgramCase {
  const char* executable;
  int signal;
  bool withoutDisplay;  // no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM: the program picks offscreen
};

void PrintTo(const TProgramCase& c, std::ostream* os) {
  *os << c.executable << " signal " << c.signal << (c.withoutDisplay ? " without display" : " offscreen");
}

class ProgramLifecycle : public ::testing::TestWithParam<TProgramCase> {};

TEST_P(ProgramLifecycle, RunsUntilSignalledAndExitsWithCodeZero) {
  const TProgramCase c = GetParam();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  if (c.withoutDisplay)
    env.remove("QT_QPA_PLATFORM");
  else
    env.insert("QT_QPA_PLATFORM", "offscreen");
  // The program folder: a copy of the executable and a settings file that keeps
  // any radar link on this machine.
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QFileInfo original(QString::fromUtf8(c.executable));
  const QString executable = folder.filePath(original.fileName());
  ASSERT_TRUE(QFile::copy(original.filePath(), executable));
  const QString settings = folder.filePath(original.fileName().toLower() + QStringLiteral(".ini"));
  {
    QFile ini(settings);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[WIFI]\r\nIP address=127.0.0.1\r\nport=1\r\n");
  }
  // Its own runtime folder: another program of the suite running meanwhile
  // would otherwise be the first instance, and this one would end at once.
  QTemporaryDir runtime;
  ASSERT_TRUE(runtime.isValid());
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  QProcess process;
  process.setProcessEnvironment(env);
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.setWorkingDirectory(folder.path());
  process.start(executable, {});
  ASSERT_TRUE(process.waitForStarted(30000)) << process.errorString().toStdString();
  const qint64 pid = process.processId();

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!CatchesSignal(pid, c.signal) && process.state() == QProcess::Running &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(process.state(), QProcess::Running) << "the program ended on its own";
  ASSERT_TRUE(CatchesSignal(pid, c.signal)) << "no handler installed";

  ASSERT_EQ(::kill(static_cast<pid_t>(pid), c.signal), 0);
  ASSERT_TRUE(process.waitForFinished(30000)) << "still running after the signal";
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0);
  if (original.fileName() == QStringLiteral("Talvorn3")) {
    // The acquisition program kept its settings and wrote its language file in
    // its own folder, and nothing beside the build's executable.
    QFile ini(settings);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().startsWith("\xFF\xFE")) << "written back as UTF-16";
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("Language"))));
    EXPECT_FALSE(QFile::exists(original.dir().filePath(QStringLiteral("talvorn3.ini"))));
    EXPECT_FALSE(QFile::exists(original.dir().filePath(QStringLiteral("Language"))));
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramLifecycle,
                         ::testing::Values(TProgramCase{TALVORN3_EXE, SIGTERM, false},
                                           TProgramCase{VANDREL_EXE, SIGTERM, false},
                                           TProgramCase{TALVORN3_EXE, SIGINT, true},
                                           TProgramCase{VANDREL_EXE, SIGINT, true}));

}  // namespace
