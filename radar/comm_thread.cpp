#include "radar/comm_thread.h"

#include "platform/rtl/date_time.h"
#include "platform/serial/serial_port.h"
#include "radar/command_blocks.h"
#include "radar/flow_control.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"

#include <array>
#include <limits>
#include <chrono>
#include <thread>
#include <vector>

namespace {

QString LineErrorText(uint32_t errors) {
  switch (errors) {
    case SerialErrorRxOver: return QStringLiteral("CommThred\tAn input buffer overflow has occurred");
    case SerialErrorBreak: return QStringLiteral("CommThred\tThe hardware detected a break condition");
    case SerialErrorFrame: return QStringLiteral("CommThred\tThe hardware detected a framing error");
    case SerialErrorOverrun:
      return QStringLiteral("CommThred\tA character-buffer overrun has occurred. The next character is lost");
    case SerialErrorParity: return QStringLiteral("CommThred\tThe hardware detected a parity error");
    default: return {};
  }
}

}  // namespace

TCommThread::TCommThread(TSerialPort* port, TRadar* owner)
    : TParentThread(owner), f(port), readBuffer_(SerialReadLimit) {
  LogTimerResolution();
  if (FOwner) FOwner->ResetTimerId();
  SumCollision = 0;
  FCounterOn = 0;
  FRunPaintLastTrace = false;
  prevTime = Now();
}

void TCommThread::Execute() {
  RequestFinestResolution();
  constexpr std::chrono::milliseconds pause(SerialCycleMs);
  while (!Terminated()) {
    if (!Cycle()) continue;
    // The pause ends as soon as bytes arrive: a unit that streams a trace every
    // millisecond fills the port's kernel buffer (a few kilobytes) faster than
    // fixed pauses would empty it. A silent port still takes the whole pause, so
    // the silence count keeps its time.
    if (!portServed_ || f->WaitForReceived(pause) != 0) std::this_thread::sleep_for(pause);
  }
}

bool TCommThread::Cycle() {
  portServed_ = false;
  if ((flags_ && flags_->DeleteDeviceRunning()) || !FOwner || !f) return true;
  TRadar& radar = *FOwner;
  portServed_ = true;

  TSerialStatus status;
  if (const int error = f->ClearError(status)) {
    radar.WriteStrToLog(QStringLiteral("CommThred\t") + SerialErrorText(error));
    Terminate();
    return false;
  }
  size_t waiting = status.InQueue;
  if (waiting > SerialReadLimit) {
    f->Purge(true, false);
    radar.WriteStrToLog(QStringLiteral("CommThred\tBuffer overflow"));
    waiting = 0;
  }
  if (const QString text = LineErrorText(status.Errors); !text.isEmpty()) radar.WriteStrToLog(text);

  size_t read = 0;
  if (waiting > 0) {
    if (const int error = f->Read(readBuffer_.data(), waiting, read)) {
      radar.WriteStrToLog(QStringLiteral("CommThred\t") + SerialErrorText(error));
      return false;
    }
  }

  if (read > 0) {
    const int32_t end = radar.CommGlobBufEndPos() + static_cast<int32_t>(read);
    if (radar.WithoutAck()) FlowControl(end);
    if (!radar.AppendReceived(std::span(readBuffer_.data(), read))) {
      radar.WriteStrToLog(QStringLiteral("USBCommThred:: CommGlobBuf is overloaded ") +
                          QString::number(radar.CommGlobBufEndPos()) + QStringLiteral("::") + QString::number(read));
      radar.ClearReceived();
    }
    radar.noDataCounter = SilenceCycles;
  } else if (radar.noDataCounter > std::numeric_limits<int32_t>::min()) {
    --radar.noDataCounter;
  }
  ParseHeldPackets();

  SilenceStep(radar.ready);
  return true;
}

void TCommThread::FlowControl(int32_t bufferEnd) {
  TRadar& radar = *FOwner;
  radar.arrayBuffEndPos[0] = radar.arrayBuffEndPos[1];
  radar.arrayBuffEndPos[1] = radar.CommGlobBufEndPos();
  TFlowControlInput in;
  in.PreviousFill = radar.arrayBuffEndPos[0];
  in.Fill = radar.arrayBuffEndPos[1];
  in.Delay = radar.MaxPerfomanceDelay();
  in.OwnDelay = radar.ConstMaxPerfomanceDelay;
  in.OverStep = radar.OverStep;
  in.LengthLastArray = radar.LengthLastArray;
  const TFlowControlStep step = FlowControlStep(in);
  if (step.RecordBufferEnd) radar.SetCurBufPos(bufferEnd);
  if (step.Send) {
    const std::array<uint8_t, 4> params = StepPerfomanceDelayParams(step.Step);
    radar.SendCommand(bcpStepPerfomanceDelay, static_cast<uint8_t>(params.size()), params.data());
  }
  radar.SetMaxPerfomanceDelay(step.NewDelay);
}
