// The palette stream and the palette library: bytes, counts that hold no
// palette, counts a stream cannot hold, and the library walk.

#include "profiledata/palette_stream.h"
#include "profiledata/palette_stream_library.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <vector>

namespace {

void PutU32(QByteArray& bytes, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes.append(static_cast<char>((v >> (8 * i)) & 0xFFu));
}

// A palette stream laid out field by field: u32 count, then i32 X, i32 colour.
QByteArray StreamBytes(uint32_t count, const std::vector<std::pair<int32_t, uint32_t>>& points) {
  QByteArray bytes;
  PutU32(bytes, count);
  for (const auto& [x, colour] : points) {
    PutU32(bytes, static_cast<uint32_t>(x));
    PutU32(bytes, colour);
  }
  return bytes;
}

TEST(PaletteStream, DefaultPaletteBytes) {
  TMemoryStream stream;
  WritePaletteStream(stream, DefaultPalettePoints());
  const QByteArray expected = QByteArray::fromHex("02000000" "00000000" "00000000" "00010000" "ffffff00");
  EXPECT_EQ(stream.Bytes(), expected);
  EXPECT_EQ(stream.Bytes(), StreamBytes(2, {{0, 0x000000}, {256, 0xFFFFFF}}));
}

TEST(PaletteStream, RoundTripKeepsOrderPositionsAndSystemColours) {
  // Unsorted on purpose, with a system colour and positions outside 0..256.
  const std::vector<TPalettePoint> points{
      {0, 0x000000}, {200, clBtnFace}, {100, 0x00FF8040}, {-7, 0x123456}, {300, 0xFFFFFF}};
  TMemoryStream stream;
  WritePaletteStream(stream, points);
  EXPECT_EQ(stream.Size(), 4 + 8 * 5);
  EXPECT_EQ(stream.Bytes().mid(16, 4), QByteArray::fromHex("0f0000ff")) << "a system colour is stored as its value";
  stream.SetPosition(0);
  const auto read = ReadPaletteStream(stream);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, points);
  EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(PaletteStream, CountsOfZeroAndOneHoldNoPaletteAndUseFourBytes) {
  for (uint32_t count : {0u, 1u}) {
    SCOPED_TRACE(count);
    // What follows the count is the next record, not part of this one.
    TMemoryStream stream(StreamBytes(count, {}) + StreamBytes(2, {{0, 1}, {256, 2}}));
    EXPECT_FALSE(ReadPaletteStream(stream).has_value());
    EXPECT_EQ(stream.Position(), 4);
    EXPECT_TRUE(ReadPaletteStream(stream).has_value());
  }
}

TEST(PaletteStream, CountsTheStreamOrAPaletteCannotHoldFailWithoutReading) {
  struct TCase {
    const char* what;
    QByteArray bytes;
  };
  QByteArray tooManyPoints = StreamBytes(MaxPalettePoints + 1, {});
  for (int i = 0; i <= MaxPalettePoints; ++i) {
    PutU32(tooManyPoints, static_cast<uint32_t>(i));
    PutU32(tooManyPoints, 0);
  }
  const TCase cases[] = {
      {"one point short", StreamBytes(3, {{0, 0}, {256, 0xFFFFFF}})},
      {"half a point short", StreamBytes(2, {{0, 0}, {256, 0xFFFFFF}}).left(4 + 8 + 4)},
      {"count wraps 32 bits when multiplied", StreamBytes(0x20000001u, {{0, 0}, {256, 0xFFFFFF}})},
      {"largest count", StreamBytes(0xFFFFFFFFu, {{0, 0}, {256, 0xFFFFFF}})},
      {"more points than a palette holds", tooManyPoints},
      {"count cut short", QByteArray::fromHex("0200")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    QByteArray bytes = QByteArray::fromHex("aabbccdd") + c.bytes;  // the record starts at 4
    TMemoryStream stream(bytes);
    stream.SetPosition(4);
    EXPECT_THROW(ReadPaletteStream(stream), EReadError);
    EXPECT_EQ(stream.Position(), 4) << "the stream is left where the record starts";
  }
}

TEST(PaletteStream, LargestPaletteReadsBack) {
  std::vector<TPalettePoint> points;
  for (int i = 0; i < MaxPalettePoints; ++i) points.push_back({i, static_cast<TColor>(i * 3)});
  TMemoryStream stream;
  WritePaletteStream(stream, points);
  stream.SetPosition(0);
  EXPECT_EQ(ReadPaletteStream(stream), points);
}

class PaletteLibrary : public ::testing::Test {
protected:
  QString Path() const { return dir_.filePath("palset"); }
  QTemporaryDir dir_;
};

TEST_F(PaletteLibrary, AppendedPalettesAreFoundAtTheirPositions) {
  const std::vector<TPalettePoint> first = DefaultPalettePoints();
  const std::vector<TPalettePoint> second{{0, 0x0000FF}, {128, 0x00FF00}, {256, 0xFF0000}};
  EXPECT_EQ(AppendPaletteToLibrary(Path(), first), 0);
  EXPECT_EQ(AppendPaletteToLibrary(Path(), second), 4 + 8 * 2);
  EXPECT_EQ(AppendPaletteToLibrary(Path(), first), 4 + 8 * 2 + 4 + 8 * 3);

  QFile file(Path());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), StreamBytes(2, {{0, 0}, {256, 0xFFFFFF}}) +
                                StreamBytes(3, {{0, 0x0000FF}, {128, 0x00FF00}, {256, 0xFF0000}}) +
                                StreamBytes(2, {{0, 0}, {256, 0xFFFFFF}}))
      << "no header, no count, streams back to back";
  file.close();

