#pragma once
// TWiFiThread: the reader of a TCP radar. Every 5 ms it takes what arrived on the
// connection into the radar's receive buffer, parses the held packets, counts the
// cycles without data (pinging from the 191st on, reporting the connection lost at
// the 591st) and sends the radar's queued commands.
//
// The connection: the thread takes the client over from the main window's TCP
// probe result when it is created, and disconnects and frees it when destroyed. A
// socket error or the silence limit runs WasWifiError on this thread, which ends
// the thread and posts WM_WIFIERROR to the main window; the main window's handler
// frees the radars and probes again.

#include "radar/parent_thread.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class TTcpClient;

inline constexpr size_t WiFiReadLimit = 16000;
inline constexpr int WiFiCycleMs = 5;
// The silence counter below which the connection counts as lost: the 591st
// consecutive cycle without data.
inline constexpr int32_t WiFiSilenceLimit = -400;
// The code WasWifiError gets for the reader's own silence limit.
inline constexpr int WiFiOwnTimeoutCode = 123;

class TWiFiThread : public TParentThread {
public:
  // ip and port name the radar; the connection itself comes from the probe result.
  TWiFiThread(const QString& ip, uint16_t port, TRadar* owner);
  ~TWiFiThread() override;

  // One cycle of the loop.
  void Cycle();
  // The connection failed with an error code (WiFiOwnTimeoutCode for silence).
  void WasWifiError(int SocketError);
  void WasWifiDisconnected();

  bool HasClient() const { return client_ != nullptr; }

  std::atomic<bool> enableRead{true};
  std::atomic<bool> isFtpGet{false};

protected:
  void Execute() override;

private:
  void SendQueued();

  std::unique_ptr<TTcpClient> client_;
  std::vector<uint8_t> globLocBuf;
};
