#include "raster/layers.h"

#include "raster/containers.h"
#include "raster/perf_timer.h"

#include "platform/rtl/sys_utils.h"
#include "platform/ui/controls.h"

#include <algorithm>
#include <string>

namespace {

constexpr TLayerStates kButtonStates{lsMouseLeft, lsMouseRight, lsMouseMiddle};

TLayerState StateOfButton(TMouseButton Button) {
  switch (Button) {
    case mbRight: return lsMouseRight;
    case mbMiddle: return lsMouseMiddle;
    case mbLeft: break;
  }
  return lsMouseLeft;
}

// Keeps a collection's update level balanced when a layer constructor or an
// event handler throws.
class TCollectionUpdate {
public:
  explicit TCollectionUpdate(TLayerCollection* Collection) : FCollection(Collection) {
    if (FCollection != nullptr) FCollection->BeginUpdate();
  }
  ~TCollectionUpdate() noexcept(false) {
    if (FCollection != nullptr) FCollection->EndUpdate();
  }
  TCollectionUpdate(const TCollectionUpdate&) = delete;
  TCollectionUpdate& operator=(const TCollectionUpdate&) = delete;

private:
  TLayerCollection* FCollection;
};

void EraseOne(std::vector<TCustomLayer*>& List, const TCustomLayer* Layer) {
  auto it = std::find(List.begin(), List.end(), Layer);
  if (it != List.end()) List.erase(it);
}

}  // namespace

// ---- TLayerCollection ---------------------------------------------------------------------

TLayerCollection::TLayerCollection(TObject* AOwner) : FOwner(AOwner) {}

TLayerCollection::~TLayerCollection() {
  // Nothing listens for changes of a collection that is going away.
  FUpdateCount = 1;
  while (!FItems.empty()) FItems.back()->Free();
}

TCustomLayer* TLayerCollection::Add(TLayerClass ItemClass) {
  TCustomLayer* layer = ItemClass(this);
  // A constructor that joined another collection (or none) leaves the layer's
  // index alone; only ours is moved to the end.
  if (layer->LayerCollection() == this) layer->SetIndex(Count() - 1);
  ListNotify(lnLayerAdded, layer, layer->Index());
  return layer;
}

TCustomLayer* TLayerCollection::Insert(int Index, TLayerClass ItemClass) {
  TCollectionUpdate update(this);
  TCustomLayer* layer = Add(ItemClass);
  layer->SetIndex(Index);
  // The index the layer really got: Index may lie outside the list.
  ListNotify(lnLayerInserted, layer, layer->Index());
  return layer;
}

void TLayerCollection::Delete(int Index) { Items(Index)->Free(); }

void TLayerCollection::Clear() {
  TCollectionUpdate update(this);
  while (!FItems.empty()) FItems.back()->Free();
  ListNotify(lnCleared, nullptr, 0);
}

void TLayerCollection::Assign(TObject* Source) {
  auto* source = dynamic_cast<TLayerCollection*>(Source);
  if (source == nullptr) {
    throw EConvertError("Cannot assign a " + (Source != nullptr ? ClassNameOf(*Source) : QString("nil")) +
                        " to a " + ClassNameOf(*this) + ".");
  }
  if (source == this) return;
  TCollectionUpdate update(this);
  while (!FItems.empty()) FItems.back()->Free();
  for (TCustomLayer* item : source->FItems) Add(item->LayerClass())->Assign(item);
}

TCustomLayer* TLayerCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FItems[static_cast<size_t>(Index)];
}

void TLayerCollection::SetItems(int Index, TCustomLayer* Value) { Items(Index)->Assign(Value); }

