#include "raster/rubberband_layer.h"

#include <cstdlib>

namespace {

// Moves the low edge by Delta and keeps the size within [Min, Max] by moving it
// back; Max < Min means no upper limit.
void IncLT(float& Lo, float Hi, float Delta, float Min, float Max) {
  Lo += Delta;
  if (Hi - Lo < Min) Lo = Hi - Min;
  if (Max >= Min && Hi - Lo > Max) Lo = Hi - Max;
}

// The same for the high edge.
void IncRB(float Lo, float& Hi, float Delta, float Min, float Max) {
  Hi += Delta;
  if (Hi - Lo < Min) Hi = Lo + Min;
  if (Max >= Min && Hi - Lo > Max) Hi = Lo + Max;
}

TCursor CursorOfDragState(TDragState State) {
  switch (State) {
    case dsSizeL:
    case dsSizeR: return crSizeWE;
    case dsSizeT:
    case dsSizeB: return crSizeNS;
    case dsSizeTL:
    case dsSizeBR: return crSizeNWSE;
    case dsSizeTR:
    case dsSizeBL: return crSizeNESW;
    case dsNone:
    case dsMove: break;
  }
  return crDefault;
}

}  // namespace

TRubberbandLayer::TRubberbandLayer(TLayerCollection* ALayerCollection)
    : TPositionedLayer(ALayerCollection),
      FFrameStipplePattern{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u, 0xFF000000u} {
  SetLayerOptions(LOB_VISIBLE | LOB_MOUSE_EVENTS);
}

TRubberbandLayer::~TRubberbandLayer() { SetChildLayer(nullptr); }

