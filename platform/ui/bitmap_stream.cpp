#include "platform/ui/bitmap_stream.h"

#include "platform/ui/bitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;
// BITMAPV5HEADER, the longest info header.
constexpr uint32_t kMaxInfoHeaderSize = 124;

bool SupportedBitCount(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

// Fixed fields of a BITMAPINFOHEADER, in file order.
struct TInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
static_assert(sizeof(TInfoHeader) == BmpInfoHeaderSize);

struct TFileHeader {
  uint16_t bfType = 0;
  uint32_t bfSize = 0;
  uint32_t bfOffBits = 0;  // the two reserved words before it are not kept
};

template <typename T>
T FieldAt(const uint8_t* bytes, int at) {
  T value;
  std::memcpy(&value, bytes + at, sizeof value);
  return value;
}

TFileHeader DecodeFileHeader(const uint8_t (&bytes)[BmpFileHeaderSize]) {
  return {FieldAt<uint16_t>(bytes, 0), FieldAt<uint32_t>(bytes, 2), FieldAt<uint32_t>(bytes, 10)};
}

void WriteFileHeader(TStream& stream, const TFileHeader& file) {
  uint8_t bytes[BmpFileHeaderSize] = {};
  std::memcpy(bytes, &file.bfType, 2);
  std::memcpy(bytes + 2, &file.bfSize, 4);
  std::memcpy(bytes + 10, &file.bfOffBits, 4);
  stream.WriteBuffer(bytes, sizeof bytes);
}

}  // namespace

