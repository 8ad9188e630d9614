// Window handles, PostMessage and SendMessage across threads.

#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "platform/ui/messages.h"
#include "platform/ui/threads.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

// A hidden window that records what reaches it and on which thread.
struct TRecordingWindow {
  std::vector<TMessage> received;
  std::vector<bool> onMainThread;
  HWND wnd = nullptr;

  TRecordingWindow() {
    wnd = AllocateHWnd([this](TMessage& message) {
      received.push_back(message);
      onMainThread.push_back(IsMainThread());
      message.Result = static_cast<LRESULT>(message.WParam) * 10;
    });
  }
  ~TRecordingWindow() {
    if (wnd) DeallocateHWnd(wnd);
  }
};

TEST(UiMessages, PostedFromWorkerRunOnUiThreadInOrderOnlyWhenTheQueueIsServed) {
  TRecordingWindow window;
  std::thread worker([&] {
    for (WPARAM i = 0; i < 50; ++i) EXPECT_TRUE(PostMessage(window.wnd, WM_USER + 1, i, -static_cast<LPARAM>(i)));
  });
  worker.join();
  EXPECT_TRUE(window.received.empty()) << "delivered before the message loop ran";

  Application->ProcessMessages();
  ASSERT_EQ(window.received.size(), 50u);
  for (size_t i = 0; i < window.received.size(); ++i) {
    EXPECT_EQ(window.received[i].Msg, WM_USER + 1u);
    EXPECT_EQ(window.received[i].WParam, i);
    EXPECT_EQ(window.received[i].LParam, -static_cast<LPARAM>(i));
    EXPECT_TRUE(window.onMainThread[i]);
  }
}

TEST(UiMessages, PostsFromSeveralThreadsKeepEachSendersOrder) {
  TRecordingWindow window;
  std::vector<std::thread> workers;
  for (WPARAM sender = 0; sender < 4; ++sender)
    workers.emplace_back([&, sender] {
      for (LPARAM i = 0; i < 100; ++i) PostMessage(window.wnd, WM_USER, sender, i);
    });
  for (auto& w : workers) w.join();
  Application->ProcessMessages();
  ASSERT_EQ(window.received.size(), 400u);
  std::vector<LPARAM> next(4, 0);
  for (const TMessage& m : window.received) EXPECT_EQ(m.LParam, next[m.WParam]++);
}

TEST(UiMessages, MessageToAHandleDeallocatedBeforeDeliveryIsDropped) {
  int delivered = 0;
  HWND wnd = AllocateHWnd([&](TMessage&) { ++delivered; });
  ASSERT_TRUE(PostMessage(wnd, WM_USER, 0, 0));
  DeallocateHWnd(wnd);
  Application->ProcessMessages();
  EXPECT_EQ(delivered, 0);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_FALSE(PostMessage(wnd, WM_USER, 0, 0));
}

TEST(UiMessages, UnknownHandlesAreRefused) {
  EXPECT_FALSE(PostMessage(nullptr, WM_USER, 0, 0));
  EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(uintptr_t{0x7FFFFFF0}), WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(nullptr, WM_USER, 1, 0), 0);
}

TEST(UiMessages, HandlesAreNotReused) {
  HWND first = AllocateHWnd([](TMessage&) {});
  DeallocateHWnd(first);
  HWND second = AllocateHWnd([](TMessage&) {});
  EXPECT_NE(first, second);
  DeallocateHWnd(second);
}

