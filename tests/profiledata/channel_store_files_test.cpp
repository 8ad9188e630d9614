// Profile files of the channel store: a written channel read back by the record
// parser and by a second store, empty channels, the 16-bit readings (headerless
// files and the oldest records), damaged records, the planning program's header
// rewrite, and writes that fail without costing the old file.

#include "platform/ui/dialog_script.h"
#include "profiledata/markers_data.h"
#include "profiledata/record_messages.h"
#include "tests/profiledata/channel_store_env.h"
#include "tests/profiledata/record_fixture_builders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace record_fixtures;

std::vector<QString> Shown() {
  std::vector<QString> texts;
  for (const TShownDialog& d : TDialogScript::Shown()) texts.push_back(d.Text);
  return texts;
}

// 16-bit samples i x 37 - 9000 (negative and positive).
QByteArray Samples16(int count) {
  QByteArray bytes;
  for (int i = 0; i < count; ++i) {
    const auto v = static_cast<int16_t>(i * 37 - 9000);
    bytes.append(reinterpret_cast<const char*>(&v), 2);
  }
  return bytes;
}

QString NotWritten(const QString& file) {
  return QStringLiteral("Cannot write file \"") + file + QStringLiteral("\". The previous file is kept.");
}

int32_t Raw(const T2Dview& store, int64_t i) { return store.RawData.Data()[i]; }

TEST(ChannelStoreFiles, ChannelWithNegativeTracesRoundTrips) {
  TStoreEnv env;
  T2Dview store(nullptr);
  TSettingData& s = *store.Settings();
  s.RestoreLongTrace(6);
  s.SetComments(QStringLiteral("Quay wall"));
  RecordTraces(store, -3, 7);
  store.PackTraces();
  s.SurfaceMarkersArray->Add(0, -2, QStringLiteral("pipe"));
  const QString file = env.Path(QStringLiteral("line.dezo"));
  ASSERT_TRUE(store.WriteToFile(file));
  EXPECT_FALSE(store.GetNeedForSave());
  EXPECT_EQ(s.GetFileName(), file);

  const QByteArray bytes = ReadFileBytes(file);
  const TParsedHeader h = ParseWgpr42(bytes);
  EXPECT_EQ(h.fields.minTrace, -3);
  EXPECT_EQ(h.fields.maxTrace, 7);
  EXPECT_EQ(h.recordEnd, bytes.size());
  EXPECT_EQ(h.recordEnd, h.headerEnd + 10u * 6 * 4);
  EXPECT_EQ(h.fields.raw, ExpectedRaw(-3, 7, 6));
  ASSERT_EQ(h.fields.incl.size(), 10u);
  EXPECT_EQ(h.fields.incl[0], (TInclRecord{{-3, -2, -1, 0}})) << "the record of trace -3 leads";
  EXPECT_EQ(h.fields.incl[9], (TInclRecord{{6, 7, 8, 9}}));

  T2Dview loaded(nullptr);
  ASSERT_TRUE(loaded.LoadFromFile(file));
  EXPECT_EQ(loaded.MinNumTraces(), -3);
  EXPECT_EQ(loaded.MaxNumTraces(), 7);
  EXPECT_EQ(loaded.NumTraces(), 10);
  EXPECT_EQ(loaded.SizeDat(), 240);
  EXPECT_EQ(RawBytes(loaded), ExpectedRaw(-3, 7, 6));
  EXPECT_EQ(loaded.dezoData.Bytes(), 240);
  EXPECT_TRUE(loaded.WasOpen);
  EXPECT_TRUE(loaded.HoldsTraces());
  EXPECT_FALSE(loaded.GetNeedForSave());
  const TInclRecord* first = loaded.Settings()->IndexIncl.Entry(-3);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(*first, (TInclRecord{{-3, -2, -1, 0}}));
  ASSERT_EQ(loaded.Settings()->SurfaceMarkersArray->Count(), 1);
  EXPECT_EQ(loaded.Settings()->SurfaceMarkersArray->GetSurfaceMarker(0)->GetComment(), "pipe");
  EXPECT_EQ(loaded.Settings()->GetComments(), "Quay wall");
}

