// The supply-voltage panel: where the bar's colours meet, read from the
// panel's picture, and what the unmeasured radar types show.

#include "acquisition/main_status_bar.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace main_status_bar_test {

// The first column of the panel's top row in the second colour (width when none).
int FirstEmptyColumn(TBitmap& bitmap) {
  for (int x = 0; x < bitmap.Width(); ++x)
    if (bitmap.Canvas()->Pixels(x, 0) == static_cast<TColor>(VoltageEmptyColor)) return x;
  return bitmap.Width();
}

TEST(VoltagePanel, TheColoursMeetWhereTheVoltageSays) {
  struct TCase {
    long double volts;
    int end;
  };
  // 300 x 1.2 / 2.3 = 156.5: the first colour ends at 157.
  const TCase cases[] = {{12.0L, 157}, {10.0L, 0}, {10.8L, 0}, {13.1L, 300}, {14.0L, 300}};
  for (const TCase& c : cases) {
    EXPECT_EQ(VoltageBarEnd(300, c.volts), c.end) << static_cast<double>(c.volts);
    TBitmap bitmap;
    // No text: every column of the top row shows the bar.
    DrawVoltagePanel(bitmap, 300, 20, {c.volts, QString()});
    EXPECT_EQ(FirstEmptyColumn(bitmap), c.end) << static_cast<double>(c.volts);
    if (c.end > 0) EXPECT_EQ(bitmap.Canvas()->Pixels(c.end - 1, 19), static_cast<TColor>(VoltageFullColor));
    if (c.end < 300) EXPECT_EQ(bitmap.Canvas()->Pixels(299, 19), static_cast<TColor>(VoltageEmptyColor));
  }
}

TEST(VoltagePanel, TheTextIsDrawnCentredOverTheBar) {
  TBitmap bitmap;
  DrawVoltagePanel(bitmap, 300, 24, {12.0L, QStringLiteral("12.0 V")});
  int changed = 0;
  int leftmost = 300;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 300; ++x) {
      const TColor expected = static_cast<TColor>(x < 157 ? VoltageFullColor : VoltageEmptyColor);
      if (bitmap.Canvas()->Pixels(x, y) != expected) {
        ++changed;
        leftmost = std::min(leftmost, x);
      }
    }
  EXPECT_GT(changed, 20) << "the text is drawn";
  EXPECT_GT(leftmost, 80) << "centred, not at the left edge";
}

TEST(VoltagePanel, UnmeasuredTypesShowAFullBarAndFiveVolts) {
  for (int type : {41, 45}) {
    const TVoltageShown shown = VoltageShown(type, 11.0L, QStringLiteral("11.0"));
    EXPECT_EQ(shown.Text, QStringLiteral("5.0 V"));
    EXPECT_EQ(VoltageBarEnd(300, shown.Power), 300);
  }
  const TVoltageShown other = VoltageShown(40, 11.5L, QStringLiteral("11.5"));
  EXPECT_EQ(other.Text, QStringLiteral("11.5 V"));
  EXPECT_EQ(other.Power, 11.5L);
}


TEST(StatusPanels, TheGpsPanelFollowsTheMasterRadarsState) {
  struct TCase {
    TGpsPanelState state;
    TStatusPicture picture;
  };
  const TCase cases[] = {
      {{false, true, true, true, gpsNone}, TStatusPicture::NotConnected},
      {{false, true, true, true, gpsOn}, TStatusPicture::GpsLost},
      {{false, true, true, true, gpsPos}, TStatusPicture::GpsConnect},
      {{false, true, true, false, gpsPos}, TStatusPicture::NotConnected},
      {{true, true, true, true, gpsPos}, TStatusPicture::None},
      {{false, false, true, true, gpsPos}, TStatusPicture::None},
      {{false, true, false, true, gpsPos}, TStatusPicture::None},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(GpsPanelPicture(cases[i].state), cases[i].picture) << "case " << i;
  EXPECT_EQ(LinkPanelPicture(TRadarLinkKind::Serial, false), TStatusPicture::Usb);
  EXPECT_EQ(LinkPanelPicture(TRadarLinkKind::WiFi, true), TStatusPicture::WifiGreen);
  EXPECT_EQ(LinkPanelPicture(TRadarLinkKind::WiFi, false), TStatusPicture::WifiRed);
  EXPECT_EQ(LinkPanelPicture(TRadarLinkKind::None, true), TStatusPicture::NotConnected);
}

// The pixels of a picture, row by row.
std::vector<TColor> PicturePixels(TStatusPicture picture) {
  TBitmap bitmap;
  DrawStatusPicture(bitmap, picture);
  std::vector<TColor> pixels;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Canvas()->Pixels(x, y));
  return pixels;
}

TEST(StatusPanels, EveryPictureIsDrawnAndTellsItsStateApart) {
  const TStatusPicture drawn[] = {TStatusPicture::NotConnected, TStatusPicture::GpsLost,
                                  TStatusPicture::GpsConnect,   TStatusPicture::Usb,
                                  TStatusPicture::WifiGreen,    TStatusPicture::WifiRed};
  EXPECT_TRUE(PicturePixels(TStatusPicture::None).empty());
  std::vector<std::vector<TColor>> seen;
  for (TStatusPicture picture : drawn) {
    const std::vector<TColor> pixels = PicturePixels(picture);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(StatusPictureSize * StatusPictureSize));
    // Not a blank tile: the background's colour is not everywhere.
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), pixels.front()), static_cast<long>(pixels.size()));
    for (const auto& other : seen) EXPECT_NE(pixels, other) << static_cast<int>(picture);
    seen.push_back(pixels);
  }
}

}  // namespace main_status_bar_test
