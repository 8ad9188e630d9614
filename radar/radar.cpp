#include "radar/radar.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/threads.h"
#include "radar/preset_keys.h"
#include "radar/radar_hooks.h"
#include "radar/radar_messages.h"

#include <algorithm>

namespace {

// Every live radar, so that a reply timer finds the radar that waits for it.
std::mutex g_radarsLock;
std::vector<TRadar*> g_radars;

constexpr qsizetype kShortStringLength = 255;

}  // namespace

TRadar::TRadar(TComponent* AOwner) : TComponent(AOwner) {
  std::lock_guard guard(g_radarsLock);
  g_radars.push_back(this);
}

TRadar::~TRadar() {
  NeedBreak = true;
  alive_->store(false);
  std::lock_guard guard(g_radarsLock);
  g_radars.erase(std::remove(g_radars.begin(), g_radars.end(), this), g_radars.end());
}

TRadar* FindRadarByTimerId(uint32_t id) {
  if (id == 0) return nullptr;
  std::lock_guard guard(g_radarsLock);
  for (TRadar* radar : g_radars) {
    if (radar->TimerId == id) return radar;
  }
  return nullptr;
}

void TRadar::NilProc(TMessage&) {}

// ---- Identity and state ---------------------------------------------------------------

QString TRadar::RadarTypeStr() const { return AnsiToString(QByteArray(UnitParams(RadarType()).UnitName)); }

QString TRadar::PresetRadarTypeStr() const {
  const IRadarSetView* set = RadarSetView();
  return PresetKey(ModeRadar(), RadarType(), set ? set->TypeGPRDevice() : tdUnknown);
}

QString TRadar::PowerStr() const { return FloatToStrF(Power(), ffFixed, 5, 1); }

void TRadar::SetRadarType(TTypeGPR value) {
  if (FRadarType.exchange(value) == value) return;
  // The main window's handler touches windows and timers: user-interface thread only.
  TThread::Queue(nullptr, [unit = shell_.Unit] {
    if (unit) unit->AfterChangeRadar();
  });
}

QString TRadar::LastNMEA() const {
  std::lock_guard guard(SectPaint);
  return FLastNMEA;
}

void TRadar::SetLastNMEA(const QString& value) {
  std::lock_guard guard(SectPaint);
  FLastNMEA = value.left(kShortStringLength);
}

void TRadar::SetCurMode(TCurMode value) {
  FCurMode = value;
  if (HWND main = shell_.Windows ? shell_.Windows->MainWindowHandle() : nullptr)
    PostMessage(main, WM_CURMODECHANGED, value, 0);
}

QString TRadar::strNetIP() const {
  return QStringLiteral("%1.%2.%3.%4").arg(netIP.b1).arg(netIP.b2).arg(netIP.b3).arg(netIP.b4);
}

void TRadar::SetSpeedLimit(uint8_t value) {
  FSpeedLimit = value;
  if (value > FMaxSpeedLimit) FMaxSpeedLimit = value;
}

bool TRadar::WithoutAck() const {
  std::lock_guard guard(SectCom);
  return FWithoutAck;
}

void TRadar::SetWithoutAck(bool value) {
  std::lock_guard guard(SectCom);
  FWithoutAck = value;
}

uint8_t TRadar::MaxPerfomanceDelay() const {
  std::lock_guard guard(SectCom);
  return FMaxPerfomanceDelay;
}

void TRadar::SetMaxPerfomanceDelay(uint8_t value) {
  std::lock_guard guard(SectCom);
  FMaxPerfomanceDelay = value;
}

int32_t TRadar::CurBufPos() const {
  std::lock_guard guard(SectCom);
  return FCurBufPos;
}

void TRadar::SetCurBufPos(int32_t value) {
  std::lock_guard guard(SectCom);
  FCurBufPos = value;
}

// ---- Queues and buffers --------------------------------------------------------------------

bool TRadar::QueueWiFiPacket(std::span<const uint8_t> packet) {
  bool queued;
  {
    std::lock_guard guard(SectCom);
    queued = ForSendWiFiGlobBuf.Append(packet);
  }
  if (!queued) WriteStrToLog(QStringLiteral("Send queue is full, packet dropped: %1").arg(packet.size()));
  return queued;
}

bool TRadar::QueueUsbPacket(std::span<const uint8_t> packet) {
  bool queued;
  {
    std::lock_guard guard(SectCom);
    queued = ForSendUSBGlobBuf.Append(packet);
  }
  if (!queued) WriteStrToLog(QStringLiteral("Send queue is full, packet dropped: %1").arg(packet.size()));
  return queued;
}

bool TRadar::AppendReceived(std::span<const uint8_t> bytes) {
  std::lock_guard guard(SectCom);
  return CommGlobBuf.Append(bytes);
}

int32_t TRadar::CommGlobBufEndPos() const {
  std::lock_guard guard(SectCom);
  return static_cast<int32_t>(CommGlobBuf.Count());
}

void TRadar::ClearReceived() {
  std::lock_guard guard(SectCom);
  CommGlobBuf.Clear();
}

bool TRadar::LoadReceived(std::span<const uint8_t> bytes) {
  std::lock_guard guard(SectCom);
  return CommGlobBuf.Assign(bytes);
}

void TRadar::ConsumeReceived(size_t n) {
  std::lock_guard guard(SectCom);
  CommGlobBuf.Consume(n);
}

void TRadar::StoreLastTrace(std::span<const int32_t> samples) {
  const size_t n = std::min(samples.size(), LastArray.size());
  std::lock_guard guard(SectPaint);
  std::copy_n(samples.begin(), n, LastArray.begin());
}

TLastArray TRadar::CopyLastArray() const {
  std::lock_guard guard(SectPaint);
  return LastArray;
}

void TRadar::OpenLog(const QString& suffix) { log_.Open(RadarLogFileName(suffix)); }
