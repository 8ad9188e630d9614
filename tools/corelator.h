#pragma once
// TCorelator: the three-point correlator. Every trace is correlated with a
// three-point kernel whose outer points lie BaseVer samples before and after the
// centre: Mode1 (-1, 2, -1) / 2 sharpens, Mode2 (1, 2, 1) / 4 smooths
// (corelator_kernel.h). BaseHor is kept in the records only.
//
// The registry knows it as "Adaptive Filter"; its records carry the name
// "Three-Point Correlator", for which the registry creates it too. The run never
// yields; a break flag found set leaves the channel's input. Its dialog is
// TCorelatorForm. User-interface thread; the kernel runs blocks of traces on the
// worker pool.

#include "tools/corelator_kernel.h"
#include "tools/tool_base.h"

#include <cstdint>

// One channel's set: Apply, the vertical base (only its low byte is used) and
// the mode.
struct TCorelatorParam {
  bool Apply = true;
  int32_t BaseVer = 5;
  TCorelatorMode Mode = TCorelatorMode::Mode1;
};

class TCorelator : public TToolBase<TCorelatorParam> {
public:
  static constexpr uint8_t RecordFormat = 33;
  // The dialog's range of the vertical base.
  static constexpr int32_t MaxBaseVer = 60;

  explicit TCorelator(uint16_t w = 0);

  uint8_t BaseHor = 0;
  uint8_t BaseVer = 5;
  TCorelatorMode Mode = TCorelatorMode::Mode1;

  uint8_t GetVersion() const override { return 16; }
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;

protected:
  TCorelatorParam PackParams() const override { return {AExecuting, BaseVer, Mode}; }
  void UnpackParams(const TCorelatorParam& set) override {
    AExecuting = set.Apply;
    BaseVer = static_cast<uint8_t>(set.BaseVer & 0xFF);
    Mode = set.Mode;
  }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::PerTrace, TYieldPolicy::BreakOnly, TBreakPolicy::RestoreInput};
  }
  void ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const override;
  // TCorelatorForm.
  TToolForm* CreateForm() override;
};
