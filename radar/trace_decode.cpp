// Trace packets on the reader thread, one flow per trace: the frame is decoded once,
// in place, into the radar's LastArray (under SectPaint); the header sets the
// collision counts, the direction and the acknowledgement; then the trace goes to the
// preferences dialog, the settings window's preview or, in one PaintLastTrace call,
// to the recording window, which reads it from LastArray under the same lock.

#include "radar/packet_codes.h"
#include "radar/parent_thread.h"
#include "radar/gps_state.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_link_state.h"
#include "radar/radar_messages.h"
#include "radar/trace_layouts.h"

#include <algorithm>

namespace {

// How long a slave waits for its master's trace of the same position, and a master
// for its slaves to take the previous one.
constexpr int32_t kSlaveWaitMs = 1000;
constexpr int32_t kMasterWaitMs = 300;

// The radar's channel slot in the set (0 when the set does not hold it).
int SlotOf(const TRadar& radar) {
  const IRadarSetView* set = RadarSetView();
  if (!set) return 0;
  for (int slot = 0; slot < 5; ++slot) {
    if (set->SlotRadar(slot) == &radar) return slot;
  }
  return 0;
}

// Posts a trace to the preview of the settings window when it is shown; true when
// it did.
bool PostToSettingsPreview(const IRadarWindows* windows, const TRadar& radar) {
  HWND settings = windows ? windows->SettingsWindowHandle() : nullptr;
  if (!settings || !windows->SettingsWindowVisible()) return false;
  PostMessage(settings, WM_PAINTLASTTRACE, static_cast<WPARAM>(std::max(radar.LengthLastArray.load(), 0)),
              SlotOf(radar));
  return true;
}

// The live views take a trace before any recording: the preferences dialog (which
// shows no slave's traces) or else the settings window's preview. True when one of
// them exists and the trace is theirs.
bool PostToPreviews(const IRadarWindows* windows, const TRadar& radar) {
  if (HWND preferences = windows ? windows->PreferencesDialogHandle() : nullptr) {
    if (radar.ModeRadar() != TRadarRole::slave) PostMessage(preferences, WM_PAINTLASTTRACE, 0, 0);
    return true;
  }
  return PostToSettingsPreview(windows, radar);
}

// The direction a trace is stored in (firmware 5 on): a slave goes the master's way,
// a single radar or a master its own and publishes it for the slaves; a GPS-placed
// recording runs forward whatever the wheel says.
TDirectForCart TraceDirection(const TRadar& radar, TDirectForCart own, const IAcquisitionFlags* flags) {
  TDirectForCart direction = own;
  if (radar.ModeRadar() == TRadarRole::slave) {
    direction = MasterDirection;
  } else {
    MasterDirection = direction;
  }
  if (flags && !flags->SimpleMode() && flags->RadarStarted() && radar.GPSstate() != gpsNone) direction = dForward;
  return direction;
}

// Hands the radar's last trace to the window and keeps what the window reports for
// the radar. Under the radar's SectPaint: the samples are read in place.
TTraceStored StoreInWindow(IRecordingWindow& window, TRadar& radar, int32_t numCollision, TDirectForCart direction,
                           int32_t lost) {
  std::lock_guard guard(radar.SectPaint);
  const TTraceHandOver trace{radar, radar.LastArray, numCollision, direction, lost, radar.LastDirect.load(),
                             radar.LastRecived.load()};
  const TTraceStored stored = window.PaintLastTrace(trace);
  radar.LastDirect = stored.LastDirect;
  radar.LastRecived = stored.LastRecived;
  return stored;
}

}  // namespace

// What both trace layouts report besides the samples: the pulses since the last
// trace (continuous mode counts every trace as one), the accelerometer, the GPS text.
void TParentThread::TakeTraceHeader(TRadar& radar, const TTraceHeader& header) {
  if (radar.CurMode() == cmCont) {
    NumCollision = 1;
    SumCollision = 0;
  } else {
    NumCollision = header.CollisionCount;
    if (header.CollisionCount > 1) AddSumCollision(header.CollisionCount - 1);
  }
  {
    std::lock_guard guard(radar.SectPaint);
    radar.AccelerometerValues = header.Accelerometer;
  }
  TakeNmeaText(header.Nmea);
  radar.SetLastNMEA(header.Nmea.size() > GpsMinSentenceLength ? header.Nmea : QString());
}

void TParentThread::ParceLastTrace(size_t startPos, const TFrame& frame) {
  TRadar& radar = *FOwner;
  const uint16_t firmware = radar.FirmwareVer();
  IRecordingWindow* recording = windows_ ? windows_->RunChild() : nullptr;
  const std::optional<int32_t> longTrace =
      recording ? std::optional<int32_t>(recording->Channel0LongTrace()) : std::nullopt;
  std::optional<TDecodedTrace> trace;
  {
    std::lock_guard guard(radar.SectPaint);
    trace = DecodeTrace66(frame, firmware, longTrace, radar.LastArray);
  }
  if (!trace) return;  // too short for its own header: nothing can be taken from it
  const TTraceHeader& header = trace->Header;

  TakeTraceHeader(radar, header);

  const uint8_t sequence = header.Sequence;
  if (firmware >= 5) {
    FDirectionForCart = TraceDirection(radar, header.Direction, flags_);
    if (!radar.WithoutAck()) SendAck(sequence);
    radar.SetSpeedLimit(header.SpeedLimit);
  }

  if (PostToPreviews(windows_, radar)) {
  } else if (windows_ && windows_->CurrentChildHandle() && windows_->RunActionChecked()) {
    const bool slave = radar.ModeRadar() == TRadarRole::slave;
    if (firmware < 6) {
      // Old firmware: the window stores the trace on its own thread while this one waits.
      Synchronize([this] { PaintLastTrace(); });
    } else if (sequence == numLastTrace) {
      radar.WriteStrToLog(QStringLiteral("numCurTrace = numLastTrace  bcpAckofReceipt: startPos=") +
                          QString::number(startPos) + QStringLiteral(" BlockLength=") +
                          QString::number(frame.Length()));
      if (radar.WithoutAck()) SendAck(sequence);
    } else if (firmware != 18 || NumCollision > 0 || (slave && radar.MainNumCollision > 0)) {
      PaintLastTrace();
    } else if (!slave) {
      NumCollision = 1;
      radar.WriteStrToLog(QStringLiteral(" change NumCollision=1"));
      PaintLastTrace();
    }
  }
  numLastTrace = sequence;
}

