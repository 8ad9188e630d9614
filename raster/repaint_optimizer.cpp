#include "raster/repaint_optimizer.h"

#include "platform/ui/timers.h"

#include <algorithm>
#include <limits>

namespace {

int SaturateToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

constexpr int kMinTimeDelta = 1000;
constexpr int kMaxTimeDelta = 5000;
constexpr int kTimeDeltaStep = 250;

int LimitTimeDelta(int v) { return std::clamp(v, kMinTimeDelta, kMaxTimeDelta); }

}  // namespace

void GrowArea(TRect& Area, int Dx, int Dy) {
  int64_t dx = Dx, dy = Dy;
  if (Area.Right < Area.Left) dx = -dx;
  if (Area.Bottom < Area.Top) dy = -dy;
  Area.Left = SaturateToInt(Area.Left - dx);
  Area.Top = SaturateToInt(Area.Top - dy);
  Area.Right = SaturateToInt(Area.Right + dx);
  Area.Bottom = SaturateToInt(Area.Bottom + dy);
}

TTickSource SystemTickSource() {
  return [last = uint32_t{0}, high = int64_t{0}]() mutable {
    const uint32_t now = GetTickCount();
    if (now < last) high += int64_t{1} << 32;
    last = now;
    return high + now;
  };
}

// ---- TCustomRepaintOptimizer ------------------------------------------------------------------

TCustomRepaintOptimizer::TCustomRepaintOptimizer(TBitmap32* Buffer, TRectList* InvalidRects)
    : FInvalidRects(InvalidRects), FBuffer(Buffer) {}

TCustomRepaintOptimizer::~TCustomRepaintOptimizer() {
  // A derived optimizer has unregistered its collections already (its hooks
  // must go while it still exists); whatever is left only has OnListNotify.
  while (!FLayerCollections.empty()) TCustomRepaintOptimizer::UnregisterLayerCollection(FLayerCollections.back());
}

bool TCustomRepaintOptimizer::IsRegistered(const TLayerCollection* Layers) const {
  return std::find(FLayerCollections.begin(), FLayerCollections.end(), Layers) != FLayerCollections.end();
}

void TCustomRepaintOptimizer::RegisterLayerCollection(TLayerCollection* Layers) {
  if (!Layers || IsRegistered(Layers)) return;
  FLayerCollections.push_back(Layers);
  Layers->OnListNotify = [this](TLayerCollection* Sender, TLayerListNotification Action, TCustomLayer* Layer,
                                int Index) { OnCollectionNotice(Sender, Action, Layer, Index); };
}

void TCustomRepaintOptimizer::UnregisterLayerCollection(TLayerCollection* Layers) {
  auto it = std::find(FLayerCollections.begin(), FLayerCollections.end(), Layers);
  if (it == FLayerCollections.end()) return;
  Layers->OnListNotify = nullptr;
  FLayerCollections.erase(it);
}

// ---- TMicroTilesRepaintOptimizer ----------------------------------------------------------------

TMicroTilesRepaintOptimizer::TMicroTilesRepaintOptimizer(TBitmap32* Buffer, TRectList* InvalidRects)
    : TMicroTilesRepaintOptimizer(Buffer, InvalidRects, nullptr, nullptr) {}

TMicroTilesRepaintOptimizer::TMicroTilesRepaintOptimizer(TBitmap32* Buffer, TRectList* InvalidRects,
                                                         std::unique_ptr<TPerfTimer> PerfTimer, TTickSource TickSource)
    : TCustomRepaintOptimizer(Buffer, InvalidRects),
      FPerfTimer(PerfTimer ? std::move(PerfTimer) : std::make_unique<TPerfTimer>()),
      FTickSource(TickSource ? std::move(TickSource) : SystemTickSource()) {
  SetAdaptiveMode(true);
}

TMicroTilesRepaintOptimizer::~TMicroTilesRepaintOptimizer() {
  while (!FLayerCollections.empty()) UnregisterLayerCollection(FLayerCollections.back());
}

void TMicroTilesRepaintOptimizer::HookCollection(TLayerCollection* Layers) {
  Layers->OnListNotify = [this](TLayerCollection* Sender, TLayerListNotification Action, TCustomLayer* Layer,
                                int Index) { OnCollectionNotice(Sender, Action, Layer, Index); };
  Layers->OnLayerUpdated = [this](TObject* Sender, TCustomLayer* Layer) { LayerUpdateHandler(Sender, Layer); };
  Layers->OnAreaUpdated = [this](TObject* Sender, const TRect& Area, uint32_t Info) {
    AreaUpdateHandler(Sender, Area, Info);
  };
}

