#include "platform/ipc/endpoint.h"

#include "platform/ipc/copy_data.h"
#include "platform/ipc/ipc_strings.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/sys_utils.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// One accepted connection: a single request, read as it arrives (a slow sender
// never holds up the thread), then answered and closed.
struct Connection {
  int fd = -1;
  QSocketNotifier* notifier = nullptr;
  QByteArray header;       // the kind byte, then the rest of a copy-data header
  uint64_t code = 0;
  uint32_t count = 0;      // byte count announced
  uint32_t received = 0;   // body bytes read so far, kept or dropped
  QByteArray body;         // kept only when count <= MaxCopyDataBytes
  bool busy = false;       // its handler is running (further up this stack)
};

uint8_t Kind(const Connection& c) { return static_cast<uint8_t>(c.header.at(0)); }

size_t HeaderSize(const Connection& c) {
  if (c.header.isEmpty()) return 1;
  return Kind(c) == IpcRequestCopyData ? IpcCopyDataHeaderSize : 1;
}

// A notifier may be the sender of the slot that is running, so it goes later.
void Retire(QSocketNotifier*& notifier) {
  if (!notifier) return;
  notifier->setEnabled(false);
  notifier->deleteLater();
  notifier = nullptr;
}

bool CanNotify() {
  const QCoreApplication* application = QCoreApplication::instance();
  return application && application->thread() == QThread::currentThread();
}

sockaddr_un Address(const QByteArray& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
  return address;
}

// Connects without waiting. The socket, or -1; *busy tells a listener whose
// queue is full (it exists but has not taken the connection).
int ConnectTo(const QString& path, bool* busy) {
  *busy = false;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  const sockaddr_un address = Address(path.toLocal8Bit());
  int rc;
  do {
    rc = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    *busy = errno == EAGAIN;
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

struct TIpcEndpoint::Impl {
  TIpcEndpoint* owner = nullptr;
  QString className;
  QString path;
  QString error;
  int listenFd = -1;
  dev_t device = 0;
  ino_t inode = 0;
  QSocketNotifier* listenNotifier = nullptr;
  std::vector<std::unique_ptr<Connection>> connections;
  // Expires with the endpoint: a handler may destroy its own endpoint.
  std::shared_ptr<char> life = std::make_shared<char>();

  void Accept();
  void Serve(Connection* c);
  void Dispatch(Connection* c);
  void Close(Connection* c);
  void Unbind();
};

namespace {

// The bound endpoints of this process, kept and served by the thread that
// bound them (the user-interface thread).
std::vector<TIpcEndpoint::Impl*>& Registry() {
  static std::vector<TIpcEndpoint::Impl*> endpoints;
  return endpoints;
}
std::atomic<std::thread::id> registryThread;

// What a waiting sender watches besides its own connection: every listening
// socket and every connection whose handler is not already running. A sender
// on another thread serves nothing (and leaves the list alone).
void AddServedFds(std::vector<pollfd>& fds) {
  if (registryThread.load() != std::this_thread::get_id()) return;
  for (const TIpcEndpoint::Impl* endpoint : Registry()) {
    fds.push_back({endpoint->listenFd, POLLIN, 0});
    for (const auto& c : endpoint->connections)
      if (!c->busy) fds.push_back({c->fd, POLLIN, 0});
  }
}

void ServeFd(int fd) {
  for (TIpcEndpoint::Impl* endpoint : Registry()) {
    if (endpoint->listenFd == fd) {
      endpoint->Accept();
      return;
    }
    for (const auto& c : endpoint->connections)
      if (c->fd == fd) {
        if (!c->busy) endpoint->Serve(c.get());
        return;
      }
  }
}

// Polls the given sockets and this process's endpoints, serving the latter;
// false when poll itself failed.
bool WaitServing(std::vector<pollfd>& fds, size_t ownCount, int timeoutMs) {
  fds.resize(ownCount);
  AddServedFds(fds);
  const int rc = poll(fds.data(), fds.size(), timeoutMs);
  if (rc < 0) return errno == EINTR;
  std::vector<int> ready;
  for (size_t i = ownCount; i < fds.size(); ++i)
    if (fds[i].revents) ready.push_back(fds[i].fd);
  for (const int fd : ready) ServeFd(fd);
  return true;
}

// Sends one request and waits for its 8-byte answer, serving our own endpoints
// meanwhile.
std::optional<int64_t> Transact(const QString& className, const QByteArray& request) {
  const QString path = IpcEndpointPath(className);
  if (path.isEmpty()) return std::nullopt;
  std::vector<pollfd> fds;
  bool busy = false;
  int fd = ConnectTo(path, &busy);
  // A full queue only empties when its owner runs, which may be waiting for us.
  while (fd < 0 && busy) {
    if (!WaitServing(fds, 0, 10)) return std::nullopt;
    fd = ConnectTo(path, &busy);
  }
  if (fd < 0) return std::nullopt;

  size_t sent = 0;
  const auto size = static_cast<size_t>(request.size());
  char reply[IpcReplySize];
  size_t got = 0;
  bool failed = false;
  while (!failed && got < IpcReplySize) {
    fds.assign(1, pollfd{fd, static_cast<short>(sent < size ? POLLOUT | POLLIN : POLLIN), 0});
    if (!WaitServing(fds, 1, -1)) break;
    const short events = fds[0].revents;
    if ((events & (POLLOUT | POLLERR)) && sent < size) {
      const ssize_t n = send(fd, request.constData() + sent, size - sent, MSG_NOSIGNAL);
      if (n > 0) sent += static_cast<size_t>(n);
      else if (n < 0 && errno != EAGAIN && errno != EINTR) failed = true;
    }
    if (!failed && (events & (POLLIN | POLLHUP | POLLERR))) {
      const ssize_t n = recv(fd, reply + got, IpcReplySize - got, 0);
      if (n > 0) got += static_cast<size_t>(n);
      else if (n == 0 || (errno != EAGAIN && errno != EINTR)) failed = true;
    }
  }
  close(fd);
  if (got < IpcReplySize) return std::nullopt;
  int64_t result;
  std::memcpy(&result, reply, sizeof result);
  return result;
}

}  // namespace

void TIpcEndpoint::Impl::Accept() {
  const std::weak_ptr<char> alive = life;
  while (!alive.expired()) {
    const int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;
    }
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        credentials.uid != geteuid()) {
      close(fd);
      continue;
    }
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    Connection* raw = c.get();
    if (CanNotify()) {
      c->notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
      QObject::connect(c->notifier, &QSocketNotifier::activated, [this, raw] { Serve(raw); });
    }
    connections.push_back(std::move(c));
    Serve(raw);  // the request may be there already
  }
}

