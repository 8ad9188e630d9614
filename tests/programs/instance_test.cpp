// The acquisition program as real processes: one instance per user, a second
// instance's file handed over to the running one (also during its splash), the
// command line's folder kept in the settings file, and a killed holder that
// leaves nothing in the way of the next start. Each program runs as a copy in a
// temporary program folder, with a temporary runtime folder for its locks and
// its endpoint.

#include "platform/ipc/endpoint.h"
#include "platform/ipc/one_instance.h"
#include "platform/rtl/ini_files.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/programs/program_copy.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <functional>
#include <memory>
#include <vector>

namespace instance_test {

using program_copy::kMainWindow;
using program_copy::WaitRunning;
using program_copy::WaitUntil;

class AcquisitionInstances : public testing::Test {
protected:
  void SetUp() override { copy.Prepare(kStartFolder); }
  void TearDown() override {
    for (auto& process : processes) {
      if (process->state() == QProcess::NotRunning) continue;
      process->kill();
      process->waitForFinished(10000);
    }
    program_copy::TTalvornCopy::Release();
  }

  QString Ini() const { return copy.Ini(); }
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
    const QString file = copy.program.filePath(relative);
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
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(copy.Environment());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setWorkingDirectory(copy.program.path());
    process->start(copy.executable, arguments);
    EXPECT_TRUE(process->waitForStarted(30000)) << process->errorString().toStdString();
    processes.push_back(std::move(process));
    return *processes.back();
  }
  static void Terminate(QProcess& process) {
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGTERM), 0);
    ASSERT_TRUE(process.waitForFinished(30000)) << "still running after SIGTERM";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
  }
  bool LockHeld() const {
    TInstanceLock probe;
    return !probe.Acquire(copy.runtime.path(), QStringLiteral("Talvorn3"));
  }

  const QString kStartFolder = QStringLiteral("/nowhere/start/");
  program_copy::TTalvornCopy copy;
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
  QFile::copy(profile, copy.program.filePath(QStringLiteral("lines/profile.DEZO")));
  struct TCase {
    QString argument;
    QString folder;
  };
  const TCase cases[] = {
      {copy.program.filePath(QStringLiteral("lines/profile.DEZO")), kStartFolder},
      {profile, copy.program.filePath(QStringLiteral("lines/"))},
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
