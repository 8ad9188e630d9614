#pragma once
// What travels between the programs: a copy-data request (a code and a block of
// bytes, answered by a 64-bit result) or an activation, and the text form the
// senders use for the bytes.
//
// On the wire, one request per connection, in host byte order (both ends run on
// this machine):
//   copy-data:  u8 IpcRequestCopyData, u64 code, u32 byte count, the bytes
//   activate:   u8 IpcRequestActivate
// answered by an i64 result (0 for an activation), after which the receiver
// closes the connection. A request of another kind is closed unanswered.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

inline constexpr uint8_t IpcRequestCopyData = 1;
inline constexpr uint8_t IpcRequestActivate = 2;
inline constexpr size_t IpcCopyDataHeaderSize = 1 + 8 + 4;
inline constexpr size_t IpcReplySize = 8;

// A receiver does not keep more than this of one request: a larger one is read
// and dropped, its result is 0, and no handler sees it.
inline constexpr uint32_t MaxCopyDataBytes = 1u << 20;

// The request as it goes on the wire.
QByteArray EncodeCopyDataRequest(uint64_t code, const QByteArray& bytes);

// A text the way the senders put it: its UTF-16 units and one zero byte, so the
// byte count is 2 x characters + 1.
QByteArray CopyDataTextBytes(const QString& text);
// The text in received bytes: floor(count / 2) UTF-16 units, never more than
// arrived, so counts 0 and 1 give an empty text, 2n and 2n + 1 give n units.
QString CopyDataText(const QByteArray& bytes);
