#pragma once
// The per-trace inclinometer records of one channel, indexed by trace number
// -500000 .. 500000. An entry holds one 8-byte record or nothing.
//
// Storage: the index range is cut into pages of 4096 entries that are allocated when
// the first record lands in them and freed when their last record goes, so a channel
// costs a small page directory plus 32 KiB per occupied page instead of a million
// pointers. A record's address stays valid until that record is removed or replaced,
// or the table is cleared or re-based; pages never move.
//
// Not synchronised: the recorder that stores records and the readers must not run
// at the same time on one table (the recorder works under the radar's paint lock).

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>

// The radar's accelerometer reading of one trace (AccelerometerValues), all zero for
// a trace that was filled in for a lost packet. Byte 2 (Values[1]) is the X reading.
struct TInclRecord {
  std::array<int16_t, 4> Values{};
  bool operator==(const TInclRecord&) const = default;
};
static_assert(sizeof(TInclRecord) == 8, "a record is stored as 8 bytes in files");

class TInclinometerTable {
public:
  static constexpr int64_t FirstIndex = -500000;
  static constexpr int64_t LastIndex = 500000;

  TInclinometerTable();
  ~TInclinometerTable();
  TInclinometerTable(TInclinometerTable&&) noexcept;
  TInclinometerTable& operator=(TInclinometerTable&&) noexcept;
  TInclinometerTable(const TInclinometerTable&) = delete;
  TInclinometerTable& operator=(const TInclinometerTable&) = delete;

  // The record of trace i; nullptr when there is none or i lies outside the range.
  TInclRecord* Entry(int64_t i);
  const TInclRecord* Entry(int64_t i) const;
  // Stores a copy of the record as trace i's, replacing any. Outside the index range
  // nothing is stored and the result is false.
  bool Set(int64_t i, const TInclRecord& record);
  // Frees trace i's record, if any.
  void Remove(int64_t i);
  // Frees every record.
  void Clear();
  // Number of entries that hold a record.
  int64_t RecordCount() const { return count_; }

  // Moves the records of the entries srcFirst .. srcEnd - 1, in order, to the entries
  // dstFirst, dstFirst + 1, ... below dstEnd; records that would land outside the
  // index range or at dstEnd and beyond are freed, and every entry not written by the
  // move ends empty. An empty or reversed source or destination empties the table.
  void Rebase(int64_t srcFirst, int64_t srcEnd, int64_t dstFirst, int64_t dstEnd);

private:
  static constexpr int kPageSize = 4096;
  static constexpr int kPageCount = int((LastIndex - FirstIndex + 1 + kPageSize - 1) / kPageSize);

  struct Page {
    std::array<TInclRecord, kPageSize> records{};
    std::bitset<kPageSize> present;
    int used = 0;
  };

  std::array<std::unique_ptr<Page>, kPageCount> pages_;
  int64_t count_ = 0;
};
