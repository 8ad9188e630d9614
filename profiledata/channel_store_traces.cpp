// T2Dview: storing the traces of a recording in the per-trace table and packing
// them into the raw block when the recording stops.

#include "profiledata/channel_store.h"

#include "profiledata/setting_data.h"

#include <algorithm>
#include <cstring>

bool T2Dview::AppendTrace(const int32_t* samples, int32_t count, const TInclRecord& record) {
  return StoreTrace(MaxNumTraces(), samples, count, record, /*forward=*/true);
}

bool T2Dview::PrependTrace(const int32_t* samples, int32_t count, const TInclRecord& record) {
  return StoreTrace(MinNumTraces() - 1, samples, count, record, /*forward=*/false);
}

bool T2Dview::StoreTrace(int64_t i, const int32_t* samples, int32_t count, const TInclRecord& record,
                         bool forward) {
  if (!TTraceTable::InRange(i)) return false;
  TSettingData& s = *FSettings;
  const int32_t length = std::max(0, s.GetLongTrace());
  int32_t* buffer = IndexTraces.NewTrace(i, length);
  if (samples && count > 0) std::memcpy(buffer, samples, sizeof(int32_t) * static_cast<size_t>(std::min(count, length)));

  // The inclinometer range follows the trace range; a table that held no records
  // starts at this trace.
  s.IndexIncl.Set(i, record);
  if (s.MinNumIncl == s.MaxNumIncl) {
    s.MinNumIncl = i;
    s.MaxNumIncl = i + 1;
  } else {
    s.MinNumIncl = std::min(s.MinNumIncl, i);
    s.MaxNumIncl = std::max(s.MaxNumIncl, i + 1);
  }
  SetSizeDat(SizeDat() + int64_t{length} * 4);
  // The buffer is complete before the range shows it.
  if (forward) {
    SetMaxNumTraces(i + 1);
  } else {
    SetMinNumTraces(i);
  }
  return true;
}

void T2Dview::PackTraces() {
  const int64_t first = MinNumTraces();
  const int64_t traces = NumTraces();
  if (traces <= 0) return;
  const int64_t longTrace = std::max(0, FSettings->GetLongTrace());
  const int64_t bytes = traces * longTrace * 4;  // at most 1000001 x 65535 x 4: no overflow

  TSampleBlock raw;
  TSampleBlock work;
  raw.Allocate(bytes);  // zero-filled: a trace without a buffer stays zero
  work.Allocate(bytes);
  for (int64_t j = 0; j < traces; ++j) {
    const int32_t* buffer = IndexTraces.Trace(first + j);
    if (!buffer) continue;
    const int64_t n = std::min<int64_t>(IndexTraces.TraceLength(first + j), longTrace);
    std::memcpy(raw.Data() + j * longTrace, buffer, static_cast<size_t>(n) * sizeof(int32_t));
  }
  RawData = std::move(raw);
  dezoData = std::move(work);
  SetSizeDat(bytes);
}
