#include "radar/flow_control.h"

#include <algorithm>

namespace {
constexpr int32_t kBusyFill = 36000;   // bytes waiting above which the steps grow
constexpr int32_t kRestartDrop = -60000;
constexpr int32_t kNearlyEmpty = 10;
}  // namespace

TFlowControlStep FlowControlStep(const TFlowControlInput& in) {
  int64_t growth = int64_t{in.Fill} - in.PreviousFill;
  if (growth < kRestartDrop) growth = 0;
  double q = 0;
  const int64_t perPacket = 2 * int64_t{in.LengthLastArray} - 130;
  if (in.OverStep > 0 && perPacket > 0) q = static_cast<double>(growth) / static_cast<double>(perPacket);

  const int d = in.Delay;
  const int own = in.OwnDelay;
  const bool busy = in.Fill > kBusyFill;
  TFlowControlStep out;
  int s = 0;
  if (q >= 1 && q < 2) {
    s = std::min(busy ? 4 : 1, 126);
    if (d + s > 255) s = 255 - d;
    out.RecordBufferEnd = true;
    out.Send = true;
  } else if (q >= 2) {
    s = std::min(busy ? 20 : 4, 127);
    if (d + s > 255) s = 255 - d;
    out.Send = true;
  } else if (q <= -1) {
    s = q > -2 ? -1 : -4;
    if (own > d + s) s = own - d;
    s = std::max(s, -127);
    out.Send = true;
  } else if (in.Fill < kNearlyEmpty && d > own) {
    // The step is a signed byte: a delay far above the unit's own comes down in
    // steps of at most 127.
    s = std::max(own - d, -127);
    out.Send = true;
  }
  out.Step = static_cast<int8_t>(s);
  out.NewDelay = static_cast<uint8_t>(d + s);
  return out;
}
