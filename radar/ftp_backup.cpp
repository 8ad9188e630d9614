// TWiFiThread::LoadFtpFile: download, checks and loading of a radar's backup.
//
// Every failure of the transfer (no connection, no "pub/" folder, no such file, a
// broken transfer) and a file that cannot be read is "Error: Get ftp file"; a file
// that arrived but holds no recording is "Error: Not find ftp file or no correct
// file". The FTP client lives only for the download, so it is gone before any
// message box waits for the user.

#include "radar/ftp_backup.h"

#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/ui/message_boxes.h"
#include "radar/radar.h"
#include "radar/radar_hooks.h"
#include "radar/radar_link_state.h"
#include "radar/trc_header.h"
#include "radar/wifi_thread.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Downloads name from the radar's "pub/" folder to localFile, logging each step
// that succeeded. A null text on success, else what failed.
QString DownloadBackup(const TRadar& radar, const QString& name, const QString& localFile, const QString& host,
                       uint16_t port, const TFtpTimeouts& timeouts) {
  TFtpClient ftp;
  ftp.Host = host;
  ftp.Port = port;
  ftp.Username = RadarFtpUser;
  ftp.Timeouts = timeouts;
  radar.WriteStrToLog(QStringLiteral("Host=") + ftp.Host);
  radar.WriteStrToLog(QStringLiteral("Port=") + QString::number(ftp.Port));
  radar.WriteStrToLog(QStringLiteral("Username=") + ftp.Username);
  if (!ftp.Connect()) return ftp.LastError();
  radar.WriteStrToLog(QStringLiteral("ftp.Connected ok"));
  if (!ftp.ChangeDir(RadarFtpFolder)) return ftp.LastError();
  radar.WriteStrToLog(QStringLiteral("ftp.pub/ ok"));
  // The local file was deleted before; resuming only continues a file that could
  // not be deleted, and nothing is ever overwritten.
  if (!ftp.Get(name, localFile, false, true)) return ftp.LastError();
  radar.WriteStrToLog(QStringLiteral("Get ftp ") + localFile + QStringLiteral(" ok"));
  return QString();
}

void Report(const TRadar& radar, const TResourceString& text, const QString& detail = QString()) {
  radar.WriteStrToLog(QString::fromUtf16(text.english));
  if (!detail.isEmpty()) radar.WriteStrToLog(QStringLiteral("ftp:: ") + detail);
  ShowMessage(LoadResString(text));
}

}  // namespace

void TWiFiThread::SetFtpServer(const QString& host, uint16_t port, const TFtpTimeouts& timeouts) {
  ftpHost_ = host;
  ftpPort_ = port;
  ftpTimeouts_ = timeouts;
}

bool TWiFiThread::LoadFtpFile(const QString& NameFtpFile, int32_t MinTraceMem_) {
  if (!FOwner) return false;
  TRadar& radar = *FOwner;
  MinTraceMem = MinTraceMem_;
  {
    const std::unique_lock lock = LockCycles();
    radar.ClearReceived();
  }
  SumCollision = 0;
  enableRead = true;

  const QString localFile = ProgramFolder() + NameFtpFile;
  if (FileExists(localFile)) DeleteFile(localFile);
  const QString failure = DownloadBackup(radar, NameFtpFile, localFile, ftpHost_, ftpPort_, ftpTimeouts_);
  if (!failure.isNull()) {
    Report(radar, SFtpGetFileError, failure);
    return false;
  }
  if (!FileExists(localFile)) return false;

  TBackupLoad load;
  try {
    load = LoadBackupFile(localFile);
  } catch (const EStreamError& e) {
    Report(radar, SFtpGetFileError, QString::fromUtf8(e.what()));
    return false;
  }
  switch (load) {
    case blLoaded:
      radar.WriteStrToLog(QStringLiteral("isFtpGet True"));
      return true;
    case blNoRecording:
      Report(radar, SFtpNoCorrectFile);
      return false;
    case blNoWindow:
      Report(radar, SFtpGetFileError, QStringLiteral("no radargram window takes the settings"));
      return false;
    case blIgnored:
      break;
  }
  return false;
}

TWiFiThread::TBackupLoad TWiFiThread::LoadBackupFile(const QString& localFile) {
  TRadar& radar = *FOwner;
  TFileStream file(localFile, fmOpenRead | fmShareDenyNone);
  const int64_t size = file.Size();
  radar.WriteStrToLog(QStringLiteral("Size ") + localFile + QStringLiteral(" = ") + QString::number(size));
  if (size < static_cast<int64_t>(TrcMinUsableSize)) return blIgnored;

  std::array<uint8_t, TrcMinUsableSize> head{};
  file.ReadBuffer(head.data(), static_cast<int64_t>(head.size()));
  const TTrcHeader header = CheckTrcHeader(head);
  if (header.Check == tcNoMagic) return blNoRecording;
  radar.WriteStrToLog(QStringLiteral("Header : QELSV ok"));
  radar.WriteStrToLog(QStringLiteral("Version file  = ") + QString::number(header.Version));
  if (header.Check == tcNoFormat) return blNoRecording;
  radar.WriteStrToLog(QStringLiteral("Header: T16 OK"));

  const IBackupShell* shell = radar.Shell().Backup;
  IBackupWindow* window = shell ? shell->CurrentBackupWindow() : nullptr;
  if (!window) return blNoWindow;
  file.SetPosition(static_cast<int64_t>(TrcContainerOffset));
  window->ReadFromStreamToFRNChannals(localFile, file);

  // The packets: everything after the container.
  const int64_t rest = std::max<int64_t>(0, size - file.Position());
  if (rest > static_cast<int64_t>(TReceiveBuffer::Capacity)) {
    radar.WriteStrToLog(QStringLiteral("Backup larger than the receive buffer: ") + QString::number(rest));
    return blNoRecording;
  }
  std::vector<uint8_t> packets(static_cast<size_t>(rest));
  file.ReadBuffer(packets.data(), rest);
  {
    const std::unique_lock lock = LockCycles();
    radar.LoadReceived(packets);
    StartCommGlobBufEndPos = static_cast<int32_t>(rest);
    shownPercent_ = -1;
    if (rest > 0) {
      // Cleared before the replay starts, which may find gaps of its own.
      WiFiTracesLost = false;
      isFtpGet = true;
    }
  }
  radar.WriteStrToLog(QStringLiteral("Load in CommGlobBuf = ") + QString::number(rest));
  return rest > 0 ? blLoaded : blNoRecording;
}
