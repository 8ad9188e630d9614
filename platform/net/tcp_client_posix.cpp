// TCP clients on POSIX sockets: non-blocking descriptors, every wait through poll.

#include "platform/net/tcp_client.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <QtGlobal>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

using TClock = std::chrono::steady_clock;

int MsLeft(TClock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
  return static_cast<int>(std::clamp<int64_t>(left, 0, 1 << 30));
}

struct TAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;
};

std::optional<TAddress> NumericAddress(const QString& host, uint16_t port) {
  const QByteArray text = (host == QStringLiteral("localhost") ? QStringLiteral("127.0.0.1") : host).toLatin1();
  TAddress a;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&a.storage);
  if (inet_pton(AF_INET, text.constData(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(port);
    a.length = sizeof(sockaddr_in);
    return a;
  }
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&a.storage);
  if (inet_pton(AF_INET6, text.constData(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(port);
    a.length = sizeof(sockaddr_in6);
    return a;
  }
  return std::nullopt;
}

// An address of 127.0.0.0/8 (also in its IPv4-mapped IPv6 form).
bool IsLoopbackV4(const TAddress& a) {
  if (a.storage.ss_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&a.storage);
    return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
  }
  const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&a.storage);
  return IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr) && v6->sin6_addr.s6_addr[12] == 127;
}

// 1 ready, 0 time ran out, -errno on failure.
int WaitFor(int fd, short events, int timeoutMs, short& revents) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -errno;
    revents = p.revents;
    return r;
  }
}

int SocketError(int fd) {
  int error = 0;
  socklen_t length = sizeof(error);
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

class TPosixTcpClient final : public TTcpClient {
public:
  TPosixTcpClient(int fd, QString host, uint16_t port) : fd_(fd), host_(std::move(host)), port_(port) {}
  ~TPosixTcpClient() override {
    OnDisconnect = nullptr;
    Disconnect();
  }

  bool Connected() const override { return fd_ >= 0; }
  QString RemoteHost() const override { return host_; }
  uint16_t RemotePort() const override { return port_; }

  TNetTransfer Receive(void* buffer, size_t size, int timeoutMs) override {
    if (fd_ < 0) return {nsError, 0, ENOTCONN};
    if (size == 0) return {nsTimeout, 0, 0};
    const TClock::time_point deadline = TClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
      const ssize_t n = ::recv(fd_, buffer, size, MSG_DONTWAIT);
      if (n > 0) return {nsOk, static_cast<size_t>(n), 0};
      if (n == 0) return {nsClosed, 0, 0};
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) return {nsError, 0, errno};
      const int wait = MsLeft(deadline);
      if (wait == 0) return {nsTimeout, 0, 0};
      short revents = 0;
      const int r = WaitFor(fd_, POLLIN, wait, revents);
      if (r < 0) return {nsError, 0, -r};
      if (r == 0) return {nsTimeout, 0, 0};
    }
  }

  TNetTransfer ReceiveAll(void* buffer, size_t size, int timeoutMs) override {
    const TClock::time_point deadline = TClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    auto* bytes = static_cast<uint8_t*>(buffer);
    size_t got = 0;
    while (got < size) {
      const TNetTransfer part = Receive(bytes + got, size - got, MsLeft(deadline));
      if (part.Status != nsOk) return {part.Status, got, part.Error};
      got += part.Count;
    }
    return {nsOk, got, 0};
  }

  TNetTransfer Send(const void* buffer, size_t size, int timeoutMs) override {
    if (fd_ < 0) return {nsError, 0, ENOTCONN};
    const TClock::time_point deadline = TClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    size_t sent = 0;
    while (sent < size) {
      const ssize_t n = ::send(fd_, bytes + sent, size - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
      if (n > 0) {
        sent += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        if (sent > 0) break;
        return {nsError, 0, errno};
      }
      const int wait = MsLeft(deadline);
      if (wait == 0) break;
      short revents = 0;
      const int r = WaitFor(fd_, POLLOUT, wait, revents);
      if (r <= 0) break;
    }
    return {sent > 0 ? nsOk : nsTimeout, sent, 0};
  }

  void Disconnect() override {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    if (OnDisconnect) OnDisconnect();
  }

private:
  int fd_;
  const QString host_;
  const uint16_t port_;
};

}  // namespace

bool LoopbackOnly() {
  const char* value = std::getenv(LoopbackOnlyVariable);
  return value && *value;
}

QString NetErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

std::unique_ptr<TTcpClient> ConnectTcpClient(const QString& host, uint16_t port, int timeoutMs, int* error) {
  auto fail = [error](int code) -> std::unique_ptr<TTcpClient> {
    if (error) *error = code;
    return nullptr;
  };
  const std::optional<TAddress> address = NumericAddress(host, port);
  if (!address) return fail(EINVAL);
  if (LoopbackOnly() && !IsLoopbackV4(*address)) {
    qWarning("TCP connection to %s port %u refused: %s is set and the address is outside 127.0.0.0/8",
             qPrintable(host), unsigned{port}, LoopbackOnlyVariable);
    return fail(EACCES);
  }
  const int fd = ::socket(address->storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return fail(errno);
  // Small packets (commands, acknowledgements) go out at once.
  const int on = 1;
  (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address->storage), address->length) != 0) {
    if (errno != EINPROGRESS) {
      const int code = errno;
      ::close(fd);
      return fail(code);
    }
    short revents = 0;
    const int r = WaitFor(fd, POLLOUT, std::max(timeoutMs, 0), revents);
    const int code = r < 0 ? -r : r == 0 ? ETIMEDOUT : SocketError(fd);
    if (code != 0) {
      ::close(fd);
      return fail(code);
    }
  }
  if (error) *error = 0;
  return std::make_unique<TPosixTcpClient>(fd, host, port);
}
