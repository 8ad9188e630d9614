#pragma once
// TObjDetectTool: the object detector ("shine points"). Every strict local
// extremum of a trace is a bright point; the ellipses of reflector positions of
// bright points of different traces are intersected and counted per trace and
// sample, and the cells above CountVisibleCrossSignal per cent of the largest
// count replace the channel as bright samples. Other modes mark the bright points,
// draw circles or two chosen ellipses (obj_detect_kernel.h has the formulas).
//
// The sets hold Apply, DistanceTR, WaveSpeed, WaveSpeedAir and
// CountVisibleCrossSignal; UseAmpl, PntVisual, the chosen points and MultGrid
// are one value for the whole tool and are not stored. nMin / nMax keep the
// values of the last run.
//
// The run has no progress display, no yield and no break. Threads: the
// user-interface thread; the pairs run on the worker pool with the same counts
// for any thread count.

#include "tools/imaging/obj_detect_kernel.h"
#include "tools/tool_base.h"

#include <cstdint>

struct TObjDetectParam {
  bool Apply = true;
  long double DistanceTR = 0;
  int32_t WaveSpeed = 0;
  int32_t WaveSpeedAir = 0;
  int32_t CountVisibleCrossSignal = 0;
};

class TObjDetectTool : public TToolBase<TObjDetectParam> {
public:
  static constexpr uint8_t RecordFormat = 33;

  explicit TObjDetectTool(uint16_t w = 0);

  // In the sets.
  long double DistanceTR = 0.2L;
  int32_t WaveSpeed = 150;
  int32_t WaveSpeedAir = 290;
  int32_t CountVisibleCrossSignal = 30;
  // Tool-wide.
  bool UseAmpl = false;
  int32_t PntVisual = 0;
  long double XElipse = 9.4L;
  long double YElipse = 2.87L;
  long double X2Elipse = 10.76L;
  long double Y2Elipse = 3.18L;
  int32_t MultGrid = 1;
  // Of the last run.
  int32_t nMin = 1000000;
  int32_t nMax = -1000000;
  long double GridStepSectX = 0;
  long double GridStepSectY = 0;

  uint8_t GetVersion() const override { return 16; }
  // The grid steps from the channel's settings, then the run protocol.
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // While adding, WaveSpeed of every set := channel 0's SpeedLight.
  int SetPropertyes(bool adding) override;

protected:
  TObjDetectParam PackParams() const override {
    return {AExecuting, DistanceTR, WaveSpeed, WaveSpeedAir, CountVisibleCrossSignal};
  }
  void UnpackParams(const TObjDetectParam& set) override {
    AExecuting = set.Apply;
    DistanceTR = set.DistanceTR;
    WaveSpeed = set.WaveSpeed;
    WaveSpeedAir = set.WaveSpeedAir;
    CountVisibleCrossSignal = set.CountVisibleCrossSignal;
  }
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::None, TBreakPolicy::NoBreak};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TObjDetectForm.
  TToolForm* CreateForm() override;

private:
  TObjDetectGeometry run_;
};
