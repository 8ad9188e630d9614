#pragma once
// Serial devices as the device tree of the kernel shows them (sysfs), named the
// way the acquisition program looks for its radar: a device on a USB unit whose
// vendor and product ids are those of the radar's id text ("VID_c251&PID_9705")
// is called "Ground Penetrating Radar (<port>)", any other serial device
// "<product> (<port>)". The port in the last parentheses is the device's node,
// "/dev/ttyACM0", which the serial port opens.
//
// The roots of the device tree and of the device nodes are redirectable, so a
// test builds a tree of its own and points the nodes at pseudo-terminals.
//
// Threads: the functions may run on any thread; the roots are set before the
// devices are looked at (tests set them between their cases).

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct TDeviceRoots {
  QString Sys = QStringLiteral("/sys");
  QString Dev = QStringLiteral("/dev");
};
// The roots the program looks at: "/sys" and "/dev" unless set.
TDeviceRoots DeviceRoots();
void SetDeviceRoots(const TDeviceRoots& roots);

// The name of a serial device whose USB unit is the radar's.
inline const QString RadarDeviceName = QStringLiteral("Ground Penetrating Radar");

struct TUsbId {
  uint16_t Vendor = 0;
  uint16_t Product = 0;
  bool operator==(const TUsbId&) const = default;
};
// The ids of a text holding "VID_xxxx" and "PID_yyyy" (hexadecimal, any case);
// nothing when either is missing.
std::optional<TUsbId> ParseUsbIdText(const QString& text);
// The name text a device's notifications carry: "USB\VID_C251&PID_9705\ttyACM0"
// for a device on a USB unit, "TTY\ttyS0" for any other.
QString DeviceInterfaceName(const std::optional<TUsbId>& usb, const QString& node);

struct TSerialDevice {
  QString Node;          // "ttyACM0"
  QString Port;          // the device node: Dev root + "/" + Node
  QString FriendlyName;  // "Ground Penetrating Radar (/dev/ttyACM0)"
  QString InterfaceName; // what its notifications carry
  QString DevPath;       // its path in the device tree ("/devices/.../tty/ttyACM0")
  std::optional<TUsbId> Usb;
};

// One serial device of the tree, by its path in it ("/devices/.../tty/ttyACM0");
// nothing when the path holds no serial device (a virtual terminal has no
// device behind it). radarId: the ids of the radar's USB unit.
std::optional<TSerialDevice> SerialDeviceAt(const TDeviceRoots& roots, const QString& devPath,
                                            const std::optional<TUsbId>& radarId);
// Every serial device of the tree ("class/tty" entries with a device behind
// them), ordered by node name.
std::vector<TSerialDevice> EnumerateSerialDevices(const TDeviceRoots& roots, const std::optional<TUsbId>& radarId);
