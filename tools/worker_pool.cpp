#include "tools/worker_pool.h"

#include <algorithm>
#include <atomic>

namespace {
int ClampThreads(int threads) {
  if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(threads, 1, TWorkerPool::MaxThreads);
}
}  // namespace

TWorkerPool& TWorkerPool::Instance() {
  static TWorkerPool pool(0);
  return pool;
}

TWorkerPool::TWorkerPool(int threads) { Start(ClampThreads(threads)); }

TWorkerPool::~TWorkerPool() { Stop(); }

void TWorkerPool::SetThreadCount(int threads) {
  threads = ClampThreads(threads);
  if (threads == threadCount_) return;
  Stop();
  Start(threads);
}

void TWorkerPool::Start(int threads) {
  threadCount_ = threads;
  stopping_ = false;
  parts_.assign(static_cast<size_t>(threads), {0, 0});
  // A new worker has seen every earlier run: it must wait for the next one, not
  // take the last generation for a new run (it would count itself done for a
  // run it never did, and Run could return while a part is still working).
  const uint64_t seen = generation_;
  for (int i = 1; i < threads; ++i) threads_.emplace_back([this, i, seen] { Worker(i, seen); });
}

void TWorkerPool::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& t : threads_) t.join();
  threads_.clear();
}

void TWorkerPool::Worker(int index, uint64_t seen) {
  for (;;) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
    if (stopping_) return;
    seen = generation_;
    const auto [first, end] = parts_[static_cast<size_t>(index)];
    const auto* job = job_;
    lock.unlock();
    std::exception_ptr error;
    if (first < end) {
      try {
        (*job)(first, end);
      } catch (...) {
        error = std::current_exception();
      }
    }
    lock.lock();
    if (error && !error_) error_ = error;
    if (--pending_ == 0) done_.notify_one();
  }
}

void TWorkerPool::Run(int64_t first, int64_t end, const std::function<void(int64_t, int64_t)>& part) {
  if (first >= end) return;
  const int64_t count = end - first;
  const int used = static_cast<int>(std::min<int64_t>(threadCount_, count));
  if (used <= 1) {
    part(first, end);
    return;
  }
  // Parts differ by at most one item; the leading parts take the extra ones.
  const int64_t base = count / used;
  const int64_t extra = count % used;
  std::pair<int64_t, int64_t> own;
  {
    std::lock_guard lock(mutex_);
    int64_t at = first;
    for (int i = 0; i < threadCount_; ++i) {
      const int64_t size = i < used ? base + (i < extra ? 1 : 0) : 0;
      parts_[static_cast<size_t>(i)] = {at, at + size};
      at += size;
    }
    own = parts_[0];
    job_ = &part;
    error_ = nullptr;
    pending_ = threadCount_ - 1;
    ++generation_;
  }
  wake_.notify_all();
  std::exception_ptr error;
  try {
    part(own.first, own.second);
  } catch (...) {
    error = std::current_exception();
  }
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return pending_ == 0; });
  job_ = nullptr;
  if (!error) error = error_;
  error_ = nullptr;
  lock.unlock();
  if (error) std::rethrow_exception(error);
}

void TWorkerPool::RunChunked(int64_t first, int64_t end, int64_t chunk,
                             const std::function<void(int64_t, int64_t)>& part) {
  if (first >= end) return;
  chunk = std::max<int64_t>(chunk, 1);
  std::atomic<int64_t> next{first};
  const int64_t pieces = (end - first + chunk - 1) / chunk;
  Run(0, std::min<int64_t>(threadCount_, pieces), [&](int64_t, int64_t) {
    for (;;) {
      const int64_t a = next.fetch_add(chunk);
      if (a >= end) return;
      part(a, std::min(end, a + chunk));
    }
  });
}
