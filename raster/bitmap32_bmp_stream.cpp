// The bitmap's own byte formats: the 32-bit BMP stream and file, and the binary
// "Data" property.
//
// BMP layout (little-endian): a 14-byte file header and a 40-byte information
// header, then B, G, R, A per pixel:
//    0  2  "BM"                 18  4  width
//    2  4  file size            22  4  height (negative: top row first)
//    6  4  reserved, 0          26  2  planes, 1
//   10  4  offset of the pixels 28  2  bits per pixel, 32
//   14  4  header size, 40      30  4  compression, 0
//                               34  4  image size; 38..53 resolution, colours: 0
//
// Readers check the sizes in 64 bits against the bytes the stream still holds
// and build the pixels aside first, so a bad header or a short stream leaves the
// bitmap as it was.

#include "raster/bitmap32.h"

#include "platform/rtl/streams.h"

#include <cstdint>
#include <cstring>
#include <typeinfo>
#include <vector>

namespace {

constexpr int64_t kBmpHeaderSize = 54;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Width x Height pixels as one block, when the stream holds them from its
// position on and the count suits the pixel routines; EReadError otherwise.
std::vector<TColor32> ReadPixelBlock(TStream& stream, int64_t width, int64_t height) {
  if (width < 0 || height < 0) throw EReadError();
  const int64_t count = width * height;
  if (count > INT32_MAX) throw EReadError();
  if (count * 4 > stream.Size() - stream.Position()) throw EReadError();
  std::vector<TColor32> pixels(static_cast<size_t>(count));
  stream.ReadBuffer(pixels.data(), count * 4);
  return pixels;
}

}  // namespace

void TCustomBitmap32::SetPixelsFromBuffer(int Width, int Height, const std::vector<TColor32>& Pixels,
                                          bool BottomUp) {
  SetSize(Width, Height);
  if (FBits == nullptr || Pixels.empty()) return;
  if (!BottomUp) {
    std::memcpy(FBits, Pixels.data(), Pixels.size() * sizeof(TColor32));
    return;
  }
  for (int i = 0; i < Height; ++i)
    std::memcpy(ScanLine(Height - 1 - i), Pixels.data() + ptrdiff_t{i} * Width, size_t(Width) * sizeof(TColor32));
}

void TCustomBitmap32::SaveToStream(TStream& Stream, bool SaveTopDown) {
  // The 32-bit size fields wrap for pictures beyond 4 GiB, as the format allows no more.
  const uint32_t imageSize = static_cast<uint32_t>(uint64_t(FWidth) * uint64_t(FHeight) * 4u);
  uint8_t header[kBmpHeaderSize] = {};
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, imageSize + uint32_t{kBmpHeaderSize});
  Put32(header + 10, uint32_t{kBmpHeaderSize});
  Put32(header + 14, 40);
  Put32(header + 18, static_cast<uint32_t>(FWidth));
  // SaveTopDown writes a positive height with the last row first.
  Put32(header + 22, static_cast<uint32_t>(SaveTopDown ? FHeight : -FHeight));
  Put16(header + 26, 1);
  Put16(header + 28, 32);
  Put32(header + 34, imageSize);
  Stream.WriteBuffer(header, kBmpHeaderSize);
  if (FBits == nullptr) return;
  if (!SaveTopDown) {
    Stream.WriteBuffer(FBits, int64_t{FWidth} * FHeight * 4);
    return;
  }
  for (int y = FHeight - 1; y >= 0; --y) Stream.WriteBuffer(ScanLine(y), int64_t{FWidth} * 4);
}

void TCustomBitmap32::LoadFromStream(TStream& Stream) {
  const int64_t start = Stream.Position();
  uint8_t header[kBmpHeaderSize];
  Stream.ReadBuffer(header, kBmpHeaderSize);
  const bool plain32 = header[0] == 'B' && header[1] == 'M' && Get16(header + 28) == 32 && Get16(header + 26) == 1 &&
                       Get32(header + 30) == 0;
  if (!plain32) {
    Stream.Seek(-kBmpHeaderSize, soCurrent);
    LoadPictureFromStream(Stream);
    Changed();
    return;
  }
  const auto width = static_cast<int32_t>(Get32(header + 18));
  const auto height = static_cast<int32_t>(Get32(header + 22));
  const int64_t offset = Get32(header + 10);
  // The pixels may not overlap the headers; a larger offset skips what lies between.
  if (offset < kBmpHeaderSize || offset > Stream.Size() - start) throw EReadError();
  Stream.Seek(start + offset, soBeginning);
  const int64_t rows = height < 0 ? -int64_t{height} : int64_t{height};
  const std::vector<TColor32> pixels = ReadPixelBlock(Stream, width, rows);
  // A positive height is a bottom-up file: its first row is the bottom row.
  SetPixelsFromBuffer(width, static_cast<int>(rows), pixels, height > 0);
  Changed();
}

void TCustomBitmap32::SaveToFile(const QString& FileName, bool SaveTopDown) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(stream, SaveTopDown);
}

void TCustomBitmap32::ReadData(TStream& Stream) {
  try {
    const int32_t width = Stream.ReadValue<int32_t>();
    const int32_t height = Stream.ReadValue<int32_t>();
    const std::vector<TColor32> pixels = ReadPixelBlock(Stream, width, height);
    SetPixelsFromBuffer(width, height, pixels, false);
  } catch (...) {
    Changed();
    throw;
  }
  Changed();
}

void TCustomBitmap32::WriteData(TStream& Stream) {
  Stream.WriteValue<int32_t>(FWidth);
  Stream.WriteValue<int32_t>(FHeight);
  if (FBits != nullptr) Stream.WriteBuffer(FBits, int64_t{FWidth} * FHeight * 4);
}

bool TCustomBitmap32::DataPropertyStored(const TObject* Ancestor) const {
  if (Ancestor == nullptr) return !Empty();
  const auto* ancestor = dynamic_cast<const TCustomBitmap32*>(Ancestor);
  return ancestor == nullptr || !SameContentAs(ancestor);
}

bool TCustomBitmap32::SameContentAs(const TCustomBitmap32* B) const {
  if (B == nullptr) return false;
  if (Empty() || B->Empty()) return Empty() && B->Empty();
  // Equal saved streams mean the same size and the same pixel bytes.
  if (typeid(*this) != typeid(*B) || FWidth != B->FWidth || FHeight != B->FHeight) return false;
  return std::memcmp(FBits, B->FBits, size_t(FWidth) * size_t(FHeight) * sizeof(TColor32)) == 0;
}
