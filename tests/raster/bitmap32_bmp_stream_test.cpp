#include "raster/bitmap32.h"

#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"

#include "bitmap_test_support.h"

#include <QImage>
#include <QTemporaryDir>

namespace {

class Bitmap32Bmp : public RasterTest {};

// Top row: A B, bottom row: C D.
constexpr TColor32 A = 0x11223344u, B = 0x55667788u, C = 0x99AABBCCu, D = 0xDDEEFF00u;

QByteArray Saved(TCustomBitmap32& bitmap, bool saveTopDown) {
  TMemoryStream stream;
  bitmap.SaveToStream(stream, saveTopDown);
  return stream.Bytes();
}

void Load(TCustomBitmap32& bitmap, const QByteArray& bytes) {
  TMemoryStream stream(bytes);
  bitmap.LoadFromStream(stream);
}

TEST_F(Bitmap32Bmp, TwoByTwoInBothRowOrders) {
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 2, 2, {A, B, C, D});
  // SaveTopDown false: the height is negative and the rows follow top first.
  const QByteArray topFirst = BmpHeader(2, -2, 32, 54, 16, 70).Color(A).Color(B).Color(C).Color(D).Data();
  // SaveTopDown true: the height is positive and the last row comes first.
  const QByteArray bottomFirst = BmpHeader(2, 2, 32, 54, 16, 70).Color(C).Color(D).Color(A).Color(B).Data();
  ASSERT_EQ(topFirst.size(), 70);
  EXPECT_EQ(Saved(bitmap, false), topFirst);
  EXPECT_EQ(Saved(bitmap, true), bottomFirst);

  for (const QByteArray& file : {topFirst, bottomFirst}) {
    TCustomBitmap32 loaded;
    NotificationRecorder rec(loaded);
    Load(loaded, file);
    EXPECT_EQ(loaded.BoundsRect(), Rect(0, 0, 2, 2));
    EXPECT_EQ(PixelsOf(loaded), (std::vector<TColor32>{A, B, C, D}));
    EXPECT_GE(rec.changes, 1);
  }
}

TEST_F(Bitmap32Bmp, ReadsThePixelsAtTheOffsetTheHeaderGives) {
  // Six bytes between the headers and the pixels, and trailing bytes after them.
  const QByteArray file =
      BmpHeader(2, 1, 32, 60, 8, 68).Fill(6, 0xEE).Color(A).Color(B).Fill(3, 0x77).Data();
  TCustomBitmap32 bitmap;
  Load(bitmap, file);
  EXPECT_EQ(PixelsOf(bitmap), (std::vector<TColor32>{A, B}));

  // Read from the middle of a stream: the offset counts from the file's start.
  TMemoryStream stream;
  stream.WriteBuffer("prefix", 6);
  stream.WriteBuffer(file.constData(), file.size());
  stream.SetPosition(6);
  TCustomBitmap32 second;
  second.LoadFromStream(stream);
  EXPECT_EQ(PixelsOf(second), (std::vector<TColor32>{A, B}));
}

TEST_F(Bitmap32Bmp, BadSizesAndShortStreamsLeaveTheBitmapAsItWas) {
  struct Case {
    const char* what;
    QByteArray file;
  };
  const Case cases[] = {
      {"pixels beyond the stream", BmpHeader(2, 2, 32, 54, 16, 70).Color(A).Color(B).Color(C).Data()},
      {"width overflowing 32 bits x 4", BmpHeader(0x7FFFFFFF, 2, 32, 54, 0, 0).Color(A).Data()},
      {"height of -2^31", BmpHeader(1, INT32_MIN, 32, 54, 0, 0).Color(A).Data()},
      {"negative width", BmpHeader(-1, 1, 32, 54, 0, 0).Color(A).Data()},
      {"offset inside the headers", BmpHeader(1, 1, 32, 50, 4, 58).Color(A).Data()},
      {"offset beyond the stream", BmpHeader(1, 1, 32, 0xFFFFFFF0u, 4, 58).Color(A).Data()},
      {"header cut short", BmpHeader(1, 1, 32, 54, 4, 58).Data().left(40)},
      {"24-bit rows beyond the stream", BmpHeader(2, 300, 24, 54, 2400, 2454).Fill(16, 0x42).Data()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TCustomBitmap32 bitmap;
    SetPixels(bitmap, 3, 1, {A, B, C});
    NotificationRecorder rec(bitmap);
    EXPECT_THROW(Load(bitmap, c.file), EReadError);
    EXPECT_EQ(PixelsOf(bitmap), (std::vector<TColor32>{A, B, C}));
    EXPECT_EQ(rec.changes + rec.resizes, 0);
  }
}

TEST_F(Bitmap32Bmp, OtherBmpFormatsGoThroughTheToolkitWithAlpha255) {
  // 24 bits per pixel, bottom-up, rows padded to 4 bytes: bottom row first.
  const QByteArray file = BmpHeader(2, 2, 24, 54, 16, 70)
                              .U8(0x01).U8(0x02).U8(0x03).U8(0x04).U8(0x05).U8(0x06).Fill(2, 0)  // bottom row
                              .U8(0x10).U8(0x20).U8(0x30).U8(0x40).U8(0x50).U8(0x60).Fill(2, 0)  // top row
                              .Data();
  for (bool device : {false, true}) {
    SCOPED_TRACE(device ? "TBitmap32" : "TCustomBitmap32");
    std::unique_ptr<TCustomBitmap32> bitmap(device ? new TBitmap32 : new TCustomBitmap32);
    Load(*bitmap, file);
    EXPECT_EQ(PixelsOf(*bitmap), (std::vector<TColor32>{0xFF302010u, 0xFF605040u, 0xFF030201u, 0xFF060504u}));
  }
}

TEST_F(Bitmap32Bmp, AnythingButABmpFailsWithoutChangingTheBitmap) {
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 1, 1, {A});
  QByteArray junk(80, 'x');
  EXPECT_THROW(Load(bitmap, junk), EInvalidGraphic);
  EXPECT_EQ(PixelsOf(bitmap), (std::vector<TColor32>{A}));
}