  const auto records = ReadPaletteLibrary(Path());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].Position, 0);
  EXPECT_EQ(records[1].Position, 20);
  EXPECT_EQ(records[2].Position, 48);
  EXPECT_EQ(records[1].Points, second);
  EXPECT_EQ(records[2].Points, first);
}

TEST_F(PaletteLibrary, AStreamWithoutAPaletteIsARecordOfItsOwn) {
  QFile file(Path());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(StreamBytes(1, {}) + StreamBytes(2, {{0, 5}, {256, 6}}));
  file.close();
  const auto records = ReadPaletteLibrary(Path());
  ASSERT_EQ(records.size(), 2u);
  EXPECT_FALSE(records[0].Points.has_value());
  EXPECT_EQ(records[1].Position, 4);
  EXPECT_EQ(records[1].Points, (std::vector<TPalettePoint>{{0, 5}, {256, 6}}));
}

TEST_F(PaletteLibrary, ACutLibraryOrAMissingFileIsAnError) {
  EXPECT_THROW(ReadPaletteLibrary(Path()), EFOpenError);
  QFile file(Path());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(StreamBytes(2, {{0, 5}, {256, 6}}) + StreamBytes(4, {{0, 5}, {256, 6}}));
  file.close();
  EXPECT_THROW(ReadPaletteLibrary(Path()), EReadError);
}

TEST_F(PaletteLibrary, RemovingAPaletteKeepsTheOthersByteForByte) {
  // A record holding no palette (count 1) is removed or kept as it is too.
  const QByteArray a = StreamBytes(2, {{0, 0}, {256, 0xFFFFFF}});
  const QByteArray b = StreamBytes(1, {});
  const QByteArray c = StreamBytes(3, {{0, 0x0000FF}, {128, 0x00FF00}, {256, 0xFF0000}});
  const auto write = [&](const QByteArray& bytes) {
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
  };
  const auto read = [&] {
    QFile file(Path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  const struct {
    int index;
    QByteArray left;
  } cases[] = {{0, b + c}, {1, a + c}, {2, a + b}};
  for (const auto& test : cases) {
    write(a + b + c);
    EXPECT_EQ(RemovePaletteFromLibrary(Path(), test.index), prRemoved) << test.index;
    EXPECT_EQ(read(), test.left) << test.index;
  }
  write(a + b + c);
  for (const int index : {-1, 3}) EXPECT_EQ(RemovePaletteFromLibrary(Path(), index), prNoSuchPalette) << index;
  EXPECT_EQ(read(), a + b + c);
}

TEST_F(PaletteLibrary, ALibraryThatDoesNotReadIsLeftAsItWas) {
  EXPECT_EQ(RemovePaletteFromLibrary(Path(), 0), prUnreadable) << "no file";
  const QByteArray cut = StreamBytes(2, {{0, 0}, {256, 0xFFFFFF}}) + StreamBytes(3, {{0, 0}});
  {
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(cut);
  }
  EXPECT_EQ(RemovePaletteFromLibrary(Path(), 0), prUnreadable);
  QFile file(Path());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), cut);
}

}  // namespace
