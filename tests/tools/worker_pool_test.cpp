// The worker pool: ordered contiguous parts over the whole range, any thread
// count, and errors from a part.

#include "tools/worker_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

TEST(WorkerPool, PartsCoverTheRangeInOrderForAnyThreadCount) {
  for (int threads : {1, 2, 3, 8, 16, 40}) {
    SCOPED_TRACE(threads);
    TWorkerPool pool(threads);
    EXPECT_EQ(pool.ThreadCount(), std::min(threads, 16));
    for (int64_t count : {int64_t{1}, int64_t{5}, int64_t{1000}}) {
      std::mutex m;
      std::vector<std::pair<int64_t, int64_t>> parts;
      std::vector<int> hits(static_cast<size_t>(count), 0);
      pool.Run(10, 10 + count, [&](int64_t a, int64_t b) {
        for (int64_t i = a; i < b; ++i) ++hits[static_cast<size_t>(i - 10)];
        std::lock_guard lock(m);
        parts.push_back({a, b});
      });
      EXPECT_EQ(hits, std::vector<int>(static_cast<size_t>(count), 1));
      std::sort(parts.begin(), parts.end());
      EXPECT_EQ(parts.size(), static_cast<size_t>(std::min<int64_t>(count, pool.ThreadCount())));
      for (size_t i = 1; i < parts.size(); ++i) EXPECT_EQ(parts[i].first, parts[i - 1].second);
      for (const auto& [a, b] : parts) EXPECT_LE(b - a, parts.front().second - parts.front().first);
    }
  }
}

// Pieces of at most `chunk` items, aligned on the chunk from the first item, each
// taken once, whatever the thread count; a held-up thread leaves its share to the
// others.
TEST(WorkerPool, ChunkedPiecesCoverTheRangeOnce) {
  for (int threads : {1, 3, 8}) {
    TWorkerPool pool(threads);
    for (int64_t chunk : {int64_t{0}, int64_t{1}, int64_t{4}, int64_t{1000}}) {
      SCOPED_TRACE(testing::Message() << threads << " threads, chunk " << chunk);
      std::mutex m;
      std::vector<std::pair<int64_t, int64_t>> pieces;
      std::vector<int> hits(101, 0);
      pool.RunChunked(5, 106, chunk, [&](int64_t a, int64_t b) {
        for (int64_t i = a; i < b; ++i) ++hits[static_cast<size_t>(i - 5)];
        std::lock_guard lock(m);
        pieces.push_back({a, b});
      });
      EXPECT_EQ(hits, std::vector<int>(101, 1));
      const int64_t step = std::max<int64_t>(chunk, 1);
      for (const auto& [a, b] : pieces) {
        EXPECT_EQ((a - 5) % step, 0);
        EXPECT_EQ(b, std::min<int64_t>(106, a + step));
      }
    }
  }
  TWorkerPool pool(2);
  int calls = 0;
  pool.RunChunked(3, 3, 1, [&](int64_t, int64_t) { ++calls; });
  EXPECT_EQ(calls, 0);
}

TEST(WorkerPool, AnErrorInAPartReachesTheCallerAndThePoolGoesOn) {
  TWorkerPool pool(4);
  EXPECT_THROW(pool.Run(0, 100,
                        [](int64_t a, int64_t) {
                          if (a > 0) throw std::runtime_error("part");
                        }),
               std::runtime_error);
  int64_t total = 0;
  std::mutex m;
  pool.Run(0, 100, [&](int64_t a, int64_t b) {
    std::lock_guard lock(m);
    total += b - a;
  });
  EXPECT_EQ(total, 100);
  pool.SetThreadCount(0);
  EXPECT_GE(pool.ThreadCount(), 1);
  EXPECT_LE(pool.ThreadCount(), 16);
}

}  // namespace

// Right after the thread count changes, every new worker must wait for the next
// run: none may count itself done for a run it did not do, so when Run returns
// every part has finished.
TEST(WorkerPool, RunsRightAfterAThreadCountChangeWaitForEveryPart) {
  TWorkerPool& pool = TWorkerPool::Instance();
  const int old = pool.ThreadCount();
  for (int round = 0; round < 3000; ++round) {
    pool.SetThreadCount(round % 2 == 0 ? 3 : 8);
    std::vector<std::atomic<int>> done(64);
    pool.Run(0, 64, [&](int64_t a, int64_t b) {
      for (int64_t i = a; i < b; ++i) {
        // Long enough that a part still working when Run returns is seen.
        for (volatile int spin = 0; spin < 2000; spin = spin + 1) {
        }
        done[static_cast<size_t>(i)].fetch_add(1);
      }
    });
    for (int i = 0; i < 64; ++i) ASSERT_EQ(done[static_cast<size_t>(i)].load(), 1) << "round " << round << ", item " << i;
  }
  pool.SetThreadCount(old);
}
