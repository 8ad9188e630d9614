#pragma once
// TThread: a worker thread with the toolkit's hand-over to the user-interface
// thread.
//
// Start: a thread created suspended runs from Start(); one created running starts
// when construction is complete, so create it with TThread::Create<T>(...).
// End: after Execute, OnTerminate runs on the user-interface thread (through
// Synchronize); then the thread is finished, and frees itself when
// FreeOnTerminate is set. The destructor terminates the thread and waits for it.
// WaitFor on the user-interface thread keeps serving Synchronize calls and
// messages sent from other threads, so a worker that needs that thread while it
// is being waited for does not deadlock.
//
// Freeing: Free() terminates a running thread and waits for it before any
// destructor runs. A plain delete waits too, but only in ~TThread, after a
// subclass's own members are gone; a thread never started is just freed.

#include "platform/ui/component.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

enum TThreadPriority : uint8_t { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class EThread : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TThread : public TObject {
public:
  explicit TThread(bool CreateSuspended);
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Constructs T and starts it unless it was created suspended.
  template <typename T, typename... Args>
  static T* Create(Args&&... args) {
    T* thread = new T(std::forward<Args>(args)...);
    thread->AfterConstruction();
    return thread;
  }
  void AfterConstruction();
  // Terminates, waits for the end, then destroys the object.
  void Free();

  // EThread when the thread has been started already.
  void Start();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Waits for the end of the thread and returns ReturnValue.
  int WaitFor();
  bool Started() const { return started_; }
  bool Finished() const { return finished_; }

  bool FreeOnTerminate() const { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
  // Kept for the thread; the scheduler is not asked for it.
  TThreadPriority Priority() const { return priority_; }
  void SetPriority(TThreadPriority value) { priority_ = value; }
  int ReturnValue() const { return returnValue_; }
  std::thread::id ThreadID() const { return threadId_; }
  // What Execute threw, if anything.
  std::exception_ptr FatalException() const { return fatalException_; }

  TNotifyEvent OnTerminate;

  // Runs method on the user-interface thread and waits for it; what it throws is
  // rethrown here. On the user-interface thread it just runs.
  void Synchronize(std::function<void()> method) { Synchronize(this, std::move(method)); }
  static void Synchronize(TThread* thread, std::function<void()> method);
  // Runs method later on the user-interface thread without waiting. On the
  // user-interface thread it runs at once; ForceQueue always waits for the queue.
  void Queue(std::function<void()> method) { Queue(this, std::move(method)); }
  static void Queue(TThread* thread, std::function<void()> method);
  static void ForceQueue(TThread* thread, std::function<void()> method);
  // Drops the calls thread queued that have not run yet.
  static void RemoveQueuedEvents(TThread* thread);

protected:
  virtual void Execute() = 0;
  // Runs OnTerminate on the user-interface thread.
  virtual void DoTerminate();
  void SetReturnValue(int value) { returnValue_ = value; }

private:
  void ThreadProc();
  void Join();

  std::jthread thread_;
  std::mutex startLock_;
  std::mutex joinLock_;
  std::mutex doneLock_;
  std::condition_variable doneChanged_;
  bool createSuspended_;
  std::atomic<bool> terminated_ = false;
  std::atomic<bool> started_ = false;
  std::atomic<bool> finished_ = false;
  std::atomic<bool> done_ = false;
  std::atomic<bool> freeOnTerminate_ = false;
  TThreadPriority priority_ = tpNormal;
  std::atomic<int> returnValue_ = 0;
  std::thread::id threadId_;
  std::exception_ptr fatalException_;
};

// Runs the Synchronize and Queue calls waiting for the user-interface thread;
// true when one ran. Does nothing on another thread.
bool CheckSynchronize();
