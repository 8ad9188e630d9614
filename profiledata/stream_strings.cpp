#include "profiledata/stream_strings.h"

#include <algorithm>
#include <cstdint>
#include <limits>

QString ReadShortWideString(TStream& stream) {
  const int n = stream.ReadValue<uint8_t>();
  QString text(n, Qt::Uninitialized);
  // QString holds UTF-16 in machine order, which is little-endian (checked in streams.h).
  stream.ReadBuffer(text.data(), int64_t(n) * 2);
  return text;
}

void WriteShortWideString(TStream& stream, const QString& text) {
  qsizetype n = std::min<qsizetype>(text.size(), ShortStringMaxLength);
  if (n < text.size() && n > 0 && text.at(n - 1).isHighSurrogate()) --n;
  stream.WriteValue<uint8_t>(static_cast<uint8_t>(n));
  stream.WriteBuffer(text.utf16(), int64_t(n) * 2);
}

QByteArray ReadShortAnsiString(TStream& stream) {
  const int n = stream.ReadValue<uint8_t>();
  QByteArray text(n, Qt::Uninitialized);
  stream.ReadBuffer(text.data(), n);
  return text;
}

void WriteShortAnsiString(TStream& stream, const QByteArray& text) {
  const qsizetype n = std::min<qsizetype>(text.size(), ShortStringMaxLength);
  stream.WriteValue<uint8_t>(static_cast<uint8_t>(n));
  stream.WriteBuffer(text.constData(), n);
}

QByteArray ReadLongAnsiString(TStream& stream) {
  const int32_t n = stream.ReadValue<int32_t>();
  // A damaged length must not make us allocate gigabytes before the read fails.
  if (n < 0 || n > stream.Size() - stream.Position()) throw EReadError();
  QByteArray text(n, Qt::Uninitialized);
  stream.ReadBuffer(text.data(), n);
  return text;
}

void WriteLongAnsiString(TStream& stream, const QByteArray& text) {
  if (text.size() > std::numeric_limits<int32_t>::max()) throw EWriteError();
  stream.WriteValue<int32_t>(static_cast<int32_t>(text.size()));
  stream.WriteBuffer(text.constData(), text.size());
}
