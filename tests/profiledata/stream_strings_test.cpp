#include "profiledata/stream_strings.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray bytes;
  for (int v : values) bytes.append(static_cast<char>(v));
  return bytes;
}

QByteArray WrittenWide(const QString& text) {
  TMemoryStream stream;
  WriteShortWideString(stream, text);
  return stream.Bytes();
}

TEST(StreamStrings, ShortWideStringLayout) {
  struct Case {
    QString text;
    QByteArray bytes;
  };
  const Case cases[] = {
      {QString(), Bytes({0})},
      {QStringLiteral("AB"), Bytes({2, 'A', 0, 'B', 0})},
      {QString(QChar(0x0416)), Bytes({1, 0x16, 0x04})},  // Cyrillic Zhe
      // U+1F600 is the surrogate pair D83D DE00: two code units, counted as two.
      {QString::fromUcs4(U"\U0001F600"), Bytes({2, 0x3D, 0xD8, 0x00, 0xDE})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    EXPECT_EQ(WrittenWide(c.text), c.bytes);
    TMemoryStream stream(c.bytes);
    EXPECT_EQ(ReadShortWideString(stream), c.text);
    EXPECT_EQ(stream.Position(), c.bytes.size());
  }
}

TEST(StreamStrings, LongWideTextIsCutAndTheNextFieldStillReads) {
  TMemoryStream stream;
  WriteShortWideString(stream, QString(300, QLatin1Char('x')));
  stream.WriteValue<int32_t>(0x12345678);
  EXPECT_EQ(stream.Size(), 1 + 255 * 2 + 4);
  EXPECT_EQ(static_cast<uint8_t>(stream.Bytes()[0]), 255);

  stream.SetPosition(0);
  EXPECT_EQ(ReadShortWideString(stream), QString(255, QLatin1Char('x')));
  EXPECT_EQ(stream.ReadValue<int32_t>(), 0x12345678);
}

TEST(StreamStrings, CutDoesNotLeaveHalfASurrogatePair) {
  // Code units 255 and 256 are one character: keeping only the first half would
  // store a broken character.
  const QString text = QString(254, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600") + QStringLiteral("zz");
  TMemoryStream stream;
  WriteShortWideString(stream, text);
  EXPECT_EQ(static_cast<uint8_t>(stream.Bytes()[0]), 254);
  EXPECT_EQ(stream.Size(), 1 + 254 * 2);
}

TEST(StreamStrings, ShortAnsiStringLayoutAndCut) {
  TMemoryStream stream;
  WriteShortAnsiString(stream, QByteArray());
  WriteShortAnsiString(stream, QByteArray("\xC0" "A"));
  WriteShortAnsiString(stream, QByteArray(300, 'y'));
  stream.WriteValue<uint16_t>(0xBEEF);
  EXPECT_EQ(stream.Bytes().left(4), Bytes({0, 2, 0xC0, 'A'}));
  EXPECT_EQ(stream.Size(), 1 + 3 + 256 + 2);

  stream.SetPosition(0);
  EXPECT_EQ(ReadShortAnsiString(stream), QByteArray());
  EXPECT_EQ(ReadShortAnsiString(stream), QByteArray("\xC0" "A"));
  EXPECT_EQ(ReadShortAnsiString(stream), QByteArray(255, 'y'));
  EXPECT_EQ(stream.ReadValue<uint16_t>(), 0xBEEF);
}

TEST(StreamStrings, LongAnsiStringLayout) {
  TMemoryStream stream;
  WriteLongAnsiString(stream, QByteArray());
  EXPECT_EQ(stream.Bytes(), Bytes({0, 0, 0, 0}));
  WriteLongAnsiString(stream, QByteArray("$GP"));
  EXPECT_EQ(stream.Bytes().mid(4), Bytes({3, 0, 0, 0, '$', 'G', 'P'}));

  stream.SetPosition(0);
  EXPECT_EQ(ReadLongAnsiString(stream), QByteArray());
  EXPECT_EQ(ReadLongAnsiString(stream), QByteArray("$GP"));
  EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(StreamStrings, ReadsPastTheEndThrow) {
  struct Case {
    const char* what;
    QByteArray bytes;
    QByteArray (*read)(TStream&);
  };
  const auto wide = [](TStream& s) { return ReadShortWideString(s).toUtf8(); };
  const Case cases[] = {
      {"wide: no length byte", QByteArray(), wide},
      {"wide: 2 units announced, 3 bytes present", Bytes({2, 'A', 0, 'B'}), wide},
      {"ansi: 5 bytes announced, 2 present", Bytes({5, 'a', 'b'}), ReadShortAnsiString},
      {"long: short length field", Bytes({1, 0}), ReadLongAnsiString},
      {"long: 10 bytes announced, 3 present", Bytes({10, 0, 0, 0, 'a', 'b', 'c'}), ReadLongAnsiString},
      // A damaged length must fail before a huge buffer is allocated.
      {"long: negative length", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a'}), ReadLongAnsiString},
      {"long: 2 GiB announced", Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a'}), ReadLongAnsiString},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryStream stream(c.bytes);
    EXPECT_THROW(c.read(stream), EReadError);
  }
}

}  // namespace
