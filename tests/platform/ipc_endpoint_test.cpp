// The endpoints in one process: binding, finding, sending to our own endpoint
// (served while the sender waits), and what the receiver does with requests a
// raw client sends: damaged, cut short, oversized, slow, or from another user.

#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"

#include "tests/platform/ipc_test_support.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/fsuid.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using EndpointTest = IpcFolderTest;

sockaddr_un UnixAddress(const QByteArray& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
  return address;
}

// A connection made by hand, to send what no well-behaved sender would.
class TRawClient {
public:
  explicit TRawClient(const QString& path) {
    fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = UnixAddress(path.toLocal8Bit());
    connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  ~TRawClient() { close(fd); }
  void Send(const QByteArray& bytes) const {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += n;
    }
  }
  // Sends while the event loop serves the receiver (for requests larger than
  // the socket buffer).
  void SendServed(const QByteArray& bytes) const {
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    qsizetype sent = 0;
    WaitFor([&] {
      const ssize_t n = send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
      if (n > 0) sent += n;
      return sent == bytes.size() || (n < 0 && errno != EAGAIN);
    });
    fcntl(fd, F_SETFL, flags);
  }
  // Runs the event loop until the receiver answers or closes: the bytes it sent.
  QByteArray Answer() const {
    QByteArray answer;
    WaitFor([&] {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 0) != 1) return false;
      char buffer[64];
      const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n > 0) answer.append(buffer, n);
      return n <= 0;
    });
    return answer;
  }
  int fd = -1;
  bool connected = false;
};

QByteArray Result(int64_t value) { return QByteArray(reinterpret_cast<const char*>(&value), sizeof value); }

struct TReceived {
  int calls = 0;
  uint64_t code = 0;
  QByteArray bytes;
};

// An endpoint that records what reached its handler and answers code * 2.
std::unique_ptr<TIpcEndpoint> Recording(const QString& className, TReceived& received) {
  auto endpoint = std::make_unique<TIpcEndpoint>(className);
  endpoint->OnCopyData = [&received](uint64_t code, const QByteArray& bytes) {
    ++received.calls;
    received.code = code;
    received.bytes = bytes;
    return static_cast<int64_t>(code * 2);
  };
  EXPECT_TRUE(endpoint->Bind()) << endpoint->Error().toStdString();
  return endpoint;
}

TEST_F(EndpointTest, ABoundEndpointIsFoundUntilItIsDestroyed) {
  const QString path = folder.filePath(QStringLiteral("DUvova3DuruZuza"));
  EXPECT_FALSE(FindWindow(QStringLiteral("DUvova3DuruZuza")));
  {
    TIpcEndpoint endpoint(QStringLiteral("DUvova3DuruZuza"));
    ASSERT_TRUE(endpoint.Bind()) << endpoint.Error().toStdString();
    EXPECT_TRUE(endpoint.Bound());
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_TRUE(FindWindow(QStringLiteral("DUvova3DuruZuza")));
    EXPECT_FALSE(FindWindow(QStringLiteral("TViviraMainForm")));
  }
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_FALSE(FindWindow(QStringLiteral("DUvova3DuruZuza")));
  EXPECT_EQ(SendCopyData(QStringLiteral("DUvova3DuruZuza"), 100, "x"), std::nullopt);
  EXPECT_FALSE(ActivateWindow(QStringLiteral("DUvova3DuruZuza")));
}

TEST_F(EndpointTest, ASendToOurOwnEndpointIsServedWhileWaiting) {
  TReceived received;
  const auto endpoint = Recording(QStringLiteral("TViviraMainForm"), received);
  int activations = 0;
  endpoint->OnActivate = [&activations] { ++activations; };

  const QByteArray bytes = CopyDataTextBytes(QStringLiteral("/data/line 7.dezo"));
  EXPECT_EQ(SendCopyData(QStringLiteral("TViviraMainForm"), 300, bytes), 600);
  EXPECT_EQ(received.calls, 1);
  EXPECT_EQ(received.code, 300u);
  EXPECT_EQ(received.bytes, bytes);

  EXPECT_EQ(SendCopyData(QStringLiteral("TViviraMainForm"), 0xFFFFFFFFFFull, {}), 0x1FFFFFFFFFEll);
  EXPECT_EQ(received.bytes, QByteArray());

  EXPECT_TRUE(ActivateWindow(QStringLiteral("TViviraMainForm")));
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(received.calls, 2);
}

