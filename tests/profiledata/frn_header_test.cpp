// The multi-channel container's header: what the writers put at each offset, what
// the reader takes into the window's fields for each kind of container, and
// damaged headers that must read no channel instead of throwing.

#include "platform/rtl/streams.h"
#include "profiledata/frn_header.h"
#include "tests/profiledata/record_fixtures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

using record_fixtures::TBytes;

// The header as a reader of the layout expects it, built field by field.
struct THeaderBytes {
  uint32_t endOfFile = 0;
  uint32_t endOfHeader = 0;
  uint8_t version = 4;
  int32_t count = 0;
  int32_t master = 0;
  QString comment = QStringLiteral(" ");
  int32_t x = 0, y = 0, z = 0;
  int32_t type = 0, serial = 0, profiles = 0;

  QByteArray Build() const {
    TBytes b;
    b.Text("FRN05").U32(endOfFile).U32(endOfHeader).U8(version).I32(count).I32(master).Wide(comment);
    if (version > 1) b.I32(x).I32(y).I32(z);
    if (version > 2) b.I32(type).I32(serial);
    if (version > 3) b.I32(profiles);
    return b.data;
  }
};

TFrnWindowFields SomeWindow() {
  TFrnWindowFields f;
  f.CountChannalView = 3;
  f.MasterChannal = 2;
  f.DeviceX = 1500;
  f.DeviceY = -250;
  f.DeviceZ = 77;
  f.TypeGPRDevice = tdBox03;
  f.SerNumDevice = 1234;
  f.TypeProfiles = tpArc;
  return f;
}

TFrnHeaderRead Read(const QByteArray& bytes, TFrnKind kind, TFrnWindowFields& fields, int64_t* positionAfter = nullptr) {
  TMemoryStream stream(bytes);
  const TFrnHeaderRead result = ReadFrnHeader(stream, kind, fields);
  if (positionAfter) *positionAfter = stream.Position();
  return result;
}

// ---- Writing ---------------------------------------------------------------------------

TEST(FrnHeader, EmptyDataContainerIsFortyNineBytes) {
  TMemoryStream stream;
  TFrnWindowFields fields = SomeWindow();
  WriteFrnDataHeader(stream, fields, 0, QStringLiteral("ignored without channels"));
  FinishFrnDataContainer(stream, 0);

  THeaderBytes expected;
  expected.endOfFile = expected.endOfHeader = 49;
  expected.master = 2;
  expected.x = 1500;
  expected.y = -250;
  expected.z = 77;
  expected.type = 3;
  expected.serial = 1234;
  expected.profiles = 1;
  EXPECT_EQ(stream.Bytes().size(), 49);
  EXPECT_EQ(stream.Bytes(), expected.Build());
  EXPECT_EQ(stream.Bytes().mid(22, 3), QByteArray("\x01\x20\x00", 3)) << "comment \" \"";
  EXPECT_EQ(stream.Position(), 49);
}

TEST(FrnHeader, DataContainerOffsetsFrameTheRecords) {
  TMemoryStream stream;
  WriteFrnDataHeader(stream, SomeWindow(), 2, QStringLiteral("Quay"));
  const int64_t headerEnd = stream.Position();
  EXPECT_EQ(headerEnd, 47 + 2 * 4);
  stream.WriteBuffer("record one|record two", 21);
  FinishFrnDataContainer(stream, 0);

  const QByteArray bytes = stream.Bytes();
  uint32_t endOfFile = 0, endOfHeader = 0;
  std::memcpy(&endOfFile, bytes.constData() + 5, 4);
  std::memcpy(&endOfHeader, bytes.constData() + 9, 4);
  EXPECT_EQ(endOfFile, bytes.size());
  EXPECT_EQ(endOfHeader, headerEnd);
  EXPECT_EQ(stream.Position(), bytes.size());

  TFrnWindowFields read;
  const TFrnHeaderRead h = Read(bytes, fkData, read);
  ASSERT_TRUE(h.Ok());
  EXPECT_EQ(h.Comment, "Quay");
  EXPECT_EQ(h.Channels, 2);
  TFrnWindowFields expected = SomeWindow();
  expected.CountChannalView = 2;
  EXPECT_EQ(read, expected) << "a data container carries every window field";
}