void TParentThread::ParceLastTrace3(size_t, const TFrame& frame) {
  TRadar& radar = *FOwner;
  const uint16_t firmware = radar.FirmwareVer();
  std::optional<TDecodedTrace> trace;
  {
    std::lock_guard guard(radar.SectPaint);
    trace = DecodeTrace3(frame, firmware, radar.LastArray);
  }
  if (!trace) return;
  const TTraceHeader& header = trace->Header;
  NumberedTracesArrive = true;

  TakeTraceHeader(radar, header);
  radar.LengthLastArray = trace->SampleCount;

  const uint8_t lowNumber = static_cast<uint8_t>(header.TraceNumber);
  if (firmware > 4) {
    FDirectionForCart = TraceDirection(radar, header.Direction, flags_);
    radar.predNumTraceWiFi = radar.NumTraceWiFi.load();
    radar.NumTraceWiFi = header.TraceNumber;
    NumCollisionWiFi = radar.NumTraceWiFi - radar.predNumTraceWiFi - 1;
    if (NumCollisionWiFi > 0) WiFiTracesLost = true;
    if (!radar.WithoutAck()) SendAck(lowNumber);
  }

  if (PostToPreviews(windows_, radar)) {
  } else if (windows_ && windows_->CurrentChildHandle() && lowNumber != numLastTrace) {
    PaintLastTrace();
  }
  numLastTrace = lowNumber;
}

void TParentThread::PaintLastTrace() {
  TRadar& radar = *FOwner;
  std::recursive_mutex& sect = HandOverLock();
  {
    std::lock_guard guard(sect);
    FRunPaintLastTrace = true;
  }
  IRecordingWindow* recording = windows_ ? windows_->RunChild() : nullptr;
  auto recordingOn = [&] { return recording && windows_->CurrentChildHandle() && windows_->RunActionChecked(); };

  if (recording && radar.ModeRadar() == TRadarRole::slave) {
    // The master releases this position once it has stored its own trace of it.
    WaitForHandOver(kSlaveWaitMs, [&radar] { return radar.FRun.load(); });
    if (radar.FRun && recordingOn()) {
      const TTraceStored stored =
          StoreInWindow(*recording, radar, radar.MainNumCollision, radar.MainDirection, NumCollisionWiFi);
      radar.MainDirection = stored.Direction;
      NumCollisionWiFi = stored.NumCollisionWiFi;
      radar.MainNumCollision = 1;
    }
    {
      std::lock_guard guard(sect);
      radar.FRun = false;
    }
    HandOverSignal().notify_all();
  } else if (recording) {
    const bool master = radar.ModeRadar() == TRadarRole::master;
    IRadarSetView* set = RadarSetView();
    bool slavesLate = false;
    bool handingOver = true;
    if (master) {
      handingOver = !MasterHandOverRunning.exchange(true);
      if (handingOver && set) {
        WaitForHandOver(kMasterWaitMs, [set] { return set->isSlaveRunEnded(); });
        slavesLate = !set->isSlaveRunEnded();
      }
    }
    if (handingOver) {
      // The master's trace of a position is stored before its slaves' traces.
      if (recordingOn()) {
        const TTraceStored stored = StoreInWindow(*recording, radar, NumCollision, FDirectionForCart, NumCollisionWiFi);
        FDirectionForCart = stored.Direction;
        NumCollisionWiFi = stored.NumCollisionWiFi;
      }
      if (master && set) {
        for (int slot = 0; slot < 5; ++slot) {
          TRadar* slave = set->SlotRadar(slot);
          if (!slave || slave == &radar || slave->ModeRadar() != TRadarRole::slave) continue;
          TParentThread* slaveThread = slave->GetCommThread();
          slave->MainNumCollision = NumCollision.load();
          if (slaveThread) slaveThread->SumCollision = SumCollision.load();
          slave->MainDirection = FDirectionForCart.load();
          slave->SetLastNMEA(radar.LastNMEA());
          bool runFromHere = false;
          {
            std::lock_guard guard(sect);
            slave->FRun = true;
            runFromHere = slavesLate && slaveThread && !slaveThread->FRunPaintLastTrace;
          }
          // The slave's reader is late: its hand-over runs on this thread (the
          // slaves released so far are woken first).
          if (runFromHere) {
            HandOverSignal().notify_all();
            slaveThread->PaintLastTrace();
          }
        }
        // One wake-up for the released slaves together.
        HandOverSignal().notify_all();
      }
      if (master) MasterHandOverRunning = false;
    }
  }
  std::lock_guard guard(sect);
  FRunPaintLastTrace = false;
}
