#include "raster/repaint_optimizer.h"

#include "tests/raster/raster_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace repaint_optimizer_test {

std::string Str(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}

TEST(GrowArea, GrowsOutwardOnEveryAxis) {
  struct Case {
    TRect area;
    int dx, dy;
    std::string expected;
  };
  const Case cases[] = {
      {{10, 10, 20, 20}, 2, 3, "8,7,22,23"},
      {{20, 0, 10, 5}, 2, 2, "22,-2,8,7"},     // reversed horizontally
      {{0, 20, 5, 10}, 2, 2, "-2,22,7,8"},     // reversed vertically
      {{20, 10, 10, 0}, 1, 1, "21,11,9,-1"},   // reversed both ways
      {{10, 10, 20, 20}, -2, -2, "12,12,18,18"},
      {{INT_MAX - 1, INT_MIN + 1, INT_MAX, 0}, 5, 5,
       std::to_string(INT_MAX - 6) + "," + std::to_string(INT_MIN) + "," + std::to_string(INT_MAX) + ",5"},
  };
  for (const Case& c : cases) {
    TRect r = c.area;
    GrowArea(r, c.dx, c.dy);
    EXPECT_EQ(Str(r), c.expected) << Str(c.area);
  }
}

// A layer that fills one rectangle (in measuring mode: reports it).
class BoxLayer : public TCustomLayer {
public:
  using TCustomLayer::TCustomLayer;
  TRect box{0, 0, 0, 0};
  int paints = 0;

  void MoveTo(const TRect& r) {
    box = r;
    Changed();
  }

protected:
  void Paint(TBitmap32* Buffer) override {
    ++paints;
    Buffer->FillRectS(box, 0xFFFF0000u);
  }
};

// A timer on a counter the test sets, in microseconds.
class ScriptedTimer : public TPerfTimer {
public:
  explicit ScriptedTimer(const int64_t* now) : now_(now) {}

protected:
  int64_t QueryCounter() override { return *now_; }
  int64_t QueryFrequency() override { return 1000000; }

private:
  const int64_t* now_;
};

class RepaintOptimizerTest : public RasterTest {
protected:
  void SetUp() override {
    RasterTest::SetUp();
    Build();
  }
  // A fresh buffer, collection and optimizer (for tables of cases).
  void Build() {
    optimizer.reset();
    layers.reset();
    micros = 1000;
    ticks = 0;
    rects.Clear();
    buffer = std::make_unique<TBitmap32>();
    buffer->SetSize(800, 200);
    layers = std::make_unique<TLayerCollection>(nullptr);
    optimizer = std::make_unique<TMicroTilesRepaintOptimizer>(
        buffer.get(), &rects, std::make_unique<ScriptedTimer>(&micros), [this] { return ticks; });
  }
  void TearDown() override {
    optimizer.reset();
    layers.reset();
  }

  BoxLayer* AddBox(const TRect& r) {
    auto* layer = layers->Add<BoxLayer>();
    layer->MoveTo(r);
    return layer;
  }

  // One paint of the control: what it would repaint ("all" for an empty
  // list, nothing when no update is available); the paint takes `elapsed` us.
  std::vector<std::string> Paint(int64_t elapsed = 100) {
    rects.Clear();
    if (!optimizer->UpdatesAvailable()) return {};
    optimizer->PerformOptimization();
    std::vector<std::string> out;
    for (int i = 0; i < rects.Count(); ++i) out.push_back(Str(*rects.Items(i)));
    if (out.empty()) out.push_back("all");
    optimizer->BeginPaintBuffer();
    micros += elapsed;
    optimizer->EndPaintBuffer();
    return out;
  }

  using Strings = std::vector<std::string>;

  int64_t micros = 1000;
  int64_t ticks = 0;
  TRectList rects;
  std::unique_ptr<TBitmap32> buffer;
  std::unique_ptr<TLayerCollection> layers;
  std::unique_ptr<TMicroTilesRepaintOptimizer> optimizer;
};

