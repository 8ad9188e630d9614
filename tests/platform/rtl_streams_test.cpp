#include "platform/rtl/streams.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstring>

namespace rtl_streams_test {

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(RtlStreams, ShortReadReturnsCountAndReadBufferThrows) {
  TMemoryStream s(QByteArray("abcde"));
  char buf[8] = {};
  s.SetPosition(3);
  EXPECT_EQ(s.Read(buf, 8), 2);
  EXPECT_EQ(std::string(buf, 2), "de");
  EXPECT_EQ(s.Read(buf, 8), 0);

  s.SetPosition(3);
  EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
  s.SetPosition(0);
  EXPECT_NO_THROW(s.ReadBuffer(buf, 5));
  EXPECT_THROW(s.ReadValue<uint8_t>(), EReadError);
  EXPECT_NO_THROW(s.ReadBuffer(buf, 0));
}

TEST(RtlStreams, MemoryStreamSeekSizeAndGrowth) {
  TMemoryStream s;
  EXPECT_EQ(s.Size(), 0);
  s.WriteBuffer("hello", 5);
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.Seek(-2, soEnd), 3);
  EXPECT_EQ(s.Seek(1, soCurrent), 4);
  EXPECT_EQ(s.Seek(0, soBeginning), 0);
  EXPECT_EQ(s.Seek(-1, soBeginning), 0) << "a negative target leaves the position";

  // Writing past the end grows the stream and fills the gap with zeros.
  s.Seek(8, soBeginning);
  s.WriteBuffer("!", 1);
  EXPECT_EQ(s.Size(), 9);
  EXPECT_EQ(s.Bytes(), QByteArray("hello\0\0\0!", 9));

  // Growing with SetSize keeps the position and zero-fills; shrinking pulls it in.
  s.SetPosition(2);
  s.SetSize(12);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(s.Bytes().right(3), QByteArray(3, '\0'));
  s.SetPosition(10);
  s.SetSize(4);
  EXPECT_EQ(s.Position(), 4);
  EXPECT_EQ(s.Bytes(), QByteArray("hell"));

  TMemoryStream copy;
  copy.CopyFrom(s, 0);
  EXPECT_EQ(copy.Bytes(), QByteArray("hell"));
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
}

TEST(RtlStreams, ValuesAreLittleEndian) {
  TMemoryStream s;
  s.WriteValue<uint16_t>(0x1234);
  s.WriteValue<int32_t>(-2);
  s.WriteValue<uint64_t>(0x0102030405060708ull);
  s.WriteValue<double>(1.0);
  const QByteArray expected("\x34\x12"
                            "\xFE\xFF\xFF\xFF"
                            "\x08\x07\x06\x05\x04\x03\x02\x01"
                            "\x00\x00\x00\x00\x00\x00\xF0\x3F",
                            22);
  EXPECT_EQ(s.Bytes(), expected);

  s.SetPosition(0);
  EXPECT_EQ(s.ReadValue<uint16_t>(), 0x1234);
  EXPECT_EQ(s.ReadValue<int32_t>(), -2);
  EXPECT_EQ(s.ReadValue<uint64_t>(), 0x0102030405060708ull);
  EXPECT_EQ(s.ReadValue<double>(), 1.0);
}

TEST(RtlStreams, FileStreamCreateOpenReadWriteSetSize) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("data.bin");
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer("0123456789", 10);
    EXPECT_EQ(f.Size(), 10);
    EXPECT_EQ(f.Position(), 10);
  }
  EXPECT_EQ(FileBytes(path), QByteArray("0123456789"));
  {
    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    char buf[16] = {};
    EXPECT_EQ(f.Seek(-4, soEnd), 6);
    EXPECT_EQ(f.Read(buf, 16), 4);
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_THROW(f.ReadBuffer(buf, 1), EReadError);
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError) << "opened for reading only";
  }
  {
    TFileStream f(path, fmOpenReadWrite);
    f.Seek(2, soBeginning);
    f.WriteBuffer("ab", 2);
    f.SetSize(6);
    EXPECT_EQ(f.Size(), 6);
    EXPECT_EQ(f.Position(), 6) << "SetSize leaves a file stream at the new end";
    f.SetSize(8);
    EXPECT_EQ(f.Position(), 8);
  }
  EXPECT_EQ(FileBytes(path), QByteArray("01ab45\0\0", 8));
  {
    TFileStream f(path, fmCreate);  // truncates
    EXPECT_EQ(f.Size(), 0);
  }
  EXPECT_EQ(FileBytes(path), QByteArray());

  TMemoryStream m(QByteArray("saved"));
  m.SaveToFile(path);
  TMemoryStream loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.Bytes(), QByteArray("saved"));
}

TEST(RtlStreams, OpenErrors) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  EXPECT_THROW(TFileStream(dir.filePath("missing.bin"), fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(dir.filePath("missing.bin"), fmOpenReadWrite), EFOpenError);
  EXPECT_THROW(TFileStream(dir.path(), fmOpenRead), EFOpenError) << "a folder is not a file";
  EXPECT_THROW(TFileStream(dir.filePath("no/such/folder/x.bin"), fmCreate), EFCreateError);
  TMemoryStream m;
  EXPECT_THROW(m.LoadFromFile(dir.filePath("missing.bin")), EFOpenError);
}

}  // namespace rtl_streams_test
