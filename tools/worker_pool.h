#pragma once
// TWorkerPool: runs one block of independent work items (traces) on several
// threads, each taking a contiguous part, and waits for all of them. The caller
// runs the first part itself. Kernels given to it read shared data and write only
// their own part, so the result is the same for any number of threads.
//
// The pool has one thread per processor, at most 16; tests set the count. Run is
// called from one thread at a time (the user-interface thread); an exception
// thrown by a part is rethrown by Run after all parts ended.

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TWorkerPool {
public:
  static constexpr int MaxThreads = 16;
  static TWorkerPool& Instance();

  explicit TWorkerPool(int threads);
  ~TWorkerPool();
  TWorkerPool(const TWorkerPool&) = delete;
  TWorkerPool& operator=(const TWorkerPool&) = delete;

  int ThreadCount() const { return threadCount_; }
  // 1..16; 0 (or less) means the number of processors, at most 16.
  void SetThreadCount(int threads);

  // Calls part(first, end) on contiguous, ordered parts covering [first, end).
  void Run(int64_t first, int64_t end, const std::function<void(int64_t, int64_t)>& part);
  // Calls part(a, b) on consecutive pieces of at most `chunk` items covering
  // [first, end), every thread taking the next piece whenever it is done with its
  // last: a thread held up by the rest of the machine delays nobody. For items
  // that are independent of each other, as Run's.
  void RunChunked(int64_t first, int64_t end, int64_t chunk, const std::function<void(int64_t, int64_t)>& part);

private:
  void Start(int threads);
  void Stop();
  void Worker(int index, uint64_t seen);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::vector<std::thread> threads_;
  int threadCount_ = 1;
  uint64_t generation_ = 0;
  bool stopping_ = false;
  int pending_ = 0;
  // The job of the current generation.
  const std::function<void(int64_t, int64_t)>* job_ = nullptr;
  std::vector<std::pair<int64_t, int64_t>> parts_;
  std::exception_ptr error_;
};
