// The per-trace inclinometer table and the re-basing of loaded records onto the
// channel's trace range.

#include "profiledata/inclinometer_table.h"
#include "profiledata/setting_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// A record that tells which loaded record it was.
TInclRecord Rec(int n) { return TInclRecord{{int16_t(n), int16_t(-n), int16_t(2 * n), 7}}; }

TEST(InclinometerTable, StoresRecordsOverTheWholeIndexRange) {
  TInclinometerTable table;
  EXPECT_EQ(table.Entry(0), nullptr);
  for (int64_t i : {int64_t(-500000), int64_t(-1), int64_t(0), int64_t(4095), int64_t(500000)})
    ASSERT_TRUE(table.Set(i, Rec(int(i % 1000)))) << i;
  EXPECT_EQ(table.RecordCount(), 5);
  EXPECT_EQ(*table.Entry(-500000), Rec(0));
  EXPECT_EQ(*table.Entry(-1), Rec(-1));
  EXPECT_EQ(*table.Entry(4095), Rec(95));
  EXPECT_EQ(*table.Entry(500000), Rec(0));
  EXPECT_EQ(table.Entry(1), nullptr);
  EXPECT_EQ(table.Entry(-500001), nullptr);

  // Outside the range nothing is stored.
  EXPECT_FALSE(table.Set(500001, Rec(1)));
  EXPECT_FALSE(table.Set(-500001, Rec(1)));
  EXPECT_EQ(table.Entry(500001), nullptr);
  EXPECT_EQ(table.RecordCount(), 5);

  // Replacing keeps the count; removing empties the entry.
  table.Set(0, Rec(9));
  EXPECT_EQ(*table.Entry(0), Rec(9));
  EXPECT_EQ(table.RecordCount(), 5);
  table.Remove(0);
  table.Remove(0);
  table.Remove(600000);
  EXPECT_EQ(table.Entry(0), nullptr);
  EXPECT_EQ(table.RecordCount(), 4);
  table.Clear();
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_EQ(table.Entry(500000), nullptr);
}

TEST(InclinometerTable, RecordsStayInPlaceWhileOthersAreAdded) {
  TInclinometerTable table;
  table.Set(10, Rec(10));
  TInclRecord* first = table.Entry(10);
  for (int i = 11; i < 20000; ++i) table.Set(i, Rec(i % 100));
  EXPECT_EQ(table.Entry(10), first);
  EXPECT_EQ(*first, Rec(10));
  // A record is writable in place.
  table.Entry(15)->Values[1] = 1234;
  EXPECT_EQ(table.Entry(15)->Values[1], 1234);
}

// Settings with records loaded at the given entries and a trace range.
class CompactInclinometer : public ::testing::Test {
protected:
  TSettingData settings{nullptr};

  void Load(int64_t minNum, int64_t maxNum, const std::vector<int64_t>& holes = {}) {
    for (int64_t i = minNum; i < maxNum; ++i)
      if (std::find(holes.begin(), holes.end(), i) == holes.end()) settings.IndexIncl.Set(i, Rec(int(i)));
    settings.MinNumIncl = minNum;
    settings.MaxNumIncl = maxNum;
  }
  void Traces(int32_t minTrace, int32_t maxTrace) {
    settings.SetMinTrace(minTrace);
    settings.SetMaxTrace(maxTrace);
  }
  const TInclRecord* At(int64_t i) const { return settings.IndexIncl.Entry(i); }
};

TEST_F(CompactInclinometer, MovesTheLoadedRecordsToTheTraceRange) {
  Load(0, 5);
  Traces(100, 105);
  settings.CompactInclinometer();
  for (int k = 0; k < 5; ++k) {
    ASSERT_NE(At(100 + k), nullptr) << k;
    EXPECT_EQ(*At(100 + k), Rec(k));
    EXPECT_EQ(At(k), nullptr);
  }
  EXPECT_EQ(settings.MinNumIncl, 100);
  EXPECT_EQ(settings.MaxNumIncl, 105);
  EXPECT_EQ(settings.GetNumIncl(), 5);
  EXPECT_EQ(settings.IndexIncl.RecordCount(), 5);
}

TEST_F(CompactInclinometer, MoreRecordsThanTracesDropsTheRest) {
  Load(0, 10);
  Traces(-3, 2);
  settings.CompactInclinometer();
  for (int k = 0; k < 5; ++k) EXPECT_EQ(*At(-3 + k), Rec(k));
  EXPECT_EQ(At(2), nullptr);
  EXPECT_EQ(settings.IndexIncl.RecordCount(), 5);
  EXPECT_EQ(settings.GetNumIncl(), 5);
}

TEST_F(CompactInclinometer, FewerRecordsThanTracesLeaveEmptyEntries) {
  Load(0, 3, {1});  // entry 1 was loaded without a record
  Traces(10, 20);
  settings.CompactInclinometer();
  EXPECT_EQ(*At(10), Rec(0));
  EXPECT_EQ(At(11), nullptr);
  EXPECT_EQ(*At(12), Rec(2));
  for (int i = 13; i < 20; ++i) EXPECT_EQ(At(i), nullptr) << i;
  EXPECT_EQ(settings.MaxNumIncl, 20);
  EXPECT_EQ(settings.GetNumIncl(), 10);
}

TEST_F(CompactInclinometer, RecordsBeyondTheTableEndAreDropped) {
  Load(0, 5);
  Traces(499998, 500010);
  settings.CompactInclinometer();
  EXPECT_EQ(*At(499998), Rec(0));
  EXPECT_EQ(*At(500000), Rec(2));
  EXPECT_EQ(settings.IndexIncl.RecordCount(), 3);
  EXPECT_EQ(settings.MinNumIncl, 499998);
  EXPECT_EQ(settings.MaxNumIncl, 500010);
}

TEST_F(CompactInclinometer, NothingHappensWhenTheRangeAlreadyMatches) {
  Load(5, 8);
  settings.IndexIncl.Set(100, Rec(100));  // outside the range: a re-base would drop it
  Traces(5, 8);
  settings.CompactInclinometer();
  EXPECT_EQ(*At(5), Rec(5));
  EXPECT_EQ(*At(100), Rec(100));
  EXPECT_EQ(settings.IndexIncl.RecordCount(), 4);
}

TEST_F(CompactInclinometer, NothingHappensForAnEmptyRange) {
  settings.IndexIncl.Set(3, Rec(3));
  settings.MinNumIncl = 3;
  settings.MaxNumIncl = 3;
  Traces(0, 10);
  settings.CompactInclinometer();
  EXPECT_EQ(settings.MinNumIncl, 3);
  EXPECT_EQ(settings.MaxNumIncl, 3);
  EXPECT_EQ(*At(3), Rec(3));
}

TEST_F(CompactInclinometer, AReversedRangeEmptiesTheTable) {
  Load(0, 4);
  settings.MinNumIncl = 4;
  settings.MaxNumIncl = 0;
  Traces(0, 4);
  settings.CompactInclinometer();
  EXPECT_EQ(settings.IndexIncl.RecordCount(), 0);
  EXPECT_EQ(settings.MinNumIncl, 0);
  EXPECT_EQ(settings.MaxNumIncl, 4);
}

}  // namespace
