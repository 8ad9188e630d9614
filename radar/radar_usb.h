#pragma once
// TRadarUsb: a radar unit on a USB virtual serial port. The constructor opens and
// configures the port (256000 baud, 8 data bits, no parity, no flow control) and
// starts the reader thread; when the port does not open, f stays -1 and the
// creator frees the radar. Commands are written to the port at once on the
// sending thread.
//
// Threads: created, used and destroyed on the user-interface thread; SendCommand
// also runs on the reader thread (acknowledgements, flow-control steps, pings).
// The destructor stops the reader (bounded wait) before the port closes.

#include "platform/rtl/resource_strings.h"
#include "radar/radar.h"

#include <memory>

class TCommThread;
class TSerialPort;

RESOURCESTRING(SUnableToConnectGpr, "Unable to connect to the GPR.\r\nTry restarting your computer.");

class TRadarUsb : public TRadar {
public:
  TRadarUsb(TComponent* AOwner, const QString& strComNumberIn);
  ~TRadarUsb() override;

  void SendCommand(uint8_t CmdType, uint8_t sizeParam, const void* param) override {
    SendFramedCommand(CmdType, sizeParam, param);
  }
  int32_t GetNumCollision() override;
  int32_t GetSumCollision() override;
  void ClearSumCollision() override;
  void SetWhillParamFromMaster(int32_t MainNumCollision_, TDirectForCart FDirectionForCart_) override;
  TDirectForCart GetRadarDirection() override;
  TParentThread* GetCommThread() override;
  void QueuePacket(std::span<const uint8_t> packet) override;

  // Writes the serial send queue to the port; what the port took leaves the queue.
  // A failed write drops the queue and gives the awaited reply up.
  void SendConfirmToRadar();

private:
  std::unique_ptr<TSerialPort> port_;
  TCommThread* CommThread = nullptr;
};

// The log suffix of a port: its name with path separators turned into '_', so a
// device path names one file in the program folder.
QString SerialLogSuffix(const QString& portName);

// Opens and configures the port for the radar: logs "USB:: " with the platform's
// text and shows the connection warning when a step fails, closing what it opened.
// nullptr on failure. User-interface thread.
std::unique_ptr<TSerialPort> OpenComPort(TRadar& radar, const QString& port);