TEST(FrnHeader, SettingsContainerHoldsFiveSlotsAndNoProfileKind) {
  struct TCase {
    TTypeGPRDevice type;
    int32_t serial;
    int32_t writtenType;
    int32_t serialAfter;
  };
  for (const TCase& c : {TCase{tdBox03, 1234, 3, 1234}, TCase{tdUnknown, 99, 0, 0},
                         TCase{static_cast<TTypeGPRDevice>(18), 55, 0, 0}}) {
    SCOPED_TRACE(int(c.type));
    TMemoryStream stream;
    TFrnWindowFields fields = SomeWindow();
    fields.TypeGPRDevice = c.type;
    fields.SerNumDevice = c.serial;
    WriteFrnSettingsHeader(stream, fields, QStringLiteral("ab"));

    THeaderBytes expected;
    expected.endOfHeader = 47 + 4;
    expected.count = 5;
    expected.master = 2;
    expected.comment = QStringLiteral("ab");
    expected.x = 1500;
    expected.y = -250;
    expected.z = 77;
    expected.type = c.writtenType;
    expected.serial = c.serial;  // written as held, cleared afterwards
    EXPECT_EQ(stream.Bytes(), expected.Build());
    EXPECT_EQ(int(fields.TypeGPRDevice), c.writtenType);
    EXPECT_EQ(fields.SerNumDevice, c.serialAfter);
    EXPECT_EQ(fields.TypeProfiles, tpArc) << "the window keeps its profile kind";
  }
}

