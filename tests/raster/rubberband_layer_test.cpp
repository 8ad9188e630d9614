#include "raster/rubberband_layer.h"

#include "platform/ui/cursors.h"

#include "raster_test_support.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// A collection with one band at (10, 10, 110, 60), HandleSize 3.
class Rubberband : public RasterTest {
protected:
  void SetUp() override {
    RasterTest::SetUp();
    band = layers.Add<TRubberbandLayer>();
    band->SetLocation(FloatRect(10, 10, 110, 60));
    band->OnUserChange = [this](TObject*) { ++userChanges; };
  }
  void TearDown() override { Screen->SetCursor(crDefault); }

  // Press at (x0, y0), move to (x1, y1), release there.
  void Drag(int x0, int y0, int x1, int y1, TShiftState shift = {}) {
    layers.MouseDown(mbLeft, shift, x0, y0);
    layers.MouseMove(shift, x1, y1);
    layers.MouseUp(mbLeft, shift, x1, y1);
  }

  TLayerCollection layers{nullptr};
  TRubberbandLayer* band = nullptr;
  int userChanges = 0;
};

TEST_F(Rubberband, DefaultsAndTheNoUpdateBit) {
  EXPECT_EQ(band->LayerOptions(), LOB_VISIBLE | LOB_MOUSE_EVENTS);
  EXPECT_EQ(band->Handles(), (TRBHandles{rhCenter, rhSides, rhCorners, rhFrame}));
  EXPECT_EQ(band->FrameStipplePattern(), (TArrayOfColor32{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u, 0xFF000000u}));
  band->SetLayerOptions(band->LayerOptions() | LOB_NO_UPDATE | LOB_NO_CAPTURE);
  EXPECT_EQ(band->LayerOptions(), LOB_VISIBLE | LOB_MOUSE_EVENTS | LOB_NO_CAPTURE);
  band->SetHandleSize(-4);
  EXPECT_EQ(band->HandleSize(), 1);
}

TEST_F(Rubberband, DragStateAtPoints) {
  struct Case {
    int x, y;
    TDragState state;
  };
  // Inner rectangle (10, 10, 109, 59), middles (59, 34), tolerance 4.
  const Case cases[] = {
      {110, 60, dsSizeBR}, {60, 35, dsMove},   {60, 10, dsSizeT},  {10, 10, dsSizeTL}, {113, 6, dsSizeTR},
      {6, 63, dsSizeBL},   {109, 31, dsSizeR}, {62, 59, dsSizeB},  {14, 38, dsSizeL},  {114, 34, dsNone},
      {5, 34, dsNone},     {30, 20, dsMove},   {108, 20, dsMove},  {109, 20, dsNone},  {200, 200, dsNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
    EXPECT_EQ(band->DragStateAt(c.x, c.y), c.state);
    EXPECT_EQ(band->HitTest(c.x, c.y), c.state != dsNone);
  }
}

TEST_F(Rubberband, ExcludedHandlesFallThroughToTheNextCandidate) {
  struct Case {
    TRBHandles handles;
    int x, y;
    TDragState state;
  };
  const TRBHandles all{rhCenter, rhSides, rhCorners, rhFrame};
  const Case cases[] = {
      // A corner near the middle of a short side: the corner wins by order.
      {all, 12, 13, dsSizeTL},
      {all | TRBHandles{rhNotTLCorner}, 12, 13, dsMove},
      {all | TRBHandles{rhNotBRCorner}, 110, 60, dsNone},
      {TRBHandles{rhCenter, rhSides}, 10, 10, dsMove},
      {TRBHandles{rhCorners}, 60, 35, dsNone},
      {all | TRBHandles{rhNotTopSide}, 60, 10, dsMove},
      {all | TRBHandles{rhNotRightSide}, 108, 34, dsMove},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ") handles " << c.handles.Bits());
    band->SetHandles(c.handles);
    EXPECT_EQ(band->DragStateAt(c.x, c.y), c.state);
  }
}

