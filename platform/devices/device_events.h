#pragma once
// Arrival and removal of serial devices, from the kernel's device events
// (uevents on a netlink socket). Each notification carries the device's name
// text (DeviceInterfaceName): for a device on a USB unit it holds
// "VID_xxxx&PID_yyyy", which a listener matches against the radar's id text.
//
// A removed device is no longer in the device tree, so its name comes from what
// the source saw of it before: the tree at start and every arrival since.
//
// Without the kernel's events (a container may not deliver them, or the socket
// cannot be opened) the source still runs: Listening() is false, the reason is
// logged once per process, and injected events are delivered as ever. Tests
// inject events directly (Inject) or as the kernel's raw text (InjectUevent).
//
// Threads: OnEvent runs on the source's reader thread for kernel events and on
// the injecting thread for injected ones; it must not block for long. The
// destructor stops the reader and waits for it (a bounded wait: the reader
// polls its stop request every 100 ms).

#include "platform/devices/serial_devices.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

enum TDeviceEventKind : uint8_t { dekArrival, dekRemoval };

struct TDeviceEvent {
  TDeviceEventKind Kind = dekArrival;
  QString Name;  // the device's name text
};

class TDeviceEventSource {
public:
  // radarIdText: the radar's USB id text, for the names of radar devices.
  TDeviceEventSource(const TDeviceRoots& roots, const QString& radarIdText,
                     std::function<void(const TDeviceEvent&)> onEvent);
  ~TDeviceEventSource();
  TDeviceEventSource(const TDeviceEventSource&) = delete;
  TDeviceEventSource& operator=(const TDeviceEventSource&) = delete;

  // The kernel's events arrive.
  bool Listening() const { return socket_ >= 0; }

  void Inject(const TDeviceEvent& event);
  // One kernel message ("add@/devices/...\0ACTION=add\0DEVPATH=...\0SUBSYSTEM=tty\0...").
  void InjectUevent(const QByteArray& message);

  // What a kernel message means for a listener: nothing unless it is the
  // arrival or removal of a serial device. Updates the names seen.
  std::optional<TDeviceEvent> Interpret(const QByteArray& message);

private:
  void Run(std::stop_token stop);

  const TDeviceRoots roots_;
  const std::optional<TUsbId> radarId_;
  const std::function<void(const TDeviceEvent&)> onEvent_;
  std::mutex namesLock_;
  std::map<QString, QString> namesByPath_;  // DevPath -> name text
  int socket_ = -1;
  std::jthread reader_;
};
