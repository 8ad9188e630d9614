// The acquisition program as a user runs it: the real Talvorn3, started with
// the word `create` on a virtual X server (Xvfb) from a program folder of its
// own whose settings point the Wi-Fi radar at a simulated unit on loopback
// TCP; keys pressed through xdotool. F2 records the unit's 200 traces, F2 stops,
// and the automatic save leaves the profile, which the channel store reads back
// as exactly those traces. With the test peer in the planning program's place,
// a profile it asked for (code 200) is reported when the stop saves it, and the
// peer's answer, a report back (300), is served while Talvorn3 waits.

#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/ipc/runtime_folder.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tests/radar/sim_expectations.h"
#include "tests/support/radarsim/sim_links.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>

namespace flagship_test {

constexpr uint32_t kTraces = 200;
const QString kMainCaption = QStringLiteral("Qel Ground Penetrating Radar");

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The acquisition program's presence, for the channel store that reads the
// saved profile back: with it the store keeps the samples it reads.
class TReadBackShell : public IAcquisitionShell {
public:
  TReadBackShell() { SetAcquisitionShell(this); }
  ~TReadBackShell() override { SetAcquisitionShell(nullptr); }
  ISettingsRadar* CurrentRadar() const override { return nullptr; }
  TTopoType CurrentTopoType() const override { return ttWheel; }
  uint16_t OdometerMult() const override { return 5; }
  IChannelWindow* ActiveChannelWindow() const override { return nullptr; }
  void SetErrorLoadFile(bool) override {}
};

// A virtual X server on a display number it picks itself; stopped with the object.
class TVirtualDisplay {
public:
  TVirtualDisplay() {
    process_.setProgram(QStringLiteral("Xvfb"));
    process_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                           QStringLiteral("0"), QStringLiteral("1280x900x24"), QStringLiteral("-nolisten"),
                           QStringLiteral("tcp")});
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(10000)) return;
    WaitFor(
        [this] {
          process_.waitForReadyRead(50);
          buffer_ += process_.readAllStandardOutput();
          return buffer_.contains('\n') || process_.state() != QProcess::Running;
        },
        std::chrono::seconds(20));
    bool ok = false;
    const int number = buffer_.trimmed().toInt(&ok);
    if (ok) display_ = QStringLiteral(":%1").arg(number);
  }
  ~TVirtualDisplay() {
    if (process_.state() == QProcess::Running) {
      process_.terminate();
      if (!process_.waitForFinished(5000)) process_.kill();
      process_.waitForFinished(5000);
    }
  }
  // ":N", or empty when the server did not start.
  const QString& Display() const { return display_; }

private:
  QProcess process_;
  QByteArray buffer_;
  QString display_;
};

class Flagship : public testing::Test {
protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
      GTEST_SKIP() << "Xvfb or xdotool is not installed";
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(runtime.isValid());
    data = folder.filePath(QStringLiteral("surveys")) + u'/';
    ASSERT_TRUE(QDir().mkpath(data));
  }
  void TearDown() override {
    // The program ends before its display does.
    if (program.state() == QProcess::Running) {
      ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
      if (!program.waitForFinished(20000)) program.kill();
      program.waitForFinished(5000);
    }
    screen.reset();
    SetIpcRuntimeFolder({});
  }
  QProcessEnvironment Environment(const QString& display) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("WAYLAND_DISPLAY");
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("GPR_LOOPBACK_ONLY", "1");
    return env;
  }
  // xdotool on the display; true when it succeeded.
  static bool XdoTool(const QString& display, const QStringList& arguments) {
    QProcess xdotool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    xdotool.setProcessEnvironment(env);
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForFinished(20000) && xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
  }
  // F2 into the program's main window, as the user presses it there.
  static bool PressF2(const QString& display) {
    return XdoTool(display, {QStringLiteral("search"), QStringLiteral("--name"), kMainCaption,
                             QStringLiteral("windowfocus"), QStringLiteral("--sync"), QStringLiteral("%1")}) &&
           XdoTool(display, {QStringLiteral("key"), QStringLiteral("F2")});
  }

  QTemporaryDir folder;
  QTemporaryDir runtime;
  QString data;
  std::unique_ptr<TVirtualDisplay> screen;
  QProcess program;
};

