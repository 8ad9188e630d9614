#include "radar/link_buffers.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kFirstBlock = 64 * 1024;
}

// ---- TReceiveBuffer ---------------------------------------------------------------

void TReceiveBuffer::Reserve(size_t needed) {
  if (needed <= allocated_) return;
  size_t size = std::max(allocated_, kFirstBlock);
  while (size < needed) size = std::min(size * 2, Capacity);
  auto block = std::make_unique<uint8_t[]>(size);
  if (end_ > start_) std::memcpy(block.get(), block_.get() + start_, end_ - start_);
  end_ -= start_;
  start_ = 0;
  block_ = std::move(block);
  allocated_ = size;
}

bool TReceiveBuffer::Append(std::span<const uint8_t> bytes) {
  if (bytes.size() > Capacity - Count()) return false;
  if (bytes.empty()) return true;
  if (end_ + bytes.size() > allocated_) {
    if (Count() + bytes.size() <= allocated_ && start_ > 0) {
      std::memmove(block_.get(), block_.get() + start_, end_ - start_);
      end_ -= start_;
      start_ = 0;
    } else {
      Reserve(Count() + bytes.size());
    }
  }
  std::memcpy(block_.get() + end_, bytes.data(), bytes.size());
  end_ += bytes.size();
  return true;
}

bool TReceiveBuffer::Assign(std::span<const uint8_t> bytes) {
  if (bytes.size() > Capacity) return false;
  Clear();
  return Append(bytes);
}

void TReceiveBuffer::Consume(size_t n) {
  if (n >= Count()) {
    Clear();
    return;
  }
  start_ += n;
}

// ---- TSendQueue -----------------------------------------------------------------------

bool TSendQueue::Append(std::span<const uint8_t> bytes) {
  if (bytes.size() > Capacity - size_) return false;
  if (bytes.empty()) return true;
  if (!block_) block_ = std::make_unique<uint8_t[]>(Capacity);
  std::memcpy(block_.get() + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
  return true;
}

void TSendQueue::Consume(size_t n) {
  if (n >= size_) {
    size_ = 0;
    return;
  }
  std::memmove(block_.get(), block_.get() + n, size_ - n);
  size_ -= n;
}
