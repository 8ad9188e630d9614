#pragma once
// A device tree of the kernel's kind in a temporary folder ("sys" and "dev"
// below it) for the serial-device discovery: USB units with their ids and
// product names, serial devices on them or on the board, virtual terminals, and
// device nodes that lead to a pseudo-terminal (a simulated radar) or nowhere.

#include "platform/devices/serial_devices.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>

class TFakeDeviceTree {
public:
  TFakeDeviceTree();
  TDeviceRoots Roots() const;

  // A serial device on USB unit `unit` (1-based): its path in the tree
  // ("/devices/pci0000:00/usb1/1-<unit>/1-<unit>:1.0/tty/<node>"). The node leads
  // to nodeTarget when given (a pseudo-terminal), else to an empty file.
  QString AddUsbSerial(int unit, const QString& node, uint16_t vendor, uint16_t product, const QString& productName,
                       const QString& nodeTarget = QString());
  // A serial port of the board, without a USB unit.
  QString AddBoardSerial(const QString& node);
  // A terminal without a device behind it.
  QString AddVirtualTerminal(const QString& node);
  // The device goes from the tree and its node from "dev".
  void Remove(const QString& devPath);
  // The kernel's message for the device ("add" or "remove").
  static QByteArray Uevent(const char* action, const QString& devPath);

private:
  void AddNode(const QString& node, const QString& target);
  QString Sys() const { return dir_.path() + QStringLiteral("/sys"); }
  QTemporaryDir dir_;
};
