#pragma once
// Shared pieces of the bitmap tests: a recorder of a bitmap's notifications,
// pixel helpers and a BMP builder that writes the file layout field by field.

#include "raster/bitmap32.h"

#include "raster_test_support.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

// Counts OnChange, OnResize and OnAreaChanged of one bitmap and keeps the areas.
struct NotificationRecorder {
  explicit NotificationRecorder(TCustomBitmap32& bitmap) {
    bitmap.OnChange = [this](TObject*) { ++changes; };
    bitmap.OnResize = [this](TObject*) { ++resizes; };
    bitmap.OnAreaChanged = [this](TObject*, const TRect& area, uint32_t info) {
      areas.push_back(area);
      infos.push_back(info);
    };
  }
  void Reset() {
    changes = resizes = 0;
    areas.clear();
    infos.clear();
  }
  int changes = 0;
  int resizes = 0;
  std::vector<TRect> areas;
  std::vector<uint32_t> infos;
};

inline std::vector<TColor32> PixelsOf(const TCustomBitmap32& bitmap) {
  if (bitmap.Bits() == nullptr) return {};
  return std::vector<TColor32>(bitmap.Bits(), bitmap.Bits() + int64_t{bitmap.Width()} * bitmap.Height());
}

// Sizes the bitmap and sets its pixels row by row, top row first.
inline void SetPixels(TCustomBitmap32& bitmap, int width, int height, const std::vector<TColor32>& pixels) {
  bitmap.SetSize(width, height);
  for (int i = 0; i < width * height; ++i) bitmap.Bits()[i] = pixels[static_cast<size_t>(i)];
}

// Little-endian byte builder.
class Bytes {
public:
  Bytes& U8(uint8_t v) {
    data_.push_back(static_cast<char>(v));
    return *this;
  }
  Bytes& U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  Bytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  Bytes& Color(TColor32 c) { return U32(c); }
  Bytes& Fill(int count, uint8_t v) {
    for (int i = 0; i < count; ++i) U8(v);
    return *this;
  }
  const QByteArray& Data() const { return data_; }

private:
  QByteArray data_;
};

// The 14-byte file header and the 40-byte information header.
inline Bytes BmpHeader(int32_t width, int32_t heightField, uint16_t bitsPerPixel, uint32_t pixelOffset,
                       uint32_t imageSize, uint32_t fileSize) {
  Bytes b;
  b.U8('B').U8('M').U32(fileSize).U32(0).U32(pixelOffset);
  b.U32(40).I32(width).I32(heightField).U16(1).U16(bitsPerPixel).U32(0).U32(imageSize);
  b.U32(0).U32(0).U32(0).U32(0);
  return b;
}
