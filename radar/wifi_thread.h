#pragma once
// TWiFiThread: the reader of a TCP radar. Every 5 ms it takes what arrived on the
// connection into the radar's receive buffer, parses the held packets, counts the
// cycles without data (pinging from the 191st on, reporting the connection lost at
// the 591st) and sends the radar's queued commands.
//
// The connection: the thread takes the client over from the main window's TCP
// probe result when it is created, and disconnects and frees it when destroyed. A
// socket error or the silence limit runs WasWifiError on this thread, which ends
// the thread and posts WM_WIFIERROR to the main window; the main window's handler
// frees the radars and probes again.
//
// The backup of a single-board-computer radar: LoadFtpFile (user-interface thread)
// fetches the radar's recording by FTP and loads its packets into the receive
// buffer; isFtpGet then turns every cycle into a replay step that parses one
// packet, so the recorded traces reach the recording window as in a live
// recording. The replay shows its progress and, at its end, unchecks the Run
// action through calls queued to the user-interface thread. The reader may run
// while LoadFtpFile works: each cycle holds a lock that LoadFtpFile takes around
// its changes of the receive buffer.

#include "platform/net/ftp_client.h"
#include "radar/parent_thread.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class TTcpClient;

inline constexpr size_t WiFiReadLimit = 16000;
inline constexpr int WiFiCycleMs = 5;
// The silence counter below which the connection counts as lost: the 591st
// consecutive cycle without data.
inline constexpr int32_t WiFiSilenceLimit = -400;
// The code WasWifiError gets for the reader's own silence limit.
inline constexpr int WiFiOwnTimeoutCode = 123;

class TWiFiThread : public TParentThread {
public:
  // ip and port name the radar; the connection itself comes from the probe result.
  TWiFiThread(const QString& ip, uint16_t port, TRadar* owner);
  ~TWiFiThread() override;

  // One cycle of the loop: a TCP cycle, or a replay step while isFtpGet is set.
  void Cycle();
  // The connection failed with an error code (WiFiOwnTimeoutCode for silence).
  void WasWifiError(int SocketError);
  void WasWifiDisconnected();

  bool HasClient() const { return client_ != nullptr; }

  // Fetches NameFtpFile from the radar's "pub/" folder (anonymous FTP) into the
  // program folder, hands its settings container to the current radargram window
  // and loads its packets for the replay, which then leaves MinTraceMem_ bytes
  // unreplayed. True when packets were loaded (isFtpGet is set). Failures are
  // logged and shown in a message box; a file of 50 bytes or less is ignored
  // without one. User-interface thread (ftp_backup.cpp).
  bool LoadFtpFile(const QString& NameFtpFile, int32_t MinTraceMem_);
  // The radar's FTP server: the address the thread was created with and port 21
  // unless set otherwise. User-interface thread.
  void SetFtpServer(const QString& host, uint16_t port, const TFtpTimeouts& timeouts);

  // The loop runs no cycle while suspended. Suspend returns once a cycle under
  // way has ended (serving the reader's calls to the user-interface thread
  // meanwhile). User-interface thread.
  void Suspend();
  void Resume() { suspended_ = false; }
  bool Suspended() const { return suspended_; }
  // Drops what is left of a loaded backup: the replay ends at once, without the
  // end being reported to the windows. User-interface thread.
  void AbandonReplay();

  std::atomic<bool> enableRead{true};
  std::atomic<bool> isFtpGet{false};
  // The replay stops when no more than MinTraceMem bytes remain;
  // StartCommGlobBufEndPos is the length loaded, the base of its progress.
  std::atomic<int32_t> MinTraceMem{0};
  std::atomic<int32_t> StartCommGlobBufEndPos{0};

protected:
  void Execute() override;

private:
  void TcpCycle();
  void SendQueued();
  // One packet of the loaded recording, or the end of the replay (ftp_replay.cpp).
  void ReplayCycle();
  enum TBackupLoad : uint8_t { blLoaded, blIgnored, blNoRecording, blNoWindow };
  // Checks the downloaded file and loads its packets; throws EStreamError when the
  // file cannot be read (ftp_backup.cpp).
  TBackupLoad LoadBackupFile(const QString& localFile);
  // The cycle lock, taken on the user-interface thread while serving the reader's
  // calls to it, so that a reader waiting in Synchronize cannot block it.
  std::unique_lock<std::mutex> LockCycles();

  std::unique_ptr<TTcpClient> client_;
  std::vector<uint8_t> globLocBuf;

  std::mutex cycleLock_;
  std::atomic<bool> suspended_{false};
  QString ftpHost_;
  uint16_t ftpPort_;
  TFtpTimeouts ftpTimeouts_;
  int32_t shownPercent_ = -1;  // reader thread: the replay progress last queued
};
