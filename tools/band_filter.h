#pragma once
// TBandFilter: a second-order resonator over every trace, as a band pass that
// keeps the frequencies around omega0 or a band stop that removes them, Range
// times in a row (the recurrences are in frequency_filter_kernels.h).
//
// tau is the resonator's time constant (0 counts as 0.005 us); the bandwidth is
// 2 / tau and the quality omega0 tau / 2, so a new frequency keeps the bandwidth
// and changes the quality shown.

#include "tools/frequency_filter_tool.h"
#include "tools/tool_base.h"

#include <cstdint>

enum TTypeBandFilter : uint8_t { BandPassFilter = 0, BandStopFilter = 1 };

// A channel's parameter set. Range is not part of it: one pass count serves all
// channels.
struct TBandFilterParam {
  bool Apply = false;
  uint8_t Type = BandPassFilter;
  int32_t Frequency = 0;  // MHz
  int32_t Quality = 0;
  long double Omega0 = 0;  // rad/us
  long double Tau = 0;     // us
  int32_t MinFr = 0;
  int32_t MaxFr = 0;
};

class TBandFilter : public TToolBase<TBandFilterParam, TFrequencyFilterTool> {
public:
  explicit TBandFilter(uint16_t w = 0);

  uint8_t GetVersion() const override { return 16; }

  TTypeBandFilter TypeFilter() const { return static_cast<TTypeBandFilter>(ATypeFilter); }
  void SetTypeFilter(TTypeBandFilter value) { ATypeFilter = value; }
  // tau in use: 0.005 when ATau is 0.
  long double Tau() const { return ATau == 0 ? 0.005L : ATau; }
  // nearest(omega0 tau / 2); writing Q sets tau := 2Q / omega0 (2Q / 300 when
  // omega0 <= 0).
  int32_t Quality() const;
  void SetQuality(int32_t Q);

  // The channel's set; omega0 and tau exactly as stored. Then the spectrum lines
  // for that channel.
  void GetParam(int32_t NumberView) override;
  // Apply and type (only these) of that channel's set to the other four.
  void SetAllParamAs(int32_t NumberView) override;
  // The defaults; then for channel 4 down to 0 the antenna's frequency with
  // quality 1 as the channel's set; then channel 0's set.
  void ToolInit() override;

protected:
  TBandFilterParam PackParams() const override;
  void UnpackParams(const TBandFilterParam& set) override;
  void FilterTraces(int32_t* traces, int count, int n, long double dt) const override;
  // The band pass once, whatever the type and the pass count.
  void FilterResponse(int32_t* trace, int n, long double dt) const override;
  bool NegatedResponse() const override { return TypeFilter() == BandStopFilter; }
  bool BreakBetweenTraces() const override { return false; }
  bool ValidType(uint8_t type) const override { return type <= BandStopFilter; }
  TToolForm* CreateForm() override;

private:
  void Defaults();
};
