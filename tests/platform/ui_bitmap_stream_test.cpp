// The bitmap file image of TBitmap in each bit depth: the bytes it writes (built
// here field by field from the file layout), reading them back, the layouts other
// writers use, damaged images, and the 1- and 4-bit formats themselves.

#include "platform/ui/bitmap.h"
#include "platform/ui/bitmap_stream.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <array>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using TQuad = std::array<uint8_t, 4>;  // B, G, R, 0

// A bitmap file image, field by field. rows are the stored rows (bottom row first,
// padding included).
struct TBmpLayout {
  uint16_t type = 0x4D42;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 1;
  uint16_t bits = 8;
  uint32_t compression = 0;
  uint32_t clrUsed = 0;
  std::vector<TQuad> colors{};
  std::vector<QByteArray> rows{};
  uint32_t infoSize = 40;
  QByteArray infoExtra{};  // behind the 40 header bytes (longer headers, bit masks)
  uint32_t gap = 0;      // bytes between the colour table and the pixels
};

template <typename T>
void Put(QByteArray& out, T v) {
  out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

QByteArray Build(const TBmpLayout& l) {
  QByteArray pixels;
  for (const QByteArray& row : l.rows) pixels += row;
  const uint32_t offBits = 14 + 40 + static_cast<uint32_t>(l.infoExtra.size() + 4 * l.colors.size()) + l.gap;
  QByteArray out;
  Put<uint16_t>(out, l.type);
  Put<uint32_t>(out, offBits + static_cast<uint32_t>(pixels.size()));
  Put<uint32_t>(out, 0);
  Put<uint32_t>(out, offBits);
  Put<uint32_t>(out, l.infoSize);
  Put<int32_t>(out, l.width);
  Put<int32_t>(out, l.height);
  Put<uint16_t>(out, l.planes);
  Put<uint16_t>(out, l.bits);
  Put<uint32_t>(out, l.compression);
  Put<uint32_t>(out, static_cast<uint32_t>(pixels.size()));
  Put<int32_t>(out, 0);
  Put<int32_t>(out, 0);
  Put<uint32_t>(out, l.clrUsed);
  Put<uint32_t>(out, 0);
  out += l.infoExtra;
  for (const TQuad& q : l.colors) out.append(reinterpret_cast<const char*>(q.data()), 4);
  out += QByteArray(static_cast<qsizetype>(l.gap), '\0');
  return out + pixels;
}

QByteArray Row(std::initializer_list<int> bytes) {
  QByteArray row;
  for (int b : bytes) row.append(static_cast<char>(b));
  return row;
}

// A 5 x 3 picture in one bit depth: how to set it up in a TBitmap, and the image
// it makes. Indexed pixels are (5 row + column) mod colours (x 37 for 8 bits);
// colour pixels B = 10 row + column, G = 100 + column, R = 200 + row.
struct TDepthCase {
  const char* name;
  TPixelFormat format;
  TBmpLayout layout;
  std::vector<TPaletteEntry> palette;
};

std::vector<TDepthCase> DepthCases() {
  std::vector<TDepthCase> cases;
  {
    TDepthCase c{"1 bit", pf1bit, {}, {{255, 0, 0, 0}, {0, 0, 255, 0}}};
    c.layout = {.width = 5, .height = 3, .bits = 1, .clrUsed = 2, .colors = {{0, 0, 255, 0}, {255, 0, 0, 0}}};
    // Rows 0 1 0 1 0 / 1 0 1 0 1 / 0 1 0 1 0, packed from the top bit.
    c.layout.rows = {Row({0x50, 0, 0, 0}), Row({0xA8, 0, 0, 0}), Row({0x50, 0, 0, 0})};
    cases.push_back(c);
  }
  {
    TDepthCase c{"4 bits", pf4bit, {}, {}};
    c.layout = {.width = 5, .height = 3, .bits = 4, .clrUsed = 16};
    for (int i = 0; i < 16; ++i) {
      const auto r = static_cast<uint8_t>(i * 16), g = static_cast<uint8_t>(255 - i * 16), b = static_cast<uint8_t>(i);
      c.palette.push_back({r, g, b, 0});
      c.layout.colors.push_back({b, g, r, 0});
    }
    c.layout.rows = {Row({0xAB, 0xCD, 0xE0, 0}), Row({0x56, 0x78, 0x90, 0}), Row({0x01, 0x23, 0x40, 0})};
    cases.push_back(c);
  }
  {
    TDepthCase c{"8 bits", pf8bit, {}, {}};
    c.layout = {.width = 5, .height = 3, .bits = 8, .clrUsed = 256};
    for (int i = 0; i < 256; ++i) {
      const auto r = static_cast<uint8_t>(i), g = static_cast<uint8_t>(255 - i), b = static_cast<uint8_t>(i / 2);
      c.palette.push_back({r, g, b, 0});
      c.layout.colors.push_back({b, g, r, 0});
    }
    c.layout.rows = {Row({114, 151, 188, 225, 6, 0, 0, 0}), Row({185, 222, 3, 40, 77, 0, 0, 0}),
                     Row({0, 37, 74, 111, 148, 0, 0, 0})};
    cases.push_back(c);
  }
  for (int bits : {24, 32}) {
    TDepthCase c{bits == 24 ? "24 bits" : "32 bits", bits == 24 ? pf24bit : pf32bit, {}, {}};
    c.layout = {.width = 5, .height = 3, .bits = static_cast<uint16_t>(bits)};
    for (int r = 2; r >= 0; --r) {
      QByteArray row;
      for (int x = 0; x < 5; ++x) {
        row += Row({10 * r + x, 100 + x, 200 + r});
        if (bits == 32) row += Row({0});
      }
      if (bits == 24) row += Row({0});  // 15 bytes padded to 16
      c.layout.rows.push_back(row);
    }
    cases.push_back(c);
  }
  return cases;
}

// Sets up the case's picture in a bitmap through its public interface.
void Fill(TBitmap& bitmap, const TDepthCase& c) {
  bitmap.SetPixelFormat(c.format);
  bitmap.SetSize(5, 3);
  if (!c.palette.empty()) {
    TMaxLogPalette log;
    log.palNumEntries = static_cast<uint16_t>(c.palette.size());
    std::copy(c.palette.begin(), c.palette.end(), log.palPalEntry.begin());
    bitmap.SetPalette(CreatePalette(log));
  }
  const int colours = c.format == pf1bit ? 2 : c.format == pf4bit ? 16 : 256;
  for (int r = 0; r < 3; ++r) {
    uint8_t* row = bitmap.ScanLine(r);
    for (int x = 0; x < 5; ++x) {
      if (c.format == pf8bit) {
        row[x] = static_cast<uint8_t>((5 * r + x) * 37 % 256);
      } else if (c.format == pf1bit || c.format == pf4bit) {
        row[x] = static_cast<uint8_t>((5 * r + x) % colours);
      } else {
        const int at = x * (c.format == pf24bit ? 3 : 4);
        row[at] = static_cast<uint8_t>(10 * r + x);
        row[at + 1] = static_cast<uint8_t>(100 + x);
        row[at + 2] = static_cast<uint8_t>(200 + r);
      }
    }
  }
}

// The pixels as the bitmap's rows hold them (indices, or B, G, R per pixel).
std::vector<int> Pixels(TBitmap& bitmap) {
  std::vector<int> out;
  const int per = bitmap.PixelFormat() == pf24bit ? 3 : bitmap.PixelFormat() == pf32bit ? 4 : 1;
  for (int r = 0; r < bitmap.Height(); ++r)
    for (int x = 0; x < bitmap.Width() * per; ++x)
      if (per != 4 || x % 4 != 3) out.push_back(bitmap.ScanLine(r)[x]);
  return out;
}

QByteArray Save(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return stream.Bytes();
}

TEST(UiBitmapStream, EachDepthIsWrittenInTheFileLayout) {
  for (const TDepthCase& c : DepthCases()) {
    SCOPED_TRACE(c.name);
    TBitmap bitmap;
    Fill(bitmap, c);
    EXPECT_EQ(Save(bitmap).toHex(' '), Build(c.layout).toHex(' '));
  }
}

TEST(UiBitmapStream, EachDepthReadsBackAsTheSamePicture) {
  for (const TDepthCase& c : DepthCases()) {
    SCOPED_TRACE(c.name);
    TBitmap expected;
    Fill(expected, c);
    const QByteArray image = Build(c.layout);
    TMemoryStream stream(image + QByteArray("tail"));
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), image.size()) << "the stream is left behind the pixels";
    EXPECT_EQ(bitmap.PixelFormat(), c.format);
    EXPECT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(Pixels(bitmap), Pixels(expected));
    if (c.palette.empty()) {
      EXPECT_EQ(bitmap.Palette(), nullptr);
    } else {
      ASSERT_NE(bitmap.Palette(), nullptr);
      EXPECT_EQ(bitmap.Palette()->Entries, c.palette);
      // The colours the indices stand for, as drawing sees them.
      const TPaletteEntry& e = c.palette[bitmap.ScanLine(1)[2]];
      EXPECT_EQ(bitmap.Canvas()->Pixels(2, 1), RGB(e.peRed, e.peGreen, e.peBlue));
    }
    EXPECT_EQ(Save(bitmap), image) << "round trip";
  }
}

