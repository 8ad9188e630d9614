#include "raster/coordinate_helpers.h"

#include "platform/ui/graphics.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <QGuiApplication>
#include <QPalette>

namespace {

TEST(CoordinateHelpers, ToColor32SwapsRedAndBlueAndResolvesSystemColours) {
  EXPECT_EQ(ToColor32(RGB(1, 2, 3)), 0xFF010203u);
  EXPECT_EQ(ToColor32(clRed), 0xFFFF0000u);
  EXPECT_EQ(ToColor32(clBlack), 0xFF000000u);
  // A system colour is the desktop's current colour, opaque.
  const QColor window = QGuiApplication::palette().color(QPalette::Window);
  const TColor32 expected = 0xFF000000u | (static_cast<uint32_t>(window.red()) << 16) |
                            (static_cast<uint32_t>(window.green()) << 8) | static_cast<uint32_t>(window.blue());
  EXPECT_EQ(ToColor32(clBtnFace), expected);
}

TEST(CoordinateHelpers, FixedRoundsHalvesToEven) {
  EXPECT_EQ(Fixed(1.5f), 0x18000);
  EXPECT_EQ(Fixed(-2.0f), -0x20000);
  EXPECT_EQ(Fixed(0.5f / 65536), 0);        // half a unit: to the even 0
  EXPECT_EQ(Fixed(1.5f / 65536), 2);        // one and a half: to 2
  EXPECT_EQ(Fixed(1e12f), INT32_MAX);       // saturated
  EXPECT_EQ(Fixed(3), 0x30000);
  EXPECT_EQ(Fixed(-1), -0x10000);
}

TEST(CoordinateHelpers, RectFromFloatRoundingModes) {
  struct Case {
    TFloatRect r;
    TRectRoundMode mode;
    TRect expected;
  };
  const Case cases[] = {
      {{0.5f, 1.5f, 2.5f, -0.5f}, rdNearest, Rect(0, 2, 2, 0)},   // halves to even
      {{0.2f, -0.2f, 3.2f, 3.8f}, rdOutward, Rect(0, -1, 4, 4)},
      {{0.2f, -0.2f, 3.2f, 3.8f}, rdInward, Rect(1, 0, 3, 3)},
      {{2.2f, 2.2f, 2.8f, 2.1f}, rdInward, Rect(3, 3, 3, 3)},   // collapsed sides raised
  };
  for (const Case& c : cases) EXPECT_EQ(RectFromFloat(c.r, c.mode), c.expected) << int(c.mode);

  struct FixedCase {
    TFixedRect r;
    TRectRoundMode mode;
    TRect expected;
  };
  const FixedCase fixedCases[] = {
      {{0x8000, 0x8001, -0x8000, 0x18000}, rdNearest, Rect(0, 1, -1, 1)},  // + $7FFF, shift
      {{0x10001, -1, 0x1FFFF, 0x20000}, rdOutward, Rect(1, -1, 2, 2)},
      {{0x10001, -1, 0x1FFFF, 0x20000}, rdInward, Rect(2, 0, 2, 2)},
  };
  for (const FixedCase& c : fixedCases) EXPECT_EQ(RectFromFloat(c.r, c.mode), c.expected) << int(c.mode);
}

TEST(CoordinateHelpers, RectangleTests) {
  TRect dst;
  EXPECT_TRUE(IntersectRect(dst, Rect(0, 0, 5, 5), Rect(5, 1, 9, 3)));  // touching along an edge
  EXPECT_EQ(dst, Rect(5, 1, 5, 3));
  EXPECT_FALSE(IntersectRect(dst, Rect(0, 0, 5, 5), Rect(6, 1, 9, 3)));
  EXPECT_EQ(dst, Rect(0, 0, 0, 0));

  TFloatRect fdst;
  EXPECT_TRUE(IntersectRect(fdst, FloatRect(0, 0, 2.5f, 2), FloatRect(1, 1, 4, 4)));
  EXPECT_EQ(fdst, FloatRect(1, 1, 2.5f, 2));
  EXPECT_FALSE(IntersectRect(fdst, FloatRect(0, 0, 1, 1), FloatRect(0, 1.5f, 1, 2)));
  EXPECT_EQ(fdst, FloatRect(0, 0, 0, 0));

  EXPECT_TRUE(RectIsEmpty(FloatRect(1, 1, 1, 5)));
  EXPECT_FALSE(RectIsEmpty(FloatRect(1, 1, 1.5f, 5)));
  EXPECT_TRUE(PtInRect(Rect(1, 1, 3, 3), Point(1, 2)));
  EXPECT_FALSE(PtInRect(Rect(1, 1, 3, 3), Point(3, 2)));  // right edge excluded
  EXPECT_FALSE(PtInRect(Rect(1, 1, 3, 3), Point(2, 3)));
  EXPECT_TRUE(EqualRect(Rect(1, 2, 3, 4), RectFromFloat(1, 2, 3, 4)));
}

}  // namespace
