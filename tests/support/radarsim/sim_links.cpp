#include "tests/support/radarsim/sim_links.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace radarsim {

namespace {

constexpr int kPollMs = 1;
constexpr int kWriteLimitMs = 1000;

// Writes all bytes to a non-blocking descriptor, waiting at most kWriteLimitMs for
// room; false when the peer is gone or stalled.
bool WriteDescriptor(int fd, const TBytes& bytes, bool socket) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = socket ? ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT)
                             : ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, kWriteLimitMs) <= 0) return false;
  }
  return true;
}

// Waits (bounded) for the link's thread to carry a request out.
template <typename TDone>
void WaitForFlag(TDone done) {
  const auto deadline = TSimClock::now() + std::chrono::seconds(5);
  while (!done() && TSimClock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

template <typename TWrite>
void WriteChunks(std::vector<TOutChunk> chunks, const std::stop_token& stop, TWrite write) {
  for (const TOutChunk& chunk : chunks) {
    if (stop.stop_requested() || !write(chunk.Bytes)) return;
    if (chunk.PauseAfterMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(chunk.PauseAfterMs));
  }
}

}  // namespace

// ---- Pseudo-terminal ------------------------------------------------------------------

TPtyRadarSim::TPtyRadarSim(TSimConfig config) : engine_(std::move(config)) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0) return;
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    ::close(master_);
    master_ = -1;
    return;
  }
  char name[128] = {};
  if (::ptsname_r(master_, name, sizeof(name)) != 0) {
    ::close(master_);
    master_ = -1;
    return;
  }
  slavePath_ = name;
  slaveHold_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  // Raw from the start: no echo of what the program writes before it sets its line.
  termios tio{};
  if (slaveHold_ >= 0 && ::tcgetattr(slaveHold_, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::tcsetattr(slaveHold_, TCSANOW, &tio);
  }
  thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

TPtyRadarSim::~TPtyRadarSim() {
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
  if (master_ >= 0) ::close(master_);
  if (slaveHold_ >= 0) ::close(slaveHold_);
}

void TPtyRadarSim::Drop() {
  dropRequested_ = true;
  // The thread closes the descriptors; wait until it did so the caller sees the hang-up.
  WaitForFlag([this] { return !dropRequested_; });
}

bool TPtyRadarSim::WriteAll(const TBytes& bytes) { return WriteDescriptor(master_, bytes, false); }

void TPtyRadarSim::Run(std::stop_token stop) {
  uint8_t buffer[4096];
  while (!stop.stop_requested()) {
    if (dropRequested_) {
      ::close(master_);
      master_ = -1;
      if (slaveHold_ >= 0) ::close(slaveHold_);
      slaveHold_ = -1;
      dropRequested_ = false;
      return;
    }
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, kPollMs) > 0 && (p.revents & POLLIN)) {
      const ssize_t n = ::read(master_, buffer, sizeof(buffer));
      if (n > 0) engine_.OnReceived(std::span(buffer, static_cast<size_t>(n)));
    }
    WriteChunks(engine_.TakeOutput(TSimClock::now()), stop, [this](const TBytes& b) { return WriteAll(b); });
  }
}

// ---- TCP ------------------------------------------------------------------------------------

TTcpRadarSim::TTcpRadarSim(TSimConfig config, TBytes greeting)
    : engine_(std::move(config)), greeting_(std::move(greeting)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listener_ < 0) return;
  const int on = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof(address);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(listener_, 4) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listener_);
    listener_ = -1;
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

TTcpRadarSim::~TTcpRadarSim() {
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
  CloseClient(false);
  if (listener_ >= 0) ::close(listener_);
}

void TTcpRadarSim::SetGreeting(TBytes greeting) {
  std::lock_guard guard(greetingLock_);
  greeting_ = std::move(greeting);
}

void TTcpRadarSim::Drop(bool reset) {
  dropRequested_ = reset ? 2 : 1;
  WaitForFlag([this] { return dropRequested_ == 0; });
}

void TTcpRadarSim::CloseClient(bool reset) {
  const int fd = client_.exchange(-1);
  if (fd < 0) return;
  if (reset) {
    // A zero linger time makes close send RST instead of FIN.
    const linger l{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof(l));
  } else {
    ::shutdown(fd, SHUT_RDWR);
  }
  ::close(fd);
}

bool TTcpRadarSim::SendAll(const TBytes& bytes) {
  const int fd = client_;
  return fd >= 0 && WriteDescriptor(fd, bytes, true);
}

void TTcpRadarSim::Run(std::stop_token stop) {
  uint8_t buffer[4096];
  while (!stop.stop_requested()) {
    if (const int drop = dropRequested_.load()) {
      CloseClient(drop == 2);
      dropRequested_ = 0;
    }
    if (client_ < 0) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, kPollMs) > 0) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
          client_ = fd;
          ++connections_;
          TBytes greeting;
          {
            std::lock_guard guard(greetingLock_);
            greeting = greeting_;
          }
          if (!greeting.empty()) SendAll(greeting);
        }
      }
      // Without a client the unit's output is lost, as on a real link.
      (void)engine_.TakeOutput(TSimClock::now());
      continue;
    }
    pollfd p{client_, POLLIN, 0};
    if (::poll(&p, 1, kPollMs) > 0) {
      const ssize_t n = ::recv(client_, buffer, sizeof(buffer), MSG_DONTWAIT);
      if (n > 0) {
        engine_.OnReceived(std::span(buffer, static_cast<size_t>(n)));
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        CloseClient(false);  // the program closed the connection
        continue;
      }
    }
    WriteChunks(engine_.TakeOutput(TSimClock::now()), stop, [this](const TBytes& b) { return SendAll(b); });
  }
}

}  // namespace radarsim
