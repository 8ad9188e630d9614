#pragma once
// TParentThread: the reader thread of one radar, with the packet parser that both
// transports share. The subclasses (TCommThread for a serial radar, TWiFiThread for
// a TCP radar) read the port into the radar's receive buffer and call ParseProc.
//
// Threads and locks:
// - ParseProc and everything it calls run on this reader thread: the receive
//   buffer is parsed and consumed here without SectCom (only this thread changes
//   it), decoded traces are stored under the radar's SectPaint, and the
//   master/slave-mode reply is handled under SectParse.
// - The hand-over of a trace calls the recording window once per trace, with the
//   radar's SectPaint held so that the window reads LastArray in place: on this
//   thread, or, for firmware below 6, on the user-interface thread through
//   Synchronize while this thread waits. A master may also run a slave's hand-over
//   on its own thread when the slave's reader is late; RadarSect of the radar set
//   guards FRun and FRunPaintLastTrace for that.
// - Messages to windows are only posted.
// - Fields read by other threads (the radar's Get...Collision, the master) are
//   atomic; the rest belongs to the reader.
//
// Stopping: Terminate() ends the loop within one cycle; MaxCicle := 0 ends a
// hand-over that waits for a master or a slave. The owner waits for the end with
// StopReaderThread (bounded).

#include "platform/ui/threads.h"
#include "profiledata/gpr_constants.h"
#include "radar/packet.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

class IAcquisitionFlags;
class IRadarWindows;
class TRadar;
struct TTraceHeader;

class TParentThread : public TThread {
public:
  // Created suspended; the transport starts it once its own fields are set.
  explicit TParentThread(TRadar* owner);

  TRadar* Owner() const { return FOwner; }

  // Parses at most one packet from the start of the owner's receive buffer; returns
  // the bytes it removed (0: nothing complete yet).
  size_t ParseProc();
  // Up to 11 ParseProc calls while a whole packet may be held (8 bytes or more) and
  // the previous call made progress: a burst is drained without waiting for the
  // next read, and a short reply left behind a burst is not kept waiting.
  void ParseHeldPackets();
  // The silence rule of both readers: while the owner's noDataCounter is negative the
  // radar counts as not connected and, when mayPing, is pinged unless a reply is
  // awaited. True while silent.
  bool SilenceStep(bool mayPing);

  // The hand-over of the decoded trace to the recording window (master, slave or
  // single radar). Reader thread, or the user-interface thread for firmware below 6,
  // or a master's reader for a late slave.
  void PaintLastTrace();

  std::atomic<int32_t> MaxCicle{0};
  std::atomic<int32_t> NumCollision{0};
  std::atomic<int32_t> SumCollision{0};
  std::atomic<int32_t> NumCollisionWiFi{0};
  std::atomic<TDirectForCart> FDirectionForCart{dForward};
  std::atomic<uint8_t> numLastTrace{0};
  std::atomic<int32_t> FCounterOn{0};
  std::atomic<bool> FRunPaintLastTrace{false};

protected:
  // The reply handlers hand packets on to the decoders below.
  friend struct TReplyHandlers;

  // Reply and report effects (reply_dispatch.cpp): the handler of the packet's code.
  void DispatchPacket(const TFrame& frame, size_t startPos);
  void ParceWifiSettingsResponce(const TFrame& frame);
  // Trace packets 0x66 and 0xDA (trace_decode.cpp).
  void ParceLastTrace(size_t startPos, const TFrame& frame);
  void ParceLastTrace3(size_t startPos, const TFrame& frame);
  // Collision counts, accelerometer and GPS text of a decoded trace header.
  void TakeTraceHeader(TRadar& radar, const TTraceHeader& header);
  // The unit-wide last sentence and the GPS state from a reported NMEA text.
  void TakeNmeaText(const QString& text);
  void SendAck(uint8_t sequence);
  // SumCollision += extra, saturating.
  void AddSumCollision(int32_t extra);
  // The master/slave waits of the hand-over: waits under the hand-over lock until
  // done() holds, at most limitMs; MaxCicle := 0 (under the lock, then a notify)
  // ends it early. Woken by HandOverSignal, so a set of radars moves on as soon as
  // a flag changes instead of at the next poll. True when done() held.
  bool WaitForHandOver(int32_t limitMs, const std::function<bool()>& done);

  // The reader's sleep granularity: logged by the constructors, refined by the
  // reader itself (the setting is per thread) when it starts.
  void LogTimerResolution();
  void RequestFinestResolution();

  TRadar* FOwner;
  // The main window's parts a reader asks on every trace (any thread), taken from the
  // owner: nullptr without a main window.
  IRadarWindows* windows_ = nullptr;
  IAcquisitionFlags* flags_ = nullptr;
};

// The hand-over lock: the radar set's RadarSect, or a process-wide one without a set.
std::recursive_mutex& HandOverLock();
// Notified (notify_all) after a slave's FRun changed under HandOverLock and when a
// reader is told to stop: the waits of the hand-over end on it.
std::condition_variable_any& HandOverSignal();

// Asks the reader to stop (Terminate, MaxCicle := 0) and waits for its end at most
// limit, serving the user-interface thread's calls meanwhile (a reader may wait in
// Synchronize). True when it ended; the caller may then free it.
bool StopReaderThread(TParentThread& thread, std::chrono::milliseconds limit);
inline constexpr std::chrono::milliseconds ReaderStopLimit{10000};
