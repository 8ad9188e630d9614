// Records the reader must refuse or survive: the three messages it shows, records
// cut short, counts and ranges the record cannot hold, pictures it cannot decode,
// and the raw-block reader's refusals.

#include "platform/ui/bitmap.h"
#include "profiledata/markers_data.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/profiledata/record_test_env.h"

#include <gtest/gtest.h>

#include <QDate>

#include <functional>
#include <tuple>

namespace {

using namespace record_fixtures;

const QString kFormat = QStringLiteral("Format is not correct");
const QString kDestroyed = QStringLiteral("File is destroyed or format is not correct");
const QString kSizeWrong = QStringLiteral("File is destroyed or format is not correct!");

template <typename T>
void Patch(QByteArray& bytes, int64_t at, T value) {
  ASSERT_GE(at, 0);
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

TRecordFields DataRecord() {
  TRecordFields f;
  f.FillRaw();
  return f;
}

TEST(RecordErrors, EachFailureShowsItsMessage) {
  const QByteArray wgpr = BuildWgpr(DataRecord(), 42);
  QByteArray cut = wgpr.left(wgpr.size() - DataRecord().raw.size() - 30);  // ends inside the markers
  Patch<uint32_t>(cut, 4, static_cast<uint32_t>(cut.size()));
  Patch<uint32_t>(cut, 8, static_cast<uint32_t>(cut.size()));

  struct TCase {
    const char* name;
    QByteArray bytes;
    QString text;
    QString comments;  // what the channel comment is afterwards
  };
  const std::vector<TCase> cases{
      {"unknown magic", QByteArray("XXXX") + wgpr.mid(4), kFormat, QStringLiteral("Not Valid")},
      {"stream shorter than a magic", QByteArray("WG"), kFormat, QStringLiteral("Not Valid")},
      {"old file one byte too long", BuildDezo16(DataRecord(), 18, true) + QByteArray(1, '\0'), kSizeWrong,
       QStringLiteral("before")},
      {"header cut short", cut, kDestroyed, DataRecord().comments},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TDialogScript::Reset();
    TDialogScript::QueueAnswer(IDCANCEL);
    TRecordEnv env(reWindow);
    env.settings->SetComments(QStringLiteral("before"));
    EXPECT_FALSE(env.Read(c.bytes, QStringLiteral("/d/a.dezo"), 0, 5));
    const std::vector<TShownDialog> shown = TDialogScript::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, c.text);
    EXPECT_EQ(shown[0].Caption, "Error");
    EXPECT_EQ(shown[0].Icon, MB_ICONERROR);
    EXPECT_EQ(shown[0].Buttons, TMsgDlgButtons{mbCancel});
    EXPECT_EQ(env.settings->GetComments(), c.comments) << "fields read before the failure stay";
    if (c.text == kFormat) {
      EXPECT_EQ(env.positionAfter, 5) << "left at addShift";
    }
  }
}

TEST(RecordErrors, RecordEndingBeyondTheStreamIsReportedNotOpenedEmpty) {
  const TRecordFields f = DataRecord();
  const QByteArray bytes = BuildWgpr(f, 42).chopped(10);
  TDialogScript::QueueAnswer(IDCANCEL);
  TRecordEnv env(reWindow);
  EXPECT_FALSE(env.Read(bytes));
  EXPECT_EQ(ShownTexts(), std::vector<QString>{kDestroyed});
  EXPECT_EQ(env.recordEnd, bytes.size() + 10) << "the record's own end";
  EXPECT_EQ(env.settings->GetComments(), QDate::currentDate().toString("dd_MM_yyyy")) << "nothing read";
}

TEST(RecordErrors, VersionNeverWrittenIsRefusedSilently) {
  const QByteArray bytes = BuildWgpr(DataRecord(), 31);
  const int64_t headerEnd = bytes.size() - DataRecord().raw.size();
  TRecordEnv env(reWindow);
  EXPECT_FALSE(env.Read(bytes, QStringLiteral("/d/a.dezo"), 0, 7));
  EXPECT_TRUE(TDialogScript::Shown().empty());
  EXPECT_EQ(env.positionAfter, headerEnd + 7);
  EXPECT_NE(env.settings->GetComments(), DataRecord().comments);
}

TEST(RecordErrors, CountsRangesAndOffsetsThatCannotBeTrueAreDamage) {
  using TEdit = std::function<void(TRecordFields& f, QByteArray& bytes, const TWgprOffsets& at)>;
  struct TCase {
    const char* name;
    TEdit edit;
    uint8_t version = 42;
    const char* file = "/data/line7.dezo";
  };
  const std::vector<TCase> cases{
      {"negative inclinometer count", [](auto&, auto& b, auto& at) { Patch<int64_t>(b, at.incl, -1); }},
      {"inclinometer count beyond the header", [](auto&, auto& b, auto& at) { Patch<int64_t>(b, at.incl, 1LL << 40); }},
      {"topography count", [](auto&, auto& b, auto& at) { Patch<uint32_t>(b, at.topo, 0x10000000); }},
      {"negative NMEA length", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.nmea, -5); }},
      {"NMEA length beyond the header", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.nmea, 0x7FFFFFFF); }},
      {"palette count", [](auto&, auto& b, auto& at) { Patch<uint32_t>(b, at.palette, 0xFFFFFFFF); }},
      {"negative zero-level count", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.zeroLevel, -1); }},
      {"zero-level count", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.zeroLevel, 0x10000000); }},
      {"first trace below the table", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.range, -500001); }},
      {"end trace beyond the table", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.range + 4, 500002); }},
      {"reversed trace range", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.range, 5); }},
      {"more traces than the raw block", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.range + 4, 10); }},
      {"traces without trace length", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.longTrace, 0); }},
      {"raw block without trace length", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.longTrace, -1); }, 35},
      // Every per-trace loop (the stacking table first) would run that long.
      {"trace length beyond a trace", [](auto&, auto& b, auto& at) { Patch<int32_t>(b, at.longTrace, 65536); }, 42,
       "/p/stt"},
      {"surface-marker count", [](auto&, auto& b, auto& at) { Patch<uint32_t>(b, at.surface, 0x7FFFFFFF); }},
      {"object-marker count", [](auto&, auto& b, auto& at) { Patch<uint32_t>(b, at.objects, 0x7FFFFFFF); }},
      {"polyline count", [](auto&, auto& b, auto& at) { Patch<uint32_t>(b, at.polylines, 0x7FFFFFFF); }},
      {"header end beyond the record end", [](auto&, auto& b, auto&) { Patch<uint32_t>(b, 8, b.size() + 1); }},
      {"header end inside the fixed fields", [](auto&, auto& b, auto&) { Patch<uint32_t>(b, 8, 12); }},
      {"header end before the last field", [](auto& f, auto& b, auto&) {
         Patch<uint32_t>(b, 8, static_cast<uint32_t>(b.size() - f.raw.size() - 3));
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordFields f = DataRecord();
    TWgprOffsets at;
    QByteArray bytes = BuildWgpr(f, c.version, {}, std::nullopt, std::nullopt, &at);
    c.edit(f, bytes, at);
    TDialogScript::Reset();
    TDialogScript::QueueAnswer(IDCANCEL);
    TRecordEnv env(reWindow);
    EXPECT_FALSE(env.Read(bytes, QString::fromLatin1(c.file)));
    EXPECT_EQ(ShownTexts(), std::vector<QString>{kDestroyed});
  }
}

