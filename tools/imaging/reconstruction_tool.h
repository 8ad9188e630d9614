#pragma once
// TReconstructionTool: the run protocol with what the reconstruction tools (real
// view, grid view, time grid) share as tools: the field block of their
// parameters, the sets made alike, and the frame of a parameter scan on the
// input of the tool's last run. The tools put their sets on top of it
// (TToolBase<TSet, TReconstructionTool>).

#include "tools/imaging/reconstruction_params.h"
#include "tools/tool_protocol.h"

#include <cstdint>
#include <functional>

class T2Dview;

class TReconstructionTool : public TToolProtocol, public TReconstructionFields {
public:
  // defaults: the tool's creation values.
  TReconstructionTool(uint16_t w, const TReconstructionFields& defaults)
      : TToolProtocol(w), TReconstructionFields(defaults) {}

  // Every set := channel 0's, the working parameters saved into it first.
  void SaveParamsAll();

protected:
  // The scan on channel 0's saved input, `input` of `traces` traces of
  // `longTrace` samples, shown in `view`.
  using TScan = std::function<void(T2Dview& view, const int32_t* input, int64_t traces, int longTrace)>;
  // The frame of a parameter scan: channel 0's set saved and taken, the run begun.
  // The scan works on the input of the tool's last run; without one of the
  // channel's size nothing else happens (the run just ends). With Apply off,
  // fewer than minTraces traces or `usable` false, the channel shows the input;
  // else `scan` runs and the channel shows the input afterwards, also when the
  // scan throws (which goes on to the caller). The live dialog then shows the
  // dialog's set; the run ends with the close or delete asked for meanwhile.
  void ScanSavedInput(int64_t minTraces, const std::function<bool()>& usable, const TScan& scan);
};
