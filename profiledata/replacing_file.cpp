#include "profiledata/replacing_file.h"

#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"

#include <QCoreApplication>
#include <QFile>

#include <atomic>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path NativeFsPath(const QString& name) { return fs::path(QFile::encodeName(name).toStdString()); }

QString FromFsPath(const fs::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }

[[noreturn]] void Fail(const QString& fileName, const std::string& reason) {
  throw EFCreateError("Cannot create file \"" + fileName.toStdString() + "\". " + reason);
}

}  // namespace

TReplacingFile::TReplacingFile(const QString& fileName) : target_(fileName) {
  std::error_code ec;
  const fs::path path = NativeFsPath(fileName);
  if (fs::is_symlink(path, ec)) {
    const fs::path resolved = fs::canonical(path, ec);
    if (ec) Fail(fileName, ec.message());
    target_ = FromFsPath(resolved);
  }
  const fs::file_status status = fs::status(NativeFsPath(target_), ec);
  existed_ = !ec && fs::exists(status);
  if (existed_) {
    // A file the program may not write stays as it is, as an overwrite would fail.
    TFileStream probe(target_, fmOpenWrite);
    permissions_ = static_cast<unsigned>(status.permissions() & fs::perms::mask);
  }

  // A name of our own beside the target: hidden, with the process id and a
  // counter, and never one that exists.
  static std::atomic<unsigned> counter{0};
  const QString folder = ExtractFilePath(target_);
  const QString base = QStringLiteral(".") + ExtractFileName(target_) + QStringLiteral(".") +
                       QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-");
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString candidate = folder + base + QString::number(counter.fetch_add(1)) + QStringLiteral(".tmp");
    if (fs::exists(NativeFsPath(candidate), ec)) continue;
    { TFileStream create(candidate, fmCreate); }  // throws EFCreateError when the folder cannot take it
    temp_ = candidate;
    return;
  }
  Fail(fileName, "No free temporary name.");
}

TReplacingFile::~TReplacingFile() {
  if (committed_ || temp_.isEmpty()) return;
  std::error_code ec;
  fs::remove(NativeFsPath(temp_), ec);
}

void TReplacingFile::Commit() {
  std::error_code ec;
  const fs::path temp = NativeFsPath(temp_);
  if (existed_) fs::permissions(temp, static_cast<fs::perms>(permissions_), fs::perm_options::replace, ec);
  fs::rename(temp, NativeFsPath(target_), ec);
  if (ec) Fail(target_, ec.message());
  committed_ = true;
}

void WriteFileReplacing(const QString& fileName, const std::function<void(TStream&)>& write) {
  TReplacingFile file(fileName);
  {
    TFileStream stream(file.TempName(), fmOpenReadWrite);
    write(stream);
  }
  file.Commit();
}
