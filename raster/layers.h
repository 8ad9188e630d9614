#pragma once
// Layers of an image control: objects painted over the control's bitmap, in
// list order, that can receive the mouse.
//
//   TLayerCollection   the ordered list; owns its layers; routes the mouse and
//                      reports list changes, layer updates and changed areas
//   TCustomLayer       the layer base: options, update reporting, hit test,
//                      mouse events, free notification between layers
//   TPositionedLayer   a layer with a float Location rectangle, optionally
//                      mapped through the owner's viewport scale and shift
//
// Listeners: the image control hooks OnChange, OnGDIUpdate and the viewport
// queries; a repaint optimizer hooks OnListNotify, OnLayerUpdated and
// OnAreaUpdated. Events are std::function members and may be empty.
//
// Ownership: a layer belongs to at most one collection, which frees it. A layer
// created for a collection appends itself; freeing a layer (Free, or delete)
// removes it from its collection. A layer keeps raw pointers to the layers that
// asked to hear of its destruction (RegisterFreeNotice) and tells them first.
//
// Threads: user-interface thread only.

#include "raster/bitmap32.h"
#include "raster/bitmap32_types.h"
#include "raster/containers.h"
#include "raster/coordinate_helpers.h"
#include "raster/geometry.h"
#include "raster/persistent.h"

#include "platform/ui/component.h"
#include "platform/ui/control_types.h"
#include "platform/ui/cursors.h"
#include "platform/ui/enum_set.h"

#include <cstdint>
#include <functional>
#include <vector>

class TCanvas;
class TCustomLayer;
class TLayerCollection;

// ---- Layer option bits (TCustomLayer::LayerOptions) ----------------------------------

// Painted by the image control's layer stage (whose mask is this bit).
inline constexpr uint32_t LOB_VISIBLE = 0x80000000u;
// Painted on the window canvas after the buffer; a change of an invisible layer
// with this bit asks the collection for a GDI update.
inline constexpr uint32_t LOB_GDI_OVERLAY = 0x40000000u;
// Takes part in mouse routing.
inline constexpr uint32_t LOB_MOUSE_EVENTS = 0x20000000u;
// Changing and Changed do nothing.
inline constexpr uint32_t LOB_NO_UPDATE = 0x10000000u;
// A press does not make the layer the mouse listener.
inline constexpr uint32_t LOB_NO_CAPTURE = 0x08000000u;
// Already queued for repaint by a repaint optimizer. A change of this bit alone
// is bookkeeping: SetLayerOptions stores it without Changing/Changed, so the
// optimizer may set and clear it through SetLayerOptions at any time.
inline constexpr uint32_t LOB_INVALID = 0x04000000u;
// Update reports the layer even when it is invisible (used while hiding it).
inline constexpr uint32_t LOB_FORCE_UPDATE = 0x02000000u;

// ---- Event types --------------------------------------------------------------------------

enum TLayerListNotification : uint8_t { lnLayerAdded, lnLayerInserted, lnLayerDeleted, lnCleared };

enum TLayerState : uint8_t { lsMouseLeft, lsMouseRight, lsMouseMiddle };
using TLayerStates = TEnumSet<TLayerState>;

using TLayerUpdateEvent = std::function<void(TObject* Sender, TCustomLayer* Layer)>;
using TLayerListNotifyEvent =
    std::function<void(TLayerCollection* Sender, TLayerListNotification Action, TCustomLayer* Layer, int Index)>;
using TGetScaleEvent = std::function<void(TObject* Sender, float& ScaleX, float& ScaleY)>;
using TGetShiftEvent = std::function<void(TObject* Sender, float& ShiftX, float& ShiftY)>;
using TPaintLayerEvent = std::function<void(TObject* Sender, TBitmap32* Buffer)>;
using THitTestEvent = std::function<void(TObject* Sender, int X, int Y, bool& Passed)>;

// A layer class: makes a layer of one class for a collection (the layer joins
// the collection in its constructor). LayerClassOf<T>() names class T.
using TLayerClass = TCustomLayer* (*)(TLayerCollection* ALayerCollection);

