// FTP retrieval against a real FTP server on 127.0.0.1: anonymous login, working
// folders, whole and resumed downloads, the local-file rules, and failures that
// must end within their time-outs.

#include "platform/net/ftp_client.h"
#include "tests/support/ftp_server.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// Every byte value, in an order that no shifted copy repeats.
QByteArray Pattern(int size, int seed) {
  QByteArray out(size, '\0');
  uint32_t x = 2463534242u + static_cast<uint32_t>(seed);
  for (int i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    out[i] = static_cast<char>(x);
  }
  return out;
}

QByteArray ReadAll(const QString& fileName) {
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& fileName, const QByteArray& bytes) {
  QFile file(fileName);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

class FtpClient : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(server.Ok()) << server.Error().toStdString();
    ftp.Host = TFtpTestServer::Host();
    ftp.Port = server.Port();
    ftp.Username = QStringLiteral("anonymous");
  }
  void TearDown() override {
    if (HasFailure()) ADD_FAILURE() << "server log:\n" << server.ServerLog().toStdString();
  }
  QString Local(const QString& name) const { return local.path() + u'/' + name; }

  TFtpTestServer server;
  QTemporaryDir local;
  TFtpClient ftp;
};

TEST_F(FtpClient, AnAnonymousLoginDownloadsWholeFilesFromTheWorkingFolder) {
  const QByteArray data = Pattern(300000, 1);  // several transfer chunks
  ASSERT_TRUE(server.Put(QStringLiteral("pub/trace1.trc"), data));
  ASSERT_TRUE(server.Put(QStringLiteral("trace1.trc"), QByteArrayLiteral("the login folder's file")));
  ASSERT_TRUE(server.Put(QStringLiteral("pub/empty.trc"), QByteArray()));
  ASSERT_TRUE(server.Put(QStringLiteral("pub/two words#1.trc"), QByteArrayLiteral("escaped")));

  EXPECT_FALSE(ftp.Get(QStringLiteral("trace1.trc"), Local(QStringLiteral("early")), false, true));
  EXPECT_FALSE(QFile::exists(Local(QStringLiteral("early")))) << "nothing before Connect";

  ASSERT_TRUE(ftp.Connect()) << ftp.LastError().toStdString();
  EXPECT_TRUE(ftp.Connected());
  ASSERT_TRUE(ftp.Get(QStringLiteral("trace1.trc"), Local(QStringLiteral("root.trc")), false, true));
  EXPECT_EQ(ReadAll(Local(QStringLiteral("root.trc"))), QByteArrayLiteral("the login folder's file"));

  ASSERT_TRUE(ftp.ChangeDir(QStringLiteral("pub/"))) << ftp.LastError().toStdString();
  ASSERT_TRUE(ftp.Get(QStringLiteral("trace1.trc"), Local(QStringLiteral("pub.trc")), false, true))
      << ftp.LastError().toStdString();
  EXPECT_TRUE(ReadAll(Local(QStringLiteral("pub.trc"))) == data) << "the bytes of pub/trace1.trc, unchanged";

  ASSERT_TRUE(ftp.Get(QStringLiteral("empty.trc"), Local(QStringLiteral("empty.trc")), false, true));
  EXPECT_TRUE(QFile::exists(Local(QStringLiteral("empty.trc")))) << "an empty file still arrives";
  EXPECT_EQ(QFile(Local(QStringLiteral("empty.trc"))).size(), 0);

  ASSERT_TRUE(ftp.Get(QStringLiteral("two words#1.trc"), Local(QStringLiteral("escaped.trc")), false, true))
      << ftp.LastError().toStdString();
  EXPECT_EQ(ReadAll(Local(QStringLiteral("escaped.trc"))), QByteArrayLiteral("escaped"));

  ftp.Disconnect();
  EXPECT_FALSE(ftp.Connected());
}

