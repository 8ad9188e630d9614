#pragma once
// Byte streams with the semantics the file formats rely on: Read/Write move as many
// bytes as they can and return the count; ReadBuffer/WriteBuffer demand the whole
// transfer and throw EReadError/EWriteError otherwise. ReadValue/WriteValue move
// fixed-width fields little-endian; the 10-byte extended float is in extended.h.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <bit>
#include <vector>

static_assert(std::endian::native == std::endian::little, "the file formats are little-endian and read in place");

class EStreamError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
class EReadError : public EStreamError {
public:
  EReadError() : EStreamError("Stream read error") {}
};
class EWriteError : public EStreamError {
public:
  EWriteError() : EStreamError("Stream write error") {}
};
class EFCreateError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class TStream {
public:
  virtual ~TStream() = default;

  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual void SetSize(int64_t newSize) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
  virtual int64_t Size();

  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes from source (count 0: the whole source from its start).
  int64_t CopyFrom(TStream& source, int64_t count);

  template <typename T>
  T ReadValue() {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    ReadBuffer(&value, sizeof(T));  // the machine is little-endian, as the files are
    return value;
  }
  template <typename T>
  void WriteValue(T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    WriteBuffer(&value, sizeof(T));
  }
};

// A growable block of memory. Growth (SetSize, or a write after a seek past the
// end) fills with zeros; SetSize keeps the position unless it is past the new end.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(QByteArray initial) : data_(std::move(initial)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t newSize) override;
  int64_t Size() override { return data_.size(); }

  void Clear();
  char* Memory() { return data_.data(); }
  const QByteArray& Bytes() const { return data_; }
  void LoadFromStream(TStream& source);
  void SaveToStream(TStream& dest);
  void LoadFromFile(const QString& fileName);
  void SaveToFile(const QString& fileName);

private:
  QByteArray data_;
  int64_t position_ = 0;
};

enum TFileMode : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareDenyWrite = 0x0020,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

// A file opened for reading, writing or both; fmCreate creates or truncates it.
// Share flags are accepted and ignored. Failure to open throws EFOpenError/EFCreateError.
class TFileStream : public TStream {
public:
  TFileStream(const QString& fileName, uint16_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Truncates or extends (with zeros) and leaves the position at the new end.
  void SetSize(int64_t newSize) override;
  const QString& FileName() const { return fileName_; }

private:
  QString fileName_;
  int fd_ = -1;
};
