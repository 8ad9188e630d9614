#pragma once
// The weighted diffraction summation both migrations run: every output sample
// (trace k, sample s) becomes the weighted mean of the input amplitudes along the
// diffraction hyperbola of a point scatterer at that trace and depth,
//
//   out[k][s] = round(S / W),  S = sum A(k - i, v_i) * w_i,  W = sum w_i
//   (0 when W = 0), summed in offset order i = -N .. N - 1 in extended precision
//   over the source traces t = k - i with 1 <= t <= N - 2 (the first and the last
//   trace never contribute) and the terms whose arrival sample v_i lies before
//   the trace end.
//
// The arrival v_i and the weight w_i depend on the row s and on |i| only, so a
// migration gives, per row, the table of its terms (TDiffractionRowTerms); the
// summation builds each row's table once and uses it for every output trace.
// Arrivals grow with |i|, so the offsets with terms form one range around 0 and
// the offsets arriving past the trace end cost nothing.
//
// A(t, v) is the input sample at index t x LongTrace + v of the channel, 0 when
// that index is not inside the channel after its first sample (an arrival before
// the trace start reads the previous trace's end, as the index says).
//
// Threads: RunDiffractionSum is called on the user-interface thread; it builds the
// rows' tables there (the term callback may read the tool's fields) and sums the
// output traces on the worker pool. Each sum is formed by one thread in offset
// order, so the result is the same for any number of threads. Work memory: one
// transposed copy of the input (sample-major), so that the terms of neighbouring
// output traces read neighbouring samples.

#include <cstdint>
#include <functional>
#include <vector>

class TRunYield;

// The terms of one output row: entry j serves the offsets -j and +j. A term to
// skip has weight 0 (it adds nothing to S and W) and any arrival in the trace.
struct TDiffractionRow {
  std::vector<int32_t> Arrival;
  std::vector<long double> Weight;
  void Clear() {
    Arrival.clear();
    Weight.clear();
  }
  void Add(int32_t arrival, long double weight) {
    Arrival.push_back(arrival);
    Weight.push_back(weight);
  }
};

// Fills `row` (empty on entry) for output row s with the entries j = 0, 1, ... of
// at most maxOffset + 1 entries, ending before the first entry whose arrival
// reaches longTrace.
using TDiffractionRowTerms = std::function<void(int32_t s, int64_t maxOffset, TDiffractionRow& row)>;

struct TDiffractionSum {
  const int32_t* In = nullptr;  // the channel, trace after trace
  int64_t Samples = 0;          // values in In (at least Traces x LongTrace)
  int32_t* Out = nullptr;       // the output channel, same layout
  int64_t Traces = 0;
  int LongTrace = 0;
  // Rows FirstRow .. LongTrace - 1 are computed; Out's other rows are not touched.
  int32_t FirstRow = 0;
  TDiffractionRowTerms Terms;
  // Called before each band of rows with the rows done and the rows to do.
  std::function<void(int64_t done, int64_t total)> Progress;
};

// Computes the output rows; between bands of rows asks `yield` whether to go on.
// False when the run was stopped (the output rows are then partly written).
bool RunDiffractionSum(const TDiffractionSum& job, TRunYield& yield);

// The number of terms the summation adds up (terms with a source trace and an
// arrival in the trace, weight 0 included), for the benchmarks' rates.
int64_t CountDiffractionTerms(const TDiffractionSum& job);
