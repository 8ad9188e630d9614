#pragma once
// A simulated radar unit on a link: a pseudo-terminal pair (the program opens the
// slave side as its serial port) or a TCP server on 127.0.0.1 at an ephemeral port
// that greets every client as a Wi-Fi unit does. Each runs its unit on a thread of
// its own; several may run at once.
//
// Threads: the members may be called from any thread; the destructor stops the
// thread and closes the link.

#include "tests/support/radarsim/sim_engine.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace radarsim {

class TPtyRadarSim {
public:
  explicit TPtyRadarSim(TSimConfig config = {});
  ~TPtyRadarSim();
  TPtyRadarSim(const TPtyRadarSim&) = delete;
  TPtyRadarSim& operator=(const TPtyRadarSim&) = delete;

  bool Ok() const { return master_ >= 0; }
  // The device path of the slave side, for the program's port name.
  const std::string& SlavePath() const { return slavePath_; }
  TRadarSimEngine& Engine() { return engine_; }
  // Hangs the line up: the master side closes, as when a USB unit is unplugged.
  void Drop();

private:
  void Run(std::stop_token stop);
  bool WriteAll(const TBytes& bytes);

  TRadarSimEngine engine_;
  int master_ = -1;
  int slaveHold_ = -1;  // keeps the line up while the program reopens its port
  std::string slavePath_;
  std::atomic<bool> dropRequested_{false};
  std::jthread thread_;
};

class TTcpRadarSim {
public:
  explicit TTcpRadarSim(TSimConfig config = {}, TBytes greeting = ModemGreeting());
  ~TTcpRadarSim();
  TTcpRadarSim(const TTcpRadarSim&) = delete;
  TTcpRadarSim& operator=(const TTcpRadarSim&) = delete;

  bool Ok() const { return listener_ >= 0; }
  uint16_t Port() const { return port_; }
  TRadarSimEngine& Engine() { return engine_; }
  // What the next client gets on connecting.
  void SetGreeting(TBytes greeting);
  // Closes the current connection: with a reset (RST) or an orderly close (FIN).
  void Drop(bool reset);
  int Connections() const { return connections_; }
  bool ClientConnected() const { return client_.load() >= 0; }

private:
  void Run(std::stop_token stop);
  void CloseClient(bool reset);
  bool SendAll(const TBytes& bytes);

  TRadarSimEngine engine_;
  int listener_ = -1;
  uint16_t port_ = 0;
  std::atomic<int> client_{-1};
  std::atomic<int> connections_{0};
  std::mutex greetingLock_;
  TBytes greeting_;
  std::atomic<int> dropRequested_{0};  // 0 none, 1 orderly, 2 reset
  std::jthread thread_;
};

}  // namespace radarsim
