#include "raster/layers.h"

#include "raster/perf_timer.h"
#include "raster/rubberband_layer.h"

#include "platform/rtl/sys_utils.h"
#include "platform/ui/controls.h"
#include "platform/ui/cursors.h"

#include "raster_test_support.h"

#include <string>
#include <vector>

namespace {

class Layers : public RasterTest {
protected:
  void TearDown() override { Screen->SetCursor(crDefault); }
};

struct Notice {
  TLayerListNotification action;
  TCustomLayer* layer;
  int index;
  bool operator==(const Notice&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Notice& n) {
  static const char* const names[] = {"added", "inserted", "deleted", "cleared"};
  return os << names[n.action] << "(" << n.layer << ", " << n.index << ")";
}

// Everything a collection reports, in order, while the recorder lives.
struct CollectionRecorder {
  explicit CollectionRecorder(TLayerCollection& c) : collection(c) {
    c.OnListNotify = [this](TLayerCollection*, TLayerListNotification a, TCustomLayer* l, int i) {
      notices.push_back({a, l, i});
    };
    c.OnLayerUpdated = [this](TObject*, TCustomLayer* l) { updated.push_back(l); };
    c.OnAreaUpdated = [this](TObject*, const TRect& r, uint32_t info) {
      areas.push_back(r);
      infos.push_back(info);
    };
    c.OnChange = [this](TObject*) { ++changes; };
    c.OnChanging = [this](TObject*) { ++changings; };
    c.OnGDIUpdate = [this](TObject*) { ++gdiUpdates; };
  }
  ~CollectionRecorder() {
    collection.OnListNotify = nullptr;
    collection.OnLayerUpdated = nullptr;
    collection.OnAreaUpdated = nullptr;
    collection.OnChange = collection.OnChanging = collection.OnGDIUpdate = nullptr;
  }
  CollectionRecorder(const CollectionRecorder&) = delete;
  CollectionRecorder& operator=(const CollectionRecorder&) = delete;

