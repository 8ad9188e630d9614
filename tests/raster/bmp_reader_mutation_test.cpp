// A bounded mutation test of the BMP reader: valid files with damaged headers,
// flipped bits, cut or extended ends, read with a fixed seed. Every read either
// gives exactly the pixels an independent reading of the layout predicts, or
// fails and leaves the bitmap as it was. Run it under ASan and UBSan as well.

#include "raster/bitmap32.h"

#include "platform/rtl/streams.h"

#include "bitmap_test_support.h"

#include <cstring>
#include <optional>
#include <random>

namespace {

class BmpReaderMutation : public RasterTest {};

uint32_t Field32(const QByteArray& f, int at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(f[at + i]);
  return v;
}
uint16_t Field16(const QByteArray& f, int at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(f[at]) | (static_cast<uint8_t>(f[at + 1]) << 8));
}
void SetField32(QByteArray& f, int at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>(v >> (8 * i));
}

// What reading `file` must give when it is a plain 32-bit BMP.
struct Prediction {
  bool plain32 = false;              // false: the toolkit decides
  std::optional<std::vector<TColor32>> pixels;  // empty: the read must fail
  int width = 0;
  int height = 0;
};

Prediction Predict(const QByteArray& file) {
  Prediction p;
  if (file.size() < 54) {
    p.plain32 = true;  // the header itself cannot be read
    return p;
  }
  p.plain32 = file[0] == 'B' && file[1] == 'M' && Field16(file, 26) == 1 && Field16(file, 28) == 32 &&
              Field32(file, 30) == 0;
  if (!p.plain32) return p;
  const int64_t width = static_cast<int32_t>(Field32(file, 18));
  const int64_t heightField = static_cast<int32_t>(Field32(file, 22));
  const int64_t offset = Field32(file, 10);
  const int64_t rows = heightField < 0 ? -heightField : heightField;
  if (width < 0 || heightField == INT32_MIN || offset < 54 || offset > file.size()) return p;
  if (width * rows > INT32_MAX || width * rows * 4 > file.size() - offset) return p;
  std::vector<TColor32> pixels(static_cast<size_t>(width * rows));
  for (int64_t r = 0; width > 0 && r < rows; ++r) {
    const int64_t target = heightField > 0 ? rows - 1 - r : r;  // a positive height stores the bottom row first
    std::memcpy(pixels.data() + target * width, file.constData() + offset + r * width * 4, size_t(width) * 4);
  }
  p.pixels = std::move(pixels);
  p.width = static_cast<int>(width);
  p.height = static_cast<int>(rows);
  return p;
}

QByteArray ValidFile(int width, int height, bool bottomUp, int gap, uint16_t bitsPerPixel, std::mt19937& rng) {
  const int rowBytes = (width * bitsPerPixel / 8 + 3) / 4 * 4;
  const uint32_t imageSize = static_cast<uint32_t>(rowBytes * height);
  Bytes b = BmpHeader(width, bottomUp ? height : -height, bitsPerPixel, 54 + gap, imageSize, 54 + gap + imageSize);
  b.Fill(gap, 0xA5);
  for (uint32_t i = 0; i < imageSize; ++i) b.U8(static_cast<uint8_t>(rng()));
  return b.Data();
}

void Mutate(QByteArray& f, std::mt19937& rng) {
  static const uint32_t interesting32[] = {0, 1, 2, 54, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 0x10000, 0x40000000};
  static const int fields32[] = {2, 10, 18, 22, 30, 34};
  switch (rng() % 6) {
    case 0:
      if (!f.isEmpty()) f[static_cast<int>(rng() % std::min<qsizetype>(f.size(), 64))] = static_cast<char>(rng());
      break;
    case 1:
      if (!f.isEmpty()) f[static_cast<int>(rng() % f.size())] ^= static_cast<char>(1u << (rng() % 8));
      break;
    case 2:
      if (f.size() >= 54) SetField32(f, fields32[rng() % 6], interesting32[rng() % 9]);
      break;
    case 3:
      if (f.size() >= 54) {
        const int at = rng() % 2 ? 26 : 28;
        const uint16_t v = static_cast<uint16_t>(std::vector<int>{0, 1, 8, 16, 24, 32, 0xFFFF}[rng() % 7]);
        f[at] = static_cast<char>(v);
        f[at + 1] = static_cast<char>(v >> 8);
      }
      break;
    case 4: f.truncate(static_cast<qsizetype>(rng() % (f.size() + 1))); break;
    default:
      for (int n = static_cast<int>(rng() % 16); n > 0; --n) f.append(static_cast<char>(rng()));
      break;
  }
}

TEST_F(BmpReaderMutation, MutatedFilesReadExactlyOrFailWithoutChange) {
  std::mt19937 rng(0x5EED2024u);
  const QByteArray bases[] = {ValidFile(5, 3, true, 0, 32, rng), ValidFile(4, 2, false, 6, 32, rng),
                              ValidFile(3, 2, true, 0, 24, rng), ValidFile(1, 1, false, 0, 32, rng)};
  const std::vector<TColor32> before = {0x01010101u, 0x02020202u, 0x03030303u, 0x04040404u};
  int exact = 0, rejected = 0, toolkit = 0;
  for (int iteration = 0; iteration < 20000; ++iteration) {
    QByteArray file = bases[iteration % 4];
    for (int m = 1 + static_cast<int>(rng() % 4); m > 0; --m) Mutate(file, rng);
    const Prediction predicted = Predict(file);

    TCustomBitmap32 bitmap;
    SetPixels(bitmap, 2, 2, before);
    TMemoryStream stream(file);
    bool failed = false;
    try {
      bitmap.LoadFromStream(stream);
    } catch (const std::exception&) {
      failed = true;
    }
    SCOPED_TRACE(testing::Message() << "iteration " << iteration << ", file " << file.toHex().left(120).constData());
    if (failed) {
      ASSERT_EQ(bitmap.BoundsRect(), Rect(0, 0, 2, 2));
      ASSERT_EQ(PixelsOf(bitmap), before);
    }
    if (!predicted.plain32) {
      ++toolkit;
      if (!failed) {
        ASSERT_EQ(bitmap.Bits() != nullptr, !bitmap.Empty());
      }
      continue;
    }
    if (predicted.pixels) {
      ++exact;
      ASSERT_FALSE(failed);
      ASSERT_EQ(bitmap.Width(), predicted.width);
      ASSERT_EQ(bitmap.Height(), predicted.height);
      ASSERT_EQ(PixelsOf(bitmap), *predicted.pixels);
    } else {
      ++rejected;
      ASSERT_TRUE(failed);
    }
  }
  // Every path was taken often enough to mean something.
  EXPECT_GT(exact, 2000);
  EXPECT_GT(rejected, 2000);
  EXPECT_GT(toolkit, 2000);
}

}  // namespace