TEST_F(EndpointTest, ASenderOnAnotherThreadIsServedByTheLoop) {
  TReceived received;
  const auto endpoint = Recording(QStringLiteral("Threaded"), received);
  std::optional<int64_t> result;
  std::atomic<bool> done = false;
  std::thread sender([&] {
    result = SendCopyData(QStringLiteral("Threaded"), 50, "from a worker");
    done = true;
  });
  const bool served = WaitFor([&] { return done.load(); });
  sender.join();
  ASSERT_TRUE(served);
  EXPECT_EQ(result, 100);
  EXPECT_EQ(received.bytes, QByteArray("from a worker"));
}

TEST_F(EndpointTest, WithoutHandlersTheResultIsZero) {
  TIpcEndpoint endpoint(QStringLiteral("Quiet"));
  ASSERT_TRUE(endpoint.Bind());
  EXPECT_EQ(SendCopyData(QStringLiteral("Quiet"), 100, "abc"), 0);
  EXPECT_TRUE(ActivateWindow(QStringLiteral("Quiet")));
}

TEST_F(EndpointTest, AHandlerMayEndItsOwnEndpoint) {
  auto endpoint = std::make_unique<TIpcEndpoint>(QStringLiteral("Closing"));
  endpoint->OnCopyData = [&endpoint](uint64_t, const QByteArray&) -> int64_t {
    endpoint.reset();
    return 5;
  };
  ASSERT_TRUE(endpoint->Bind());
  // The endpoint went with its connection: the sender learns there was no answer.
  EXPECT_EQ(SendCopyData(QStringLiteral("Closing"), 1, {}), std::nullopt);
  EXPECT_EQ(endpoint, nullptr);
  EXPECT_FALSE(FindWindow(QStringLiteral("Closing")));
}

TEST_F(EndpointTest, ALiveEndpointIsNotTakenOverButAStaleSocketIs) {
  TIpcEndpoint live(QStringLiteral("Busy"));
  ASSERT_TRUE(live.Bind());
  TIpcEndpoint rival(QStringLiteral("Busy"));
  EXPECT_FALSE(rival.Bind());
  EXPECT_TRUE(rival.Error().contains(QStringLiteral("Busy"))) << rival.Error().toStdString();
  EXPECT_TRUE(FindWindow(QStringLiteral("Busy")));

  // A socket left behind by a program that ended without removing it.
  const QString stalePath = folder.filePath(QStringLiteral("Stale"));
  {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = UnixAddress(stalePath.toLocal8Bit());
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(fd);
  }
  EXPECT_FALSE(FindWindow(QStringLiteral("Stale")));
  TReceived received;
  const auto replacement = Recording(QStringLiteral("Stale"), received);
  EXPECT_EQ(SendCopyData(QStringLiteral("Stale"), 21, {}), 42);
}

TEST_F(EndpointTest, AFileThatIsNoSocketIsLeftAlone) {
  QFile file(folder.filePath(QStringLiteral("Plain")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("keep");
  file.close();
  TIpcEndpoint endpoint(QStringLiteral("Plain"));
  EXPECT_FALSE(endpoint.Bind());
  EXPECT_NE(endpoint.Error(), QString());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("keep"));
}

TEST_F(EndpointTest, NamesThatCannotBeASocketPathAreRefused) {
  // The socket address holds 107 bytes and its zero; a longer path is an error,
  // never cut to a path that may name another socket.
  const qsizetype room = 107 - folder.path().size() - 1;
  ASSERT_GT(room, 2);
  const QString longest(room, u'L');
  const QString tooLong(room + 1, u'L');
  TIpcEndpoint fits(longest);
  EXPECT_TRUE(fits.Bind()) << fits.Error().toStdString();
  EXPECT_TRUE(FindWindow(longest));

  for (const QString& name : {tooLong, QString(), QStringLiteral("."), QStringLiteral(".."),
                              QStringLiteral("a/b")}) {
    TIpcEndpoint endpoint(name);
    EXPECT_FALSE(endpoint.Bind()) << name.toStdString();
    EXPECT_NE(endpoint.Error(), QString()) << name.toStdString();
    QString error;
    EXPECT_EQ(IpcEndpointPath(name, &error), QString());
    EXPECT_EQ(error, endpoint.Error());
    EXPECT_FALSE(FindWindow(name));
    EXPECT_EQ(SendCopyData(name, 100, {}), std::nullopt);
  }
  QString error;
  IpcEndpointPath(tooLong, &error);
  EXPECT_TRUE(error.contains(folder.filePath(tooLong))) << error.toStdString();
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::System | QDir::Files), QStringList({longest}));
}

