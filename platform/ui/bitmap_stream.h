#pragma once
// The Windows bitmap file image (".bmp" layout), as pictures are stored inside
// channel records and bitmap files:
//   BITMAPFILEHEADER  14 bytes: "BM", u32 file size, two reserved u16, u32 offset
//                     of the pixels from the start of the image
//   BITMAPINFOHEADER  40 bytes: u32 40, i32 width, i32 height (> 0: rows stored
//                     bottom-up), u16 planes 1, u16 bits per pixel, u32
//                     compression 0, u32 pixel bytes, two i32 resolutions,
//                     u32 colours used, u32 colours important
//   colour table      (bits per pixel up to 8) entries of B, G, R, 0
//   pixels            rows padded to a multiple of 4 bytes; 1- and 4-bit pixels
//                     packed from the most significant bit of each byte
// All numbers little-endian.
//
// TBmpImage holds the image as the file does, without the headers, so that every
// picture class (the toolkit's TBitmap, the raster library's 32-bit bitmap) can
// write and read the same layout.

#include "platform/rtl/streams.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

// A stream that holds no valid bitmap image (bad signature, unsupported layout,
// a picture the machine cannot hold).
class EInvalidGraphic : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct TRgbQuad {
  uint8_t rgbBlue = 0;
  uint8_t rgbGreen = 0;
  uint8_t rgbRed = 0;
  uint8_t rgbReserved = 0;
  bool operator==(const TRgbQuad&) const = default;
};

inline constexpr int BmpFileHeaderSize = 14;
inline constexpr int BmpInfoHeaderSize = 40;
inline constexpr uint16_t BmpSignature = 0x4D42;  // "BM"

struct TBmpImage {
  int32_t Width = 0;
  int32_t Height = 0;
  uint16_t BitCount = 8;  // 1, 4, 8, 24 or 32
  // The colour table; only images of up to 8 bits per pixel have one, of at most
  // 2^BitCount entries.
  std::vector<TRgbQuad> Colors;
  // Height rows, the top row first, each BmpRowBytes(Width, BitCount) bytes laid
  // out as in the file (padding included).
  std::vector<uint8_t> Pixels;
};

// Bytes of one stored row: ((width x bits + 31) div 32) x 4.
int64_t BmpRowBytes(int64_t width, int bitCount);

// Writes the image at the stream's position; the stream is left behind it.
// EInvalidGraphic for an image that does not describe itself (an unsupported bit
// count, a colour table or pixel block of the wrong size, a file beyond 4 GiB).
void WriteBmpImage(TStream& stream, const TBmpImage& image);

// Reads one image at the stream's position and leaves the stream behind its
// pixels. Also accepts rows stored top-down (negative height), longer info headers
// (their extra fields are skipped), a colour table shorter than 2^bits, and 32-bit
// pixels with the plain B, G, R bit-field masks. Every size is checked against the
// stream before anything is allocated: a stream that ends early throws EReadError,
// anything else that is not a valid image EInvalidGraphic.
TBmpImage ReadBmpImage(TStream& stream);

// The file-size field of an image starting at the stream's position (the stream
// is left where it was); nullopt when no "BM" signature and size are there. Lets a
// reader step over a picture it cannot decode.
std::optional<uint32_t> PeekBmpFileSize(TStream& stream);
