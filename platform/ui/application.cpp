#include "platform/ui/application.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/termination_signals.h"
#include "platform/ui/timers.h"
#include "platform/ui/ui_queue.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

TApplication* Application = nullptr;

namespace {

// Shown for an exception that carries no text of its own.
RESOURCESTRING(SUnknownException, "Unknown exception");

QString ExecutablePath() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? QString() : QString::fromStdString(path.string());
}

QString ExceptionMessage(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return LoadResString(SUnknownException);
  }
}

}  // namespace

QString TApplication::DefaultTitle(const QString& executablePath) {
  QString name = QFileInfo(executablePath).fileName();
  const qsizetype dot = name.indexOf(u'.');
  if (dot >= 0) name.truncate(dot);
  if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
  return name;
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  Application = this;
  title_ = DefaultTitle(ExecutablePath());
  auto& queue = ui_detail::TUiQueue::Instance();
  queue.SetExceptionHandler([this](std::exception_ptr error) { HandleException(error); });
  queue.StartDelivery();
  handle_ = AllocateHWnd([](TMessage& message) { message.Result = 0; });
}

TApplication::~TApplication() {
  Destroying();
  // The forms go while the queue, the timers and `Application` still work for them.
  DestroyComponents();
  DeallocateHWnd(handle_);
  signals_.reset();
  ui_detail::ShutdownTimers();
  auto& queue = ui_detail::TUiQueue::Instance();
  queue.StopDelivery();
  queue.SetExceptionHandler({});
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  if (!signals_) signals_ = std::make_unique<TTerminationSignals>([this] { OnTerminationSignal(); });
}

void TApplication::OnTerminationSignal() {
  if (mainForm_)
    mainForm_->Close();
  else
    Terminate();
}

void TApplication::Run() {
  if (!mainForm_) return;
  if (showMainForm_) mainForm_->Show();
  while (!terminated_) {
    QEventLoop loop;
    PushLoop(&loop);
    if (!terminated_) loop.exec();
    PopLoop(&loop);
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  for (QEventLoop* loop : loops_) loop->exit(0);
}

void TApplication::ProcessMessages() {
  if (!IsMainThread()) return;
  auto& queue = ui_detail::TUiQueue::Instance();
  do {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
  } while (queue.DispatchAll());
}

void TApplication::HandleMessage() {
  if (!IsMainThread()) return;
  if (ui_detail::TUiQueue::Instance().DispatchAll()) return;
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int TApplication::MessageBox(const QString& text, const QString& caption, UINT flags) {
  return ::MessageBox(text, caption, flags);
}

void TApplication::HandleException(TObject* Sender, std::exception_ptr error) {
  if (OnException) {
    OnException(Sender, error);
    return;
  }
  ShowException(error);
}

void TApplication::ShowException(std::exception_ptr error) {
  QString message = ExceptionMessage(error);
  // The message ends in a full stop unless it ends in a character below '.'.
  if (!message.isEmpty() && message.back() > u'.') message += u'.';
  ::MessageBox(message, title_, MB_OK | MB_ICONSTOP);
}

void TApplication::PushLoop(QEventLoop* loop) { loops_.push_back(loop); }

void TApplication::PopLoop(QEventLoop* loop) { std::erase(loops_, loop); }

void TApplication::SetHintPause(int value) { hintPause_ = std::max(value, 0); }

void TApplication::FormDestroyed(TForm* form) {
  if (mainForm_ == form) mainForm_ = nullptr;
}

void SelectOffscreenPlatformWithoutDisplay() {
  auto empty = [](const char* name) {
    const char* value = std::getenv(name);
    return !value || !*value;
  };
  if (empty("DISPLAY") && empty("WAYLAND_DISPLAY") && empty("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

TToolkitSession::TToolkitSession(int& argc, char** argv) {
  SelectOffscreenPlatformWithoutDisplay();
  application_ = std::make_unique<QApplication>(argc, argv);
  application_->setQuitOnLastWindowClosed(false);
}

TToolkitSession::~TToolkitSession() = default;
