#include "radar/online_data.h"

#include "platform/rtl/rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

void TOnlineData::Init() {
  TracesData.clear();
  TracesData.shrink_to_fit();
  MemSizeData = 0;
  CountTracesPaint = 0;
  CountTraces = 0;
  MinNrm = 1.0L;
  SumLastArray.assign(SumLength, 0);
  last_.clear();
  runing = false;
}

std::span<const int32_t> TOnlineData::Record(int32_t i) const {
  if (i < 0 || i >= CountTraces) return {};
  return {TracesData.data() + static_cast<ptrdiff_t>(i) * RecordLength, static_cast<size_t>(RecordLength)};
}

void TOnlineData::AddTrace(const int32_t* ArrayLastTrace, int32_t lenArrayLastTrace, int32_t DirectAddTrace,
                           long double Nrm) {
  ++CountTracesPaint;
  if (DirectAddTrace == 0 || runing || !ArrayLastTrace) return;
  runing = true;
  std::vector<int32_t> record(RecordLength, 0);
  std::copy_n(ArrayLastTrace, std::clamp(lenArrayLastTrace, 0, RecordLength), record.begin());

  const size_t held = static_cast<size_t>(CountTraces) * RecordLength;
  if (TracesData.size() < held + RecordLength) {
    TracesData.resize(held + static_cast<size_t>(GrowRecords) * RecordLength);
    MemSizeData = static_cast<int64_t>(TracesData.size()) * static_cast<int64_t>(sizeof(int32_t));
  }
  MinNrm = std::min(MinNrm, Nrm);
  if (DirectAddTrace < 0) {
    std::copy_backward(TracesData.begin(), TracesData.begin() + static_cast<ptrdiff_t>(held),
                       TracesData.begin() + static_cast<ptrdiff_t>(held + RecordLength));
    std::copy(record.begin(), record.end(), TracesData.begin());
  } else {
    std::copy(record.begin(), record.end(), TracesData.begin() + static_cast<ptrdiff_t>(held));
  }
  for (int32_t k = 0; k < SumLength; ++k) SumLastArray[k] += record[k];
  last_.push_back(std::move(record));
  if (static_cast<int32_t>(last_.size()) > LastTraces) {
    for (int32_t k = 0; k < SumLength; ++k) SumLastArray[k] -= last_.front()[k];
    last_.pop_front();
  }
  ++CountTraces;
  runing = false;
}

int32_t TOnlineData::GetNumSimpleInMaxSumLastArray() const {
  struct TRun {
    int64_t sum;
    int32_t first, last;
    int sgn;
  };
  auto sign = [](int64_t v) { return (v > 0) - (v < 0); };
  std::vector<TRun> runs;
  for (int32_t k = 0; k < SumLength; ++k) {
    const int64_t v = SumLastArray[k];
    if (runs.empty() || runs.back().sgn != sign(v)) {
      runs.push_back({v, k, k, sign(v)});
    } else {
      runs.back().sum += v;
      runs.back().last = k;
    }
  }
  if (runs.empty()) return 0;
  // Stand-in for a missing P or Q: the first run, weighing 0.
  TRun P{0, runs.front().first, runs.front().last, 0};
  TRun Q = P;
  bool haveP = false, haveQ = false;
  for (size_t i = 1; i + 1 < runs.size(); ++i) {
    const TRun& r = runs[i];
    if (r.sum > 0 && (!haveP || r.sum > P.sum)) P = r, haveP = true;
    if (r.sum < 0 && (!haveQ || r.sum < Q.sum)) Q = r, haveQ = true;
  }
  const TRun& best = std::llabs(P.sum) > std::llabs(Q.sum) ? P : Q;
  return (best.first + best.last) / 2;
}

void TOnlineData::GetScanInDeep32(std::span<uint8_t> row, int32_t s, int32_t w, bool useMinNrm) const {
  if (s < 0 || s >= RecordLength || CountTraces <= 0) return;
  w = std::max(w, 0);
  long double meanAbs = 0;
  for (int32_t i = 0; i < CountTraces; ++i) meanAbs += std::llabs(int64_t{Record(i)[s]});
  meanAbs /= CountTraces;
  const int64_t limit = Round(3.0L * meanAbs);
  int64_t largest = -1;
  for (int32_t i = 0; i < CountTraces; ++i) {
    const int64_t a = std::llabs(int64_t{Record(i)[s]});
    if (a < limit) largest = std::max(largest, a);
  }
  long double g = largest > 0 ? 127.0L / largest : 1.0L;
  if (useMinNrm) g = MinNrm;
  const int32_t first = std::max(0, s - w), last = std::min(RecordLength - 1, s + w);
  const int32_t pixels = std::min<int32_t>(CountTraces, static_cast<int32_t>(std::min<size_t>(row.size(), INT32_MAX)));
  for (int32_t i = 0; i < pixels; ++i) {
    const auto rec = Record(i);
    int32_t v = rec[first];
    for (int32_t k = first + 1; k <= last; ++k)
      if (std::llabs(int64_t{rec[k]}) > std::llabs(int64_t{v})) v = rec[k];
    row[i] = static_cast<uint8_t>(std::clamp<int64_t>(Round(g * v), -128, 127) + 128);
  }
}
