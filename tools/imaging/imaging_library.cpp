#include "tools/imaging/imaging_library.h"

#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/grid_time_tool.h"
#include "tools/imaging/grid_view_tool.h"
#include "tools/imaging/migration_adv_tool.h"
#include "tools/imaging/migration_tool.h"
#include "tools/imaging/obj_detect_tool.h"
#include "tools/imaging/calc_traces_tool.h"
#include "tools/imaging/real_view_tool.h"
#include "tools/imaging/spectrum_tool.h"
#include "tools/imaging/search_object_tool.h"
#include "tools/tool_classes.h"
#include "tools/tool_strings.h"

#include <memory>

namespace {
template <class TTool>
void Register(const TResourceString& englishName) {
  RegisterToolClass(QString::fromUtf16(englishName.english), [](uint16_t language) -> std::unique_ptr<TCommonTool> {
    return std::make_unique<TTool>(language);
  });
}
}  // namespace

void ImagingLibraryStartup() {
  Register<TMigrationAdvTool>(SMigrationAdvToolName);
  // The registry does not register this key: "Migration" creates the advanced
  // migration (its caption), never this class.
  Register<TMigrationTool>(SMigrationToolName);
  // Known by name only.
  Register<TGenTestTool>(SGenTestToolName);
  Register<TSpectrum>(SSpectrumToolName);
  Register<TSearchObjectTool>(SSearchObjectToolName);
  Register<TRealViewTool>(SRealViewToolName);
  Register<TGridViewTool>(SGridViewToolName);
  // Known by name only.
  Register<TGridTimeTool>(SGridTimeToolName);
  // Known by name only.
  Register<TObjDetectTool>(SObjDetectToolName);
  Register<TCalcTracesTool>(SCalcTracesToolName);
}
