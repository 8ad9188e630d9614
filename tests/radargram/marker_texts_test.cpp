// The marker frames' texts and colour lists without the window.

#include "radargram/marker_texts.h"

#include <gtest/gtest.h>

#include <QSet>

namespace marker_texts_test {

namespace mt = marker_texts;

TEST(MarkerDistance, StartOffsetOnlyOutsideContainersAndNegatedWhenFlipped) {
  // (30 - 10) x 50 / 1000 = 1 m, offset 0.25 m.
  EXPECT_EQ(mt::PrepareDistanceString(30, 10, 50, false, 25000, false), "Distance on profile 1.25 m");
  EXPECT_EQ(mt::PrepareDistanceString(30, 10, 50, true, 25000, false), "Distance on profile 1.00 m");
  EXPECT_EQ(mt::PrepareDistanceString(30, 10, 50, false, 25000, true), "Distance on profile -1.25 m");
  EXPECT_EQ(mt::DepthText(1.234L), "Depth 1.23 m");
  EXPECT_EQ(mt::TimeText(12.5L), "Time 12.50 ns");
}

TEST(MarkColors, HundredNinetyItemsFromRedToTheLastBrown) {
  const QStringList& items = mt::MarkColorItems();
  ASSERT_EQ(items.size(), mt::kMarkColorCount);
  EXPECT_EQ(items.mid(0, 6), (QStringList{"$0000FF", "$FF0000", "$00FF00", "$00FFFF", "$FF00FF", "$FFFF00"}));
  EXPECT_EQ(items[6], "$00008F");
  EXPECT_EQ(items[11], "$8F8F00");
  EXPECT_EQ(items.mid(12, 3), (QStringList{"$E0E0E0", "$C0C0C0", "$404040"}));
  EXPECT_EQ(items.last(), "$0F1F1F");
  EXPECT_EQ(items[items.size() - 2], "$0B0B0B");
  EXPECT_EQ(items[items.size() - 16], "$EBEBEB");
  for (const QString& item : items) {
    EXPECT_EQ(item.size(), 7) << item.toStdString();
    EXPECT_TRUE(item.startsWith(u'$'));
  }
  EXPECT_EQ(items[mt::kDefaultMarkColorItem], "$FF0000");
  EXPECT_EQ(mt::MarkColorOfItem("$0000FF"), 0x0000FF);  // red in blue-green-red order
  EXPECT_EQ(mt::MarkColorOfItem("xyz"), 0);
}

TEST(MarkColors, FindColorIndexGivesTheFirstItemOrZero) {
  EXPECT_EQ(mt::FindColorIndex(0xFF0000), 1);
  EXPECT_EQ(mt::FindColorIndex(0x0F1F1F), mt::kMarkColorCount - 1);
  EXPECT_EQ(mt::FindColorIndex(0x123456), 0);
}

TEST(MarkerGps, NamedLineFirstNegatedForBackwardThenNearest) {
  const QString rmc = QStringLiteral("$GPRMC,120000,A,5030.5000,N,03015.2500,E,0.0,0.0,010120,,,A*00000000");
  const QStringList lines{"5=" + rmc, "-7=" + rmc};
  EXPECT_FALSE(mt::GpsTextOfTrace(5, lines, false, 10).isEmpty());
  EXPECT_FALSE(mt::GpsTextOfTrace(7, lines, true, 10).isEmpty());
  EXPECT_TRUE(mt::GpsTextOfTrace(5, {}, false, 10).isEmpty());
}

}  // namespace marker_texts_test
