// TThread: start, hand-over to the user-interface thread, end and freeing.

#include "platform/ui/application.h"
#include "platform/ui/threads.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Runs a function as its Execute.
class TLambdaThread : public TThread {
public:
  TLambdaThread(bool suspended, std::function<void(TLambdaThread&)> body, std::atomic<int>* destroyed = nullptr)
      : TThread(suspended), body_(std::move(body)), destroyed_(destroyed) {}
  ~TLambdaThread() override {
    if (destroyed_) ++*destroyed_;
  }
  using TThread::SetReturnValue;

protected:
  void Execute() override { body_(*this); }

private:
  std::function<void(TLambdaThread&)> body_;
  std::atomic<int>* destroyed_;
};

TEST(UiThreads, SynchronizeRunsOnTheUiThreadAndWaits) {
  std::vector<int> order;
  bool ranOnMain = false;
  auto thread = std::make_unique<TLambdaThread>(true, [&](TLambdaThread& self) {
    self.Synchronize([&] {
      ranOnMain = IsMainThread();
      order.push_back(1);
    });
    order.push_back(2);  // only after the synchronized call has finished
  });
  thread->Start();
  thread->WaitFor();
  EXPECT_TRUE(ranOnMain);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(UiThreads, SynchronizeRethrowsOnTheCallingThread) {
  std::string caught;
  auto thread = std::make_unique<TLambdaThread>(true, [&](TLambdaThread& self) {
    try {
      self.Synchronize([] { throw std::runtime_error("ui failed"); });
    } catch (const std::exception& e) {
      caught = e.what();
    }
  });
  thread->Start();
  thread->WaitFor();
  EXPECT_EQ(caught, "ui failed");
}

TEST(UiThreads, SynchronizeOnTheUiThreadJustRuns) {
  int calls = 0;
  TThread::Synchronize(nullptr, [&] { ++calls; });
  EXPECT_EQ(calls, 1);
}

TEST(UiThreads, QueueRunsLaterOnTheUiThreadWithoutWaiting) {
  std::atomic<bool> ran = false;
  bool ranOnMain = false;
  // A plain thread: joining it serves nothing, so the call can only run later.
  std::thread worker([&] {
    TThread::Queue(nullptr, [&] {
      ranOnMain = IsMainThread();
      ran = true;
    });
  });
  worker.join();
  EXPECT_FALSE(ran);
  EXPECT_TRUE(ProcessMessagesUntil([&] { return ran.load(); }));
  EXPECT_TRUE(ranOnMain);
}

TEST(UiThreads, QueueOnTheUiThreadRunsAtOnceAndForceQueueWaits) {
  int calls = 0;
  TThread::Queue(nullptr, [&] { ++calls; });
  EXPECT_EQ(calls, 1);
  TThread::ForceQueue(nullptr, [&] { ++calls; });
  EXPECT_EQ(calls, 1);
  Application->ProcessMessages();
  EXPECT_EQ(calls, 2);
}

TEST(UiThreads, CheckSynchronizeRunsWaitingCalls) {
  std::atomic<bool> done = false;
  int calls = 0;
  std::thread worker([&] {
    TThread::Synchronize(nullptr, [&] { ++calls; });
    done = true;
  });
  while (!done) {
    CheckSynchronize();
    std::this_thread::yield();
  }
  worker.join();
  EXPECT_EQ(calls, 1);
}

TEST(UiThreads, OnTerminateRunsOnTheUiThreadAfterExecute) {
  std::vector<std::string> events;
  bool terminateOnMain = false;
  auto thread = std::make_unique<TLambdaThread>(true, [&](TLambdaThread& self) {
    self.Synchronize([&] { events.push_back("execute"); });
  });
  thread->OnTerminate = [&](TObject* sender) {
    EXPECT_EQ(sender, thread.get());
    terminateOnMain = IsMainThread();
    events.push_back("terminate");
  };
  thread->Start();
  thread->WaitFor();
  EXPECT_TRUE(terminateOnMain);
  EXPECT_EQ(events, (std::vector<std::string>{"execute", "terminate"}));
  EXPECT_TRUE(thread->Finished());
}

TEST(UiThreads, CreatedRunningStartsOnceConstructedAndReportsItsReturnValue) {
  std::atomic<int> runs = 0;
  std::unique_ptr<TLambdaThread> thread(TThread::Create<TLambdaThread>(false, [&](TLambdaThread& self) {
    ++runs;
    self.SetReturnValue(42);
  }));
  EXPECT_TRUE(thread->Started());
  EXPECT_EQ(thread->WaitFor(), 42);
  EXPECT_EQ(runs, 1);
  EXPECT_THROW(thread->Start(), EThread);
}

TEST(UiThreads, SuspendedThreadWaitsForStart) {
  std::atomic<int> runs = 0;
  std::unique_ptr<TLambdaThread> thread(TThread::Create<TLambdaThread>(true, [&](TLambdaThread&) { ++runs; }));
  EXPECT_FALSE(thread->Started());
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(runs, 0);
  thread->Start();
  thread->WaitFor();
  EXPECT_EQ(runs, 1);
}

TEST(UiThreads, ExecuteExceptionIsKeptAsFatalException) {
  auto thread = std::make_unique<TLambdaThread>(true, [](TLambdaThread&) { throw std::logic_error("bad"); });
  thread->Start();
  thread->WaitFor();
  ASSERT_TRUE(thread->FatalException());
  EXPECT_THROW(std::rethrow_exception(thread->FatalException()), std::logic_error);
}

TEST(UiThreads, DestructorTerminatesAndWaits) {
  std::atomic<bool> sawTerminated = false;
  std::atomic<bool> running = false;
  auto* thread = new TLambdaThread(true, [&](TLambdaThread& self) {
    running = true;
    while (!self.Terminated()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    sawTerminated = true;
  });
  thread->Start();
  while (!running) std::this_thread::yield();
  thread->Free();
  EXPECT_TRUE(sawTerminated);
}

TEST(UiThreads, FreeOnTerminateFreesTheThreadAfterOnTerminate) {
  std::atomic<int> destroyed = 0;
  bool terminated = false;
  auto* thread = new TLambdaThread(true, [](TLambdaThread&) {}, &destroyed);
  thread->SetFreeOnTerminate(true);
  thread->OnTerminate = [&](TObject*) {
    EXPECT_EQ(destroyed, 0);
    terminated = true;
  };
  thread->Start();
  EXPECT_TRUE(ProcessMessagesUntil([&] { return destroyed.load() == 1; }));
  EXPECT_TRUE(terminated);
}

TEST(UiThreads, QueuedCallsOfAFreedThreadAreDropped) {
  int ownCalls = 0;
  int otherCalls = 0;
  auto* thread = new TLambdaThread(true, [](TLambdaThread&) {});
  std::thread worker([&] {
    TThread::Queue(thread, [&] { ++ownCalls; });
    TThread::Queue(nullptr, [&] { ++otherCalls; });
  });
  worker.join();
  thread->Free();
  Application->ProcessMessages();
  EXPECT_EQ(ownCalls, 0);
  EXPECT_EQ(otherCalls, 1);
}

TEST(UiThreads, WaitForServesSynchronizeFromManyThreads) {
  int total = 0;
  std::vector<std::unique_ptr<TLambdaThread>> threads;
  for (int i = 0; i < 8; ++i) {
    threads.push_back(std::make_unique<TLambdaThread>(true, [&](TLambdaThread& self) {
      for (int k = 0; k < 25; ++k) self.Synchronize([&] { ++total; });
    }));
    threads.back()->Start();
  }
  for (auto& t : threads) t->WaitFor();
  EXPECT_EQ(total, 200);
}

}  // namespace