TEST(RecordErrors, OldRecordsWithImpossibleFieldsAreDamage) {
  using TEdit = std::function<void(TRecordFields&, TOldDezoFields&)>;
  struct TCase {
    const char* name;
    uint8_t version;
    TEdit edit;
  };
  const std::vector<TCase> cases{
      {"version 1", 1, [](auto&, auto&) {}},
      {"span index beyond the windows", 9, [](auto& f, auto&) { f.spanIndex = 4; }},
      {"no windows", 9, [](auto&, auto& o) { o.windows.clear(); }},
      {"16-bit samples without trace length", 9, [](auto& f, auto& o) {
         f.longTrace = 0;
         o.overStepWord = 0;
         f.raw = QByteArray(64, '\1');
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordFields f;
    TOldDezoFields old;
    c.edit(f, old);
    TDialogScript::Reset();
    TDialogScript::QueueAnswer(IDCANCEL);
    TRecordEnv env(reWindow);
    EXPECT_FALSE(env.Read(BuildDezo2(f, old, c.version, true)));
    EXPECT_EQ(ShownTexts(), std::vector<QString>{kDestroyed});
  }

  // Counts of the old header patched beyond what it holds.
  TRecordFields f;
  TOldDezoFields old;
  const QByteArray good = BuildDezo2(f, old, 9, true);
  const int64_t windows = 13 + 1 + f.comments.size() + 1 + 4 * 6;
  const int64_t skipped = windows + 4 + 2 * 4;
  const int64_t marks = skipped + 4 + 16;
  for (const auto& [name, at, value] : {std::tuple{"window count", windows, 0x40000000},
                                        std::tuple{"negative skipped block", skipped, -8},
                                        std::tuple{"skipped block beyond the header", skipped, 0x7FFFFFF0},
                                        std::tuple{"mark count", marks, 0x01000000}}) {
    SCOPED_TRACE(name);
    QByteArray bytes = good;
    Patch<int32_t>(bytes, at, value);
    TDialogScript::Reset();
    TDialogScript::QueueAnswer(IDCANCEL);
    TRecordEnv env(reWindow);
    EXPECT_FALSE(env.Read(bytes));
    EXPECT_EQ(ShownTexts(), std::vector<QString>{kDestroyed});
  }
}

// A 1 x 1 picture of 16 bits per pixel: a valid image this code does not decode.
QByteArray SixteenBitPicture() {
  TBytes b;
  b.U16(0x4D42).U32(14 + 40 + 4).U32(0).U32(14 + 40);
  b.U32(40).I32(1).I32(1).U16(1).U16(16).U32(0).U32(4).I32(0).I32(0).U32(0).U32(0);
  b.U32(0x7FFF);
  return b.data;
}

TEST(RecordErrors, PictureThatCannotBeDecodedIsSteppedOver) {
  for (TRecordEnvMode mode : {reWindow, reNoWindow, rePlanning}) {
    SCOPED_TRACE(mode);
    TRecordFields f = DataRecord();
    f.picture = SixteenBitPicture();
    TRecordEnv env(mode);
    ASSERT_TRUE(env.Read(BuildWgpr(f, 42)));
    EXPECT_TRUE(TDialogScript::Shown().empty());
    EXPECT_EQ(env.shell.errorLoadFile, mode != rePlanning) << "the window recomputes its display";
    EXPECT_TRUE(env.settings->Bmp->Empty()) << "the picture stays as it was";
    EXPECT_EQ(env.settings->ZeroLevelX.size(), 3u) << "the fields behind the picture are read";
    EXPECT_EQ(env.settings->GetMinTrace(), -2);
    EXPECT_EQ(env.settings->ObjectMarkersArray->Count(), 1);
  }
}

TEST(RecordErrors, PictureWithoutBelievableSizeIsDamage) {
  struct TCase {
    const char* name;
    std::function<void(QByteArray&)> edit;
  };
  for (const TCase& c : {TCase{"size beyond the header", [](QByteArray& p) { Patch<uint32_t>(p, 2, 0x00FFFFFF); }},
                         TCase{"size below the headers", [](QByteArray& p) { Patch<uint32_t>(p, 2, 20); }},
                         TCase{"no signature", [](QByteArray& p) { p[0] = 'X'; }}}) {
    SCOPED_TRACE(c.name);
    TRecordFields f = DataRecord();
    f.picture = SixteenBitPicture();
    c.edit(f.picture);
    TDialogScript::Reset();
    TDialogScript::QueueAnswer(IDCANCEL);
    TRecordEnv env(reWindow);
    EXPECT_FALSE(env.Read(BuildWgpr(f, 42)));
    EXPECT_EQ(ShownTexts(), std::vector<QString>{kDestroyed});
    EXPECT_TRUE(env.shell.errorLoadFile);
  }
}

TEST(RecordErrors, RawBlockReaderRefusesWhatIsNoRecord) {
  const TRecordFields f = DataRecord();
  const QByteArray good = BuildWgpr(f, 42, QByteArray(3, '\0'));
  QByteArray beyond = good;
  Patch<uint32_t>(beyond, 3 + 4, static_cast<uint32_t>(good.size() + 1));
  QByteArray inverted = good;
  Patch<uint32_t>(inverted, 3 + 8, static_cast<uint32_t>(good.size() + 1));
  QByteArray inside = good;
  Patch<uint32_t>(inside, 3 + 8, 3 + 12);
  QByteArray magic = good;
  magic[3] = 'X';
  for (const auto& [name, bytes] : {std::pair{"no magic", magic}, std::pair{"end beyond the stream", beyond},
                                    std::pair{"header end beyond the record end", inverted},
                                    std::pair{"header end inside the fixed fields", inside},
                                    std::pair{"stream too short", good.left(9)}}) {
    SCOPED_TRACE(name);
    TRecordEnv env(reNoWindow);
    TMemoryStream stream(bytes);
    int64_t size = -1;
    int64_t end = -1;
    QByteArray block("x");
    EXPECT_FALSE(env.settings->ReadRawValue(QStringLiteral("/d/a.dezo"), stream, size, block, end, 3));
    EXPECT_EQ(stream.Position(), 3);
    EXPECT_EQ((std::tuple{size, end, block}), (std::tuple{-1, -1, QByteArray("x")})) << "nothing given back";
  }
  TRecordEnv env(reNoWindow);
  TMemoryStream stream(good);
  int64_t size = 0;
  int64_t end = 0;
  QByteArray block;
  ASSERT_TRUE(env.settings->ReadRawValue(QStringLiteral("/d/a.dezo"), stream, size, block, end, 3));
  EXPECT_EQ(block, f.raw);
  EXPECT_EQ(end, good.size());
}

}  // namespace
