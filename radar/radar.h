#pragma once
// TRadar: one connected radar unit. It holds what the program knows about the unit
// (type, firmware, serial number, mode, supply voltage, GPS text, inclinometer
// calibration, master/slave role), the receive buffer its reader thread fills, the
// two send queues, the last decoded trace and the per-radar log. It sends commands
// in the packet framing with one command awaiting its reply at a time (500 ms reply
// timer) and re-sends the acquisition parameters when the scan settings of its
// channel change during a recording.
//
// The transport is a subclass (serial TRadarUsb, TCP TRadarW): it implements the
// abstract operations below, hands packets to its queue in QueuePacket, opens the
// log and frees the radar's threads. The radar set creates and frees the radars.
//
// Threads and locks:
// - Commands are sent from the user-interface thread (the set, the windows) and from
//   the reader thread (acknowledgements, flow-control steps, pings). A sender that
//   must wait for an earlier reply serves the user-interface thread's messages while
//   it waits (on a reader thread it just yields); replies are decoded on the reader
//   thread meanwhile. Commands with a block (0x52, 0xA9, 0xE4) read the channel
//   settings and are sent from the user-interface thread only.
// - SectCom guards the receive buffer, both send queues and WithoutAck,
//   MaxPerfomanceDelay and CurBufPos. SectParse guards the handling of the
//   master/slave-mode reply. SectPaint guards LastArray, LastNMEA, NMEIString,
//   AccelerometerValues and the Wi-Fi settings (netIP .. netJoin); the inclinometer
//   extremes and their reading windows belong to the user-interface thread, where
//   the preferences dialog updates them from the readings under SectPaint too. The
//   recording window's PaintLastTrace runs under SectPaint and takes no other lock
//   of the radar. No lock of the radar is taken while another of its locks is held.
//   The reader thread appends to and consumes the receive buffer under SectCom and
//   parses the held bytes without it (no other thread changes them).
// - Every other scalar is atomic: the reader thread writes the decoded state, the
//   user-interface thread reads it.
// - Texts, arrays and plain fields without a lock named here are written by one thread
//   and read by another only after a posted message (the calibration).
// - The radar is destroyed on the user-interface thread, after its transport has
//   stopped the reader thread. A sender waiting for a reply on that thread notices
//   when the radar went meanwhile and returns at once.

#include "platform/ui/component.h"
#include "platform/ui/messages.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/gpr_constants.h"
#include "radar/link_buffers.h"
#include "radar/packet.h"
#include "radar/radar_hooks.h"
#include "radar/radar_log.h"
#include "radar/radar_role.h"
#include "radar/trace_layouts.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

class TParentThread;

inline constexpr uint32_t ReplyTimeoutMs = 500;
// PcLoading of a radar whose acquisition parameters are not loaded.
inline constexpr double PcLoadingNotLoaded = 1.0;
inline constexpr int CalibrationHistoryLength = 40;

// Wi-Fi address or mask as the unit reports it.
struct TnetRec {
  uint8_t b1 = 0, b2 = 0, b3 = 0;
  int32_t b4 = 0;
};

// How a reply met the awaited command.
enum TReplyWaitEnd : uint8_t {
  rwOtherCommand,     // the radar awaits no reply to this command
  rwEnded,            // the reply timer was stopped; the next command may go
  rwTimerNotStopped   // it answers the awaited command but its timer had already expired
};

class TRadar : public TComponent, public ISettingsRadar {
public:
  explicit TRadar(TComponent* AOwner);
  ~TRadar() override;

