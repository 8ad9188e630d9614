#pragma once
// TLeveler: the leveler. It finds on every trace the sample of a surface (the
// strongest reflection, the strongest of its envelope, or a line the user drew),
// smooths that surface line along the profile (median, then moving average),
// shows it on channel 0's chart and, with Transform, shifts every trace so that
// the smoothed surface lies on one sample (leveler_kernel.h).
//
// Only Apply is kept per channel; the other parameters are the tool's. The line
// arrays are the tool's too, of the last channel run. A break leaves the
// channel's input and the line as it was drawn last.
//
// Its dialog is TLevelerForm. User-interface thread; the envelope searches run
// traces on the worker pool.

#include "tools/tool_base.h"

#include <cstdint>
#include <vector>

class T2Dview;

enum TSearchingType : uint8_t { stAmplitude = 0, stHilbert = 1, stMovingAverage = 2, stManual = 3 };

struct TLevelerParam {
  bool Apply = false;
};

class TLeveler : public TToolBase<TLevelerParam> {
public:
  static constexpr uint8_t RecordFormat = 33;
  static constexpr int32_t MaxHilbertBloor = 200;
  static constexpr int32_t MaxMedianF = 200;
  static constexpr int32_t MaxBloorF = 100;
  // The smoothed surface comes to lie this many samples below the shallowest
  // surface found (at most sample 100).
  static constexpr int32_t SurfaceMargin = 10;
  static constexpr int32_t ShallowestSurface = 100;

  explicit TLeveler(uint16_t w = 0);

  TSearchingType SearchType = stAmplitude;
  int32_t BaseHilbertBloor = 10;
  bool ApplyMedianF = true;
  int32_t BaseMedianF = 20;
  bool ApplyGlide = true;
  int32_t BaseBloorF = 20;
  bool Transform = false;
  bool ShowResult = false;
  int32_t FWidthArea = 0;
  int32_t FHeightArea = 0;

  // Surface sample per trace; after the median filter; after the moving average
  // (the line shown and used by Transform).
  std::vector<int32_t> SurfaceLine;
  std::vector<int32_t> MedianLine;
  std::vector<int32_t> BloorLine;

  uint8_t GetVersion() const override { return 16; }
  // Remembers the channel, then the run protocol.
  void execute(bool first, int32_t NumberView) override;
  // Frame with format 33, then ApplyGlide, ApplyMedianF, i32 BaseMedianF, i32
  // BaseBloorF, SearchType, i32 BaseHilbertBloor, Transform, ShowResult.
  void SaveToStream(TStream& str) override;
  // Above format 32: caption, Apply and the fields in that order (each held to
  // its dialog range); otherwise nothing.
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  TRect GetPluginArea() override { return {0, 0, FWidthArea, FHeightArea}; }
  // A trace clicked in a chart: the dialog shows the parameters again.
  void AfterChangeNumTrace(int32_t n, int32_t y) override;
  // Only Apply is per channel: there is nothing to copy.
  void SetAllParamAs(int32_t /*NumberView*/) override {}

  // MedianLine from SurfaceLine (median filter when ApplyMedianF, else a copy).
  void MedianFilter();
  // BloorLine from MedianLine (moving average when ApplyGlide, else a copy).
  void BloorFilter();
  // Both smoothings, then the line on channel 0's chart in ns, one point per
  // trace of channel CurrentNumberView.
  void DrowSurfaceLine();

protected:
  TLevelerParam PackParams() const override { return {AExecuting}; }
  void UnpackParams(const TLevelerParam& set) override { AExecuting = set.Apply; }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerSlice, TBreakPolicy::RestoreInput};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TLevelerForm.
  TToolForm* CreateForm() override;

private:
  // Surfaces of traces [first, end) into SurfaceLine (threads write disjoint
  // ranges).
  void SearchSurfaces(const int32_t* in, int longTrace, int64_t first, int64_t end);
  int32_t SurfaceOfTrace(const int32_t* trace, int longTrace, std::vector<int32_t>& scratch) const;

  T2Dview* runView_ = nullptr;
  double runSpanWidth_ = 0;
  std::vector<TPoint> manualNodes_;
};
