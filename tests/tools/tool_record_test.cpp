// The record frame every tool writes: the end offset is patched also when the
// tool's fields fail, and the readers take each field only when the form has it.

#include "platform/rtl/streams.h"
#include "tools/tool_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

int32_t EndOffsetAt(const TMemoryStream& s, int at) {
  int32_t v = 0;
  std::memcpy(&v, s.Bytes().constData() + at, 4);
  return v;
}

TEST(ToolRecord, EndOffsetIsPatchedAlsoWhenTheBodyThrows) {
  TMemoryStream s;
  s.WriteBuffer("xy", 2);
  {
    TToolRecordWriter record(s, QStringLiteral("Gain"), 32, QStringLiteral("G"), false);
    s.WriteValue<int32_t>(5);
  }
  EXPECT_EQ(EndOffsetAt(s, 2), s.Size());
  const int64_t second = s.Position();
  EXPECT_THROW(
      {
        TToolRecordWriter record(s, QStringLiteral("Abs"), 33, QString(), true);
        s.WriteValue<uint8_t>(1);
        throw std::runtime_error("body");
      },
      std::runtime_error);
  EXPECT_EQ(EndOffsetAt(s, static_cast<int>(second)), s.Size());
  EXPECT_EQ(s.Position(), s.Size()) << "the stream stays behind the record";
  EXPECT_EQ(s.Bytes().mid(static_cast<int>(second) + 4), QByteArray("\x03" "Abs\x21\x00\x01\x01", 8));
}

TEST(ToolRecord, HeadsByFormat) {
  struct TCase {
    QByteArray bytes;
    uint8_t format;
    bool hasCaption;
    QString caption;
    bool apply;
    int64_t consumed;
  };
  const std::vector<TCase> cases{
      {QByteArray("\x1f\x01" "a\x00\x01", 5), 31, false, {}, false, 1},
      {QByteArray("\x20\x01" "a\x00\x01", 5), 32, true, "a", true, 5},
      {QByteArray("\x21\x00\x00", 3), 33, true, "", false, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    TMemoryStream s(c.bytes);
    const TToolRecordHead head = ReadToolRecordHead(s);
    EXPECT_EQ(head.Format, c.format);
    EXPECT_EQ(head.HasCaption, c.hasCaption);
    EXPECT_EQ(head.Caption, c.caption);
    EXPECT_EQ(head.Apply, c.apply);
    EXPECT_EQ(s.Position(), c.consumed);
  }
  TMemoryStream old(QByteArray("\x02" "ab\x01", 4));
  const TToolRecordHead head = ReadOldToolRecordHead(old);
  EXPECT_EQ(head.Caption, "ab");
  EXPECT_TRUE(head.Apply);
  TMemoryStream cut(QByteArray("\x20\x05" "ab", 4));
  EXPECT_THROW(ReadToolRecordHead(cut), EReadError);
}

}  // namespace