  // ---- Operations of the transport --------------------------------------------------
  // Builds and sends one command (BuildAndSendPacket plus the effects of
  // SendFramedCommand). A 2-byte parameter is one 16-bit value sent big-endian.
  virtual void SendCommand(uint8_t CmdType, uint8_t sizeParam, const void* param) = 0;
  // Window procedure of the TCP radar's hidden window; does nothing here.
  virtual void NilProc(TMessage& Msg);
  virtual int32_t GetNumCollision() = 0;
  virtual int32_t GetSumCollision() = 0;
  virtual void ClearSumCollision() = 0;
  virtual void SetWhillParamFromMaster(int32_t MainNumCollision_, TDirectForCart FDirectionForCart_) = 0;
  virtual TDirectForCart GetRadarDirection() = 0;
  virtual TParentThread* GetCommThread() = 0;
  // Hands one framed packet to the transport, after the reply wait: the TCP radar
  // appends it to ForSendWiFiGlobBuf, the serial radar to ForSendUSBGlobBuf and then
  // writes that queue to the port. Called on the sending thread.
  virtual void QueuePacket(std::span<const uint8_t> packet) = 0;

  // ---- Identity and state ------------------------------------------------------------
  QString RadarTypeStr() const;        // UnitName of RadarType's row
  QString PresetRadarTypeStr() const;  // preset_keys.h
  double Power() const { return FPower; }
  void SetPower(double value) { FPower = value; }
  QString PowerStr() const;            // fixed text, 5 significant digits, 1 decimal
  bool Valid() const { return FValid; }
  void SetValid(bool value) { FValid = value; }
  TTypeGPR RadarType() const override { return FRadarType; }
  // A new type is stored and the main window's AfterChangeRadar runs on the
  // user-interface thread (at once there, queued from a reader thread).
  void SetRadarType(TTypeGPR value);
  double RadarLoading() const { return FRadarLoading; }
  void SetRadarLoading(double value) { FRadarLoading = value; }
  double PcLoading() const { return FPcLoading; }
  // The parameter re-send: stores PcLoadingNotLoaded whatever the value, then, for a
  // running radar of the channel set, restarts the acquisition with stop, load data
  // and start. From a reader thread the restart is queued to the user-interface thread.
  void SetPcLoading(double value) override;
  void NulingPcLoading() { FPcLoading = PcLoadingNotLoaded; }
  QString LastNMEA() const;
  void SetLastNMEA(const QString& value);  // at most 255 characters are kept
  uint16_t FirmwareVer() const override { return FFirmwareVer; }
  void SetFirmwareVer(uint16_t value) { FFirmwareVer = value; }
  uint16_t ShiftSlowRamp() const { return FShiftSlowRamp; }
  void SetShiftSlowRamp(uint16_t value) { FShiftSlowRamp = value; }
  bool Runing() const { return FRuning; }
  void SetRuning(bool value) { FRuning = value; }
  uint16_t SerNum() const { return FSerNum; }
  void SetSerNum(uint16_t value) { FSerNum = value; }
  TCurMode CurMode() const { return FCurMode; }
  // Stores and posts WM_CURMODECHANGED (mode, 0) to the main window.
  void SetCurMode(TCurMode value);
  QString strNetIP() const;  // "b1.b2.b3.b4"
  uint8_t SpeedLimit() const { return FSpeedLimit; }
  void SetSpeedLimit(uint8_t value);  // also raises MaxSpeedLimit to it
  uint8_t MaxSpeedLimit() const { return FMaxSpeedLimit; }
  void SetMaxSpeedLimit(uint8_t value) { FMaxSpeedLimit = value; }
  TtypeGPSstate GPSstate() const { return FGPSstate; }
  void SetGPSstate(TtypeGPSstate value) { FGPSstate = value; }
  TRadarRole ModeRadar() const { return FModeRadar; }
  void SetModeRadar(TRadarRole value) { FModeRadar = value; }
  uint8_t NumChannalRadar() const { return FNumChannalRadar; }
  void SetNumChannalRadar(uint8_t value) { FNumChannalRadar = value; }
  uint8_t CountRadarInArray() const { return FCountRadarInArray; }
  void SetCountRadarInArray(uint8_t value) { FCountRadarInArray = value; }
  int32_t Xshift() const { return FXshift; }
  void SetXshift(int32_t value) { FXshift = value; }
  int32_t Yshift() const { return FYshift; }
  void SetYshift(int32_t value) { FYshift = value; }
  int32_t ZeroOffset() const { return FZeroOffset; }
  void SetZeroOffset(int32_t value) { FZeroOffset = value; }
  bool WithoutAck() const;              // SectCom
  void SetWithoutAck(bool value);
  uint8_t MaxPerfomanceDelay() const;   // SectCom
  void SetMaxPerfomanceDelay(uint8_t value);
  int32_t CurBufPos() const;            // SectCom
  void SetCurBufPos(int32_t value);
  TInclinometersSett InclinometersSett() const { return FInclinometersSett; }
  void SetInclinometersSett(TInclinometersSett value) { FInclinometersSett = value; }

