// Topography marks of old records: the argument orders of Add and SetMark, range
// checks and the store's NeedForSave flag. Their stream form is in
// markers_stream_test.cpp.

#include "profiledata/topo_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <gtest/gtest.h>

namespace {

TEST(TopoData, MarksKeepTheirFieldsWhateverTheArgumentOrder) {
  FakeStore store;
  TTopoData topo(&store);
  topo.Add(100, -2, "well", 3);  // value, ShiftHor, title, ShiftVer
  topo.Add(200, 0, "", 0);
  EXPECT_TRUE(store.needForSave);
  ASSERT_EQ(topo.GetListCount(), 2);
  EXPECT_EQ(topo.GetVal(0), 100);
  EXPECT_EQ(topo.GetShiftHor(0), -2);
  EXPECT_EQ(topo.GetShiftVer(0), 3);
  EXPECT_EQ(topo.GetTitle(0), "well");

  store.ResetCounters();
  topo.SetMark(1, 7, "pit", 8, 9);  // value, title, ShiftVer, ShiftHor
  EXPECT_TRUE(store.needForSave);
  EXPECT_EQ(topo.TopoDataArray()[1], (TMarkTopo{"pit", 7, 9, 8}));

  store.ResetCounters();
  for (int index : {-1, 2}) {
    SCOPED_TRACE(index);
    topo.SetMark(index, 1, "x", 1, 1);
    EXPECT_EQ(topo.GetVal(index), 0);
    EXPECT_EQ(topo.GetShiftHor(index), 0);
    EXPECT_EQ(topo.GetShiftVer(index), 0);
    EXPECT_EQ(topo.GetTitle(index), "");
  }
  EXPECT_EQ(topo.Count(), 2);
  EXPECT_FALSE(store.needForSave);

  topo.Clear();
  EXPECT_EQ(topo.Count(), 0);
  EXPECT_TRUE(store.needForSave);
  store.ResetCounters();
  topo.Clear();
  EXPECT_FALSE(store.needForSave);
}

}  // namespace