TEST(UiBitmapStream, PicturesWithoutPaletteStoreTheirFormatsColours) {
  struct TCase {
    TPixelFormat format;
    size_t entries;
    int index;
    TQuad quad;  // B, G, R, 0 of that entry
  };
  for (const TCase& c : {TCase{pf1bit, 2, 1, {255, 255, 255, 0}}, TCase{pf4bit, 16, 9, {0, 0, 255, 0}},
                         TCase{pf4bit, 16, 7, {192, 192, 192, 0}}, TCase{pf8bit, 256, 77, {77, 77, 77, 0}}}) {
    SCOPED_TRACE(c.index);
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.format);
    bitmap.SetSize(1, 1);
    const QByteArray image = Save(bitmap);
    uint32_t used = 0;
    std::memcpy(&used, image.constData() + 46, 4);
    EXPECT_EQ(used, c.entries);
    EXPECT_EQ(image.mid(54 + 4 * c.index, 4), QByteArray(reinterpret_cast<const char*>(c.quad.data()), 4));
  }
}

TEST(UiBitmapStream, OtherWritersLayoutsGiveTheSamePicture) {
  const TDepthCase eight = DepthCases()[2];
  const TDepthCase thirtyTwo = DepthCases()[4];
  TBitmap reference8;
  Fill(reference8, eight);
  TBitmap reference32;
  Fill(reference32, thirtyTwo);

  TBmpLayout topDown = eight.layout;
  topDown.height = -3;
  std::reverse(topDown.rows.begin(), topDown.rows.end());

  TBmpLayout gap = eight.layout;
  gap.gap = 6;

  // A version 5 header holding the plain B, G, R bit masks.
  TBmpLayout v5 = thirtyTwo.layout;
  v5.infoSize = 124;
  v5.compression = 3;
  v5.infoExtra = QByteArray(84, '\0');
  const uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  std::memcpy(v5.infoExtra.data(), masks, sizeof masks);

  // A 40-byte header with the masks behind it.
  TBmpLayout fields = thirtyTwo.layout;
  fields.compression = 3;
  fields.infoExtra = QByteArray(reinterpret_cast<const char*>(masks), sizeof masks);

  struct TCase {
    const char* name;
    TBmpLayout layout;
    TBitmap* reference;
  };
  for (const TCase& c : {TCase{"top-down rows", topDown, &reference8}, TCase{"gap before the pixels", gap, &reference8},
                         TCase{"version 5 header", v5, &reference32}, TCase{"bit fields", fields, &reference32}}) {
    SCOPED_TRACE(c.name);
    TMemoryStream stream(Build(c.layout));
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(Pixels(bitmap), Pixels(*c.reference));
  }

  // A short colour table: the entries given, the rest of the indices black.
  TBmpLayout shortTable = eight.layout;
  shortTable.clrUsed = 3;
  shortTable.colors.resize(3);
  TMemoryStream stream(Build(shortTable));
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  ASSERT_NE(bitmap.Palette(), nullptr);
  EXPECT_EQ(bitmap.Palette()->Entries.size(), 3u);
  EXPECT_EQ(Pixels(bitmap), Pixels(reference8));
}

