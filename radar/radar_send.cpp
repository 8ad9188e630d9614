// Sending commands: the reply wait, the reply timer and its expiry.

#include "radar/radar.h"

#include "platform/ui/application.h"
#include "radar/packet_codes.h"
#include "radar/radar_hooks.h"
#include "radar/radar_link_state.h"
#include "radar/reply_timers.h"

#include <thread>

bool TRadar::WaitForReply() {
  const std::shared_ptr<const std::atomic<bool>> alive = alive_;
  // Served messages may destroy the radar: look at the token before touching it.
  while (*alive && TimerId != 0 && !NeedBreak) {
    if (IsMainThread() && Application) {
      Application->ProcessMessages();
    } else {
      std::this_thread::yield();
    }
  }
  return *alive;
}

TRadar::TArmResult TRadar::ArmReplyTimer(uint32_t elapseMs, uint8_t code) {
  std::lock_guard guard(timerLock_);
  if (TimerId != 0) return arBusy;
  const uint32_t id = StartReplyTimer(elapseMs, [](uint32_t timerId) { RadarTimerProc(timerId); });
  if (id == 0) return arNoTimer;
  curCmd = code;
  TimerId = id;
  return arArmed;
}

TRadar::TReplyClaim TRadar::ClaimReplyWait(uint8_t code, bool waitForIdle) {
  for (;;) {
    if (waitForIdle && !WaitForReply()) return rcGone;
    if (NeedBreak) return rcUnarmed;
    switch (ArmReplyTimer(ReplyTimeoutMs, code)) {
      case arArmed: return rcArmed;
      case arNoTimer: return rcUnarmed;  // nobody could end the wait: the command goes without one
      case arBusy:
        // Another sender armed between the wait and this step: its reply comes first.
        if (!waitForIdle) return rcBusy;
        break;
    }
  }
}

void TRadar::CancelReplyWait() {
  std::lock_guard guard(timerLock_);
  if (TimerId == 0) return;
  StopReplyTimer(TimerId);
  TimerId = 0;
}

TReplyWaitEnd TRadar::EndReplyWait(uint8_t replyCode) {
  uint32_t id = 0;
  const TReplyWaitEnd end = StopReplyTimerFor(replyCode, true, &id);
  if (end == rwEnded) ReleaseReplyWait(id);
  return end;
}

TReplyWaitEnd TRadar::StopReplyTimerFor(uint8_t replyCode, bool timerMustRun, uint32_t* stoppedId) {
  std::lock_guard guard(timerLock_);
  const uint32_t id = TimerId;
  if (stoppedId) *stoppedId = id;
  if (static_cast<uint8_t>(curCmd + 1) != replyCode || !ReplyEndsWait(replyCode)) return rwOtherCommand;
  if (id == 0) return timerMustRun ? rwOtherCommand : rwTimerNotStopped;
  return StopReplyTimer(id) ? rwEnded : rwTimerNotStopped;
}

void TRadar::ReleaseReplyWait(uint32_t id) {
  std::lock_guard guard(timerLock_);
  if (TimerId == id) TimerId = 0;
}

void TRadar::ReplyTimedOut(uint32_t id) {
  const uint8_t command = curCmd;
  WriteStrToLog(QStringLiteral("%1\t Not received request #%2 %1").arg(id).arg(GetCommandName(command)));
  if (command == bcpGetMSmode) {
    // No answer to the mode query: the radar works alone.
    SetModeRadar(TRadarRole::single);
    NewViewChannalCount = 1;
    WriteStrToLog(QStringLiteral("ModeRadar=%1").arg(static_cast<int>(ModeRadar())));
  } else if (command == bcpGetMasterSlaveStt) {
    // No answer to the channel query: the radar numbers itself.
    const uint8_t channel = AutoNumChannalRadar.fetch_add(1);
    SetNumChannalRadar(channel);
    if (shell_.Flags) shell_.Flags->SetCountRadarFromMaster(static_cast<uint8_t>(channel + 1));
    SetCountRadarInArray(1);
    SetXshift(0);
    SetYshift(0);
    SetZeroOffset(0);
    WriteStrToLog(QStringLiteral("Auto NumChannalRadar=%1").arg(channel));
  }
  std::lock_guard guard(timerLock_);
  if (TimerId == id) TimerId = 0;
}

void RadarTimerProc(uint32_t id) {
  const IRadarSetView* set = RadarSetView();
  const TRadar* first = set ? set->SlotRadar(0) : nullptr;
  if (!StopReplyTimer(id)) {
    if (first) first->WriteStrToLog(QStringLiteral("Can not kill timer %1").arg(id));
    return;
  }
  TRadar* radar = FindRadarByTimerId(id);
  if (!radar) {
    // The radar went, or it gave the reply up (a failed write): nobody waits for this
    // timer, and the radar in slot 0 may well wait for its own.
    if (first) first->WriteStrToLog(QStringLiteral("No responsible timer %1").arg(id));
    return;
  }
  radar->ReplyTimedOut(id);
}

std::optional<std::vector<uint8_t>> TRadar::BuildCommandPacket(uint8_t code, uint8_t sizeParam, const void* param) {
  TPacketWriter packet(code);
  switch (code) {
    case bcpLoadData: LoadDataBlock(packet); break;
    case bcpLoad_Steck_Curve: LoadSteckingCurve(packet); break;
    case bcpLoadFileHeader: LoadFileHeader(packet); break;
    default: break;
  }
  AppendCommandParams(packet, sizeParam, param);
  // A settings container near 64 KiB would overflow the 16-bit length.
  std::optional<std::vector<uint8_t>> bytes = packet.Finish();
  if (!bytes) WriteStrToLog(QStringLiteral("Packet too long, not sent: ") + GetCommandName(code));
  return bytes;
}

namespace {

// Frames the command and hands it to the transport, after its reply wait was
// claimed (armed: a timer runs for it).
bool FrameAndQueue(TRadar& radar, uint8_t code, uint8_t sizeParam, const void* param, bool armed) {
  const std::optional<std::vector<uint8_t>> packet = radar.BuildCommandPacket(code, sizeParam, param);
  if (!packet) {
    // Nothing goes out, so no reply will come.
    if (armed) radar.CancelReplyWait();
    return false;
  }
  radar.QueuePacket(*packet);
  return true;
}

}  // namespace

bool BuildAndSendPacket(uint8_t code, uint8_t sizeParam, const void* param, TRadar& radar) {
  if (IsNoWaitCode(code)) return FrameAndQueue(radar, code, sizeParam, param, false);
  const TRadar::TReplyClaim claim = radar.ClaimReplyWait(code, true);
  if (claim == TRadar::rcGone) return false;
  return FrameAndQueue(radar, code, sizeParam, param, claim == TRadar::rcArmed);
}

bool TRadar::SendIfIdle(uint8_t code) {
  const TReplyClaim claim = ClaimReplyWait(code, false);
  if (claim == rcBusy) return false;
  return FrameAndQueue(*this, code, 0, nullptr, claim == rcArmed);
}

void TRadar::SendFramedCommand(uint8_t CmdType, uint8_t sizeParam, const void* param) {
  const std::shared_ptr<const std::atomic<bool>> alive = alive_;
  BuildAndSendPacket(CmdType, sizeParam, param, *this);
  if (!*alive) return;
  IRadarUnitShell* shell = shell_.Unit;
  if (!shell) return;
  if (CmdType == bcpStop) shell->SetButtonInRunMode(false);
  if (CmdType == bcpStart) shell->SetWasOverFlow(false);
}
