#include "platform/ui/threads.h"

#include "platform/ui/messages.h"
#include "platform/ui/ui_queue.h"

TThread::TThread(bool CreateSuspended) : createSuspended_(CreateSuspended) {}

TThread::~TThread() {
  if (thread_.joinable() && std::this_thread::get_id() == thread_.get_id()) {
    // Freed by its own thread at the end (FreeOnTerminate): nobody waits for it.
    thread_.detach();
  } else if (started_ && !done_) {
    Terminate();
    WaitFor();
  }
  Join();
  RemoveQueuedEvents(this);
}

void TThread::AfterConstruction() {
  if (!createSuspended_ && !started_) Start();
}

void TThread::Free() {
  if (started_ && !done_) {
    Terminate();
    WaitFor();
  }
  delete this;
}

void TThread::Start() {
  if (started_.exchange(true)) throw EThread("Cannot call Start on a running or suspended thread");
  std::lock_guard guard(startLock_);
  thread_ = std::jthread([this] { ThreadProc(); });
  threadId_ = thread_.get_id();
}

void TThread::ThreadProc() {
  // Start has finished filling in thread_ once this lock is free.
  { std::lock_guard guard(startLock_); }
  if (!terminated_) {
    try {
      Execute();
    } catch (...) {
      fatalException_ = std::current_exception();
    }
  }
  const bool freeThread = freeOnTerminate_;
  finished_ = true;
  try {
    DoTerminate();
  } catch (...) {
    if (!fatalException_) fatalException_ = std::current_exception();
  }
  {
    std::lock_guard guard(doneLock_);
    done_ = true;
  }
  doneChanged_.notify_all();
  ui_detail::TUiQueue::Instance().NotifyWaiters();
  if (freeThread) delete this;
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

int TThread::WaitFor() {
  if (!started_) throw EThread("Cannot wait for a thread that has not been started");
  if (std::this_thread::get_id() == threadId_) throw EThread("A thread cannot wait for itself");
  if (IsMainThread()) {
    ui_detail::TUiQueue::Instance().ServeUntil([this] { return done_.load(); });
  } else {
    std::unique_lock guard(doneLock_);
    doneChanged_.wait(guard, [this] { return done_.load(); });
  }
  Join();
  return returnValue_;
}

void TThread::Join() {
  std::lock_guard guard(joinLock_);
  if (thread_.joinable() && std::this_thread::get_id() != thread_.get_id()) thread_.join();
}

void TThread::Synchronize(TThread* thread, std::function<void()> method) {
  if (IsMainThread()) {
    method();
    return;
  }
  ui_detail::TUiQueue::Instance().Synchronize(thread, std::move(method));
}

void TThread::Queue(TThread* thread, std::function<void()> method) {
  if (IsMainThread()) {
    method();
    return;
  }
  ui_detail::TUiQueue::Instance().Queue(thread, std::move(method));
}

void TThread::ForceQueue(TThread* thread, std::function<void()> method) {
  ui_detail::TUiQueue::Instance().Queue(thread, std::move(method));
}

void TThread::RemoveQueuedEvents(TThread* thread) { ui_detail::TUiQueue::Instance().RemoveQueued(thread); }

bool CheckSynchronize() {
  if (!IsMainThread()) return false;
  return ui_detail::TUiQueue::Instance().ServeCalls();
}
