// The acquisition program as real processes: one instance per user, a second
// instance's file handed over to the running one (also during its splash), the
// command line's folder kept in the settings file, and a killed holder that
// leaves nothing in the way of the next start. Each program runs as a copy in a
// temporary program folder, with a temporary runtime folder for its locks and
// its endpoint.

#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/ipc/one_instance.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"
#include "tests/profiledata/record_fixture_builders.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace instance_test {

const QString kMainWindow = QStringLiteral("DUvova3DuruZuza");
constexpr auto kPatience = std::chrono::seconds(30);

bool WaitUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // A process's end reaches its QProcess through the event loop.
    QCoreApplication::processEvents();
  }
  return true;
}

class AcquisitionInstances : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(program.isValid());
    ASSERT_TRUE(runtime.isValid());
    SetIpcRuntimeFolder(runtime.path());
    const QFileInfo original(QStringLiteral(TALVORN3_EXE));
    executable = program.filePath(original.fileName());
    ASSERT_TRUE(QFile::copy(original.filePath(), executable));
    // Any radar link stays on this machine; new files go to a folder of ours.
    TMemIniFile ini(Ini());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), QStringLiteral("127.0.0.1"));
    ini.WriteInteger(QStringLiteral("WIFI"), QStringLiteral("port"), 1);
    ini.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), kStartFolder);
    ini.UpdateFile();
  }
  void TearDown() override {
    for (auto& process : processes) {
      if (process->state() == QProcess::NotRunning) continue;
      process->kill();
      process->waitForFinished(10000);
    }
    SetIpcRuntimeFolder({});
  }

  QString Ini() const { return program.filePath(QStringLiteral("talvorn3.ini")); }
  QString IniLastFolder() const {
    TMemIniFile ini(Ini());
    return ini.ReadString(QStringLiteral("General"), QStringLiteral("LastFolder"), QString());
  }
  QStringList IniHistory() const {
    TMemIniFile ini(Ini());
    QStringList files;
    for (int i = 0; i < 9; ++i) {
      const QString file = ini.ReadString(QStringLiteral("History"), QString::number(i), QString());
      if (!file.isEmpty()) files << file;
    }
    files.sort();
    return files;
  }

  // A single-channel profile of three traces, without markers.
  QString WriteProfile(const QString& relative) {
    const QString file = program.filePath(relative);
    EXPECT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    record_fixtures::TRecordFields f;
    f.longTrace = 16;
    f.surface.clear();
    f.objects.clear();
    f.polylines.clear();
    f.FillRaw();
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(record_fixtures::BuildWgpr(f, 42));
    return file;
  }

  QProcess& Start(const QStringList& arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setWorkingDirectory(program.path());
    process->start(executable, arguments);
    EXPECT_TRUE(process->waitForStarted(30000)) << process->errorString().toStdString();
    processes.push_back(std::move(process));
    return *processes.back();
  }
  // The start-up is over once the endpoint answers: it is served by the loop.
  static bool WaitRunning() {
    return WaitUntil([] { return SendCopyData(kMainWindow, 999, {}) == 0; });
  }
  static void Terminate(QProcess& process) {
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGTERM), 0);
    ASSERT_TRUE(process.waitForFinished(30000)) << "still running after SIGTERM";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
  }
  bool LockHeld() const {
    TInstanceLock probe;
    return !probe.Acquire(runtime.path(), QStringLiteral("Talvorn3"));
  }

  const QString kStartFolder = QStringLiteral("/nowhere/start/");
  QTemporaryDir program;
  QTemporaryDir runtime;
  QString executable;
  std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(AcquisitionInstances, OfTwoStartedAtOnceOneRunsAndTheOtherEnds) {
  QProcess& a = Start({});
  QProcess& b = Start({});
  ASSERT_TRUE(WaitUntil([&] { return a.state() == QProcess::NotRunning || b.state() == QProcess::NotRunning; }));
  QProcess& ended = a.state() == QProcess::NotRunning ? a : b;
  QProcess& running = &ended == &a ? b : a;
  EXPECT_EQ(ended.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(ended.exitCode(), 0);
  ASSERT_EQ(running.state(), QProcess::Running);
  EXPECT_TRUE(LockHeld());
  ASSERT_TRUE(WaitRunning());
  Terminate(running);
  EXPECT_FALSE(LockHeld());
}

TEST_F(AcquisitionInstances, ASecondInstanceHandsItsFileOverEvenDuringTheSplash) {
  const QString profile = WriteProfile(QStringLiteral("surveys/line 2.dezo"));
  const QString another = WriteProfile(QStringLiteral("surveys/line 3.dezo"));
  QProcess& first = Start({});
  // The endpoint is bound before the splash, which holds the loop for 1.5 s.
  ASSERT_TRUE(WaitUntil([] { return FindWindow(kMainWindow); }));
  QProcess& second = Start({QStringLiteral("reopen"), profile});
  ASSERT_TRUE(second.waitForFinished(30000)) << "the second instance did not end";
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);

  // The running instance answers a hand-over once the file is open.
  EXPECT_EQ(SendCopyData(kMainWindow, 100, CopyDataTextBytes(another)), 100);
  Terminate(first);
  // Its windows held both profiles when they closed.
  EXPECT_EQ(IniHistory(), QStringList({profile, another}));
  EXPECT_EQ(IniLastFolder(), kStartFolder) << "a hand-over leaves the folder";
}

TEST_F(AcquisitionInstances, TheCommandLinesFolderIsKeptOnlyForAProfile) {
  const QString profile = WriteProfile(QStringLiteral("lines/a.dezo"));
  QFile::copy(profile, program.filePath(QStringLiteral("lines/profile.DEZO")));
  struct TCase {
    QString argument;
    QString folder;
  };
  const TCase cases[] = {
      {program.filePath(QStringLiteral("lines/profile.DEZO")), kStartFolder},
      {profile, program.filePath(QStringLiteral("lines/"))},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.argument.toStdString());
    QProcess& process = Start({QStringLiteral("reopen"), c.argument});
    ASSERT_TRUE(WaitRunning());
    Terminate(process);
    EXPECT_EQ(IniLastFolder(), c.folder);
  }
}

TEST_F(AcquisitionInstances, AfterAKilledHolderANewStartIsTheFirst) {
  QProcess& holder = Start({});
  ASSERT_TRUE(WaitRunning());
  holder.kill();
  ASSERT_TRUE(holder.waitForFinished(30000));
  EXPECT_FALSE(LockHeld());

  QProcess& next = Start({});
  ASSERT_TRUE(WaitRunning()) << "the new start binds over the dead endpoint";
  EXPECT_EQ(next.state(), QProcess::Running);
  EXPECT_TRUE(LockHeld());
  Terminate(next);
}

}  // namespace instance_test