void TRubberbandLayer::Assign(TCustomLayer* Source) {
  if (Source == nullptr || Source == this) return;
  BeginUpdate();
  try {
    TPositionedLayer::Assign(Source);
    if (auto* source = dynamic_cast<TRubberbandLayer*>(Source)) {
      FFrameStipplePattern = source->FFrameStipplePattern;
      FFrameStippleStep = source->FFrameStippleStep;
      FFrameStippleCounter = source->FFrameStippleCounter;
      FHandleFrame = source->FHandleFrame;
      FHandleFill = source->FHandleFill;
      FHandles = source->FHandles;
      FHandleSize = source->FHandleSize;
      FMinWidth = source->FMinWidth;
      FMaxWidth = source->FMaxWidth;
      FMinHeight = source->FMinHeight;
      FMaxHeight = source->FMaxHeight;
      FOptions = source->FOptions;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  Changed();
}

TDragState TRubberbandLayer::DragStateAt(int X, int Y) {
  TRect r = RectFromFloat(GetAdjustedLocation(), rdNearest);
  --r.Right;
  --r.Bottom;
  const int d = FHandleSize + 1;
  auto near = [d](int a, int b) { return std::abs(static_cast<int64_t>(a) - b) <= d; };
  const bool nearL = near(X, r.Left);
  const bool nearR = near(X, r.Right);
  const bool nearCX = near(X, (r.Left + r.Right) / 2);
  const bool nearT = near(Y, r.Top);
  const bool nearCY = near(Y, (r.Top + r.Bottom) / 2);
  const bool nearB = near(Y, r.Bottom);

  const bool corners = FHandles.Contains(rhCorners);
  const bool sides = FHandles.Contains(rhSides);
  if (corners) {
    if (nearR && nearB && !FHandles.Contains(rhNotBRCorner)) return dsSizeBR;
    if (nearL && nearB && !FHandles.Contains(rhNotBLCorner)) return dsSizeBL;
    if (nearR && nearT && !FHandles.Contains(rhNotTRCorner)) return dsSizeTR;
    if (nearL && nearT && !FHandles.Contains(rhNotTLCorner)) return dsSizeTL;
  }
  if (sides) {
    if (nearR && nearCY && !FHandles.Contains(rhNotRightSide)) return dsSizeR;
    if (nearCX && nearB && !FHandles.Contains(rhNotBottomSide)) return dsSizeB;
    if (nearL && nearCY && !FHandles.Contains(rhNotLeftSide)) return dsSizeL;
    if (nearT && nearCX && !FHandles.Contains(rhNotTopSide)) return dsSizeT;
  }
  if (FHandles.Contains(rhCenter) && X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom) return dsMove;
  return dsNone;
}

bool TRubberbandLayer::HitTestCore(int X, int Y) { return DragStateAt(X, Y) != dsNone; }

void TRubberbandLayer::SetLayerOptions(uint32_t Value) { TPositionedLayer::SetLayerOptions(Value & ~LOB_NO_UPDATE); }

void TRubberbandLayer::SetChildLayer(TPositionedLayer* Value) {
  // A band cannot follow itself: every move would move it again.
  if (Value == this) return;
  if (FChildLayer != nullptr) FChildLayer->RemoveNotification(this);
  FChildLayer = Value;
  if (Value != nullptr) {
    SetLocation(Value->Location());
    SetScaled(Value->Scaled());
    Value->RegisterFreeNotice(this);
  }
}

void TRubberbandLayer::Notification(TCustomLayer* ALayer) {
  if (ALayer == FChildLayer) FChildLayer = nullptr;
}

void TRubberbandLayer::ApplyLocation(const TFloatRect& NewLocation) {
  TPositionedLayer::ApplyLocation(NewLocation);
  // Bands that are each other's child (directly or along a chain) would pass
  // the location round forever; the band that started it stops the round.
  if (FChildLayer == nullptr || FPassingLocation) return;
  FPassingLocation = true;
  try {
    FChildLayer->SetLocation(NewLocation);
  } catch (...) {
    FPassingLocation = false;
    throw;
  }
  FPassingLocation = false;
}

void TRubberbandLayer::SettingChanged() {
  // The band is painted into the control's buffer, so a new look needs the
  // buffer repainted, not only the window.
  Changing();
  Changed();
}

void TRubberbandLayer::SetHandles(TRBHandles Value) {
  if (Value == FHandles) return;
  FHandles = Value;
  SettingChanged();
}

void TRubberbandLayer::SetHandleSize(int Value) {
  if (Value <= 0) Value = 1;
  if (Value == FHandleSize) return;
  FHandleSize = Value;
  SettingChanged();
}

void TRubberbandLayer::SetHandleFill(TColor32 Value) {
  if (Value == FHandleFill) return;
  FHandleFill = Value;
  SettingChanged();
}

void TRubberbandLayer::SetHandleFrame(TColor32 Value) {
  if (Value == FHandleFrame) return;
  FHandleFrame = Value;
  SettingChanged();
}

void TRubberbandLayer::SetFrameStipple(const TArrayOfColor32& Value) { FFrameStipplePattern = Value; }

void TRubberbandLayer::SetFrameStippleStep(float Value) {
  if (Value == FFrameStippleStep) return;
  FFrameStippleStep = Value;
  SettingChanged();
}

void TRubberbandLayer::SetFrameStippleCounter(float Value) {
  if (Value == FFrameStippleCounter) return;
  FFrameStippleCounter = Value;
  SettingChanged();
}

void TRubberbandLayer::ApplyResize(const TFloatRect& OldLocation, TFloatRect& NewLocation, TDragState DragState,
                                   TShiftState Shift) {
  if (OnResizing) OnResizing(this, OldLocation, NewLocation, DragState, Shift);
}

void TRubberbandLayer::ConstrainRect(const TFloatRect& OldLocation, TFloatRect& NewLocation, TDragState DragState,
                                     TShiftState Shift) {
  if (OnConstrain) OnConstrain(this, OldLocation, NewLocation, DragState, Shift);
}

void TRubberbandLayer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FIsDragging) return;
  FDragState = DragStateAt(X, Y);
  FIsDragging = FDragState != dsNone;
  if (FIsDragging) {
    FOldLocation = FLocation;
    if (FDragState == dsMove) {
      const TFloatRect a = GetAdjustedLocation();
      FMouseShift = TFloatPoint{static_cast<float>(X) - a.Left, static_cast<float>(Y) - a.Top};
    } else {
      FMouseShift = TFloatPoint{0, 0};
    }
  }
  TPositionedLayer::MouseDown(Button, Shift, X, Y);
}

