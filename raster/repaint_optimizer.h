#pragma once
// Repaint optimizers of an image control. In the optimizer repaint mode the
// control does not repaint its whole buffer after every change: it asks its
// optimizer which rectangles are invalid and repaints only those.
//
//   TCustomRepaintOptimizer      the interface the control drives, and the
//                                registration of layer collections
//   TMicroTilesRepaintOptimizer  collects the changed areas of the bitmap and
//                                of the layers in micro-tile grids
//                                (raster/micro_tiles.h), merges them into
//                                rectangles, and falls back to coarser tiles
//                                and to full repaints when partial repaints
//                                take longer than full ones
//
// One paint of the control: UpdatesAvailable; when true PerformOptimization
// (fills the invalid-rectangle list; an empty list means "repaint all"); then
// BeginPaintBuffer, the buffer paint, EndPaintBuffer.
//
// Ownership: the optimizer keeps the buffer, the rectangle list and the
// registered collections by pointer; all must outlive it, and a collection
// must be unregistered before it is destroyed. The optimizer hooks the
// collection's OnListNotify (always) and OnLayerUpdated / OnAreaUpdated (while
// enabled), replacing whatever those events held, and empties them again when
// the collection is unregistered.
//
// Threads: user-interface thread only.

#include "raster/bitmap32.h"
#include "raster/containers.h"
#include "raster/layers.h"
#include "raster/micro_tiles.h"
#include "raster/perf_timer.h"

#include "platform/ui/graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Grows Area by Dx on the left and right and by Dy at the top and bottom,
// outward also on a reversed axis (Right < Left: Left += Dx, Right -= Dx; the
// same for Bottom < Top), so (20, 0, 10, 5) grown by 2 is (22, -2, 8, 7).
// Results beyond the int range saturate.
void GrowArea(TRect& Area, int Dx, int Dy);

// A monotonic millisecond count. The micro-tiles optimizer reads one to
// schedule its re-checks; tests pass a scripted one.
using TTickSource = std::function<int64_t()>;

// GetTickCount (platform/ui/timers.h) extended past its 32-bit wrap.
TTickSource SystemTickSource();

class TCustomRepaintOptimizer : public TObject {
public:
  TCustomRepaintOptimizer(TBitmap32* Buffer, TRectList* InvalidRects);
  // Unregisters every collection still registered.
  ~TCustomRepaintOptimizer() override;
  TCustomRepaintOptimizer(const TCustomRepaintOptimizer&) = delete;
  TCustomRepaintOptimizer& operator=(const TCustomRepaintOptimizer&) = delete;

  virtual bool GetEnabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value) { FEnabled = Value; }
  bool Enabled() const { return GetEnabled(); }

  // A collection not yet registered is added and its OnListNotify hooked;
  // unregistering a registered one unhooks it and removes it.
  virtual void RegisterLayerCollection(TLayerCollection* Layers);
  virtual void UnregisterLayerCollection(TLayerCollection* Layers);
  const std::vector<TLayerCollection*>& LayerCollections() const { return FLayerCollections; }

  virtual void BeginPaint() {}
  virtual void EndPaint() {}
  virtual void BeginPaintBuffer() {}
  virtual void EndPaintBuffer() {}

  // Makes the whole buffer invalid.
  virtual void Reset() = 0;
  // Whether anything needs repainting.
  virtual bool UpdatesAvailable() = 0;
  // Appends the invalid rectangles to the list (the control clears it).
  virtual void PerformOptimization() = 0;
  // A changed area of the buffer or of a layer (Info as in TAreaChangedEvent).
  virtual void AreaUpdateHandler(TObject* Sender, const TRect& Area, uint32_t Info) = 0;
  // A layer changed; what it covers is found by measuring it.
  virtual void LayerUpdateHandler(TObject* Sender, TCustomLayer* Layer) = 0;
  virtual void BufferResizedHandler(int NewWidth, int NewHeight) = 0;

  TBitmap32* Buffer() const { return FBuffer; }
  TRectList* InvalidRects() const { return FInvalidRects; }

protected:
  virtual void OnCollectionNotice(TLayerCollection* Sender, TLayerListNotification Action, TCustomLayer* Layer,
                                  int Index) = 0;
  bool IsRegistered(const TLayerCollection* Layers) const;

  bool FEnabled = false;
  std::vector<TLayerCollection*> FLayerCollections;
  TRectList* FInvalidRects;
  TBitmap32* FBuffer;
};

