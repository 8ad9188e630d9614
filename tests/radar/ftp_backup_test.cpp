// The backup of a single-board-computer radar, fetched from a real FTP server on
// 127.0.0.1 and replayed by the running reader thread: the whole path to the
// recording window, the file checks, the transfer failures and where a replay ends.
// The recording files are laid out here from the format, with traces encoded by
// the simulator.

#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "radar/radar_link_state.h"
#include "radar/radar_w.h"
#include "radar/wifi_thread.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radar/sim_expectations.h"
#include "tests/support/ftp_server.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <functional>

namespace {

constexpr std::chrono::milliseconds kBound{20000};
const TFtpTimeouts kFtpTimeouts{5000, 5, 5};
constexpr int kChannel = 2;
constexpr int kPanelWidth = 150;
const QString kName = QStringLiteral("trace2.trc");

// ---- Recording files ---------------------------------------------------------------------

void PatchLe32(TBytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A settings container: the "FRN05" header of version 4 with five channels, then
// five settings-only records, each a "WGPR" record header whose record end counts
// from the container's first byte, and filler for the fields.
TBytes SettingsContainer(int32_t master) {
  TBytesBuilder b;
  b.Text("FRN05").Le32(0).Le32(0).U8(4).Le32(5).Le32(static_cast<uint32_t>(master));
  b.U8(1).Le16(' ');                     // comment " "
  b.Le32(100).Le32(200).Le32(300);       // device offsets
  b.Le32(0).Le32(0).Le32(0);             // device type, serial, profile kind
  PatchLe32(b.bytes, 9, static_cast<uint32_t>(b.bytes.size()));
  for (int k = 0; k < 5; ++k) {
    const size_t start = b.bytes.size();
    b.Text("WGPR").Le32(0).Le32(0).U8(42).Zeros(40 + 3 * k);
    PatchLe32(b.bytes, start + 4, static_cast<uint32_t>(b.bytes.size()));
    PatchLe32(b.bytes, start + 8, static_cast<uint32_t>(b.bytes.size()));
  }
  return b.bytes;
}

// "QELSV", version, "T16", 17 unused bytes, the 2-byte prefix, the container, then
// the recorded bytes.
TBytes RecordingFile(const TBytes& container, const TBytes& recorded, const char* magic = "QELSV",
                     const char* format = "T16") {
  TBytesBuilder b;
  b.Text(magic).U8(3).Text(format).Zeros(17).U8(0xA5).U8(0x5A).Add(container).Add(recorded);
  return b.bytes;
}

radarsim::TTraceSpec TraceSpec(uint32_t index) {
  radarsim::TTraceSpec spec;
  spec.Firmware = 19;
  spec.Format = radarsim::tfReadydata3;
  spec.Index = index;
  spec.Samples = 40;
  return spec;
}

// The recorded bytes in the pieces the parser takes one at a time: trace k with
// whatever junk lies before it.
struct TRecorded {
  std::vector<TBytes> pieces;
  TBytes Bytes() const {
    TBytesBuilder b;
    for (const TBytes& piece : pieces) b.Add(piece);
    return b.bytes;
  }
};

TRecorded Traces(uint32_t count, const TBytes& junkBefore5 = {}) {
  TRecorded r;
  for (uint32_t i = 1; i <= count; ++i) {
    TBytes piece = i == 5 ? junkBefore5 : TBytes{};
    const TBytes trace = radarsim::EncodeTrace(TraceSpec(i));
    piece.insert(piece.end(), trace.begin(), trace.end());
    r.pieces.push_back(piece);
  }
  return r;
}

QByteArray AsQBytes(const TBytes& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// n x 100 / total rounded half to even, in integers.
int64_t RoundedShare(int64_t n, int64_t total) {
  const int64_t q = n / total;
  const int64_t twiceRest = 2 * (n % total);
  return q + (twiceRest > total || (twiceRest == total && q % 2 != 0) ? 1 : 0);
}

// The progress widths a replay of these pieces shows, one per change of the figure.
std::vector<int> ExpectedProgress(const TRecorded& r, int64_t minTraceMem) {
  int64_t total = 0;
  for (const TBytes& piece : r.pieces) total += static_cast<int64_t>(piece.size());
  std::vector<int> widths;
  int64_t last = -1;
  int64_t consumed = 0;
  for (const TBytes& piece : r.pieces) {
    if (total - consumed <= minTraceMem) break;
    const int64_t percent = RoundedShare(consumed * 100, total);
    if (percent != last) widths.push_back(static_cast<int>(RoundedShare(percent * kPanelWidth, 100)));
    last = percent;
    consumed += static_cast<int64_t>(piece.size());
  }
  return widths;
}

// ---- The windows ---------------------------------------------------------------------------

// The current radargram window. It reads the container as laid out: the 2-byte
// prefix, the header by its version, and each channel record up to the record end
// it states. User-interface thread.
class TFakeBackupWindow : public IBackupWindow {
public:
  void ReadFromStreamToFRNChannals(const QString& FileName, TStream& Stream) override {
    fileName = FileName;
    Stream.ReadValue<uint16_t>();
    const int64_t shift = Stream.Position();
    char magic[5];
    Stream.ReadBuffer(magic, 5);
    Stream.ReadValue<uint32_t>();
    Stream.ReadValue<uint32_t>();
    const uint8_t version = Stream.ReadValue<uint8_t>();
    const int32_t count = Stream.ReadValue<int32_t>();
    master = Stream.ReadValue<int32_t>();
    std::vector<char> comment(2 * size_t{Stream.ReadValue<uint8_t>()});
    Stream.ReadBuffer(comment.data(), static_cast<int64_t>(comment.size()));
    if (version > 1) {
      deviceX = Stream.ReadValue<int32_t>();
      Stream.ReadValue<int64_t>();  // DeviceY, DeviceZ
    }
    if (version > 2) Stream.ReadValue<int64_t>();  // device type and serial number
    if (version > 3) Stream.ReadValue<int32_t>();
    for (int k = 0; k < std::min(count, 5) && Stream.Position() < Stream.Size(); ++k) {
      char record[4];
      Stream.ReadBuffer(record, 4);
      if (std::string(record, 4) == "WGPR") ++records;
      Stream.SetPosition(shift + Stream.ReadValue<uint32_t>());
    }
  }
  bool ProgressPanelVisible(int channel) const override { return channel == kChannel; }
  void SetProgressImageWidth(int channel, int width) override {
    EXPECT_EQ(channel, kChannel);
    widths.push_back(width);
  }
  void HideProgressPanel(int channel) override { hidden.push_back(channel); }
  int ProgressPanelWidth() const override { return kPanelWidth; }

  QString fileName;
  int32_t master = -1;
  int32_t deviceX = 0;
  int records = 0;
  std::vector<int> widths;
  std::vector<int> hidden;
};

class TBackupShell : public TFakeRadarShell {
public:
  IBackupWindow* CurrentBackupWindow() const override { return backupWindow; }
  void SetRunActionChecked(bool checked) override { runActionChecked = checked; }
  IBackupWindow* backupWindow = nullptr;
};

// ---- Fixture -------------------------------------------------------------------------------

class RadarFtpBackup : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(server.Ok()) << server.Error().toStdString();
    shell.backupWindow = &backup;
    NewRadar();
  }
  void TearDown() override {
    radar.reset();
    if (HasFailure()) ADD_FAILURE() << "FTP server log:\n" << server.ServerLog().toStdString();
  }
  // A Wi-Fi radar whose reader runs without a connection: it only replays.
  void NewRadar() {
    radar.reset();
    radar = std::make_unique<TRadarW>(nullptr, TFtpTestServer::Host(), 0);
    radar->SetFirmwareVer(19);
    radar->SetNumChannalRadar(kChannel);
    // Every radar of a test writes the same log file: each looks at its own lines.
    logMark_ = ReadLogLines(radar->Log().FileName()).size();
    Reader().SetFtpServer(TFtpTestServer::Host(), server.Port(), kFtpTimeouts);
  }
  TWiFiThread& Reader() { return *radar->WiFiThreadOf(); }
  void Serve(const TBytes& file) { ASSERT_TRUE(server.Put(QStringLiteral("pub/") + kName, AsQBytes(file))); }
  bool WaitForReplayEnd(size_t hiddenBefore) {
    return ProcessMessagesUntil([&] { return backup.hidden.size() > hiddenBefore; }, kBound);
  }
  QStringList LogTexts() const {
    QStringList texts;
    for (const QString& line : ReadLogLines(radar->Log().FileName()).mid(logMark_))
      texts.push_back(line.section(u'\t', 1));
    return texts;
  }
  bool Logged(const QString& text) const { return LogTexts().contains(text); }

  TProgramFolderScope folder;
  TBackupShell shell;
  TFakeRadarSet set;
  THooksScope hooks{&shell, &set};
  TFakeRecordingWindow window;
  TFakeBackupWindow backup;
  TFtpTestServer server;
  std::unique_ptr<TRadarW> radar;
  qsizetype logMark_ = 0;
};

TEST_F(RadarFtpBackup, ARecordingIsFetchedAndReplayedTraceByTraceIntoTheRecordingWindow) {
  const TRecorded recorded = Traces(12, {0x13, 'Q', 'E', 'L', 0x00});
  const TBytes file = RecordingFile(SettingsContainer(3), recorded.Bytes());
  Serve(file);
  // A stale file of the same name is deleted, not resumed.
  {
    QFile stale(folder.Path(kName));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray(100, 'Z'));
  }
  shell.Record(&window);
  WiFiTracesLost = true;

