#include "tools/median_kernel.h"

#include "tools/window_mirror.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

// -1,000,000 < v < 1,000,000 in one unsigned comparison.
inline bool TakesPart(int32_t v) {
  return static_cast<uint32_t>(v) + uint32_t{MedianValueLimit - 1} < uint32_t{2 * MedianValueLimit - 1};
}

// Three values: an excluded value becomes a sentinel, the first one below every
// value and the next one above, so that the median of the three is the rule's
// choice among the rest (of two the lower, of one itself); with none left the
// input sample (`self`) stays.
inline int32_t SelectOfThree(int32_t a, int32_t b, int32_t c, int32_t self) {
  const bool ia = !TakesPart(a), ib = !TakesPart(b), ic = !TakesPart(c);
  a = ia ? INT32_MIN : a;
  b = ib ? (ia ? INT32_MAX : INT32_MIN) : b;
  c = ic ? ((ia || ib) ? INT32_MAX : INT32_MIN) : c;
  const int32_t median = std::max(std::min(a, b), std::min(std::max(a, b), c));
  return (ia && ib && ic) ? self : median;
}

// One sample row of the three-trace window: out[s] from left[s], self[s] and
// right[s]. Built for AVX2 beside the baseline and picked by the processor: the
// baseline has no vector minimum or maximum of 32-bit integers and spends most
// of its time emulating them, where AVX2 keeps pace with memory.
__attribute__((target_clones("avx2", "default"))) void SelectRowOfThree(const int32_t* __restrict left,
                                                                       const int32_t* __restrict self,
                                                                       const int32_t* __restrict right,
                                                                       int32_t* __restrict out, int n) {
  for (int s = 0; s < n; ++s) out[s] = SelectOfThree(left[s], self[s], right[s], self[s]);
}

// X = 1, Y = 0 (the default window): three traces side by side.
void SelectAcrossThreeTraces(const int32_t* in, int32_t* out, int64_t traces, int L, int64_t first, int64_t end) {
  for (int64_t t = first; t < end; ++t) {
    SelectRowOfThree(in + MirrorPosition(t, -1, traces) * L, in + t * L, in + MirrorPosition(t, 1, traces) * L,
                     out + t * L, L);
  }
}

// The first of n sorted values that is not below v (n when none): a binary
// search without branches on the values, which are random to the predictor.
inline size_t LowerBound(const int32_t* first, size_t n, int32_t v) {
  if (n == 0) return 0;
  const int32_t* base = first;
  while (n > 1) {
    const size_t half = n / 2;
    base = base[half] < v ? base + half : base;
    n -= half;
  }
  return static_cast<size_t>(base - first) + (*base < v ? 1 : 0);
}

// Windows of more values than this count them in buckets (THistogramWindow);
// smaller ones keep their values near the median in order (TSlidingWindow).
constexpr int HistogramAbove = 16;

// The rows (samples) the window of sample s reads, sorted.
void WindowRows(int64_t s, int halfY, int L, std::vector<int64_t>& rows) {
  rows.clear();
  for (int i = -halfY; i <= halfY; ++i) rows.push_back(MirrorPosition(s, i, L));
  std::sort(rows.begin(), rows.end());
}

// The window of one trace as it slides down the samples. Only the values near
// the selected rank are kept in order (the band: every window value in [lo,
// hi]); the others are only counted (below lo, above hi). A value entering or
// leaving outside the band costs one comparison; the band is rebuilt from the
// whole window when the selected rank leaves it, which the slow drift of a
// median makes rare.
class TSlidingWindow {
public:
  TSlidingWindow(const int32_t* in, int64_t traces, int L, int halfX, int halfY)
      : in_(in), traces_(traces), L_(L), halfX_(halfX), halfY_(halfY) {}

  void Trace(int64_t t, int32_t* out) {
    columns_.clear();
    for (int j = -halfX_; j <= halfX_; ++j) columns_.push_back(MirrorPosition(t, j, traces_) * L_);
    const int32_t* self = in_ + t * L_;
    Rebuild(0);
    out[0] = Select(0, self[0]);
    for (int s = 1; s < L_; ++s) {
      Step(s);
      out[s] = Select(s, self[s]);
    }
  }

private:
  // Half the number of ranks kept in order on either side of the selected one.
  static constexpr size_t BandHalf = 96;

  template <class TAction>
  void ForRow(int64_t row, TAction action) const {
    for (int64_t base : columns_) {
      const int32_t v = in_[base + row];
      if (TakesPart(v)) action(v);
    }
  }

