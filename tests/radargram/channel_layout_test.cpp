// The channel panels' arithmetic: rows, the top-axis panels of each column, the
// depth slice, one channel alone and a window too small for its panels.

#include "radargram/channel_layout.h"

#include <gtest/gtest.h>

namespace {

TChannelLayoutInput Input(int height, std::array<bool, kChannelSlots> shown, int slotCount, bool twoColumns, bool slice,
                          int alone = -1) {
  TChannelLayoutInput input;
  input.columnHeight = height;
  input.shown = shown;
  input.slotCount = slotCount;
  input.twoColumns = twoColumns;
  input.slice = slice;
  input.alone = alone;
  return input;
}

TEST(ChannelLayout, RowsForOneAndTwoColumns) {
  struct Case {
    int shown;
    bool slice, two;
    int rows;
  };
  const Case cases[] = {{1, false, false, 1}, {3, false, false, 3}, {3, true, false, 4}, {3, true, true, 2},
                        {4, true, true, 3},   {1, false, true, 1},  {5, false, true, 3}, {0, false, false, 1}};
  for (const Case& c : cases) EXPECT_EQ(ChannelRows(c.shown, c.slice, c.two), c.rows) << c.shown << c.slice << c.two;
}

TEST(ChannelLayout, FirstPanelOfEachColumnCarriesTheTopAxis) {
  // Two columns, three channels and the slice: channels 0 and 1, then 2 and the slice.
  const TChannelLayout two = LayoutChannelPanels(Input(444, {true, true, true, false, false}, 3, true, true));
  EXPECT_EQ(two.rows, 2);
  EXPECT_EQ(two.c, 200);
  EXPECT_EQ(two.channels[0].height, 232);
  EXPECT_TRUE(two.channels[0].topAxis);
  EXPECT_EQ(two.channels[1].height, 198);
  EXPECT_FALSE(two.channels[1].topAxis);
  EXPECT_EQ(two.channels[2].height, 232);
  EXPECT_TRUE(two.channels[2].topAxis);
  EXPECT_EQ(two.slice.height, 198);
  EXPECT_FALSE(two.slice.topAxis);

  // Two channels and the slice: the slice opens the second column.
  const TChannelLayout slice2 = LayoutChannelPanels(Input(444, {true, true, false, false, false}, 2, true, true));
  EXPECT_TRUE(slice2.slice.topAxis);
  EXPECT_EQ(slice2.slice.height, 232);

  // One column, a hidden channel between: it takes no room and no axis.
  const TChannelLayout one = LayoutChannelPanels(Input(344, {true, false, true, false, false}, 3, false, false));
  EXPECT_EQ(one.c, 150);
  EXPECT_EQ(one.channels[1].height, 0);
  EXPECT_TRUE(one.channels[0].topAxis);
  EXPECT_FALSE(one.channels[2].topAxis);
  EXPECT_EQ(one.channels[2].height, 148);
  // c is rounded half to even.
  EXPECT_EQ(LayoutChannelPanels(Input(49, {true, true, false, false, false}, 2, false, false)).c, 2);
  EXPECT_EQ(LayoutChannelPanels(Input(51, {true, true, false, false, false}, 2, false, false)).c, 4);
}

TEST(ChannelLayout, AChannelAloneTakesTheColumnAndTheOthersCollapse) {
  const TChannelLayout alone = LayoutChannelPanels(Input(444, {true, true, true, false, false}, 3, true, true, 2));
  EXPECT_EQ(alone.c, 400);
  EXPECT_TRUE(alone.channels[2].topAxis);
  EXPECT_FALSE(alone.channels[2].collapsed);
  EXPECT_EQ(alone.channels[2].height, 432);
  EXPECT_EQ(alone.aloneColumn, 1);
  for (int i : {0, 1}) {
    EXPECT_EQ(alone.channels[i].height, 1);
    EXPECT_TRUE(alone.channels[i].collapsed);
  }
  EXPECT_TRUE(alone.slice.collapsed);
  EXPECT_EQ(LayoutChannelPanels(Input(444, {true, true, true, false, false}, 3, true, true, 1)).aloneColumn, 0);
}

TEST(ChannelLayout, ATinyWindowGivesNoNegativeHeights) {
  const TChannelLayout tiny = LayoutChannelPanels(Input(10, {true, true, true, true, true}, 5, false, true));
  EXPECT_LT(tiny.c, 0);
  for (const TPanelPlace& place : tiny.channels) EXPECT_GE(place.height, 0);
  EXPECT_GE(tiny.slice.height, 0);
}

}  // namespace
