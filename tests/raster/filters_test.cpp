// Intensity to alpha and the row logic operations.

#include "raster/bitmap32.h"
#include "raster/bindings.h"
#include "raster/filters.h"

#include "bitmap_test_support.h"

#include <stdexcept>

namespace {

class FiltersTest : public RasterTest {};

// Weights of red, green and blue in 1/256.
constexpr uint32_t WR = 61, WG = 174, WB = 21;

TEST_F(FiltersTest, IntensityAlphaOfPureColours) {
  struct Case {
    TColor32 colour;
    uint32_t r, g, b;
  };
  const Case cases[] = {{0xFFFF0000u, 255, 0, 0}, {0xFF00FF00u, 0, 255, 0}, {0xFF0000FFu, 0, 0, 255},
                        {0xFFFFFFFFu, 255, 255, 255}, {0x00000000u, 0, 0, 0}, {0x12804020u, 0x80, 0x40, 0x20}};
  for (const auto& c : cases) {
    TCustomBitmap32 src, dst;
    src.SetSize(1, 1);
    src.SetPixel(0, 0, c.colour);
    dst.SetSize(1, 1);
    dst.SetPixel(0, 0, 0x00ABCDEFu);
    SetAlphaFromIntensity(&dst, &src);
    const uint32_t expected = (c.r * WR + c.g * WG + c.b * WB) / 256;
    EXPECT_EQ(Alpha(dst.Pixel(0, 0)), expected) << std::hex << c.colour;
    EXPECT_EQ(dst.Pixel(0, 0) & 0x00FFFFFFu, 0x00ABCDEFu) << "colour bytes kept";
  }
  // The documented values for the pure colours.
  EXPECT_EQ((255 * WR) / 256, 60u);
  EXPECT_EQ((255 * WG) / 256, 173u);
  EXPECT_EQ((255 * WB) / 256, 20u);
}

TEST_F(FiltersTest, IntensityAlphaInPlaceResizeAndNil) {
  TCustomBitmap32 b;
  b.SetSize(2, 1);
  b.SetPixel(0, 0, 0x00FFFFFFu);
  b.SetPixel(1, 0, 0x7F00FF00u);
  NotificationRecorder rec(b);
  SetAlphaFromIntensity(&b, &b);
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(b.Pixel(1, 0), ((255 * WG / 256) << 24) | 0x0000FF00u);
  EXPECT_GE(rec.changes, 1);

  TCustomBitmap32 other;
  other.SetSize(5, 7);
  SetAlphaFromIntensity(&other, &b);
  EXPECT_EQ(other.Width(), 2);
  EXPECT_EQ(other.Height(), 1);
  EXPECT_EQ(Alpha(other.Pixel(0, 0)), 255u);

  try {
    SetAlphaFromIntensity(nullptr, nullptr);
    ADD_FAILURE() << "no exception";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "The source is nil");
  }
  try {
    SetAlphaFromIntensity(nullptr, &b);
    ADD_FAILURE() << "no exception";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Destination is nil");
  }
}

std::vector<TColor32> RandomRow(int n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<TColor32> row(static_cast<size_t>(n));
  for (auto& p : row) p = rng();
  return row;
}

TEST_F(FiltersTest, XorRowTwiceRestoresTheRow) {
  for (int n : {0, 1, 15, 16, 17, 100}) {
    auto row = RandomRow(n, 7u + static_cast<uint32_t>(n));
    const auto original = row;
    XorRow(row.data(), 0xA5C3F00Fu, n);
    if (n > 0) EXPECT_NE(row, original);
    XorRow(row.data(), 0xA5C3F00Fu, n);
    EXPECT_EQ(row, original) << n;
  }
}

TEST_F(FiltersTest, RowLogicOperationsMatchTheirOperators) {
  struct Case {
    const char* name;
    TLogicOp** inPlace;
    TLogicOpEx** ex;
    TColor32 (*op)(TColor32, TColor32);
  };
  const Case cases[] = {
      {"and", &AndRow, &AndRowEx, [](TColor32 a, TColor32 m) { return a & m; }},
      {"or", &OrRow, &OrRowEx, [](TColor32 a, TColor32 m) { return a | m; }},
      {"xor", &XorRow, &XorRowEx, [](TColor32 a, TColor32 m) { return a ^ m; }},
  };
  constexpr TColor32 mask = 0x0FF0F00Fu;
  for (const auto& c : cases)
    for (int n : {0, 3, 16, 33}) {
      const auto src = RandomRow(n + 1, 99u);  // one guard pixel beyond Count
      auto inPlace = src;
      (*c.inPlace)(inPlace.data(), mask, n);
      std::vector<TColor32> out(src.size(), 0x5A5A5A5Au);
      (*c.ex)(src.data(), out.data(), n, mask);
      for (int i = 0; i < n; ++i) {
        EXPECT_EQ(inPlace[i], c.op(src[i], mask)) << c.name << " " << i;
        EXPECT_EQ(out[i], c.op(src[i], mask)) << c.name << " " << i;
      }
      EXPECT_EQ(inPlace[n], src[n]) << c.name << ": wrote past Count";
      EXPECT_EQ(out[n], 0x5A5A5A5Au) << c.name << ": wrote past Count";
    }
}

TEST_F(FiltersTest, RegistryBindsAllSixRoutines) {
  TFunctionRegistry* registry = FindRegistry("Ras32_Filters bindings");
  ASSERT_NE(registry, nullptr);
  for (int id = fidAndRow; id <= fidXorRowEx; ++id) EXPECT_NE(registry->FindFunction(id), nullptr) << id;
  EXPECT_EQ(registry->FindFunctionAs<TLogicOp>(fidXorRow), XorRow);
  EXPECT_EQ(registry->FindFunctionAs<TLogicOpEx>(fidOrRowEx), OrRowEx);
}

}  // namespace