int TLayerCollection::IndexOf(const TCustomLayer* Layer) const {
  auto it = std::find(FItems.begin(), FItems.end(), Layer);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TLayerCollection::BeginUpdate() {
  if (FUpdateCount == 0) Changing();
  ++FUpdateCount;
}

void TLayerCollection::EndUpdate() {
  if (FUpdateCount <= 0)
    throw EAssertionFailed("Unpaired EndUpdate (raster/layers.cpp, line " + std::to_string(__LINE__) + ")");
  --FUpdateCount;
  if (FUpdateCount == 0) Changed();
}

void TLayerCollection::Changed() {
  if (OnChange) OnChange(this);
}

void TLayerCollection::Changing() {
  if (OnChanging) OnChanging(this);
}

void TLayerCollection::GDIUpdate() {
  if (FUpdateCount == 0 && OnGDIUpdate) OnGDIUpdate(this);
}

void TLayerCollection::AreaRefreshed(const TRect& Area) {
  if (OnAreaUpdated) OnAreaUpdated(this, Area, AreaKindRect);
  Changed();
}

void TLayerCollection::LayerUpdated(TCustomLayer* Layer) {
  if (OnLayerUpdated) OnLayerUpdated(this, Layer);
  Changed();
}

void TLayerCollection::ListNotify(TLayerListNotification Action, TCustomLayer* Layer, int Index) {
  if (OnListNotify) OnListNotify(this, Action, Layer, Index);
}

void TLayerCollection::GetViewportScale(float& ScaleX, float& ScaleY) {
  if (OnGetViewportScale) {
    OnGetViewportScale(this, ScaleX, ScaleY);
  } else {
    ScaleX = 1;
    ScaleY = 1;
  }
}

void TLayerCollection::GetViewportShift(float& ShiftX, float& ShiftY) {
  if (OnGetViewportShift) {
    OnGetViewportShift(this, ShiftX, ShiftY);
  } else {
    ShiftX = 0;
    ShiftY = 0;
  }
}

TFloatPoint TLayerCollection::LocalToViewport(const TFloatPoint& APoint, bool AScaled) {
  if (!AScaled) return APoint;
  float scaleX = 1, scaleY = 1, shiftX = 0, shiftY = 0;
  GetViewportScale(scaleX, scaleY);
  GetViewportShift(shiftX, shiftY);
  return TFloatPoint{APoint.X * scaleX + shiftX, APoint.Y * scaleY + shiftY};
}

TFloatPoint TLayerCollection::ViewportToLocal(const TFloatPoint& APoint, bool AScaled) {
  if (!AScaled) return APoint;
  float scaleX = 1, scaleY = 1, shiftX = 0, shiftY = 0;
  GetViewportScale(scaleX, scaleY);
  GetViewportShift(shiftX, shiftY);
  return TFloatPoint{(APoint.X - shiftX) / scaleX, (APoint.Y - shiftY) / scaleY};
}

TCustomLayer* TLayerCollection::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomLayer* target = FMouseListener != nullptr ? FMouseListener : LayerAtPoint(X, Y, LOB_MOUSE_EVENTS);
  if (target != FMouseListener && (target == nullptr || (target->FLayerOptions & LOB_NO_CAPTURE) == 0))
    SetMouseListener(target);
  // Only a listener hears a press: a layer that does not capture is still
  // returned, so the control can report it, but gets neither state nor event.
  if (FMouseListener != nullptr) {
    FMouseListener->FLayerStates.Include(StateOfButton(Button));
    FMouseListener->MouseDown(Button, Shift, X, Y);
  }
  return target;
}

TCustomLayer* TLayerCollection::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomLayer* target = FMouseListener != nullptr ? FMouseListener : LayerAtPoint(X, Y, LOB_MOUSE_EVENTS);
  if (target != nullptr) {
    target->MouseMove(Shift, X, Y);
  } else if (auto* control = dynamic_cast<TControl*>(FOwner)) {
    Screen->SetCursor(control->Cursor());
  }
  return target;
}

TCustomLayer* TLayerCollection::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomLayer* target = FMouseListener != nullptr ? FMouseListener : LayerAtPoint(X, Y, LOB_MOUSE_EVENTS);
  if (target != nullptr) {
    target->FLayerStates.Exclude(StateOfButton(Button));
    target->MouseUp(Button, Shift, X, Y);
  }
  if (FMouseListener != nullptr && (FMouseListener->FLayerStates & kButtonStates).Empty()) SetMouseListener(nullptr);
  return target;
}

TCustomLayer* TLayerCollection::LayerAtPoint(int X, int Y, uint32_t OptionMask) {
  for (int i = Count() - 1; i >= 0; --i) {
    TCustomLayer* layer = FItems[static_cast<size_t>(i)];
    if ((layer->FLayerOptions & OptionMask) != 0 && layer->HitTest(X, Y)) return layer;
  }
  return nullptr;
}

void TLayerCollection::SetMouseEvents(bool Value) {
  FMouseEvents = Value;
  SetMouseListener(nullptr);
}

void TLayerCollection::SetMouseListener(TCustomLayer* Value) {
  if (Value == FMouseListener) return;
  if (FMouseListener != nullptr) FMouseListener->FLayerStates = FMouseListener->FLayerStates - kButtonStates;
  FMouseListener = Value;
}

void TLayerCollection::InsertItem(TCustomLayer* Item) {
  TCollectionUpdate update(this);
  FItems.push_back(Item);
  Item->FLayerCollection = this;
  ListNotify(lnLayerAdded, Item, Count() - 1);
}

void TLayerCollection::RemoveItem(TCustomLayer* Item) {
  TCollectionUpdate update(this);
  const int index = IndexOf(Item);
  if (index >= 0) FItems.erase(FItems.begin() + index);
  Item->FLayerCollection = nullptr;
  ListNotify(lnLayerDeleted, Item, index);
}

