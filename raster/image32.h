#pragma once
// Window controls of the raster library, on the toolkit's custom control.
//
// TCustomPaintBox32 is a double-buffered paint box: its owner draws into
// Buffer (a TBitmap32) and the control copies the buffer to its picture. The
// buffer follows the control's size with a margin (BufferOversize) so that
// small resizes do not reallocate it. Repaint modes:
//   rmFull       every repaint copies the whole viewport;
//   rmDirect     areas the buffer reports are copied to the screen at once;
//   rmOptimizer  a repaint optimizer turns the reported areas into the
//                rectangles to repaint and copy.
// The control refuses to have its picture erased before Paint: outside the
// rectangles to repaint the picture keeps what was copied before.
//
// TCustomImage32 (TImage32) shows a TBitmap32 placed by BitmapAlign and
// ScaleMode, with a TLayerCollection painted over it and receiving the mouse.
// The buffer is built by a list of paint stages (background, bitmap, layers,
// frames, custom), each run once per rectangle to repaint under a clip
// rectangle. With rmOptimizer only the control area under a changed part of
// the bitmap, grown by the resampler's reach, is repainted.
//
// Ownership: a paint box owns its buffer, its optimizer and its invalid
// rectangles; an image also owns its bitmap, its layers and its stages.
// Threads: user-interface thread only. The buffer and the bitmap are locked
// while the buffer is resized or copied to the screen and while the bitmap is
// drawn into the buffer.

#include "raster/bitmap32.h"
#include "raster/containers.h"
#include "raster/coordinate_helpers.h"
#include "raster/layers.h"

#include "platform/ui/custom_control.h"
#include "platform/ui/enum_set.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TCustomRepaintOptimizer;

enum TRepaintMode : uint8_t { rmFull, rmDirect, rmOptimizer };

enum TPaintBoxOption : uint8_t { pboWantArrowKeys, pboAutoFocus };
using TPaintBoxOptions = TEnumSet<TPaintBoxOption>;

enum TBitmapAlign : uint8_t { baTopLeft, baCenter, baTile, baCustom };

//   smNormal         the bitmap's own size
//   smStretch        the viewport's size
//   smResize         as large as fits the viewport with the aspect ratio kept
//   smScale          the bitmap's size x ScaleX, ScaleY
//   smOptimal        smResize when the bitmap is larger than the viewport,
//                    else smNormal
//   smOptimalScaled  smResize when the scaled bitmap is larger, else smScale
enum TScaleMode : uint8_t { smNormal, smStretch, smScale, smResize, smOptimal, smOptimalScaled };

// ---- Paint stages ------------------------------------------------------------------------

inline constexpr uint32_t stageCustom = 1;
inline constexpr uint32_t stageClearBuffer = 2;
inline constexpr uint32_t stageClearBackground = 3;
inline constexpr uint32_t stageDrawBitmap = 4;
inline constexpr uint32_t stageDrawLayers = 5;
inline constexpr uint32_t stageControlFrame = 6;
inline constexpr uint32_t stageBitmapFrame = 7;

// One stage of building the buffer. Parameter: for stageDrawLayers the layer
// option bits a layer must share to be painted.
struct TPaintStage {
  bool DsgnTime = false;
  bool RunTime = true;
  uint32_t Stage = 0;
  uint32_t Parameter = 0;
};

class TPaintStages : public TObject {
public:
  // A new stage (RunTime, code 0) at the end; the pointer holds until the list
  // next changes.
  TPaintStage* Add();
  // A new stage at Index, limited to 0 .. Count.
  TPaintStage* Insert(int Index);
  // EListError "Invalid stage index" outside the list.
  void Delete(int Index);
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  // No check.
  TPaintStage& Items(int Index) { return FItems[static_cast<size_t>(Index)]; }
  const TPaintStage& Items(int Index) const { return FItems[static_cast<size_t>(Index)]; }

private:
  std::vector<TPaintStage> FItems;
};

// ---- TCustomPaintBox32 ---------------------------------------------------------------------

class TCustomPaintBox32 : public TCustomControl {
public:
  // 192 x 192; the buffer is sized when the control first gets its size on the
  // screen.
  explicit TCustomPaintBox32(TComponent* AOwner);
  ~TCustomPaintBox32() override;

  TBitmap32* Buffer() const { return FBuffer.get(); }
  TCustomRepaintOptimizer* RepaintOptimizer() const { return FRepaintOptimizer.get(); }
  // The rectangles the next Paint repaints and copies; empty means all.
  TRectList* InvalidRects() const { return FInvalidRects.get(); }
  bool BufferValid() const { return FBufferValid; }

  int BufferOversize() const { return FBufferOversize; }
  // Negative values count as 0.
  void SetBufferOversize(int Value);
  TRepaintMode RepaintMode() const { return FRepaintMode; }
  virtual void SetRepaintMode(TRepaintMode Value);
  TPaintBoxOptions Options() const { return FOptions; }
  void SetOptions(TPaintBoxOptions Value) { FOptions = Value; }
  bool MouseInControl() const { return FMouseInControl; }