  // ---- Sending ---------------------------------------------------------------------
  // The packet of a command: the frame, the block of 0x52, 0xA9 or 0xE4 built from
  // the active channel, then the caller's parameters. nullopt when it does not fit a
  // frame (logged).
  std::optional<std::vector<uint8_t>> BuildCommandPacket(uint8_t code, uint8_t sizeParam, const void* param);
  // Appends the load-data, stacking-curve or file-header block. The load-data block
  // also records what it sent (Stacking, WheelMult, TopoType, OverStep,
  // LengthLastArray, SpanIndex) and its time stamp (PcLoading and the main window's
  // PCLoading). User-interface thread.
  void LoadDataBlock(TPacketWriter& packet);
  void LoadSteckingCurve(TPacketWriter& packet);
  void LoadFileHeader(TPacketWriter& packet);

  // Serves messages (user-interface thread) or yields (other threads) while a reply
  // is awaited, until the reply or its timeout ends the wait or NeedBreak is set.
  // False when the radar was destroyed meanwhile: the caller must not touch it.
  bool WaitForReply();
  // Starts the reply timer for code unless one runs; checking and arming are one
  // step under the timer lock.
  enum TArmResult : uint8_t { arArmed, arBusy, arNoTimer };
  TArmResult ArmReplyTimer(uint32_t elapseMs, uint8_t code);
  // Takes the radar's one reply wait for a command of code. With waitForIdle the
  // sender waits (WaitForReply) until no reply is awaited and arms in the same step
  // as it finds the wait free; when another sender armed first, it waits again. So
  // two senders (the user-interface thread and a reader's ping) never both find the
  // radar idle. Without waitForIdle it gives up at once when a reply is awaited.
  enum TReplyClaim : uint8_t {
    rcArmed,    // the reply timer runs for this command
    rcUnarmed,  // the command goes without a wait (NeedBreak, or no timer could be set)
    rcBusy,     // a reply is awaited and the sender would not wait: nothing may go
    rcGone      // the radar was destroyed while the sender waited
  };
  TReplyClaim ClaimReplyWait(uint8_t code, bool waitForIdle);
  // Stops the reply timer this radar holds and ends the wait (a claimed command that
  // was never sent).
  void CancelReplyWait();
  // Sends a command that awaits a reply only when none is awaited now, without
  // waiting (the readers' ping on a silent line). True when it was queued.
  bool SendIfIdle(uint8_t code);
  // A reply arrived (reader thread): when it answers the awaited command
  // (curCmd = reply - 1, and ReplyEndsWait) and its timer is stopped, TimerId := 0.
  TReplyWaitEnd EndReplyWait(uint8_t replyCode);
  // EndReplyWait in two steps, so that a reply's effects are in place before the
  // next command may go: StopReplyTimerFor stops the timer of the awaited command
  // and leaves TimerId set (rwEnded), and ReleaseReplyWait(id) then clears it.
  // timerMustRun false: a reply to the awaited command whose timer has already
  // expired reports rwTimerNotStopped instead of rwOtherCommand. *id receives the
  // TimerId it looked at.
  TReplyWaitEnd StopReplyTimerFor(uint8_t replyCode, bool timerMustRun, uint32_t* id = nullptr);
  void ReleaseReplyWait(uint32_t id);
  // The reply timer's expiry for this radar (RadarTimerProc), user-interface thread.
  void ReplyTimedOut(uint32_t id);
  // Forgets the awaited reply without stopping its timer; its expiry then finds no radar.
  void ResetTimerId() { TimerId = 0; }