void TRubberbandLayer::MouseMove(TShiftState Shift, int X, int Y) {
  if (!FIsDragging) {
    FDragState = DragStateAt(X, Y);
    Screen->SetCursor(FDragState == dsMove ? Cursor() : CursorOfDragState(FDragState));
    return;
  }

  float mx = static_cast<float>(X) - FMouseShift.X;
  float my = static_cast<float>(Y) - FMouseShift.Y;
  if (FScaled) {
    // Viewport to layer units, through the band's current mapping.
    const TFloatRect a = GetAdjustedLocation();
    if (RectIsEmpty(a)) return;
    mx = FLocation.Left + (mx - a.Left) / (a.Right - a.Left) * (FLocation.Right - FLocation.Left);
    my = FLocation.Top + (my - a.Top) / (a.Bottom - a.Top) * (FLocation.Bottom - FLocation.Top);
  }

  const TFloatRect& old = FOldLocation;
  const float oldW = old.Right - old.Left;
  const float oldH = old.Bottom - old.Top;
  TFloatRect n = old;
  if (FDragState == dsMove) {
    n = TFloatRect{mx, my, mx + oldW, my + oldH};
  } else {
    if (FDragState == dsSizeL || FDragState == dsSizeTL || FDragState == dsSizeBL)
      IncLT(n.Left, n.Right, mx - old.Left, FMinWidth, FMaxWidth);
    if (FDragState == dsSizeR || FDragState == dsSizeTR || FDragState == dsSizeBR)
      IncRB(n.Left, n.Right, mx - old.Right, FMinWidth, FMaxWidth);
    if (FDragState == dsSizeT || FDragState == dsSizeTL || FDragState == dsSizeTR)
      IncLT(n.Top, n.Bottom, my - old.Top, FMinHeight, FMaxHeight);
    if (FDragState == dsSizeB || FDragState == dsSizeBL || FDragState == dsSizeBR)
      IncRB(n.Top, n.Bottom, my - old.Bottom, FMinHeight, FMaxHeight);
  }

  if (FOptions.Contains(roConstrained)) ConstrainRect(old, n, FDragState, Shift);

  // A ratio that divides by a zero old side is undefined; that side is left
  // as dragged rather than made infinite.
  if (FOptions.Contains(roProportional)) {
    switch (FDragState) {
      case dsSizeL:
      case dsSizeTR:
        if (oldW != 0) n.Top = old.Bottom - oldH * (n.Right - n.Left) / oldW;
        break;
      case dsSizeT:
      case dsSizeTL:
        if (oldH != 0) n.Left = old.Right - oldW * (n.Bottom - n.Top) / oldH;
        break;
      case dsSizeR:
      case dsSizeBL:
        if (oldW != 0) n.Bottom = old.Top + oldH * (n.Right - n.Left) / oldW;
        break;
      case dsSizeB:
      case dsSizeBR:
        if (oldH != 0) n.Right = old.Left + oldW * (n.Bottom - n.Top) / oldH;
        break;
      case dsNone:
      case dsMove: break;
    }
  }

  ApplyResize(old, n, FDragState, Shift);

  if (n != FLocation) {
    SetLocation(n);
    if (OnUserChange) OnUserChange(this);
  }
}

void TRubberbandLayer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FIsDragging = false;
  TPositionedLayer::MouseUp(Button, Shift, X, Y);
}

void TRubberbandLayer::Paint(TBitmap32* Buffer) {
  const TRect r = RectFromFloat(GetAdjustedLocation(), rdNearest);

  if (FHandles.Contains(rhFrame)) {
    Buffer->SetStipple(FFrameStipplePattern);
    Buffer->SetStippleCounter(0);
    Buffer->SetStippleCounter(FFrameStippleCounter);
    Buffer->SetStippleStep(FFrameStippleStep);
    Buffer->FrameRectTSP(r.Left, r.Top, r.Right, r.Bottom);
  }

  auto drawHandle = [&](int cx, int cy) {
    Buffer->FillRectTS(cx - FHandleSize, cy - FHandleSize, cx + FHandleSize, cy + FHandleSize, FHandleFill);
    Buffer->FrameRectTS(cx - FHandleSize, cy - FHandleSize, cx + FHandleSize, cy + FHandleSize, FHandleFrame);
  };

  if (FHandles.Contains(rhCorners)) {
    if (!FHandles.Contains(rhNotTLCorner)) drawHandle(r.Left, r.Top);
    if (!FHandles.Contains(rhNotTRCorner)) drawHandle(r.Right, r.Top);
    if (!FHandles.Contains(rhNotBLCorner)) drawHandle(r.Left, r.Bottom);
    if (!FHandles.Contains(rhNotBRCorner)) drawHandle(r.Right, r.Bottom);
  }
  if (FHandles.Contains(rhSides)) {
    const int midX = (r.Left + r.Right) / 2;
    const int midY = (r.Top + r.Bottom) / 2;
    if (!FHandles.Contains(rhNotTopSide)) drawHandle(midX, r.Top);
    if (!FHandles.Contains(rhNotLeftSide)) drawHandle(r.Left, midY);
    if (!FHandles.Contains(rhNotRightSide)) drawHandle(r.Right, midY);
    if (!FHandles.Contains(rhNotBottomSide)) drawHandle(midX, r.Bottom);
  }
}