TEST(ChannelStoreFiles, EmptyChannelHasAnEmptyRawBlock) {
  TStoreEnv env;
  T2Dview store(nullptr);
  const QString file = env.Path(QStringLiteral("empty.dezo"));
  ASSERT_TRUE(store.WriteToFile(file));
  const QByteArray bytes = ReadFileBytes(file);
  const TParsedHeader h = ParseWgpr42(bytes);
  EXPECT_EQ(h.recordEnd, h.headerEnd);
  EXPECT_EQ(h.recordEnd, bytes.size());
  EXPECT_EQ(h.fields.minTrace, 0);
  EXPECT_EQ(h.fields.maxTrace, 0);

  T2Dview loaded(nullptr);
  EXPECT_TRUE(loaded.LoadFromFile(file));
  EXPECT_TRUE(loaded.RawData.Empty());
  EXPECT_TRUE(loaded.dezoData.Empty());
  EXPECT_EQ(loaded.NumTraces(), 0);
  EXPECT_EQ(loaded.SizeDat(), 0);
  EXPECT_FALSE(loaded.HoldsTraces());
}

TEST(ChannelStoreFiles, RecordRawBlockIsCutToTheRecordAndToTheHeaderRange) {
  TStoreEnv env;
  TRecordFields f;
  f.longTrace = 4;
  f.minTrace = -1;
  f.maxTrace = 2;
  f.incl.resize(3);
  f.FillRaw();
  const QByteArray record = BuildWgpr(f, 42);
  struct TCase {
    const char* name;
    QByteArray bytes;
    int64_t sizeDat, first, end;
  };
  TRecordFields noTraces = f;
  noTraces.raw = QByteArray(4, '\x7F');  // 4 bytes or fewer are no raw block
  const TCase cases[] = {
      {"bytes behind the record end", record + QByteArray(100, '\x55'), 48, -1, 2},
      {"a block of 4 bytes", BuildWgpr(noTraces, 42), 0, 0, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = env.Path(QStringLiteral("r.dezo"));
    WriteFileBytes(file, c.bytes);
    T2Dview store(nullptr);
    EXPECT_TRUE(store.LoadFromFile(file));
    EXPECT_EQ(store.SizeDat(), c.sizeDat);
    EXPECT_EQ(store.RawData.Bytes(), c.sizeDat);
    EXPECT_EQ(store.MinNumTraces(), c.first);
    EXPECT_EQ(store.MaxNumTraces(), c.end);
    if (c.sizeDat > 0) {
      EXPECT_EQ(RawBytes(store), f.raw);
    }
  }
}

TEST(ChannelStoreFiles, HeaderlessFileIsReadAsWholeTracesOf16BitSamples) {
  struct TCase {
    int bytes;
    int64_t traces;
    int64_t sizeDat;
  };
  // LongTrace 500 of new settings; a part trace is not a trace.
  const TCase cases[] = {{1000, 1, 2000}, {1500, 1, 3000}, {1001, 1, 2000}, {998, 0, 1996}, {4000, 4, 8000}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.bytes);
    TDialogScript::Reset();
    TDialogScript::QueueAnswer(IDCANCEL);
    TStoreEnv env;
    const QByteArray bytes = Samples16(c.bytes / 2) + QByteArray(c.bytes % 2, '\x01');
    const QString file = env.Path(QStringLiteral("noise.bin"));
    WriteFileBytes(file, bytes);
    T2Dview store(nullptr);
    EXPECT_FALSE(store.LoadFromFile(file));
    EXPECT_EQ(Shown(), std::vector<QString>{LoadResString(SRecordFormatNotCorrect)});
    EXPECT_EQ(store.Settings()->GetComments(), "Not Valid");
    EXPECT_EQ(store.MinNumTraces(), 0);
    EXPECT_EQ(store.MaxNumTraces(), c.traces);
    EXPECT_EQ(store.SizeDat(), c.sizeDat);
    ASSERT_EQ(store.RawData.Bytes(), c.sizeDat);
    EXPECT_EQ(store.dezoData.Bytes(), c.sizeDat);
    for (int64_t i = 0; i < c.sizeDat / 4; ++i) ASSERT_EQ(Raw(store, i), static_cast<int16_t>(i * 37 - 9000) * 64) << i;
    EXPECT_FALSE(store.GetNeedForSave());
  }
}

