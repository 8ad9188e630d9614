#include "platform/rtl/streams.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soCurrent);
  const int64_t end = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return end;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count < 0 || (count != 0 && Write(buffer, count) != count)) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> chunk(static_cast<size_t>(std::min<int64_t>(count, 1 << 20)));
  int64_t left = count;
  while (left > 0) {
    const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(chunk.size()));
    source.ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    left -= n;
  }
  return count;
}

// --- TMemoryStream -------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= data_.size()) return 0;
  const int64_t n = std::min<int64_t>(count, data_.size() - position_);
  std::memcpy(buffer, data_.constData() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t end = position_ + count;
  if (end > data_.size()) data_.resize(end, '\0');  // a gap left by a seek past the end reads as zeros
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = 0;
  if (origin == soCurrent) base = position_;
  if (origin == soEnd) base = data_.size();
  const int64_t target = base + offset;
  if (target >= 0) position_ = target;  // past the end is allowed; reads there return 0
  return position_;
}

void TMemoryStream::SetSize(int64_t newSize) {
  data_.resize(std::max<int64_t>(newSize, 0), '\0');
  position_ = std::min<int64_t>(position_, data_.size());
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t n = source.Size();
  data_.resize(n);
  position_ = 0;
  source.ReadBuffer(data_.data(), n);
}

void TMemoryStream::SaveToStream(TStream& dest) { dest.WriteBuffer(data_.constData(), data_.size()); }

void TMemoryStream::LoadFromFile(const QString& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TMemoryStream::SaveToFile(const QString& fileName) {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}

// --- TFileStream ---------------------------------------------------------

TFileStream::TFileStream(const QString& fileName, uint16_t mode) : fileName_(fileName) {
  const QByteArray path = QFile::encodeName(fileName);
  if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) throw EFCreateError("Cannot create file \"" + fileName.toStdString() + "\". " + std::strerror(errno));
    return;
  }
  int flags = O_RDONLY;
  if ((mode & 3) == fmOpenWrite) flags = O_WRONLY;
  if ((mode & 3) == fmOpenReadWrite) flags = O_RDWR;
  fd_ = ::open(path.constData(), flags | O_CLOEXEC);
  struct stat st {};
  if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {  // Linux opens a folder for reading
    ::close(fd_);
    fd_ = -1;
    errno = EISDIR;
  }
  if (fd_ < 0) throw EFOpenError("Cannot open file \"" + fileName.toStdString() + "\". " + std::strerror(errno));
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  auto* p = static_cast<char*>(buffer);
  while (done < count) {
    const ssize_t n = ::read(fd_, p + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  const auto* p = static_cast<const char*>(buffer);
  while (done < count) {
    const ssize_t n = ::write(fd_, p + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
  return r < 0 ? ::lseek(fd_, 0, SEEK_CUR) : r;
}

// As the runtime's handle stream does: the position moves to the new end.
void TFileStream::SetSize(int64_t newSize) {
  if (newSize < 0 || ::ftruncate(fd_, static_cast<off_t>(newSize)) != 0) throw EWriteError();
  Seek(newSize, soBeginning);
}
