// Surface and object markers and their lists: setters and the store's NeedForSave
// flag, group numbering, deletion, sorting, replacing entries, and who frees what.

#include "profiledata/markers.h"
#include "profiledata/markers_data.h"
#include "profiledata/setting_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

namespace {

// Counts its own destruction; owned by a marker, it goes when the marker goes.
class FreeCounter : public TComponent {
public:
  FreeCounter(TComponent* owner, int& freed) : TComponent(owner), freed_(freed) {}
  ~FreeCounter() override { ++freed_; }

private:
  int& freed_;
};

class Markers : public ::testing::Test {
protected:
  FakeStore store;
  TSettingData* settings = nullptr;  // owned by the store
  TSurfeMarkersData* surfaces = nullptr;
  TObjectMarkersData* objects = nullptr;

  void SetUp() override {
    SetAcquisitionShell(nullptr);
    settings = new TSettingData(&store);
    store.settings = settings;
    surfaces = new TSurfeMarkersData(&store);
    objects = new TObjectMarkersData(&store);
    store.ResetCounters();
  }

  std::vector<int32_t> SurfaceTraces() const {
    std::vector<int32_t> traces;
    for (int i = 0; i < surfaces->Count(); ++i) traces.push_back(surfaces->GetSurfaceMarker(i)->GetNumTrace());
    return traces;
  }
  std::vector<int32_t> SurfaceGroups() const {
    std::vector<int32_t> groups;
    for (int i = 0; i < surfaces->Count(); ++i) groups.push_back(surfaces->GetSurfaceMarker(i)->GetGroup());
    return groups;
  }
};

TEST_F(Markers, AddedMarkersAreNumberedFromTheHighestGroupWhateverGroupIsPassed) {
  EXPECT_EQ(surfaces->Add(7, 10, "a"), 0);
  EXPECT_EQ(surfaces->Add(7, 20, "b"), 1);
  EXPECT_EQ(surfaces->Add(7, 30, "c"), 2);
  EXPECT_EQ(SurfaceGroups(), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(SurfaceTraces(), (std::vector<int32_t>{10, 20, 30}));
  EXPECT_EQ(surfaces->GetSurfaceMarker(1)->GetComment(), "b");

  // The highest group counts, not the count or the last one.
  surfaces->GetSurfaceMarker(0)->SetGroup(40);
  EXPECT_EQ(surfaces->Add(0, 1, ""), 41);
  surfaces->DeleteMark(0);
  surfaces->DeleteMark(2);
  EXPECT_EQ(surfaces->Add(0, 1, ""), 3);

  // Object markers keep the passed group as their object group.
  EXPECT_EQ(objects->Add(7, clBlue, "o", 5, 6), 0);
  EXPECT_EQ(objects->Add(9, clLime, "p", 7, 8), 1);
  const TObjectMarker* second = objects->GetObjectMarker(1);
  EXPECT_EQ(second->Group, 9);
  EXPECT_EQ(second->GetGroup(), 1);
  EXPECT_EQ(second->GetColor(), clLime);
  EXPECT_EQ(second->GetNumSample(), 7);
  EXPECT_EQ(second->GetNumTrace(), 8);
  EXPECT_EQ(second->GetComment(), "p");
}

TEST_F(Markers, GroupAfterTheHighestValueWrapsInsteadOfOverflowing) {
  surfaces->Add(0, 1, "");
  surfaces->GetSurfaceMarker(0)->SetGroup(std::numeric_limits<int32_t>::max());
  EXPECT_EQ(surfaces->Add(0, 2, ""), std::numeric_limits<int32_t>::min());
}

TEST_F(Markers, TagIsTheGroup) {
  surfaces->Add(0, 1, "");
  TSurfaceMarker* marker = surfaces->GetSurfaceMarker(0);
  marker->SetTag(12);
  EXPECT_EQ(marker->GetGroup(), 12);
  marker->SetGroup(13);
  EXPECT_EQ(marker->Tag(), 13);
  EXPECT_EQ(static_cast<TComponent*>(marker)->Tag(), 13);
}

TEST_F(Markers, CommentsAreCutTo255CodeUnits) {
  const QString longText = QString(254, 'a') + "bcdefghij" + QString(37, 'z');  // 300 units
  const QString first255 = longText.left(255);
  ASSERT_EQ(longText.size(), 300);

  surfaces->Add(0, 1, longText);
  EXPECT_EQ(surfaces->GetSurfaceMarker(0)->GetComment(), first255);
  objects->Add(0, clRed, longText, 1, 1);
  EXPECT_EQ(objects->GetObjectMarker(0)->GetComment(), first255);

  TSurfaceMarker* marker = surfaces->GetSurfaceMarker(0);
  marker->SetComment("short");
  marker->SetComment(longText);
  EXPECT_EQ(marker->GetComment(), first255);

  // A surrogate pair cut in half loses its first half, as the stream writer does.
  const QString emoji = QString(254, 'a') + QString::fromUcs4(U"\U0001F600") + "zz";
  marker->SetComment(emoji);
  EXPECT_EQ(marker->GetComment(), QString(254, 'a'));
}

TEST_F(Markers, EveryChangeRaisesTheStoresFlagAndOnlyChangesDo) {
  surfaces->Add(0, 1, "c");
  objects->Add(0, clRed, "c", 2, 3);
  TSurfaceMarker* surface = surfaces->GetSurfaceMarker(0);
  TObjectMarker* object = objects->GetObjectMarker(0);
  settings->SetNeedForSave(false);

  struct Case {
    const char* name;
    std::function<void()> change;
    bool raises;
  };
  const Case cases[] = {
      {"trace", [&] { surface->SetNumTrace(5); }, true},
      {"same trace", [&] { surface->SetNumTrace(5); }, false},
      {"comment", [&] { surface->SetComment("d"); }, true},
      {"same comment", [&] { surface->SetComment("d"); }, false},
      {"group", [&] { surface->SetGroup(4); }, true},
      {"same group", [&] { surface->SetGroup(4); }, false},
      {"colour", [&] { object->SetColor(clBlue); }, true},
      {"same colour", [&] { object->SetColor(clBlue); }, false},
      {"sample", [&] { object->SetNumSample(9); }, true},
      {"same sample", [&] { object->SetNumSample(9); }, false},
      {"add surface", [&] { surfaces->Add(0, 9, ""); }, true},
      {"add object", [&] { objects->Add(0, clRed, "", 1, 9); }, true},
      {"replace entry", [&] { surfaces->SetSurfaceMarker(0, surfaces->GetSurfaceMarker(0)); }, true},
      {"delete", [&] { objects->DeleteMark(1); }, true},
      {"delete at Count", [&] { objects->DeleteMark(objects->Count()); }, false},
      {"default colour", [&] { objects->SetDefaultColor(clGreen); }, true},
      {"same default colour", [&] { objects->SetDefaultColor(clGreen); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store.ResetCounters();
    c.change();
    EXPECT_EQ(store.needForSave, c.raises);
  }
  // The marker records never touch the settings' own flag.
  EXPECT_FALSE(settings->GetNeedForSave());
}

TEST_F(Markers, OnlyANewDefaultColourIsSavedAsADefault) {
  EXPECT_EQ(objects->GetDefaultColor(), clRed);
  objects->SetDefaultColor(clRed);
  EXPECT_EQ(store.defaultSaves, 0);
  objects->SetDefaultColor(clYellow);
  EXPECT_EQ(objects->GetDefaultColor(), clYellow);
  EXPECT_EQ(store.defaultSaves, 1);
  // Marker colours are not defaults.
  objects->Add(0, clBlue, "", 1, 1);
  objects->GetObjectMarker(0)->SetColor(clLime);
  EXPECT_EQ(store.defaultSaves, 1);
}

TEST_F(Markers, IndexesOutsideTheListAreIgnored) {
  // Empty list.
  surfaces->DeleteMark(0);
  surfaces->DeleteMark(-1);
  EXPECT_EQ(surfaces->GetSurfaceMarker(0), nullptr);
  EXPECT_FALSE(store.needForSave);

  surfaces->Add(0, 10, "a");
  surfaces->Add(0, 20, "b");
  TSurfaceMarker* first = surfaces->GetSurfaceMarker(0);
  store.ResetCounters();
  for (int index : {-1, 2, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(surfaces->GetSurfaceMarker(index), nullptr);
    surfaces->DeleteMark(index);
    surfaces->SetSurfaceMarker(index, first);
    EXPECT_EQ(objects->GetObjectMarker(index), nullptr);
  }
  EXPECT_EQ(SurfaceTraces(), (std::vector<int32_t>{10, 20}));
  EXPECT_FALSE(store.needForSave);
  // A null marker is never taken as an entry.
  surfaces->SetSurfaceMarker(1, nullptr);
  EXPECT_NE(surfaces->GetSurfaceMarker(1), nullptr);
}

TEST_F(Markers, DeleteFreesTheMarkerAndClosesTheGap) {
  for (int32_t trace : {10, 20, 30}) surfaces->Add(0, trace, "");
  const int components = store.ComponentCount();
  surfaces->DeleteMark(1);
  EXPECT_EQ(SurfaceTraces(), (std::vector<int32_t>{10, 30}));
  EXPECT_EQ(store.ComponentCount(), components - 1);
  surfaces->DeleteMark(1);
  surfaces->DeleteMark(0);
  EXPECT_EQ(surfaces->Count(), 0);
  EXPECT_EQ(store.ComponentCount(), components - 3);
}

TEST_F(Markers, SortOrdersByTrace) {
  for (int32_t trace : {50, 10, 40, 10, -5, 30}) surfaces->Add(0, trace, QString::number(trace));
  store.ResetCounters();
  surfaces->Sort();
  EXPECT_TRUE(store.needForSave);
  EXPECT_EQ(SurfaceTraces(), (std::vector<int32_t>{-5, 10, 10, 30, 40, 50}));
  // The markers move with their comments and groups.
  EXPECT_EQ(surfaces->GetSurfaceMarker(0)->GetComment(), "-5");
  EXPECT_EQ(surfaces->GetSurfaceMarker(0)->GetGroup(), 4);
  EXPECT_EQ(surfaces->GetSurfaceMarker(5)->GetGroup(), 0);
  store.ResetCounters();
  surfaces->Sort();  // nothing moves
  EXPECT_FALSE(store.needForSave);

  objects->Add(0, clRed, "", 0, 3);
  objects->Add(0, clRed, "", 0, 1);
  objects->Sort();
  EXPECT_EQ(objects->GetObjectMarker(0)->GetNumTrace(), 1);
}

TEST_F(Markers, ReplacingAnEntryKeepsTheOldMarkerWithItsOwner) {
  surfaces->Add(0, 10, "");
  surfaces->Add(0, 20, "");
  TSurfaceMarker* old = surfaces->GetSurfaceMarker(0);
  auto* fresh = new TSurfaceMarker(&store);
  fresh->SetNumTrace(99);
  surfaces->SetSurfaceMarker(0, fresh);
  EXPECT_EQ(SurfaceTraces(), (std::vector<int32_t>{99, 20}));

  // The old marker is no longer the list's: freeing the list leaves it alone, and
  // freeing it later does not reach the list.
  const int components = store.ComponentCount();
  surfaces->Free();
  surfaces = nullptr;
  EXPECT_EQ(store.ComponentCount(), components - 3);  // the list, fresh and the 20
  EXPECT_EQ(old->GetNumTrace(), 10);
  old->Free();
}

TEST_F(Markers, AMarkerMovedToAnotherListLeavesTheFirst) {
  auto* other = new TSurfeMarkersData(&store);
  surfaces->Add(0, 10, "");
  other->Add(0, 20, "");
  TSurfaceMarker* moved = surfaces->GetSurfaceMarker(0);
  TSurfaceMarker* replaced = other->GetSurfaceMarker(0);
  other->SetSurfaceMarker(0, moved);
  EXPECT_EQ(surfaces->Count(), 0);
  EXPECT_EQ(other->GetSurfaceMarker(0), moved);
  // Deleting from the new list frees it once; the old list no longer knows it.
  other->DeleteMark(0);
  EXPECT_EQ(surfaces->Count(), 0);
  replaced->Free();
}

TEST_F(Markers, TheSameMarkerTwiceInAListIsFreedOnce) {
  surfaces->Add(0, 10, "");
  surfaces->Add(0, 20, "");
  TSurfaceMarker* first = surfaces->GetSurfaceMarker(0);
  TSurfaceMarker* second = surfaces->GetSurfaceMarker(1);
  int firstFreed = 0, secondFreed = 0;
  new FreeCounter(first, firstFreed);
  new FreeCounter(second, secondFreed);

  surfaces->SetSurfaceMarker(1, first);
  EXPECT_EQ(surfaces->GetSurfaceMarker(1), first);
  // Deleting one entry keeps the marker for the other.
  surfaces->DeleteMark(1);
  EXPECT_EQ(firstFreed, 0);
  EXPECT_EQ(surfaces->GetSurfaceMarker(0), first);

  surfaces->SetSurfaceMarker(0, second);
  surfaces->Add(0, 30, "");
  surfaces->SetSurfaceMarker(1, second);
  // The list frees `second` once; `first` left the list and stays with the store.
  surfaces->Free();
  surfaces = nullptr;
  EXPECT_EQ(secondFreed, 1);
  EXPECT_EQ(firstFreed, 0);
  first->Free();
  EXPECT_EQ(firstFreed, 1);
}

TEST_F(Markers, AMarkerFreedElsewhereLeavesItsList) {
  for (int32_t trace : {10, 20, 30}) objects->Add(0, clRed, "", 0, trace);
  objects->GetObjectMarker(1)->Free();
  ASSERT_EQ(objects->Count(), 2);
  EXPECT_EQ(objects->GetObjectMarker(1)->GetNumTrace(), 30);
}

TEST(MarkerOwnership, TheStoreFreesListsAndMarkersInAnyOrder) {
  // Markers created before and after their list; the store frees the last created
  // first, so both orders of destruction happen, and a marker replaced in its list
  // is left to the store.
  int freed = 0;
  auto* store = new FakeStore();
  auto* early = new TSurfaceMarker(store);
  new FreeCounter(early, freed);
  auto* list = new TSurfeMarkersData(store);
  list->Add(0, 1, "");
  new FreeCounter(list->GetSurfaceMarker(0), freed);
  list->SetSurfaceMarker(0, early);
  list->Add(0, 2, "");
  new FreeCounter(list->GetSurfaceMarker(1), freed);
  auto* objects = new TObjectMarkersData(store);
  objects->Add(0, clRed, "", 1, 1);
  new FreeCounter(objects->GetObjectMarker(0), freed);
  delete store;
  EXPECT_EQ(freed, 4);  // every marker once, none twice
}

TEST_F(Markers, PositionsInMetresGoThroughTheChannelSettings) {
  settings->SetWheelStep(10);  // mm per trace
  settings->SetWheelMult(1);
  settings->SetMinTrace(-20);
  settings->RestoreSpanWidth(100);  // ns
  settings->SetSpeedLight(100);     // depth of the window: 100 x 100 / 2000 = 5 m
  settings->SetNullShift(10);       // LongTrace 500: 100 samples per metre
  objects->Add(0, clRed, "", 110, 230);
  TObjectMarker* marker = objects->GetObjectMarker(0);
  store.ResetCounters();

  EXPECT_DOUBLE_EQ(double(marker->GetXMark()), 2.5);  // (230 + 20) x 10 mm
  EXPECT_DOUBLE_EQ(double(marker->GetXMarkWithShift()), 2.3);
  EXPECT_DOUBLE_EQ(double(marker->GetYMark()), 1.0);  // (110 - 10) / 100
  marker->SetXMark(1.25);
  EXPECT_EQ(marker->GetNumTrace(), 125);
  marker->SetXMarkWithShift(0.5);
  EXPECT_EQ(marker->GetNumTrace(), 50);
  marker->SetYMark(0.5);
  EXPECT_EQ(marker->GetNumSample(), 60);
  EXPECT_FALSE(store.needForSave);

  settings->SetWasFlip(true);
  EXPECT_DOUBLE_EQ(double(marker->GetXMark()), -0.7);  // (50 + 20) x 10 mm, counted back
  marker->SetXMark(0.7);
  EXPECT_EQ(marker->GetNumTrace(), -70);
}

TEST(MarkerWithoutStore, ConvertsToZeroAndKeepsItsPlace) {
  TSurfeMarkersData list(nullptr);
  list.Add(0, 42, "x");
  TSurfaceMarker* marker = list.GetSurfaceMarker(0);
  EXPECT_EQ(marker->GetXMark(), 0);
  marker->SetXMark(3);
  EXPECT_EQ(marker->GetNumTrace(), 42);
  EXPECT_EQ(list.AddInMeters(0, "", 3), 1);
  EXPECT_EQ(list.GetSurfaceMarker(1)->GetNumTrace(), 0);
}

}  // namespace
