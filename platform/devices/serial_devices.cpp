#include "platform/devices/serial_devices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <mutex>

namespace {

std::mutex& RootsLock() {
  static std::mutex lock;
  return lock;
}

TDeviceRoots& Roots() {
  static TDeviceRoots roots;
  return roots;
}

QString ReadAttribute(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(file.read(256)).trimmed();
}

std::optional<uint16_t> HexAttribute(const QString& path) {
  bool ok = false;
  const uint value = ReadAttribute(path).toUInt(&ok, 16);
  if (!ok || value > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(value);
}

// The USB unit a device hangs off: the nearest folder up the tree with both id
// attributes, never above the tree's root.
struct TUsbParent {
  TUsbId Id;
  QString Product;
};
std::optional<TUsbParent> UsbParentOf(const QString& canonicalDevice, const QString& canonicalRoot) {
  QString folder = canonicalDevice;
  while (folder.startsWith(canonicalRoot + u'/')) {
    const std::optional<uint16_t> vendor = HexAttribute(folder + QStringLiteral("/idVendor"));
    const std::optional<uint16_t> product = HexAttribute(folder + QStringLiteral("/idProduct"));
    if (vendor && product) return TUsbParent{{*vendor, *product}, ReadAttribute(folder + QStringLiteral("/product"))};
    folder = QFileInfo(folder).path();
  }
  return std::nullopt;
}

}  // namespace

TDeviceRoots DeviceRoots() {
  std::lock_guard lock(RootsLock());
  return Roots();
}

void SetDeviceRoots(const TDeviceRoots& roots) {
  std::lock_guard lock(RootsLock());
  Roots() = roots;
}

std::optional<TUsbId> ParseUsbIdText(const QString& text) {
  static const QRegularExpression vid(QStringLiteral("VID_([0-9A-F]{4})"), QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression pid(QStringLiteral("PID_([0-9A-F]{4})"), QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch v = vid.match(text), p = pid.match(text);
  if (!v.hasMatch() || !p.hasMatch()) return std::nullopt;
  return TUsbId{static_cast<uint16_t>(v.captured(1).toUInt(nullptr, 16)),
                static_cast<uint16_t>(p.captured(1).toUInt(nullptr, 16))};
}

QString DeviceInterfaceName(const std::optional<TUsbId>& usb, const QString& node) {
  if (!usb) return QStringLiteral("TTY\\") + node;
  auto hex = [](uint16_t value) { return QString::number(value, 16).rightJustified(4, u'0').toUpper(); };
  return QStringLiteral("USB\\VID_%1&PID_%2\\%3").arg(hex(usb->Vendor), hex(usb->Product), node);
}

std::optional<TSerialDevice> SerialDeviceAt(const TDeviceRoots& roots, const QString& devPath,
                                            const std::optional<TUsbId>& radarId) {
  const QString root = QFileInfo(roots.Sys).canonicalFilePath();
  if (root.isEmpty()) return std::nullopt;
  const QString entry = QFileInfo(root + devPath).canonicalFilePath();
  if (entry.isEmpty()) return std::nullopt;
  // Virtual terminals have no device behind them.
  const QString device = QFileInfo(entry + QStringLiteral("/device")).canonicalFilePath();
  if (device.isEmpty()) return std::nullopt;
  TSerialDevice d;
  d.Node = QFileInfo(entry).fileName();
  d.Port = roots.Dev + u'/' + d.Node;
  d.DevPath = entry.mid(root.size());
  const std::optional<TUsbParent> usb = UsbParentOf(device, root);
  if (usb) d.Usb = usb->Id;
  QString name = usb && !usb->Product.isEmpty() ? usb->Product : QStringLiteral("Communications Port");
  if (usb && radarId && usb->Id == *radarId) name = RadarDeviceName;
  d.FriendlyName = name + QStringLiteral(" (") + d.Port + u')';
  d.InterfaceName = DeviceInterfaceName(d.Usb, d.Node);
  return d;
}

std::vector<TSerialDevice> EnumerateSerialDevices(const TDeviceRoots& roots, const std::optional<TUsbId>& radarId) {
  std::vector<TSerialDevice> devices;
  const QString root = QFileInfo(roots.Sys).canonicalFilePath();
  if (root.isEmpty()) return devices;
  const QDir classFolder(root + QStringLiteral("/class/tty"));
  for (const QString& node : classFolder.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
    const QString entry = QFileInfo(classFolder.filePath(node)).canonicalFilePath();
    if (!entry.startsWith(root + u'/')) continue;
    if (std::optional<TSerialDevice> d = SerialDeviceAt(roots, entry.mid(root.size()), radarId))
      devices.push_back(std::move(*d));
  }
  return devices;
}
