#pragma once
// TTraceTable: the per-trace buffers of a channel during a recording, indexed by
// trace number -500000 .. 500000. An entry holds one buffer of 32-bit sample sums
// (normally LongTrace of them) or nothing.
//
// Storage: the index range is cut into pages of 4096 entries; a page is allocated
// when the first buffer lands in it and stays until Clear, so an empty channel
// costs a page directory of a few kilobytes instead of a million pointers, and a
// recording appends or prepends without moving anything already stored.
//
// Threads: one writer at a time stores buffers (the radar's reader thread under the
// radar's paint lock while recording, the user-interface thread otherwise); readers
// on other threads may look buffers up meanwhile. A buffer and its length are
// complete before its entry shows it. Replacing or freeing a buffer, and Clear,
// must not run while anyone reads that buffer (only when no recording runs).

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

class TTraceTable {
public:
  static constexpr int64_t FirstIndex = -500000;
  static constexpr int64_t LastIndex = 500000;

  TTraceTable();
  ~TTraceTable();
  TTraceTable(const TTraceTable&) = delete;
  TTraceTable& operator=(const TTraceTable&) = delete;

  static bool InRange(int64_t i) { return i >= FirstIndex && i <= LastIndex; }

  // The samples of trace i; nullptr when it has no buffer or i lies outside the
  // index range.
  int32_t* Trace(int64_t i) const;
  // Samples in trace i's buffer; 0 when it has none.
  int32_t TraceLength(int64_t i) const;
  // Gives trace i a new zero-filled buffer of `length` samples, replacing any,
  // and returns it; nullptr (nothing stored) outside the index range or for a
  // negative length. std::bad_alloc when memory cannot be had.
  int32_t* NewTrace(int64_t i, int32_t length);
  // Frees trace i's buffer, if any.
  void Free(int64_t i);
  // Frees the buffers of first .. end - 1 (clipped to the index range).
  void FreeRange(int64_t first, int64_t end);
  // Frees every buffer and page.
  void Clear();
  // Number of entries that hold a buffer.
  int64_t Count() const { return count_.load(std::memory_order_relaxed); }

private:
  struct TBuffer {
    int32_t length = 0;
    std::unique_ptr<int32_t[]> samples;
  };
  static constexpr int kPageSize = 4096;
  static constexpr int kPageCount = int((LastIndex - FirstIndex + 1 + kPageSize - 1) / kPageSize);
  struct Page {
    std::array<std::atomic<TBuffer*>, kPageSize> entries{};
  };

  // The entry of trace i (which must be in range), nullptr when its page is absent.
  std::atomic<TBuffer*>* Slot(int64_t i) const;
  std::atomic<TBuffer*>& SlotForWrite(int64_t i);

  std::array<std::atomic<Page*>, kPageCount> pages_{};
  std::atomic<int64_t> count_{0};
};