TEST(UiBitmapStream, DamagedImagesAreRefusedAndChangeNothing) {
  const TBmpLayout good = DepthCases()[2].layout;
  using TEdit = std::function<void(TBmpLayout&, QByteArray&)>;
  struct TCase {
    const char* name;
    TEdit edit;
    bool readError;  // the stream ends early (else: not a valid image)
  };
  const auto field = [](TBmpLayout& l, QByteArray& bytes, int at, auto value) {
    bytes = Build(l);
    std::memcpy(bytes.data() + at, &value, sizeof value);
  };
  const std::vector<TCase> cases{
      {"signature", [](TBmpLayout& l, QByteArray& b) { l.type = 0x4D43; b = Build(l); }, false},
      {"planes", [](TBmpLayout& l, QByteArray& b) { l.planes = 2; b = Build(l); }, false},
      {"16 bits", [](TBmpLayout& l, QByteArray& b) { l.bits = 16; b = Build(l); }, false},
      {"run-length coded", [](TBmpLayout& l, QByteArray& b) { l.compression = 1; b = Build(l); }, false},
      {"core header", [](TBmpLayout& l, QByteArray& b) { l.infoSize = 12; b = Build(l); }, false},
      {"colour table too long", [](TBmpLayout& l, QByteArray& b) { l.clrUsed = 257; b = Build(l); }, false},
      {"negative width", [](TBmpLayout& l, QByteArray& b) { l.width = -5; b = Build(l); }, false},
      {"pixels inside the headers", [&](TBmpLayout& l, QByteArray& b) { field(l, b, 10, uint32_t{20}); }, false},
      {"pixels cut short", [](TBmpLayout& l, QByteArray& b) { b = Build(l); b.chop(1); }, true},
      {"header cut short", [](TBmpLayout& l, QByteArray& b) { b = Build(l).left(30); }, true},
      {"colour table cut short", [](TBmpLayout& l, QByteArray& b) { b = Build(l).left(60); }, true},
      // 2^31 - 1 rows of 2^31 - 1 pixels: the size does not fit 64 bits.
      {"huge picture", [&](TBmpLayout& l, QByteArray& b) {
         l.bits = 32;
         l.colors.clear();
         l.clrUsed = 0;
         field(l, b, 18, int64_t{0x7FFFFFFF7FFFFFFF});
       }, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TBmpLayout layout = good;
    QByteArray bytes;
    c.edit(layout, bytes);
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(2, 2);
    TMemoryStream stream(QByteArray("xy") + bytes);
    stream.SetPosition(2);
    if (c.readError) {
      EXPECT_THROW(bitmap.LoadFromStream(stream), EReadError);
    } else {
      EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic);
    }
    EXPECT_EQ(stream.Position(), 2);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.Width(), 2);
  }
}