  void Enter(int32_t v) {
    if (v < lo_) {
      ++below_;
    } else if (v > hi_) {
      ++above_;
    } else {
      band_.insert(band_.begin() + static_cast<std::ptrdiff_t>(LowerBound(band_.data(), band_.size(), v)), v);
    }
  }
  void Leave(int32_t v) {
    if (v < lo_) {
      --below_;
    } else if (v > hi_) {
      --above_;
    } else {
      band_.erase(band_.begin() + static_cast<std::ptrdiff_t>(LowerBound(band_.data(), band_.size(), v)));
    }
  }

  // The (k div 2 + 1)-th largest of the k values; the input sample for none.
  int32_t Select(int s, int32_t self) {
    const size_t k = below_ + band_.size() + above_;
    if (k == 0) return self;
    const size_t m = k - 1 - k / 2;
    if (m < below_ || m >= below_ + band_.size()) Rebuild(s);
    return band_[m - below_];
  }

  // The band around the selected rank from all values of sample s's window.
  void Rebuild(int s) {
    WindowRows(s, halfY_, L_, rows_);
    all_.clear();
    for (int64_t r : rows_) ForRow(r, [this](int32_t v) { all_.push_back(v); });
    std::sort(all_.begin(), all_.end());
    const size_t k = all_.size();
    band_.clear();
    below_ = above_ = 0;
    if (k == 0) {
      // Everything that enters is counted until the next selection rebuilds.
      lo_ = INT32_MAX;
      hi_ = INT32_MIN;
      below_ = 0;
      return;
    }
    const size_t m = k - 1 - k / 2;
    lo_ = all_[m > BandHalf ? m - BandHalf : 0];
    hi_ = all_[std::min(k - 1, m + BandHalf)];
    const auto from = std::lower_bound(all_.begin(), all_.end(), lo_);
    const auto to = std::upper_bound(all_.begin(), all_.end(), hi_);
    below_ = static_cast<size_t>(from - all_.begin());
    above_ = static_cast<size_t>(all_.end() - to);
    band_.assign(from, to);
  }

  // From the window of sample s - 1 to that of s.
  void Step(int s) {
    if (s - 1 - halfY_ >= 0 && s + halfY_ <= L_ - 1) {
      // Inside the trace one row leaves at the top and one enters at the bottom.
      ForRow(s - 1 - halfY_, [this](int32_t v) { Leave(v); });
      ForRow(s + halfY_, [this](int32_t v) { Enter(v); });
      return;
    }
    // Near an end the mirrored rows repeat: the two windows' rows as multisets.
    WindowRows(s - 1, halfY_, L_, rows_);
    WindowRows(s, halfY_, L_, nextRows_);
    size_t a = 0, b = 0;
    while (a < rows_.size() || b < nextRows_.size()) {
      if (b == nextRows_.size() || (a < rows_.size() && rows_[a] < nextRows_[b])) {
        ForRow(rows_[a++], [this](int32_t v) { Leave(v); });
      } else if (a == rows_.size() || nextRows_[b] < rows_[a]) {
        ForRow(nextRows_[b++], [this](int32_t v) { Enter(v); });
      } else {
        ++a;
        ++b;
      }
    }
  }

  const int32_t* in_;
  int64_t traces_;
  int L_;
  int halfX_;
  int halfY_;
  std::vector<int64_t> columns_;
  std::vector<int64_t> rows_;
  std::vector<int64_t> nextRows_;
  std::vector<int32_t> all_;
  std::vector<int32_t> band_;
  int32_t lo_ = INT32_MAX;
  int32_t hi_ = INT32_MIN;
  size_t below_ = 0;
  size_t above_ = 0;
};

// The window of one trace as it slides down the samples, for large windows
// whose median moves faster than a band of ordered values can follow (a row of
// a horizontal band enters all at once): the values counted in three levels of
// buckets over the value range (16384, 128 and 1 values wide). A value entering
// or leaving costs three increments; the selection walks from the last top
// bucket and scans at most 128 counts on each lower level.
class THistogramWindow {
public:
  THistogramWindow(const int32_t* in, int64_t traces, int L, int halfX, int halfY)
      : in_(in), traces_(traces), L_(L), halfX_(halfX), halfY_(halfY) {
    // Kept per thread: every trace takes its values out again at its end, so
    // the counts are all zero between traces.
    thread_local std::vector<uint16_t> fine(size_t{Top} << 14);
    thread_local std::vector<uint16_t> middle(size_t{Top} << 7);
    thread_local std::vector<uint32_t> top(Top);
    fine_ = fine.data();
    middle_ = middle.data();
    top_ = top.data();
  }

