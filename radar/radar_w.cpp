#include "radar/radar_w.h"

#include "radar/wifi_thread.h"

TRadarW::TRadarW(TComponent* AOwner, const QString& ip, uint16_t port) : TRadar(AOwner) {
  f = 0;
  FWindowHandle = AllocateHWnd([this](TMessage& message) { NilProc(message); });
  OpenLog(WiFiLogSuffix);
  WriteStrToLog(RadarLogStartWiFi);
  ready = true;
  WiFiThread = new TWiFiThread(ip, port, this);
  ready = false;
  curCmd = 0;
  ResetTimerId();
  SetShiftSlowRamp(32000);
  NulingPcLoading();
  NotBlocked = true;
  strComNumber = QStringLiteral("WiFi");
  WiFiThread->Start();
}

TRadarW::~TRadarW() {
  if (FWindowHandle) DeallocateHWnd(FWindowHandle);
  FWindowHandle = nullptr;
  NeedBreak = true;
  if (WiFiThread) {
    if (!StopReaderThread(*WiFiThread, ReaderStopLimit))
      WriteStrToLog(QStringLiteral("WiFi:: the reader did not stop in time, waiting for it"));
    WiFiThread->Free();
    WiFiThread = nullptr;
  }
  WriteStrToLog(RadarLogCloseWiFi);
}

int32_t TRadarW::GetNumCollision() { return WiFiThread ? WiFiThread->NumCollision.load() : 0; }
int32_t TRadarW::GetSumCollision() { return WiFiThread ? WiFiThread->SumCollision.load() : 0; }
void TRadarW::ClearSumCollision() {
  if (WiFiThread) WiFiThread->SumCollision = 0;
}
TParentThread* TRadarW::GetCommThread() { return WiFiThread; }