// Performance levels: 0 exact micro tiles; 1 whole 32 x 32 tiles; 2 whole
// tiles, and a repaint that would not be cheaper than a full one becomes a
// full one (the rectangle list is emptied).
//
// Adaptation (AdaptiveMode, on after construction): every buffer paint is
// timed. A partial repaint slower than the last full one raises the level;
// a drop in the number of rectangles by more than 10, or a timed re-check,
// lowers it again. Each failed re-check lengthens the time to the next one by
// 250 ms (1000 .. 5000 ms); a successful partial repaint shortens it.
class TMicroTilesRepaintOptimizer : public TCustomRepaintOptimizer {
public:
  TMicroTilesRepaintOptimizer(TBitmap32* Buffer, TRectList* InvalidRects);
  // With the timer and tick source to use (null / empty: the system's).
  TMicroTilesRepaintOptimizer(TBitmap32* Buffer, TRectList* InvalidRects, std::unique_ptr<TPerfTimer> PerfTimer,
                              TTickSource TickSource);
  ~TMicroTilesRepaintOptimizer() override;

  // Enabling hooks the events of every registered collection and makes the
  // whole buffer invalid (BufferResizedHandler with the buffer's size);
  // disabling unhooks them and releases every grid and the per-layer records.
  void SetEnabled(bool Value) override;
  // Also hooks OnLayerUpdated and OnAreaUpdated while enabled.
  void RegisterLayerCollection(TLayerCollection* Layers) override;
  // Also forgets the collection's layers (their queued repaints and records).
  void UnregisterLayerCollection(TLayerCollection* Layers) override;

  // Starts the timer (adaptive mode).
  void BeginPaintBuffer() override;
  // Nothing is pending any more; in adaptive mode the paint's time adapts the level.
  void EndPaintBuffer() override;

  void Reset() override;
  bool UpdatesAvailable() override;
  // Appends the pending rectangles (when anything is pending), then, in any
  // case, adapts the level (level 2 may empty the list) and clears the grids.
  void PerformOptimization() override;
  void AreaUpdateHandler(TObject* Sender, const TRect& Area, uint32_t Info) override;
  // Queues a visible change of the layer (once until it is repainted).
  void LayerUpdateHandler(TObject* Sender, TCustomLayer* Layer) override;
  void BufferResizedHandler(int NewWidth, int NewHeight) override;

  bool AdaptiveMode() const { return FAdaptiveMode; }
  // A change restarts the adaptation at level 0.
  void SetAdaptiveMode(bool Value);

  // The adaptation's state, for diagnostics.
  int PerformanceLevel() const { return FPerformanceLevel; }
  int64_t ElapsedTimeForLastRepaint() const { return FElapsedTimeForLastRepaint; }
  int64_t ElapsedTimeForFullSceneRepaint() const { return FElapsedTimeForFullSceneRepaint; }
  int TimeDelta() const { return FTimeDelta; }
  int64_t NextCheck() const { return FNextCheck; }

protected:
  void OnCollectionNotice(TLayerCollection* Sender, TLayerListNotification Action, TCustomLayer* Layer,
                          int Index) override;

private:
  void HookCollection(TLayerCollection* Layers);
  void UnhookCollection(TLayerCollection* Layers);
  void ResetWorkingTiles();
  void ResetAdaptiveMode();
  void RefreshPreviousTiles();
  void RecordArea(TMicroTiles& Tiles, const TRect& Area, uint32_t Info);
  void LayerToTiles(TMicroTiles& Tiles, TCustomLayer* Layer);
  // The layer's tiles at its last paint; an empty grid for a layer not seen before.
  TMicroTiles& OldInvalidTilesOf(TCustomLayer* Layer);
  TRect BufferBounds() const;
  int InvalidRectCount() const;
  void AdaptiveCheck();
  void TimingStep(int64_t ElapsedTime);

  TRect FBufferBounds;
  PMicroTiles FWorkMicroTiles = nullptr;
  TMicroTiles FTempTiles;
  TMicroTiles FInvalidTiles;
  TMicroTiles FForcedInvalidTiles;
  std::vector<TCustomLayer*> FInvalidLayers;
  TMicroTilesMap FOldInvalidTilesMap;
  bool FWorkingTilesValid = false;
  bool FOldInvalidTilesValid = false;
  bool FUseInvalidTiles = false;
  bool FAdaptiveMode = false;
  std::unique_ptr<TPerfTimer> FPerfTimer;
  TTickSource FTickSource;
  int FPerformanceLevel = 0;
  int64_t FElapsedTimeForLastRepaint = 0;
  int64_t FElapsedTimeForFullSceneRepaint = 0;
  bool FAdaptionFailed = false;
  bool FTimedCheck = false;
  int FTimeDelta = 0;
  int64_t FNextCheck = 0;  // a tick count; 0 makes the first re-check due at once
  int64_t FElapsedTimeOnLastPenalty = 0;
  int FOldInvalidRectsCount = 0;
};
