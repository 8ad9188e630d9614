#pragma once
// TGenTestTool: the test-signal generator. A channel becomes a synthetic
// radargram: its input scaled by MultInputSignal per cent, uniform noise
// 0 .. SetRandom - 1 added, and the diffraction hyperbolas of two point
// reflectors written over it (hyperbola 2 where both fall on a sample; the
// formulas are in gen_test_kernel.h).
//
// The sets hold Apply and the ten integers; the half-widths, the antenna spacing
// and the noise seed are one value for the whole tool (the seed gives the same
// noise on every run; a new tool takes a fresh one). A break keeps the traces
// generated so far (the common protocol).
//
// Threads: the user-interface thread; the traces run on the worker pool.

#include "tools/imaging/gen_test_kernel.h"
#include "tools/tool_base.h"

#include <cstdint>

class T2Dview;

struct TGenTestParam {
  bool Apply = true;
  int32_t MultInputSignal = 0;
  int32_t SetRandom = 0;
  int32_t X1 = 0;
  int32_t Y1 = 0;
  int32_t X2 = 0;
  int32_t Y2 = 0;
  int32_t TopAmp1 = 0;
  int32_t TopAmp2 = 0;
  int32_t DecAmpPercent1 = 0;
  int32_t DecAmpPercent2 = 0;
};

class TGenTestTool : public TToolBase<TGenTestParam> {
public:
  static constexpr uint8_t RecordFormat = 33;

  explicit TGenTestTool(uint16_t w = 0);

  int32_t MultInputSignal = 100;
  int32_t SetRandom = 0;
  int32_t X1 = 100;
  int32_t Y1 = 150;
  int32_t X2 = 200;
  int32_t Y2 = 100;
  int32_t TopAmp1 = 1000;
  int32_t TopAmp2 = 2000;
  int32_t DecAmpPercent1 = 5;
  int32_t DecAmpPercent2 = 5;
  int32_t SizeParabol1 = 50;
  int32_t SizeParabol2 = 40;
  long double DistanceRecept = 0.32L;
  // Set at every run from the channel's settings.
  long double GridStepSectX = 0;
  long double GridStepSectY = 0;
  // The noise generator's seed.
  uint64_t RandomSeed = 0;

  uint8_t GetVersion() const override { return 16; }
  // The grid steps from the channel's settings, then the run protocol.
  void execute(bool first, int32_t NumberView) override;
  void SaveToStream(TStream& str) override;
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  // While adding, the antenna spacing of the dialog's channel's unit first.
  int SetPropertyes(bool adding) override;

  // Adds one hyperbola to the run's points (gen_test_kernel.h).
  void AddParabola(TGridSectPoint& points, int32_t X, int32_t Y, int32_t A, int32_t D, int32_t S) const;

protected:
  TGenTestParam PackParams() const override {
    return {AExecuting, MultInputSignal, SetRandom, X1, Y1, X2, Y2, TopAmp1, TopAmp2, DecAmpPercent1, DecAmpPercent2};
  }
  void UnpackParams(const TGenTestParam& set) override;
  TRunPolicy RunPolicy() const override {
    return {TKernelKind::WholeChannel, TYieldPolicy::PerSlice, TBreakPolicy::KeepProcessed};
  }
  int64_t ProcessChannel(const int32_t* in, int32_t* out, int64_t traces, int longTrace, TRunYield& yield) override;
  // TGenTestForm.
  TToolForm* CreateForm() override;

private:
  // The run's channel.
  int32_t runNullShift_ = 0;
  int64_t runTraces_ = 0;
  int32_t runLongTrace_ = 0;
};