TEST_F(FtpClient, AnExistingLocalFileIsResumedReplacedOrLeftAloneAsAsked) {
  const QByteArray remote = Pattern(200000, 2);
  ASSERT_TRUE(server.Put(QStringLiteral("pub/trace2.trc"), remote));
  ASSERT_TRUE(ftp.Connect()) << ftp.LastError().toStdString();
  ASSERT_TRUE(ftp.ChangeDir(QStringLiteral("pub")));

  // Local bytes differ from the remote ones, so a resumed file shows which bytes
  // were kept and which were fetched.
  struct TCase {
    const char* what;
    int localSize;
    bool canOverwrite;
    bool resume;
    bool ok;
    QByteArray expected;  // the local file afterwards
  };
  const QByteArray x70000(70000, 'X');
  const TCase cases[] = {
      {"a partial file is completed", 70000, false, true, true, x70000 + remote.mid(70000)},
      {"a file as large as the remote one is complete", 200000, false, true, true, QByteArray(200000, 'X')},
      {"a larger file cannot be resumed", 200001, false, true, false, QByteArray(200001, 'X')},
      {"without resume a file is never overwritten", 10, false, false, false, QByteArray(10, 'X')},
      {"unless overwriting is allowed", 10, true, false, true, remote},
  };
  int n = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const QString name = Local(QStringLiteral("case%1.trc").arg(n++));
    WriteAll(name, QByteArray(c.localSize, 'X'));
    EXPECT_EQ(ftp.Get(QStringLiteral("trace2.trc"), name, c.canOverwrite, c.resume), c.ok)
        << ftp.LastError().toStdString();
    if (!c.ok) {
      EXPECT_FALSE(ftp.LastError().isEmpty());
    }
    const QByteArray after = ReadAll(name);
    EXPECT_EQ(after.size(), c.expected.size());
    EXPECT_TRUE(after == c.expected);
  }
}

TEST_F(FtpClient, FailuresAreReportedAndBounded) {
  ASSERT_TRUE(ftp.Connect());
  ASSERT_TRUE(ftp.ChangeDir(QStringLiteral("pub/")));
  const QString missing = Local(QStringLiteral("missing.trc"));
  EXPECT_FALSE(ftp.Get(QStringLiteral("missing.trc"), missing, false, true));
  EXPECT_FALSE(ftp.LastError().isEmpty());
  EXPECT_FALSE(QFile::exists(missing)) << "no local file for a file the server does not have";

  EXPECT_FALSE(ftp.ChangeDir(QStringLiteral("nowhere/")));
  ASSERT_TRUE(server.Put(QStringLiteral("pub/still.trc"), QByteArrayLiteral("still in pub")));
  ASSERT_TRUE(ftp.Get(QStringLiteral("still.trc"), Local(QStringLiteral("still.trc")), false, true))
      << "a refused folder change keeps the working folder";
  EXPECT_EQ(ReadAll(Local(QStringLiteral("still.trc"))), QByteArrayLiteral("still in pub"));

  // Servers that cannot serve: each Connect must fail, and end by its time-outs
  // (a hang here is the fault).
  TSilentTcpListener silent;
  ASSERT_TRUE(silent.Ok());
  struct TCase {
    const char* what;
    uint16_t port;
  };
  const TCase cases[] = {
      {"nothing listens", UnusedLoopbackPort()},
      {"connected but never greeted", silent.Port()},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TFtpClient other;
    other.Host = TFtpTestServer::Host();
    other.Port = c.port;
    other.Username = QStringLiteral("anonymous");
    other.Timeouts.ConnectMs = 2000;
    other.Timeouts.ResponseSeconds = 1;
    other.Timeouts.LowSpeedSeconds = 1;
    EXPECT_FALSE(other.Connect());
    EXPECT_FALSE(other.Connected());
    EXPECT_FALSE(other.LastError().isEmpty());
    EXPECT_FALSE(other.ChangeDir(QStringLiteral("pub/"))) << "nothing works without a connection";
  }
}

}  // namespace