void TLayerCollection::MoveItem(int CurIndex, int NewIndex) {
  TCustomLayer* item = FItems[static_cast<size_t>(CurIndex)];
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, item);
}

// ---- TCustomLayer -------------------------------------------------------------------------

TCustomLayer::TCustomLayer(TLayerCollection* ALayerCollection) {
  SetLayerCollection(ALayerCollection);
  SetLayerOptions(LOB_VISIBLE);
}

TCustomLayer::~TCustomLayer() {
  RunOnDestroy();
  // A Notification may unregister other layers (a rubber band dropping its
  // child), so walk a copy and skip the layers that left meanwhile.
  const std::vector<TCustomLayer*> notifies = FFreeNotifies;
  for (auto it = notifies.rbegin(); it != notifies.rend(); ++it) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), *it) == FFreeNotifies.end()) continue;
    EraseOne((*it)->FNoticeSources, this);
    (*it)->Notification(this);
  }
  for (TCustomLayer* layer : FFreeNotifies) EraseOne(layer->FNoticeSources, this);
  FFreeNotifies.clear();
  // Layers this one listens to must not call it once it is gone.
  for (TCustomLayer* source : FNoticeSources) EraseOne(source->FFreeNotifies, this);
  FNoticeSources.clear();
  SetLayerCollection(nullptr);
}

void TCustomLayer::RunOnDestroy() {
  if (FDestroyNotified) return;
  FDestroyNotified = true;
  if (OnDestroy) OnDestroy(this);
}

void TCustomLayer::Free() {
  RunOnDestroy();
  TNotifiablePersistent::Free();
}

void TCustomLayer::Assign(TCustomLayer* Source) {
  if (Source == nullptr || Source == this) return;
  Changing();
  FCursor = Source->FCursor;
  FTag = Source->FTag;
  // The optimizer's bookkeeping bit belongs to this layer, not to the copy.
  FLayerOptions = (Source->FLayerOptions & ~LOB_INVALID) | (FLayerOptions & LOB_INVALID);
  Changed();
}

void TCustomLayer::Changed() {
  if (FUpdateCount > 0 || FLayerCollection == nullptr || (FLayerOptions & LOB_NO_UPDATE) != 0) return;
  Update();
  if (Visible()) {
    FLayerCollection->Changed();
  } else if ((FLayerOptions & LOB_GDI_OVERLAY) != 0) {
    FLayerCollection->GDIUpdate();
  }
  TNotifiablePersistent::Changed();
}

void TCustomLayer::Changed(const TRect& Rect) {
  if (FUpdateCount > 0 || FLayerCollection == nullptr || (FLayerOptions & LOB_NO_UPDATE) != 0) return;
  Update(Rect);
  if (Visible()) {
    FLayerCollection->Changed();
  } else if ((FLayerOptions & LOB_GDI_OVERLAY) != 0) {
    FLayerCollection->GDIUpdate();
  }
  TNotifiablePersistent::Changed();
}

void TCustomLayer::Changing() {
  if (FUpdateCount == 0 && Visible() && FLayerCollection != nullptr && (FLayerOptions & LOB_NO_UPDATE) == 0)
    FLayerCollection->Changing();
}

void TCustomLayer::Update() {
  if (FLayerCollection != nullptr && (FLayerOptions & (LOB_VISIBLE | LOB_FORCE_UPDATE)) != 0)
    FLayerCollection->LayerUpdated(this);
}

void TCustomLayer::Update(const TRect& Rect) {
  if (FLayerCollection != nullptr) FLayerCollection->AreaRefreshed(Rect);
}

void TCustomLayer::PaintLayer(TBitmap32* Buffer) {
  Paint(Buffer);
  if (OnPaint) OnPaint(this, Buffer);
}

bool TCustomLayer::HitTest(int X, int Y) {
  bool passed = HitTestCore(X, Y);
  if (OnHitTest) OnHitTest(this, X, Y, passed);
  return passed;
}

void TCustomLayer::RegisterFreeNotice(TCustomLayer* ALayer) {
  if (ALayer == nullptr || ALayer == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), ALayer) != FFreeNotifies.end()) return;
  FFreeNotifies.push_back(ALayer);
  ALayer->FNoticeSources.push_back(this);
}

void TCustomLayer::RemoveNotification(TCustomLayer* ALayer) {
  if (ALayer == nullptr) return;
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), ALayer);
  if (it == FFreeNotifies.end()) return;
  FFreeNotifies.erase(it);
  EraseOne(ALayer->FNoticeSources, this);
}

int TCustomLayer::Index() const { return FLayerCollection != nullptr ? FLayerCollection->IndexOf(this) : -1; }

