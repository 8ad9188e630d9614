#pragma once
// TBlur: the blur. Every sample becomes the Gauss-weighted mean of an elliptical
// neighbourhood of samples and traces (blur_kernel.h), smoothing fine-grained
// noise and sharp edges. A break leaves the input and switches the tool off on
// all channels.
//
// Its dialog is TBlurForm. User-interface thread; the kernel runs blocks of
// traces on the worker pool, reading the mask only.

#include "tools/blur_kernel.h"
#include "tools/tool_base.h"

#include <cstdint>

// One channel's set, as the chain records and the settings window exchange it.
struct TBlurParam {
  bool Apply = true;
  int32_t BaseHor = 3;
  int32_t BaseVer = 3;
};

class TBlur : public TToolBase<TBlurParam> {
public:
  static constexpr uint8_t RecordFormat = 32;

  explicit TBlur(uint16_t w = 0);

  // H: half width of the mask in traces; V: half height in samples (1 .. 20).
  uint8_t BaseHor = 3;
  uint8_t BaseVer = 3;
  // The mask of BaseHor and BaseVer, with its weight sum (`nrm`).
  TBlurMask Mask;

  uint8_t GetVersion() const override { return 16; }
  // Widens the channel's progress image to the full panel, then the run protocol.
  void execute(bool first, int32_t NumberView) override;
  // The mask from BaseHor and BaseVer.
  void ZoomMask();
  // Set n, then the mask.
  void GetParam(int32_t NumberView) override;
  // Frame with format 32, then BaseHor and BaseVer (one byte each).
  void SaveToStream(TStream& str) override;
  // Caption, Apply, BaseHor, BaseVer (one byte each).
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  // From format 32: caption, Apply, BaseHor, BaseVer; then the mask.
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // With the dialog live: redisplays and rebuilds the mask.
  void RefreshPropertyes() override;

protected:
  TBlurParam PackParams() const override { return {AExecuting, BaseHor, BaseVer}; }
  // The low bytes of the set's half sizes, held to 1 .. 20.
  void UnpackParams(const TBlurParam& set) override;
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerSlice, TBreakPolicy::InputApplyOff};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TBlurForm.
  TToolForm* CreateForm() override;
};

// A half size as the mask takes it: 1 .. 20.
uint8_t BlurHalfSize(int64_t value);
