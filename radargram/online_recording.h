#pragma once
// How a recording window stores one decoded trace in a channel store: the
// direction the channel goes by, the collision count, the traces lost on Wi-Fi,
// forward and backward growth of the profile, and traces over ground already
// recorded that are dropped. Without the window, so that it runs and is tested
// without a screen.
//
// Threads: the radar's reader thread (the user-interface thread for old
// firmware) under the radar's SectPaint, the lock the painter copies traces
// under. The store's range moves only after a trace's buffer is complete.

#include "profiledata/gpr_constants.h"
#include "profiledata/inclinometer_table.h"

#include <cstdint>
#include <span>

class T2Dview;
class TSettingData;

namespace online_recording {

// The largest trace the online display handles: the work buffers' length.
inline constexpr int32_t WorkSamples = 1024;

// The channel places its traces by distance (its topography type is neither
// ttNil nor ttGPS).
bool IsDistanceTopoType(TTopoType type);

// The direction byte as the channel goes: inverted for a distance channel whose
// Direction is back.
TDirectForCart ChannelDirection(const TSettingData& settings, TDirectForCart direction);

struct TTraceIn {
  // The radar's last trace; at most WorkSamples of it (and at most LongTrace)
  // are stored, the rest of a longer channel trace is zero.
  std::span<const int32_t> Samples;
  // The radar's accelerometer reading of the trace.
  TInclRecord Record;
  // Positions the trace stands for (0 counts as 1).
  int32_t NumCollision = 1;
  // Direction as the channel goes (ChannelDirection).
  TDirectForCart Direction = dForward;
  // Traces lost on Wi-Fi just before this one; each becomes a zero trace.
  int32_t NumCollisionWiFi = 0;
};

struct TTraceOut {
  // Traces stored (lost ones included).
  int32_t Stored = 0;
  // A step-mode recording has its one step: it ends.
  bool StepEnded = false;
  // Repeated traces at an end of the profile: the device moved faster than it
  // measured.
  bool PlayBOOM = false;
  // The trace index range ended or memory ran out: the recording must stop;
  // what was stored before stays.
  bool RangeEnded = false;
  bool OutOfMemory = false;
};

// Stores the trace at the store's position (PosTraces moves by the collision
// count): past MaxNumTraces forward, before MinNumTraces backward, nothing
// inside the stored range. Clears FirstTrace. The unsaved-changes and
// recording-started flags are the caller's to set (on the user-interface
// thread) when something was stored.
TTraceOut StoreTrace(T2Dview& store, const TTraceIn& trace);

}  // namespace online_recording
