#include "raster/bindings.h"


namespace {

std::vector<std::unique_ptr<TFunctionRegistry>>& Registries() {
  static std::vector<std::unique_ptr<TFunctionRegistry>> list;
  return list;
}

}  // namespace

TFunctionPriority PriorityForFeatures(TCPUFeatures available) {
  return [available](PFunctionInfo info) {
    return info->CPUFeatures.IsSubsetOf(available) ? 0 : InvalidPriority;
  };
}

void TFunctionRegistry::AddRoutine(int functionID, TRoutine proc, TCPUFeatures cpuFeatures, int flags) {
  auto info = std::make_unique<TFunctionInfo>();
  info->FunctionID = functionID;
  info->Proc = proc;
  info->CPUFeatures = cpuFeatures;
  info->Flags = flags;
  FItems.push_back(std::move(info));
}

TRoutine TFunctionRegistry::FindFunction(int functionID, const TFunctionPriority& priority) const {
  const TFunctionPriority& rate = priority ? priority : PriorityForFeatures(CPUFeatures());
  int best = InvalidPriority;
  TRoutine result = nullptr;
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
    TFunctionInfo* info = it->get();
    if (!info || info->FunctionID != functionID) continue;
    const int p = rate(info);
    if (p < best) {
      best = p;
      result = info->Proc;
    }
  }
  return result;
}

void TFunctionRegistry::Rebind(int functionID, const TFunctionPriority& priority) {
  const TRoutine proc = FindFunction(functionID, priority);
  for (const TBinding& b : FBindings)
    if (b.FunctionID == functionID) b.Assign(b.BindVariable, proc);
}

void TFunctionRegistry::RebindAll(const TFunctionPriority& priority) {
  for (const TBinding& b : FBindings) b.Assign(b.BindVariable, FindFunction(b.FunctionID, priority));
}

void TFunctionRegistry::Clear() {
  FItems.clear();
  FBindings.clear();
}

void TFunctionRegistry::SetItems(int index, PFunctionInfo info) { FItems.at(index).reset(info); }

TFunctionRegistry* CreateRegistry(const QString& name) {
  Registries().push_back(std::make_unique<TFunctionRegistry>(name));
  return Registries().back().get();
}

TFunctionRegistry* FindRegistry(const QString& name) {
  for (const auto& r : Registries())
    if (r->Name() == name) return r.get();
  return nullptr;
}

void FreeRegistries() {
  auto& list = Registries();
  while (!list.empty()) list.pop_back();
}