TEST(UiBitmapStream, AnEmptyPictureIsACompleteImageWithoutRows) {
  TBitmap empty;
  empty.SetPixelFormat(pf8bit);
  empty.SetSize(0, 2);
  const QByteArray image = Save(empty);
  TBmpLayout expected{.width = 0, .height = 2, .bits = 8, .clrUsed = 256, .rows = {QByteArray(), QByteArray()}};
  for (int i = 0; i < 256; ++i)
    expected.colors.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0});
  EXPECT_EQ(image, Build(expected));

  TBitmap back;
  TMemoryStream stream(image + QByteArray(4, '\x7F'));
  back.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), image.size());
  EXPECT_TRUE(back.Empty());
  EXPECT_EQ(back.Height(), 2);
  EXPECT_EQ(back.PixelFormat(), pf8bit);
}

TEST(UiBitmapStream, FileSizeFieldLetsAReaderStepOverAnImage) {
  const QByteArray image = Build(DepthCases()[0].layout);
  TMemoryStream stream(QByteArray("ab") + image);
  stream.SetPosition(2);
  EXPECT_EQ(PeekBmpFileSize(stream), static_cast<uint32_t>(image.size()));
  EXPECT_EQ(stream.Position(), 2);
  stream.SetPosition(0);
  EXPECT_EQ(PeekBmpFileSize(stream), std::nullopt);
  TMemoryStream shortStream(QByteArray("BM\1"));
  EXPECT_EQ(PeekBmpFileSize(shortStream), std::nullopt);
}

TEST(UiBitmapStream, OneAndFourBitPicturesTakeTheNearestOfTheirColours) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 1);
  bitmap.Canvas()->SetPixels(0, 0, RGB(250, 10, 10));    // nearest standard colour: red, 9
  bitmap.Canvas()->SetPixels(1, 0, RGB(100, 100, 110));  // grey, 8
  bitmap.Canvas()->SetPixels(2, 0, RGB(200, 200, 190));  // silver, 7
  bitmap.SetPixelFormat(pf4bit);
  EXPECT_EQ((std::vector<int>{bitmap.ScanLine(0)[0], bitmap.ScanLine(0)[1], bitmap.ScanLine(0)[2]}),
            (std::vector<int>{9, 8, 7}));

  // Indexed formats share a memory layout; a change between them still goes by colour.
  bitmap.SetPixelFormat(pf8bit);
  EXPECT_EQ((std::vector<int>{bitmap.ScanLine(0)[0], bitmap.ScanLine(0)[1], bitmap.ScanLine(0)[2]}),
            (std::vector<int>{85, 128, 192}))
      << "the grey-ramp entries nearest to the standard red, grey and silver";
  bitmap.SetPixelFormat(pf1bit);
  EXPECT_EQ((std::vector<int>{bitmap.ScanLine(0)[0], bitmap.ScanLine(0)[1], bitmap.ScanLine(0)[2]}),
            (std::vector<int>{0, 1, 1}));

  // Drawing on one bit picks black or white, never an index beyond them.
  bitmap.Canvas()->SetPixels(0, 0, RGB(240, 240, 240));
  EXPECT_EQ(bitmap.ScanLine(0)[0], 1);
  bitmap.Canvas()->SetPixels(2, 0, RGB(250, 0, 0));
  EXPECT_EQ(bitmap.ScanLine(0)[2], 0);
}

}  // namespace