  ASSERT_TRUE(Reader().LoadFtpFile(kName, 0));
  ASSERT_TRUE(WaitForReplayEnd(0));

  const QString local = folder.Path(kName);
  const int64_t loaded = static_cast<int64_t>(recorded.Bytes().size());
  const QStringList expectedLog = {
      QStringLiteral("Host=127.0.0.1"),
      QStringLiteral("Port=%1").arg(server.Port()),
      QStringLiteral("Username=anonymous"),
      QStringLiteral("ftp.Connected ok"),
      QStringLiteral("ftp.pub/ ok"),
      QStringLiteral("Get ftp ") + local + QStringLiteral(" ok"),
      QStringLiteral("Size %1 = %2").arg(local).arg(file.size()),
      QStringLiteral("Header : QELSV ok"),
      QStringLiteral("Version file  = 3"),
      QStringLiteral("Header: T16 OK"),
      QStringLiteral("Load in CommGlobBuf = %1").arg(loaded),
      QStringLiteral("isFtpGet True"),
  };
  // In this order; the reader's own lines may fall in between.
  QStringList logged;
  for (const QString& text : LogTexts())
    if (expectedLog.contains(text)) logged.push_back(text);
  EXPECT_EQ(logged.join(u'\n').toStdString(), expectedLog.join(u'\n').toStdString());

