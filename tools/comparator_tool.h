#pragma once
// TComparatorTool: the comparator. Every sample whose magnitude lies below
// Threshold becomes 0 (the palettes' middle grey), so that only the stronger
// reflections remain. The run neither yields nor looks at the break flag.
//
// Its dialog (TComparatorForm) sets the threshold beside the godograph, a
// histogram of the magnitudes of the channel the dialog shows. The tool owns the
// histogram's bitmap. User-interface thread; the loops run on the worker pool.

#include "tools/tool_base.h"

#include <cstdint>
#include <memory>

class TBitmap;

// One channel's set: Apply and the threshold.
struct TComparatorParam {
  bool Apply = true;
  int32_t Threshold = 1;
};

class TComparatorTool : public TToolBase<TComparatorParam> {
public:
  static constexpr uint8_t RecordFormat = 32;
  // ThresholdMax until the first godograph.
  static constexpr int32_t InitialThresholdMax = 5120;
  static constexpr int GodographWidth = 160;
  static constexpr int GodographHeight = 200;

  explicit TComparatorTool(uint16_t w = 0);
  ~TComparatorTool() override;

  int32_t Threshold = 1;
  // The largest magnitude of the dialog's channel's saved input (at least 1),
  // found by every godograph.
  int32_t ThresholdMax = InitialThresholdMax;

  uint8_t GetVersion() const override { return 16; }
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;

  // The histogram of CurrentNumberView's saved input, 160 x 200: bin i of the
  // 201 magnitude bins (comparator_kernel.h) a line of the pen on row 200 - i
  // from the left, the fullest bin 160 pixels long, on the brush's background.
  // A channel without a saved input (or without samples) leaves the picture and
  // ThresholdMax as they were.
  TBitmap* GetGodograph();
  TBitmap* Godograph() const { return locBmpComp.get(); }

protected:
  TComparatorParam PackParams() const override { return {AExecuting, Threshold}; }
  void UnpackParams(const TComparatorParam& set) override {
    AExecuting = set.Apply;
    Threshold = set.Threshold;
  }
  TRunPolicy RunPolicy() const override { return {TKernelKind::PerTrace, TYieldPolicy::None, TBreakPolicy::NoBreak}; }
  void ProcessTraces(const int32_t* in, int32_t* out, int64_t first, int64_t end, int longTrace) const override;
  // TComparatorForm.
  TToolForm* CreateForm() override;

private:
  std::unique_ptr<TBitmap> locBmpComp;
};
