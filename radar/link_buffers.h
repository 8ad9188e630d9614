#pragma once
// The byte buffers of a radar: the receive buffer that the reader thread fills and
// parses, and the send queues of the two transports. Both are allocated when first
// used, so a radar that never streams holds no large block. Neither locks: the radar
// guards them with its SectCom (radar.h).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// Received bytes, at most Capacity. The held bytes are the range [start, end) of one
// block; consuming moves the start (no copy per packet), and an append that would
// run past the block first moves the held bytes to its front. The block grows by
// doubling up to Capacity.
class TReceiveBuffer {
public:
  static constexpr size_t Capacity = 0x6000000;  // 96 MiB

  // False, with nothing appended, when Count() + bytes would exceed Capacity.
  bool Append(std::span<const uint8_t> bytes);
  // Replaces the content (a recording replayed through the parser); false when too large.
  bool Assign(std::span<const uint8_t> bytes);
  // The held bytes; valid until the next Append, Assign, Consume or Clear.
  std::span<const uint8_t> Bytes() const { return {block_.get() + start_, end_ - start_}; }
  size_t Count() const { return end_ - start_; }
  // Drops the first n held bytes (all of them when n >= Count()).
  void Consume(size_t n);
  void Clear() { start_ = end_ = 0; }
  // Bytes allocated so far (0 until the first append).
  size_t Allocated() const { return allocated_; }

private:
  void Reserve(size_t needed);

  std::unique_ptr<uint8_t[]> block_;
  size_t allocated_ = 0;
  size_t start_ = 0;
  size_t end_ = 0;
};

// Packets waiting to be written to the port or the socket, at most Capacity bytes.
class TSendQueue {
public:
  static constexpr size_t Capacity = 65537;

  // False, with nothing queued, when the bytes do not fit.
  bool Append(std::span<const uint8_t> bytes);
  std::span<const uint8_t> Bytes() const { return {block_.get(), size_}; }
  size_t Count() const { return size_; }
  // The first n bytes went out: the rest moves to the front.
  void Consume(size_t n);
  void Clear() { size_ = 0; }
  size_t Allocated() const { return block_ ? Capacity : 0; }

private:
  std::unique_ptr<uint8_t[]> block_;
  size_t size_ = 0;
};
