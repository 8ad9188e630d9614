#include "tools/tool_classes.h"

#include "tools/abs_tool.h"
#include "tools/band_filter.h"
#include "tools/comparator_tool.h"
#include "tools/compressor.h"
#include "tools/corelator.h"
#include "tools/blur_tool.h"
#include "tools/dq_tool.h"
#include "tools/filter_tool.h"
#include "tools/hilbert_tool.h"
#include "tools/horz_wavelet.h"
#include "tools/leveler_tool.h"
#include "tools/median_tool.h"
#include "tools/normalization_tool.h"
#include "tools/tool_strings.h"
#include "tools/tvgc_tool.h"
#include "tools/wavelet.h"
#include "tools/win_subtract_trace.h"

#include <map>
#include <utility>

namespace {

template <class TTool>
TToolConstructor Constructor() {
  return [](uint16_t language) -> std::unique_ptr<TCommonTool> { return std::make_unique<TTool>(language); };
}

QString English(const TResourceString& resource) { return QString::fromUtf16(resource.english); }

std::map<QString, TToolConstructor>& Table() {
  // The classes of this library; each tool adds its row here.
  static std::map<QString, TToolConstructor> table{
      {English(SAbsToolName), Constructor<TAbsTool>()},
      {English(STVGCToolName), Constructor<TTVGC>()},
      {English(SWaveleterToolName), Constructor<TWavelet>()},
      // The registry does not register its key, so the factory never creates it.
      {English(SHorzWaveleterToolName), Constructor<THorzWavelet>()},
      {English(SWindowSubstrAverageToolName), Constructor<TWinSubtractTrace>()},
      {English(SBandFilterToolName), Constructor<TBandFilter>()},
      {English(SFilterToolName), Constructor<TFilter>()},
      {English(SHilbertToolName), Constructor<THilbert>()},
      {English(SDQToolName), Constructor<TDQ>()},
      // The correlator under its registry name and the name its records carry.
      {English(SCorelatorToolName), Constructor<TCorelator>()},
      {English(SCorelatorCaption), Constructor<TCorelator>()},
      {English(SCompressorToolName), Constructor<TCompressor>()},
      {English(SComparatorToolName), Constructor<TComparatorTool>()},
      {English(SMedianToolName), Constructor<TMedianTool>()},
      {English(SBlurToolName), Constructor<TBlur>()},
      {English(SNormalizationToolName), Constructor<TNormalizationTrace>()},
      // The registry does not register its key, so the factory never creates it.
      {English(SLevelerToolName), Constructor<TLeveler>()},
  };
  return table;
}

}  // namespace

void RegisterToolClass(const QString& englishName, TToolConstructor constructor) {
  Table()[englishName] = std::move(constructor);
}

void UnregisterToolClass(const QString& englishName) { Table().erase(englishName); }

TToolConstructor FindToolClass(const QString& englishName) {
  const auto it = Table().find(englishName);
  return it == Table().end() ? TToolConstructor{} : it->second;
}
