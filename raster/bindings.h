#pragma once
// Routine registries: each library unit keeps one, listing every implementation
// of its routines with the processor features it needs, and binds each routine
// variable to the best implementation the processor can run. Callers always call
// through the variables.
//
// Selection: the lower the priority the better; InvalidPriority means unusable.
// The list is walked from the last registration to the first and only a strictly
// better priority replaces the choice, so among equally good implementations the
// last registered wins. The default priority accepts an implementation whose
// required features are all present. Hence a unit registers its portable forms
// first and the processor-specific ones after them.
//
// Threads: registries are built and bound during library start-up on one thread;
// afterwards the bound variables are read from any thread without locking.

#include "raster/cpu_features.h"

#include <QString>

#include <functional>
#include <type_traits>
#include <memory>
#include <vector>

// Any routine, stored type-erased; converted back to its own type before a call.
using TRoutine = void (*)();

struct TFunctionInfo {
  int FunctionID = 0;
  TRoutine Proc = nullptr;
  TCPUFeatures CPUFeatures;
  int Flags = 0;  // stored, consulted by nothing
};
using PFunctionInfo = TFunctionInfo*;

inline constexpr int InvalidPriority = 0x7FFFFFFF;
using TFunctionPriority = std::function<int(PFunctionInfo info)>;

// 0 when the info's features are a subset of `available`, else InvalidPriority.
TFunctionPriority PriorityForFeatures(TCPUFeatures available);

class TFunctionRegistry {
public:
  explicit TFunctionRegistry(QString name = {}) : FName(std::move(name)) {}
  TFunctionRegistry(const TFunctionRegistry&) = delete;
  TFunctionRegistry& operator=(const TFunctionRegistry&) = delete;

  const QString& Name() const { return FName; }
  void SetName(const QString& name) { FName = name; }

  template <class F>
  void Add(int functionID, F* proc, TCPUFeatures cpuFeatures = {}, int flags = 0) {
    AddRoutine(functionID, reinterpret_cast<TRoutine>(proc), cpuFeatures, flags);
  }
  void AddRoutine(int functionID, TRoutine proc, TCPUFeatures cpuFeatures = {}, int flags = 0);

  // `variable` receives the implementation chosen for functionID on every Rebind.
  template <class F>
  void RegisterBinding(int functionID, F** variable) {
    static_assert(std::is_function_v<F>, "bind routine variables only");
    FBindings.push_back({functionID, variable, [](void* var, TRoutine proc) {
                           *static_cast<F**>(var) = reinterpret_cast<F*>(proc);
                         }});
  }

  // Nil when no registered implementation of functionID is usable. A null
  // priority callback means the default one for the detected CPUFeatures().
  TRoutine FindFunction(int functionID, const TFunctionPriority& priority = nullptr) const;
  template <class F>
  F* FindFunctionAs(int functionID, const TFunctionPriority& priority = nullptr) const {
    return reinterpret_cast<F*>(FindFunction(functionID, priority));
  }

  // Every binding of functionID gets FindFunction's result (nil included).
  void Rebind(int functionID, const TFunctionPriority& priority = nullptr);
  // The same for every binding, in registration order.
  void RebindAll(const TFunctionPriority& priority = nullptr);
  void Clear();

  int Count() const { return static_cast<int>(FItems.size()); }
  PFunctionInfo GetItems(int index) const { return FItems.at(index).get(); }
  // Replaces the record at index; the registry owns `info` afterwards.
  void SetItems(int index, PFunctionInfo info);

private:
  struct TBinding {
    int FunctionID;
    void* BindVariable;
    void (*Assign)(void* variable, TRoutine proc);
  };

  std::vector<std::unique_ptr<TFunctionInfo>> FItems;
  std::vector<TBinding> FBindings;
  QString FName;
};

// Creates a registry, appends it to the library's list (which owns it) and returns it.
TFunctionRegistry* CreateRegistry(const QString& name);
// The registry of that name in the library's list, or null.
TFunctionRegistry* FindRegistry(const QString& name);
// Library shut-down: frees every registry, the last created first.
void FreeRegistries();
