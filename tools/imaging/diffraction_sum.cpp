#include "tools/imaging/diffraction_sum.h"

#include "platform/rtl/rounding.h"
#include "tools/tool_protocol.h"
#include "tools/worker_pool.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Rows whose tables are built together and summed in one hand-over to the
// workers; the run yields between bands.
constexpr int32_t RowsPerBand = 8;
// Output traces per piece a worker takes: the piece's sums stay in registers and
// its source samples in the caches.
constexpr int64_t TracesPerPiece = 128;

// One row's terms by offset i = Lo .. Hi.
struct TRowPlan {
  int32_t Row = 0;
  int64_t Lo = 0;
  int64_t Hi = -1;
  // Every arrival lies in the trace: the transposed copy serves every term.
  bool InTrace = true;
  std::vector<int32_t> Arrival;
  std::vector<long double> Weight;
  // Index of offset i's sample of output trace k in the transposed copy, minus k.
  std::vector<int64_t> Offset;
  // Prefix[j]: the weights of offsets Lo .. Lo + j added in order.
  std::vector<long double> Prefix;
};

void BuildPlan(const TDiffractionSum& job, int32_t s, TDiffractionRow& row, TRowPlan& plan) {
  const int64_t n = job.Traces;
  row.Clear();
  job.Terms(s, n, row);
  const int64_t count = std::min<int64_t>(static_cast<int64_t>(row.Arrival.size()), n + 1);
  plan.Row = s;
  plan.Lo = count > 0 ? -std::min(count - 1, n) : 0;
  plan.Hi = count > 0 ? std::min(count - 1, n - 1) : -1;
  plan.InTrace = true;
  const auto size = static_cast<size_t>(std::max<int64_t>(plan.Hi - plan.Lo + 1, 0));
  plan.Arrival.resize(size);
  plan.Weight.resize(size);
  plan.Offset.resize(size);
  plan.Prefix.resize(size);
  long double sum = 0;
  for (int64_t i = plan.Lo; i <= plan.Hi; ++i) {
    const auto j = static_cast<size_t>(i < 0 ? -i : i);
    const auto at = static_cast<size_t>(i - plan.Lo);
    const int32_t v = row.Arrival[j];
    plan.Arrival[at] = v;
    plan.Weight[at] = row.Weight[j];
    if (v < 0 || v >= job.LongTrace) plan.InTrace = false;
    plan.Offset[at] = int64_t{v} * n - i;
    sum += row.Weight[j];
    plan.Prefix[at] = sum;
  }
}

// The sums of output traces [a, b) of one row.
class TRowSummer {
public:
  TRowSummer(const TDiffractionSum& job, const int32_t* transposed, const TRowPlan& plan)
      : job_(job), transposed_(transposed), plan_(plan), n_(job.Traces), longTrace_(job.LongTrace) {}

  void Run(int64_t a, int64_t b) const {
    // Output traces whose every offset has a source trace: k - Hi >= 1 and
    // k - Lo <= N - 2.
    const int64_t fullFrom = std::max(a, plan_.Hi + 1);
    const int64_t fullTo = std::min(b, n_ - 1 + plan_.Lo);
    if (!plan_.InTrace || plan_.Weight.empty() || fullFrom >= fullTo) {
      for (int64_t k = a; k < b; ++k) Scalar(k);
      return;
    }
    for (int64_t k = a; k < fullFrom; ++k) Scalar(k);
    int64_t k = fullFrom;
    for (; k + 4 <= fullTo; k += 4) Four(k);
    for (; k < fullTo; ++k) Scalar(k);
    for (k = std::max(fullTo, a); k < b; ++k) Scalar(k);
  }

private:
  void Store(int64_t k, long double s, long double w) const {
    job_.Out[k * longTrace_ + plan_.Row] = w != 0 ? RoundToInt32Fast(s / w) : 0;
  }

  // Four neighbouring output traces with every offset's term.
  void Four(int64_t k) const {
    const size_t count = plan_.Weight.size();
    const long double* weight = plan_.Weight.data();
    const int64_t* offset = plan_.Offset.data();
    const int32_t* base = transposed_ + k;
    long double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (size_t j = 0; j < count; ++j) {
      const int32_t* p = base + offset[j];
      const long double w = weight[j];
      s0 += static_cast<long double>(p[0]) * w;
      s1 += static_cast<long double>(p[1]) * w;
      s2 += static_cast<long double>(p[2]) * w;
      s3 += static_cast<long double>(p[3]) * w;
    }
    const long double w = plan_.Prefix.back();
    Store(k, s0, w);
    Store(k + 1, s1, w);
    Store(k + 2, s2, w);
    Store(k + 3, s3, w);
  }

