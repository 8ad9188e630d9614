// Serial ports on Linux: termios2 for the line (any baud rate through BOTHER),
// poll for the time-outs, the kernel's interrupt counters for the line errors.
// <asm/termbits.h> defines its own struct termios, so <termios.h> stays out.

#include "platform/serial/serial_port.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>

namespace {

using TClock = std::chrono::steady_clock;

// Milliseconds until deadline for poll: -1 without one, never below 0.
int PollWait(std::optional<TClock::time_point> deadline) {
  if (!deadline) return -1;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - TClock::now()).count();
  return static_cast<int>(std::clamp<int64_t>(left, 0, 1 << 30));
}

std::optional<TClock::time_point> TotalDeadline(uint32_t multiplier, uint32_t constant, size_t size) {
  const uint64_t total = uint64_t{multiplier} * size + constant;
  if (total == 0) return std::nullopt;
  return TClock::now() + std::chrono::milliseconds(total);
}

class TLinuxSerialPort final : public TSerialPort {
public:
  TLinuxSerialPort(int fd, QString path) : fd_(fd), path_(std::move(path)) {}
  ~TLinuxSerialPort() override { ::close(fd_); }

  QString DevicePath() const override { return path_; }
  int Handle() const override { return fd_; }

  int SetQueueSizes(size_t, size_t) override { return 0; }

  int GetLineSettings(TSerialLineSettings& settings) const override {
    termios2 tio{};
    if (::ioctl(fd_, TCGETS2, &tio) != 0) return errno;
    settings.BaudRate = tio.c_ospeed;
    switch (tio.c_cflag & CSIZE) {
      case CS5: settings.ByteSize = 5; break;
      case CS6: settings.ByteSize = 6; break;
      case CS7: settings.ByteSize = 7; break;
      default: settings.ByteSize = 8; break;
    }
    if (!(tio.c_cflag & PARENB)) {
      settings.Parity = spNone;
    } else if (tio.c_cflag & CMSPAR) {
      settings.Parity = (tio.c_cflag & PARODD) ? spMark : spSpace;
    } else {
      settings.Parity = (tio.c_cflag & PARODD) ? spOdd : spEven;
    }
    settings.StopBits = (tio.c_cflag & CSTOPB) ? ssbTwo : ssbOne;
    settings.HardwareFlowControl = (tio.c_cflag & CRTSCTS) != 0;
    settings.SoftwareFlowControl = (tio.c_iflag & (IXON | IXOFF)) != 0;
    int lines = 0;
    // Pseudo-terminals have no modem lines: they read as off.
    if (::ioctl(fd_, TIOCMGET, &lines) == 0) {
      settings.Dtr = (lines & TIOCM_DTR) != 0;
      settings.Rts = (lines & TIOCM_RTS) != 0;
    } else {
      settings.Dtr = settings.Rts = false;
    }
    return 0;
  }

