#pragma once
// The TCP probe that recognises a Wi-Fi radar by the greeting it sends when a client
// connects, and its result. The result owns the connected client until the Wi-Fi
// reader thread of the radar created for it takes the client over.
//
// Bounds: connecting and waiting for the greeting each have a time-out, so the
// probe, which runs on the user-interface thread, never blocks it for long. A
// greeting counts only when all its bytes arrived: the 7-byte identification, and
// for a single-board-computer radar the 10 bytes that follow it. Bytes after the
// greeting stay in the connection for the reader.

#include "radar/tcp_greeting.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class TTcpClient;

class TResultCheckingTCP {
public:
  TResultCheckingTCP();
  // Disconnects and frees the client when it still holds one.
  ~TResultCheckingTCP();

  std::unique_ptr<TTcpClient> Tcp;
  TTypeWiFiRadar TypeWiFiRadar = TRWiFiModem;
  uint8_t FNumVer = 0;
  TWiFiRadarState RadarStatus = crsUnInit;
  std::array<uint8_t, 8> TimeStamp{};
  // The time stamp as a date-time (the PC time of the load-data command that
  // started the radar's recording).
  double TimeStampValue() const;
};

struct TTcpProbeTimeouts {
  int ConnectMs = 3000;
  int GreetingMs = 2000;
};

// Connects and reads the greeting: a new result, or nullptr (the client closed).
std::unique_ptr<TResultCheckingTCP> ProbeTcpRadar(const QString& host, uint16_t port,
                                                  const TTcpProbeTimeouts& timeouts = {});

// The main window's result when it holds one. Otherwise probes; a new result goes
// to the main window, which disables its ping timer. nullptr without a result, or
// without a main window to keep one. User-interface thread.
TResultCheckingTCP* CheckTcpRadar(const QString& host, uint16_t port, const TTcpProbeTimeouts& timeouts = {});
