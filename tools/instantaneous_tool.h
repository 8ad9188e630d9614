#pragma once
// TInstantaneousTool: the base of the twin tools that replace every trace by its
// instantaneous envelope or its instantaneous frequency (the Hilbert filter and the
// DQ filter). They share the parameter sets (Apply, output type), the chain record,
// the dialog protocol and the reaction to a break; each supplies its kernel.
//
// The output type is one for all channels: the dialog copies it to every set
// (SetAllOutputType) on every change, and a set copied over the others
// (SetAllParamAs) does nothing here. Every redisplay of the live dialog through
// RefreshPropertyes previews.
//
// Threads: the user-interface thread; the kernels run parts of the channel on the
// worker pool, reading the working parameters only.

#include "profiledata/geometry_gpr.h"
#include "tools/tool_base.h"

#include <cstdint>

// The parameter set: two bytes, as the chain records and the settings window
// exchange them.
struct TInstantaneousParam {
  bool Apply = true;
  TOutputType OutputType = otAmplitude;
};
static_assert(sizeof(TInstantaneousParam) == 2);

class TInstantaneousTool : public TToolBase<TInstantaneousParam> {
public:
  static constexpr uint8_t RecordFormat = 33;

  explicit TInstantaneousTool(uint16_t w);

  // otAmplitude: the envelope; otFreq: the instantaneous frequency (GHz x 100000).
  TOutputType OutputType = otAmplitude;
  // The value the Hilbert dialog's frequency label shows; nothing computes it.
  long double FreqInPos = 0;
  // The result goes into the display buffer (always so: no control changes it).
  bool locDisplay = true;
  int32_t FWidthArea = 0;
  int32_t FHeightArea = 0;

  uint8_t GetVersion() const override { return 16; }
  // Widens the channel's progress image to the full panel, then the run protocol.
  void execute(bool first, int32_t NumberView) override;
  // Frame with format 33, then 10 zero bytes (an extended 0) and the output type.
  void SaveToStream(TStream& str) override;
  // Older records: caption, Apply, 40 bytes, an i32 count n and n x 10 bytes passed
  // over; the output type stays.
  void ReadFromStream(TStream& str, int32_t NumberView) override;
  // Format 32: as the older records after the caption and Apply; above 32: 10
  // bytes passed over, then the output type; below 32: nothing more.
  void ReadFromUniStream(TStream& str, int32_t NumberView) override;
  TRect GetPluginArea() override { return {0, 0, FWidthArea, FHeightArea}; }
  // A trace clicked in a chart: the dialog shows the working parameters again.
  void AfterChangeNumTrace(int32_t n, int32_t y) override;
  // Not provided: the output type goes to all sets through SetAllOutputType.
  void SetAllParamAs(int32_t /*NumberView*/) override {}
  // With the dialog live: redisplays and previews (all channels while adding).
  void RefreshPropertyes() override;

  void SetAllOutputType(TOutputType b);

protected:
  TInstantaneousParam PackParams() const override { return {AExecuting, OutputType}; }
  void UnpackParams(const TInstantaneousParam& set) override {
    AExecuting = set.Apply;
    OutputType = set.OutputType;
  }
  // The time window (ns) of the channel being run, taken when the run starts.
  double RunSpanWidth() const { return runSpanWidth_; }

private:
  double runSpanWidth_ = 0;
};

// A stored output type byte: 0 is the envelope, any other value the frequency.
inline TOutputType OutputTypeFromByte(uint8_t b) { return b == 0 ? otAmplitude : otFreq; }
