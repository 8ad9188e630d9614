#include "raster/containers.h"
#include "raster/ordinal_maps.h"

#include "raster_test_support.h"

#include <cstdio>
#include <vector>

namespace {

// Addresses with chosen bucket bits (8..15); never dereferenced.
void* At(uintptr_t bucket, uintptr_t low, uintptr_t high = 1) {
  return reinterpret_cast<void*>((high << 16) | (bucket << 8) | low);
}
void* Tag(uintptr_t v) { return reinterpret_cast<void*>(v); }

TEST(PointerMap, AddingTwiceKeepsOneEntryAndItsData) {
  TPointerMap map;
  bool isNew = false;
  PData slot = map.Add(At(3, 1), Tag(100), isNew);
  EXPECT_TRUE(isNew);
  PData again = map.Add(At(3, 1), Tag(200), isNew);
  EXPECT_FALSE(isNew);
  EXPECT_EQ(again, slot);
  EXPECT_EQ(*again, Tag(100));  // not replaced
  EXPECT_EQ(map.Count(), 1);
  *again = Tag(300);
  EXPECT_EQ(map.Data(At(3, 1)), Tag(300));
  EXPECT_EQ(*map.Add(At(4, 1)), nullptr);  // the forms without data store nil
  PData found = nullptr;
  EXPECT_TRUE(map.Find(At(4, 1), found));
  EXPECT_FALSE(map.Find(At(5, 1), found));
  EXPECT_TRUE(map.Contains(At(3, 1)));
  EXPECT_EQ(map.Count(), 2);
}

// Pointers that differ only in their low 8 bits share a bucket, which grows
// by 4 up to 8 entries, by 16 above 8 and by a quarter above 64.
TEST(PointerMap, BucketGrowthSteps) {
  TPointerMap map;
  EXPECT_EQ(TPointerMap::BucketIndexOf(At(7, 0)), TPointerMap::BucketIndexOf(At(7, 255)));
  const std::vector<std::pair<int, size_t>> steps{{1, 4},   {4, 4},   {5, 8},   {9, 12},  {13, 28},
                                                  {29, 44}, {61, 76}, {77, 95}, {96, 118}};
  int added = 0;
  for (const auto& [count, capacity] : steps) {
    while (added < count) {
      map.Add(At(7, static_cast<uintptr_t>(added % 256), 1 + static_cast<uintptr_t>(added / 256)));
      ++added;
    }
    EXPECT_EQ(map.Buckets()[7].Count, count);
    EXPECT_EQ(map.Buckets()[7].Items.size(), capacity) << count << " entries";
  }
  EXPECT_EQ(map.Count(), 96);
}

TEST(PointerMap, RemoveAndIterationOrder) {
  TPointerMap map;
  map.Add(At(3, 1), Tag(1));
  map.Add(At(3, 2), Tag(2));
  map.Add(At(3, 3), Tag(3));
  map.Add(At(0, 9), Tag(4));
  map.Add(At(200, 5), Tag(5));
  map.Add(At(100, 5), Tag(6));
  // Removing the only entry of a bucket releases its array.
  EXPECT_EQ(map.Remove(At(100, 5)), Tag(6));
  EXPECT_EQ(map.Buckets()[100].Items.size(), 0u);
  EXPECT_EQ(map.Remove(At(100, 5)), nullptr);
  // Removing from the middle moves the following entries up.
  EXPECT_EQ(map.Remove(At(3, 2)), Tag(2));
  map.Add(At(3, 4), Tag(7));
  EXPECT_EQ(map.Count(), 5);

  // Buckets ascending, each from its last entry to its first; empty buckets skipped.
  TPointerMapIterator it(map);
  std::vector<void*> order;
  while (it.Next()) {
    order.push_back(it.Item());
    EXPECT_EQ(it.Data(), map.Data(it.Item()));
  }
  EXPECT_EQ(order, (std::vector<void*>{At(0, 9), At(3, 4), At(3, 3), At(3, 1), At(200, 5)}));
  EXPECT_FALSE(it.Next());

  TPointerMap empty;
  TPointerMapIterator none(empty);
  EXPECT_FALSE(none.Next());
}

TEST(PointerMap, DataOfAnAbsentItemNamesItsAddress) {
  TPointerMap map;
  void* item = At(0xAB, 0xCD, 0x12F);
  char text[64];
  std::snprintf(text, sizeof text, "Item not found ($0%llX)", static_cast<unsigned long long>(0x12FABCDull));
  try {
    map.Data(item);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), text);
  }
  EXPECT_THROW(map.SetData(item, Tag(1)), EListError);
}

// A derived map releases its data in Delete; Clear passes every entry
// through it, last to first in each bucket, and empties the buckets.
class RecordingMap : public TPointerMap {
public:
  ~RecordingMap() override { Clear(); }
  std::vector<void*> deleted;

protected:
  void* Delete(int BucketIndex, int ItemIndex) override {
    void* data = TPointerMap::Delete(BucketIndex, ItemIndex);
    deleted.push_back(data);
    return data;
  }
};

