#pragma once
// TCP client connections with bounded waits. Nothing here blocks longer than the
// time-out its caller passes: connecting, receiving and sending all wait through
// poll, and a send never raises SIGPIPE on a connection the peer has closed.
//
// Hosts are numeric IPv4 or IPv6 addresses, or "localhost"; names are not looked
// up, since a name service can stall a caller without any bound.
//
// Threads: one connection is used by one thread at a time (its reader); the
// factory may run on any thread.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

enum TNetStatus : uint8_t {
  nsOk,       // Count bytes moved (at least one)
  nsTimeout,  // nothing moved within the time (or nothing was waiting)
  nsClosed,   // the peer closed its side: nothing more will arrive
  nsError     // Error holds the errno; the connection is unusable
};

struct TNetTransfer {
  TNetStatus Status = nsTimeout;
  size_t Count = 0;
  int Error = 0;
};

class TTcpClient {
public:
  virtual ~TTcpClient() = default;

  virtual bool Connected() const = 0;
  virtual QString RemoteHost() const = 0;
  virtual uint16_t RemotePort() const = 0;

  // Up to size bytes; waits at most timeoutMs for the first (0: takes only what
  // has arrived).
  virtual TNetTransfer Receive(void* buffer, size_t size, int timeoutMs) = 0;
  // Exactly size bytes unless the time runs out or the peer closes first; Count
  // says how many arrived either way, and Status is nsOk only when all did.
  virtual TNetTransfer ReceiveAll(void* buffer, size_t size, int timeoutMs) = 0;
  // What the connection takes within timeoutMs (0: what it takes now).
  virtual TNetTransfer Send(const void* buffer, size_t size, int timeoutMs) = 0;

  // Closes the connection; OnDisconnect runs when it was open. Later calls fail
  // with nsError (ENOTCONN).
  virtual void Disconnect() = 0;
  std::function<void()> OnDisconnect;
};

// While this environment variable is set (to anything but an empty text), the
// client connects only to addresses of 127.0.0.0/8: any other is refused before
// a packet leaves (EACCES) and the refusal is logged. The test and run scripts
// set it, so that nothing they start reaches a radar network by mistake.
inline constexpr char LoopbackOnlyVariable[] = "GPR_LOOPBACK_ONLY";
bool LoopbackOnly();

// The platform's text for an error code.
QString NetErrorText(int error);

// Connects within timeoutMs. nullptr with *error set (ETIMEDOUT when the time ran
// out, EINVAL for a host that is not an address, EACCES for an address the
// loopback-only guard refuses).
std::unique_ptr<TTcpClient> ConnectTcpClient(const QString& host, uint16_t port, int timeoutMs, int* error);