TEST(FrnHeader, ChannelCountStopsAtTheFirstChannelWithoutTraces) {
  using Slots = std::array<std::optional<int64_t>, 5>;
  struct TCase {
    const char* what;
    Slots traces;
    int32_t count;
    std::vector<int> leftOut;
  };
  const std::vector<TCase> cases = {
      {"no channels", {}, 0, {}},
      {"all empty", {0, 0, std::nullopt, std::nullopt, std::nullopt}, 0, {}},
      {"channel 1 empty", {10, 0, 7, 3, std::nullopt}, 1, {2, 3}},
      {"three full", {10, 10, 10, std::nullopt, std::nullopt}, 3, {}},
      {"a gap is passed over", {10, std::nullopt, 7, 0, 4}, 2, {2, 4}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const TFrnDataChannels result = CountFrnDataChannels(c.traces);
    EXPECT_EQ(result.Count, c.count);
    EXPECT_EQ(result.LeftOut, c.leftOut);
  }
}

TEST(FrnHeader, MasterNmeaRule) {
  const QString line19 = QStringLiteral("1=$GPGGA,1,2,3,4,56");
  ASSERT_EQ(line19.size(), 19);
  const QString line20 = line19 + u'6';
  struct TCase {
    const char* what;
    int32_t master;
    std::optional<QStringList> nmea;
    QStringList nmeaAfter;
    bool offsetsCleared;
  };
  const std::vector<TCase> cases = {
      {"one short line is dropped", 0, QStringList{line19}, {}, false},
      {"one usable line stays", 0, QStringList{line20}, {line20}, false},
      {"two lines clear the offsets", 1, QStringList{line19, line19}, {line19, line19}, true},
      {"no lines", 0, QStringList{}, {}, false},
      {"no master", -1, QStringList{line19, line20}, {line19, line20}, false},
      {"no channel in the master slot", 0, std::nullopt, {}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TFrnWindowFields fields = SomeWindow();
    fields.MasterChannal = c.master;
    std::optional<QStringList> nmea = c.nmea;
    PrepareFrnNmea(nmea ? &*nmea : nullptr, fields);
    if (nmea) {
      EXPECT_EQ(*nmea, c.nmeaAfter);
    }
    EXPECT_EQ(fields.DeviceX == 0 && fields.DeviceY == 0 && fields.DeviceZ == 0, c.offsetsCleared);
    EXPECT_EQ(fields.TypeGPRDevice, tdBox03);
  }
}

// ---- Reading ---------------------------------------------------------------------------

TEST(FrnHeader, DataContainerFieldsAreKeptInRange) {
  struct TCase {
    const char* what;
    int32_t count, master, type, serial, profiles;
    int32_t countAfter, masterAfter;
    TTypeGPRDevice typeAfter;
    int32_t serialAfter;
    TTypeProfiles profilesAfter;
  };
  const std::vector<TCase> cases = {
      {"as stored", 3, 1, 3, 1234, 1, 3, 1, tdBox03, 1234, tpArc},
      {"master 7", 2, 7, 3, 1234, 0, 2, 0, tdBox03, 1234, tpLinear},
      {"negative master", 2, -1, 3, 1234, 0, 2, 0, tdBox03, 1234, tpLinear},
      {"type 200", 1, 0, 200, 1234, 0, 1, 0, tdUnknown, 0, tpLinear},
      {"negative type", 1, 0, -1, 1234, 0, 1, 0, tdUnknown, 0, tpLinear},
      {"type 17 is known", 1, 0, 17, 5, 0, 1, 0, tdBox17, 5, tpLinear},
      {"unknown type drops the serial", 1, 0, 0, 1234, 0, 1, 0, tdUnknown, 0, tpLinear},
      {"count 9", 9, 0, 3, 1, 0, 5, 0, tdBox03, 1, tpLinear},
      {"negative count", -4, 0, 3, 1, 0, 0, 0, tdBox03, 1, tpLinear},
      {"profile kind takes the low byte", 1, 0, 3, 1, 0x101, 1, 0, tdBox03, 1, tpArc},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    THeaderBytes h;
    h.count = c.count;
    h.master = c.master;
    h.type = c.type;
    h.serial = c.serial;
    h.profiles = c.profiles;
    h.x = 10;
    h.y = 20;
    h.z = 30;
    TFrnWindowFields fields = SomeWindow();
    const TFrnHeaderRead result = Read(h.Build(), fkData, fields);
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.Channels, c.countAfter);
    EXPECT_EQ(fields.CountChannalView, c.countAfter);
    EXPECT_EQ(fields.MasterChannal, c.masterAfter);
    EXPECT_EQ(fields.TypeGPRDevice, c.typeAfter);
    EXPECT_EQ(fields.SerNumDevice, c.serialAfter);
    EXPECT_EQ(fields.TypeProfiles, c.profilesAfter);
    EXPECT_EQ(fields.DeviceX, 10);
    EXPECT_EQ(fields.DeviceY, 20);
    EXPECT_EQ(fields.DeviceZ, 30);
  }
}

TEST(FrnHeader, OlderVersionsLackTheirFields) {
  for (uint8_t version = 0; version <= 6; ++version) {
    SCOPED_TRACE(int(version));
    THeaderBytes h;
    h.version = version;
    h.count = 2;
    h.master = 1;
    h.comment = QStringLiteral("xyz");
    h.x = 10;
    h.y = 20;
    h.z = 30;
    h.type = 5;
    h.serial = 6;
    h.profiles = 1;
    TFrnWindowFields fields = SomeWindow();
    fields.TypeProfiles = tpLinear;
    int64_t after = 0;
    ASSERT_TRUE(Read(h.Build(), fkData, fields, &after).Ok());
    const int64_t fieldsEnd = 22 + 1 + 6 + (version > 1 ? 12 : 0) + (version > 2 ? 8 : 0) + (version > 3 ? 4 : 0);
    EXPECT_EQ(after, fieldsEnd) << "records follow the fields the version has";
    EXPECT_EQ(fields.DeviceX, version > 1 ? 10 : 0);
    EXPECT_EQ(fields.DeviceZ, version > 1 ? 30 : 0);
    EXPECT_EQ(fields.TypeGPRDevice, version > 2 ? tdBox05 : tdBox03);
    EXPECT_EQ(fields.SerNumDevice, version > 2 ? 6 : 1234);
    EXPECT_EQ(fields.TypeProfiles, version > 3 ? tpArc : tpLinear);
    EXPECT_EQ(fields.MasterChannal, 1);
    EXPECT_EQ(fields.CountChannalView, 2);
  }
}

TEST(FrnHeader, SettingsContainersAndBackupsTakeOnlyTheDeviceOffsets) {
  THeaderBytes h;
  h.count = 5;
  h.master = 3;
  h.x = -10;
  h.y = 20;
  h.z = -30;
  h.type = 7;
  h.serial = 70;
  h.profiles = 0;
  const QByteArray container = h.Build();

  TFrnWindowFields fields = SomeWindow();
  TFrnHeaderRead result = Read(container, fkSettings, fields);
  ASSERT_TRUE(result.Ok());
  EXPECT_EQ(result.Channels, 5);
  EXPECT_EQ(result.RecordShift, 0);
  TFrnWindowFields expected = SomeWindow();
  expected.DeviceX = -10;
  expected.DeviceY = 20;
  expected.DeviceZ = -30;
  EXPECT_EQ(fields, expected);

  // A backup: 2 bytes, then the container; records count from the byte after them.
  const QByteArray backup = QByteArray("junk") + QByteArray("\xA5\x5A", 2) + container + QByteArray("WGPR");
  TMemoryStream stream(backup);
  stream.SetPosition(4);
  fields = SomeWindow();
  result = ReadFrnHeader(stream, fkBackup, fields);
  ASSERT_TRUE(result.Ok());
  EXPECT_EQ(result.RecordShift, 6);
  EXPECT_EQ(stream.Position(), 6 + container.size());
  EXPECT_EQ(fields, expected);

  // A master out of range is put right whatever the kind.
  fields = SomeWindow();
  fields.MasterChannal = 5;
  ASSERT_TRUE(Read(container, fkSettings, fields).Ok());
  EXPECT_EQ(fields.MasterChannal, 0);
}

TEST(FrnHeader, DamagedHeaderReadsNoChannelAndChangesNothing) {
  THeaderBytes h;
  h.count = 3;
  h.master = 1;
  h.comment = QStringLiteral("abc");
  const QByteArray whole = h.Build();
  std::vector<std::pair<QString, QByteArray>> damaged;
  for (qsizetype n = 0; n < whole.size(); ++n) damaged.emplace_back(QStringLiteral("cut at %1").arg(n), whole.left(n));
  QByteArray wrongMagic = whole;
  wrongMagic[4] = '4';
  damaged.emplace_back(QStringLiteral("FRN04"), wrongMagic);
  damaged.emplace_back(QStringLiteral("a record"), QByteArray("WGPR") + whole.mid(4));

  for (TFrnKind kind : {fkData, fkSettings, fkBackup}) {
    for (const auto& [what, bytes] : damaged) {
      SCOPED_TRACE(what.toStdString() + " kind " + std::to_string(kind));
      const QByteArray input = kind == fkBackup ? QByteArray(2, '\0') + bytes : bytes;
      TFrnWindowFields fields = SomeWindow();
      int64_t after = -1;
      const TFrnHeaderRead result = Read(input, kind, fields, &after);
      EXPECT_FALSE(result.Ok());
      EXPECT_EQ(result.Channels, 0);
      EXPECT_EQ(fields, SomeWindow());
      EXPECT_EQ(after, 0) << "the stream is back where it was";
    }
  }
  TFrnWindowFields fields;
  EXPECT_EQ(Read(wrongMagic, fkData, fields).Status, fhNoMagic);
  EXPECT_EQ(Read(whole.left(30), fkData, fields).Status, fhEndsEarly);
}

// ---- Files -------------------------------------------------------------------------------

TEST(FrnHeader, KindAndChannelCountOfFiles) {
  struct TKindCase {
    const char* name;
    TFrnKind kind;
  };
  for (const TKindCase& c : {TKindCase{"/p/bstt", fkSettings}, TKindCase{"/p/dstt", fkSettings},
                             TKindCase{"/p/mine.bstt", fkSettings}, TKindCase{"/p/mine.BSTT", fkData},
                             TKindCase{"/p/Bstt", fkData}, TKindCase{"/p/dump.trc", fkBackup},
                             TKindCase{"/p/dump.TRC", fkData}, TKindCase{"/p/line.frn", fkData}}) {
    EXPECT_EQ(FrnKindOf(QString::fromLatin1(c.name)), c.kind) << c.name;
  }

  QTemporaryDir dir;
  const auto write = [&](const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  };
  THeaderBytes three;
  three.count = 3;
  THeaderBytes nine;
  nine.count = 9;
  THeaderBytes two;
  two.count = 2;
  EXPECT_EQ(FrnChannelCountOfFile(dir.filePath("missing.frn")), 5);
  EXPECT_EQ(FrnChannelCountOfFile(write("three.frn", three.Build())), 3);
  EXPECT_EQ(FrnChannelCountOfFile(write("preset.bstt", two.Build())), 5);
  EXPECT_EQ(FrnChannelCountOfFile(write("bstt", two.Build())), 5);
  EXPECT_EQ(FrnChannelCountOfFile(write("dstt", two.Build())), 2);
  EXPECT_EQ(FrnChannelCountOfFile(write("nine.frn", nine.Build())), 5);
  EXPECT_EQ(FrnChannelCountOfFile(write("short.frn", three.Build().left(16))), 0);
  EXPECT_EQ(FrnChannelCountOfFile(write("record.frn", QByteArray("WGPR") + three.Build().mid(4))), 0);
}

}  // namespace
