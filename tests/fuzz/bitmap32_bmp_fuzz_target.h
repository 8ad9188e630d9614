#pragma once
// One fuzz input through the 32-bit bitmap's readers, shared by the libFuzzer
// target and the normal suite (tests/raster/bitmap32_bmp_fuzz_test.cpp).
//
// Input: byte 0 picks the reader (mod 2: LoadFromStream, the BMP stream with
// the toolkit's reader behind it for other layouts; ReadData, the binary "Data"
// property); the rest is the stream.
// Checked for every input:
// - a damaged stream throws EReadError or EInvalidGraphic and nothing else, and
//   leaves the bitmap's size and pixels as they were;
// - a stream that reads gives a bitmap with pixels exactly when it is not empty,
//   no more pixels than the stream could describe, and one that survives a save
//   and a reload unchanged.
//
// Needs the raster library started and a QApplication.

#include "platform/rtl/streams.h"
#include "platform/ui/bitmap_stream.h"
#include "raster/bitmap32.h"

#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bitmap32_fuzz {

inline std::vector<TColor32> PixelsOf(const TCustomBitmap32& bitmap) {
  if (bitmap.Bits() == nullptr) return {};
  return std::vector<TColor32>(bitmap.Bits(), bitmap.Bits() + int64_t{bitmap.Width()} * bitmap.Height());
}

}  // namespace bitmap32_fuzz

// Empty when every guarantee held, else the first that did not.
inline std::string ReadBitmap32Once(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  const bool dataProperty = data[0] % 2 == 1;
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

  TBitmap32 bitmap;
  bitmap.SetSize(2, 2);
  const std::vector<TColor32> before{0x01020304u, 0x05060708u, 0x090A0B0Cu, 0x0D0E0F10u};
  std::copy(before.begin(), before.end(), bitmap.Bits());

  TMemoryStream stream(bytes);
  bool refused = false;
  try {
    if (dataProperty)
      bitmap.ReadData(stream);
    else
      bitmap.LoadFromStream(stream);
  } catch (const EReadError&) {
    refused = true;
  } catch (const EInvalidGraphic&) {
    refused = true;
  }
  const bool unchanged = bitmap.Width() == 2 && bitmap.Height() == 2 && bitmap32_fuzz::PixelsOf(bitmap) == before;
  if (refused) return unchanged ? std::string() : "a refused stream changed the bitmap";
  if (stream.Position() > bytes.size()) return "read beyond the stream";
  if ((bitmap.Bits() != nullptr) == bitmap.Empty()) return "pixels and size disagree";
  // Each pixel takes at least one bit of the stream (1-bit BMP rows).
  if (int64_t{bitmap.Width()} * bitmap.Height() > 8 * bytes.size()) return "more pixels than the stream describes";

  TMemoryStream saved;
  if (dataProperty)
    bitmap.WriteData(saved);
  else
    bitmap.SaveToStream(saved);
  saved.SetPosition(0);
  TBitmap32 again;
  if (dataProperty)
    again.ReadData(saved);
  else
    again.LoadFromStream(saved);
  if (again.Width() != bitmap.Width() || again.Height() != bitmap.Height() || bitmap32_fuzz::PixelsOf(again) != bitmap32_fuzz::PixelsOf(bitmap))
    return "a saved bitmap reads back differently";
  return {};
}