int64_t BmpRowBytes(int64_t width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

void WriteBmpImage(TStream& stream, const TBmpImage& image) {
  if (!SupportedBitCount(image.BitCount)) throw EInvalidGraphic("Unsupported bits per pixel");
  if (image.Width < 0 || image.Height < 0) throw EInvalidGraphic("Negative bitmap size");
  const size_t maxColors = image.BitCount <= 8 ? size_t{1} << image.BitCount : 0;
  if (image.Colors.size() > maxColors) throw EInvalidGraphic("Colour table too long");
  const int64_t rowBytes = BmpRowBytes(image.Width, image.BitCount);
  // rowBytes x Height may not fit 64 bits for a picture that cannot exist.
  if (rowBytes > 0 && image.Height > std::numeric_limits<int64_t>::max() / rowBytes)
    throw EInvalidGraphic("Bitmap too large");
  const int64_t pixelBytes = rowBytes * image.Height;
  if (static_cast<int64_t>(image.Pixels.size()) != pixelBytes) throw EInvalidGraphic("Pixel block of the wrong size");
  const int64_t offBits = BmpFileHeaderSize + BmpInfoHeaderSize + 4 * static_cast<int64_t>(image.Colors.size());
  const int64_t fileSize = offBits + pixelBytes;
  if (fileSize > std::numeric_limits<uint32_t>::max()) throw EInvalidGraphic("Bitmap too large");

  const TFileHeader file{BmpSignature, static_cast<uint32_t>(fileSize), static_cast<uint32_t>(offBits)};
  TInfoHeader info{};
  info.biSize = BmpInfoHeaderSize;
  info.biWidth = image.Width;
  info.biHeight = image.Height;
  info.biPlanes = 1;
  info.biBitCount = image.BitCount;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<uint32_t>(pixelBytes);
  info.biClrUsed = static_cast<uint32_t>(image.Colors.size());
  WriteFileHeader(stream, file);
  stream.WriteBuffer(&info, sizeof info);
  if (!image.Colors.empty()) stream.WriteBuffer(image.Colors.data(), 4 * static_cast<int64_t>(image.Colors.size()));
  // Bottom-up: the last row first. A picture without columns has empty rows, as
  // many as its height says (up to 2^31 - 1): nothing to step through.
  if (rowBytes == 0) return;
  for (int64_t row = image.Height - 1; row >= 0; --row)
    stream.WriteBuffer(image.Pixels.data() + row * rowBytes, rowBytes);
}

TBmpImage ReadBmpImage(TStream& stream) {
  const int64_t start = stream.Position();
  uint8_t fileBytes[BmpFileHeaderSize];
  stream.ReadBuffer(fileBytes, sizeof fileBytes);
  const TFileHeader file = DecodeFileHeader(fileBytes);
  if (file.bfType != BmpSignature) throw EInvalidGraphic("Bitmap image is not valid");
  TInfoHeader info{};
  stream.ReadBuffer(&info, sizeof info);
  if (info.biSize < BmpInfoHeaderSize || info.biSize > kMaxInfoHeaderSize)
    throw EInvalidGraphic("Unsupported bitmap info header");
  if (info.biPlanes != 1 || !SupportedBitCount(info.biBitCount) || info.biWidth < 0 ||
      info.biHeight == std::numeric_limits<int32_t>::min())
    throw EInvalidGraphic("Unsupported bitmap layout");

  // The longer headers (V4, V5) hold the bit-field masks right behind the 40
  // bytes; a 40-byte header with bit fields has them behind it.
  const int64_t extra = int64_t{info.biSize} - BmpInfoHeaderSize;
  std::vector<uint8_t> extraBytes(static_cast<size_t>(extra));
  stream.ReadBuffer(extraBytes.data(), extra);
  if (info.biCompression == BI_BITFIELDS) {
    uint32_t masks[3];
    if (extra >= 12) {
      std::memcpy(masks, extraBytes.data(), sizeof masks);
    } else {
      stream.ReadBuffer(masks, sizeof masks);
    }
    if (info.biBitCount != 32 || masks[0] != 0x00FF0000u || masks[1] != 0x0000FF00u || masks[2] != 0x000000FFu)
      throw EInvalidGraphic("Unsupported bitmap bit fields");
  } else if (info.biCompression != BI_RGB) {
    throw EInvalidGraphic("Compressed bitmaps are not supported");
  }

  TBmpImage image;
  image.Width = info.biWidth;
  image.BitCount = info.biBitCount;
  const bool topDown = info.biHeight < 0;
  image.Height = topDown ? -info.biHeight : info.biHeight;

  if (image.BitCount <= 8) {
    const uint32_t maxColors = 1u << image.BitCount;
    const uint32_t count = info.biClrUsed == 0 ? maxColors : info.biClrUsed;
    if (count > maxColors) throw EInvalidGraphic("Colour table too long");
    image.Colors.resize(count);
    stream.ReadBuffer(image.Colors.data(), 4 * int64_t{count});
  }

  const int64_t headersEnd = stream.Position() - start;
  if (int64_t{file.bfOffBits} < headersEnd) throw EInvalidGraphic("Pixels overlap the headers");
  const int64_t pixelStart = start + file.bfOffBits;
  const int64_t rowBytes = BmpRowBytes(image.Width, image.BitCount);
  const int64_t available = stream.Size() - pixelStart;
  // Checked by division: rowBytes x Height may not fit 64 bits.
  if (available < 0 || (rowBytes > 0 && image.Height > available / rowBytes)) throw EReadError();
  const int64_t pixelBytes = rowBytes * image.Height;
  stream.SetPosition(pixelStart);
  image.Pixels.resize(static_cast<size_t>(pixelBytes));
  stream.ReadBuffer(image.Pixels.data(), pixelBytes);
  if (!topDown && image.Height > 1 && rowBytes > 0) {
    for (int64_t top = 0, bottom = image.Height - 1; top < bottom; ++top, --bottom)
      std::swap_ranges(image.Pixels.begin() + top * rowBytes, image.Pixels.begin() + (top + 1) * rowBytes,
                       image.Pixels.begin() + bottom * rowBytes);
  }
  return image;
}

std::optional<uint32_t> PeekBmpFileSize(TStream& stream) {
  const int64_t start = stream.Position();
  uint8_t fileBytes[BmpFileHeaderSize] = {};
  const int64_t got = stream.Read(fileBytes, sizeof fileBytes);
  stream.SetPosition(start);
  const TFileHeader file = DecodeFileHeader(fileBytes);
  if (got < 6 || file.bfType != BmpSignature) return std::nullopt;
  return file.bfSize;
}

// ---- TBitmap's file image ------------------------------------------------------

namespace {

int BitCountOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    default: return 32;
  }
}

QImage::Format QtFormatOf(TPixelFormat format) {
  switch (format) {
    case pf24bit: return QImage::Format_BGR888;
    case pf32bit: return QImage::Format_RGB32;
    default: return QImage::Format_Indexed8;
  }
}

