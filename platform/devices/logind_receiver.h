#pragma once
// The bus side of the power source: a QObject whose slot the bus library calls
// with the login manager's sleep signal, on the thread it lives on.

#include "platform/devices/power_events.h"

#include <QObject>

class TPowerEventSource::TBusReceiver : public QObject {
  Q_OBJECT
public:
  explicit TBusReceiver(TPowerEventSource& source) : source_(source) {}

public slots:
  void PrepareForSleep(bool start) { source_.PrepareForSleep(start); }

private:
  TPowerEventSource& source_;
};
