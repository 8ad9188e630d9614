// The worker pool: ordered contiguous parts over the whole range, any thread
// count, and errors from a part.

#include "tools/worker_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
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