  // (0, 0, Width, Height).
  virtual TRect GetViewportRect();
  // Buffer invalid, picture repainted at the next screen update.
  virtual void Invalidate();
  // Also forgets what the optimizer collected: the next Paint repaints all.
  virtual void ForceFullInvalidate();
  // The buffer after streaming; marks it invalid.
  virtual void Loaded();
  // Copies the viewport (or SrcRect of the buffer) to the screen now.
  void Flush();
  void Flush(const TRect& SrcRect);
  void SetBounds(int left, int top, int width, int height) override;

  // Drawn on the window picture after the buffer was copied.
  TNotifyEvent OnGDIOverlay;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

protected:
  // Repaint the buffer where needed (PaintBuffer), copy it (all, or the
  // invalid rectangles) and paint the overlays.
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

  // Optimizer enabled, no full repaint forced and updates collected.
  virtual bool OptimizedRepaintActive();
  // Whether there is anything precise to repaint (true here).
  virtual bool HasInvalidRects();
  // The optimizer fills InvalidRects unless a full repaint is forced.
  virtual void CollectInvalidRects();
  // The owner draws into Buffer; here only the invalid rectangles are settled.
  virtual void PaintBuffer();
  // OnGDIOverlay.
  virtual void PaintDeviceOverlay();
  // Tells the optimizer the new size.
  virtual void AfterBufferResize(int OldWidth, int OldHeight);
  virtual void MouseEnter();
  virtual void MouseLeave();

  // The buffer follows the viewport: it grows to the viewport plus
  // BufferOversize and shrinks only when more than BufferOversize too large.
  void ResizeBuffer();
  // A changed area in buffer pixels under rmDirect.
  void DirectAreaUpdateHandler(TObject* Sender, const TRect& Area, uint32_t Info);
  // Inside Paint: changes reported now must not start another repaint.
  bool InCustomPaint() const { return FInCustomPaint; }

  std::unique_ptr<TBitmap32> FBuffer;
  int FBufferOversize = 40;
  bool FBufferValid = false;
  TRepaintMode FRepaintMode = rmFull;
  std::unique_ptr<TRectList> FInvalidRects;
  bool FForceFullRepaint = true;
  std::unique_ptr<TCustomRepaintOptimizer> FRepaintOptimizer;
  TPaintBoxOptions FOptions;
  bool FMouseInControl = false;
  bool FInCustomPaint = false;
};

// ---- TCustomImage32 ----------------------------------------------------------------------

class TCustomImage32;

using TImgMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y, TCustomLayer* Layer)>;
using TImgMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y, TCustomLayer* Layer)>;
using TPaintStageEvent = std::function<void(TObject* Sender, TBitmap32* Buffer, uint32_t StageNum)>;

class TCustomImage32 : public TCustomPaintBox32 {
public:
  explicit TCustomImage32(TComponent* AOwner);
  ~TCustomImage32() override;

  TBitmap32* Bitmap() const { return FBitmap.get(); }
  // The bitmap takes over Value's pixels and settings (Assign).
  void SetBitmap(TObject* Value);
  TBitmapAlign BitmapAlign() const { return FBitmapAlign; }
  void SetBitmapAlign(TBitmapAlign Value);
  TLayerCollection* Layers() const { return FLayers.get(); }
  void SetLayers(TLayerCollection* Value);
  TPaintStages* PaintStages() const { return FPaintStages.get(); }
  float OffsetHorz() const { return FOffsetHorz; }
  void SetOffsetHorz(float Value);
  float OffsetVert() const { return FOffsetVert; }
  void SetOffsetVert(float Value);
  // Scale reads ScaleX and sets both; values below 0.001 become 0.001.
  float Scale() const { return FScaleX; }
  void SetScale(float Value);
  float ScaleX() const { return FScaleX; }
  void SetScaleX(float Value);
  float ScaleY() const { return FScaleY; }
  void SetScaleY(float Value);
  TScaleMode ScaleMode() const { return FScaleMode; }
  virtual void SetScaleMode(TScaleMode Value);
  // The control takes the bitmap's size (scaled under smScale) when AutoSize
  // is switched on and whenever the bitmap is resized.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  TPixelCombineEvent OnBitmapPixelCombine() const { return FBitmap->OnPixelCombine; }
  void SetOnBitmapPixelCombine(const TPixelCombineEvent& Value);

  void SetRepaintMode(TRepaintMode Value) override;

  // ---- Placement ------------------------------------------------------------------------
  // The bitmap's size on the control under ScaleMode; (0, 0) for an empty
  // bitmap or control.
  virtual TSize GetBitmapSize();
  // The bitmap's rectangle on the control under BitmapAlign.
  virtual TRect GetBitmapRect();
  // Bitmap pixel to control point (truncated) and back (floored; the largest
  // integer when the bitmap is shown with no size).
  TPoint BitmapToControl(const TPoint& APoint);
  TFloatPoint BitmapToControl(const TFloatPoint& APoint);
  TPoint ControlToBitmap(const TPoint& APoint);
  TFloatPoint ControlToBitmap(const TFloatPoint& APoint);

