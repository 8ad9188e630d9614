// Window timers, the one-shot form and TTimer.

#include "platform/ui/application.h"
#include "platform/ui/timers.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(UiTimers, TimerProcedureRunsPeriodicallyOnTheUiThreadUntilKilled) {
  HWND wnd = AllocateHWnd([](TMessage&) {});
  std::vector<UINT_PTR> ids;
  bool allOnMain = true;
  UINT msgSeen = 0;
  ASSERT_EQ(SetTimer(wnd, 5, 1, [&](HWND w, UINT msg, UINT_PTR id, uint32_t) {
              EXPECT_EQ(w, wnd);
              msgSeen = msg;
              ids.push_back(id);
              allOnMain = allOnMain && IsMainThread();
            }),
            5u);
  EXPECT_TRUE(ProcessMessagesUntil([&] { return ids.size() >= 3; }));
  EXPECT_EQ(msgSeen, WM_TIMER);
  EXPECT_EQ(ids[0], 5u);
  EXPECT_TRUE(allOnMain);

  EXPECT_TRUE(KillTimer(wnd, 5));
  const size_t fired = ids.size();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  Application->ProcessMessages();
  EXPECT_EQ(ids.size(), fired);
  EXPECT_FALSE(KillTimer(wnd, 5));
  DeallocateHWnd(wnd);
}

TEST(UiTimers, TimersFireOnlyWhenTheQueueIsServed) {
  int fired = 0;
  UINT_PTR id = SetTimer(nullptr, 0, 1, [&](HWND, UINT, UINT_PTR, uint32_t) { ++fired; });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(fired, 0);
  EXPECT_TRUE(ProcessMessagesUntil([&] { return fired > 0; }));
  KillTimer(nullptr, id);
}

TEST(UiTimers, SettingTheSameWindowAndIdAgainReplacesTheTimer) {
  HWND wnd = AllocateHWnd([](TMessage&) {});
  int first = 0;
  int second = 0;
  SetTimer(wnd, 1, 1, [&](HWND, UINT, UINT_PTR, uint32_t) { ++first; });
  SetTimer(wnd, 1, 1, [&](HWND, UINT, UINT_PTR, uint32_t) { ++second; });
  EXPECT_TRUE(ProcessMessagesUntil([&] { return second >= 2; }));
  EXPECT_EQ(first, 0);
  KillTimer(wnd, 1);
  DeallocateHWnd(wnd);
}

TEST(UiTimers, WithoutAProcedureTheWindowGetsWmTimer) {
  std::vector<TMessage> received;
  HWND wnd = AllocateHWnd([&](TMessage& m) { received.push_back(m); });
  SetTimer(wnd, 77, 1, nullptr);
  EXPECT_TRUE(ProcessMessagesUntil([&] { return !received.empty(); }));
  KillTimer(wnd, 77);
  EXPECT_EQ(received[0].Msg, WM_TIMER);
  EXPECT_EQ(received[0].WParam, 77u);
  DeallocateHWnd(wnd);
}

TEST(UiTimers, TimerOfADeallocatedWindowStops) {
  int fired = 0;
  HWND wnd = AllocateHWnd([](TMessage&) {});
  SetTimer(wnd, 1, 1, [&](HWND, UINT, UINT_PTR, uint32_t) { ++fired; });
  DeallocateHWnd(wnd);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Application->ProcessMessages();
  EXPECT_EQ(fired, 0);
  EXPECT_FALSE(KillTimer(wnd, 1)) << "the timer went with its window";
  EXPECT_EQ(SetTimer(wnd, 1, 1, nullptr), 0u);
}

TEST(UiTimers, WindowlessTimersGetDistinctIds) {
  UINT_PTR a = SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR, uint32_t) {});
  UINT_PTR b = SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR, uint32_t) {});
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  // Naming a running windowless timer restarts that one.
  EXPECT_EQ(SetTimer(nullptr, a, 1000, [](HWND, UINT, UINT_PTR, uint32_t) {}), a);
  EXPECT_TRUE(KillTimer(nullptr, a));
  EXPECT_TRUE(KillTimer(nullptr, b));
}

TEST(UiTimers, OneShotTimerFiresOnce) {
  int fired = 0;
  int other = 0;
  SetOneShotTimer(nullptr, 0, 1, [&](HWND, UINT, UINT_PTR, uint32_t) { ++fired; });
  // A periodic timer of the same interval shows that time went on.
  UINT_PTR periodic = SetTimer(nullptr, 0, 1, [&](HWND, UINT, UINT_PTR, uint32_t) { ++other; });
  EXPECT_TRUE(ProcessMessagesUntil([&] { return other >= 5; }));
  KillTimer(nullptr, periodic);
  EXPECT_EQ(fired, 1);
}

TEST(UiTimers, ProcedureMayKillItsOwnTimer) {
  int fired = 0;
  UINT_PTR id = 0;
  id = SetTimer(nullptr, 0, 1, [&](HWND, UINT, UINT_PTR own, uint32_t) {
    ++fired;
    EXPECT_TRUE(KillTimer(nullptr, own));
  });
  int other = 0;
  UINT_PTR periodic = SetTimer(nullptr, 0, 1, [&](HWND, UINT, UINT_PTR, uint32_t) { ++other; });
  EXPECT_TRUE(ProcessMessagesUntil([&] { return other >= 5; }));
  KillTimer(nullptr, periodic);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(KillTimer(nullptr, id));
}

TEST(UiTimers, TTimerRunsOnTimerWhileEnabled) {
  TComponent owner(nullptr);
  auto* timer = new TTimer(&owner);
  EXPECT_EQ(timer->Interval(), 1000u);
  EXPECT_TRUE(timer->Enabled());
  int ticks = 0;
  TObject* sender = nullptr;
  timer->OnTimer = [&](TObject* s) {
    sender = s;
    ++ticks;
  };
  timer->SetInterval(1);
  EXPECT_TRUE(ProcessMessagesUntil([&] { return ticks >= 2; }));
  EXPECT_EQ(sender, timer);

  timer->SetEnabled(false);
  const int stopped = ticks;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Application->ProcessMessages();
  EXPECT_EQ(ticks, stopped);

  timer->SetEnabled(true);
  timer->SetInterval(0);  // an interval of 0 stops it too
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Application->ProcessMessages();
  EXPECT_EQ(ticks, stopped);
}

TEST(UiTimers, FreedTTimerNoLongerFires) {
  int ticks = 0;
  auto* timer = new TTimer(nullptr);
  timer->OnTimer = [&](TObject*) { ++ticks; };
  timer->SetInterval(1);
  timer->Free();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Application->ProcessMessages();
  EXPECT_EQ(ticks, 0);
}

}  // namespace