  int SetLineSettings(const TSerialLineSettings& settings) override {
    termios2 tio{};
    if (::ioctl(fd_, TCGETS2, &tio) != 0) return errno;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT) | CREAD | CLOCAL;
    tio.c_ispeed = tio.c_ospeed = settings.BaudRate;
    switch (settings.ByteSize) {
      case 5: tio.c_cflag |= CS5; break;
      case 6: tio.c_cflag |= CS6; break;
      case 7: tio.c_cflag |= CS7; break;
      default: tio.c_cflag |= CS8; break;
    }
    switch (settings.Parity) {
      case spNone: break;
      case spOdd: tio.c_cflag |= PARENB | PARODD; break;
      case spEven: tio.c_cflag |= PARENB; break;
      case spMark: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
      case spSpace: tio.c_cflag |= PARENB | CMSPAR; break;
    }
    // One and a half stop bits cannot be expressed: one is the closest (see the header).
    if (settings.StopBits == ssbTwo) tio.c_cflag |= CSTOPB;
    if (settings.HardwareFlowControl) tio.c_cflag |= CRTSCTS;
    // Raw mode: a binary protocol must see every byte as sent.
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    if (settings.Parity != spNone) tio.c_iflag |= INPCK;
    if (settings.SoftwareFlowControl) tio.c_iflag |= IXON | IXOFF;
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::ioctl(fd_, TCSETS2, &tio) != 0) return errno;
    SetModemLine(TIOCM_DTR, settings.Dtr);
    SetModemLine(TIOCM_RTS, settings.Rts);
    return 0;
  }

  int GetTimeouts(TSerialTimeouts& timeouts) const override {
    std::lock_guard guard(lock_);
    timeouts = timeouts_;
    return 0;
  }

  int SetTimeouts(const TSerialTimeouts& timeouts) override {
    std::lock_guard guard(lock_);
    timeouts_ = timeouts;
    return 0;
  }

  int Purge(bool input, bool output) override {
    if (!input && !output) return 0;
    const int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    return ::ioctl(fd_, TCFLSH, which) == 0 ? 0 : errno;
  }

  int SetEventMask(uint32_t mask) override {
    eventMask_ = mask;
    return 0;
  }

  int ClearError(TSerialStatus& status) override {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0) return errno;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return p.revents & POLLNVAL ? EBADF : EIO;
    int inQueue = 0;
    int outQueue = 0;
    if (::ioctl(fd_, TIOCINQ, &inQueue) != 0) return errno;
    if (::ioctl(fd_, TIOCOUTQ, &outQueue) != 0) outQueue = 0;
    status.InQueue = static_cast<size_t>(std::max(inQueue, 0));
    status.OutQueue = static_cast<size_t>(std::max(outQueue, 0));
    status.Errors = LineErrorsSinceLastCall();
    return 0;
  }

  int WaitForReceived(std::chrono::milliseconds limit) override {
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::clamp<int64_t>(limit.count(), 0, 1 << 30)));
    return ready < 0 && errno != EINTR ? errno : 0;
  }

  int Read(void* buffer, size_t size, size_t& read) override {
    read = 0;
    const TSerialTimeouts t = Timeouts();
    const bool atOnce = t.ReadInterval == ReadIntervalReturnAtOnce && t.ReadTotalMultiplier == 0 &&
                        t.ReadTotalConstant == 0;
    const std::optional<TClock::time_point> total = TotalDeadline(t.ReadTotalMultiplier, t.ReadTotalConstant, size);
    std::optional<TClock::time_point> interval;
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (read < size) {
      const ssize_t n = ::read(fd_, bytes + read, size - read);
      if (n > 0) {
        read += static_cast<size_t>(n);
        if (t.ReadInterval != 0 && t.ReadInterval != ReadIntervalReturnAtOnce)
          interval = TClock::now() + std::chrono::milliseconds(t.ReadInterval);
        continue;
      }
      // A raw terminal without VMIN answers "nothing yet" with 0 rather than EAGAIN.
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN) return errno;
      if (atOnce) return 0;
      std::optional<TClock::time_point> deadline = total;
      if (interval && (!deadline || *interval < *deadline)) deadline = interval;
      const int wait = PollWait(deadline);
      if (wait == 0) return 0;
      pollfd p{fd_, POLLIN, 0};
      const int ready = ::poll(&p, 1, wait);
      if (ready < 0 && errno != EINTR) return errno;
      if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return read > 0 ? 0 : EIO;  // hung up
    }
    return 0;
  }

  int Write(const void* buffer, size_t size, size_t& written) override {
    written = 0;
    const TSerialTimeouts t = Timeouts();
    const std::optional<TClock::time_point> deadline = TotalDeadline(t.WriteTotalMultiplier, t.WriteTotalConstant, size);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    while (written < size) {
      const ssize_t n = ::write(fd_, bytes + written, size - written);
      if (n > 0) {
        written += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN) return errno;
      const int wait = PollWait(deadline);
      if (wait == 0) return 0;  // the time ran out: what went out is counted
      pollfd p{fd_, POLLOUT, 0};
      const int ready = ::poll(&p, 1, wait);
      if (ready < 0 && errno != EINTR) return errno;
      if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return EIO;
    }
    return 0;
  }

private:
  TSerialTimeouts Timeouts() const {
    std::lock_guard guard(lock_);
    return timeouts_;
  }

  void SetModemLine(int line, bool on) {
    // Devices without modem lines (pseudo-terminals, some adapters) refuse this.
    (void)::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line);
  }

  // Differences of the kernel's error counters since the previous call; devices
  // without counters (pseudo-terminals) report none.
  uint32_t LineErrorsSinceLastCall() {
    serial_icounter_struct now{};
    if (::ioctl(fd_, TIOCGICOUNT, &now) != 0) return 0;
    std::lock_guard guard(lock_);
    uint32_t errors = 0;
    if (haveCounters_) {
      if (now.buf_overrun != counters_.buf_overrun) errors |= SerialErrorRxOver;
      if (now.overrun != counters_.overrun) errors |= SerialErrorOverrun;
      if (now.parity != counters_.parity) errors |= SerialErrorParity;
      if (now.frame != counters_.frame) errors |= SerialErrorFrame;
      if (now.brk != counters_.brk) errors |= SerialErrorBreak;
    }
    counters_ = now;
    haveCounters_ = true;
    return errors;
  }

  const int fd_;
  const QString path_;
  mutable std::mutex lock_;
  TSerialTimeouts timeouts_;
  std::atomic<uint32_t> eventMask_{0};
  serial_icounter_struct counters_{};
  bool haveCounters_ = false;
};

}  // namespace

QString SerialErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString SerialDevicePath(const QString& portName) {
  if (portName.startsWith(u'/')) return portName;
  return QStringLiteral("/dev/") + portName;
}

std::unique_ptr<TSerialPort> OpenSerialPort(const QString& portName, int* error) {
  const QString path = SerialDevicePath(portName);
  const QByteArray native = path.toLocal8Bit();
  // No O_CREAT: only an existing device opens. Non-blocking: the time-outs decide.
  const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = errno;
    return nullptr;
  }
  // Not shared: a second opener that locks as we do is refused. (TIOCEXCL would
  // also hold against other programs, but it outlives our close while another
  // descriptor of the device stays open, and it does not bind root.)
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int lockError = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    if (error) *error = lockError;
    return nullptr;
  }
  if (error) *error = 0;
  return std::make_unique<TLinuxSerialPort>(fd, path);
}
