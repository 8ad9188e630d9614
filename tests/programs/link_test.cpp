// The program link as two real processes: the acquisition program, started in
// a temporary program folder, and the test peer in the planning program's
// place, which sends each code the way the planning program does. The answers,
// the file a reopen-save-close writes back in place (a record and a container),
// and the language code, whose re-read of the language file shows that no
// radargram window is left.

#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/streams.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/channel_store.h"
#include "profiledata/channel_store_messages.h"
#include "profiledata/setting_data.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/programs/program_copy.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>
#include <functional>
#include <memory>
#include <optional>

namespace link_test {

using program_copy::kMainWindow;
using program_copy::WaitUntil;
constexpr int kTraces = 3;
constexpr int kLongTrace = 16;

// The acquisition program's presence, for the channel store that reads a file
// back: with it the store keeps the samples it reads.
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

record_fixtures::TRecordFields Fields() {
  record_fixtures::TRecordFields f;
  f.longTrace = kLongTrace;
  f.minTrace = 0;
  f.maxTrace = kTraces;
  f.surface.clear();
  f.objects.clear();
  f.polylines.clear();
  f.zeroLevel.clear();
  f.FillRaw();
  return f;
}

void PutLe32(QByteArray& bytes, qsizetype at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A container of one channel: the header (version 4: comment " ", device
// offsets, type, serial and profile kind), its end stored at byte 5, then the
// record, whose offsets count from the container's first byte.
QByteArray Container() {
  QByteArray header("FRN05");
  header.append(QByteArray(8, '\0')).append('\x04');
  header.append(QByteArray(8, '\0'));  // count and master, set below
  header.append('\x01').append(' ').append('\0');
  header.append(QByteArray(6 * 4, '\0'));
  PutLe32(header, 5, static_cast<uint32_t>(header.size()));
  PutLe32(header, 14, 1);
  PutLe32(header, 18, 0);
  return record_fixtures::BuildWgpr(Fields(), 42, header);
}

// The samples of the file's record at `at`, or nothing when it cannot be read.
std::optional<std::vector<int32_t>> SamplesOf(const QString& file, int64_t at) {
  TReadBackShell shell;
  T2Dview store(nullptr);
  const std::unique_ptr<TFileStream> stream = OpenFileForReading(file);
  if (!stream) return std::nullopt;
  stream->SetPosition(at);
  if (!store.LoadFromFileStream(file, *stream, at) || !store.RawData.Data()) return std::nullopt;
  return std::vector<int32_t>(store.RawData.Data(), store.RawData.Data() + store.RawData.Bytes() / 4);
}

class ProgramLink : public testing::Test {
protected:
  void SetUp() override {
    data = copy.program.filePath(QStringLiteral("data")) + u'/';
    ASSERT_TRUE(QDir().mkpath(data));
    copy.Prepare(data);
  }
  void TearDown() override {
    if (talvorn.state() != QProcess::NotRunning) {
      ::kill(static_cast<pid_t>(talvorn.processId()), SIGTERM);
      if (!talvorn.waitForFinished(20000)) talvorn.kill();
      talvorn.waitForFinished(5000);
    }
    program_copy::TTalvornCopy::Release();
  }
  QProcessEnvironment Environment() const { return copy.Environment(); }
  void StartTalvorn() {
    talvorn.setProcessEnvironment(Environment());
    talvorn.setProcessChannelMode(QProcess::ForwardedChannels);
    talvorn.setWorkingDirectory(copy.program.path());
    talvorn.start(copy.executable, {});
    ASSERT_TRUE(talvorn.waitForStarted(30000)) << talvorn.errorString().toStdString();
    // Running once its endpoint answers from the message loop.
    ASSERT_TRUE(program_copy::WaitRunning());
  }
  // The peer sends one code as the planning program does; its answer, or
  // nullopt when the program did not answer.
  std::optional<int64_t> PeerSends(uint64_t code, const QString& text = {}) const {
    QProcess peer;
    peer.setProcessEnvironment(Environment());
    peer.start(QStringLiteral(IPC_PEER_EXE),
               {QStringLiteral("send"), kMainWindow, QString::number(code), text});
    if (!peer.waitForFinished(120000) || peer.exitCode() != 0) return std::nullopt;
    const QByteArray line = peer.readAllStandardOutput().trimmed();
    if (!line.startsWith("result ")) return std::nullopt;
    return line.mid(7).toLongLong();
  }
  QString Write(const QString& name, const QByteArray& bytes) const {
    QFile file(data + name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return data + name;
  }
  QString LanguageFile() const { return copy.program.filePath(QStringLiteral("Language")); }
  // Code 400 re-reads the language only while no radargram window is open: a
  // language file removed before comes back.
  bool NoWindowOpen() const {
    QFile::remove(LanguageFile());
    return PeerSends(400, QStringLiteral("1033")) == 0 && QFile::exists(LanguageFile());
  }

  program_copy::TTalvornCopy copy;
  QString data;
  QProcess talvorn;
};

TEST_F(ProgramLink, TalvornAnswersTheCodesOfThePlanningProgram) {
  StartTalvorn();
  const QString a = Write(QStringLiteral("a.dezo"), record_fixtures::BuildWgpr(Fields(), 42));
  EXPECT_TRUE(NoWindowOpen());
  EXPECT_EQ(PeerSends(100, a), 100);
  EXPECT_FALSE(NoWindowOpen()) << "the language is not re-read under an open window";
  EXPECT_EQ(PeerSends(102, a), 102);
  EXPECT_EQ(PeerSends(300, a.toUpper()), 102);
  EXPECT_EQ(PeerSends(200), 200);
  EXPECT_EQ(PeerSends(201), 200);
  EXPECT_EQ(PeerSends(777, a), 0);
  EXPECT_EQ(PeerSends(0), 0);
  EXPECT_EQ(talvorn.state(), QProcess::Running);
}

TEST_F(ProgramLink, ReopenSaveCloseWritesARecordAndAContainerBackInPlaceAndLeavesNoWindow) {
  StartTalvorn();
  const QByteArray container = Container();
  const int64_t recordAt = container.indexOf("WGPR");
  struct TCase {
    QString file;
    int64_t recordAt;
  };
  const TCase cases[] = {
      {Write(QStringLiteral("line.dezo"), record_fixtures::BuildWgpr(Fields(), 42)), 0},
      {Write(QStringLiteral("pack.frn"), container), recordAt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    const std::optional<std::vector<int32_t>> before = SamplesOf(c.file, c.recordAt);
    ASSERT_TRUE(before.has_value());
    ASSERT_EQ(before->size(), size_t{kTraces * kLongTrace});
    const QDateTime old = QDateTime::fromSecsSinceEpoch(946684800);
    {
      QFile f(c.file);
      ASSERT_TRUE(f.open(QIODevice::ReadWrite));
      ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(PeerSends(100, data + QStringLiteral("line.dezo")), 100) << "a window to close first";
    EXPECT_EQ(PeerSends(103, c.file), 103);
    EXPECT_NE(QFileInfo(c.file).lastModified(), old) << "written again";
    QFile f(c.file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const int64_t at = bytes.indexOf("WGPR");
    EXPECT_EQ(bytes.startsWith("FRN05"), c.recordAt > 0);
    EXPECT_EQ(SamplesOf(c.file, at), before);
    EXPECT_TRUE(NoWindowOpen());
  }
}

// A planning program that answers a request by first sending 300 back to
// Talvorn3: the request comes back answered and Talvorn3 goes on answering.
// (The save report itself, from a main window that serves the 300 while it
// waits, is in the acquisition tests: main_link_peer_test.cpp.)
TEST_F(ProgramLink, APeerThatReportsBackWhileAnsweringDoesNotHoldTalvornUp) {
  StartTalvorn();
  const QString a = Write(QStringLiteral("a.dezo"), record_fixtures::BuildWgpr(Fields(), 42));
  ASSERT_EQ(PeerSends(102, a), 102);
  // The peer serves the planning class and answers each request by first
  // sending 300 with the same text to Talvorn3.
  QProcess planning;
  planning.setProcessEnvironment(Environment());
  planning.start(QStringLiteral(IPC_PEER_EXE), {QStringLiteral("planning"), QStringLiteral("TViviraMainForm"),
                                               kMainWindow, QStringLiteral("300")});
  ASSERT_TRUE(planning.waitForStarted(30000));
  QByteArray said;
  ASSERT_TRUE(WaitUntil([&] {
    planning.waitForReadyRead(20);
    said += planning.readAllStandardOutput();
    return said.contains("ready\n");
  }));
  // A request to the planning class, answered after its 300 reached Talvorn3.
  const std::optional<int64_t> result = SendCopyData(QStringLiteral("TViviraMainForm"), 102, CopyDataTextBytes(a));
  EXPECT_EQ(result, 1);
  ASSERT_TRUE(WaitUntil([&] {
    planning.waitForReadyRead(20);
    said += planning.readAllStandardOutput();
    return said.contains("back ");
  }));
  EXPECT_TRUE(said.contains("got 102 " + a.toUtf8() + "\n")) << said.toStdString();
  EXPECT_TRUE(said.contains("back 102\n")) << said.toStdString();
  planning.closeWriteChannel();
  EXPECT_TRUE(planning.waitForFinished(20000));
  EXPECT_EQ(PeerSends(999), 0) << "Talvorn3 still answers";
}

}  // namespace link_test
