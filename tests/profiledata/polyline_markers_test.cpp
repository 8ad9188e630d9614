// Polylines: editing their nodes, colour, width and comment, the list of polylines,
// and the hit test of the mouse cursor.

#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

namespace {

using Nodes = std::vector<TPoint>;

class Polylines : public ::testing::Test {
protected:
  FakeStore store;
  TPolyLineMarkersArray* list = nullptr;
  TPolyLineMarkersData* line = nullptr;

  void SetUp() override {
    SetAcquisitionShell(nullptr);
    store.settings = new TSettingData(&store);
    list = new TPolyLineMarkersArray(&store);
    line = list->AddPolyLine(clRed, "");
    store.ResetCounters();
  }

  TPolyLineMarkersData* Line(const Nodes& nodes) {
    TPolyLineMarkersData* made = list->AddPolyLine(clRed, "");
    for (const TPoint& node : nodes) made->AddMark(made->Count() - 1, node.X, node.Y);
    return made;
  }
};

TEST_F(Polylines, NewPolylinesStartRedWidthTwoAndEmpty) {
  EXPECT_EQ(line->GetMarkColor(), 255);
  EXPECT_EQ(line->GetWeight(), 2);
  EXPECT_EQ(line->GetComment(), "");
  EXPECT_EQ(line->Count(), 0);
  TPolyLineMarkersData* blue = list->AddPolyLine(clBlue, QString(300, 'q'));
  EXPECT_EQ(blue->GetMarkColor(), clBlue);
  EXPECT_EQ(blue->GetComment(), QString(255, 'q'));
  EXPECT_EQ(list->GetPolyLineMarkersArray(1), blue);
  EXPECT_EQ(blue->Owner(), &store);
}

TEST_F(Polylines, AddMarkInsertsBehindTheGivenNode) {
  struct Case {
    int afterPoint;
    Nodes expected;
  };
  const Case cases[] = {
      {-1, {{9, 9}, {1, 1}, {2, 2}, {3, 3}}},
      {0, {{1, 1}, {9, 9}, {2, 2}, {3, 3}}},
      {1, {{1, 1}, {2, 2}, {9, 9}, {3, 3}}},
      {2, {{1, 1}, {2, 2}, {3, 3}, {9, 9}}},
      // Outside -1 .. Count - 1 nothing is added.
      {3, {{1, 1}, {2, 2}, {3, 3}}},
      {-2, {{1, 1}, {2, 2}, {3, 3}}},
      {std::numeric_limits<int>::max(), {{1, 1}, {2, 2}, {3, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.afterPoint);
    TPolyLineMarkersData* made = Line({{1, 1}, {2, 2}, {3, 3}});
    store.ResetCounters();
    EXPECT_EQ(made->AddMark(c.afterPoint, 9, 9), int(c.expected.size()));
    EXPECT_EQ(made->Nodes(), c.expected);
    EXPECT_EQ(store.needForSave, c.expected.size() == 4);
  }
  // The first node of an empty polyline.
  EXPECT_EQ(line->AddMark(-1, 5, 6), 1);
  EXPECT_EQ(line->Nodes(), (Nodes{{5, 6}}));
}

TEST_F(Polylines, NodeIndexesAreCheckedAtBothEnds) {
  // Empty polyline.
  TPoint node{7, 7};
  EXPECT_FALSE(line->GetPolyLineMarker(0, node));
  line->MoveNode(-1, 1, 1);
  line->DeleteMark(0);
  line->SetPolyLineMarker(0, {1, 1});
  EXPECT_EQ(line->Count(), 0);
  EXPECT_FALSE(store.needForSave);

  TPolyLineMarkersData* made = Line({{1, 1}, {2, 2}});
  store.ResetCounters();
  for (int index : {-1, 2, std::numeric_limits<int>::min()}) {
    SCOPED_TRACE(index);
    EXPECT_FALSE(made->GetPolyLineMarker(index, node));
    EXPECT_EQ(node, (TPoint{7, 7}));  // left as it was
    made->SetPolyLineMarker(index, {9, 9});
    made->DeleteMark(index);
  }
  made->MoveNode(2, 9, 9);
  EXPECT_EQ(made->Nodes(), (Nodes{{1, 1}, {2, 2}}));
  EXPECT_FALSE(store.needForSave);

  EXPECT_TRUE(made->GetPolyLineMarker(1, node));
  EXPECT_EQ(node, (TPoint{2, 2}));
}

TEST_F(Polylines, EditingNodes) {
  TPolyLineMarkersData* made = Line({{1, 1}, {2, 2}, {3, 3}});
  const std::pair<std::function<void()>, Nodes> steps[] = {
      {[&] { made->MoveNode(-1, 30, 31); }, {{1, 1}, {2, 2}, {30, 31}}},  // negative: the last node
      {[&] { made->MoveNode(-7, 40, 41); }, {{1, 1}, {2, 2}, {40, 41}}},
      {[&] { made->MoveNode(0, 10, 11); }, {{10, 11}, {2, 2}, {40, 41}}},
      {[&] { made->SetPolyLineMarker(1, {20, 21}); }, {{10, 11}, {20, 21}, {40, 41}}},
      {[&] { made->DeleteMark(1); }, {{10, 11}, {40, 41}}},
      {[&] { made->DeleteMark(1); }, {{10, 11}}},
  };
  for (const auto& [step, expected] : steps) {
    store.ResetCounters();
    step();
    EXPECT_EQ(made->Nodes(), expected);
    EXPECT_TRUE(store.needForSave);
  }
}

TEST_F(Polylines, ColourAndWidthBecomeDefaultsWhenTheyChange) {
  struct Case {
    const char* name;
    std::function<void()> change;
    bool raises;
    int defaultSaves;
  };
  const Case cases[] = {
      {"same colour", [&] { line->SetMarkColor(clRed); }, false, 0},
      {"colour", [&] { line->SetMarkColor(clBlue); }, true, 1},
      {"same width", [&] { line->SetWeight(2); }, false, 0},
      {"width", [&] { line->SetWeight(4); }, true, 1},
      {"comment", [&] { line->SetComment("x"); }, true, 0},
      {"same comment", [&] { line->SetComment("x"); }, false, 0},
      {"comment", [&] { line->SetComment(QString(255, 'y')); }, true, 0},
      {"comment cut to the same text", [&] { line->SetComment(QString(300, 'y')); }, false, 0},
      {"new polyline in a new colour", [&] { list->AddPolyLine(clLime, ""); }, true, 1},
      {"new polyline in red", [&] { list->AddPolyLine(clRed, ""); }, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store.ResetCounters();
    c.change();
    EXPECT_EQ(store.needForSave, c.raises);
    EXPECT_EQ(store.defaultSaves, c.defaultSaves);
  }
  EXPECT_EQ(line->GetMarkColor(), clBlue);
  EXPECT_EQ(line->GetWeight(), 4);
}

TEST_F(Polylines, TheListLetsItsPolylinesGoWithoutFreeingThem) {
  TPolyLineMarkersData* second = Line({{1, 1}});
  TPolyLineMarkersData* third = Line({{2, 2}});
  const int components = store.ComponentCount();

  store.ResetCounters();
  list->DeletePolyLineData(1);
  EXPECT_TRUE(store.needForSave);
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(list->GetPolyLineMarkersArray(1), third);
  EXPECT_EQ(store.ComponentCount(), components);

  // Out of range: nothing.
  store.ResetCounters();
  for (int index : {-1, 2}) {
    list->DeletePolyLineData(index);
    list->SetPolyLineMarkersArray(index, second);
    EXPECT_EQ(list->GetPolyLineMarkersArray(index), nullptr);
  }
  EXPECT_EQ(list->Count(), 2);
  EXPECT_FALSE(store.needForSave);

  list->SetPolyLineMarkersArray(0, second);
  EXPECT_TRUE(store.needForSave);
  EXPECT_EQ(list->GetPolyLineMarkersArray(0), second);

  // A polyline freed elsewhere leaves the list; the list going frees none.
  third->Free();
  EXPECT_EQ(list->Count(), 1);
  list->Free();
  EXPECT_EQ(store.ComponentCount(), components - 2);  // the list and `third`
  EXPECT_EQ(second->Nodes(), (Nodes{{1, 1}}));
  EXPECT_EQ(line->Count(), 0);
}

// ---- Hit test ----------------------------------------------------------------------

struct Hit {
  int32_t kind;
  int32_t node;
};

Hit HitOf(const TPolyLineMarkersData& polyline, int32_t x, int32_t y) {
  int32_t kind = -9, node = -9;
  const int32_t result = polyline.GetRegimeCursor(x, y, kind, node);
  EXPECT_EQ(result, kind);
  return {kind, node};
}

TEST_F(Polylines, NodesAreHitWithin3TracesAnd6Samples) {
  TPolyLineMarkersData* made = Line({{10, 100}});
  struct Case {
    int32_t x, y;
    bool hit;
  };
  const Case cases[] = {
      {10, 100, true}, {13, 106, true}, {7, 94, true},   {13, 94, true},
      {14, 100, false}, {6, 100, false}, {10, 107, false}, {10, 93, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    const Hit hit = HitOf(*made, c.x, c.y);
    EXPECT_EQ(hit.kind, c.hit ? pcNode : pcNone);
    EXPECT_EQ(hit.node, c.hit ? 0 : -1);
  }
  const Hit empty = HitOf(*line, 0, 0);
  EXPECT_EQ(empty.kind, pcNone);
  EXPECT_EQ(empty.node, -1);
}

TEST_F(Polylines, TheNearestNodeWinsAndTheFirstOnATie) {
  TPolyLineMarkersData* made = Line({{10, 100}, {12, 100}, {11, 103}});
  EXPECT_EQ(HitOf(*made, 11, 100).node, 0);  // 0 and 1 at distance 1
  EXPECT_EQ(HitOf(*made, 12, 101).node, 1);
  EXPECT_EQ(HitOf(*made, 11, 103).node, 2);
  // A node beats a segment the cursor is on.
  EXPECT_EQ(HitOf(*made, 11, 101).kind, pcNode);
}

TEST_F(Polylines, SegmentsAreHitNearTheDiagonalOfTheirWidenedBox) {
  // Box of (0, 0)-(100, 100): left -3, right 103, top -6, bottom 106.
  TPolyLineMarkersData* made = Line({{0, 0}, {100, 100}});
  struct Case {
    int32_t x, y;
    bool hit;
  };
  const Case cases[] = {
      {50, 50, true},    // 53/106 - 56/112 = 0
      {50, 77, true},    // |0.5 - 83/112| = 0.241
      {50, 78, false},   // |0.5 - 84/112| = 0.25: not below 0.25
      {50, 23, true},    // |0.5 - 29/112| = 0.241
      {50, 22, false},   // 0.25
      // On the widened box's borders (included) and just outside; away from the nodes.
      {103, 90, true},  // |1 - 96/112| = 0.143
      {104, 90, false},
      {-3, 10, true},  // |0 - 16/112| = 0.143
      {-4, 10, false},
      {50, 106, false},  // |0.5 - 1|
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    const Hit hit = HitOf(*made, c.x, c.y);
    EXPECT_EQ(hit.kind, c.hit ? pcSegment : pcNone);
    EXPECT_EQ(hit.node, c.hit ? 0 : -1);
  }
}

TEST_F(Polylines, TheSegmentWithTheSmallestDifferenceWinsAndTheFirstOnATie) {
  // Segments 0 and 1 share one box; segment 2 reaches 4 samples further down.
  TPolyLineMarkersData* made = Line({{0, 0}, {100, 100}, {0, 0}, {100, 104}});
  EXPECT_EQ(HitOf(*made, 50, 50).node, 0);  // d = 0 on 0 and 1, 0.017 on 2
  EXPECT_EQ(HitOf(*made, 50, 52).node, 2);  // d = 0.018 on 0 and 1, 0 on 2
}

TEST_F(Polylines, TheFirstPolylineHitAnswersForTheList) {
  Line({{500, 500}});
  Line({{10, 10}, {20, 20}});
  Line({{15, 15}});
  int32_t kind = -9, node = -9, index = -9;
  EXPECT_EQ(list->GetRegimeCursorForAll(15, 15, kind, node, index), pcSegment);
  EXPECT_EQ(kind, pcSegment);
  EXPECT_EQ(node, 0);
  EXPECT_EQ(index, 2);  // `line` (empty) is entry 0

  EXPECT_EQ(list->GetRegimeCursorForAll(500, 503, kind, node, index), pcNode);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(node, 0);

  EXPECT_EQ(list->GetRegimeCursorForAll(-100, -100, kind, node, index), pcNone);
  EXPECT_EQ(kind, pcNone);
  EXPECT_EQ(node, -1);
  EXPECT_EQ(index, -1);

  TPolyLineMarkersArray empty(&store);
  EXPECT_EQ(empty.GetRegimeCursorForAll(0, 0, kind, node, index), pcNone);
  EXPECT_EQ(index, -1);
}

}  // namespace
