// TCP client connections on 127.0.0.1: bounded receives, partial greetings, the
// peer's close and reset, and refused or malformed addresses.

#include "platform/net/tcp_client.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtGlobal>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

// A listening socket on 127.0.0.1 at an ephemeral port; Accept takes one client.
class TLoopbackServer {
public:
  TLoopbackServer() {
    listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(a);
    ::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    ::listen(listener, 2);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length);
    port = ntohs(a.sin_port);
  }
  ~TLoopbackServer() {
    if (peer >= 0) ::close(peer);
    ::close(listener);
  }
  void Accept() { peer = ::accept(listener, nullptr, nullptr); }
  void Send(const std::string& s) const { ::send(peer, s.data(), s.size(), MSG_NOSIGNAL); }
  std::string Receive(size_t n) const {
    std::string out(n, '\0');
    size_t got = 0;
    while (got < n) {
      const ssize_t r = ::recv(peer, out.data() + got, n - got, 0);
      if (r <= 0) break;
      got += static_cast<size_t>(r);
    }
    out.resize(got);
    return out;
  }
  void Close(bool reset) {
    if (reset) {
      const linger l{1, 0};
      ::setsockopt(peer, SOL_SOCKET, SO_LINGER, &l, sizeof(l));
    }
    ::close(peer);
    peer = -1;
  }
  int listener = -1;
  int peer = -1;
  uint16_t port = 0;
};

TEST(TcpClient, ExchangesBytesAndBoundsEveryWait) {
  TLoopbackServer server;
  int error = -1;
  std::unique_ptr<TTcpClient> client = ConnectTcpClient(QStringLiteral("127.0.0.1"), server.port, 5000, &error);
  ASSERT_TRUE(client);
  EXPECT_EQ(error, 0);
  server.Accept();
  EXPECT_TRUE(client->Connected());

  char buffer[16] = {};
  EXPECT_EQ(client->Receive(buffer, sizeof(buffer), 0).Status, nsTimeout) << "nothing has arrived";
  server.Send("QEL5P");
  const TNetTransfer partial = client->ReceiveAll(buffer, 7, 200);
  EXPECT_EQ(partial.Status, nsTimeout) << "only part arrived in time";
  EXPECT_EQ(partial.Count, 5u);
  server.Send("TR");
  const TNetTransfer rest = client->ReceiveAll(buffer + 5, 2, 5000);
  EXPECT_EQ(rest.Status, nsOk);
  EXPECT_EQ(std::string(buffer, 7), "QEL5PTR");

  const TNetTransfer sent = client->Send("ping", 4, 1000);
  EXPECT_EQ(sent.Status, nsOk);
  EXPECT_EQ(server.Receive(4), "ping");
}

TEST(TcpClient, TellsAnOrderlyCloseFromAResetAndDisconnectsOnce) {
  for (const bool reset : {false, true}) {
    SCOPED_TRACE(reset ? "reset" : "orderly close");
    TLoopbackServer server;
    std::unique_ptr<TTcpClient> client = ConnectTcpClient(QStringLiteral("localhost"), server.port, 5000, nullptr);
    ASSERT_TRUE(client);
    server.Accept();
    server.Close(reset);
    char buffer[8];
    const TNetTransfer r = client->Receive(buffer, sizeof(buffer), 5000);
    if (reset) {
      EXPECT_EQ(r.Status, nsError);
      EXPECT_EQ(r.Error, ECONNRESET);
    } else {
      EXPECT_EQ(r.Status, nsClosed);
    }
    int disconnects = 0;
    client->OnDisconnect = [&] { ++disconnects; };
    client->Disconnect();
    client->Disconnect();
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(client->Connected());
    EXPECT_EQ(client->Receive(buffer, sizeof(buffer), 0).Error, ENOTCONN);
  }
}

TEST(TcpClient, RefusedPortsAndHostsThatAreNotAddresses) {
  int error = 0;
  TLoopbackServer closed;
  const uint16_t port = closed.port;
  ::close(closed.listener);
  closed.listener = ::socket(AF_INET, SOCK_STREAM, 0);  // the destructor closes something harmless
  EXPECT_EQ(ConnectTcpClient(QStringLiteral("127.0.0.1"), port, 5000, &error), nullptr);
  EXPECT_EQ(error, ECONNREFUSED);
  EXPECT_EQ(ConnectTcpClient(QStringLiteral("radar.example"), 80, 5000, &error), nullptr);
  EXPECT_EQ(error, EINVAL) << "names are not looked up";
  EXPECT_FALSE(NetErrorText(ECONNREFUSED).isEmpty());
}

// Sets the loopback-only variable for one test and puts back what was there.
class TLoopbackOnlyScope {
public:
  explicit TLoopbackOnlyScope(const char* value) {
    if (const char* old = std::getenv(LoopbackOnlyVariable)) old_ = old;
    if (value)
      ::setenv(LoopbackOnlyVariable, value, 1);
    else
      ::unsetenv(LoopbackOnlyVariable);
  }
  ~TLoopbackOnlyScope() {
    if (old_)
      ::setenv(LoopbackOnlyVariable, old_->c_str(), 1);
    else
      ::unsetenv(LoopbackOnlyVariable);
  }

private:
  std::optional<std::string> old_;
};

std::vector<QString>& LoggedWarnings() {
  static std::vector<QString> warnings;
  return warnings;
}

TEST(TcpClient, TheLoopbackGuardRefusesOtherAddressesAtOnceAndLogsIt) {
  TLoopbackOnlyScope guard("1");
  ASSERT_TRUE(LoopbackOnly());
  LoggedWarnings().clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { LoggedWarnings().push_back(text); });
  // A private network's radar address, another private range, a public one and
  // the IPv6 loopback, which lies outside 127.0.0.0/8 too.
  for (const char* host : {"192.168.4.1", "10.20.30.40", "8.8.8.8", "::1"}) {  // refused before sending: nothing leaves
    SCOPED_TRACE(host);
    int error = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ConnectTcpClient(QString::fromLatin1(host), 2000, 20000, &error), nullptr);
    EXPECT_EQ(error, EACCES) << "refused, not tried (a try gives a time-out or an unreachable network)";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_FALSE(LoggedWarnings().empty());
    EXPECT_TRUE(LoggedWarnings().back().contains(QString::fromLatin1(host)));
    EXPECT_TRUE(LoggedWarnings().back().contains(QStringLiteral("GPR_LOOPBACK_ONLY")));
  }
  qInstallMessageHandler(previous);
  // The whole of 127.0.0.0/8 still connects.
  TLoopbackServer server;
  for (const char* host : {"127.0.0.1", "localhost"}) {
    int error = 0;
    EXPECT_NE(ConnectTcpClient(QString::fromLatin1(host), server.port, 5000, &error), nullptr) << host;
    EXPECT_EQ(error, 0);
  }
  int error = 0;
  EXPECT_EQ(ConnectTcpClient(QStringLiteral("127.1.2.3"), server.port, 5000, &error), nullptr);
  EXPECT_NE(error, EACCES) << "127.1.2.3 is tried (nothing listens there)";
}

TEST(TcpClient, WithoutTheVariableOrWithAnEmptyOneThereIsNoGuard) {
  {
    TLoopbackOnlyScope guard(nullptr);
    EXPECT_FALSE(LoopbackOnly());
  }
  TLoopbackOnlyScope guard("");
  EXPECT_FALSE(LoopbackOnly());
}

}  // namespace