TEST_F(RepaintOptimizerTest, EnablingAndResetInvalidateTheWholeBuffer) {
  optimizer->RegisterLayerCollection(layers.get());
  EXPECT_FALSE(optimizer->Enabled());
  optimizer->SetEnabled(true);
  EXPECT_TRUE(optimizer->Enabled());
  optimizer->SetAdaptiveMode(false);
  EXPECT_EQ(Paint(), Strings{"0,0,800,200"});
  EXPECT_EQ(Paint(), Strings{});  // nothing changed since

  optimizer->Reset();
  EXPECT_EQ(Paint(), Strings{"0,0,800,200"});

  buffer->SetSize(300, 70);
  optimizer->BufferResizedHandler(300, 70);
  EXPECT_EQ(Paint(), Strings{"0,0,300,70"});
}

TEST_F(RepaintOptimizerTest, AMovingLayerInvalidatesWhereItWasAndWhereItIs) {
  BoxLayer* layer = AddBox({10, 10, 20, 20});
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);  // measures the layer where it is now
  optimizer->SetAdaptiveMode(false);
  Paint();

  layer->MoveTo({100, 50, 110, 60});
  EXPECT_EQ(Paint(), (Strings{"10,10,20,20", "100,50,110,60"}));
  layer->MoveTo({105, 50, 115, 62});  // old and new box share a tile
  EXPECT_EQ(Paint(), (Strings{"100,50,115,62"}));
  EXPECT_EQ(Paint(), Strings{});

  // Changes before the next paint queue the layer once; it is measured once.
  const int paints = layer->paints;
  layer->MoveTo({300, 100, 310, 110});
  layer->MoveTo({400, 100, 410, 110});
  EXPECT_EQ(Paint(), (Strings{"105,50,115,62", "400,100,410,110"}));
  EXPECT_EQ(layer->paints, paints + 1);
}

TEST_F(RepaintOptimizerTest, ChangedAreasAndLines) {
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);
  optimizer->SetAdaptiveMode(false);
  Paint();

  layers->AreaRefreshed({40, 40, 50, 45});  // through the hooked collection event
  EXPECT_EQ(Paint(), Strings{"40,40,50,45"});

  // A line's end points grow by its width: (9, 9) to (51, 11), walked in two
  // steps of 32 pixels, each grown by twice the width.
  optimizer->AreaUpdateHandler(nullptr, {10, 10, 50, 10}, AreaKindLine | 1);
  EXPECT_EQ(Paint(), (Strings{"7,7,32,13", "32,7,64,14", "64,9,75,14"}));
}

TEST_F(RepaintOptimizerTest, AddedLayerIsPaintedWhereItAppears) {
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);
  optimizer->SetAdaptiveMode(false);
  Paint();
  AddBox({70, 70, 80, 90});
  EXPECT_EQ(Paint(), Strings{"70,70,80,90"});
}

TEST_F(RepaintOptimizerTest, DeletedLayersLeaveTheirAreaInvalid) {
  AddBox({10, 10, 20, 20});
  BoxLayer* moving = AddBox({100, 50, 110, 60});
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);
  optimizer->SetAdaptiveMode(false);
  Paint();

  // Queued and then deleted before the paint: only its old place remains, and
  // the freed layer is not measured.
  moving->MoveTo({200, 50, 210, 60});
  layers->Delete(1);
  EXPECT_EQ(Paint(), Strings{"100,50,110,60"});

  layers->Delete(0);
  EXPECT_EQ(Paint(), Strings{"10,10,20,20"});
  EXPECT_EQ(Paint(), Strings{});
}

TEST_F(RepaintOptimizerTest, ClearingTheCollectionInvalidatesEveryLayerAndRestartsTheAdaptation) {
  AddBox({10, 10, 20, 20});
  AddBox({100, 50, 110, 60});
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);
  Paint(500);  // slower than the (unknown) full repaint: whole tiles from now on
  ASSERT_EQ(optimizer->PerformanceLevel(), 1);

  layers->Clear();
  EXPECT_EQ(optimizer->PerformanceLevel(), 0);
  EXPECT_EQ(optimizer->TimeDelta(), 1000);
  EXPECT_EQ(Paint(), (Strings{"10,10,20,20", "100,50,110,60"}));  // exact again
}

