#include "platform/ui/ui_queue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QtGlobal>

#include <algorithm>
#include <chrono>

namespace ui_detail {

namespace {
QEvent::Type WakeEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}
}  // namespace

class TUiQueue::TWaker final : public QObject {
public:
  explicit TWaker(TUiQueue& queue) : queue_(queue) {}
  bool event(QEvent* e) override {
    if (e->type() != WakeEventType()) return QObject::event(e);
    queue_.OnWake();
    return true;
  }

private:
  TUiQueue& queue_;
};

TUiQueue& TUiQueue::Instance() {
  static TUiQueue queue;
  return queue;
}

void TUiQueue::ArmWakeLocked() {
  if (wakePending_ || !waker_) return;
  wakePending_ = true;
  QCoreApplication::postEvent(waker_, new QEvent(WakeEventType()));
}

void TUiQueue::OnWake() {
  {
    std::lock_guard guard(lock_);
    wakePending_ = false;
  }
  DispatchAll();
}

void TUiQueue::Post(HWND wnd, const TMessage& message) {
  std::lock_guard guard(lock_);
  posted_.push_back(TPosted{wnd, message});
  ArmWakeLocked();
}

void TUiQueue::PushCallAndWait(const std::shared_ptr<TCall>& call) {
  std::unique_lock guard(lock_);
  calls_.push_back(call);
  ArmWakeLocked();
  changed_.notify_all();
  changed_.wait(guard, [&] { return call->done; });
}

LRESULT TUiQueue::Send(HWND wnd, const TMessage& message) {
  LRESULT result = 0;
  auto call = std::make_shared<TCall>();
  call->waited = true;
  call->sent = true;
  // A failing window procedure is the receiving side's fault: report it there and
  // give the sender 0, as a window that did not handle the message would.
  call->method = [this, wnd, message, &result] {
    try {
      TMessage delivered = message;
      DeliverMessage(wnd, delivered);
      result = delivered.Result;
    } catch (...) {
      ReportException(std::current_exception());
    }
  };
  PushCallAndWait(call);
  return result;
}

bool TUiQueue::SendPending() {
  std::lock_guard guard(lock_);
  return std::any_of(calls_.begin(), calls_.end(), [](const std::shared_ptr<TCall>& c) { return c->sent && !c->done; });
}

void TUiQueue::Synchronize(const void* owner, std::function<void()> method) {
  auto call = std::make_shared<TCall>();
  call->owner = owner;
  call->waited = true;
  call->method = std::move(method);
  PushCallAndWait(call);
  // The exception leaves the call here, so that only this thread holds it.
  std::exception_ptr error;
  {
    std::lock_guard guard(lock_);
    error = std::move(call->error);
    call->error = nullptr;
  }
  if (error) std::rethrow_exception(error);
}

void TUiQueue::Queue(const void* owner, std::function<void()> method) {
  auto call = std::make_shared<TCall>();
  call->owner = owner;
  call->method = std::move(method);
  std::lock_guard guard(lock_);
  calls_.push_back(std::move(call));
  ArmWakeLocked();
  changed_.notify_all();
}

void TUiQueue::RemoveQueued(const void* owner) {
  std::lock_guard guard(lock_);
  std::erase_if(calls_, [owner](const std::shared_ptr<TCall>& c) { return !c->waited && c->owner == owner; });
}

void TUiQueue::NotifyWaiters() {
  std::lock_guard guard(lock_);
  changed_.notify_all();
}

void TUiQueue::ReportException(std::exception_ptr error) {
  std::function<void(std::exception_ptr)> handler;
  {
    std::lock_guard guard(lock_);
    handler = exceptionHandler_;
  }
  if (handler) {
    handler(error);
    return;
  }
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    qWarning("Unhandled exception on the user-interface thread: %s", e.what());
  } catch (...) {
    qWarning("Unhandled exception on the user-interface thread");
  }
}

void TUiQueue::RunCall(TCall& call) {
  std::exception_ptr error;
  try {
    if (call.method) call.method();
  } catch (...) {
    error = std::current_exception();
  }
  if (call.waited) {
    std::lock_guard guard(lock_);
    call.error = std::move(error);
    call.done = true;
    changed_.notify_all();
  } else if (error) {
    ReportException(error);
  }
}

bool TUiQueue::ServeCalls() {
  bool ran = false;
  for (;;) {
    std::shared_ptr<TCall> call;
    {
      std::lock_guard guard(lock_);
      if (calls_.empty()) break;
      call = std::move(calls_.front());
      calls_.pop_front();
      // A call may open a nested loop; that loop must still be woken for the rest.
      if (!calls_.empty() || !posted_.empty()) ArmWakeLocked();
    }
    RunCall(*call);
    ran = true;
  }
  return ran;
}

bool TUiQueue::DispatchAll() {
  bool ran = false;
  for (;;) {
    if (ServeCalls()) ran = true;
    TPosted posted;
    {
      std::lock_guard guard(lock_);
      if (posted_.empty()) {
        if (calls_.empty()) break;
        continue;
      }
      posted = posted_.front();
      posted_.pop_front();
      if (!calls_.empty() || !posted_.empty()) ArmWakeLocked();
    }
    ran = true;
    try {
      DeliverMessage(posted.wnd, posted.message);
    } catch (...) {
      ReportException(std::current_exception());
    }
  }
  return ran;
}

void TUiQueue::ServeUntil(const std::function<bool()>& done) {
  using namespace std::chrono_literals;
  for (;;) {
    if (ServeCalls()) continue;
    std::unique_lock guard(lock_);
    if (done()) return;
    // The timeout only guards against a waker that forgot to notify.
    changed_.wait_for(guard, 200ms, [&] { return !calls_.empty() || done(); });
    if (calls_.empty() && done()) return;
  }
}

void TUiQueue::StartDelivery() {
  std::lock_guard guard(lock_);
  if (waker_ || !QCoreApplication::instance()) return;
  waker_ = new TWaker(*this);
  wakePending_ = false;
  if (!calls_.empty() || !posted_.empty()) ArmWakeLocked();
}

void TUiQueue::StopDelivery() {
  QObject* waker = nullptr;
  {
    std::lock_guard guard(lock_);
    waker = waker_;
    waker_ = nullptr;
    wakePending_ = false;
  }
  delete waker;  // Qt discards the wake events still addressed to it
}

void TUiQueue::SetExceptionHandler(std::function<void(std::exception_ptr)> handler) {
  std::lock_guard guard(lock_);
  exceptionHandler_ = std::move(handler);
}

}  // namespace ui_detail