void TMicroTilesRepaintOptimizer::UnhookCollection(TLayerCollection* Layers) {
  Layers->OnListNotify = nullptr;
  Layers->OnLayerUpdated = nullptr;
  Layers->OnAreaUpdated = nullptr;
}

void TMicroTilesRepaintOptimizer::SetEnabled(bool Value) {
  if (Value != FEnabled) {
    if (Value) {
      for (TLayerCollection* layers : FLayerCollections) HookCollection(layers);
      BufferResizedHandler(FBuffer ? FBuffer->Width() : 0, FBuffer ? FBuffer->Height() : 0);
    } else {
      for (TLayerCollection* layers : FLayerCollections) UnhookCollection(layers);
      MicroTilesDestroy(FInvalidTiles);
      MicroTilesDestroy(FForcedInvalidTiles);
      MicroTilesDestroy(FTempTiles);
      // The grids are gone: the next use must size them again.
      FWorkingTilesValid = false;
      FUseInvalidTiles = false;
      FOldInvalidTilesValid = false;
      FOldInvalidTilesMap.Clear();
      FInvalidLayers.clear();
    }
  }
  TCustomRepaintOptimizer::SetEnabled(Value);
}

void TMicroTilesRepaintOptimizer::RegisterLayerCollection(TLayerCollection* Layers) {
  TCustomRepaintOptimizer::RegisterLayerCollection(Layers);
  if (Layers && FEnabled) HookCollection(Layers);
}

void TMicroTilesRepaintOptimizer::UnregisterLayerCollection(TLayerCollection* Layers) {
  if (!IsRegistered(Layers)) return;
  UnhookCollection(Layers);
  // Without the collection's notices a queued layer could be freed unseen.
  std::erase_if(FInvalidLayers, [Layers](TCustomLayer* layer) {
    if (layer->LayerCollection() != Layers) return false;
    layer->SetLayerOptions(layer->LayerOptions() & ~LOB_INVALID);
    return true;
  });
  for (int i = 0; i < Layers->Count(); ++i) FOldInvalidTilesMap.Remove(Layers->Items(i));
  TCustomRepaintOptimizer::UnregisterLayerCollection(Layers);
}

void TMicroTilesRepaintOptimizer::SetAdaptiveMode(bool Value) {
  if (Value == FAdaptiveMode) return;
  FAdaptiveMode = Value;
  ResetAdaptiveMode();
}

void TMicroTilesRepaintOptimizer::ResetAdaptiveMode() {
  FTimeDelta = kMinTimeDelta;
  FAdaptionFailed = false;
  FPerformanceLevel = 0;
}

TRect TMicroTilesRepaintOptimizer::BufferBounds() const { return FBuffer ? FBuffer->BoundsRect() : FBufferBounds; }

int TMicroTilesRepaintOptimizer::InvalidRectCount() const { return FInvalidRects ? FInvalidRects->Count() : 0; }

void TMicroTilesRepaintOptimizer::ResetWorkingTiles() {
  if (FWorkingTilesValid) return;
  TilesSetSize(FTempTiles, FBufferBounds);
  TilesSetSize(FInvalidTiles, FBufferBounds);
  TilesSetSize(FForcedInvalidTiles, FBufferBounds);
  FWorkingTilesValid = true;
}

TMicroTiles& TMicroTilesRepaintOptimizer::OldInvalidTilesOf(TCustomLayer* Layer) {
  PMicroTiles tiles = FOldInvalidTilesMap.AddTiles(Layer);
  if (tiles->Count == 0) TilesSetSize(*tiles, FBufferBounds);
  return *tiles;
}

void TMicroTilesRepaintOptimizer::RecordArea(TMicroTiles& Tiles, const TRect& Area, uint32_t Info) {
  const bool wholeTiles = FPerformanceLevel > 0;
  if (Info & AreaKindLine) {
    // The reported end points, grown by the width once more for the caps.
    const int width = static_cast<int>(Info & 0x00FFFFFFu);
    TRect line = Area;
    GrowArea(line, width, width);
    TilesAddLine(Tiles, line.Left, line.Top, line.Right, line.Bottom, width, wholeTiles);
  } else {
    TilesAddRect(Tiles, Area, wholeTiles);
  }
}