TEST_F(RepaintOptimizerTest, UnregisteringUnhooksAndForgetsTheLayers) {
  BoxLayer* layer = AddBox({10, 10, 20, 20});
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);
  optimizer->SetAdaptiveMode(false);
  Paint();
  EXPECT_TRUE(layers->OnListNotify && layers->OnLayerUpdated && layers->OnAreaUpdated);

  layer->MoveTo({60, 60, 70, 70});  // queued
  optimizer->UnregisterLayerCollection(layers.get());
  EXPECT_FALSE(layers->OnListNotify || layers->OnLayerUpdated || layers->OnAreaUpdated);
  EXPECT_EQ(layer->LayerOptions() & LOB_INVALID, 0u);
  layers->Delete(0);  // unseen by the optimizer, which must not measure it
  // Something was pending but no layer is left to say where: a full repaint.
  EXPECT_EQ(Paint(), Strings{"all"});
}

TEST_F(RepaintOptimizerTest, DisablingReleasesAndEnablingStartsOver) {
  BoxLayer* layer = AddBox({10, 10, 20, 20});
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);
  Paint();
  optimizer->SetEnabled(false);
  EXPECT_FALSE(layers->OnListNotify || layers->OnLayerUpdated || layers->OnAreaUpdated);

  // While disabled the grids are released: whatever still arrives must not
  // write into them.
  optimizer->AreaUpdateHandler(nullptr, {10, 10, 20, 20}, AreaKindRect);
  layer->MoveTo({30, 30, 40, 40});
  layers->Delete(0);

  optimizer->SetEnabled(true);
  optimizer->SetAdaptiveMode(false);
  EXPECT_EQ(Paint(), Strings{"0,0,800,200"});
}

// The adaptation under a scripted clock. Twelve areas lie in every other tile
// of the top row, so they give twelve rectangles at every level.
TEST_F(RepaintOptimizerTest, AdaptsTheLevelToThePaintTimes) {
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);
  struct Step {
    const char* what;
    int64_t ticks;
    int areas;         // 0: none added (the paint after Reset)
    int64_t elapsed;   // us
    std::vector<std::string> painted;
    int level;
    int timeDelta;
    int64_t nextCheck;
  };
  const std::vector<std::string> one = {"2,2,10,10"}, oneTile = {"0,0,32,32"}, all = {"all"};
  std::vector<std::string> twelveTiles;
  for (int i = 0; i < 12; ++i) twelveTiles.push_back(std::to_string(64 * i) + ",0," + std::to_string(64 * i + 32) + ",32");
  const Step steps[] = {
      {"everything, slower than the unknown full repaint", 0, 0, 500, {"0,0,800,200"}, 1, 1000, 0},
      {"whole tiles, still slower", 0, 1, 600, oneTile, 2, 1000, 0},
      {"level 2 repaints everything, which is timed", 0, 1, 300, all, 2, 1000, 0},
      {"re-check due: level 1, slower: back up, wait 1250 ms", 10, 1, 400, oneTile, 2, 1250, 1260},
      {"not yet due (not past 1260)", 1260, 1, 300, all, 2, 1250, 1260},
      {"re-check failed again: wait 1500 ms", 1261, 1, 350, oneTile, 2, 1500, 2761},
      {"as fast as a full repaint, faster than the last penalty", 2762, 1, 300, oneTile, 1, 1250, 4012},
      {"faster than a full repaint: shorter wait", 2800, 1, 200, oneTile, 1, 1000, 3800},
      {"twelve rectangles, faster", 2900, 12, 250, twelveTiles, 1, 1000, 3800},
      {"twelve rectangles, slower: level 2", 2900, 12, 400, twelveTiles, 2, 1000, 3800},
      {"level 2 repaints everything", 2900, 12, 300, all, 2, 1000, 3800},
      {"re-check due, faster", 3801, 12, 250, twelveTiles, 1, 1000, 4801},
      {"far fewer rectangles: exact tiles next time", 3900, 1, 250, oneTile, 0, 1000, 4801},
      {"exact", 3900, 1, 250, one, 0, 1000, 4801},
  };
  for (const Step& s : steps) {
    ticks = s.ticks;
    for (int i = 0; i < s.areas; ++i) optimizer->AreaUpdateHandler(nullptr, {64 * i + 2, 2, 64 * i + 10, 10}, AreaKindRect);
    EXPECT_EQ(Paint(s.elapsed), s.painted) << s.what;
    EXPECT_EQ(optimizer->PerformanceLevel(), s.level) << s.what;
    EXPECT_EQ(optimizer->TimeDelta(), s.timeDelta) << s.what;
    EXPECT_EQ(optimizer->NextCheck(), s.nextCheck) << s.what;
    EXPECT_EQ(optimizer->ElapsedTimeForLastRepaint(), s.elapsed) << s.what;
  }
  EXPECT_EQ(optimizer->ElapsedTimeForFullSceneRepaint(), 300);
}