TEST_F(Flagship, TalvornStartedWithCreateRecordsTheUnitsTracesOnF2AndSavesThemOnF2) {
  screen = std::make_unique<TVirtualDisplay>();
  const QString display = screen->Display();
  ASSERT_FALSE(display.isEmpty()) << "Xvfb did not start";
  radarsim::TSimConfig unit;
  unit.TraceLimit = kTraces;
  unit.TraceIntervalMs = 1;
  unit.DeviceType = 8;  // a single-channel device box: the profile is one ".dezo"
  radarsim::TTcpRadarSim sim(unit);
  ASSERT_TRUE(sim.Ok());

  // The program folder: a copy of the executable and its settings.
  const QFileInfo original(QString::fromUtf8(TALVORN3_EXE));
  const QString executable = folder.filePath(original.fileName());
  ASSERT_TRUE(QFile::copy(original.filePath(), executable));
  {
    QFile ini(folder.filePath(QStringLiteral("talvorn3.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[WIFI]\r\nIP address=127.0.0.1\r\nport=%1\r\n"
                             "[General]\r\nLastFolder=%2\r\nPrefixFiles=line_\r\nCountFiles=7\r\n")
                  .arg(sim.Port())
                  .arg(data)
                  .toUtf8());
  }
  program.setProcessEnvironment(Environment(display));
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.setWorkingDirectory(folder.path());
  program.start(executable, {QStringLiteral("create")});
  ASSERT_TRUE(program.waitForStarted(30000)) << program.errorString().toStdString();

  // The window shows, and its ping timer finds the unit.
  ASSERT_TRUE(XdoTool(display, {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"),
                                         kMainCaption}));
  ASSERT_TRUE(WaitFor([&] { return sim.Connections() >= 1; }, std::chrono::seconds(30)))
      << "the program never connected";

  // F2 starts the recording once the radar is ready; until then it does
  // nothing, and is pressed again.
  const bool started = WaitFor(
      [&] {
        if (program.state() != QProcess::Running) return true;
        if (!PressF2(display)) return false;
        return sim.Engine().WaitUntil([](const radarsim::TRadarSimEngine& e) { return e.CountReceived(0x54) > 0; },
                                      std::chrono::seconds(3));
      },
      std::chrono::seconds(60));
  ASSERT_EQ(program.state(), QProcess::Running) << "the program ended";
  ASSERT_TRUE(started) << "F2 never started the unit";
  ASSERT_TRUE(sim.Engine().WaitUntil([](const radarsim::TRadarSimEngine& e) { return e.TracesSent() >= kTraces; },
                                     std::chrono::seconds(60)))
      << "sent " << sim.Engine().TracesSent();
  const QString saved = data + QStringLiteral("line_7.dezo");
  EXPECT_FALSE(QFile::exists(saved)) << "nothing is saved while it records";

  // F2 stops it, and the stop saves the recording.
  ASSERT_TRUE(PressF2(display));
  ASSERT_TRUE(sim.Engine().WaitUntil([](const radarsim::TRadarSimEngine& e) { return e.CountReceived(0x56) > 0; },
                                     std::chrono::seconds(20)))
      << "F2 did not stop the unit";
  ASSERT_TRUE(WaitFor([&] { return QFile::exists(saved); }, std::chrono::seconds(30))) << saved.toStdString();

  TReadBackShell shell;
  T2Dview loaded(nullptr);
  ASSERT_TRUE(loaded.LoadFromFile(saved));
  ASSERT_EQ(loaded.NumTraces(), static_cast<int64_t>(kTraces));
  const int longTrace = loaded.Settings()->GetLongTrace();
  ASSERT_GT(longTrace, 0);
  const int32_t* raw = loaded.RawData.Data();
  ASSERT_NE(raw, nullptr);
  for (uint32_t k = 0; k < kTraces; ++k) {
    const std::vector<int32_t> expected = ExpectedSamples(sim.Engine().TraceSpecOf(k + 1));
    const size_t n = std::min(expected.size(), static_cast<size_t>(longTrace));
    const int32_t* trace = raw + static_cast<size_t>(k) * static_cast<size_t>(longTrace);
    for (size_t i = 0; i < n; ++i) ASSERT_EQ(trace[i], expected[i]) << "trace " << k + 1 << " sample " << i;
  }
  EXPECT_EQ(sim.Engine().TracesSent(), kTraces);
}

TEST_F(Flagship, TheSaveOfAProfileThePlanningProgramAskedForIsReportedAndItsReportBackServed) {
  screen = std::make_unique<TVirtualDisplay>();
  const QString display = screen->Display();
  ASSERT_FALSE(display.isEmpty()) << "Xvfb did not start";
  radarsim::TSimConfig unit;
  unit.TraceLimit = 50;
  unit.TraceIntervalMs = 1;
  unit.DeviceType = 8;
  radarsim::TTcpRadarSim sim(unit);
  ASSERT_TRUE(sim.Ok());
  const QFileInfo original(QString::fromUtf8(TALVORN3_EXE));
  const QString executable = folder.filePath(original.fileName());
  ASSERT_TRUE(QFile::copy(original.filePath(), executable));
  {
    QFile ini(folder.filePath(QStringLiteral("talvorn3.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[WIFI]\r\nIP address=127.0.0.1\r\nport=%1\r\n"
                             "[General]\r\nLastFolder=%2\r\nPrefixFiles=line_\r\nCountFiles=7\r\n")
                  .arg(sim.Port())
                  .arg(data)
                  .toUtf8());
  }
  // The planning program: reports each request back to Talvorn3 as saved (300).
  QProcess planning;
  planning.setProcessEnvironment(Environment(display));
  planning.start(QStringLiteral(IPC_PEER_EXE), {QStringLiteral("planning"), QStringLiteral("TViviraMainForm"),
                                               QStringLiteral("DUvova3DuruZuza"), QStringLiteral("300")});
  ASSERT_TRUE(planning.waitForStarted(30000));
  QByteArray said;
  const auto until = [&](const QByteArray& text, std::chrono::seconds limit) {
    return WaitFor(
        [&] {
          planning.waitForReadyRead(20);
          said += planning.readAllStandardOutput();
          return said.contains(text);
        },
        limit);
  };
  ASSERT_TRUE(until("ready\n", std::chrono::seconds(20)));

  program.setProcessEnvironment(Environment(display));
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.setWorkingDirectory(folder.path());
  program.start(executable, {});
  ASSERT_TRUE(program.waitForStarted(30000)) << program.errorString().toStdString();
  SetIpcRuntimeFolder(runtime.path());
  ASSERT_TRUE(WaitFor([] { return SendCopyData(QStringLiteral("DUvova3DuruZuza"), 999, {}) == 0; },
                      std::chrono::seconds(30)));
  // The planning program asks for a new profile.
  EXPECT_EQ(SendCopyData(QStringLiteral("DUvova3DuruZuza"), 200, {}), 200);
  ASSERT_TRUE(WaitFor([&] { return sim.Connections() >= 1; }, std::chrono::seconds(30)));
  const bool started = WaitFor(
      [&] {
        if (program.state() != QProcess::Running) return true;
        if (!PressF2(display)) return false;
        return sim.Engine().WaitUntil([](const radarsim::TRadarSimEngine& e) { return e.CountReceived(0x54) > 0; },
                                      std::chrono::seconds(3));
      },
      std::chrono::seconds(60));
  ASSERT_EQ(program.state(), QProcess::Running);
  ASSERT_TRUE(started) << "F2 never started the unit";
  ASSERT_TRUE(sim.Engine().WaitUntil([](const radarsim::TRadarSimEngine& e) { return e.TracesSent() >= 50; },
                                     std::chrono::seconds(60)));
  ASSERT_TRUE(PressF2(display));
  const QString saved = data + QStringLiteral("line_7.dezo");
  ASSERT_TRUE(WaitFor([&] { return QFile::exists(saved); }, std::chrono::seconds(30))) << saved.toStdString();

  // The stop's save is reported with the window's caption; the report back
  // reached Talvorn3 while it waited, and both go on answering.
  ASSERT_TRUE(until("back ", std::chrono::seconds(30))) << said.toStdString();
  EXPECT_TRUE(said.contains("got 300 " + saved.toUtf8() + "\n")) << said.toStdString();
  EXPECT_TRUE(said.contains("back 102\n")) << said.toStdString();
  EXPECT_EQ(SendCopyData(QStringLiteral("DUvova3DuruZuza"), 999, {}), 0);
  EXPECT_EQ(SendCopyData(QStringLiteral("TViviraMainForm"), 1, {}).has_value(), true);
  planning.closeWriteChannel();
  EXPECT_TRUE(planning.waitForFinished(20000));
}

}  // namespace flagship_test
