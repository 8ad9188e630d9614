#include "platform/devices/power_events.h"

#include <QtGlobal>

#include <atomic>

#if GPR_HAVE_QTDBUS
#include "platform/devices/logind_receiver.h"

#include <QDBusConnection>
#endif

namespace {

void LogPowerEventsOnce(const char* reason) {
  static std::atomic<bool> logged{false};
  if (logged.exchange(true)) return;
  qInfo("Power notifications: %s; suspend and resume are not seen", reason);
}

}  // namespace

#if GPR_HAVE_QTDBUS

TPowerEventSource::TPowerEventSource(std::function<void(TPowerEvent)> onEvent) : onEvent_(std::move(onEvent)) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) {
    LogPowerEventsOnce("no system bus");
    return;
  }
  receiver_ = std::make_unique<TBusReceiver>(*this);
  listening_ = bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                           receiver_.get(), SLOT(PrepareForSleep(bool)));
  if (!listening_) {
    receiver_.reset();
    LogPowerEventsOnce("the login manager's sleep signal cannot be received");
  }
}

TPowerEventSource::~TPowerEventSource() {
  if (listening_)
    QDBusConnection::systemBus().disconnect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), receiver_.get(),
        SLOT(PrepareForSleep(bool)));
}

#else

class TPowerEventSource::TBusReceiver {};

TPowerEventSource::TPowerEventSource(std::function<void(TPowerEvent)> onEvent) : onEvent_(std::move(onEvent)) {
  LogPowerEventsOnce("the program was built without the bus library");
}

TPowerEventSource::~TPowerEventSource() = default;

#endif