// PerformOptimization with nothing pending still runs the adaptive check: a
// due re-check lowers the level, and level 2 empties the list (full repaint).
TEST_F(RepaintOptimizerTest, AdaptiveCheckRunsAlsoWithNothingPending) {
  struct Case {
    const char* what;
    int level;      // reached by slow paints before the call
    int64_t ticks;  // at the call; the next check is due after tick 0
    int expectedLevel;
    int expectedRects;  // one rectangle was in the list
  };
  const Case cases[] = {
      {"level 1, not due", 1, 0, 1, 1},
      {"level 1, due", 1, 5, 0, 1},
      {"level 2, not due", 2, 0, 2, 0},
      {"level 2, due", 2, 5, 1, 1},
  };
  for (const Case& c : cases) {
    Build();
    optimizer->RegisterLayerCollection(layers.get());
    optimizer->SetEnabled(true);
    Paint(500);  // everything, slower than the unknown full repaint: level 1
    if (c.level == 2) {
      optimizer->AreaUpdateHandler(nullptr, {2, 2, 10, 10}, AreaKindRect);
      Paint(600);
    }
    ASSERT_EQ(optimizer->PerformanceLevel(), c.level) << c.what;
    ASSERT_FALSE(optimizer->UpdatesAvailable()) << c.what;

    ticks = c.ticks;
    rects.Clear();
    rects.Add(TRect{1, 2, 3, 4});
    optimizer->PerformOptimization();
    EXPECT_EQ(optimizer->PerformanceLevel(), c.expectedLevel) << c.what;
    EXPECT_EQ(rects.Count(), c.expectedRects) << c.what;
  }
}

// After a buffer paint nothing is pending: areas reported during the paint are
// dropped by the next PerformOptimization, even one with nothing to do.
TEST_F(RepaintOptimizerTest, AreasReportedDuringThePaintAreDropped) {
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);
  optimizer->SetAdaptiveMode(false);
  Paint();

  optimizer->BeginPaintBuffer();
  optimizer->AreaUpdateHandler(nullptr, {40, 40, 50, 45}, AreaKindRect);
  optimizer->EndPaintBuffer();
  ASSERT_FALSE(optimizer->UpdatesAvailable());
  rects.Clear();
  optimizer->PerformOptimization();
  EXPECT_EQ(rects.Count(), 0);

  optimizer->AreaUpdateHandler(nullptr, {200, 100, 210, 110}, AreaKindRect);
  EXPECT_EQ(Paint(), Strings{"200,100,210,110"});
}

TEST_F(RepaintOptimizerTest, WithoutAdaptiveModeTheLevelStays) {
  optimizer->RegisterLayerCollection(layers.get());
  optimizer->SetEnabled(true);
  Paint(500);
  ASSERT_EQ(optimizer->PerformanceLevel(), 1);
  optimizer->SetAdaptiveMode(false);
  EXPECT_EQ(optimizer->PerformanceLevel(), 0);
  for (int i = 0; i < 3; ++i) {
    optimizer->AreaUpdateHandler(nullptr, {2, 2, 10, 10}, AreaKindRect);
    EXPECT_EQ(Paint(100000), Strings{"2,2,10,10"});
  }
  EXPECT_EQ(optimizer->PerformanceLevel(), 0);
}

}  // namespace repaint_optimizer_test
