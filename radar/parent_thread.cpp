// The packet search of the reader threads and their bounded stop.

#include "radar/parent_thread.h"

#include "platform/serial/timer_resolution.h"
#include "platform/ui/messages.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_link_state.h"
#include "radar/gps_state.h"
#include "radar/radar_messages.h"
#include "radar/tcp_greeting.h"

#include <cmath>
#include <limits>
#include <thread>

namespace {
constexpr int kMaxParsesPerCycle = 11;
constexpr size_t kMinimalPacket = PacketHeaderSize + MinPacketLength;
}  // namespace

TParentThread::TParentThread(TRadar* owner) : TThread(true), FOwner(owner) {
  SetFreeOnTerminate(false);
  if (!FOwner) return;
  FOwner->ClearReceived();
  windows_ = FOwner->Shell().Windows;
  flags_ = FOwner->Shell().Flags;
}

std::recursive_mutex& HandOverLock() {
  static std::recursive_mutex fallback;
  IRadarSetView* set = RadarSetView();
  return set ? set->RadarSect() : fallback;
}

std::condition_variable_any& HandOverSignal() {
  static std::condition_variable_any signal;
  return signal;
}

bool TParentThread::WaitForHandOver(int32_t limitMs, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  std::unique_lock lock(HandOverLock());
  MaxCicle = limitMs;
  // StopReaderThread sets MaxCicle to 0 under the same lock before it notifies, so
  // the wait cannot miss it; a reader already told to stop does not wait at all.
  const bool held =
      HandOverSignal().wait_until(lock, deadline, [&] { return MaxCicle <= 0 || Terminated() || done(); }) && done();
  if (!held) MaxCicle = 0;
  return held;
}

size_t TParentThread::ParseProc() {
  NumCollisionWiFi = 0;
  if (!FOwner) return 0;
  TRadar& radar = *FOwner;
  const std::span<const uint8_t> held = radar.ReceivedBytes();
  const size_t end = held.size();
  // Without a magic the search stops 4 bytes before the end, where a magic may
  // still be arriving.
  const size_t i = FindPacketMagic(held).value_or(end >= 4 ? end - 4 : 0);
  if (end - i <= PacketHeaderSize) return 0;

  const TFrameCheck check = CheckFrame(held.subspan(i));
  switch (check.Status) {
    case fsValid: {
      const size_t removed = i + check.Frame.Size();
      DispatchPacket(check.Frame, i);
      radar.ConsumeReceived(removed);
      return removed;
    }
    case fsBadChecksum:
    case fsBadLength:
      // A length that cannot hold a code and a checksum is as damaged as a wrong
      // checksum: drop through the first magic byte and search again.
      radar.WriteStrToLog(QStringLiteral("::::::::::::::::cs <> cs:::::::::::::::"));
      radar.ConsumeReceived(i + 1);
      return i + 1;
    case fsIncomplete:
      break;
  }
  if (end > 0 && i + PacketHeaderSize < end && StartsWithStreamGreeting(held.subspan(i))) {
    radar.ConsumeReceived(i + TcpGreetingIdLength);
    radar.WriteStrToLog(QStringLiteral("QEL3PTR"));
    return i + TcpGreetingIdLength;
  }
  return 0;
}

void TParentThread::ParseHeldPackets() {
  if (!FOwner) return;
  for (int k = 0; k < kMaxParsesPerCycle; ++k) {
    if (FOwner->ReceivedBytes().size() < kMinimalPacket) break;
    if (ParseProc() == 0) break;
  }
}

bool TParentThread::SilenceStep(bool mayPing) {
  TRadar& radar = *FOwner;
  const bool silent = radar.noDataCounter < 0;
  // Checking for an awaited reply and arming the ping's own wait are one step: a
  // command of the user-interface thread cannot slip in between.
  if (silent && mayPing) radar.SendIfIdle(bcpPing2);
  radar.isConnected = !silent;
  return silent;
}

void TParentThread::TakeNmeaText(const QString& text) {
  TRadar& radar = *FOwner;
  SetLastNmeaSentence(text);
  const TtypeGPSstate before = radar.GPSstate();
  const TGpsStateStep step = NextGpsState(text, radar.LastNMEA(), before, FCounterOn);
  FCounterOn = step.HoldOff;
  radar.SetGPSstate(step.State);
  if (step.State == before) return;
  if (HWND main = windows_ ? windows_->MainWindowHandle() : nullptr) PostMessage(main, WM_GPRSTATUS, 0, 0);
}

namespace {
QString Microseconds(int64_t ns) { return QString::number(std::llround(static_cast<double>(ns) / 1000.0)); }
}  // namespace

void TParentThread::LogTimerResolution() {
  const std::optional<TTimerResolution> r = QueryTimerResolution();
  if (!r || !FOwner) return;
  FOwner->WriteStrToLog(QStringLiteral("MaximumResolution= ") + Microseconds(r->FinestNs) + QStringLiteral(" mkS"));
  FOwner->WriteStrToLog(QStringLiteral("CurrentResolution= ") + Microseconds(r->CurrentNs) + QStringLiteral(" mkS"));
}

void TParentThread::RequestFinestResolution() {
  if (!RequestFinestTimerResolution() || !FOwner) return;
  if (const std::optional<TTimerResolution> r = QueryTimerResolution())
    FOwner->WriteStrToLog(QStringLiteral("CurrentResolution= ") + Microseconds(r->CurrentNs) + QStringLiteral(" mkS"));
}

void TParentThread::SendAck(uint8_t sequence) { FOwner->SendCommand(bcpAckofReceipt, 1, &sequence); }

void TParentThread::AddSumCollision(int32_t extra) {
  const int64_t sum = int64_t{SumCollision} + extra;
  SumCollision = static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
}

bool StopReaderThread(TParentThread& thread, std::chrono::milliseconds limit) {
  thread.Terminate();
  {
    std::lock_guard guard(HandOverLock());
    thread.MaxCicle = 0;
  }
  HandOverSignal().notify_all();
  if (!thread.Started()) return true;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!thread.Finished()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    // A reader handing a trace to the user-interface thread waits for this one.
    if (IsMainThread()) CheckSynchronize();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // Finished is set before the thread's last virtual call (DoTerminate, which does
  // nothing for a reader): the object may be freed only once the thread is done
  // with it.
  thread.WaitFor();
  return true;
}
