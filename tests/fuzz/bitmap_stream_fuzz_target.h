#pragma once
// One fuzz input through the toolkit's BMP reader, shared by the libFuzzer
// target and the normal suite (tests/platform/ui_bitmap_stream_fuzz_test.cpp).
//
// Input: byte 0 picks the reader (mod 3: ReadBmpImage, TBitmap::LoadFromStream,
// PeekBmpFileSize); the rest is the stream.
// Checked for every input:
// - a stream that is no valid image throws EReadError or EInvalidGraphic and
//   nothing else; TBitmap then keeps its picture and puts the stream back;
// - an image that reads describes itself (supported bit count, a colour table of
//   at most 2^bits entries, exactly the pixel bytes its rows need), holds no
//   more pixel bytes than the stream, and survives a write and a reread
//   unchanged; TBitmap holds its size and saves it the same way twice;
// - PeekBmpFileSize leaves the stream where it was and answers only for "BM".
//
// Needs a QApplication (TBitmap draws through Qt).

#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/bitmap_stream.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace bitmap_stream_fuzz {

inline bool SameImage(const TBmpImage& a, const TBmpImage& b) {
  return a.Width == b.Width && a.Height == b.Height && a.BitCount == b.BitCount && a.Colors == b.Colors &&
         a.Pixels == b.Pixels;
}

inline std::string CheckReadBmpImage(const QByteArray& bytes) {
  TMemoryStream stream(bytes);
  TBmpImage image;
  try {
    image = ReadBmpImage(stream);
  } catch (const EReadError&) {
    return {};
  } catch (const EInvalidGraphic&) {
    return {};
  }
  const int bits = image.BitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return "an unsupported bit count was read";
  if (image.Width < 0 || image.Height < 0) return "a negative size was read";
  if (image.Colors.size() > (bits <= 8 ? size_t{1} << bits : 0)) return "a colour table beyond the bit count";
  if (static_cast<int64_t>(image.Pixels.size()) != BmpRowBytes(image.Width, bits) * image.Height)
    return "the pixel block does not match the rows";
  if (static_cast<int64_t>(image.Pixels.size()) > bytes.size()) return "more pixel bytes than the stream holds";
  if (stream.Position() > bytes.size()) return "read beyond the stream";
  TMemoryStream written;
  try {
    WriteBmpImage(written, image);
  } catch (const EInvalidGraphic&) {
    return "an image that was read cannot be written";
  }
  written.SetPosition(0);
  if (!SameImage(ReadBmpImage(written), image)) return "a written image reads back differently";
  return {};
}

// The picture every TBitmap input starts from: 3 x 2, 24 bits, known pixels.
inline QByteArray StartingPicture() {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 9; ++x) bitmap.ScanLine(y)[x] = static_cast<uint8_t>(16 * y + x + 1);
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return stream.Bytes();
}

inline QByteArray Saved(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return stream.Bytes();
}

inline std::string CheckBitmapLoad(const QByteArray& bytes) {
  static const QByteArray starting = StartingPicture();
  TBitmap bitmap;
  {
    TMemoryStream start(starting);
    bitmap.LoadFromStream(start);
  }
  // Behind a few bytes, so that "put back" is not just "back to 0".
  TMemoryStream stream(QByteArray("pre") + bytes);
  stream.SetPosition(3);
  bool loaded = true;
  try {
    bitmap.LoadFromStream(stream);
  } catch (const EReadError&) {
    loaded = false;
  } catch (const EInvalidGraphic&) {
    loaded = false;
  }
  if (!loaded) {
    if (stream.Position() != 3) return "a refused picture moved the stream";
    if (Saved(bitmap) != starting) return "a refused picture changed the bitmap";
    return {};
  }
  TMemoryStream probe(bytes);
  TBmpImage image;
  try {
    image = ReadBmpImage(probe);
  } catch (const std::exception&) {
    return "the bitmap loaded a picture the reader refuses";
  }
  if (bitmap.Width() != image.Width || bitmap.Height() != image.Height) return "the bitmap holds another size";
  const QByteArray once = Saved(bitmap);
  TBitmap again;
  TMemoryStream reread(once);
  again.LoadFromStream(reread);
  if (Saved(again) != once) return "a saved bitmap reads back differently";
  return {};
}

inline std::string CheckPeek(const QByteArray& bytes) {
  TMemoryStream stream(QByteArray("pre") + bytes);
  stream.SetPosition(3);
  const std::optional<uint32_t> size = PeekBmpFileSize(stream);
  if (stream.Position() != 3) return "peeking moved the stream";
  const bool signature = bytes.size() >= 6 && bytes.startsWith("BM");
  if (size.has_value() != signature) return "peeking answered without a signature or not with one";
  uint32_t stored = 0;
  if (signature) std::memcpy(&stored, bytes.constData() + 2, 4);
  if (size && *size != stored) return "peeking gave another file size";
  return {};
}

}  // namespace bitmap_stream_fuzz

// Empty when every guarantee held, else the first that did not.
inline std::string ReadBitmapStreamOnce(const uint8_t* data, size_t size) {
  using namespace bitmap_stream_fuzz;
  if (size == 0) return {};
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  switch (data[0] % 3) {
    case 0: return CheckReadBmpImage(bytes);
    case 1: return CheckBitmapLoad(bytes);
    default: return CheckPeek(bytes);
  }
}
