#pragma once
// TRadarW: a radar unit reached over Wi-Fi by TCP. It is created after a TCP probe
// recognised the unit's greeting; its reader thread takes the probe's connection
// over, sends the queued commands and reports the loss of the connection to the
// main window (WM_WIFIERROR).
//
// Threads: created, used and destroyed on the user-interface thread; commands may
// also be queued from the reader thread. The destructor stops the reader (bounded
// wait), which then closes the connection.

#include "radar/radar.h"
#include "radar/tcp_greeting.h"

#include <atomic>

class TWiFiThread;

// The log suffix of a TCP radar: the number of channel slots of a radar set.
inline const QString WiFiLogSuffix = QStringLiteral("5");

class TRadarW : public TRadar {
public:
  TRadarW(TComponent* AOwner, const QString& ip, uint16_t port);
  ~TRadarW() override;

  void SendCommand(uint8_t CmdType, uint8_t sizeParam, const void* param) override {
    SendFramedCommand(CmdType, sizeParam, param);
  }
  int32_t GetNumCollision() override;
  int32_t GetSumCollision() override;
  void ClearSumCollision() override;
  // A TCP radar takes no wheel parameters from a master and reports no direction of
  // its own here: the first does nothing, the second answers dForward.
  void SetWhillParamFromMaster(int32_t, TDirectForCart) override {}
  TDirectForCart GetRadarDirection() override { return dForward; }
  TParentThread* GetCommThread() override;
  // The reader thread sends the queue.
  void QueuePacket(std::span<const uint8_t> packet) override { QueueWiFiPacket(packet); }

  TWiFiThread* WiFiThreadOf() const { return WiFiThread; }

  std::atomic<TWiFiRadarState> CurrentState{crsUnInit};
  HWND FWindowHandle = nullptr;
  std::atomic<TWiFiRadarState> WiFiRadarState{crsUnInit};  // from the status reply

private:
  TWiFiThread* WiFiThread = nullptr;
};
