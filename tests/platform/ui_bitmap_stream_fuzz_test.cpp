// The toolkit BMP fuzz harness in the normal suite: junk made from valid images
// of several layouts (a 4-bit image with a short colour table, a 24-bit one, a
// top-down 32-bit one with bit fields) through ReadBmpImage, TBitmap and
// PeekBmpFileSize.

#include "tests/fuzz/bitmap_stream_fuzz_target.h"
#include "tests/fuzz/fuzz_inputs.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

QByteArray Written(const TBmpImage& image) {
  TMemoryStream stream;
  WriteBmpImage(stream, image);
  return stream.Bytes();
}

QByteArray FourBits() {
  TBmpImage image;
  image.Width = 5;
  image.Height = 2;
  image.BitCount = 4;
  image.Colors = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
  image.Pixels = {0x01, 0x20, 0x10, 0x00, 0x22, 0x11, 0x00, 0x00};
  return Written(image);
}

QByteArray TwentyFourBits() {
  TBmpImage image;
  image.Width = 2;
  image.Height = 3;
  image.BitCount = 24;
  for (int i = 0; i < 24; ++i) image.Pixels.push_back(static_cast<uint8_t>(i * 11));
  return Written(image);
}

// 2 x 2, rows top-down, BI_BITFIELDS with the plain masks behind a 40-byte header.
QByteArray TopDownBitFields() {
  QByteArray b;
  auto u16 = [&b](uint16_t v) { b.append(static_cast<char>(v)).append(static_cast<char>(v >> 8)); };
  auto u32 = [&](uint32_t v) {
    u16(static_cast<uint16_t>(v));
    u16(static_cast<uint16_t>(v >> 16));
  };
  u16(0x4D42), u32(14 + 40 + 12 + 16), u32(0), u32(14 + 40 + 12);
  u32(40), u32(2), u32(static_cast<uint32_t>(-2)), u16(1), u16(32), u32(3), u32(16), u32(0), u32(0), u32(0), u32(0);
  u32(0x00FF0000), u32(0x0000FF00), u32(0x000000FF);
  for (uint32_t p : {0x00112233u, 0x00445566u, 0x00778899u, 0x00AABBCCu}) u32(p);
  return b;
}

TEST(BitmapStreamFuzz, JunkInputsKeepTheReadersPromises) {
  for (const QByteArray& valid : {FourBits(), TwentyFourBits(), TopDownBitFields()}) {
    for (uint8_t reader : {0, 1, 2}) {
      ASSERT_TRUE(RunWithSelector(ReadBitmapStreamOnce, reader, valid).empty()) << "a valid image, reader " << int(reader);
      for (const QByteArray& input : JunkInputs(valid, 0xB17u + reader, 100)) {
        const std::string broken = RunWithSelector(ReadBitmapStreamOnce, reader, input);
        ASSERT_TRUE(broken.empty()) << "reader " << int(reader) << ": " << broken << "\n" << input.toHex().constData();
      }
    }
  }
}

// A picture without columns but with a height near 2^31: no pixel bytes, and
// nothing for the reader or the writer to step through row by row (each row
// used to be visited, which took seconds per read and per save).
TEST(BitmapStreamFuzz, ZeroWidthPictureOfAnyHeight) {
  for (int32_t height : {29884474, INT32_MAX, -INT32_MAX}) {
    TBmpImage image;
    image.Width = 0;
    image.Height = height < 0 ? -height : height;
    image.BitCount = 24;
    QByteArray file = Written(image);
    std::memcpy(file.data() + 22, &height, 4);  // a negative height stores the rows top-down
    for (uint8_t reader : {0, 1})
      EXPECT_TRUE(RunWithSelector(ReadBitmapStreamOnce, reader, file).empty()) << height;
    TBitmap bitmap;
    TMemoryStream stream(file);
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), image.Height);
    EXPECT_TRUE(bitmap.Empty());
  }
}

}  // namespace