  // Queue helpers for QueuePacket, under SectCom. A packet that does not fit the
  // queue is dropped and logged.
  bool QueueWiFiPacket(std::span<const uint8_t> packet);
  bool QueueUsbPacket(std::span<const uint8_t> packet);

  // ---- Receiving ---------------------------------------------------------------------
  // Under SectCom. False (nothing appended) when the buffer would exceed its capacity.
  bool AppendReceived(std::span<const uint8_t> bytes);
  // Bytes held (CommGlobBufEndPos).
  int32_t CommGlobBufEndPos() const;
  void ClearReceived();
  // Replaces the held bytes (a recording replayed through the parser).
  bool LoadReceived(std::span<const uint8_t> bytes);
  // Reader thread: the held bytes, valid until it appends or consumes.
  std::span<const uint8_t> ReceivedBytes() const { return CommGlobBuf.Bytes(); }
  void ConsumeReceived(size_t n);

  // ---- Last trace --------------------------------------------------------------------
  // Copies samples (at most LastArrayLength) to the start of LastArray under SectPaint.
  void StoreLastTrace(std::span<const int32_t> samples);
  TLastArray CopyLastArray() const;

  // ---- Log -----------------------------------------------------------------------------
  // Takes the log RadarLogFileName(suffix) (transport constructors).
  void OpenLog(const QString& suffix);
  void WriteStrToLog(const QString& Text) const { log_.Write(Text); }
  const TRadarLog& Log() const { return log_; }

  // ---- Fields --------------------------------------------------------------------------
  std::atomic<bool> ready{false};        // taken by the set; the serial reader pings only then
  QString strComNumber;                  // port name, "WiFi" for a TCP radar
  std::atomic<bool> NotBlocked{true};    // a parameter re-send may start
  // Acquisition parameters last sent by the load-data command.
  std::atomic<uint8_t> Stacking{0};
  std::atomic<uint16_t> WheelMult{0};
  std::atomic<TTopoType> TopoType{ttNil};
  std::atomic<uint8_t> OverStep{0};      // 0 until the first load-data command
  std::atomic<int32_t> LengthLastArray{0};
  std::atomic<uint8_t> ConstMaxPerfomanceDelay{0};
  std::atomic<uint8_t> SpanIndex{0};
  std::atomic<uint8_t> NMEISpeed{0};
  std::array<uint8_t, 5> NMEIString{'G', 'P', 'G', 'G', 'A'};  // SectPaint
  std::array<int16_t, 4> AccelerometerValues{};  // SectPaint
  double GXmin = 0, GXmax = 0, GYmin = 0, GYmax = 0, GZmin = 0, GZmax = 0;
  std::array<int32_t, CalibrationHistoryLength> GXmaxArray{}, GXminArray{}, GYmaxArray{}, GYminArray{},
      GZmaxArray{}, GZminArray{};
  double ZeroAngle = 0;
  double CalibrationQuality = 0;
  int f = 0;                             // serial handle; 0 TCP; -1 port not opened
  std::atomic<bool> isConnected{false};
  TnetRec netIP, netMask;               // SectPaint, with the four below
  int32_t netPort = 0;
  QString ssidStr, passStr;
  uint8_t netChannel = 0, netJoin = 0;
  std::atomic<uint8_t> curCmd{0};        // command whose reply is awaited
  std::atomic<int64_t> LastPaint{0}, LastRecived{0};
  std::atomic<TDirectForCart> LastDirect{dForward};
  std::atomic<bool> NeedBreak{false};    // set when the radar goes: a pending wait ends
  std::atomic<uint32_t> TimerId{0};      // running reply timer; 0 none
  std::array<int32_t, 2> arrayBuffEndPos{};
  std::atomic<int32_t> noDataCounter{0};
  std::atomic<int32_t> MainNumCollision{0};
  std::atomic<bool> FRun{false};
  std::atomic<TDirectForCart> MainDirection{dForward};
  std::atomic<int32_t> predNumTraceWiFi{0}, NumTraceWiFi{0};
  std::atomic<uint8_t> LastMaxSpeedLimit{0};
  std::atomic<int32_t> CurWheelTicks{0};