TPixelFormat FormatOfBitCount(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

// Packs one row of indices (one per byte) into the file's row of `bits` per pixel,
// the leftmost pixel in the most significant bits.
void PackIndices(const uint8_t* indices, int width, int bits, uint8_t* out) {
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (int x = 0; x < width; ++x) {
    const int shift = 8 - bits * (x % perByte + 1);
    out[x / perByte] = static_cast<uint8_t>(out[x / perByte] | ((indices[x] & mask) << shift));
  }
}

void UnpackIndices(const uint8_t* packed, int width, int bits, uint8_t* indices) {
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (int x = 0; x < width; ++x) {
    const int shift = 8 - bits * (x % perByte + 1);
    indices[x] = static_cast<uint8_t>((packed[x / perByte] >> shift) & mask);
  }
}

}  // namespace

void TBitmap::SaveToStream(TStream& stream) {
  FlushCanvas();
  TBmpImage bmp;
  bmp.Width = width_;
  bmp.Height = height_;
  bmp.BitCount = static_cast<uint16_t>(BitCountOf(format_));
  if (bmp.BitCount <= 8) {
    const size_t formatCount = size_t{1} << bmp.BitCount;
    const size_t count =
        palette_ && !palette_->Entries.empty() ? std::min(palette_->Entries.size(), formatCount) : formatCount;
    const QList<QRgb> table = ColorTable(format_);
    for (size_t i = 0; i < count; ++i) {
      const QRgb c = table[static_cast<qsizetype>(i)];
      bmp.Colors.push_back(
          TRgbQuad{static_cast<uint8_t>(qBlue(c)), static_cast<uint8_t>(qGreen(c)), static_cast<uint8_t>(qRed(c)), 0});
    }
  }
  const int64_t rowBytes = BmpRowBytes(width_, bmp.BitCount);
  bmp.Pixels.assign(static_cast<size_t>(rowBytes * height_), 0);
  if (!image_.isNull()) {
    for (int y = 0; y < height_; ++y) {
      const uint8_t* in = image_.constScanLine(y);
      uint8_t* out = bmp.Pixels.data() + y * rowBytes;
      switch (bmp.BitCount) {
        case 1:
        case 4: PackIndices(in, width_, bmp.BitCount, out); break;
        case 8: std::memcpy(out, in, static_cast<size_t>(width_)); break;
        case 24: std::memcpy(out, in, static_cast<size_t>(width_) * 3); break;
        default:
          std::memcpy(out, in, static_cast<size_t>(width_) * 4);
          for (int x = 0; x < width_; ++x) out[4 * x + 3] = 0;  // the unused byte
          break;
      }
    }
  }
  WriteBmpImage(stream, bmp);
}

void TBitmap::LoadFromStream(TStream& stream) {
  const int64_t start = stream.Position();
  TBmpImage bmp;
  try {
    bmp = ReadBmpImage(stream);
  } catch (...) {
    stream.SetPosition(start);
    throw;
  }
  const TPixelFormat format = FormatOfBitCount(bmp.BitCount);
  HPALETTE palette;
  if (bmp.BitCount <= 8) {
    palette = std::make_unique<TPaletteObject>();
    for (const TRgbQuad& q : bmp.Colors) palette->Entries.push_back(TPaletteEntry{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
  }
  QImage next;
  if (bmp.Width > 0 && bmp.Height > 0) {
    next = QImage(bmp.Width, bmp.Height, QtFormatOf(format));
    // Qt answers a picture it cannot allocate with a null image.
    if (next.isNull()) {
      stream.SetPosition(start);
      throw EInvalidGraphic("Bitmap too large");
    }
  }
  FlushCanvas();
  palette_ = std::move(palette);
  if (!next.isNull()) {
    if (bmp.BitCount <= 8) next.setColorTable(ColorTable(format));
    const int64_t rowBytes = BmpRowBytes(bmp.Width, bmp.BitCount);
    for (int y = 0; y < bmp.Height; ++y) {
      const uint8_t* in = bmp.Pixels.data() + y * rowBytes;
      uint8_t* out = next.scanLine(y);
      switch (bmp.BitCount) {
        case 1:
        case 4: UnpackIndices(in, bmp.Width, bmp.BitCount, out); break;
        case 8: std::memcpy(out, in, static_cast<size_t>(bmp.Width)); break;
        case 24: std::memcpy(out, in, static_cast<size_t>(bmp.Width) * 3); break;
        default:
          std::memcpy(out, in, static_cast<size_t>(bmp.Width) * 4);
          // The picture is opaque: Qt's 32-bit RGB format expects the top byte set.
          for (int x = 0; x < bmp.Width; ++x) out[4 * x + 3] = 0xFF;
          break;
      }
    }
  }
  image_ = next;
  width_ = bmp.Width;
  height_ = bmp.Height;
  format_ = format;
  Changed();
}