template <class T>
TCustomLayer* CreateLayerOf(TLayerCollection* ALayerCollection) {
  return new T(ALayerCollection);
}
template <class T>
constexpr TLayerClass LayerClassOf() {
  return &CreateLayerOf<T>;
}

// ---- TLayerCollection ---------------------------------------------------------------------

class TLayerCollection : public TObject {
public:
  // AOwner: the image control (or nullptr); MouseEvents on.
  explicit TLayerCollection(TObject* AOwner);
  // Frees every layer without reporting changes (OnListNotify still hears each
  // lnLayerDeleted).
  ~TLayerCollection() override;
  TLayerCollection(const TLayerCollection&) = delete;
  TLayerCollection& operator=(const TLayerCollection&) = delete;

  // A new layer of ItemClass at the end; lnLayerAdded is reported twice (once
  // as the layer joins, once more here).
  TCustomLayer* Add(TLayerClass ItemClass);
  template <class T>
  T* Add() {
    return static_cast<T*>(Add(LayerClassOf<T>()));
  }
  // Add, then the layer moves to Index (limited to the list), then
  // lnLayerInserted with the layer and its index; all inside one update.
  TCustomLayer* Insert(int Index, TLayerClass ItemClass);
  template <class T>
  T* Insert(int Index) {
    return static_cast<T*>(Insert(Index, LayerClassOf<T>()));
  }
  // Frees the layer at Index (EListError outside the list).
  void Delete(int Index);
  // Frees the layers from the last to the first, then lnCleared (nullptr, 0).
  void Clear();
  // From another collection: its layers are replaced by copies of Source's
  // (same class, then TCustomLayer::Assign). Anything else: EConvertError.
  virtual void Assign(TObject* Source);

  int Count() const { return static_cast<int>(FItems.size()); }
  // EListError "List index out of bounds (<index>)" outside the list.
  TCustomLayer* Items(int Index) const;
  // Assigns Value to the layer at Index.
  void SetItems(int Index, TCustomLayer* Value);
  // The position of Layer, or -1.
  int IndexOf(const TCustomLayer* Layer) const;

  // The first level fires OnChanging; back at level 0 Changed follows.
  // EAssertionFailed "Unpaired EndUpdate" below 0.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  // OnChange, whatever the update level.
  void Changed();
  // OnChanging.
  void Changing();
  // OnGDIUpdate when the update level is 0.
  void GDIUpdate();
  // OnAreaUpdated(this, Area, AreaKindRect), then Changed.
  void AreaRefreshed(const TRect& Area);
  // OnLayerUpdated(this, Layer), then Changed.
  void LayerUpdated(TCustomLayer* Layer);
  void ListNotify(TLayerListNotification Action, TCustomLayer* Layer, int Index);

  // OnGetViewportScale / OnGetViewportShift, else (1, 1) / (0, 0).
  virtual void GetViewportScale(float& ScaleX, float& ScaleY);
  virtual void GetViewportShift(float& ShiftX, float& ShiftY);
  // Layer to control coordinates (P x scale + shift) and back; identity when
  // AScaled is false.
  TFloatPoint LocalToViewport(const TFloatPoint& APoint, bool AScaled);
  TFloatPoint ViewportToLocal(const TFloatPoint& APoint, bool AScaled);

  // ---- Mouse ----------------------------------------------------------------------------
  // The image control calls these when MouseEvents is on; each returns the layer
  // that got the event, or nullptr.
  //   MouseDown: the listener, else the topmost mouse-event layer under (X, Y);
  //              that layer becomes the listener unless it has LOB_NO_CAPTURE;
  //              only the listener gets the button's state and the event (a
  //              layer that does not capture is returned but hears nothing).
  //   MouseMove: the listener, else the layer under the point; without one the
  //              screen cursor becomes the owning control's cursor.
  //   MouseUp:   to the same target as MouseMove, which loses the button's
  //              state; a listener left without pressed buttons is released.
  TCustomLayer* MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  TCustomLayer* MouseMove(TShiftState Shift, int X, int Y);
  TCustomLayer* MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // The topmost layer whose options share a bit with OptionMask and whose
  // HitTest passes, or nullptr.
  TCustomLayer* LayerAtPoint(int X, int Y, uint32_t OptionMask = LOB_MOUSE_EVENTS);