void TMicroTilesRepaintOptimizer::LayerToTiles(TMicroTiles& Tiles, TCustomLayer* Layer) {
  if (!FBuffer) return;
  // In measuring mode the layer's drawing touches no pixel; every area it
  // would change is reported here instead.
  FWorkMicroTiles = &Tiles;
  FBuffer->BeginMeasuring([this](TObject*, const TRect& Area, uint32_t Info) {
    if (FWorkMicroTiles) RecordArea(*FWorkMicroTiles, Area, Info);
  });
  struct EndMeasuring {
    TMicroTilesRepaintOptimizer* self;
    ~EndMeasuring() {
      self->FBuffer->EndMeasuring();
      self->FWorkMicroTiles = nullptr;
    }
  } end{this};
  Layer->PaintLayer(FBuffer);
}

void TMicroTilesRepaintOptimizer::AreaUpdateHandler(TObject*, const TRect& Area, uint32_t Info) {
  ResetWorkingTiles();
  RecordArea(FForcedInvalidTiles, Area, Info);
  FUseInvalidTiles = true;
}

void TMicroTilesRepaintOptimizer::LayerUpdateHandler(TObject*, TCustomLayer* Layer) {
  if (!Layer || !FOldInvalidTilesValid || (Layer->LayerOptions() & LOB_INVALID)) return;
  FInvalidLayers.push_back(Layer);
  Layer->SetLayerOptions(Layer->LayerOptions() | LOB_INVALID);
  FUseInvalidTiles = true;
}

void TMicroTilesRepaintOptimizer::OnCollectionNotice(TLayerCollection*, TLayerListNotification Action,
                                                     TCustomLayer* Layer, int) {
  switch (Action) {
    case lnLayerAdded:
    case lnLayerInserted:
      if (Layer) TilesSetSize(*FOldInvalidTilesMap.AddTiles(Layer), BufferBounds());
      FOldInvalidTilesValid = true;
      break;
    case lnLayerDeleted:
      // Where the layer was last painted must be repainted without it.
      if (FOldInvalidTilesValid) {
        if (PMicroTiles old = FOldInvalidTilesMap.TilesOf(Layer)) {
          ResetWorkingTiles();
          TilesUnion(FInvalidTiles, *old);
        }
        FUseInvalidTiles = true;
      }
      std::erase(FInvalidLayers, Layer);
      FOldInvalidTilesMap.Remove(Layer);
      break;
    case lnCleared:
      if (FOldInvalidTilesValid) {
        ResetWorkingTiles();
        TPointerMapIterator it(FOldInvalidTilesMap);
        while (it.Next())
          if (it.Data()) TilesUnion(FInvalidTiles, *static_cast<PMicroTiles>(it.Data()));
        FUseInvalidTiles = true;
        ResetAdaptiveMode();
      }
      FOldInvalidTilesMap.Clear();
      FOldInvalidTilesValid = true;
      break;
  }
}

void TMicroTilesRepaintOptimizer::BufferResizedHandler(int NewWidth, int NewHeight) {
  FBufferBounds = TRect{0, 0, NewWidth, NewHeight};
  Reset();
}

void TMicroTilesRepaintOptimizer::Reset() {
  FWorkingTilesValid = false;
  FOldInvalidTilesValid = false;
  RefreshPreviousTiles();
  TilesClear(FForcedInvalidTiles, MICROTILE_FULL);
  FForcedInvalidTiles.BoundsUsedTiles = TRect{0, 0, FForcedInvalidTiles.Columns, FForcedInvalidTiles.Rows};
  FUseInvalidTiles = true;
}

void TMicroTilesRepaintOptimizer::RefreshPreviousTiles() {
  if (FOldInvalidTilesValid) return;
  ResetWorkingTiles();
  for (TLayerCollection* layers : FLayerCollections) {
    for (int i = 0; i < layers->Count(); ++i) {
      TCustomLayer* layer = layers->Items(i);
      PMicroTiles old = FOldInvalidTilesMap.AddTiles(layer);
      TilesSetSize(*old, FBufferBounds);
      LayerToTiles(*old, layer);
      layer->SetLayerOptions(layer->LayerOptions() & ~LOB_INVALID);
    }
  }
  FInvalidLayers.clear();
  FOldInvalidTilesValid = true;
  FUseInvalidTiles = false;
}

bool TMicroTilesRepaintOptimizer::UpdatesAvailable() {
  RefreshPreviousTiles();
  return FUseInvalidTiles;
}

