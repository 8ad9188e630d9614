#pragma once
// TSampleBlock: a contiguous block of 32-bit samples, trace after trace, as a
// channel keeps its raw sums (RawData) and its working data (dezoData).
//
// The block is counted in bytes, as the record stores it; a byte count that is no
// multiple of 4 is padded with zeros to whole samples, so code that reads
// round(bytes / 4) samples never runs past the block. New blocks are zero-filled
// (large ones get their zero pages from the system only when first touched, so
// allocating the working block beside a freshly read raw block costs nothing until
// it is used). Move-only; not synchronised.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

class TSampleBlock {
public:
  TSampleBlock() = default;

  // Replaces the block with `bytes` zero bytes (nothing for 0). std::bad_alloc
  // when memory cannot be had or the size is negative; the block is then empty.
  void Allocate(int64_t bytes) {
    Reset();
    if (bytes == 0) return;
    if (bytes < 0) throw std::bad_alloc();
    const uint64_t samples = (static_cast<uint64_t>(bytes) + 3) / 4;
    void* memory = std::calloc(samples, sizeof(int32_t));
    if (!memory) throw std::bad_alloc();
    data_.reset(static_cast<int32_t*>(memory));
    bytes_ = bytes;
  }
  void Reset() {
    data_.reset();
    bytes_ = 0;
  }

  bool Empty() const { return !data_; }
  int64_t Bytes() const { return bytes_; }
  // Whole and padded samples the block holds.
  int64_t Samples() const { return (bytes_ + 3) / 4; }
  int32_t* Data() { return data_.get(); }
  const int32_t* Data() const { return data_.get(); }

private:
  struct TFree {
    void operator()(int32_t* p) const { std::free(p); }
  };
  std::unique_ptr<int32_t[], TFree> data_;
  int64_t bytes_ = 0;
};