TEST_F(Rubberband, ScaledBandIsHitAndDraggedInViewportCoordinates) {
  float scale = 2;
  layers.OnGetViewportScale = [&scale](TObject*, float& sx, float& sy) { sx = scale; sy = scale; };
  layers.OnGetViewportShift = [](TObject*, float& dx, float& dy) { dx = 5; dy = 0; };
  band->SetScaled(true);
  // Adjusted (25, 20, 225, 120).
  EXPECT_EQ(band->DragStateAt(225, 120), dsSizeBR);
  EXPECT_EQ(band->DragStateAt(110, 60), dsMove);
  // 40 viewport pixels to the right are 20 layer units.
  Drag(100, 60, 140, 80);
  EXPECT_EQ(band->Location(), FloatRect(30, 20, 130, 70));
  EXPECT_EQ(userChanges, 1);

  // A viewport that collapses the band mid-drag has no mapping back to layer
  // units: the move is dropped.
  layers.MouseDown(mbLeft, {}, 160, 90);
  ASSERT_TRUE(band->IsDragging());
  scale = 0;
  layers.MouseMove({}, 200, 120);
  EXPECT_EQ(band->Location(), FloatRect(30, 20, 130, 70));
  EXPECT_EQ(userChanges, 1);
  layers.MouseUp(mbLeft, {}, 200, 120);
}

TEST_F(Rubberband, MoveAndResizeWithinLimits) {
  Drag(60, 35, 80, 45);
  EXPECT_EQ(band->Location(), FloatRect(30, 20, 130, 70));
  EXPECT_FALSE(band->IsDragging());

  // The left edge pushed past the right one stops MinWidth short of it.
  band->SetLocation(FloatRect(10, 10, 110, 60));
  Drag(10, 34, 300, 34);
  EXPECT_EQ(band->Location(), FloatRect(100, 10, 110, 60));

  // A maximum holds the right edge; the maximum stays off while below the
  // minimum.
  band->SetLocation(FloatRect(10, 10, 110, 60));
  band->SetMaxWidth(150);
  Drag(109, 34, 400, 34);
  EXPECT_EQ(band->Location(), FloatRect(10, 10, 160, 60));
  band->SetMaxHeight(5);
  Drag(84, 59, 84, 300);
  EXPECT_EQ(band->Location(), FloatRect(10, 10, 160, 300));

  // Top-left corner: both edges, each limited.
  band->SetLocation(FloatRect(10, 10, 110, 60));
  Drag(10, 10, 0, 55);
  EXPECT_EQ(band->Location(), FloatRect(0, 50, 110, 60));
}

