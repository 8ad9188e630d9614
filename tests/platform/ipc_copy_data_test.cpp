// The copy-data request on the wire and the text carried in its bytes.

#include "platform/ipc/copy_data.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(CopyDataText, TakesWholeUnitsOfWhatArrived) {
  const QString word = QStringLiteral("abcdef");
  const QByteArray units = CopyDataTextBytes(word).left(12);  // without the zero byte
  const struct {
    int count;
    QString text;
  } cases[] = {
      {0, {}},                     // nothing sent
      {1, {}},                     // half a unit
      {2, QStringLiteral("a")},
      {3, QStringLiteral("a")},    // 2n + 1: what a sender puts for a text of n units
      {6, QStringLiteral("abc")},  // 2n with n odd keeps its last unit
      {7, QStringLiteral("abc")},
      {12, word},
  };
  for (const auto& c : cases) {
    QByteArray bytes = units.left(c.count);
    if (c.count > units.size()) bytes.append(QByteArray(c.count - units.size(), '\0'));
    EXPECT_EQ(CopyDataText(bytes), c.text) << c.count << " bytes";
  }
}

TEST(CopyDataText, SendersPutTheUnitsAndOneZeroByte) {
  // A path with a character outside the basic plane travels as its two units.
  const QString path = QStringLiteral("/data/\u00e9t\u00e9/") + QString::fromUcs4(U"\U0001F600") + QStringLiteral(".dezo");
  const QByteArray bytes = CopyDataTextBytes(path);
  ASSERT_EQ(bytes.size(), 2 * path.size() + 1);
  EXPECT_EQ(bytes.back(), '\0');
  EXPECT_EQ(CopyDataText(bytes), path);
  EXPECT_EQ(CopyDataTextBytes(QString()), QByteArray(1, '\0'));
}

TEST(CopyDataRequest, HeaderCarriesKindCodeAndCount) {
  const uint64_t code = 0x0123456789abcdefull;
  const QByteArray bytes("xyz", 3);
  const QByteArray request = EncodeCopyDataRequest(code, bytes);
  ASSERT_EQ(request.size(), static_cast<qsizetype>(IpcCopyDataHeaderSize) + 3);
  EXPECT_EQ(static_cast<uint8_t>(request[0]), IpcRequestCopyData);
  uint64_t readCode = 0;
  uint32_t readCount = 0;
  std::memcpy(&readCode, request.constData() + 1, 8);
  std::memcpy(&readCount, request.constData() + 9, 4);
  EXPECT_EQ(readCode, code);
  EXPECT_EQ(readCount, 3u);
  EXPECT_EQ(request.mid(IpcCopyDataHeaderSize), bytes);
}

}  // namespace