TEST(PointerMap, ClearDeletesEveryEntryThroughDelete) {
  RecordingMap map;
  map.Add(At(1, 1), Tag(1));
  map.Add(At(1, 2), Tag(2));
  map.Add(At(9, 1), Tag(3));
  map.Remove(At(9, 1));
  map.Add(At(9, 2), Tag(4));
  map.Clear();
  EXPECT_EQ(map.deleted, (std::vector<void*>{Tag(3), Tag(2), Tag(1), Tag(4)}));
  EXPECT_EQ(map.Count(), 0);
  EXPECT_FALSE(map.Contains(At(1, 1)));
  EXPECT_EQ(map.Buckets()[1].Items.size(), 0u);
}

TEST(RectList, GrowthStepsAndClear) {
  TRectList list;
  std::vector<int> capacities;
  for (int i = 0; i < 150; ++i) {
    list.Add(Rect(i, 0, i + 1, 1));
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{8, 16, 48, 80, 112, 144, 180}));
  EXPECT_EQ(list.Count(), 150);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 10);
}

TEST(RectList, EditingOperations) {
  TRectList list;
  const TRect a = Rect(0, 0, 1, 1), b = Rect(1, 1, 2, 2), c = Rect(2, 2, 3, 3), d = Rect(3, 3, 4, 4);
  EXPECT_EQ(list.Add(a), 0);
  EXPECT_EQ(list.Add(c), 1);
  list.Insert(1, b);
  list.Insert(3, d);
  auto contents = [&] {
    std::vector<TRect> v;
    for (int i = 0; i < list.Count(); ++i) v.push_back(*list.Items(i));
    return v;
  };
  EXPECT_EQ(contents(), (std::vector<TRect>{a, b, c, d}));
  EXPECT_EQ(list.Items(4), nullptr);
  EXPECT_EQ(list.Items(-1), nullptr);
  list.Move(0, 2);
  EXPECT_EQ(contents(), (std::vector<TRect>{b, c, a, d}));
  list.Exchange(0, 3);
  EXPECT_EQ(contents(), (std::vector<TRect>{d, c, a, b}));
  EXPECT_EQ(list.IndexOf(a), 2);
  EXPECT_EQ(list.Remove(c), 1);
  EXPECT_EQ(list.Remove(c), -1);
  EXPECT_EQ(contents(), (std::vector<TRect>{d, a, b}));
  list.Delete(0);
  EXPECT_EQ(contents(), (std::vector<TRect>{a, b}));
  list.Pack();
  EXPECT_EQ(list.Count(), 2);

  list.SetCount(4);  // new entries are zero
  EXPECT_EQ(contents(), (std::vector<TRect>{a, b, TRect{}, TRect{}}));
  list.SetCount(1);
  EXPECT_EQ(contents(), (std::vector<TRect>{a}));
  EXPECT_THROW(list.Delete(1), EListError);
  EXPECT_THROW(list.Insert(3, a), EListError);
  EXPECT_THROW(list.SetCapacity(0), EListError);
}

struct FakeClass {
  QString ClassName;
};

TEST(ClassList, FindIsCaseSensitiveAndNamesKeepListOrder) {
  static const FakeClass nearest{"TNearestResampler"}, linear{"TLinearResampler"}, kernel{"TKernelResampler"};
  TClassList<FakeClass> list;
  list.Add(&nearest);
  list.Add(&kernel);
  list.Insert(1, &linear);
  EXPECT_EQ(list.Find("TLinearResampler"), &linear);
  EXPECT_EQ(list.Find("tlinearresampler"), nullptr);
  EXPECT_EQ(list.Find("TDraftResampler"), nullptr);
  QStringList names{"first"};
  list.GetClassNames(names);
  EXPECT_EQ(names, (QStringList{"first", "TNearestResampler", "TLinearResampler", "TKernelResampler"}));
  EXPECT_EQ(list.First(), &nearest);
  EXPECT_EQ(list.Last(), &kernel);
  EXPECT_EQ(list.Extract(&linear), &linear);
  EXPECT_EQ(list.Extract(&linear), nullptr);
  EXPECT_EQ(list.Remove(&nearest), 0);
  EXPECT_EQ(list.IndexOf(&kernel), 0);
  list.SetItems(0, &nearest);
  EXPECT_EQ(list.Items(0), &nearest);
  EXPECT_THROW(list.Items(1), EListError);
  list.Clear();
  EXPECT_THROW(list.First(), EListError);
}

class IntegerMap : public RasterTest {};

TEST_F(IntegerMap, ValuesAreRowMajorAndClearFillsAndNotifies) {
  TIntegerMap map;
  EXPECT_TRUE(map.Empty());
  map.SetSize(3, 2);
  EXPECT_FALSE(map.Empty());
  EXPECT_EQ(map.Bits(), (TArrayOfInteger(6, 0)));
  map.SetValue(2, 1, 42);
  *map.ValPtr(0, 1) = -7;
  EXPECT_EQ(map.Bits(), (TArrayOfInteger{0, 0, 0, -7, 0, 42}));
  EXPECT_EQ(map.Value(2, 1), 42);
  int changes = 0;
  map.OnChange = [&](TObject*) { ++changes; };
  map.Clear(-3);
  EXPECT_EQ(map.Bits(), (TArrayOfInteger(6, -3)));
  EXPECT_EQ(changes, 1);
  map.SetSize(2, 4);  // the values keep their linear positions
  EXPECT_EQ(map.Bits(), (TArrayOfInteger{-3, -3, -3, -3, -3, -3, 0, 0}));
  map.SetSize(0, 4);
  EXPECT_TRUE(map.Empty());
}

}  // namespace
