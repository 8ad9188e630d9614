#include "tools/tool_shell.h"

namespace {
IToolShell*& Registered() {
  static IToolShell* shell = nullptr;
  return shell;
}
}  // namespace

void SetToolShell(IToolShell* shell) { Registered() = shell; }

IToolShell& ToolShell() {
  static TNullToolShell nullShell;
  IToolShell* shell = Registered();
  return shell ? *shell : nullShell;
}

TPostProcDefaults NullPostProcDefaults(TPostProcKind kind) {
  TPostProcDefaults values;
  values.Color = kind == ppComparator ? 255 : 0xFF0000;
  return values;
}