  // One output trace, any offset range, amplitudes by their channel index.
  void Scalar(int64_t k) const {
    const int64_t lo = std::max(plan_.Lo, k - (n_ - 2));
    const int64_t hi = std::min(plan_.Hi, k - 1);
    if (lo > hi) {
      Store(k, 0, 0);
      return;
    }
    long double s = 0;
    long double w = 0;
    for (int64_t i = lo; i <= hi; ++i) {
      const auto at = static_cast<size_t>(i - plan_.Lo);
      const int64_t index = (k - i) * longTrace_ + plan_.Arrival[at];
      const int32_t amplitude = index > 0 && index < job_.Samples ? job_.In[index] : 0;
      s += static_cast<long double>(amplitude) * plan_.Weight[at];
      if (lo != plan_.Lo) w += plan_.Weight[at];
    }
    if (lo == plan_.Lo) w = plan_.Prefix[static_cast<size_t>(hi - plan_.Lo)];
    Store(k, s, w);
  }

  const TDiffractionSum& job_;
  const int32_t* transposed_;
  const TRowPlan& plan_;
  int64_t n_;
  int64_t longTrace_;
};

// Sample-major copy of the channel: transposed[v * N + t] = in[t * L + v].
std::unique_ptr<int32_t[]> Transpose(const TDiffractionSum& job) {
  const int64_t n = job.Traces;
  const int64_t l = job.LongTrace;
  auto transposed = std::make_unique_for_overwrite<int32_t[]>(static_cast<size_t>(n * l));
  int32_t* to = transposed.get();
  const int32_t* from = job.In;
  constexpr int64_t Tile = 64;
  TWorkerPool::Instance().RunChunked(0, n, Tile, [&](int64_t a, int64_t b) {
    for (int64_t v0 = 0; v0 < l; v0 += Tile)
      for (int64_t t = a; t < b; ++t)
        for (int64_t v = v0; v < std::min(l, v0 + Tile); ++v) to[v * n + t] = from[t * l + v];
  });
  return transposed;
}

}  // namespace

bool RunDiffractionSum(const TDiffractionSum& job, TRunYield& yield) {
  const int64_t n = job.Traces;
  const int32_t l = job.LongTrace;
  const int32_t first = std::max<int32_t>(job.FirstRow, 0);
  if (n <= 0 || l <= 0 || first >= l || !job.Terms) return true;
  const std::unique_ptr<int32_t[]> transposed = Transpose(job);
  TWorkerPool& pool = TWorkerPool::Instance();
  std::vector<TRowPlan> plans(RowsPerBand);
  TDiffractionRow row;
  const int64_t total = l - first;
  for (int32_t band = first; band < l; band += RowsPerBand) {
    if (job.Progress) job.Progress(band - first, total);
    const int32_t rows = std::min<int32_t>(RowsPerBand, l - band);
    for (int32_t r = 0; r < rows; ++r) BuildPlan(job, band + r, row, plans[static_cast<size_t>(r)]);
    pool.RunChunked(0, n, TracesPerPiece, [&](int64_t a, int64_t b) {
      for (int32_t r = 0; r < rows; ++r) TRowSummer(job, transposed.get(), plans[static_cast<size_t>(r)]).Run(a, b);
    });
    if (!yield.Continue()) return false;
  }
  return true;
}

int64_t CountDiffractionTerms(const TDiffractionSum& job) {
  const int64_t n = job.Traces;
  int64_t terms = 0;
  TDiffractionRow row;
  TRowPlan plan;
  for (int32_t s = std::max<int32_t>(job.FirstRow, 0); s < job.LongTrace; ++s) {
    BuildPlan(job, s, row, plan);
    // Offset i has the output traces k = t + i for the source traces 1 .. N - 2.
    for (int64_t i = plan.Lo; i <= plan.Hi; ++i)
      terms += std::max<int64_t>(0, std::min(n - 1, n - 2 + i) - std::max<int64_t>(0, 1 + i) + 1);
  }
  return terms;
}
