#include "radargram/online_recording.h"

#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"

#include <algorithm>
#include <array>
#include <new>

namespace online_recording {

bool IsDistanceTopoType(TTopoType type) { return type != ttNil && type != ttGPS; }

TDirectForCart ChannelDirection(const TSettingData& settings, TDirectForCart direction) {
  if (IsDistanceTopoType(settings.GetTopoType()) && settings.GetDirection() == back)
    return direction == dForward ? dBackward : dForward;
  return direction;
}

namespace {

// Stores count copies of samples (nullptr: zero traces) at the growing end.
// False when the index range ended.
bool StoreCopies(T2Dview& store, bool forward, const int32_t* samples, int32_t length, const TInclRecord& record,
                 int64_t count, TTraceOut& out) {
  for (int64_t k = 0; k < count; ++k) {
    const bool stored = forward ? store.AppendTrace(samples, length, record) : store.PrependTrace(samples, length, record);
    if (!stored) return false;
    ++out.Stored;
  }
  return true;
}

}  // namespace

TTraceOut StoreTrace(T2Dview& store, const TTraceIn& trace) {
  TTraceOut out;
  TSettingData& settings = *store.Settings();
  int64_t n = trace.NumCollision;
  // FirstTrace is cleared whatever the mode.
  const bool first = store.FirstTrace.exchange(false);
  if (n <= 0 || settings.GetRunMode() != rmWheel || first) n = 1;
  const int64_t lost = std::max<int32_t>(trace.NumCollisionWiFi, 0);
  const bool forward = trace.Direction == dForward;

  int64_t pos = store.PosTraces() + (forward ? n : -n);
  store.SetPosTraces(pos);
  const bool outside = forward ? pos > store.MaxNumTraces() : pos < store.MinNumTraces();
  if (outside) {
    // The work buffer: never more than the online display handles, whatever the
    // channel's LongTrace says.
    std::array<int32_t, WorkSamples> work{};
    const int32_t length = static_cast<int32_t>(
        std::min<int64_t>({static_cast<int64_t>(trace.Samples.size()), int64_t{WorkSamples},
                           std::max<int64_t>(settings.GetLongTrace(), 0)}));
    std::copy_n(trace.Samples.begin(), length, work.begin());
    try {
      if (!StoreCopies(store, forward, nullptr, 0, TInclRecord{}, lost, out)) {
        out.RangeEnded = true;
      } else {
        pos += forward ? lost : -lost;
        store.SetPosTraces(pos);
        if (!StoreCopies(store, forward, work.data(), length, trace.Record, n, out)) out.RangeEnded = true;
      }
    } catch (const std::bad_alloc&) {
      out.RangeEnded = true;
      out.OutOfMemory = true;
    }
    if (out.RangeEnded) {
      // The position stays at the end of what was stored.
      store.SetPosTraces(forward ? store.MaxNumTraces() : store.MinNumTraces());
    }
    if (settings.GetRunMode() == rmStep) out.StepEnded = true;
  }
  pos = store.PosTraces();
  if (n > 1 && (pos >= store.MaxNumTraces() || pos <= store.MinNumTraces())) out.PlayBOOM = true;
  return out;
}

}  // namespace online_recording