  void Trace(int64_t t, int32_t* out) {
    columns_.clear();
    for (int j = -halfX_; j <= halfX_; ++j) columns_.push_back(MirrorPosition(t, j, traces_) * L_);
    const int32_t* self = in_ + t * L_;
    WindowRows(0, halfY_, L_, rows_);
    for (int64_t r : rows_) ForRow(r, [this](uint32_t u) { Add(u); });
    out[0] = Select(self[0]);
    for (int s = 1; s < L_; ++s) {
      Step(s);
      out[s] = Select(self[s]);
    }
    WindowRows(L_ - 1, halfY_, L_, rows_);
    for (int64_t r : rows_) ForRow(r, [this](uint32_t u) { Remove(u); });
  }

private:
  // Top buckets of 16384 values over the 1,999,999 values that take part.
  static constexpr uint32_t Top = (2 * MedianValueLimit + 16383) / 16384;

  template <class TAction>
  void ForRow(int64_t row, TAction action) const {
    for (int64_t base : columns_) {
      const int32_t v = in_[base + row];
      if (TakesPart(v)) action(static_cast<uint32_t>(v + (MedianValueLimit - 1)));
    }
  }
  void Add(uint32_t u) {
    ++fine_[u];
    ++middle_[u >> 7];
    ++top_[u >> 14];
    ++count_;
    if ((u >> 14) < bucket_) ++belowBucket_;
  }
  void Remove(uint32_t u) {
    --fine_[u];
    --middle_[u >> 7];
    --top_[u >> 14];
    --count_;
    if ((u >> 14) < bucket_) --belowBucket_;
  }

  int32_t Select(int32_t self) {
    if (count_ == 0) return self;
    const uint32_t m = count_ - 1 - count_ / 2;
    while (belowBucket_ > m) belowBucket_ -= top_[--bucket_];
    while (belowBucket_ + top_[bucket_] <= m) belowBucket_ += top_[bucket_++];
    uint32_t below = belowBucket_;
    uint32_t mid = bucket_ << 7;
    while (below + middle_[mid] <= m) below += middle_[mid++];
    uint32_t u = mid << 7;
    while (below + fine_[u] <= m) below += fine_[u++];
    return static_cast<int32_t>(u) - (MedianValueLimit - 1);
  }

  void Step(int s) {
    if (s - 1 - halfY_ >= 0 && s + halfY_ <= L_ - 1) {
      ForRow(s - 1 - halfY_, [this](uint32_t u) { Remove(u); });
      ForRow(s + halfY_, [this](uint32_t u) { Add(u); });
      return;
    }
    WindowRows(s - 1, halfY_, L_, rows_);
    for (int64_t r : rows_) ForRow(r, [this](uint32_t u) { Remove(u); });
    WindowRows(s, halfY_, L_, rows_);
    for (int64_t r : rows_) ForRow(r, [this](uint32_t u) { Add(u); });
  }

  const int32_t* in_;
  int64_t traces_;
  int L_;
  int halfX_;
  int halfY_;
  std::vector<int64_t> columns_;
  std::vector<int64_t> rows_;
  uint16_t* fine_;
  uint16_t* middle_;
  uint32_t* top_;
  uint32_t count_ = 0;
  uint32_t bucket_ = 0;
  uint32_t belowBucket_ = 0;
};

}  // namespace

void MedianFilterTraces(const int32_t* in, int32_t* out, int64_t traces, int longTrace, int halfX, int halfY,
                        int64_t first, int64_t end) {
  if (longTrace <= 0 || first >= end) return;
  const int64_t L = longTrace;
  if (halfX == 0 && halfY == 0) {
    // One value: itself when it takes part, and the input sample when not.
    std::memcpy(out + first * L, in + first * L, static_cast<size_t>((end - first) * L) * sizeof(int32_t));
    return;
  }
  if (halfX == 1 && halfY == 0) {
    SelectAcrossThreeTraces(in, out, traces, longTrace, first, end);
    return;
  }
  if ((2 * halfX + 1) * (2 * halfY + 1) > HistogramAbove) {
    THistogramWindow window(in, traces, longTrace, halfX, halfY);
    for (int64_t t = first; t < end; ++t) window.Trace(t, out + t * L);
    return;
  }
  TSlidingWindow window(in, traces, longTrace, halfX, halfY);
  for (int64_t t = first; t < end; ++t) window.Trace(t, out + t * L);
}