TEST_F(Rubberband, ProportionalResizeKeepsTheAspectRatio) {
  band->SetOptions(TRBOptions{roProportional});
  struct Case {
    int x0, y0, x1, y1;
    TFloatRect expected;
  };
  const Case cases[] = {
      // Bottom edge of the 100 x 50 band down by 20: 140 x 70.
      {60, 60, 60, 80, FloatRect(10, 10, 150, 80)},
      // Right edge by 100: height follows downwards.
      {109, 34, 210, 34, FloatRect(10, 10, 210, 110)},
      // Left edge: height follows upwards from the bottom.
      {10, 34, -90, 34, FloatRect(-90, -40, 110, 60)},
      // Top edge: width follows leftwards from the right.
      {60, 10, 60, 35, FloatRect(60, 35, 110, 60)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "from (" << c.x0 << ", " << c.y0 << ")");
    band->SetLocation(FloatRect(10, 10, 110, 60));
    Drag(c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(band->Location(), c.expected);
  }

  // A band without height has no ratio to keep: it resizes freely.
  band->SetLocation(FloatRect(10, 10, 110, 10));
  band->SetMinHeight(0);
  Drag(109, 10, 130, 10);  // the bottom-right corner
  EXPECT_EQ(band->Location(), FloatRect(10, 10, 130, 10));

  // Only a zero divisor stops the proportion: a zero old side with a non-zero
  // divisor keeps its ratio, so the side stays at zero. (A minimum of 0 would
  // make the maximum of 0 a limit too.)
  band->SetMinHeight(10);
  struct ZeroCase {
    TFloatRect start;
    int x0, y0, x1, y1;
    TFloatRect expected;
  };
  const ZeroCase zeroCases[] = {
      // Zero width, bottom-right corner: the width follows the height (x 0).
      {FloatRect(10, 10, 10, 60), 10, 60, 30, 80, FloatRect(10, 10, 10, 80)},
      // Zero height, bottom-left corner: the height follows the width (x 0).
      {FloatRect(10, 10, 110, 10), 10, 10, 0, 30, FloatRect(0, 10, 110, 10)},
  };
  for (const ZeroCase& c : zeroCases) {
    SCOPED_TRACE(testing::Message() << "from (" << c.x0 << ", " << c.y0 << ")");
    band->SetLocation(c.start);
    Drag(c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(band->Location(), c.expected);
  }
}

TEST_F(Rubberband, ConstrainRunsBeforeProportionAndResizingAfter) {
  std::vector<std::string> calls;
  band->SetOptions(TRBOptions{roProportional, roConstrained});
  band->OnConstrain = [&](TObject*, const TFloatRect& old, TFloatRect& n, TDragState s, TShiftState shift) {
    calls.push_back("constrain");
    EXPECT_EQ(old, FloatRect(10, 10, 110, 60));
    EXPECT_EQ(s, dsSizeR);
    EXPECT_TRUE(shift.Contains(ssShift));
    n.Right = 210;  // the proportion is computed from this width
  };
  band->OnResizing = [&](TObject*, const TFloatRect&, TFloatRect& n, TDragState, TShiftState) {
    calls.push_back("resizing");
    EXPECT_EQ(n, FloatRect(10, 10, 210, 110));
    n.Left = 0;
  };
  Drag(109, 34, 150, 34, TShiftState{ssShift});
  EXPECT_EQ(calls, (std::vector<std::string>{"constrain", "resizing"}));
  EXPECT_EQ(band->Location(), FloatRect(0, 10, 210, 110));

  // Without roConstrained OnConstrain stays silent; a step that changes
  // nothing is no user change.
  calls.clear();
  band->SetOptions({});
  userChanges = 0;
  band->OnResizing = nullptr;
  Drag(100, 50, 100, 50);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(userChanges, 0);
}

TEST_F(Rubberband, HoverCursorsAndIgnoredSecondPress) {
  band->SetCursor(crHandPoint);
  struct Case {
    int x, y;
    TCursor cursor;
  };
  const Case cases[] = {{60, 35, crHandPoint}, {10, 34, crSizeWE}, {60, 59, crSizeNS},  {110, 60, crSizeNWSE},
                        {10, 59, crSizeNESW},  {109, 10, crSizeNESW}, {10, 10, crSizeNWSE}};
  for (const Case& c : cases) {
    band->SetAsMouseListener();  // so that the move reaches the band anywhere
    layers.MouseMove({}, c.x, c.y);
    EXPECT_EQ(Screen->Cursor(), c.cursor) << c.x << ", " << c.y;
  }
  layers.MouseMove({}, 300, 300);
  EXPECT_EQ(Screen->Cursor(), crDefault);

  // While dragging, another button's press neither restarts the drag nor
  // reaches OnMouseDown.
  int downs = 0;
  band->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  layers.MouseDown(mbLeft, {}, 60, 35);
  layers.MouseDown(mbRight, {}, 109, 34);
  EXPECT_EQ(band->DragState(), dsMove);
  EXPECT_EQ(downs, 1);
  layers.MouseMove({}, 70, 35);
  EXPECT_EQ(band->Location(), FloatRect(20, 10, 120, 60));
}

TEST_F(Rubberband, ChildFollowsAndIsDroppedWhenFreed) {
  auto* child = layers.Add<TPositionedLayer>();
  child->SetLocation(FloatRect(1, 2, 51, 42));
  child->SetMouseEvents(false);
  band->SetChildLayer(child);
  EXPECT_EQ(band->Location(), FloatRect(1, 2, 51, 42));
  Drag(20, 20, 30, 25);
  EXPECT_EQ(child->Location(), FloatRect(11, 7, 61, 47));
  child->Free();
  EXPECT_EQ(band->ChildLayer(), nullptr);
  band->SetChildLayer(band);
  EXPECT_EQ(band->ChildLayer(), nullptr);
  band->SetLocation(FloatRect(0, 0, 20, 20));

  // Bands that are each other's child pass a location round once, not forever.
  auto* other = layers.Add<TRubberbandLayer>();
  other->SetChildLayer(band);
  band->SetChildLayer(other);
  band->SetLocation(FloatRect(3, 4, 50, 60));
  EXPECT_EQ(other->Location(), FloatRect(3, 4, 50, 60));
  other->SetLocation(FloatRect(5, 6, 70, 80));
  EXPECT_EQ(band->Location(), FloatRect(5, 6, 70, 80));
  band->SetChildLayer(nullptr);
  other->Free();

  // A band freed before its child must not be told of the child's end.
  auto* child2 = layers.Add<TPositionedLayer>();
  band->SetChildLayer(child2);
  band->Free();
  child2->Free();
  EXPECT_EQ(layers.Count(), 0);
}

TEST_F(Rubberband, SettingsReportTheBandForRepaint) {
  std::vector<TCustomLayer*> updated;
  layers.OnLayerUpdated = [&](TObject*, TCustomLayer* l) { updated.push_back(l); };
  band->SetHandleFill(0xFF00FF00u);
  band->SetHandleFill(0xFF00FF00u);  // unchanged: no report
  band->SetHandleFrame(0xFF0000FFu);
  band->SetHandleSize(5);
  band->SetHandles(TRBHandles{rhFrame});
  band->SetFrameStippleStep(2);
  band->SetFrameStippleCounter(1);
  EXPECT_EQ(updated.size(), 6u);
  // A new frame pattern is only stored; the next paint picks it up.
  const TArrayOfColor32 pattern{0xFFFF0000u, 0xFF00FF00u};
  band->SetFrameStipple(pattern);
  EXPECT_EQ(band->FrameStipplePattern(), pattern);
  EXPECT_EQ(updated.size(), 6u);
  layers.OnLayerUpdated = nullptr;
}

TEST_F(Rubberband, PaintsFrameAndHandles) {
  TBitmap32 buffer;
  buffer.SetSize(200, 100);
  const TColor32 back = 0xFF808080u;
  buffer.Clear(back);
  band->PaintLayer(&buffer);

  // Handles: 6 x 6 squares around (10, 10), (110, 10), (10, 60), (110, 60),
  // (60, 10), (10, 35), (110, 35), (60, 60); black border, white inside.
  const TPoint centres[] = {{10, 10}, {110, 10}, {10, 60}, {110, 60}, {60, 10}, {10, 35}, {110, 35}, {60, 60}};
  for (const TPoint& c : centres) {
    SCOPED_TRACE(testing::Message() << "handle at " << c.X << ", " << c.Y);
    EXPECT_EQ(buffer.Pixel(c.X - 3, c.Y - 3), 0xFF000000u);
    EXPECT_EQ(buffer.Pixel(c.X + 2, c.Y + 2), 0xFF000000u);
    EXPECT_EQ(buffer.Pixel(c.X - 2, c.Y + 1), 0xFFFFFFFFu);
    EXPECT_EQ(buffer.Pixel(c.X + 1, c.Y - 2), 0xFFFFFFFFu);
    EXPECT_EQ(buffer.Pixel(c.X + 3, c.Y + 3), back);
    EXPECT_EQ(buffer.Pixel(c.X - 4, c.Y - 4), back);
  }
  // The frame runs white, white, black, black along the top edge from the
  // corner, and down the right edge (column 109).
  EXPECT_EQ(buffer.Pixel(30, 10), 0xFFFFFFFFu);
  EXPECT_EQ(buffer.Pixel(31, 10), 0xFFFFFFFFu);
  EXPECT_EQ(buffer.Pixel(32, 10), 0xFF000000u);
  EXPECT_EQ(buffer.Pixel(33, 10), 0xFF000000u);
  EXPECT_TRUE(buffer.Pixel(109, 20) == 0xFFFFFFFFu || buffer.Pixel(109, 20) == 0xFF000000u);
  EXPECT_NE(buffer.Pixel(109, 20), buffer.Pixel(109, 22));
  EXPECT_EQ(buffer.Pixel(60, 35), back);   // inside untouched
  EXPECT_EQ(buffer.Pixel(110, 20), back);  // outside the frame

  // The frame pattern starts at FrameStippleCounter and advances by
  // FrameStippleStep per pixel, whatever the buffer's own stipple state was:
  // the top edge from x = 10, read at x = 30 .. 33.
  struct StippleCase {
    float counter, step;
    TColor32 expected[4];
  };
  const TColor32 w = 0xFFFFFFFFu, k = 0xFF000000u;
  const StippleCase stippleCases[] = {
      {0, 1, {w, w, k, k}}, {2, 1, {k, k, w, w}}, {1, 1, {w, k, k, w}}, {0, 2, {w, k, w, k}}};
  for (const StippleCase& c : stippleCases) {
    SCOPED_TRACE(testing::Message() << "counter " << c.counter << " step " << c.step);
    band->SetFrameStippleCounter(c.counter);
    band->SetFrameStippleStep(c.step);
    buffer.Clear(back);
    buffer.SetStipple({0xFF0000FFu});
    buffer.SetStippleCounter(0.5f);
    buffer.SetStippleStep(3);
    band->PaintLayer(&buffer);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(buffer.Pixel(30 + i, 10), c.expected[i]) << "x " << 30 + i;
  }
  band->SetFrameStippleCounter(0);
  band->SetFrameStippleStep(1);

  // Only the frame: no handle squares.
  band->SetHandles(TRBHandles{rhFrame});
  buffer.Clear(back);
  band->PaintLayer(&buffer);
  EXPECT_EQ(buffer.Pixel(12, 12), back);
  EXPECT_NE(buffer.Pixel(12, 10), back);
}

}  // namespace
