#include "platform/ui/termination_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

int gPipe[2] = {-1, -1};
struct sigaction gOldTerm;
struct sigaction gOldInt;

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // A full pipe already holds a wake-up; the byte may be dropped.
  [[maybe_unused]] ssize_t written = write(gPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

TTerminationSignals::TTerminationSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (gPipe[0] >= 0) throw std::logic_error("termination signals are already handled");
  if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("cannot create the signal pipe");
  notifier_ = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { Drain(); });

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, &gOldTerm);
  sigaction(SIGINT, &action, &gOldInt);
}

TTerminationSignals::~TTerminationSignals() {
  sigaction(SIGTERM, &gOldTerm, nullptr);
  sigaction(SIGINT, &gOldInt, nullptr);
  notifier_.reset();
  close(gPipe[0]);
  close(gPipe[1]);
  gPipe[0] = gPipe[1] = -1;
}

void TTerminationSignals::Drain() {
  char buffer[64];
  bool signalled = false;
  while (read(gPipe[0], buffer, sizeof buffer) > 0) signalled = true;
  if (signalled && onSignal_) onSignal_();
}
