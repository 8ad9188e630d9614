// FTP retrieval on one libcurl easy handle. curl keeps the control connection in
// the handle's connection cache, so Connect, ChangeDir and Get share one login;
// the working folder is carried in the URL path, which curl turns into CWD.

#include "platform/net/ftp_client.h"

#include <curl/curl.h>

#include <QFile>
#include <QFileInfo>

#include <mutex>

namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Where Get writes: the local file opened on the first data, so that a transfer
// that fails before any data leaves no new file behind.
struct TDownload {
  QFile file;
  QIODevice::OpenMode mode;
  bool opened = false;
  bool failed = false;
};

size_t WriteToFile(char* data, size_t size, size_t count, void* userData) {
  auto* d = static_cast<TDownload*>(userData);
  const size_t bytes = size * count;
  if (!d->opened) {
    d->opened = true;
    if (!d->file.open(d->mode)) {
      d->failed = true;
      return 0;  // curl ends the transfer with CURLE_WRITE_ERROR
    }
  }
  if (d->file.write(data, static_cast<qint64>(bytes)) != static_cast<qint64>(bytes)) {
    d->failed = true;
    return 0;
  }
  return bytes;
}

// Each '/'-separated part URL-encoded; a trailing '/' kept.
QByteArray EncodePath(CURL* handle, const QString& path) {
  QByteArray out;
  const QStringList parts = path.split(u'/');
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0) out += '/';
    const QByteArray utf8 = parts[i].toUtf8();
    if (utf8.isEmpty()) continue;
    char* escaped = curl_easy_escape(handle, utf8.constData(), static_cast<int>(utf8.size()));
    if (escaped) {
      out += escaped;
      curl_free(escaped);
    }
  }
  return out;
}

}  // namespace

struct TFtpClient::TImpl {
  CURL* handle = nullptr;
  char error[CURL_ERROR_SIZE] = {};
  ~TImpl() {
    if (handle) curl_easy_cleanup(handle);
  }
};

TFtpClient::TFtpClient() : impl_(std::make_unique<TImpl>()) { GlobalInit(); }

TFtpClient::~TFtpClient() { Disconnect(); }

QByteArray TFtpClient::BaseUrl() const {
  const QString host = Host.contains(u':') ? u'[' + Host + u']' : Host;
  return "ftp://" + host.toUtf8() + ':' + QByteArray::number(Port) + '/';
}

bool TFtpClient::Perform(const QByteArray& url, bool withBody) {
  CURL* h = impl_->handle;
  curl_easy_setopt(h, CURLOPT_URL, url.constData());
  curl_easy_setopt(h, CURLOPT_NOBODY, withBody ? 0L : 1L);
  impl_->error[0] = '\0';
  const CURLcode rc = curl_easy_perform(h);
  if (rc == CURLE_OK) return true;
  lastError_ = impl_->error[0] ? QString::fromUtf8(impl_->error) : QString::fromUtf8(curl_easy_strerror(rc));
  return false;
}

bool TFtpClient::Connect() {
  Disconnect();
  impl_->handle = curl_easy_init();
  CURL* h = impl_->handle;
  if (!h) {
    lastError_ = QStringLiteral("FTP client could not be created");
    return false;
  }
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, impl_->error);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp");
  // No signals: the calling thread is not the only one, and a name look-up is
  // bounded by the connect time-out instead of an alarm.
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(Timeouts.ConnectMs));
  curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(Timeouts.ResponseSeconds));
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, static_cast<long>(Timeouts.LowSpeedSeconds));
  const QByteArray user = Username.toUtf8();
  const QByteArray password = Password.toUtf8();
  curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());  // curl copies option strings
  curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
  folder_.clear();
  // A request without a body on the login folder: connect, log in, no transfer.
  connected_ = Perform(BaseUrl(), false);
  return connected_;
}

bool TFtpClient::ChangeDir(const QString& folder) {
  if (!connected_) {
    lastError_ = QStringLiteral("Not connected");
    return false;
  }
  QByteArray target = folder_ + EncodePath(impl_->handle, folder);
  if (!target.isEmpty() && !target.endsWith('/')) target += '/';
  // curl changes into each folder of the path; a missing one fails the request.
  if (!Perform(BaseUrl() + target, false)) return false;
  folder_ = target;
  return true;
}

bool TFtpClient::Get(const QString& remoteName, const QString& localFile, bool canOverwrite, bool resume) {
  if (!connected_) {
    lastError_ = QStringLiteral("Not connected");
    return false;
  }
  const QFileInfo local(localFile);
  TDownload download;
  download.file.setFileName(localFile);
  curl_off_t offset = 0;
  if (local.exists()) {
    if (resume) {
      offset = local.size();
      download.mode = QIODevice::WriteOnly | QIODevice::Append;
    } else if (canOverwrite) {
      download.mode = QIODevice::WriteOnly | QIODevice::Truncate;
    } else {
      lastError_ = QStringLiteral("The local file exists: ") + localFile;
      return false;
    }
  } else {
    // Never replaces a file that appeared meanwhile.
    download.mode = QIODevice::WriteOnly | QIODevice::NewOnly;
  }

  CURL* h = impl_->handle;
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &download);
  curl_easy_setopt(h, CURLOPT_RESUME_FROM_LARGE, offset);
  bool ok = Perform(BaseUrl() + folder_ + EncodePath(h, remoteName), true);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(h, CURLOPT_RESUME_FROM_LARGE, curl_off_t{0});

  if (download.file.isOpen()) {
    download.file.close();
    if (download.file.error() != QFileDevice::NoError) download.failed = true;
  }
  if (download.failed) {
    lastError_ = QStringLiteral("Cannot write the local file ") + localFile + QStringLiteral(": ") +
                 download.file.errorString();
    return false;
  }
  // No data arrived: an empty remote file still gives (or empties) its local file;
  // a resumed one was complete already.
  if (ok && !download.opened && !(download.mode & QIODevice::Append)) {
    ok = download.file.open(download.mode);
    download.file.close();
    if (!ok) lastError_ = QStringLiteral("Cannot write the local file ") + localFile;
  }
  return ok;
}

void TFtpClient::Disconnect() {
  connected_ = false;
  folder_.clear();
  if (impl_ && impl_->handle) {
    curl_easy_cleanup(impl_->handle);  // sends QUIT on an open control connection
    impl_->handle = nullptr;
  }
}
