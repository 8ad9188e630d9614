// The overlays' computations without a window: marks against their formulas,
// the buffers against a direct evaluation, regions in their visiting order and
// the painted pixel bytes.

#include "tools/post_proc_kernel.h"

#include "raster/bitmap32.h"
#include "raster/raster_library.h"
#include "tools/worker_pool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

namespace post_proc_kernel_test {

// A channel of traces x samples with a deterministic, sign-changing content.
std::vector<int32_t> Channel(int traces, int samples) {
  std::vector<int32_t> data(static_cast<size_t>(traces) * static_cast<size_t>(samples));
  uint32_t state = 12345;
  for (size_t i = 0; i < data.size(); ++i) {
    state = state * 1103515245u + 12345u;
    const long double wave = std::sin(static_cast<long double>(i % static_cast<size_t>(samples)) * 0.37L);
    data[i] = static_cast<int32_t>(wave * 2000) + static_cast<int32_t>((state >> 16) % 20001) - 10000;
  }
  return data;
}

// h_i = (1/pi) sum over j != i of x_j / (i - j), directly.
std::vector<long double> Hilbert(const int32_t* x, int n) {
  std::vector<long double> h(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    long double sum = 0;
    for (int j = 0; j < n; ++j)
      if (j != i) sum += static_cast<long double>(x[j]) / static_cast<long double>(i - j);
    h[static_cast<size_t>(i)] = sum / std::numbers::pi_v<long double>;
  }
  return h;
}

// The frequency buffer as its formula reads: raw phases, p1/p2 carried across
// traces from 0, the offset restarting at every trace.
std::vector<long double> Frequency(const std::vector<int32_t>& data, int traces, int L, long double span) {
  std::vector<long double> f(data.size());
  long double p1 = 0;
  long double p2 = 0;
  const long double pi = std::numbers::pi_v<long double>;
  const long double dtau = span / L;
  for (int t = 0; t < traces; ++t) {
    const int32_t* x = &data[static_cast<size_t>(t) * static_cast<size_t>(L)];
    const std::vector<long double> h = Hilbert(x, L);
    std::vector<long double> phi(static_cast<size_t>(L));
    long double a = 0;
    for (int i = 0; i < L; ++i) {
      const long double raw = std::atan2(h[static_cast<size_t>(i)], static_cast<long double>(x[i]));
      if (raw < p1) a += (p1 - raw) + std::fabs(p2 - p1);
      p2 = p1;
      p1 = raw;
      phi[static_cast<size_t>(i)] = raw + a;
    }
    for (int i = 0; i < L; ++i) {
      const long double before = phi[static_cast<size_t>(i == 0 ? 0 : i - 1)];
      const long double after = phi[static_cast<size_t>(i == L - 1 ? L - 1 : i + 1)];
      long double v = (after - before) / (4 * pi * dtau);
      if (i == 0 || i == L - 1) v /= 2;
      f[static_cast<size_t>(t) * static_cast<size_t>(L) + static_cast<size_t>(i)] = v * 100000;
    }
  }
  return f;
}

int Count(const TMarkGrid& grid, uint8_t value) {
  int n = 0;
  for (uint8_t cell : grid.Cells) n += cell == value;
  return n;
}

struct TThreads {
  explicit TThreads(int n) : old(TWorkerPool::Instance().ThreadCount()) { TWorkerPool::Instance().SetThreadCount(n); }
  ~TThreads() { TWorkerPool::Instance().SetThreadCount(old); }
  int old;
};

TEST(PostProcKernel, ThresholdRoundsHalvesToEven) {
  EXPECT_EQ(PostProcThreshold(5, 50), 2);
  EXPECT_EQ(PostProcThreshold(7, 50), 4);
  EXPECT_EQ(PostProcThreshold(1000, 0), 0);
  EXPECT_EQ(PostProcThreshold(-1000000, 40), -400000);
  EXPECT_EQ(PostProcThreshold(std::numeric_limits<int32_t>::max(), 100), std::numeric_limits<int32_t>::max());
}

TEST(PostProcKernel, ComparatorMarksReachingTheLevel) {
  // Two traces of 3 samples; largest amplitude 100 (reached by -100 too).
  const std::vector<int32_t> data{0, 50, -100, 100, -49, 1};
  struct TCase {
    int32_t percent;
    std::vector<uint8_t> marks;
  };
  const TCase cases[] = {
      {0, {1, 1, 1, 1, 1, 1}},
      {50, {0, 1, 1, 1, 0, 0}},
      {100, {0, 0, 1, 1, 0, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.percent);
    TMarkGrid grid;
    grid.Reset(2, 3);
    MarkComparator(data.data(), 3, PostProcThreshold(100, c.percent), grid);
    EXPECT_EQ(grid.Cells, c.marks);
  }
  // The smallest sample has no negation in 32 bits: it still reaches the level.
  const std::vector<int32_t> extreme{std::numeric_limits<int32_t>::min()};
  TMarkGrid grid;
  grid.Reset(1, 1);
  MarkComparator(extreme.data(), 1, std::numeric_limits<int32_t>::max(), grid);
  EXPECT_EQ(grid.Cells[0], mcCandidate);
}

TEST(PostProcKernel, GridRowsHoldTracesLongerThanTheRadarDelivers) {
  const int L = 2000;
  std::vector<int32_t> data(static_cast<size_t>(2 * L), 0);
  data[static_cast<size_t>(L) + L - 1] = 9;
  TMarkGrid grid;
  grid.Reset(2, L);
  MarkComparator(data.data(), L, 9, grid);
  EXPECT_EQ(Count(grid, mcCandidate), 1);
  EXPECT_EQ(grid.At(1, L - 1), mcCandidate);
}

TEST(PostProcKernel, EnvelopeMarksAreStrict) {
  const std::vector<int32_t> buffer{0, 10, 20, 30};
  TMarkGrid grid;
  grid.Reset(1, 4);
  MarkAboveThreshold(buffer.data(), 4, PostProcThreshold(30, 0), grid);
  EXPECT_EQ(grid.Cells, (std::vector<uint8_t>{0, 1, 1, 1}));
  MarkAboveThreshold(buffer.data(), 4, PostProcThreshold(30, 100), grid);
  EXPECT_EQ(Count(grid, mcCandidate), 0);
}

TEST(PostProcKernel, EnvelopeBufferIsTheRoundedEnvelopeForAnyThreadCount) {
  const int traces = 150;  // more than one block
  const int L = 37;
  const std::vector<int32_t> data = Channel(traces, L);
  std::vector<int32_t> expected(data.size());
  for (int t = 0; t < traces; ++t) {
    const int32_t* x = &data[static_cast<size_t>(t) * L];
    const std::vector<long double> h = Hilbert(x, L);
    for (int i = 0; i < L; ++i) {
      const long double e = std::sqrt(static_cast<long double>(x[i]) * x[i] + h[static_cast<size_t>(i)] * h[static_cast<size_t>(i)]);
      expected[static_cast<size_t>(t) * L + static_cast<size_t>(i)] = static_cast<int32_t>(std::nearbyintl(e));
    }
  }
  for (int threads : {1, 5}) {
    SCOPED_TRACE(threads);
    TThreads scope(threads);
    std::vector<int32_t> out(data.size(), -1);
    std::vector<int64_t> progress;
    EXPECT_TRUE(EnvelopeBuffer(data.data(), L, traces, out.data(), [&](int64_t done) {
      progress.push_back(done);
      return true;
    }));
    EXPECT_EQ(out, expected);
    EXPECT_EQ(progress, (std::vector<int64_t>{64, 128, 150}));
  }
  std::vector<int32_t> out(data.size());
  EXPECT_FALSE(EnvelopeBuffer(data.data(), L, traces, out.data(), [](int64_t) { return false; }));
}

TEST(PostProcKernel, FrequencyBufferCarriesThePhaseHistoryAcrossTraces) {
  const int traces = 140;
  const int L = 29;
  const long double span = 40;
  const std::vector<int32_t> data = Channel(traces, L);
  const std::vector<long double> expected = Frequency(data, traces, L, span);
  std::vector<int32_t> serial;
  for (int threads : {1, 6}) {
    SCOPED_TRACE(threads);
    TThreads scope(threads);
    std::vector<int32_t> out(data.size(), -1);
    ASSERT_TRUE(FrequencyBuffer(data.data(), L, traces, static_cast<double>(span), out.data()));
    for (size_t i = 0; i < out.size(); ++i) ASSERT_NEAR(out[i], expected[i], 1.0) << i;
    for (int32_t v : out) EXPECT_GE(v, 0);
    if (serial.empty())
      serial = out;
    else
      EXPECT_EQ(out, serial);
  }
  // A trace alone (history from 0) differs from the same trace in the channel.
  bool differs = false;
  for (int t = 1; t < traces && !differs; ++t) {
    std::vector<int32_t> alone(data.begin() + t * L, data.begin() + (t + 1) * L);
    std::vector<int32_t> out(alone.size());
    FrequencyBuffer(alone.data(), L, 1, static_cast<double>(span), out.data());
    differs = !std::equal(out.begin(), out.end(), serial.begin() + t * L);
  }
  EXPECT_TRUE(differs);
}

TEST(PostProcKernel, FrequencyBandTestOverTheWindow) {
  // 3 traces x 4 samples.
  const std::vector<int32_t> buffer{
      100, 100, 100, 40,   //
      100, 100, 100, 100,  //
      100, 100, 160, 100,
  };
  TMarkGrid grid;
  grid.Reset(3, 4);
  MarkFrequencyBand(buffer.data(), 4, 3, 0, grid);
  EXPECT_EQ(Count(grid, mcCandidate), 0) << "level 0 marks nothing";
  MarkFrequencyBand(buffer.data(), 4, 1, 1, grid);
  EXPECT_EQ(Count(grid, mcCandidate), 12) << "a 1x1 window holds only the centre";
  MarkFrequencyBand(buffer.data(), 4, 3, 100, grid);
  // Only cells whose clipped 3x3 window is uniform.
  EXPECT_EQ(grid.Cells, (std::vector<uint8_t>{1, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));
  // Level 50: band [50, 150] for l = 100 leaves both outliers out; the 160
  // cell's own band [80, 240] holds its window.
  MarkFrequencyBand(buffer.data(), 4, 3, 50, grid);
  EXPECT_EQ(grid.Cells, (std::vector<uint8_t>{1, 1, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0}));
  // Level 40: [40, 160] takes both outliers in for l = 100; the 40 cell's own
  // band [16, 64] excludes its neighbours.
  MarkFrequencyBand(buffer.data(), 4, 3, 40, grid);
  EXPECT_EQ(grid.Cells, (std::vector<uint8_t>{1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(PostProcKernel, RegionsKeepOrDropByTheirCount) {
  // Two blobs: 4 cells and 1 cell.
  TMarkGrid grid;
  grid.Reset(6, 6);
  for (auto [t, s] : {std::pair{0, 0}, {1, 1}, {0, 1}, {2, 2}, {5, 5}}) grid.At(t, s) = mcCandidate;
  TMarkGrid all = grid;
  EXPECT_EQ(MarkRegions(all, 1), 2);
  EXPECT_EQ(Count(all, mcKept), 5);
  TMarkGrid big = grid;
  EXPECT_EQ(MarkRegions(big, 4), 1);
  EXPECT_EQ(Count(big, mcKept), 4);
  EXPECT_EQ(big.At(5, 5), mcNone);
  TMarkGrid none = grid;
  EXPECT_EQ(MarkRegions(none, 5), 0);
  EXPECT_EQ(Count(none, mcNone), 36);
}

TEST(PostProcKernel, LongBandsSplitIntoRegionsJudgedOneByOne) {
  // A band along 200 traces at one sample: the seed at trace 0 reaches traces
  // 0..79 (80 cells), the next seed (80) traces 80..159 (80), the last (160)
  // the remaining 40.
  TMarkGrid grid;
  grid.Reset(200, 10);
  for (int t = 0; t < 200; ++t) grid.At(t, 4) = mcCandidate;
  EXPECT_EQ(MarkRegions(grid, 50), 2);  // 40 < 50: the last is dropped
  for (int t = 0; t < 200; ++t) EXPECT_EQ(grid.At(t, 4), t < 160 ? mcKept : mcNone) << t;
  // Along the samples the window reaches 80 samples past the seed.
  TMarkGrid row;
  row.Reset(3, 200);
  for (int s = 0; s < 200; ++s) row.At(1, s) = mcCandidate;
  EXPECT_EQ(MarkRegions(row, 80), 2);  // 80, 80 kept, then 40 dropped
  for (int s = 0; s < 200; ++s) EXPECT_EQ(row.At(1, s), s < 160 ? mcKept : mcNone) << s;
}

TEST(PostProcKernel, PaintedBytes) {
  RasterLibraryStartup();
  TMarkGrid grid;
  grid.Reset(2, 3);  // 2 traces (columns) x 3 samples (rows)
  grid.At(1, 2) = mcKept;
  grid.At(0, 1) = mcCandidate;
  struct TCase {
    TColor color;
    uint8_t bgra[4];
  };
  for (const TCase& c : {TCase{255, {0, 0, 255, 255}}, TCase{0xFF0000, {255, 0, 0, 255}}, TCase{0x123456, {0x12, 0x34, 0x56, 255}}}) {
    TBitmap32 bitmap;
    bitmap.SetSize(4, 5);
    bitmap.Clear(0xFF102030u);
    PaintMarks(grid, c.color, bitmap);
    for (int s = 0; s < 5; ++s)
      for (int t = 0; t < 4; ++t) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(bitmap.PixelPtr(t, s));
        std::vector<uint8_t> got(bytes, bytes + 4);
        std::vector<uint8_t> want{255, 255, 255, 0};
        if (t == 1 && s == 2) want.assign(c.bgra, c.bgra + 4);
        if (t >= 2 || s >= 3) want = {0x30, 0x20, 0x10, 0xFF};  // outside the grid: untouched
        EXPECT_EQ(got, want) << t << "," << s;
      }
  }
}

TEST(PostProcKernel, BufferMaxLevelIsAtLeastOne) {
  EXPECT_EQ(BufferMaxLevel(nullptr, 10), 1);
  const std::vector<int32_t> zeros(5, 0);
  EXPECT_EQ(BufferMaxLevel(zeros.data(), 5), 1);
  const std::vector<int32_t> values{3, -70, 12};
  EXPECT_EQ(BufferMaxLevel(values.data(), 3), 70);
  const std::vector<int32_t> extreme{std::numeric_limits<int32_t>::min()};
  EXPECT_EQ(BufferMaxLevel(extreme.data(), 1), std::numeric_limits<int32_t>::max());
}

}  // namespace post_proc_kernel_test
