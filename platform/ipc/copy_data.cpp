#include "platform/ipc/copy_data.h"

#include <cstring>

QByteArray EncodeCopyDataRequest(uint64_t code, const QByteArray& bytes) {
  const auto count = static_cast<uint32_t>(bytes.size());
  QByteArray request(IpcCopyDataHeaderSize, Qt::Uninitialized);
  request[0] = static_cast<char>(IpcRequestCopyData);
  std::memcpy(request.data() + 1, &code, sizeof code);
  std::memcpy(request.data() + 9, &count, sizeof count);
  request.append(bytes);
  return request;
}

QByteArray CopyDataTextBytes(const QString& text) {
  QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  bytes.append('\0');
  return bytes;
}

QString CopyDataText(const QByteArray& bytes) {
  const qsizetype units = bytes.size() / 2;
  QString text(units, Qt::Uninitialized);
  std::memcpy(text.data(), bytes.constData(), static_cast<size_t>(units) * 2);
  return text;
}