  bool MouseEvents() const { return FMouseEvents; }
  // Also releases the mouse listener.
  void SetMouseEvents(bool Value);
  // The layer that has captured the mouse.
  TCustomLayer* MouseListener() const { return FMouseListener; }
  // A change takes the button states from the old listener.
  void SetMouseListener(TCustomLayer* Value);

  TObject* Owner() const { return FOwner; }

  TNotifyEvent OnChanging;
  TNotifyEvent OnChange;
  TNotifyEvent OnGDIUpdate;
  TLayerListNotifyEvent OnListNotify;
  TLayerUpdateEvent OnLayerUpdated;
  TAreaChangedEvent OnAreaUpdated;
  TGetScaleEvent OnGetViewportScale;
  TGetShiftEvent OnGetViewportShift;

private:
  friend class TCustomLayer;
  // A layer joining or leaving (SetLayerCollection), each inside an update.
  void InsertItem(TCustomLayer* Item);
  void RemoveItem(TCustomLayer* Item);
  void MoveItem(int CurIndex, int NewIndex);

  std::vector<TCustomLayer*> FItems;
  bool FMouseEvents = true;
  TCustomLayer* FMouseListener = nullptr;
  int FUpdateCount = 0;
  TObject* FOwner = nullptr;
};

// ---- TCustomLayer -------------------------------------------------------------------------

class TCustomLayer : public TNotifiablePersistent {
public:
  // Joins ALayerCollection (when not nullptr); LayerOptions LOB_VISIBLE.
  explicit TCustomLayer(TLayerCollection* ALayerCollection);
  // OnDestroy (unless Free already ran it), Notification(this) to the
  // registered layers from the last to the first, then the layer leaves its
  // collection. A layer that registered with others is taken off their lists.
  ~TCustomLayer() override;

  // OnDestroy while the whole layer still exists, then destroys it.
  void Free();
  // The class of this layer, for copies (TLayerCollection::Assign). Every layer
  // class overrides it.
  virtual TLayerClass LayerClass() const { return LayerClassOf<TCustomLayer>(); }
  // Copies Source's cursor, options and tag (derived classes add their own
  // settings). Neither events nor collection membership are copied.
  virtual void Assign(TCustomLayer* Source);

  // ---- Updates --------------------------------------------------------------------------
  // Nothing while updating, outside a collection or with LOB_NO_UPDATE;
  // otherwise Update, then the collection's Changed when visible, or its
  // GDIUpdate when invisible with LOB_GDI_OVERLAY; then OnChange.
  void Changed() override;
  // The same with Update(Rect).
  void Changed(const TRect& Rect);
  // The collection's Changing when not updating, visible, in a collection and
  // without LOB_NO_UPDATE.
  void Changing();
  // The collection's LayerUpdated(this) when visible or LOB_FORCE_UPDATE.
  void Update();
  // The collection's AreaRefreshed(Rect).
  void Update(const TRect& Rect);

  // ---- Painting and hit test ------------------------------------------------------------
  // Paint, then OnPaint. Painting into a measuring bitmap only reports areas.
  void PaintLayer(TBitmap32* Buffer);
  // HitTestCore, then OnHitTest may change the answer.
  bool HitTest(int X, int Y);

  // ---- Free notification ----------------------------------------------------------------
  // ALayer's Notification(this) runs when this layer is destroyed.
  void RegisterFreeNotice(TCustomLayer* ALayer);
  void RemoveNotification(TCustomLayer* ALayer);