TEST_F(EndpointTest, TheEventLoopServesRequestsAsTheyArrive) {
  TReceived received;
  const auto endpoint = Recording(QStringLiteral("Loop"), received);
  TRawClient client(folder.filePath(QStringLiteral("Loop")));
  ASSERT_TRUE(client.connected);
  const QByteArray request = EncodeCopyDataRequest(7, QByteArray("payload"));
  // A slow sender: the header now, the rest later; nothing blocks meanwhile.
  client.Send(request.left(5));
  QCoreApplication::processEvents();
  client.Send(request.mid(5, 10));
  WaitFor([] { return false; }, 30);
  EXPECT_EQ(received.calls, 0);
  client.Send(request.mid(15));
  EXPECT_EQ(client.Answer(), Result(14));
  EXPECT_EQ(received.calls, 1);
  EXPECT_EQ(received.bytes, QByteArray("payload"));
}

TEST_F(EndpointTest, DamagedOrCutRequestsReachNoHandler) {
  TReceived received;
  const auto endpoint = Recording(QStringLiteral("Guarded"), received);
  const QString path = folder.filePath(QStringLiteral("Guarded"));
  const QByteArray full = EncodeCopyDataRequest(100, QByteArray(10, 'a'));
  const struct {
    QByteArray bytes;
    const char* what;
  } cases[] = {
      {QByteArray("\x07", 1) + full.mid(1), "unknown request kind"},
      {QByteArray(1, '\0'), "kind zero"},
      {full.left(7), "header cut short"},
      {full.left(full.size() - 1), "one byte of the data missing"},
  };
  for (const auto& c : cases) {
    {
      TRawClient client(path);
      ASSERT_TRUE(client.connected);
      client.Send(c.bytes);
      shutdown(client.fd, SHUT_WR);
      EXPECT_EQ(client.Answer(), QByteArray()) << c.what;  // closed unanswered
    }
    EXPECT_EQ(received.calls, 0) << c.what;
  }
  EXPECT_EQ(SendCopyData(QStringLiteral("Guarded"), 4, {}), 8);  // still serving
}

TEST_F(EndpointTest, OversizedDataIsDroppedUnreadWithResultZero) {
  TReceived received;
  const auto endpoint = Recording(QStringLiteral("Big"), received);
  const struct {
    uint32_t count;
    int calls;
    int64_t result;
  } cases[] = {
      {MaxCopyDataBytes, 1, 200},
      {MaxCopyDataBytes + 1, 0, 0},
  };
  for (const auto& c : cases) {
    received = {};
    TRawClient client(folder.filePath(QStringLiteral("Big")));
    ASSERT_TRUE(client.connected);
    client.SendServed(EncodeCopyDataRequest(100, QByteArray(static_cast<qsizetype>(c.count), 'z')));
    EXPECT_EQ(client.Answer(), Result(c.result)) << c.count;
    EXPECT_EQ(received.calls, c.calls) << c.count;
    if (c.calls) {
      EXPECT_EQ(received.bytes.size(), static_cast<qsizetype>(c.count));
    }
  }
  // A count far above what is sent is not allocated up front either.
  TRawClient client(folder.filePath(QStringLiteral("Big")));
  QByteArray header = EncodeCopyDataRequest(100, {});
  const uint32_t huge = 0xFFFFFFFFu;
  std::memcpy(header.data() + 9, &huge, sizeof huge);
  client.Send(header + QByteArray(100, 'z'));
  shutdown(client.fd, SHUT_WR);
  EXPECT_EQ(client.Answer(), QByteArray());
  EXPECT_EQ(received.calls, 0);
}

TEST_F(EndpointTest, ConnectionsFromAnotherUserAreClosedUnanswered) {
  TReceived received;
  int activations = 0;
  const auto endpoint = Recording(QStringLiteral("Private"), received);
  endpoint->OnActivate = [&activations] { ++activations; };
  const sockaddr_un address = UnixAddress(folder.filePath(QStringLiteral("Private")).toLocal8Bit());

  // The child connects as another user: the kernel records the effective user
  // at connect time, while the folder check goes by the file-system user.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setresuid(static_cast<uid_t>(-1), 65534, static_cast<uid_t>(-1)) != 0) _exit(77);
    setfsuid(0);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) _exit(78);
    const char activate = static_cast<char>(IpcRequestActivate);
    // The endpoint may close the connection before the request is even sent.
    if (send(fd, &activate, 1, MSG_NOSIGNAL) != 1) _exit(errno == EPIPE || errno == ECONNRESET ? 0 : 79);
    char answer[8];
    // Closed unanswered: an end of file, or a reset for the request left unread.
    _exit(recv(fd, answer, sizeof answer, 0) <= 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_TRUE(WaitFor([&] { return waitpid(child, &status, WNOHANG) == child; }));
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "only root can act as another user here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(activations, 0);
  EXPECT_TRUE(ActivateWindow(QStringLiteral("Private")));  // this user is still served
  EXPECT_EQ(activations, 1);
}

}  // namespace
