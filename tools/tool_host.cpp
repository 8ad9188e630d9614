#include "tools/tool_host.h"

#include "platform/ui/application.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/display_pipeline.h"

#include <algorithm>
#include <utility>

namespace {
TToolHostResolver& Resolver() {
  static TToolHostResolver resolver;
  return resolver;
}
}  // namespace

namespace {
constexpr double DefaultKoefArrMax = 0.75;
}  // namespace

int32_t IToolHost::GetMaxDezoData(const T2Dview* view) const {
  if (!view || !view->Settings() || view->dezoData.Empty()) return 1;
  const int32_t longTrace = view->Settings()->GetLongTrace();
  if (longTrace <= 0) return 1;
  const int64_t traces = std::min<int64_t>(view->NumTraces(), view->dezoData.Bytes() / 4 / longTrace);
  return display_pipeline::DisplayMaximum(view->dezoData.Data(), std::max<int64_t>(traces, 0), longTrace, DefaultKoefArrMax);
}

void TNullToolHost::Yield() {
  if (Application) Application->ProcessMessages();
}

void SetToolHostResolver(TToolHostResolver resolver) { Resolver() = std::move(resolver); }

IToolHost& ToolHostOf(T2Dview* view) {
  static TNullToolHost nullHost;
  if (const auto& resolver = Resolver()) {
    if (IToolHost* host = resolver(view)) return *host;
  }
  return nullHost;
}