  // ---- Position in the collection -------------------------------------------------------
  // -1 outside a collection.
  int Index() const;
  // Limited to 0 .. Count - 1; a visible layer moves inside a collection update.
  virtual void SetIndex(int Value);
  void BringToFront();
  void SendToBack();

  TLayerCollection* LayerCollection() const { return FLayerCollection; }
  // Leaves the old collection (lnLayerDeleted, releasing the mouse when this
  // layer had it) and joins the new one at the end (lnLayerAdded).
  virtual void SetLayerCollection(TLayerCollection* Value);

  // ---- Properties -----------------------------------------------------------------------
  uint32_t LayerOptions() const { return FLayerOptions; }
  // Changing, store, Changed (a change of LOB_INVALID alone: store only).
  virtual void SetLayerOptions(uint32_t Value);
  bool Visible() const { return (FLayerOptions & LOB_VISIBLE) != 0; }
  // Hiding reports the area the layer leaves (through LOB_FORCE_UPDATE).
  void SetVisible(bool Value);
  bool MouseEvents() const { return (FLayerOptions & LOB_MOUSE_EVENTS) != 0; }
  void SetMouseEvents(bool Value);
  TLayerStates LayerStates() const { return FLayerStates; }
  TCursor Cursor() const { return FCursor; }
  // The screen cursor follows while this layer is the mouse listener.
  virtual void SetCursor(TCursor Value);
  // Captures the mouse for this layer and shows its cursor.
  void SetAsMouseListener();
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }

  THitTestEvent OnHitTest;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TPaintLayerEvent OnPaint;
  TNotifyEvent OnDestroy;

  // ---- Overridables -----------------------------------------------------------------------
  // True: the whole plane is hit.
  virtual bool HitTestCore(int X, int Y);
  // Draws on the window canvas (layers with LOB_GDI_OVERLAY); nothing here.
  virtual void PaintToDeviceContext(TCanvas* Canvas);

protected:
  friend class TLayerCollection;

  // OnMouseDown. The collection calls these with viewport coordinates.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  // The screen cursor becomes Cursor, then OnMouseMove.
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  // The screen cursor becomes the default, then OnMouseUp.
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // ALayer (registered through RegisterFreeNotice) is being destroyed.
  virtual void Notification(TCustomLayer* ALayer);
  virtual void Paint(TBitmap32* Buffer);

  uint32_t FLayerOptions = 0;

private:
  void RunOnDestroy();

  TCursor FCursor = crDefault;
  std::vector<TCustomLayer*> FFreeNotifies;
  // The layers whose FFreeNotifies hold this one, so that a destroyed
  // listener leaves them and is never notified afterwards.
  std::vector<TCustomLayer*> FNoticeSources;
  TLayerCollection* FLayerCollection = nullptr;
  TLayerStates FLayerStates;
  int FTag = 0;
  bool FDestroyNotified = false;
};

// ---- TPositionedLayer ---------------------------------------------------------------------

class TPositionedLayer : public TCustomLayer {
public:
  // Location (0, 0, 64, 64); LayerOptions LOB_VISIBLE | LOB_MOUSE_EVENTS.
  explicit TPositionedLayer(TLayerCollection* ALayerCollection);

  TLayerClass LayerClass() const override { return LayerClassOf<TPositionedLayer>(); }
  // Also Location and Scaled.
  void Assign(TCustomLayer* Source) override;

  // GetAdjustedRect(Location) contains (X, Y) (right and bottom exclusive).
  bool HitTestCore(int X, int Y) override;
  // Scaled and in a collection: every side x viewport scale + shift; else R.
  virtual TFloatRect GetAdjustedRect(const TFloatRect& R);
  TFloatRect GetAdjustedLocation() { return GetAdjustedRect(FLocation); }

  const TFloatRect& Location() const { return FLocation; }
  // Changing, ApplyLocation, Changed.
  void SetLocation(const TFloatRect& Value);
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value);

protected:
  // Stores the location.
  virtual void ApplyLocation(const TFloatRect& NewLocation);

  TFloatRect FLocation{0, 0, 64, 64};
  bool FScaled = false;
};
