// The program links between real processes (the peer program): one instance at
// a time, locks that go with their holder however it ends, started programs
// that inherit nothing, copy-data of every size class, and a chain of sends
// that would deadlock if a waiting sender did not serve its own endpoint.

#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/ipc/one_instance.h"
#include "platform/ipc/start_program.h"
#include "tests/platform/ipc_test_support.h"
#include "tests/support/ipc_peer/ipc_peer_protocol.h"

#include <QFileInfo>

#include <csignal>
#include <memory>
#include <vector>

#include <sys/types.h>

namespace {

class TwoProcessTest : public IpcFolderTest {
protected:
  std::unique_ptr<TIpcPeer> Peer(const QStringList& arguments) {
    auto peer = std::make_unique<TIpcPeer>(folder.path(), arguments);
    EXPECT_TRUE(peer->Started()) << IPC_PEER_EXE;
    return peer;
  }
  // A peer serving `className`, ready when this returns.
  std::unique_ptr<TIpcPeer> Server(const QString& className, const QString& back = {}) {
    QStringList arguments{QStringLiteral("serve"), className};
    if (!back.isEmpty()) arguments << back;
    auto peer = Peer(arguments);
    EXPECT_EQ(peer->ReadLine(), QByteArray("ready"));
    return peer;
  }
};

TEST_F(TwoProcessTest, OfInstancesStartedAtOnceExactlyOneHoldsTheLock) {
  std::vector<std::unique_ptr<TIpcPeer>> peers;
  for (int i = 0; i < 4; ++i) peers.push_back(Peer({QStringLiteral("lock"), QStringLiteral("Talvorn3")}));
  int firsts = 0;
  TIpcPeer* holder = nullptr;
  for (auto& peer : peers) {
    const QByteArray answer = peer->ReadLine();
    ASSERT_TRUE(answer == "first" || answer == "second") << answer.toStdString();
    if (answer == "first") {
      ++firsts;
      holder = peer.get();
    } else {
      EXPECT_EQ(peer->Finish(), IpcPeerSecondInstance);
    }
  }
  ASSERT_EQ(firsts, 1);
  // The holder still has it; in this process too the test says "second".
  TInstanceLock probe;
  EXPECT_FALSE(probe.Acquire(folder.path(), QStringLiteral("Talvorn3")));
  EXPECT_EQ(holder->Finish(), 0);
  EXPECT_TRUE(probe.Acquire(folder.path(), QStringLiteral("Talvorn3")));
}

TEST_F(TwoProcessTest, AKilledHolderLeavesNeitherLockNorEndpointBehind) {
  auto holder = Peer({QStringLiteral("lock"), QStringLiteral("Talvorn3")});
  ASSERT_EQ(holder->ReadLine(), QByteArray("first"));
  auto server = Server(QStringLiteral("DUvova3DuruZuza"));
  ASSERT_TRUE(FindWindow(QStringLiteral("DUvova3DuruZuza")));
  holder->Kill();
  server->Kill();

  // The socket file stays, but nobody answers on it, and a new start takes over.
  EXPECT_TRUE(QFileInfo::exists(folder.filePath(QStringLiteral("DUvova3DuruZuza"))));
  EXPECT_FALSE(FindWindow(QStringLiteral("DUvova3DuruZuza")));
  auto next = Peer({QStringLiteral("lock"), QStringLiteral("Talvorn3")});
  EXPECT_EQ(next->ReadLine(), QByteArray("first"));
  auto nextServer = Server(QStringLiteral("DUvova3DuruZuza"));
  EXPECT_EQ(SendCopyData(QStringLiteral("DUvova3DuruZuza"), 100, "f"), IpcPeerDigest(100, "f"));
  EXPECT_EQ(next->Finish(), 0);
  EXPECT_EQ(nextServer->Finish(), 0);
}

TEST_F(TwoProcessTest, AStartedProgramInheritsNeitherTheLockNorTheEndpoint) {
  auto starter = Peer({QStringLiteral("start"), QStringLiteral("Vandrel"), QStringLiteral("TViviraMainForm"),
                       QStringLiteral(IPC_PEER_EXE), QStringLiteral("linger")});
  const QByteArray line = starter->ReadLine();
  ASSERT_TRUE(line.startsWith("child ")) << line.toStdString();
  const pid_t child = static_cast<pid_t>(line.mid(6).toLongLong());
  ASSERT_GT(child, 0);
  struct TChildKiller {
    pid_t pid;
    ~TChildKiller() { kill(pid, SIGKILL); }
  } killer{child};
  EXPECT_TRUE(FindWindow(QStringLiteral("TViviraMainForm")));
  EXPECT_EQ(starter->Finish(), 0);

  ASSERT_EQ(kill(child, 0), 0);  // the started program outlives its starter
  auto next = Peer({QStringLiteral("lock"), QStringLiteral("Vandrel")});
  EXPECT_EQ(next->ReadLine(), QByteArray("first"));
  EXPECT_FALSE(FindWindow(QStringLiteral("TViviraMainForm")));
  EXPECT_EQ(next->Finish(), 0);
}

TEST_F(TwoProcessTest, AStartedProgramGetsItsArgumentsAsGiven) {
  // The started peer reports its arguments back to our endpoint; empty ones and
  // ones with spaces must arrive as they were given, one each.
  TIpcEndpoint home(QStringLiteral("TViviraMainForm"));
  std::optional<uint64_t> count;
  QString text;
  home.OnCopyData = [&](uint64_t code, const QByteArray& bytes) -> int64_t {
    count = code;
    text = CopyDataText(bytes);
    return 1;
  };
  ASSERT_TRUE(home.Bind());
  // StartProgram passes our environment on.
  const TScopedEnvironment runtime("XDG_RUNTIME_DIR", folder.path().toLocal8Bit());
  const QStringList arguments{QStringLiteral("open"), QString(), QStringLiteral("/surveys/line 1.dezo")};
  const auto pid = StartProgram(QStringLiteral(IPC_PEER_EXE),
                                QStringList{QStringLiteral("report"), QStringLiteral("TViviraMainForm")} + arguments);
  ASSERT_TRUE(pid.has_value());
  EXPECT_GT(*pid, 0);
  ASSERT_TRUE(WaitFor([&] { return count.has_value(); }));
  EXPECT_EQ(*count, 3u);
  EXPECT_EQ(text, arguments.join(u'\n'));

  EXPECT_EQ(StartProgram(folder.filePath(QStringLiteral("no-such-program")), {}), std::nullopt);
}

TEST_F(TwoProcessTest, CopyDataOfEverySizeClassArrivesWhole) {
  auto server = Server(QStringLiteral("DUvova3DuruZuza"));
  QByteArray pattern(2 * MaxCopyDataBytes, Qt::Uninitialized);
  for (qsizetype i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
  const struct {
    qsizetype count;
    bool kept;
  } cases[] = {
      {0, true}, {1, true}, {6, true}, {7, true},  // 0, 1, 2n and 2n + 1 with n odd
      {MaxCopyDataBytes, true},
      {2 * MaxCopyDataBytes, false},  // 2 MiB: dropped unread, result 0
  };
  for (const auto& c : cases) {
    const QByteArray bytes = pattern.left(c.count);
    const uint64_t code = 100 + static_cast<uint64_t>(c.count);
    EXPECT_EQ(SendCopyData(QStringLiteral("DUvova3DuruZuza"), code, bytes), c.kept ? IpcPeerDigest(code, bytes) : 0)
        << c.count << " bytes";
  }
  EXPECT_TRUE(ActivateWindow(QStringLiteral("DUvova3DuruZuza")));
  EXPECT_EQ(server->ReadLine(), QByteArray("activate"));
  EXPECT_EQ(server->Finish(), 0);
}

TEST_F(TwoProcessTest, ABlockedSenderAnswersARequestForItsOwnEndpoint) {
  // We send to the peer; before it answers, it sends the same request back to
  // our endpoint and answers what we answered, plus one.
  TIpcEndpoint home(QStringLiteral("TViviraMainForm"));
  std::vector<uint64_t> codes;
  home.OnCopyData = [&codes](uint64_t code, const QByteArray& bytes) -> int64_t {
    codes.push_back(code);
    return CopyDataText(bytes).size();
  };
  ASSERT_TRUE(home.Bind());
  auto server = Server(QStringLiteral("DUvova3DuruZuza"), QStringLiteral("TViviraMainForm"));

  const QByteArray text = CopyDataTextBytes(QStringLiteral("/surveys/a.dezo"));
  EXPECT_EQ(SendCopyData(QStringLiteral("DUvova3DuruZuza"), 102, text), 15 + 1);
  EXPECT_EQ(codes, std::vector<uint64_t>({102}));
  EXPECT_EQ(server->Finish(), 0);
}

}  // namespace
