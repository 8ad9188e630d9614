#include "tools/tool_host.h"

#include "platform/ui/application.h"

#include <utility>

namespace {
TToolHostResolver& Resolver() {
  static TToolHostResolver resolver;
  return resolver;
}
}  // namespace

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