TEST(UiMessages, WindowMayDeallocateItselfWhileHandlingAMessage) {
  int calls = 0;
  HWND wnd = nullptr;
  wnd = AllocateHWnd([&calls, &wnd](TMessage& message) {
    ++calls;
    DeallocateHWnd(wnd);
    message.Result = 5;  // the procedure still runs on its own copy
  });
  PostMessage(wnd, WM_USER, 0, 0);
  PostMessage(wnd, WM_USER, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(calls, 1);
}

TEST(UiMessages, SendMessageOnUiThreadCallsTheProcedureAtOnce) {
  TRecordingWindow window;
  EXPECT_EQ(SendMessage(window.wnd, WM_USER + 7, 4, 0), 40);
  ASSERT_EQ(window.received.size(), 1u);
  EXPECT_EQ(window.received[0].Msg, WM_USER + 7u);
}

TEST(UiMessages, SendMessageFromWorkerWaitsForTheUiThreadAndReturnsTheResult) {
  TRecordingWindow window;
  std::atomic<LRESULT> result = -1;
  std::atomic<bool> returned = false;
  std::thread worker([&] {
    result = SendMessage(window.wnd, WM_USER + 2, 7, 0);
    returned = true;
  });
  // The worker cannot return before the UI thread served the call.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(returned);
  EXPECT_TRUE(ProcessMessagesUntil([&] { return returned.load(); }));
  worker.join();
  EXPECT_EQ(result, 70);
  ASSERT_EQ(window.received.size(), 1u);
  EXPECT_TRUE(window.onMainThread[0]);
}

class TSendingThread : public TThread {
public:
  explicit TSendingThread(HWND target) : TThread(true), target_(target) {}
  std::atomic<LRESULT> result = -1;

protected:
  void Execute() override { result = SendMessage(target_, WM_USER + 3, 9, 0); }

private:
  HWND target_;
};

TEST(UiMessages, SendMessageFromWorkerDoesNotDeadlockWhileTheUiThreadWaitsForIt) {
  TRecordingWindow window;
  auto thread = std::make_unique<TSendingThread>(window.wnd);
  thread->Start();
  thread->WaitFor();
  EXPECT_EQ(thread->result, 90);
  ASSERT_EQ(window.received.size(), 1u);
  EXPECT_TRUE(window.onMainThread[0]);
}

TEST(UiMessages, WaitForDoesNotRunPostedMessages) {
  TRecordingWindow window;
  PostMessage(window.wnd, WM_USER, 1, 0);
  auto thread = std::make_unique<TSendingThread>(window.wnd);
  thread->Start();
  thread->WaitFor();
  ASSERT_EQ(window.received.size(), 1u);
  EXPECT_EQ(window.received[0].Msg, WM_USER + 3u);
  Application->ProcessMessages();
  EXPECT_EQ(window.received.size(), 2u);
}

TEST(UiMessages, SendMessageToAHandleGoneBeforeServiceReturnsZero) {
  int delivered = 0;
  HWND wnd = AllocateHWnd([&](TMessage& m) {
    ++delivered;
    m.Result = 1;
  });
  std::atomic<LRESULT> result = -1;
  std::thread worker([&] { result = SendMessage(wnd, WM_USER, 0, 0); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  DeallocateHWnd(wnd);
  EXPECT_TRUE(ProcessMessagesUntil([&] { return result.load() != -1; }));
  worker.join();
  // Either the worker checked the handle after it went (0) or its call was queued
  // and found the window gone (0); the procedure never ran.
  EXPECT_EQ(result, 0);
  EXPECT_EQ(delivered, 0);
}

// A form class with its own window procedure, as a subclass writes it.
class TCountingForm : public TForm {
public:
  using TForm::TForm;
  int userMessages = 0;
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_USER + 9) {
      ++userMessages;
      message.Result = 99;
      return;
    }
    TForm::WndProc(message);
  }
};

TEST(UiMessages, FormHandleLeadsToItsWindowProcedureAndRegisteredHandlers) {
  auto* form = TComponent::Create<TCountingForm>(nullptr);
  LPARAM seen = 0;
  form->SetMessageHandler(WM_USER + 10, [&](TMessage& m) {
    seen = m.LParam;
    m.Result = 11;
  });
  ASSERT_TRUE(IsWindow(form->Handle()));
  EXPECT_EQ(SendMessage(form->Handle(), WM_USER + 9, 0, 0), 99);
  EXPECT_EQ(form->Perform(WM_USER + 10, 0, 123), 11);
  EXPECT_EQ(seen, 123);
  EXPECT_EQ(form->userMessages, 1);

  // Removing the handler gives the message back to the default procedure.
  form->SetMessageHandler(WM_USER + 10, nullptr);
  EXPECT_EQ(form->Perform(WM_USER + 10, 0, 0), 0);

  HWND wnd = form->Handle();
  PostMessage(wnd, WM_USER + 9, 0, 0);
  form->Free();
  Application->ProcessMessages();
  EXPECT_FALSE(IsWindow(wnd));
}

TEST(UiMessages, PostedCloseClosesTheFormFromTheQueue) {
  auto* form = TComponent::Create<TForm>(nullptr);
  form->Show();
  ASSERT_TRUE(PostMessage(form->Handle(), WM_CLOSE, 0, 0));
  EXPECT_TRUE(form->Visible());
  Application->ProcessMessages();
  EXPECT_FALSE(form->Visible());
  form->Free();
}

TEST(UiMessages, ExceptionInAPostedMessageReachesTheApplicationHandler) {
  std::vector<std::string> errors;
  Application->OnException = [&](TObject*, std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& ex) {
      errors.emplace_back(ex.what());
    }
  };
  int after = 0;
  HWND wnd = AllocateHWnd([&](TMessage& m) {
    if (m.WParam == 1) throw std::runtime_error("broken handler");
    ++after;
  });
  PostMessage(wnd, WM_USER, 1, 0);
  PostMessage(wnd, WM_USER, 2, 0);
  Application->ProcessMessages();
  Application->OnException = nullptr;
  DeallocateHWnd(wnd);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "broken handler");
  EXPECT_EQ(after, 1) << "the queue stops at a failing message";
}

}  // namespace
