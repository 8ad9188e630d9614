#include "radar/online_stages.h"

#include <algorithm>

const QString TOnlineStageSet::WaveletName = QStringLiteral("Wavelet Filter");
const QString TOnlineStageSet::BackgroundName = QStringLiteral("Background Remover with Window");
const QString TOnlineStageSet::GainName = QStringLiteral("TVGC");

TOnlineStageSet::TOnlineStageSet(T2Dview* owner)
    : DeviceOffset(owner),
      Comparator(owner),
      WindowedBackgroundRemoval(owner),
      TVGC(owner),
      Wavelet(owner),
      GainCalibration(owner, WindowedBackgroundRemoval, TVGC) {
  Wavelet.Init();
}

bool TOnlineStageSet::SetOnlineParameters(const QString& stageName, const TOnlineParametrs& P) {
  if (stageName == WaveletName) {
    Wavelet.SetOnlineParameters(P);
  } else if (stageName == BackgroundName) {
    WindowedBackgroundRemoval.SetOnlineParameters(P);
  } else if (stageName == GainName) {
    TVGC.SetOnlineParameters(P);
  } else {
    return false;
  }
  return true;
}

void TOnlineStageSet::InitChain() {
  Comparator.Init();
  Wavelet.Init();
  WindowedBackgroundRemoval.Init();
  TVGC.Init();
}

void TOnlineStageSet::ExecuteChain(int32_t* ArrayLastTrace, int32_t lenArrayLastTrace) {
  Wavelet.ExecuteLastTrace(ArrayLastTrace, lenArrayLastTrace);
  WindowedBackgroundRemoval.ExecuteLastTrace(ArrayLastTrace, lenArrayLastTrace);
  TVGC.ExecuteLastTrace(ArrayLastTrace, lenArrayLastTrace);
}

void TOnlineStageSet::SetWidthWindow(int32_t value) {
  // The queue of held traces has room for the window and the trace being added.
  WindowedBackgroundRemoval.WidthWindow =
      std::clamp(value, 0, PluginsOnline::TWindowedBackgroundRemoval::MaxWidthWindow);
}

std::unique_ptr<IOnlineStages> TOnlineStagesFactory::CreateOnlineStages(T2Dview& store) {
  return std::make_unique<TOnlineStageSet>(&store);
}

namespace {
TOnlineStagesFactory& TheFactory() {
  static TOnlineStagesFactory factory;
  return factory;
}
}  // namespace

void RegisterOnlineStages() { SetOnlineStagesFactory(&TheFactory()); }
void UnregisterOnlineStages() { SetOnlineStagesFactory(nullptr); }