TEST(ChannelStoreFiles, OldestRecordsHold16BitSamples) {
  TStoreEnv env;
  TRecordFields f;
  f.longTrace = 8;
  f.minTrace = 0;
  f.maxTrace = 3;
  f.raw = Samples16(3 * 8 + 5);  // three traces and part of a fourth
  TOldDezoFields old;
  const QString file = env.Path(QStringLiteral("old.dezo"));
  WriteFileBytes(file, BuildDezo2(f, old, 9, /*withZ=*/false));
  T2Dview store(nullptr);
  ASSERT_TRUE(store.LoadFromFile(file));
  EXPECT_EQ(store.MinNumTraces(), 0);
  EXPECT_EQ(store.MaxNumTraces(), 3);
  EXPECT_EQ(store.SizeDat(), (3 * 8 + 5) * 4);
  for (int64_t i = 0; i < 3 * 8 + 5; ++i) ASSERT_EQ(Raw(store, i), static_cast<int16_t>(i * 37 - 9000) * 64) << i;
  ASSERT_EQ(store.Settings()->SurfaceMarkersArray->Count(), 2) << "its topography marks become surface markers";
  EXPECT_EQ(store.Settings()->SurfaceMarkersArray->GetSurfaceMarker(0)->GetComment(), "well");
}

TEST(ChannelStoreFiles, TopographyMarksWithoutTitleAreNumbered) {
  TStoreEnv env;
  TRecordFields f;
  f.longTrace = 4;
  f.minTrace = 0;
  f.maxTrace = 2;
  f.incl.resize(2);
  f.FillRaw();
  f.topo = {{QString(), 5, 0, 0}, {QStringLiteral("kerb"), 9, 0, 0}, {QString(), 11, 0, 0}};
  const QString file = env.Path(QStringLiteral("v38.dezo"));
  WriteFileBytes(file, BuildWgpr(f, 38));
  T2Dview store(nullptr);
  ASSERT_TRUE(store.LoadFromFile(file));
  const TSurfeMarkersData& markers = *store.Settings()->SurfaceMarkersArray;
  ASSERT_EQ(markers.Count(), 3);
  EXPECT_EQ(markers.GetSurfaceMarker(0)->GetComment(), "Marker0");
  EXPECT_EQ(markers.GetSurfaceMarker(1)->GetComment(), "kerb");
  EXPECT_EQ(markers.GetSurfaceMarker(2)->GetComment(), "Marker2");
  EXPECT_EQ(markers.GetSurfaceMarker(2)->GetNumTrace(), 11);
  EXPECT_FALSE(store.GetNeedForSave()) << "reading is no change";
}