  // ---- Updates and painting ---------------------------------------------------------------
  virtual void BeginUpdate();
  // Does not call Changed. EAssertionFailed "Unpaired EndUpdate call" below 0.
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  // When not updating: Invalidate and OnChange.
  virtual void Changed();
  // Rect (control pixels) to the optimizer when it is enabled.
  virtual void Update(const TRect& Rect);
  void Invalidate() override;
  void Loaded() override;
  // Also forgets the placement, which depends on the control's size.
  void SetBounds(int left, int top, int width, int height) override;
  // The bitmap sized to the viewport, cleared to ClearColor when DoClear.
  virtual void SetupBitmap(bool DoClear = false, TColor32 ClearColor = 0xFF000000u);
  // Every run-time stage drawn onto Dest with the bitmap placed in DestRect;
  // the repaint mode is rmFull meanwhile. Nothing for a nullptr Dest.
  virtual void PaintTo(TBitmap32* Dest, const TRect& DestRect);
  // Background, control frame, bitmap, bitmap frame, layers (visible ones).
  virtual void InstallStandardStages();

  TNotifyEvent OnBitmapResize;
  TNotifyEvent OnChange;
  TNotifyEvent OnInitStages;
  TNotifyEvent OnScaleChange;
  // Hide the toolkit's mouse events: these also name the layer that took the
  // event (nullptr when none or when the layers take no mouse events).
  TImgMouseEvent OnMouseDown;
  TImgMouseMoveEvent OnMouseMove;
  TImgMouseEvent OnMouseUp;
  TPaintStageEvent OnPaintStage;

protected:
  bool HasInvalidRects() override;
  void PaintBuffer() override;
  // Layers with LOB_GDI_OVERLAY on the window canvas, then OnGDIOverlay.
  void PaintDeviceOverlay() override;
  void MouseLeave() override;
  void Resize() override;
  void DblClick() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  virtual void AfterBitmapResize();
  // The size AutoSize gives the control: the bitmap's, scaled under smScale.
  // Also for an empty bitmap, which leaves the control without size.
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  virtual void AfterBitmapChange(const TRect& Area);
  // OnInitStages.
  virtual void InitStages();
  // OnScaleChange.
  virtual void AfterScaleChange();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, TCustomLayer* Layer);
  virtual void MouseMove(TShiftState Shift, int X, int Y, TCustomLayer* Layer);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y, TCustomLayer* Layer);
  virtual void RefreshPlacementCache();
  // Forgets the placement (and what the optimizer collected).
  void DropPlacementCache();

  // Stages: Dest is the buffer, or PaintTo's destination.
  virtual void ExecBitmapFrame(TBitmap32* Dest, int StageNum);
  virtual void ExecClearBuffer(TBitmap32* Dest, int StageNum);
  virtual void ExecClearBackgnd(TBitmap32* Dest, int StageNum);
  virtual void ExecControlFrame(TBitmap32* Dest, int StageNum);
  virtual void ExecCustom(TBitmap32* Dest, int StageNum);
  virtual void ExecDrawBitmap(TBitmap32* Dest, int StageNum);
  virtual void ExecDrawLayers(TBitmap32* Dest, int StageNum);

  std::unique_ptr<TBitmap32> FBitmap;
  TBitmapAlign FBitmapAlign = baTopLeft;
  std::unique_ptr<TLayerCollection> FLayers;
  float FOffsetHorz = 0;
  float FOffsetVert = 0;
  std::unique_ptr<TPaintStages> FPaintStages;
  float FScaleX = 1;
  float FScaleY = 1;
  TScaleMode FScaleMode = smNormal;
  bool FAutoSize = false;
  int FUpdateCount = 0;

  TRect CachedBitmapRect;
  float CachedShiftX = 0;
  float CachedShiftY = 0;
  float CachedScaleX = 1;
  float CachedScaleY = 1;
  float CachedRecScaleX = 1;
  float CachedRecScaleY = 1;
  bool CacheValid = false;
  int OldSzX = -1;
  int OldSzY = -1;
  bool PaintToMode = false;

private:
  using TStageHandler = void (TCustomImage32::*)(TBitmap32* Dest, int StageNum);
  static TStageHandler HandlerOfStage(uint32_t Stage);
  void RunStages(TBitmap32* Dest);
  // The bitmap's changed area under rmDirect and rmOptimizer.
  void BitmapAreaChangeHandler(TObject* Sender, const TRect& Area, uint32_t Info);
  // The bitmap's change under rmFull.
  void BitmapChangeHandler(TObject* Sender);
  // Calls Report with Area (bitmap pixels) grown by the resampler's reach and
  // mapped to the control, once per tile position under baTile.
  void MapBitmapArea(const TRect& Area, const std::function<void(const TRect&)>& Report);
  // The bitmap's size, scaled under smScale.
  TSize AutoSizeOfBitmap() const;

  // Rebuilt at every buffer paint: the handlers of the selected stages and
  // their indexes.
  std::vector<TStageHandler> FPaintStageHandlers;
  std::vector<int> FPaintStageNum;
};

// The published form; it adds nothing.
class TImage32 : public TCustomImage32 {
public:
  using TCustomImage32::TCustomImage32;
};