  QFile fetched(local);
  ASSERT_TRUE(fetched.open(QIODevice::ReadOnly));
  EXPECT_TRUE(fetched.readAll() == AsQBytes(file)) << "the served file, not the stale one resumed";

  EXPECT_EQ(backup.fileName, local);
  EXPECT_EQ(backup.master, 3);
  EXPECT_EQ(backup.deviceX, 100);
  EXPECT_EQ(backup.records, 5);

  const auto calls = window.Calls();
  ASSERT_EQ(calls.size(), 12u) << "every recorded trace, the junk skipped";
  for (uint32_t i = 1; i <= 12; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(calls[i - 1].Radar, radar.get());
    EXPECT_EQ(calls[i - 1].NumCollisionWiFi, 0);
    ExpectTraceSamples(calls[i - 1].Samples, TraceSpec(i));
  }
  EXPECT_EQ(backup.widths, ExpectedProgress(recorded, 0));
  EXPECT_EQ(backup.hidden, std::vector<int>{kChannel});
  EXPECT_FALSE(shell.runActionChecked) << "the end of the replay unchecks Run";
  EXPECT_FALSE(Reader().isFtpGet);
  EXPECT_EQ(radar->CommGlobBufEndPos(), 0);
  EXPECT_EQ(Reader().StartCommGlobBufEndPos, loaded);
  EXPECT_FALSE(WiFiTracesLost);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

TEST_F(RadarFtpBackup, TheReplayStopsWhenNoMoreThanMinTraceMemBytesOrNoWholePacketRemain) {
  const TRecorded recorded = Traces(6);
  const int64_t loaded = static_cast<int64_t>(recorded.Bytes().size());
  const int64_t last = static_cast<int64_t>(recorded.pieces.back().size());
  TBytes cut = recorded.Bytes();
  cut.resize(cut.size() - 10);
  struct TCase {
    const char* what;
    TBytes recordedBytes;
    int64_t minTraceMem;
    uint32_t replayed;
  };
  const TCase cases[] = {
      {"the minimum is the loaded length: nothing is replayed", recorded.Bytes(), loaded, 0},
      {"the minimum is the last packet: it stays", recorded.Bytes(), last, 5},
      {"one byte less: the last packet goes too", recorded.Bytes(), last - 1, 6},
      {"a packet cut at the end of the file ends the replay", cut, 0, 5},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    NewRadar();
    TFakeRecordingWindow target;
    shell.Record(&target);
    backup.widths.clear();
    Serve(RecordingFile(SettingsContainer(0), c.recordedBytes));
    const size_t hidden = backup.hidden.size();

    ASSERT_TRUE(Reader().LoadFtpFile(kName, static_cast<int32_t>(c.minTraceMem)));
    ASSERT_TRUE(WaitForReplayEnd(hidden)) << "the replay ends";

    const auto calls = target.Calls();
    ASSERT_EQ(calls.size(), c.replayed);
    for (uint32_t i = 0; i < c.replayed; ++i) ExpectTraceSamples(calls[i].Samples, TraceSpec(i + 1));
    if (c.recordedBytes.size() == recorded.Bytes().size()) {
      EXPECT_EQ(backup.widths, ExpectedProgress(recorded, c.minTraceMem));
    }
    EXPECT_EQ(backup.hidden.back(), kChannel);
    EXPECT_FALSE(shell.runActionChecked);
    EXPECT_FALSE(Reader().isFtpGet);
    EXPECT_EQ(radar->CommGlobBufEndPos(), 0) << "what was left is dropped";
  }
}

TEST_F(RadarFtpBackup, FilesWithoutARecordingAreRefused) {
  const TBytes trace = radarsim::EncodeTrace(TraceSpec(1));
  TBytes fifty = RecordingFile({}, {});
  fifty.resize(50, 0);
  TBytes fiftyOne(51, 'X');
  TBytes cutContainer = RecordingFile(SettingsContainer(0), {});
  cutContainer.resize(60);
  struct TCase {
    const char* what;
    TBytes file;
    QString message;  // empty: none
    QStringList logged;
    QStringList notLogged;
  };
  const QString noRecording = QStringLiteral("Error: Not find ftp file or no correct file");
  const QString getError = QStringLiteral("Error: Get ftp file");
  const TCase cases[] = {
      {"another magic", RecordingFile(SettingsContainer(0), trace, "QELSX"), noRecording, {noRecording},
       {QStringLiteral("Header : QELSV ok")}},
      {"another format", RecordingFile(SettingsContainer(0), trace, "QELSV", "T15"), noRecording,
       {QStringLiteral("Header : QELSV ok"), QStringLiteral("Version file  = 3"), noRecording},
       {QStringLiteral("Header: T16 OK")}},
      {"51 bytes are checked", fiftyOne, noRecording, {QStringLiteral("Size %1 = 51").arg(folder.Path(kName))}, {}},
      {"50 bytes are ignored quietly", fifty, QString(), {QStringLiteral("Size %1 = 50").arg(folder.Path(kName))},
       {QStringLiteral("Header : QELSV ok"), noRecording}},
      {"no packets after the settings", RecordingFile(SettingsContainer(0), {}), noRecording,
       {QStringLiteral("Load in CommGlobBuf = 0"), noRecording}, {QStringLiteral("isFtpGet True")}},
      {"the file ends inside the settings", cutContainer, getError, {getError}, {QStringLiteral("isFtpGet True")}},
  };
  shell.Record(&window);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    NewRadar();
    Serve(c.file);
    const size_t shown = TDialogScript::Shown().size();
    if (!c.message.isEmpty()) TDialogScript::QueueAnswer(mrOk);

    EXPECT_FALSE(Reader().LoadFtpFile(kName, 0));

    const auto dialogs = TDialogScript::Shown();
    ASSERT_EQ(dialogs.size(), shown + (c.message.isEmpty() ? 0 : 1));
    if (!c.message.isEmpty()) {
      EXPECT_EQ(dialogs.back().Text, c.message);
    }
    for (const QString& text : c.logged) EXPECT_TRUE(Logged(text)) << text.toStdString();
    for (const QString& text : c.notLogged) EXPECT_FALSE(Logged(text)) << text.toStdString();
    EXPECT_FALSE(Reader().isFtpGet);
    EXPECT_EQ(radar->CommGlobBufEndPos(), 0);
  }
  Application->ProcessMessages();
  EXPECT_EQ(window.Count(), 0u);
  EXPECT_TRUE(shell.runActionChecked) << "nothing replayed, nothing ended";
}

