#pragma once
// TRubberbandLayer: a positioned layer that draws a stippled frame with square
// handles around its Location and lets the user move the frame and drag its
// sides and corners. An attached child layer follows every change of the frame.
//
// Handle precedence at a point: the corners (bottom-right, bottom-left,
// top-right, top-left), then the sides (right, bottom, left, top), then the
// inside (move); each within HandleSize + 1 pixels and unless excluded by an
// rhNot... member of Handles.
//
// Ownership: the child is not owned; the band hears of its destruction and
// drops it.
// Threads: user-interface thread only.

#include "raster/layers.h"

#include "platform/ui/enum_set.h"

#include <cstdint>
#include <functional>

enum TRBHandle : uint8_t {
  rhCenter,
  rhSides,
  rhCorners,
  rhFrame,
  rhNotLeftSide,
  rhNotRightSide,
  rhNotTopSide,
  rhNotBottomSide,
  rhNotTLCorner,
  rhNotTRCorner,
  rhNotBLCorner,
  rhNotBRCorner
};
using TRBHandles = TEnumSet<TRBHandle>;

enum TRBOption : uint8_t { roProportional, roConstrained };
using TRBOptions = TEnumSet<TRBOption>;

enum TDragState : uint8_t { dsNone, dsMove, dsSizeL, dsSizeT, dsSizeR, dsSizeB, dsSizeTL, dsSizeTR, dsSizeBL, dsSizeBR };

// OnResizing and OnConstrain: may change NewLocation.
using TRBResizingEvent = std::function<void(TObject* Sender, const TFloatRect& OldLocation, TFloatRect& NewLocation,
                                            TDragState DragState, TShiftState Shift)>;

class TRubberbandLayer : public TPositionedLayer {
public:
  // Handles [rhCenter, rhSides, rhCorners, rhFrame], HandleSize 3, black frame
  // and white fill of the handles, frame stipple white, white, black, black,
  // MinWidth = MinHeight = 10, no maxima; LOB_VISIBLE | LOB_MOUSE_EVENTS.
  explicit TRubberbandLayer(TLayerCollection* ALayerCollection);
  ~TRubberbandLayer() override;

  TLayerClass LayerClass() const override { return LayerClassOf<TRubberbandLayer>(); }
  // Also the handle, frame, option and size-limit settings (not the child).
  void Assign(TCustomLayer* Source) override;

  // The handle or area under (X, Y) (viewport coordinates); dsNone when none.
  virtual TDragState DragStateAt(int X, int Y);
  // DragStateAt(X, Y) != dsNone.
  bool HitTestCore(int X, int Y) override;
  // LOB_NO_UPDATE never sticks: a band that reported nothing could not be
  // repainted while dragged.
  void SetLayerOptions(uint32_t Value) override;

  TPositionedLayer* ChildLayer() const { return FChildLayer; }
  // The band takes the new child's Location and Scaled; the band itself is
  // refused.
  void SetChildLayer(TPositionedLayer* Value);

  TRBOptions Options() const { return FOptions; }
  void SetOptions(TRBOptions Value) { FOptions = Value; }
  TRBHandles Handles() const { return FHandles; }
  void SetHandles(TRBHandles Value);
  // Half the side of a handle square; values <= 0 become 1.
  int HandleSize() const { return FHandleSize; }
  void SetHandleSize(int Value);
  TColor32 HandleFill() const { return FHandleFill; }
  void SetHandleFill(TColor32 Value);
  TColor32 HandleFrame() const { return FHandleFrame; }
  void SetHandleFrame(TColor32 Value);
  const TArrayOfColor32& FrameStipplePattern() const { return FFrameStipplePattern; }
  // Stores only: the next paint shows it.
  void SetFrameStipple(const TArrayOfColor32& Value);
  float FrameStippleStep() const { return FFrameStippleStep; }
  void SetFrameStippleStep(float Value);
  float FrameStippleCounter() const { return FFrameStippleCounter; }
  void SetFrameStippleCounter(float Value);
  // Size limits in layer units; a maximum below the minimum means no maximum.
  float MinWidth() const { return FMinWidth; }
  void SetMinWidth(float Value) { FMinWidth = Value; }
  float MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(float Value) { FMaxWidth = Value; }
  float MinHeight() const { return FMinHeight; }
  void SetMinHeight(float Value) { FMinHeight = Value; }
  float MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(float Value) { FMaxHeight = Value; }

  bool IsDragging() const { return FIsDragging; }
  TDragState DragState() const { return FDragState; }

  // After a drag changed the Location.
  TNotifyEvent OnUserChange;
  TRBResizingEvent OnResizing;
  TRBResizingEvent OnConstrain;

protected:
  // OnResizing; runs for every drag step, after the proportional correction.
  virtual void ApplyResize(const TFloatRect& OldLocation, TFloatRect& NewLocation, TDragState DragState,
                           TShiftState Shift);
  // OnConstrain; runs with roConstrained before the proportional correction.
  virtual void ConstrainRect(const TFloatRect& OldLocation, TFloatRect& NewLocation, TDragState DragState,
                             TShiftState Shift);
  // Also moves the child (once round a cycle of bands).
  void ApplyLocation(const TFloatRect& NewLocation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TCustomLayer* ALayer) override;
  void Paint(TBitmap32* Buffer) override;

private:
  // A visible setting changed: the band is reported for repaint.
  void SettingChanged();

  TPositionedLayer* FChildLayer = nullptr;
  TArrayOfColor32 FFrameStipplePattern;
  float FFrameStippleStep = 1.0f;
  float FFrameStippleCounter = 0;
  TColor32 FHandleFrame = 0xFF000000u;
  TColor32 FHandleFill = 0xFFFFFFFFu;
  TRBHandles FHandles{rhCenter, rhSides, rhCorners, rhFrame};
  int FHandleSize = 3;
  float FMinWidth = 10.0f;
  float FMaxHeight = 0;
  float FMinHeight = 10.0f;
  float FMaxWidth = 0;
  TRBOptions FOptions;
  bool FIsDragging = false;
  TDragState FDragState = dsNone;
  TFloatRect FOldLocation;
  TFloatPoint FMouseShift;
  // Set while ApplyLocation passes a location on to the child.
  bool FPassingLocation = false;
};
