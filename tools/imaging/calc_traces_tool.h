#pragma once
// TCalcTracesTool: the computed traces. On the run of the window's last shown
// channel it computes a section image through a box of ground below the profile
// from all shown channels (calc_traces_data.h) and keeps it for its dialog; the
// channels' data pass through unchanged. A run of another channel passes its data
// through and computes nothing.
//
// The sets hold only Apply; the box, the section kind and KoefDist are one value
// for the whole tool and are not written to records. A box the geometry cannot
// image (a step or count below 1, a time window or trace step of 0, an image past
// ImageMemoryCap) leaves the last image as it was.
//
// Threads: the user-interface thread; the cells run on the worker pool.

#include "tools/imaging/calc_traces_data.h"
#include "tools/tool_base.h"

#include <cstdint>
#include <vector>

struct TCalcTracesParam {
  bool Apply = true;
};

class TCalcTracesTool : public TToolBase<TCalcTracesParam> {
public:
  static constexpr uint8_t RecordFormat = 33;

  explicit TCalcTracesTool(uint16_t w = 0);

  TAreaCalc AreaCalc;
  char16_t VectorSect = u'Y';
  float KoefDist = 1.0f;
  // The last image: BufOut_Width x BufOut_Height bytes, column after column.
  int32_t BufOut_Width = 0;
  int32_t BufOut_Height = 0;
  std::vector<uint8_t> BufOut;
  int64_t ImageMemoryCap = TCalcData::DefaultMemoryCap;

  uint8_t GetVersion() const override { return 16; }
  // Passes the channel through; on the last shown channel (the window's shown
  // channel count - 1, none without a window) with Apply set, the image too.
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // The dialog's "Calculate": a run of the last shown channel with first set.
  void Calculate();
  // The window's last shown channel, -1 when it shows none.
  int32_t LastShownChannel() const;

protected:
  TCalcTracesParam PackParams() const override { return {AExecuting}; }
  void UnpackParams(const TCalcTracesParam& set) override { AExecuting = set.Apply; }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::None, TBreakPolicy::NoBreak};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TCalcTracesForm.
  TToolForm* CreateForm() override;

private:
  void ComputeImage(int32_t channel);
  int32_t runChannel_ = -1;
  bool imageRun_ = false;
};