  TLayerCollection& collection;
  std::vector<Notice> notices;
  std::vector<TCustomLayer*> updated;
  std::vector<TRect> areas;
  std::vector<uint32_t> infos;
  int changes = 0;
  int changings = 0;
  int gdiUpdates = 0;
};

TEST_F(Layers, ListNotificationsOfAddInsertDeleteAndClear) {
  TLayerCollection layers(nullptr);
  CollectionRecorder rec(layers);

  TCustomLayer* a = layers.Add<TPositionedLayer>();
  EXPECT_EQ(rec.notices, (std::vector<Notice>{{lnLayerAdded, a, 0}, {lnLayerAdded, a, 0}}));
  TCustomLayer* b = layers.Add<TCustomLayer>();
  rec.notices.clear();

  // Inserted at the front: added twice at the end, then moved and reported.
  TCustomLayer* c = layers.Insert<TPositionedLayer>(0);
  EXPECT_EQ(rec.notices, (std::vector<Notice>{{lnLayerAdded, c, 2}, {lnLayerAdded, c, 2}, {lnLayerInserted, c, 0}}));
  EXPECT_EQ(layers.Count(), 3);
  EXPECT_EQ(layers.Items(0), c);
  EXPECT_EQ(layers.Items(1), a);
  EXPECT_EQ(layers.Items(2), b);
  EXPECT_EQ(c->Index(), 0);

  // An index beyond the list ends at its end, and that is the index reported.
  rec.notices.clear();
  TCustomLayer* d = layers.Insert<TCustomLayer>(99);
  EXPECT_EQ(rec.notices.back(), (Notice{lnLayerInserted, d, 3}));

  rec.notices.clear();
  layers.Delete(1);
  EXPECT_EQ(rec.notices, (std::vector<Notice>{{lnLayerDeleted, a, 1}}));
  EXPECT_THROW(layers.Delete(3), EListError);
  EXPECT_THROW(layers.Items(-1), EListError);

  rec.notices.clear();
  rec.changes = 0;
  layers.Clear();
  EXPECT_EQ(rec.notices, (std::vector<Notice>{{lnLayerDeleted, d, 2},
                                              {lnLayerDeleted, b, 1},
                                              {lnLayerDeleted, c, 0},
                                              {lnCleared, nullptr, 0}}));
  EXPECT_EQ(layers.Count(), 0);
  EXPECT_GE(rec.changes, 1);

  // A layer freed by itself leaves its collection.
  TCustomLayer* e = layers.Add<TCustomLayer>();
  e->Free();
  EXPECT_EQ(layers.Count(), 0);
}

TEST_F(Layers, UpdateLevelsAndUnpairedEndUpdate) {
  TLayerCollection layers(nullptr);
  CollectionRecorder rec(layers);
  layers.BeginUpdate();
  layers.BeginUpdate();
  EXPECT_EQ(rec.changings, 1);
  layers.EndUpdate();
  EXPECT_EQ(rec.changes, 0);
  layers.EndUpdate();
  EXPECT_EQ(rec.changes, 1);
  try {
    layers.EndUpdate();
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_NE(std::string(e.what()).find("Unpaired EndUpdate"), std::string::npos);
  }
}

TEST_F(Layers, ChangesAreReportedByVisibilityAndOptions) {
  TLayerCollection layers(nullptr);
  auto* layer = layers.Add<TPositionedLayer>();
  CollectionRecorder rec(layers);

  layer->SetLocation(FloatRect(1, 2, 3, 4));
  EXPECT_EQ(rec.updated, std::vector<TCustomLayer*>{layer});
  EXPECT_EQ(rec.changings, 1);
  CollectionRecorder& again = rec;

  // Hiding still reports the layer once, so the area it leaves gets repainted;
  // the force-update bit does not stay behind.
  again.updated.clear();
  layer->SetVisible(false);
  EXPECT_EQ(again.updated, std::vector<TCustomLayer*>{layer});
  EXPECT_EQ(layer->LayerOptions() & LOB_FORCE_UPDATE, 0u);
  EXPECT_FALSE(layer->Visible());

  // An invisible layer changes silently, unless it is a GDI overlay.
  again.updated.clear();
  layer->SetLocation(FloatRect(5, 6, 7, 8));
  EXPECT_TRUE(again.updated.empty());
  EXPECT_EQ(again.gdiUpdates, 0);
  layer->SetLayerOptions(layer->LayerOptions() | LOB_GDI_OVERLAY);
  EXPECT_EQ(again.gdiUpdates, 1);
  layers.BeginUpdate();
  layer->SetLocation(FloatRect(0, 0, 1, 1));
  EXPECT_EQ(again.gdiUpdates, 1);  // not while the collection is updating
  layers.EndUpdate();

  // No-update: nothing at all is reported.
  layer->SetLayerOptions(LOB_VISIBLE | LOB_NO_UPDATE);
  again.updated.clear();
  again.changes = again.changings = 0;
  layer->SetLocation(FloatRect(9, 9, 10, 10));
  layer->Changed(Rect(0, 0, 5, 5));
  EXPECT_TRUE(again.updated.empty());
  EXPECT_TRUE(again.areas.empty());
  EXPECT_EQ(again.changes + again.changings, 0);

  // An area change goes to OnAreaUpdated as a rectangle.
  layer->SetLayerOptions(LOB_VISIBLE);
  layer->Changed(Rect(1, 2, 30, 40));
  ASSERT_EQ(again.areas.size(), 1u);
  EXPECT_EQ(again.areas[0], Rect(1, 2, 30, 40));
  EXPECT_EQ(again.infos[0], AreaKindRect);

  // The optimizer's bookkeeping bit changes without any report; otherwise
  // clearing it after a repaint would queue the layer again.
  again.updated.clear();
  again.changes = again.changings = 0;
  layer->SetLayerOptions(layer->LayerOptions() | LOB_INVALID);
  EXPECT_NE(layer->LayerOptions() & LOB_INVALID, 0u);
  layer->SetLayerOptions(layer->LayerOptions() & ~LOB_INVALID);
  EXPECT_TRUE(again.updated.empty());
  EXPECT_EQ(again.changes + again.changings, 0);
}

TEST_F(Layers, IndexIsLimitedToTheList) {
  TLayerCollection layers(nullptr);
  TCustomLayer* a = layers.Add<TCustomLayer>();
  TCustomLayer* b = layers.Add<TCustomLayer>();
  TCustomLayer* c = layers.Add<TCustomLayer>();
  a->BringToFront();
  EXPECT_EQ(a->Index(), 2);
  EXPECT_EQ(b->Index(), 0);
  a->SetIndex(-7);
  EXPECT_EQ(a->Index(), 0);
  c->SendToBack();
  EXPECT_EQ(layers.Items(0), c);
  EXPECT_EQ(layers.Items(1), a);
  EXPECT_EQ(layers.Items(2), b);

  TCustomLayer loose(nullptr);
  EXPECT_EQ(loose.Index(), -1);
  loose.SetIndex(3);  // nothing to move in
  EXPECT_EQ(loose.Index(), -1);
  loose.SetLayerCollection(&layers);
  EXPECT_EQ(loose.Index(), 3);
  loose.SetLayerCollection(nullptr);
  EXPECT_EQ(layers.Count(), 3);
}

TEST_F(Layers, OnlyAVisibleLayerMovesInsideACollectionUpdate) {
  struct Case {
    bool visible;
    int from, to;
    int expectedIndex;
    int expectedChanges;  // OnChanging and OnChange each
  };
  const Case cases[] = {
      {true, 0, 2, 2, 1},   {false, 0, 2, 2, 0}, {true, 2, 0, 0, 1},  {true, 1, 1, 1, 0},
      {true, 2, 7, 2, 0},   {true, 0, -3, 0, 0}, {false, 1, 9, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.visible ? "visible " : "hidden ") << c.from << " -> " << c.to);
    TLayerCollection layers(nullptr);
    for (int i = 0; i < 3; ++i) layers.Add<TCustomLayer>();
    TCustomLayer* layer = layers.Items(c.from);
    layer->SetVisible(c.visible);
    CollectionRecorder rec(layers);
    layer->SetIndex(c.to);
    EXPECT_EQ(layer->Index(), c.expectedIndex);
    EXPECT_EQ(rec.changings, c.expectedChanges);
    EXPECT_EQ(rec.changes, c.expectedChanges);
    EXPECT_TRUE(rec.notices.empty());
  }
}

TEST_F(Layers, LayerMovesBetweenCollectionsAndReleasesTheMouse) {
  TLayerCollection first(nullptr);
  TLayerCollection second(nullptr);
  first.Add<TCustomLayer>();
  TCustomLayer* layer = first.Add<TCustomLayer>();
  second.Add<TCustomLayer>();
  layer->SetMouseEvents(true);
  EXPECT_EQ(first.MouseDown(mbLeft, {}, 5, 5), layer);
  ASSERT_EQ(first.MouseListener(), layer);

  CollectionRecorder fromRec(first);
  CollectionRecorder toRec(second);
  layer->SetLayerCollection(&second);
  EXPECT_EQ(first.MouseListener(), nullptr);
  EXPECT_TRUE(layer->LayerStates().Empty());
  EXPECT_EQ(fromRec.notices, (std::vector<Notice>{{lnLayerDeleted, layer, 1}}));
  EXPECT_EQ(toRec.notices, (std::vector<Notice>{{lnLayerAdded, layer, 1}}));
  // Each side reports its change inside one update.
  EXPECT_EQ(fromRec.changings, 1);
  EXPECT_EQ(fromRec.changes, 1);
  EXPECT_EQ(toRec.changings, 1);
  EXPECT_EQ(toRec.changes, 1);
  EXPECT_EQ(first.Count(), 1);
  EXPECT_EQ(second.Items(1), layer);
  EXPECT_EQ(layer->LayerCollection(), &second);
}

TEST_F(Layers, PointerOverNoLayerShowsTheOwningControlsCursor) {
  auto* control = new TControl(nullptr);
  control->SetCursor(crCross);
  TLayerCollection layers(control);
  auto* layer = layers.Add<TPositionedLayer>();  // (0, 0, 64, 64)
  layer->SetCursor(crHandPoint);
  EXPECT_EQ(layers.MouseMove({}, 10, 10), layer);
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  EXPECT_EQ(layers.MouseMove({}, 100, 100), nullptr);
  EXPECT_EQ(Screen->Cursor(), crCross);

  // Without a control as owner the cursor is left alone.
  TLayerCollection loose(nullptr);
  Screen->SetCursor(crHandPoint);
  EXPECT_EQ(loose.MouseMove({}, 100, 100), nullptr);
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  control->Free();
}

TEST_F(Layers, ScaledLayersFollowTheViewport) {
  TLayerCollection layers(nullptr);
  layers.OnGetViewportScale = [](TObject*, float& sx, float& sy) { sx = 2; sy = 0.5f; };
  layers.OnGetViewportShift = [](TObject*, float& dx, float& dy) { dx = 10; dy = -4; };
  auto* layer = layers.Add<TPositionedLayer>();
  layer->SetLocation(FloatRect(0, 8, 20, 28));
  EXPECT_EQ(layer->GetAdjustedLocation(), FloatRect(0, 8, 20, 28));
  layer->SetScaled(true);
  EXPECT_EQ(layer->GetAdjustedLocation(), FloatRect(10, 0, 50, 10));

  // Hit test on the adjusted rectangle, right and bottom exclusive.
  EXPECT_TRUE(layer->HitTest(10, 0));
  EXPECT_TRUE(layer->HitTest(49, 9));
  EXPECT_FALSE(layer->HitTest(50, 5));
  EXPECT_FALSE(layer->HitTest(20, 10));
  EXPECT_FALSE(layer->HitTest(9, 5));
  layer->OnHitTest = [](TObject*, int X, int, bool& passed) { passed = passed && X < 30; };
  EXPECT_FALSE(layer->HitTest(35, 5));
  EXPECT_TRUE(layer->HitTest(25, 5));

  const TFloatPoint p = layers.LocalToViewport(FloatPoint(3, 12), true);
  EXPECT_EQ(p, FloatPoint(16, 2));
  EXPECT_EQ(layers.ViewportToLocal(p, true), FloatPoint(3, 12));
  EXPECT_EQ(layers.LocalToViewport(FloatPoint(3, 12), false), FloatPoint(3, 12));

  TLayerCollection plain(nullptr);
  EXPECT_EQ(plain.LocalToViewport(FloatPoint(3, 12), true), FloatPoint(3, 12));
}

// Two overlapping positioned layers that log what they hear.
class LayerMouse : public Layers {
protected:
  void SetUp() override {
    Layers::SetUp();
    bottom = layers.Add<TPositionedLayer>();
    bottom->SetLocation(FloatRect(0, 0, 100, 100));
    top = layers.Add<TPositionedLayer>();
    top->SetLocation(FloatRect(50, 50, 150, 150));
    for (TPositionedLayer* l : {bottom, top}) {
      const std::string name = l == bottom ? "bottom" : "top";
      l->OnMouseDown = [this, name](TObject*, TMouseButton b, TShiftState, int x, int y) {
        log.push_back(name + " down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
      };
      l->OnMouseMove = [this, name](TObject*, TShiftState, int x, int y) {
        log.push_back(name + " move " + std::to_string(x) + "," + std::to_string(y));
      };
      l->OnMouseUp = [this, name](TObject*, TMouseButton b, TShiftState, int x, int y) {
        log.push_back(name + " up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
      };
    }
  }

  TLayerCollection layers{nullptr};
  TPositionedLayer* bottom = nullptr;
  TPositionedLayer* top = nullptr;
  std::vector<std::string> log;
};

TEST_F(LayerMouse, PressCapturesTheTopmostLayerUntilTheLastButtonIsUp) {
  EXPECT_EQ(layers.MouseDown(mbLeft, {}, 60, 60), top);
  EXPECT_EQ(layers.MouseListener(), top);
  EXPECT_EQ(top->LayerStates(), TLayerStates{lsMouseLeft});
  // Captured: events go to the top layer even outside it.
  EXPECT_EQ(layers.MouseMove({}, 10, 10), top);
  EXPECT_EQ(layers.MouseDown(mbRight, {}, 10, 10), top);
  EXPECT_EQ(top->LayerStates(), (TLayerStates{lsMouseLeft, lsMouseRight}));
  EXPECT_EQ(layers.MouseUp(mbLeft, {}, 10, 10), top);
  EXPECT_EQ(layers.MouseListener(), top);  // the right button still holds it
  EXPECT_EQ(layers.MouseUp(mbRight, {}, 10, 10), top);
  EXPECT_EQ(layers.MouseListener(), nullptr);
  EXPECT_TRUE(top->LayerStates().Empty());
  // Free again: the layer under the pointer hears the move.
  EXPECT_EQ(layers.MouseMove({}, 10, 10), bottom);
  EXPECT_EQ(layers.MouseMove({}, 200, 200), nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"top down 0 60,60", "top move 10,10", "top down 1 10,10",
                                           "top up 0 10,10", "top up 1 10,10", "bottom move 10,10"}));
}

TEST_F(LayerMouse, NoCaptureLayerIsNotTheListener) {
  top->SetLayerOptions(top->LayerOptions() | LOB_NO_CAPTURE);
  EXPECT_EQ(layers.MouseDown(mbLeft, {}, 60, 60), top);
  EXPECT_EQ(layers.MouseListener(), nullptr);
  EXPECT_TRUE(top->LayerStates().Empty());
  // Moves go to whatever layer is under the pointer.
  EXPECT_EQ(layers.MouseMove({}, 20, 20), bottom);
  EXPECT_EQ(layers.MouseMove({}, 120, 120), top);
  EXPECT_EQ(layers.MouseUp(mbLeft, {}, 120, 120), top);
  // The press is returned to the caller, but only a listener hears it.
  EXPECT_EQ(log, (std::vector<std::string>{"bottom move 20,20", "top move 120,120", "top up 0 120,120"}));
  // A press on a capturing layer below still captures that one.
  log.clear();
  EXPECT_EQ(layers.MouseDown(mbRight, {}, 20, 20), bottom);
  EXPECT_EQ(layers.MouseListener(), bottom);
  EXPECT_EQ(log, std::vector<std::string>{"bottom down 1 20,20"});
}

TEST_F(LayerMouse, LayersWithoutMouseEventsAreTransparent) {
  top->SetMouseEvents(false);
  EXPECT_EQ(layers.LayerAtPoint(60, 60), bottom);
  EXPECT_EQ(layers.LayerAtPoint(60, 60, LOB_VISIBLE), top);
  EXPECT_EQ(layers.MouseDown(mbMiddle, {}, 60, 60), bottom);
  EXPECT_EQ(bottom->LayerStates(), TLayerStates{lsMouseMiddle});
}

TEST_F(LayerMouse, ListenerIsReleasedWhenItLeavesOrMouseEventsGoOff) {
  layers.MouseDown(mbLeft, {}, 60, 60);
  top->Free();
  top = nullptr;
  EXPECT_EQ(layers.MouseListener(), nullptr);
  EXPECT_EQ(layers.MouseMove({}, 60, 60), bottom);

  layers.MouseDown(mbLeft, {}, 60, 60);
  EXPECT_EQ(layers.MouseListener(), bottom);
  layers.SetMouseEvents(false);
  EXPECT_EQ(layers.MouseListener(), nullptr);
  EXPECT_TRUE(bottom->LayerStates().Empty());
}

TEST_F(LayerMouse, ScreenCursorFollowsTheLayer) {
  top->SetCursor(crHandPoint);
  layers.MouseMove({}, 60, 60);
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  layers.MouseDown(mbLeft, {}, 60, 60);
  top->SetCursor(crCross);  // the listener's new cursor shows at once
  EXPECT_EQ(Screen->Cursor(), crCross);
  layers.MouseUp(mbLeft, {}, 60, 60);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  bottom->SetCursor(crSizeAll);
  bottom->SetAsMouseListener();
  EXPECT_EQ(layers.MouseListener(), bottom);
  EXPECT_EQ(Screen->Cursor(), crSizeAll);
}

// A layer that logs the destruction notices it gets.
class ListeningLayer : public TCustomLayer {
public:
  using TCustomLayer::TCustomLayer;
  std::vector<TCustomLayer*> heard;

protected:
  void Notification(TCustomLayer* ALayer) override { heard.push_back(ALayer); }
};

TEST_F(Layers, FreeNotificationReachesListenersAndForgetsDeadOnes) {
  TLayerCollection layers(nullptr);
  auto* watched = layers.Add<TCustomLayer>();
  auto* first = layers.Add<ListeningLayer>();
  auto* second = layers.Add<ListeningLayer>();
  auto* gone = layers.Add<ListeningLayer>();
  watched->RegisterFreeNotice(first);
  watched->RegisterFreeNotice(second);
  watched->RegisterFreeNotice(gone);
  watched->RegisterFreeNotice(second);  // once only
  // A listener that goes first must not be called later.
  gone->Free();
  std::vector<std::string> order;
  watched->OnDestroy = [&](TObject*) { order.push_back("destroy"); };
  watched->Free();
  EXPECT_EQ(order, std::vector<std::string>{"destroy"});
  EXPECT_EQ(first->heard, std::vector<TCustomLayer*>{watched});
  EXPECT_EQ(second->heard, std::vector<TCustomLayer*>{watched});

  auto* other = layers.Add<TCustomLayer>();
  other->RegisterFreeNotice(first);
  other->RemoveNotification(first);
  other->Free();
  EXPECT_EQ(first->heard.size(), 1u);
}

TEST_F(Layers, AssignCopiesLayersOfTheSameClass) {
  TLayerCollection source(nullptr);
  auto* p = source.Add<TPositionedLayer>();
  p->SetLocation(FloatRect(1, 2, 3, 4));
  p->SetScaled(true);
  p->SetCursor(crCross);
  auto* band = source.Add<TRubberbandLayer>();
  band->SetHandleSize(6);
  band->SetLocation(FloatRect(5, 6, 70, 80));
  source.Add<TCustomLayer>()->SetTag(42);

  TLayerCollection dest(nullptr);
  dest.Add<TCustomLayer>();
  CollectionRecorder rec(dest);
  dest.Assign(&source);
  ASSERT_EQ(dest.Count(), 3);
  auto* p2 = dynamic_cast<TPositionedLayer*>(dest.Items(0));
  ASSERT_NE(p2, nullptr);
  EXPECT_EQ(p2->Location(), FloatRect(1, 2, 3, 4));
  EXPECT_TRUE(p2->Scaled());
  EXPECT_EQ(p2->Cursor(), crCross);
  auto* band2 = dynamic_cast<TRubberbandLayer*>(dest.Items(1));
  ASSERT_NE(band2, nullptr);
  EXPECT_EQ(band2->HandleSize(), 6);
  EXPECT_EQ(band2->Location(), FloatRect(5, 6, 70, 80));
  EXPECT_EQ(dest.Items(2)->Tag(), 42);
  EXPECT_GE(rec.changes, 1);

  dest.SetItems(2, p);
  auto* plain = dest.Items(2);
  EXPECT_EQ(plain->Cursor(), crCross);
  EXPECT_THROW(dest.Assign(nullptr), EConvertError);
}

}  // namespace
