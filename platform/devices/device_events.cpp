#include "platform/devices/device_events.h"

#include <QByteArrayList>
#include <QtGlobal>

#include <linux/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

constexpr unsigned kKernelEventGroup = 1;

void LogOnce(const char* reason) {
  static std::atomic<bool> logged{false};
  if (logged.exchange(true)) return;
  qInfo("Device notifications: the kernel's device events cannot be received (%s); serial radars are looked "
        "for at start only",
        reason);
}

// The key=value fields of a kernel message (the first line, "action@path", has no '=').
std::map<QByteArray, QByteArray> Fields(const QByteArray& message) {
  std::map<QByteArray, QByteArray> fields;
  for (const QByteArray& part : message.split('\0')) {
    const qsizetype equals = part.indexOf('=');
    if (equals > 0) fields[part.left(equals)] = part.mid(equals + 1);
  }
  return fields;
}

}  // namespace

TDeviceEventSource::TDeviceEventSource(const TDeviceRoots& roots, const QString& radarIdText,
                                       std::function<void(const TDeviceEvent&)> onEvent)
    : roots_(roots), radarId_(ParseUsbIdText(radarIdText)), onEvent_(std::move(onEvent)) {
  for (const TSerialDevice& device : EnumerateSerialDevices(roots_, radarId_))
    namesByPath_[device.DevPath] = device.InterfaceName;

  const int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
  if (fd < 0) {
    LogOnce(std::strerror(errno));
    return;
  }
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups = kKernelEventGroup;
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    LogOnce(std::strerror(errno));
    ::close(fd);
    return;
  }
  socket_ = fd;
  reader_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

TDeviceEventSource::~TDeviceEventSource() {
  if (reader_.joinable()) {
    reader_.request_stop();
    reader_.join();
  }
  if (socket_ >= 0) ::close(socket_);
}

void TDeviceEventSource::Run(std::stop_token stop) {
  QByteArray buffer(8192, '\0');
  while (!stop.stop_requested()) {
    pollfd p{socket_, POLLIN, 0};
    const int ready = ::poll(&p, 1, 100);
    if (ready <= 0) continue;
    const ssize_t n = ::recv(socket_, buffer.data(), static_cast<size_t>(buffer.size()), 0);
    if (n <= 0) continue;
    if (std::optional<TDeviceEvent> event = Interpret(buffer.left(n))) onEvent_(*event);
  }
}

void TDeviceEventSource::Inject(const TDeviceEvent& event) { onEvent_(event); }

void TDeviceEventSource::InjectUevent(const QByteArray& message) {
  if (std::optional<TDeviceEvent> event = Interpret(message)) onEvent_(*event);
}

std::optional<TDeviceEvent> TDeviceEventSource::Interpret(const QByteArray& message) {
  const std::map<QByteArray, QByteArray> fields = Fields(message);
  auto field = [&](const char* key) {
    const auto it = fields.find(key);
    return it == fields.end() ? QByteArray() : it->second;
  };
  if (field("SUBSYSTEM") != "tty") return std::nullopt;
  const QString devPath = QString::fromUtf8(field("DEVPATH"));
  if (devPath.isEmpty()) return std::nullopt;
  const QByteArray action = field("ACTION");
  std::lock_guard lock(namesLock_);
  if (action == "add") {
    // A terminal without a device behind it is no serial device.
    const std::optional<TSerialDevice> device = SerialDeviceAt(roots_, devPath, radarId_);
    if (!device) return std::nullopt;
    namesByPath_[devPath] = device->InterfaceName;
    return TDeviceEvent{dekArrival, device->InterfaceName};
  }
  if (action == "remove") {
    const auto it = namesByPath_.find(devPath);
    if (it == namesByPath_.end()) return std::nullopt;
    TDeviceEvent event{dekRemoval, it->second};
    namesByPath_.erase(it);
    return event;
  }
  return std::nullopt;
}