TEST(ChannelStoreFiles, DamagedRecordWithKnownMagicIsNotTakenAsSamples) {
  TRecordFields f;
  f.longTrace = 4;
  f.minTrace = 0;
  f.maxTrace = 2;
  f.incl.resize(2);
  f.FillRaw();
  TWgprOffsets at;
  QByteArray badCount = BuildWgpr(f, 42, {}, std::nullopt, std::nullopt, &at);
  const int64_t huge = int64_t{1} << 40;
  std::memcpy(badCount.data() + at.incl, &huge, 8);
  struct TCase {
    const char* name;
    QByteArray bytes;
    QString text;
  };
  const TCase cases[] = {
      {"inclinometer count beyond the header", badCount, LoadResString(SRecordFileDestroyed)},
      {"old file one byte too long", BuildDezo16(f, 18, true) + QByteArray(1, '\0'),
       LoadResString(SRecordFileSizeNotCorrect)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TDialogScript::Reset();
    TDialogScript::QueueAnswer(IDCANCEL);
    TStoreEnv env;
    const QString file = env.Path(QStringLiteral("bad.dezo"));
    WriteFileBytes(file, c.bytes);
    T2Dview store(nullptr);
    EXPECT_FALSE(store.LoadFromFile(file));
    EXPECT_EQ(Shown(), std::vector<QString>{c.text});
    EXPECT_TRUE(store.RawData.Empty());
    EXPECT_EQ(store.SizeDat(), 0);
    EXPECT_EQ(store.NumTraces(), 0);
  }
}

TEST(ChannelStoreFiles, MissingFileIsReported) {
  TDialogScript::QueueAnswer(IDOK);
  TStoreEnv env;
  T2Dview store(nullptr);
  const QString file = env.Path(QStringLiteral("absent.dezo"));
  EXPECT_FALSE(store.LoadFromFile(file));
  EXPECT_EQ(Shown(), std::vector<QString>{QStringLiteral("Cannot open file \"") + file + QStringLiteral("\".")});
  EXPECT_FALSE(store.WasOpen);
}

// Makes a file that this process cannot open for writing: read-only permissions,
// and for root, who ignores them, the immutable attribute. Undone on destruction.
class TUnwritableFile {
public:
  explicit TUnwritableFile(const QString& path) : path_(QFile::encodeName(path)) {
    ::chmod(path_.constData(), 0444);
    if (Writable()) SetImmutable(true);
    unwritable_ = !Writable();
  }
  ~TUnwritableFile() {
    if (immutable_) SetImmutable(false);
    ::chmod(path_.constData(), 0644);
  }
  bool Unwritable() const { return unwritable_; }

private:
  bool Writable() const {
    const int fd = ::open(path_.constData(), O_WRONLY);
    if (fd >= 0) ::close(fd);
    return fd >= 0;
  }
  void SetImmutable(bool on) {
    const int fd = ::open(path_.constData(), O_RDONLY);
    if (fd < 0) return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) immutable_ = on;
    }
    ::close(fd);
  }

  QByteArray path_;
  bool immutable_ = false;
  bool unwritable_ = false;
};

TEST(ChannelStoreFiles, ReadOnlyProfileOpensAndIsNotOverwritten) {
  TStoreEnv env;
  const QString file = env.Path(QStringLiteral("ro.dezo"));
  {
    T2Dview writer(nullptr);
    writer.Settings()->RestoreLongTrace(4);
    RecordTraces(writer, -1, 2);
    writer.PackTraces();
    ASSERT_TRUE(writer.WriteToFile(file));
  }
  const QByteArray before = ReadFileBytes(file);
  TUnwritableFile readOnly(file);
  if (!readOnly.Unwritable()) GTEST_SKIP() << "this file system lets the process write any file";

  T2Dview store(nullptr);
  ASSERT_TRUE(store.LoadFromFile(file));
  EXPECT_EQ(RawBytes(store), ExpectedRaw(-1, 2, 4));
  TDialogScript::QueueAnswer(IDOK);
  EXPECT_FALSE(store.WriteToFile(file));
  EXPECT_EQ(Shown(), std::vector<QString>{NotWritten(file)});
  EXPECT_EQ(ReadFileBytes(file), before);
}