  TLastArray LastArray{};                // SectPaint
  TReceiveBuffer CommGlobBuf;            // SectCom
  TSendQueue ForSendWiFiGlobBuf;         // SectCom
  TSendQueue ForSendUSBGlobBuf;          // SectCom

  mutable std::recursive_mutex SectCom;
  mutable std::recursive_mutex SectParse;
  mutable std::recursive_mutex SectPaint;

  // Shared with waits and queued calls that may outlive the radar: false once it went.
  std::shared_ptr<const std::atomic<bool>> LifeToken() const { return alive_; }

  // The main window's parts as registered when the radar was created; its reader
  // thread takes them from here.
  const TRadarShell& Shell() const { return shell_; }

protected:
  // SendCommand of the transports: BuildAndSendPacket, then bcpStop sets the main
  // window's Run command to stopped and bcpStart clears its overflow flag.
  void SendFramedCommand(uint8_t CmdType, uint8_t sizeParam, const void* param);

private:
  // The restart of SetPcLoading, on the user-interface thread.
  void ResendParameters();

  std::atomic<TTypeGPR> FRadarType{unknown};
  std::atomic<double> FPower{0};
  std::atomic<bool> FValid{false};
  std::atomic<bool> FRuning{false};
  std::atomic<double> FRadarLoading{0};
  std::atomic<double> FPcLoading{PcLoadingNotLoaded};
  std::atomic<uint16_t> FShiftSlowRamp{32000};
  std::atomic<uint16_t> FFirmwareVer{0};
  std::atomic<uint16_t> FSerNum{0};
  std::atomic<TCurMode> FCurMode{cmStop};
  QString FLastNMEA;                     // SectPaint
  std::atomic<uint8_t> FSpeedLimit{0}, FMaxSpeedLimit{0};
  std::atomic<TtypeGPSstate> FGPSstate{gpsNone};
  std::atomic<TRadarRole> FModeRadar{TRadarRole::single};
  std::atomic<uint8_t> FNumChannalRadar{0}, FCountRadarInArray{0};
  std::atomic<int32_t> FXshift{0}, FYshift{0}, FZeroOffset{0};
  bool FWithoutAck = false;              // SectCom
  uint8_t FMaxPerfomanceDelay = 0;       // SectCom
  int32_t FCurBufPos = 0;                // SectCom
  std::atomic<TInclinometersSett> FInclinometersSett{isUnknown};

  TRadarLog log_;
  const TRadarShell shell_ = RadarShell();
  std::mutex timerLock_;                 // makes curCmd and TimerId change together
  std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
};

// Sends one command on the calling thread: unless it is a no-wait code, waits for
// the reply to the previous command (or its timeout) and arms the reply timer
// (unless NeedBreak is set) in one step (ClaimReplyWait), then frames the packet (so
// a load-data block carries the state after that reply) and hands it to the
// transport. False when nothing was queued (the packet did not fit a frame, or the
// radar went while waiting).
bool BuildAndSendPacket(uint8_t code, uint8_t sizeParam, const void* param, TRadar& radar);

// Expiry of a reply timer: logs the missing reply on the radar whose TimerId is id,
// applies the fallbacks of the master/slave queries and ends the wait. A timer whose
// radar is gone (or no longer waits for it) is only logged on the radar in slot 0
// of the set: it never ends another radar's wait. User-interface thread.
void RadarTimerProc(uint32_t id);

// The live radar whose TimerId is id, or nullptr. User-interface thread.
TRadar* FindRadarByTimerId(uint32_t id);
