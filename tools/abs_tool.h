#pragma once
// TAbsTool: the rectifier. Every sample becomes its absolute value (full wave) or
// keeps one half-wave only (the modes' formulas are in rectifier_kernel.h).

#include "tools/rectifier_kernel.h"
#include "tools/tool_base.h"

#include <cstdint>


// The parameter set, two bytes as the chain records and the settings window
// exchange it.
struct TAbsParam {
  bool Apply = true;
  TRectifierMode Mode = TRectifierMode::FullWave;
};
static_assert(sizeof(TAbsParam) == 2);

class TAbsTool : public TToolBase<TAbsParam> {
public:
  static constexpr uint8_t RecordFormat = 33;

  explicit TAbsTool(uint16_t w = 0);

  TRectifierMode RectifierMode = TRectifierMode::FullWave;

  uint8_t GetVersion() const override { return 16; }
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;

  // Rectifies n samples of `in` into `out` (which may be `in`).
  static void Rectify(const int32_t* in, int32_t* out, int64_t n, TRectifierMode mode);

protected:
  TAbsParam PackParams() const override { return {AExecuting, RectifierMode}; }
  void UnpackParams(const TAbsParam& set) override {
    AExecuting = set.Apply;
    RectifierMode = set.Mode;
  }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::PerTrace, TYieldPolicy::PerSlice, TBreakPolicy::KeepProcessed};
  }
  void ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const override;
  // TAbsForm.
  TToolForm* CreateForm() override;
};
