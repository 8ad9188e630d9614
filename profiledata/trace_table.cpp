#include "profiledata/trace_table.h"

#include <algorithm>

TTraceTable::TTraceTable() = default;

TTraceTable::~TTraceTable() { Clear(); }

std::atomic<TTraceTable::TBuffer*>* TTraceTable::Slot(int64_t i) const {
  const int64_t offset = i - FirstIndex;
  Page* page = pages_[static_cast<size_t>(offset / kPageSize)].load(std::memory_order_acquire);
  return page ? &page->entries[static_cast<size_t>(offset % kPageSize)] : nullptr;
}

std::atomic<TTraceTable::TBuffer*>& TTraceTable::SlotForWrite(int64_t i) {
  const int64_t offset = i - FirstIndex;
  std::atomic<Page*>& entry = pages_[static_cast<size_t>(offset / kPageSize)];
  Page* page = entry.load(std::memory_order_acquire);
  if (!page) {
    // Only the one writer allocates, so no other page can appear meanwhile.
    page = new Page();
    entry.store(page, std::memory_order_release);
  }
  return page->entries[static_cast<size_t>(offset % kPageSize)];
}

int32_t* TTraceTable::Trace(int64_t i) const {
  if (!InRange(i)) return nullptr;
  const std::atomic<TBuffer*>* slot = Slot(i);
  const TBuffer* buffer = slot ? slot->load(std::memory_order_acquire) : nullptr;
  return buffer ? buffer->samples.get() : nullptr;
}

int32_t TTraceTable::TraceLength(int64_t i) const {
  if (!InRange(i)) return 0;
  const std::atomic<TBuffer*>* slot = Slot(i);
  const TBuffer* buffer = slot ? slot->load(std::memory_order_acquire) : nullptr;
  return buffer ? buffer->length : 0;
}

int32_t* TTraceTable::NewTrace(int64_t i, int32_t length) {
  if (!InRange(i) || length < 0) return nullptr;
  auto buffer = std::make_unique<TBuffer>();
  buffer->length = length;
  buffer->samples = std::make_unique<int32_t[]>(static_cast<size_t>(length));  // zero-filled
  int32_t* samples = buffer->samples.get();
  TBuffer* old = SlotForWrite(i).exchange(buffer.release(), std::memory_order_acq_rel);
  if (old) {
    delete old;
  } else {
    count_.fetch_add(1, std::memory_order_relaxed);
  }
  return samples;
}

void TTraceTable::Free(int64_t i) {
  if (!InRange(i)) return;
  std::atomic<TBuffer*>* slot = Slot(i);
  TBuffer* old = slot ? slot->exchange(nullptr, std::memory_order_acq_rel) : nullptr;
  if (!old) return;
  delete old;
  count_.fetch_sub(1, std::memory_order_relaxed);
}

void TTraceTable::FreeRange(int64_t first, int64_t end) {
  first = std::max(first, FirstIndex);
  end = std::min(end, LastIndex + 1);
  for (int64_t i = first; i < end; ++i) Free(i);
}

void TTraceTable::Clear() {
  for (std::atomic<Page*>& entry : pages_) {
    Page* page = entry.exchange(nullptr, std::memory_order_acq_rel);
    if (!page) continue;
    for (std::atomic<TBuffer*>& slot : page->entries) delete slot.exchange(nullptr, std::memory_order_relaxed);
    delete page;
  }
  count_.store(0, std::memory_order_relaxed);
}