TEST_F(Bitmap32Bmp, FilesRoundTripAndOtherPictureFormatsLoadOverWhite) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 2, 2, {A, B, C, D});
  for (bool topDown : {false, true}) {
    const QString name = dir.filePath(topDown ? "b.bmp" : "t.bmp");
    bitmap.SaveToFile(name, topDown);
    TCustomBitmap32 loaded;
    loaded.LoadFromFile(name);
    EXPECT_EQ(PixelsOf(loaded), PixelsOf(bitmap));
  }

  QImage picture(2, 1, QImage::Format_ARGB32);
  picture.setPixel(0, 0, 0xFF0000FFu);  // opaque blue
  picture.setPixel(1, 0, 0x00FF0000u);  // fully transparent red: the white shows
  const QString png = dir.filePath("p.png");
  ASSERT_TRUE(picture.save(png, "PNG"));
  TCustomBitmap32 loaded;
  loaded.LoadFromFile(png);
  EXPECT_EQ(PixelsOf(loaded), (std::vector<TColor32>{0xFF0000FFu, 0xFFFFFFFFu}));
  EXPECT_THROW(loaded.LoadFromFile(dir.filePath("missing.bmp")), EFOpenError);
}

TEST_F(Bitmap32Bmp, DataPropertyRoundTripsAndRejectsBadData) {
  TCustomBitmap32 bitmap;
  SetPixels(bitmap, 3, 1, {A, B, C});
  TMemoryStream stream;
  bitmap.WriteData(stream);
  EXPECT_EQ(stream.Bytes(), Bytes().I32(3).I32(1).Color(A).Color(B).Color(C).Data());
  stream.SetPosition(0);
  TCustomBitmap32 copy;
  copy.ReadData(stream);
  EXPECT_EQ(PixelsOf(copy), PixelsOf(bitmap));

  const QByteArray bad[] = {Bytes().I32(-2).I32(-3).Data(), Bytes().I32(2).I32(1).Color(A).Data(),
                            Bytes().I32(0x40000000).I32(0x40000000).Color(A).Data(), Bytes().I32(1).Data()};
  for (const QByteArray& data : bad) {
    TCustomBitmap32 target;
    SetPixels(target, 1, 1, {D});
    NotificationRecorder rec(target);
    TMemoryStream in(data);
    EXPECT_THROW(target.ReadData(in), EReadError);
    EXPECT_EQ(PixelsOf(target), (std::vector<TColor32>{D}));
    EXPECT_EQ(rec.changes, 1);  // Changed also after the failure
  }
}

TEST_F(Bitmap32Bmp, DataPropertyIsStoredWhenItDiffersFromTheAncestor) {
  TCustomBitmap32 empty, content, same, different;
  TBitmap32 deviceTwin;
  SetPixels(content, 2, 1, {A, B});
  SetPixels(same, 2, 1, {A, B});
  SetPixels(different, 2, 1, {A, C});
  SetPixels(deviceTwin, 2, 1, {A, B});
  TFont notABitmap;
  struct Case {
    const char* what;
    const TCustomBitmap32& bitmap;
    const TObject* ancestor;
    bool stored;
  };
  const Case cases[] = {
      {"empty, no ancestor", empty, nullptr, false},
      {"content, no ancestor", content, nullptr, true},
      {"same content", content, &same, false},
      {"different pixels", content, &different, true},
      {"same pixels, other class", content, &deviceTwin, true},
      {"ancestor not a bitmap", content, &notABitmap, true},
      {"both empty", empty, &empty, false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.bitmap.DataPropertyStored(c.ancestor), c.stored) << c.what;
}

}  // namespace
