#pragma once
// A real FTP server for tests: Debian's pyftpdlib, run by /usr/bin/python3 on
// 127.0.0.1 and a free port, anonymous and read-only, serving a fresh temporary
// folder that holds an empty "pub" folder. The constructor waits (bounded) until
// the server accepts connections; the destructor kills the server and waits for
// its end, then removes the folder.
//
// Also two stand-ins for servers that fail: a loopback port where nothing listens,
// and a listener that takes connections but never says a word.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

#include <cstdint>

class TFtpTestServer {
public:
  TFtpTestServer();
  ~TFtpTestServer();
  TFtpTestServer(const TFtpTestServer&) = delete;
  TFtpTestServer& operator=(const TFtpTestServer&) = delete;

  // The server runs and accepts connections; otherwise Error() says why.
  bool Ok() const { return pid_ > 0; }
  const QString& Error() const { return error_; }

  static QString Host() { return QStringLiteral("127.0.0.1"); }
  uint16_t Port() const { return port_; }
  // The served folder, with '/' at the end.
  QString Root() const;
  // Writes a file under the served folder ("pub/trace1.trc"), creating its folders.
  bool Put(const QString& relativePath, const QByteArray& bytes) const;
  // What the server wrote to its standard output and error (for failure messages).
  QByteArray ServerLog() const;

private:
  bool Launch(uint16_t port);
  void Stop();

  QTemporaryDir dir_;
  pid_t pid_ = -1;
  uint16_t port_ = 0;
  QString error_;
};

// A port on 127.0.0.1 that was free a moment ago and where nothing listens now.
uint16_t UnusedLoopbackPort();

// Listens on 127.0.0.1 and never accepts: a client's connection completes (the
// kernel takes it into the backlog) but no byte ever arrives.
class TSilentTcpListener {
public:
  TSilentTcpListener();
  ~TSilentTcpListener();
  TSilentTcpListener(const TSilentTcpListener&) = delete;
  TSilentTcpListener& operator=(const TSilentTcpListener&) = delete;

  bool Ok() const { return fd_ >= 0; }
  uint16_t Port() const { return port_; }

private:
  int fd_ = -1;
  uint16_t port_ = 0;
};
