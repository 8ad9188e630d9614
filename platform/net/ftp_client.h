#pragma once
// FTP retrieval on libcurl: connect and log in, change the working folder, download
// a file. One control connection per client, reused by every call.
//
// Bounds: connecting, every reply of the server on the control connection and a
// stalled transfer each have a time-out, so no call blocks without a bound, even
// on a server that accepts the connection and then says nothing.
//
// Threads: a client is used by one thread at a time; clients on different threads
// are independent.

#include <QString>

#include <cstdint>
#include <memory>

struct TFtpTimeouts {
  int ConnectMs = 10000;
  // Each reply on the control connection (the greeting included).
  int ResponseSeconds = 15;
  // A transfer that moves less than one byte per second for this long fails.
  int LowSpeedSeconds = 15;
};

class TFtpClient {
public:
  TFtpClient();
  // Disconnects.
  ~TFtpClient();
  TFtpClient(const TFtpClient&) = delete;
  TFtpClient& operator=(const TFtpClient&) = delete;

  // Set before Connect. A host is an address or a name; an IPv6 address is written
  // without brackets.
  QString Host;
  uint16_t Port = 21;
  QString Username;
  QString Password;
  TFtpTimeouts Timeouts;

  // Connects and logs in. False, with LastError set, on failure.
  bool Connect();
  // Connect succeeded and Disconnect has not run since (curl reconnects by itself
  // when the server closed the connection meanwhile).
  bool Connected() const { return connected_; }
  // Changes the working folder, relative to the current one ("pub/"); false when
  // the server refuses it (the working folder stays).
  bool ChangeDir(const QString& folder);
  // Downloads remoteName from the working folder to localFile. With an existing
  // local file:
  //   resume:                   the transfer continues from the local file's size,
  //                             keeping its bytes; a local file as large as the
  //                             remote one is complete, a larger one is an error;
  //   canOverwrite, no resume:  the local file is replaced;
  //   neither:                  an error, the local file untouched.
  // A missing local file is created only when data arrive or the transfer ends
  // well. A failed transfer keeps what arrived, so a later call may resume it.
  bool Get(const QString& remoteName, const QString& localFile, bool canOverwrite, bool resume);
  // Closes the connection (QUIT when it is open).
  void Disconnect();

  // What the last failed call reported.
  const QString& LastError() const { return lastError_; }

private:
  struct TImpl;
  // Runs one request on url with the common options; false with LastError set.
  bool Perform(const QByteArray& url, bool withBody);
  QByteArray BaseUrl() const;

  std::unique_ptr<TImpl> impl_;
  QByteArray folder_;  // the working folder, URL-encoded, ending in '/' (empty: the login folder)
  bool connected_ = false;
  QString lastError_;
};
