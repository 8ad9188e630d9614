#include "platform/ui/messages.h"

#include "platform/ui/ui_queue.h"

#include <map>
#include <memory>
#include <mutex>

const std::thread::id MainThreadID = std::this_thread::get_id();

bool IsMainThread() { return std::this_thread::get_id() == MainThreadID; }

namespace {

// Handles are counted up from 1 and never reused. The map is read by PostMessage
// on any thread, so it is guarded; the targets themselves are only touched on the
// user-interface thread.
struct THandleTable {
  std::mutex lock;
  uintptr_t next = 1;
  std::map<uintptr_t, TWindowProcedure*> windows;
};

THandleTable& Handles() {
  static THandleTable table;
  return table;
}

uintptr_t Key(HWND wnd) { return reinterpret_cast<uintptr_t>(wnd); }

// A hidden message window. The method is shared so that a window procedure that
// deallocates its own window keeps running on its copy.
class THiddenWindow final : public TWindowProcedure {
public:
  explicit THiddenWindow(std::function<void(TMessage&)> method)
      : method_(std::make_shared<std::function<void(TMessage&)>>(std::move(method))) {}
  void WndProc(TMessage& message) override {
    auto method = method_;
    if (*method) (*method)(message);
  }

private:
  std::shared_ptr<std::function<void(TMessage&)>> method_;
};

std::map<uintptr_t, std::unique_ptr<THiddenWindow>>& HiddenWindows() {
  static std::map<uintptr_t, std::unique_ptr<THiddenWindow>> windows;
  return windows;
}

}  // namespace

HWND AllocateWindowHandle(TWindowProcedure& target) {
  THandleTable& table = Handles();
  std::lock_guard guard(table.lock);
  uintptr_t key = table.next++;
  table.windows.emplace(key, &target);
  return reinterpret_cast<HWND>(key);
}

void ReleaseWindowHandle(HWND wnd) {
  THandleTable& table = Handles();
  std::lock_guard guard(table.lock);
  table.windows.erase(Key(wnd));
}

bool IsWindow(HWND wnd) {
  if (!wnd) return false;
  THandleTable& table = Handles();
  std::lock_guard guard(table.lock);
  return table.windows.count(Key(wnd)) != 0;
}

HWND AllocateHWnd(std::function<void(TMessage&)> method) {
  auto window = std::make_unique<THiddenWindow>(std::move(method));
  HWND wnd = AllocateWindowHandle(*window);
  HiddenWindows().emplace(Key(wnd), std::move(window));
  return wnd;
}

void DeallocateHWnd(HWND wnd) {
  ReleaseWindowHandle(wnd);
  HiddenWindows().erase(Key(wnd));
}

bool DeliverMessage(HWND wnd, TMessage& message) {
  TWindowProcedure* target = nullptr;
  {
    THandleTable& table = Handles();
    std::lock_guard guard(table.lock);
    auto it = table.windows.find(Key(wnd));
    if (it == table.windows.end()) return false;
    target = it->second;
  }
  target->WndProc(message);
  return true;
}

bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(wnd)) return false;
  ui_detail::TUiQueue::Instance().Post(wnd, TMessage{msg, wParam, lParam, 0});
  return true;
}

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  if (IsMainThread()) {
    DeliverMessage(wnd, message);
    return message.Result;
  }
  if (!IsWindow(wnd)) return 0;
  return ui_detail::TUiQueue::Instance().Send(wnd, message);
}

bool CrossThreadSendPending() { return ui_detail::TUiQueue::Instance().SendPending(); }
