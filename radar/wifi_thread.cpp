#include "radar/wifi_thread.h"

#include "platform/net/tcp_client.h"
#include "radar/comm_thread.h"
#include "radar/ftp_backup.h"
#include "radar/packet_codes.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_messages.h"
#include "radar/tcp_probe.h"

#include <cerrno>
#include <chrono>
#include <limits>
#include <thread>

TWiFiThread::TWiFiThread(const QString& ip, uint16_t, TRadar* owner)
    : TParentThread(owner), globLocBuf(WiFiReadLimit), ftpHost_(ip), ftpPort_(RadarFtpPort),
      ftpTimeouts_(RadarFtpTimeouts) {
  LogTimerResolution();
  SetPriority(tpTimeCritical);
  SumCollision = 0;
  if (ITcpLinkShell* tcp = owner ? owner->Shell().Tcp : nullptr) {
    if (TResultCheckingTCP* probe = tcp->ResultCheckingTCP()) client_ = std::move(probe->Tcp);
  }
  if (client_) client_->OnDisconnect = [this] { WasWifiDisconnected(); };
}

TWiFiThread::~TWiFiThread() {
  // The thread has ended (the owner stopped it): the client is this thread's alone.
  if (client_) {
    client_->Disconnect();
    client_->OnDisconnect = nullptr;
    client_.reset();
  }
}

void TWiFiThread::Execute() {
  RequestFinestResolution();
  while (!Terminated()) {
    Cycle();
    // A replay has all its bytes at hand: it goes on at once, one packet a step.
    if (isFtpGet && !suspended_) {
      std::this_thread::yield();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(WiFiCycleMs));
    }
  }
}

void TWiFiThread::Cycle() {
  if (!FOwner) return;
  std::lock_guard guard(cycleLock_);
  if (suspended_) return;
  if (isFtpGet) {
    ReplayCycle();
  } else {
    TcpCycle();
  }
}

std::unique_lock<std::mutex> TWiFiThread::LockCycles() {
  std::unique_lock lock(cycleLock_, std::defer_lock);
  while (!lock.try_lock()) {
    // A cycle may be waiting for this thread (a hand-over for old firmware).
    if (IsMainThread()) CheckSynchronize();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return lock;
}

void TWiFiThread::Suspend() {
  suspended_ = true;
  const std::unique_lock lock = LockCycles();
}

void TWiFiThread::AbandonReplay() {
  const std::unique_lock lock = LockCycles();
  isFtpGet = false;
  if (FOwner) FOwner->ClearReceived();
}

void TWiFiThread::TcpCycle() {
  if (!client_) return;
  TRadar& radar = *FOwner;
  const TNetTransfer received = client_->Receive(globLocBuf.data(), globLocBuf.size(), 0);
  if (received.Status == nsError) {
    WasWifiError(received.Error);
    return;
  }
  if (received.Status != nsOk) {
    if (radar.noDataCounter > std::numeric_limits<int32_t>::min()) --radar.noDataCounter;
  } else {
    const std::span<const uint8_t> bytes(globLocBuf.data(), received.Count);
    if (!radar.AppendReceived(bytes)) {
      radar.ClearReceived();
      // The main window warns after the stop that the recording overflowed.
      TThread::Queue(nullptr, [unit = radar.Shell().Unit] {
        if (unit) unit->SetWasOverFlow(true);
      });
      radar.WriteStrToLog(QStringLiteral("WiFiThread.Execute Buf overload,  NeedByteReaded=") +
                          QString::number(received.Count));
    }
    radar.isConnected = true;
    radar.noDataCounter = SilenceCycles;
  }
  ParseHeldPackets();

  if (SilenceStep(flags_ && flags_->HasCurrentRadar()) && radar.noDataCounter < WiFiSilenceLimit) {
    WasWifiError(WiFiOwnTimeoutCode);
    return;
  }
  SendQueued();
}

void TWiFiThread::SendQueued() {
  bool failed = false;
  {
    std::lock_guard guard(FOwner->SectCom);
    const std::span<const uint8_t> queued = FOwner->ForSendWiFiGlobBuf.Bytes();
    if (queued.empty() || queued.size() >= 65535 || !client_) return;
    const TNetTransfer sent = client_->Send(queued.data(), queued.size(), 0);
    if (sent.Count > 0) FOwner->ForSendWiFiGlobBuf.Consume(sent.Count);
    failed = sent.Status == nsError;
  }
  // A failed send is left to the receive side, which sees the broken connection.
  if (failed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void TWiFiThread::WasWifiError(int SocketError) {
  if (SocketError == EWOULDBLOCK) return;
  TRadar& radar = *FOwner;
  radar.ResetTimerId();
  Terminate();
  if (client_) client_->Disconnect();
  const QString counter = QString::number(radar.noDataCounter);
  if (SocketError == WiFiOwnTimeoutCode) {
    radar.WriteStrToLog(QStringLiteral("WiFi:: own timeout ") + counter);
  } else {
    radar.WriteStrToLog(QStringLiteral("WiFi:: ") + NetErrorText(SocketError) + u' ' + counter);
  }
  if (HWND main = windows_ ? windows_->MainWindowHandle() : nullptr) PostMessage(main, WM_WIFIERROR, 0, 0);
}

void TWiFiThread::WasWifiDisconnected() {
  if (FOwner) FOwner->WriteStrToLog(QStringLiteral("WiFi:: WasWifiDisconnected"));
}