void TMicroTilesRepaintOptimizer::PerformOptimization() {
  if (FUseInvalidTiles) {
    ResetWorkingTiles();
    const bool wholeTiles = FPerformanceLevel > 0;

    // A changed layer invalidates where it was painted last and where it paints
    // now. By index: measuring may queue or delete layers.
    for (size_t i = 0; i < FInvalidLayers.size(); ++i) {
      TCustomLayer* layer = FInvalidLayers[i];
      TilesClearUsed(FTempTiles);
      LayerToTiles(FTempTiles, layer);
      TMicroTiles& old = OldInvalidTilesOf(layer);
      TilesUnion(FInvalidTiles, FTempTiles, wholeTiles);
      TilesUnion(FInvalidTiles, old, wholeTiles);
      TilesCopy(old, FTempTiles);
      layer->SetLayerOptions(layer->LayerOptions() & ~LOB_INVALID);
    }
    FInvalidLayers.clear();

    TilesToRects(FInvalidTiles, FInvalidRects, FInvalidTiles.BoundsRect, false, wholeTiles);
    TilesToRects(FForcedInvalidTiles, FInvalidRects, FForcedInvalidTiles.BoundsRect, false, wholeTiles);
  }

  // Also with nothing pending: a due re-check must not wait for the next
  // change, and whatever the grids gathered while nothing counted as pending
  // (areas reported during the last buffer paint) is not carried over.
  AdaptiveCheck();

  TilesClearUsed(FInvalidTiles);
  TilesClearUsed(FForcedInvalidTiles);
}

void TMicroTilesRepaintOptimizer::AdaptiveCheck() {
  if (!FAdaptiveMode || FPerformanceLevel <= 0) return;
  if (FTickSource() > FNextCheck) {
    // Time to see whether finer tiles pay off again.
    FPerformanceLevel = std::max(FPerformanceLevel - 1, 0);
    FTimedCheck = true;
  } else if (!FAdaptionFailed && InvalidRectCount() < FOldInvalidRectsCount - 10) {
    // Far fewer rectangles than when the level was raised.
    FPerformanceLevel = std::max(FPerformanceLevel - 1, 0);
  } else if (FPerformanceLevel == 2 && FInvalidRects) {
    // An empty list makes the control repaint everything.
    FInvalidRects->Clear();
  }
}

void TMicroTilesRepaintOptimizer::BeginPaintBuffer() {
  if (FAdaptiveMode) FPerfTimer->Start();
}

void TMicroTilesRepaintOptimizer::EndPaintBuffer() {
  FUseInvalidTiles = false;
  // Without adaptive mode the timer was not started: there is nothing to learn from.
  if (FAdaptiveMode) TimingStep(FPerfTimer->ReadValue());
}

void TMicroTilesRepaintOptimizer::TimingStep(int64_t ElapsedTime) {
  const int rectCount = InvalidRectCount();
  if (rectCount == 0) {
    FElapsedTimeForFullSceneRepaint = ElapsedTime;
  } else if (ElapsedTime > FElapsedTimeForFullSceneRepaint) {
    // The partial repaint was slower than a full one: coarser tiles.
    const int level = std::min(FPerformanceLevel + 1, 2);
    if (level != FPerformanceLevel) {
      FOldInvalidRectsCount = rectCount;
      FPerformanceLevel = level;
      if (FTimedCheck) {
        // The re-check failed: wait longer before the next one.
        FTimeDelta = LimitTimeDelta(FTimeDelta + kTimeDeltaStep);
        FNextCheck = FTickSource() + FTimeDelta;
        FElapsedTimeOnLastPenalty = ElapsedTime;
        FTimedCheck = false;
      }
      FAdaptionFailed = true;
    }
  } else if (ElapsedTime < FElapsedTimeForFullSceneRepaint) {
    if (FTimedCheck) {
      FTimeDelta = kMinTimeDelta;
      FNextCheck = FTickSource() + kMinTimeDelta;
      FTimedCheck = false;
    } else if (FTimeDelta > kMinTimeDelta) {
      FTimeDelta = LimitTimeDelta(FTimeDelta - kMinTimeDelta);
      FNextCheck = FTickSource() + FTimeDelta;
    }
    FAdaptionFailed = false;
  } else if (ElapsedTime < FElapsedTimeOnLastPenalty && FTimedCheck) {
    FTimeDelta = LimitTimeDelta(FTimeDelta - kTimeDeltaStep);
    FNextCheck = FTickSource() + FTimeDelta;
    FTimedCheck = false;
  }
  FElapsedTimeForLastRepaint = ElapsedTime;
}
