#pragma once
// TCommThread: the reader of a serial radar. Every 3 ms, or as soon as bytes
// arrive, it takes the bytes waiting at the port into the radar's receive buffer,
// steps the unit's performance delay when the unit streams without
// acknowledgements, parses the held packets and counts the cycles without data
// (each of them a whole 3 ms); from the 191st such cycle on it pings a ready radar
// and reports it as not connected.
//
// The port belongs to the radar (TRadarUsb) and outlives the thread. The thread
// ends when terminated or when the port's error query fails (the device is gone).

#include "radar/parent_thread.h"

#include <cstdint>
#include <vector>

class TSerialPort;

inline constexpr int32_t SilenceCycles = 190;           // noDataCounter after data
inline constexpr size_t SerialReadLimit = 65537;         // bytes read per cycle
inline constexpr int SerialCycleMs = 3;

class TCommThread : public TParentThread {
public:
  TCommThread(TSerialPort* port, TRadar* owner);

  // One cycle of the loop; false when it must not sleep afterwards (a failed read).
  bool Cycle();

  double prevTime = 0;  // creation time

protected:
  void Execute() override;

private:
  void FlowControl(int32_t bufferEnd);

  TSerialPort* f;
  std::vector<uint8_t> readBuffer_;
  // The last cycle asked the port: the pause after it may wait for the port.
  bool portServed_ = false;
};
