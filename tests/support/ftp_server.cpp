// The server picks its own port (-p 0) and names it in its start line, so no
// other process can take the port between choosing and binding it.

#include "tests/support/ftp_server.h"

#include "platform/net/tcp_client.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

constexpr char kPython[] = "/usr/bin/python3";
// Python and the library take a moment to start on a loaded machine.
constexpr auto kStartLimit = 30s;
constexpr auto kStopLimit = 5s;

// A TCP socket bound to 127.0.0.1 and a port (0: any free one); -1 on failure.
int BindLoopback(uint16_t* boundPort) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    return -1;
  }
  *boundPort = ntohs(address.sin_port);
  return fd;
}

// Waits for the child's end; SIGKILL when it has not ended within the limit.
void KillAndWait(pid_t pid) {
  ::kill(pid, SIGTERM);
  const auto deadline = TClock::now() + kStopLimit;
  int status = 0;
  while (TClock::now() < deadline) {
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno != EINTR)) return;
    std::this_thread::sleep_for(10ms);
  }
  ::kill(pid, SIGKILL);
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

TFtpTestServer::TFtpTestServer() {
  if (!dir_.isValid()) {
    error_ = QStringLiteral("no temporary folder: ") + dir_.errorString();
    return;
  }
  if (!QDir().mkpath(Root() + QStringLiteral("pub"))) {
    error_ = QStringLiteral("cannot create ") + Root() + QStringLiteral("pub");
    return;
  }
  Launch(0);
}

TFtpTestServer::~TFtpTestServer() { Stop(); }

QString TFtpTestServer::Root() const { return dir_.path() + QStringLiteral("/served/"); }

QByteArray TFtpTestServer::ServerLog() const {
  QFile log(dir_.path() + QStringLiteral("/server.log"));
  return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

bool TFtpTestServer::Put(const QString& relativePath, const QByteArray& bytes) const {
  const QString path = Root() + relativePath;
  if (!QDir().mkpath(QFileInfo(path).path())) return false;
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool TFtpTestServer::Launch(uint16_t port) {
  const QByteArray logPath = QFile::encodeName(dir_.path() + QStringLiteral("/server.log"));
  const QByteArray root = QFile::encodeName(QDir::cleanPath(Root()));
  const QByteArray portText = QByteArray::number(port);
  std::vector<char*> argv = {const_cast<char*>(kPython), const_cast<char*>("-m"), const_cast<char*>("pyftpdlib"),
                             const_cast<char*>("-i"), const_cast<char*>("127.0.0.1"),
                             const_cast<char*>("-p"), const_cast<char*>(portText.constData()),
                             const_cast<char*>("-d"), const_cast<char*>(root.constData()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, kPython, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    error_ = QStringLiteral("cannot start ") + QLatin1String(kPython) + QStringLiteral(": ") + NetErrorText(spawned);
    return false;
  }

  // ">>> starting FTP server on 127.0.0.1:PORT, pid=N <<<" once it listens.
  static const QRegularExpression started(QStringLiteral(R"(starting FTP server on 127\.0\.0\.1:(\d+))"));
  const auto deadline = TClock::now() + kStartLimit;
  while (TClock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      error_ = QStringLiteral("pyftpdlib ended at start: ") + QString::fromUtf8(ServerLog());
      return false;
    }
    if (port_ == 0) {
      const QRegularExpressionMatch m = started.match(QString::fromUtf8(ServerLog()));
      if (m.hasMatch()) port_ = static_cast<uint16_t>(m.captured(1).toUInt());
    }
    if (port_ != 0) {
      int error = 0;
      if (std::unique_ptr<TTcpClient> probe = ConnectTcpClient(Host(), port_, 500, &error)) {
        probe->Disconnect();
        pid_ = pid;
        return true;
      }
    }
    std::this_thread::sleep_for(20ms);
  }
  KillAndWait(pid);
  port_ = 0;
  error_ = QStringLiteral("pyftpdlib did not accept connections in time: ") + QString::fromUtf8(ServerLog());
  return false;
}

void TFtpTestServer::Stop() {
  if (pid_ > 0) KillAndWait(pid_);
  pid_ = -1;
}

uint16_t UnusedLoopbackPort() {
  uint16_t port = 0;
  const int fd = BindLoopback(&port);
  if (fd < 0) return 0;
  ::close(fd);  // bound but never listening: closing leaves nothing behind
  return port;
}

TSilentTcpListener::TSilentTcpListener() {
  fd_ = BindLoopback(&port_);
  if (fd_ >= 0 && ::listen(fd_, 8) != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

TSilentTcpListener::~TSilentTcpListener() {
  if (fd_ >= 0) ::close(fd_);
}
