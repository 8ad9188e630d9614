#pragma once
// TOnlineData: the traces behind the online depth-slice view of a radargram
// window. Every stored trace is a record of LastArrayLength samples; the store also keeps the
// per-sample sum of the last 32 stored traces to find the strongest reflection.
// User-interface thread only.

#include "radar/trace_capacity.h"

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

class TOnlineData {
public:
  static constexpr int32_t RecordLength = LastArrayLength;  // samples of one record
  static constexpr int32_t SumLength = 1025;         // samples of SumLastArray
  static constexpr int32_t GrowRecords = 1000;       // records added when full
  static constexpr int32_t LastTraces = 32;          // traces in SumLastArray
  static constexpr int32_t TracesPerPaint = 8;

  TOnlineData() { Init(); }

  // Empty store, MinNrm 1.0, sums and counters 0.
  void Init();
  // Counts the call for the repaint; DirectAddTrace < 0 puts the trace first,
  // > 0 appends it, 0 only counts. Nrm lowers MinNrm.
  void AddTrace(const int32_t* ArrayLastTrace, int32_t lenArrayLastTrace, int32_t DirectAddTrace, long double Nrm);
  bool isReadyPaint() const { return CountTracesPaint >= TracesPerPaint; }
  void SetReadyPaintOff() { CountTracesPaint -= TracesPerPaint; }
  // Depth sample of the strongest reflection in the last 32 traces: the middle of
  // the run of equal sign of SumLastArray with the largest |sum|, the first and
  // last runs left out.
  int32_t GetNumSimpleInMaxSumLastArray() const;
  // Row 0 of the 8-bit depth slice at sample s (half window w): per record the
  // value of largest |x| in s - w .. s + w, scaled and shifted so 128 is zero.
  // useMinNrm: the recording window normalises all online traces together, and
  // MinNrm is the scale. A sample outside the record leaves the row unchanged;
  // pixels beyond the row are not written.
  void GetScanInDeep32(std::span<uint8_t> row, int32_t s, int32_t w, bool useMinNrm) const;

  // Record i (i < CountTraces).
  std::span<const int32_t> Record(int32_t i) const;

  std::vector<int32_t> TracesData;
  int32_t CountTracesPaint = 0;
  int64_t MemSizeData = 0;
  long double MinNrm = 1.0L;
  int32_t CountTraces = 0;
  bool runing = false;
  // Kept in 64 bits: 32 sums of 32-bit samples may leave the 32-bit range.
  std::vector<int64_t> SumLastArray;

private:
  std::deque<std::vector<int32_t>> last_;  // the traces in SumLastArray, oldest first
};
