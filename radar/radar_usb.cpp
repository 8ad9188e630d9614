#include "radar/radar_usb.h"

#include "platform/serial/serial_port.h"
#include "platform/ui/message_boxes.h"
#include "radar/comm_thread.h"

#include <cerrno>

namespace {

constexpr size_t kDriverQueue = 20480;

TSerialLineSettings RadarLine() {
  TSerialLineSettings line;
  line.BaudRate = 256000;
  line.ByteSize = 8;
  line.Parity = spNone;
  line.StopBits = ssbOneAndHalf;  // the field's code 1; see serial_port.h for what termios makes of it
  return line;
}

TSerialTimeouts RadarTimeouts() {
  TSerialTimeouts t;
  t.ReadInterval = 100;
  t.ReadTotalMultiplier = 0;
  t.ReadTotalConstant = 1000;
  t.WriteTotalMultiplier = 0;
  t.WriteTotalConstant = 0;
  return t;
}

}  // namespace

QString SerialLogSuffix(const QString& portName) {
  QString suffix = portName;
  while (suffix.startsWith(u'/')) suffix.remove(0, 1);
  return suffix.replace(u'/', u'_');
}

std::unique_ptr<TSerialPort> OpenComPort(TRadar& radar, const QString& port) {
  auto fail = [&radar](int error, bool warn) -> std::unique_ptr<TSerialPort> {
    radar.WriteStrToLog(QStringLiteral("USB:: ") + SerialErrorText(error));
    if (warn) MessageDlg(LoadResString(SUnableToConnectGpr), mtWarning, TMsgDlgButtons{mbOK}, 0);
    return nullptr;
  };
  int error = 0;
  std::unique_ptr<TSerialPort> handle = OpenSerialPort(port, &error);
  if (!handle) return fail(error, true);
  // From here on a failure returns nullptr, which closes the port.
  if ((error = handle->SetQueueSizes(kDriverQueue, kDriverQueue))) return fail(error, true);
  TSerialLineSettings line;
  if ((error = handle->GetLineSettings(line))) return fail(error, true);
  TSerialTimeouts timeouts;
  // These two steps never warned; their failures are logged so the port's state is known.
  if ((error = handle->SetLineSettings(RadarLine()))) return fail(error, false);
  if ((error = handle->GetTimeouts(timeouts))) return fail(error, false);
  if ((error = handle->Purge(true, true))) return fail(error, true);
  if ((error = handle->SetTimeouts(RadarTimeouts()))) return fail(error, true);
  if ((error = handle->SetEventMask(SerialEventRxChar | SerialEventTxEmpty))) return fail(error, true);
  radar.NotBlocked = true;
  return handle;
}

TRadarUsb::TRadarUsb(TComponent* AOwner, const QString& strComNumberIn) : TRadar(AOwner) {
  f = -1;
  OpenLog(SerialLogSuffix(strComNumberIn));
  WriteStrToLog(RadarLogStartUsb);
  port_ = OpenComPort(*this, strComNumberIn);
  if (!port_) return;
  f = port_->Handle();
  ready = false;
  curCmd = 0;
  ResetTimerId();
  SetShiftSlowRamp(32000);
  NulingPcLoading();
  NeedBreak = false;
  strComNumber = strComNumberIn;
  CommThread = new TCommThread(port_.get(), this);
  CommThread->Start();
}

TRadarUsb::~TRadarUsb() {
  ResetTimerId();
  {
    std::lock_guard guard(SectCom);
    ForSendUSBGlobBuf.Clear();
  }
  NeedBreak = true;
  if (CommThread) {
    if (!StopReaderThread(*CommThread, ReaderStopLimit))
      WriteStrToLog(QStringLiteral("USBCommThred:: the reader did not stop in time, waiting for it"));
    CommThread->Free();
    CommThread = nullptr;
  }
  port_.reset();
  f = -1;
  WriteStrToLog(RadarLogCloseUsb);
}

int32_t TRadarUsb::GetNumCollision() { return CommThread ? CommThread->NumCollision.load() : 0; }
int32_t TRadarUsb::GetSumCollision() { return CommThread ? CommThread->SumCollision.load() : 0; }
void TRadarUsb::ClearSumCollision() {
  if (CommThread) CommThread->SumCollision = 0;
}
void TRadarUsb::SetWhillParamFromMaster(int32_t, TDirectForCart FDirectionForCart_) {
  if (CommThread) CommThread->FDirectionForCart = FDirectionForCart_;
}
TDirectForCart TRadarUsb::GetRadarDirection() { return CommThread ? CommThread->FDirectionForCart.load() : dForward; }
TParentThread* TRadarUsb::GetCommThread() { return CommThread; }

void TRadarUsb::QueuePacket(std::span<const uint8_t> packet) {
  if (QueueUsbPacket(packet)) SendConfirmToRadar();
}

void TRadarUsb::SendConfirmToRadar() {
  if (!port_) {
    WriteStrToLog(QStringLiteral("USBCommThred::Write \t") + SerialErrorText(EBADF) +
                  QStringLiteral("\t wrong descritor!"));
    return;
  }
  TSerialStatus status;
  if (port_->ClearError(status) != 0) return;
  // The whole write under SectCom: packets from the user-interface thread and the
  // reader never interleave on the line.
  std::lock_guard guard(SectCom);
  const std::span<const uint8_t> queued = ForSendUSBGlobBuf.Bytes();
  if (queued.empty()) return;
  size_t written = 0;
  if (const int error = port_->Write(queued.data(), queued.size(), written)) {
    WriteStrToLog(QStringLiteral("USBCommThred::Sending \t") + QString::number(queued.size()) + u'\t' +
                  SerialErrorText(error));
    port_->ClearError(status);
    ForSendUSBGlobBuf.Clear();
    noDataCounter = SilenceCycles;
    // The failed command's reply will not come; its timer's expiry finds no radar.
    ResetTimerId();
    return;
  }
  ForSendUSBGlobBuf.Consume(written);
}