void TIpcEndpoint::Impl::Serve(Connection* c) {
  if (c->busy) return;
  char buffer[64 * 1024];
  for (;;) {
    size_t want;
    const size_t headerSize = HeaderSize(*c);
    if (static_cast<size_t>(c->header.size()) < headerSize)
      want = headerSize - static_cast<size_t>(c->header.size());
    else if (Kind(*c) == IpcRequestCopyData && c->received < c->count)
      want = std::min<size_t>(c->count - c->received, sizeof buffer);
    else
      break;
    const ssize_t n = recv(c->fd, buffer, want, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return;  // the rest comes later
    if (n <= 0) {                           // closed or broken before the end
      Close(c);
      return;
    }
    if (static_cast<size_t>(c->header.size()) < headerSize) {
      c->header.append(buffer, n);
      if (c->header.size() == 1 && Kind(*c) != IpcRequestCopyData && Kind(*c) != IpcRequestActivate) {
        Close(c);
        return;
      }
      if (static_cast<size_t>(c->header.size()) == IpcCopyDataHeaderSize) {
        std::memcpy(&c->code, c->header.constData() + 1, sizeof c->code);
        std::memcpy(&c->count, c->header.constData() + 9, sizeof c->count);
        if (c->count <= MaxCopyDataBytes) c->body.reserve(c->count);
      }
    } else {
      if (c->count <= MaxCopyDataBytes) c->body.append(buffer, n);
      c->received += static_cast<uint32_t>(n);
    }
  }
  Dispatch(c);
}

void TIpcEndpoint::Impl::Dispatch(Connection* c) {
  c->busy = true;
  if (c->notifier) c->notifier->setEnabled(false);
  const std::weak_ptr<char> alive = life;
  int64_t result = 0;
  try {
    if (Kind(*c) == IpcRequestActivate) {
      if (owner->OnActivate) {
        const auto handler = owner->OnActivate;
        handler();
      }
    } else if (c->count <= MaxCopyDataBytes && owner->OnCopyData) {
      const auto handler = owner->OnCopyData;
      result = handler(c->code, c->body);
    }
  } catch (...) {
    // A handler reports its own failures; one that escapes must not unwind
    // through the event loop. The sender gets 0.
    result = 0;
  }
  if (alive.expired()) return;  // the handler ended the endpoint and its connections
  ssize_t n;
  do {
    n = send(c->fd, &result, sizeof result, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  Close(c);
}

void TIpcEndpoint::Impl::Close(Connection* c) {
  const auto it = std::find_if(connections.begin(), connections.end(),
                               [c](const auto& held) { return held.get() == c; });
  if (it == connections.end()) return;
  Retire(c->notifier);
  close(c->fd);
  connections.erase(it);
}

void TIpcEndpoint::Impl::Unbind() {
  auto& registry = Registry();
  registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
  for (auto& c : connections) {
    Retire(c->notifier);
    close(c->fd);
  }
  connections.clear();
  if (listenFd < 0) return;
  Retire(listenNotifier);
  close(listenFd);
  listenFd = -1;
  // Only our own socket file: a later endpoint may have replaced a stale one.
  struct stat info{};
  const QByteArray file = path.toLocal8Bit();
  if (lstat(file.constData(), &info) == 0 && info.st_dev == device && info.st_ino == inode)
    unlink(file.constData());
}

QString IpcEndpointPath(const QString& className, QString* error) {
  QString failure;
  QString path;
  if (!UsableIpcName(className)) {
    failure = Format(LoadResString(SIpcBadName), {className});
  } else {
    const TIpcFolder folder = IpcRuntimeFolder();
    if (!folder.Ok()) {
      failure = folder.Error;
    } else {
      path = folder.Path + u'/' + className;
      if (static_cast<size_t>(path.toLocal8Bit().size()) >= sizeof(sockaddr_un::sun_path)) {
        failure = Format(LoadResString(SIpcPathTooLong), {path});
        path.clear();
      }
    }
  }
  if (error) *error = failure;
  return path;
}

TIpcEndpoint::TIpcEndpoint(const QString& className) : impl_(std::make_unique<Impl>()) {
  impl_->owner = this;
  impl_->className = className;
}

TIpcEndpoint::~TIpcEndpoint() { impl_->Unbind(); }

bool TIpcEndpoint::Bound() const { return impl_->listenFd >= 0; }
const QString& TIpcEndpoint::ClassName() const { return impl_->className; }
const QString& TIpcEndpoint::Error() const { return impl_->error; }

bool TIpcEndpoint::Bind() {
  if (Bound()) return true;
  Impl& d = *impl_;
  d.path = IpcEndpointPath(d.className, &d.error);
  if (d.path.isEmpty()) return false;
  const QByteArray file = d.path.toLocal8Bit();
  const sockaddr_un address = Address(file);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    d.error = IpcSystemError(d.path, errno);
    return false;
  }
  const auto bindTo = [&] { return bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0; };
  bool bound = bindTo();
  if (!bound && errno == EADDRINUSE) {
    // A socket file nobody listens on is left from a program that ended
    // without removing it; anything else there is not ours to remove.
    struct stat info{};
    bool live = false;
    const int probe = ConnectTo(d.path, &live);
    if (probe >= 0) {
      close(probe);
      live = true;
    }
    if (live) {
      d.error = Format(LoadResString(SIpcEndpointInUse), {d.className});
      close(fd);
      return false;
    }
    if (lstat(file.constData(), &info) == 0 && S_ISSOCK(info.st_mode) && unlink(file.constData()) == 0)
      bound = bindTo();
    else
      errno = EADDRINUSE;
  }
  if (!bound || listen(fd, SOMAXCONN) != 0) {
    d.error = IpcSystemError(d.path, errno);
    close(fd);
    return false;
  }
  struct stat info{};
  if (lstat(file.constData(), &info) == 0) {
    d.device = info.st_dev;
    d.inode = info.st_ino;
  }
  d.listenFd = fd;
  d.error.clear();
  if (CanNotify()) {
    d.listenNotifier = new QSocketNotifier(fd, QSocketNotifier::Read);
    QObject::connect(d.listenNotifier, &QSocketNotifier::activated, [&d] { d.Accept(); });
  }
  registryThread.store(std::this_thread::get_id());
  Registry().push_back(&d);
  return true;
}

bool FindWindow(const QString& className) {
  const QString path = IpcEndpointPath(className);
  if (path.isEmpty()) return false;
  bool busy = false;
  const int fd = ConnectTo(path, &busy);
  if (fd < 0) return busy;
  close(fd);
  return true;
}

std::optional<int64_t> SendCopyData(const QString& className, uint64_t code, const QByteArray& bytes) {
  if (static_cast<uint64_t>(bytes.size()) > UINT32_MAX) return std::nullopt;
  return Transact(className, EncodeCopyDataRequest(code, bytes));
}

bool ActivateWindow(const QString& className) {
  return Transact(className, QByteArray(1, static_cast<char>(IpcRequestActivate))).has_value();
}
