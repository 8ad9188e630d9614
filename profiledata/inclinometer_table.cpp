#include "profiledata/inclinometer_table.h"

#include <algorithm>
#include <utility>

namespace {

bool InRange(int64_t i) {
  return i >= TInclinometerTable::FirstIndex && i <= TInclinometerTable::LastIndex;
}

}  // namespace

TInclinometerTable::TInclinometerTable() = default;
TInclinometerTable::~TInclinometerTable() = default;

TInclinometerTable::TInclinometerTable(TInclinometerTable&& other) noexcept
    : pages_(std::move(other.pages_)), count_(std::exchange(other.count_, 0)) {}

TInclinometerTable& TInclinometerTable::operator=(TInclinometerTable&& other) noexcept {
  if (this != &other) {
    pages_ = std::move(other.pages_);
    count_ = std::exchange(other.count_, 0);
  }
  return *this;
}

TInclRecord* TInclinometerTable::Entry(int64_t i) {
  return const_cast<TInclRecord*>(std::as_const(*this).Entry(i));
}

const TInclRecord* TInclinometerTable::Entry(int64_t i) const {
  if (!InRange(i)) return nullptr;
  const int64_t offset = i - FirstIndex;
  const Page* page = pages_[size_t(offset / kPageSize)].get();
  const size_t slot = size_t(offset % kPageSize);
  if (!page || !page->present[slot]) return nullptr;
  return &page->records[slot];
}

bool TInclinometerTable::Set(int64_t i, const TInclRecord& record) {
  if (!InRange(i)) return false;
  const int64_t offset = i - FirstIndex;
  std::unique_ptr<Page>& page = pages_[size_t(offset / kPageSize)];
  if (!page) page = std::make_unique<Page>();
  const size_t slot = size_t(offset % kPageSize);
  if (!page->present[slot]) {
    page->present[slot] = true;
    ++page->used;
    ++count_;
  }
  page->records[slot] = record;
  return true;
}

void TInclinometerTable::Remove(int64_t i) {
  if (!InRange(i)) return;
  const int64_t offset = i - FirstIndex;
  std::unique_ptr<Page>& page = pages_[size_t(offset / kPageSize)];
  const size_t slot = size_t(offset % kPageSize);
  if (!page || !page->present[slot]) return;
  page->present[slot] = false;
  --count_;
  if (--page->used == 0) page.reset();
}

void TInclinometerTable::Clear() {
  for (auto& page : pages_) page.reset();
  count_ = 0;
}

void TInclinometerTable::Rebase(int64_t srcFirst, int64_t srcEnd, int64_t dstFirst, int64_t dstEnd) {
  // Offsets k run over the moved records: source srcFirst + k, destination
  // dstFirst + k. Only the k for which both lie inside the index range can carry a
  // record, which bounds the loop whatever the arguments. 128-bit arithmetic keeps
  // the bounds exact for any 64-bit input.
  using Wide = __int128;
  const Wide kBegin = std::max({Wide(0), Wide(FirstIndex) - srcFirst, Wide(FirstIndex) - dstFirst});
  const Wide kEnd = std::min({Wide(srcEnd) - srcFirst, Wide(dstEnd) - dstFirst,
                              Wide(LastIndex) + 1 - srcFirst, Wide(LastIndex) + 1 - dstFirst});
  TInclinometerTable scratch;
  for (Wide k = kBegin; k < kEnd; ++k) {
    if (const TInclRecord* record = Entry(int64_t(srcFirst + k))) scratch.Set(int64_t(dstFirst + k), *record);
  }
  *this = std::move(scratch);
}
