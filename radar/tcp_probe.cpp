#include "radar/tcp_probe.h"

#include "platform/net/tcp_client.h"
#include "radar/radar_hooks.h"

#include <chrono>

TResultCheckingTCP::TResultCheckingTCP() = default;

TResultCheckingTCP::~TResultCheckingTCP() {
  if (Tcp) Tcp->Disconnect();
}

double TResultCheckingTCP::TimeStampValue() const {
  TTcpGreeting greeting;
  greeting.TimeStamp = TimeStamp;
  return greeting.TimeStampValue();
}

std::unique_ptr<TResultCheckingTCP> ProbeTcpRadar(const QString& host, uint16_t port,
                                                  const TTcpProbeTimeouts& timeouts) {
  int error = 0;
  std::unique_ptr<TTcpClient> client = ConnectTcpClient(host, port, timeouts.ConnectMs, &error);
  if (!client) return nullptr;

  using TClock = std::chrono::steady_clock;
  const TClock::time_point deadline = TClock::now() + std::chrono::milliseconds(timeouts.GreetingMs);
  auto msLeft = [&] {
    return static_cast<int>(
        std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count()));
  };
  std::array<uint8_t, TcpGreetingLength> bytes{};
  if (client->ReceiveAll(bytes.data(), TcpGreetingIdLength, msLeft()).Status != nsOk) return nullptr;
  std::optional<TTcpGreeting> greeting = DecodeTcpGreeting(std::span(bytes).first(TcpGreetingIdLength));
  if (!greeting) return nullptr;
  if (greeting->TypeWiFiRadar == TRRasberry) {
    const size_t rest = TcpGreetingLength - TcpGreetingIdLength;
    if (client->ReceiveAll(bytes.data() + TcpGreetingIdLength, rest, msLeft()).Status != nsOk) return nullptr;
    greeting = DecodeTcpGreeting(bytes);
    if (!greeting) return nullptr;
  }
  auto result = std::make_unique<TResultCheckingTCP>();
  result->Tcp = std::move(client);
  result->TypeWiFiRadar = greeting->TypeWiFiRadar;
  result->FNumVer = greeting->FNumVer;
  result->RadarStatus = greeting->RadarStatus;
  result->TimeStamp = greeting->TimeStamp;
  return result;
}

TResultCheckingTCP* CheckTcpRadar(const QString& host, uint16_t port, const TTcpProbeTimeouts& timeouts) {
  ITcpLinkShell* shell = RadarShell().Tcp;
  if (!shell) return nullptr;
  if (TResultCheckingTCP* held = shell->ResultCheckingTCP()) return held;
  std::unique_ptr<TResultCheckingTCP> result = ProbeTcpRadar(host, port, timeouts);
  if (!result) return nullptr;
  shell->SetPingTimerEnabled(false);
  shell->SetResultCheckingTCP(std::move(result));
  return shell->ResultCheckingTCP();
}