TEST_F(RadarFtpBackup, TransferFailuresAreReportedAndEndWithinTheirTimeOuts) {
  TSilentTcpListener silent;
  ASSERT_TRUE(silent.Ok());
  const QString getError = QStringLiteral("Error: Get ftp file");
  struct TCase {
    const char* what;
    std::function<void()> arrange;
    QStringList logged;
    QStringList notLogged;
  };
  const TCase cases[] = {
      {"the server has no such file", [] {}, {QStringLiteral("ftp.pub/ ok")},
       {QStringLiteral("Get ftp ") + folder.Path(kName) + QStringLiteral(" ok")}},
      {"the server has no pub folder",
       [&] { ASSERT_TRUE(QDir(server.Root() + QStringLiteral("pub")).removeRecursively()); },
       {QStringLiteral("ftp.Connected ok")}, {QStringLiteral("ftp.pub/ ok")}},
      {"nothing listens",
       [&] { Reader().SetFtpServer(TFtpTestServer::Host(), UnusedLoopbackPort(), kFtpTimeouts); },
       {QStringLiteral("Host=127.0.0.1"), QStringLiteral("Username=anonymous")}, {QStringLiteral("ftp.Connected ok")}},
      {"the server never answers",
       [&] { Reader().SetFtpServer(TFtpTestServer::Host(), silent.Port(), TFtpTimeouts{2000, 1, 1}); },
       {QStringLiteral("Port=%1").arg(silent.Port())}, {QStringLiteral("ftp.Connected ok")}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    NewRadar();
    c.arrange();
    TDialogScript::QueueAnswer(mrOk);

    EXPECT_FALSE(Reader().LoadFtpFile(kName, 0));

    const auto dialogs = TDialogScript::Shown();
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs.back().Text, getError);
    EXPECT_TRUE(Logged(getError));
    EXPECT_TRUE(LogTexts().filter(QStringLiteral("ftp:: ")).size() == 1) << "with what failed";
    for (const QString& text : c.logged) EXPECT_TRUE(Logged(text)) << text.toStdString();
    for (const QString& text : c.notLogged) EXPECT_FALSE(Logged(text)) << text.toStdString();
    EXPECT_FALSE(QFile::exists(folder.Path(kName))) << "no local file";
    EXPECT_FALSE(Reader().isFtpGet);
  }

  // Without a radargram window the settings have nowhere to go.
  NewRadar();
  ASSERT_TRUE(QDir().mkpath(server.Root() + QStringLiteral("pub")));
  Serve(RecordingFile(SettingsContainer(0), radarsim::EncodeTrace(TraceSpec(1))));
  shell.backupWindow = nullptr;
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_FALSE(Reader().LoadFtpFile(kName, 0));
  EXPECT_EQ(TDialogScript::Shown().back().Text, getError);
  EXPECT_EQ(radar->CommGlobBufEndPos(), 0);
}

}  // namespace