void TCustomLayer::SetIndex(int Value) {
  if (FLayerCollection == nullptr) return;
  const int current = Index();
  if (Value == current) return;
  Value = std::clamp(Value, 0, FLayerCollection->Count() - 1);
  if (Value == current) return;
  if (Visible()) {
    TCollectionUpdate update(FLayerCollection);
    FLayerCollection->MoveItem(current, Value);
  } else {
    FLayerCollection->MoveItem(current, Value);
  }
}

void TCustomLayer::BringToFront() {
  if (FLayerCollection != nullptr) SetIndex(FLayerCollection->Count());
}

void TCustomLayer::SendToBack() { SetIndex(0); }

void TCustomLayer::SetLayerCollection(TLayerCollection* Value) {
  if (Value == FLayerCollection) return;
  if (FLayerCollection != nullptr) {
    if (FLayerCollection->MouseListener() == this) FLayerCollection->SetMouseListener(nullptr);
    FLayerCollection->RemoveItem(this);
  }
  if (Value != nullptr) Value->InsertItem(this);
}

void TCustomLayer::SetLayerOptions(uint32_t Value) {
  if ((Value ^ FLayerOptions) == LOB_INVALID) {
    // Reporting this change would queue the layer again while the optimizer
    // is taking it off its queue.
    FLayerOptions = Value;
    return;
  }
  Changing();
  FLayerOptions = Value;
  Changed();
}

void TCustomLayer::SetVisible(bool Value) {
  if (Value) {
    SetLayerOptions(FLayerOptions | LOB_VISIBLE);
  } else {
    // The layer is still reported once, so that the area it leaves is redrawn.
    FLayerOptions |= LOB_FORCE_UPDATE;
    SetLayerOptions(FLayerOptions & ~LOB_VISIBLE);
    FLayerOptions &= ~LOB_FORCE_UPDATE;
  }
}

void TCustomLayer::SetMouseEvents(bool Value) {
  SetLayerOptions(Value ? (FLayerOptions | LOB_MOUSE_EVENTS) : (FLayerOptions & ~LOB_MOUSE_EVENTS));
}

void TCustomLayer::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  if (FLayerCollection != nullptr && FLayerCollection->MouseListener() == this) Screen->SetCursor(Value);
}

void TCustomLayer::SetAsMouseListener() {
  if (FLayerCollection != nullptr) FLayerCollection->SetMouseListener(this);
  Screen->SetCursor(FCursor);
}

bool TCustomLayer::HitTestCore(int, int) { return true; }

void TCustomLayer::PaintToDeviceContext(TCanvas*) {}

void TCustomLayer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TCustomLayer::MouseMove(TShiftState Shift, int X, int Y) {
  Screen->SetCursor(FCursor);
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TCustomLayer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  Screen->SetCursor(crDefault);
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TCustomLayer::Notification(TCustomLayer*) {}

void TCustomLayer::Paint(TBitmap32*) {}

// ---- TPositionedLayer ---------------------------------------------------------------------

TPositionedLayer::TPositionedLayer(TLayerCollection* ALayerCollection) : TCustomLayer(ALayerCollection) {
  SetLayerOptions(LOB_VISIBLE | LOB_MOUSE_EVENTS);
}

void TPositionedLayer::Assign(TCustomLayer* Source) {
  if (Source == nullptr || Source == this) return;
  BeginUpdate();
  try {
    TCustomLayer::Assign(Source);
    if (auto* source = dynamic_cast<TPositionedLayer*>(Source)) {
      FLocation = source->FLocation;
      FScaled = source->FScaled;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  Changed();
}

bool TPositionedLayer::HitTestCore(int X, int Y) {
  const TFloatRect r = GetAdjustedRect(FLocation);
  const auto x = static_cast<float>(X);
  const auto y = static_cast<float>(Y);
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TFloatRect TPositionedLayer::GetAdjustedRect(const TFloatRect& R) {
  if (!FScaled || LayerCollection() == nullptr) return R;
  float scaleX = 1, scaleY = 1, shiftX = 0, shiftY = 0;
  LayerCollection()->GetViewportScale(scaleX, scaleY);
  LayerCollection()->GetViewportShift(shiftX, shiftY);
  return TFloatRect{R.Left * scaleX + shiftX, R.Top * scaleY + shiftY, R.Right * scaleX + shiftX,
                    R.Bottom * scaleY + shiftY};
}

void TPositionedLayer::SetLocation(const TFloatRect& Value) {
  Changing();
  ApplyLocation(Value);
  Changed();
}

void TPositionedLayer::SetScaled(bool Value) {
  if (Value == FScaled) return;
  Changing();
  FScaled = Value;
  Changed();
}

void TPositionedLayer::ApplyLocation(const TFloatRect& NewLocation) { FLocation = NewLocation; }
