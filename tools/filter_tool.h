#pragma once
// TFilter: a first-order recursive low-pass or high-pass filter over every
// trace, Range times in a row, with the corner of each pass moved by sqrt(Range)
// (up for the low pass, down for the high pass) so that the cascade keeps its
// corner near the set frequency:
//   low pass  c = 1 / (sqrt(R) omega0 dt),  high pass  c = sqrt(R) / (dt omega0)
// (the recurrences are in frequency_filter_kernels.h). omega0 in force is always
// 2 pi times a whole number of MHz. The tool never computes with ATau; it only
// carries it through its record.

#include "tools/frequency_filter_tool.h"
#include "tools/tool_base.h"

#include <cstdint>

enum TTypeFilter : uint8_t { HighPassFilter = 0, LowPassFilter = 1 };

// A channel's parameter set; only the low byte of Range is used.
struct TFilterParam {
  bool Apply = false;
  uint8_t Type = HighPassFilter;
  int32_t Frequency = 0;  // MHz
  int32_t Range = 0;
  long double Omega0 = 0;  // rad/us
  int32_t MinFr = 0;
  int32_t MaxFr = 0;
};

class TFilter : public TToolBase<TFilterParam, TFrequencyFilterTool> {
public:
  // The frequency a record without one (omega0 0) loads with, MHz.
  static constexpr int32_t DefaultFrequency = 250;

  explicit TFilter(uint16_t w = 0);

  uint8_t GetVersion() const override { return 16; }

  TTypeFilter TypeFilter() const { return static_cast<TTypeFilter>(ATypeFilter); }
  void SetTypeFilter(TTypeFilter value) { ATypeFilter = value; }
  // The coefficient c of one pass for sample interval dt (us).
  long double Coefficient(long double dt) const;

  // The channel's set, omega0 snapped to its whole frequency; then the spectrum
  // lines for that channel.
  void GetParam(int32_t NumberView) override;
  // Apply and type (only these) of that channel's set to the other four.
  void SetAllParamAs(int32_t NumberView) override;
  // The defaults; then for channel 4 down to 0 the antenna's frequency as the
  // channel's set; then channel 0's set.
  void ToolInit() override;

protected:
  TFilterParam PackParams() const override;
  void UnpackParams(const TFilterParam& set) override;
  void FilterTraces(int32_t* traces, int count, int n, long double dt) const override;
  // The tool's own recurrence, Range times.
  void FilterResponse(int32_t* trace, int n, long double dt) const override { FilterTraces(trace, 1, n, dt); }
  bool BreakBetweenTraces() const override { return true; }
  bool ValidType(uint8_t type) const override { return type <= LowPassFilter; }
  // omega0 0 (a record without a frequency) := 2 pi x 250.
  void AfterRecordRead() override;
  // The spectra are those of the current channel's set.
  void BeforeSpectrum() override { GetParam(CurrentNumberView); }
  TToolForm* CreateForm() override;

private:
  void Defaults();
};