TEST(ChannelStoreFiles, PlanningProgramRewritesTheHeaderAroundTheFilesRawBlock) {
  TRecordFields f;
  f.longTrace = 4;
  f.minTrace = -2;
  f.maxTrace = 3;
  f.incl.resize(5);
  f.FillRaw();
  TStoreEnv env(/*acquisition=*/false);
  const QString file = env.Path(QStringLiteral("plan.dezo"));
  WriteFileBytes(file, BuildWgpr(f, 42));

  T2Dview store(nullptr);
  ASSERT_TRUE(store.LoadFromFile(file));
  EXPECT_TRUE(store.RawData.Empty()) << "the planning program keeps no samples";
  EXPECT_EQ(store.SizeDat(), f.raw.size());
  EXPECT_EQ(store.MinNumTraces(), -2);
  EXPECT_EQ(store.MaxNumTraces(), 3);

  store.Settings()->SetComments(QStringLiteral("renamed line"));
  ASSERT_TRUE(store.WriteToFile(file));
  const QByteArray bytes = ReadFileBytes(file);
  const TParsedHeader h = ParseWgpr42(bytes);
  EXPECT_EQ(h.fields.comments, "renamed line");
  EXPECT_EQ(h.fields.raw, f.raw);
  EXPECT_EQ(h.recordEnd, bytes.size());
  EXPECT_EQ(h.fields.minTrace, -2);
  EXPECT_EQ(h.fields.maxTrace, 3);

  // A file that holds no record, or one whose block lacks the channel's traces,
  // is left alone.
  const QByteArray junk = QByteArray(64, 'x');
  WriteFileBytes(file, junk);
  EXPECT_FALSE(store.WriteToFile(file));
  EXPECT_EQ(ReadFileBytes(file), junk);
  TRecordFields shorter = f;
  shorter.maxTrace = 1;
  shorter.incl.resize(3);
  shorter.FillRaw();
  const QByteArray shortRecord = BuildWgpr(shorter, 42);
  WriteFileBytes(file, shortRecord);
  EXPECT_FALSE(store.WriteToFile(file));
  EXPECT_EQ(ReadFileBytes(file), shortRecord);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

// Limits the size of files this process may write, and lets a write beyond it fail
// with an error instead of a signal.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST(ChannelStoreFiles, FailedWriteKeepsTheOldFileAndTheChannelsState) {
  TStoreEnv env;
  const QString file = env.Path(QStringLiteral("keep.dezo"));
  {
    T2Dview first(nullptr);
    first.Settings()->RestoreLongTrace(4);
    RecordTraces(first, 0, 2);
    first.PackTraces();
    ASSERT_TRUE(first.WriteToFile(file));
  }
  const QByteArray before = ReadFileBytes(file);

  T2Dview store(nullptr);
  store.Settings()->RestoreLongTrace(100);
  RecordTraces(store, -50, 50);  // 40000 bytes of samples
  store.PackTraces();
  store.SetNeedForSave(true);
  store.Settings()->SetFileName(QStringLiteral("/elsewhere/old.dezo"));
  store.Settings()->SetNeedForSave(true);
  TDialogScript::QueueAnswer(IDOK);
  {
    TFileSizeLimit limit(static_cast<rlim_t>(before.size()) + 1000);
    EXPECT_FALSE(store.WriteToFile(file));
  }
  EXPECT_EQ(Shown(), std::vector<QString>{NotWritten(file)});
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_EQ(QDir(env.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.dezo")})
      << "no temporary file is left behind";
  EXPECT_EQ(store.Settings()->GetFileName(), "/elsewhere/old.dezo");
  EXPECT_TRUE(store.Settings()->GetNeedForSave());
  EXPECT_TRUE(store.GetNeedForSave());

  // The same channel written without the limit replaces the file.
  ASSERT_TRUE(store.WriteToFile(file));
  EXPECT_EQ(ParseWgpr42(ReadFileBytes(file)).fields.raw, ExpectedRaw(-50, 50, 100));
}

TEST(ChannelStoreFiles, WriteIntoAFolderThatCannotExistIsReported) {
  TStoreEnv env;
  const QString notAFolder = env.Path(QStringLiteral("plain.txt"));
  WriteFileBytes(notAFolder, "text");
  const QString file = notAFolder + QStringLiteral("/line.dezo");
  TDialogScript::QueueAnswer(IDOK);
  T2Dview store(nullptr);
  EXPECT_FALSE(store.WriteToFile(file));
  EXPECT_EQ(Shown(), std::vector<QString>{NotWritten(file)});
  EXPECT_EQ(ReadFileBytes(notAFolder), "text");
}

TEST(ChannelStoreFiles, ReplacingKeepsLinksAndPermissions) {
  TStoreEnv env;
  const QString target = env.Path(QStringLiteral("target.dezo"));
  const QString link = env.Path(QStringLiteral("link.dezo"));
  WriteFileBytes(target, "old");
  ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
  ASSERT_TRUE(QFile::link(target, link));
  T2Dview store(nullptr);
  ASSERT_TRUE(store.WriteToFile(link));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(ParseWgpr42(ReadFileBytes(target)).fields.minTrace, 0) << "the linked file holds the record";
  const QFile::Permissions modeBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                     QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                                     QFile::ExeOther;
  EXPECT_EQ(QFileInfo(target).permissions() & modeBits, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

}  // namespace
