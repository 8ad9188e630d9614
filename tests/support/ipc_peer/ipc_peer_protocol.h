#pragma once
// What the link test peer answers, shared by the peer and the tests.

#include <QByteArray>

#include <cstdint>
#include <cstring>

// The peer's result for a copy-data request: FNV-1a over the code and the
// bytes, so a result proves that every byte arrived in order.
inline int64_t IpcPeerDigest(uint64_t code, const QByteArray& bytes) {
  uint64_t hash = 14695981039346656037ull;
  const auto add = [&hash](unsigned char byte) {
    hash ^= byte;
    hash *= 1099511628211ull;
  };
  for (int i = 0; i < 8; ++i) add(static_cast<unsigned char>(code >> (8 * i)));
  for (const char byte : bytes) add(static_cast<unsigned char>(byte));
  int64_t result;
  std::memcpy(&result, &hash, sizeof result);
  return result;
}

// Exit code of `lock` when another instance holds the lock.
inline constexpr int IpcPeerSecondInstance = 3;
