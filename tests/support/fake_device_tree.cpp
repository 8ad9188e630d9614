#include "tests/support/fake_device_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void WriteText(const QString& path, const QString& text) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(text.toUtf8() + '\n');
}

}  // namespace

TFakeDeviceTree::TFakeDeviceTree() {
  QDir().mkpath(Sys() + QStringLiteral("/class/tty"));
  QDir().mkpath(dir_.path() + QStringLiteral("/dev"));
}

TDeviceRoots TFakeDeviceTree::Roots() const { return {Sys(), dir_.path() + QStringLiteral("/dev")}; }

void TFakeDeviceTree::AddNode(const QString& node, const QString& target) {
  const QString path = dir_.path() + QStringLiteral("/dev/") + node;
  QFile::remove(path);
  if (target.isEmpty())
    WriteText(path, QString());
  else
    QFile::link(target, path);
}

QString TFakeDeviceTree::AddUsbSerial(int unit, const QString& node, uint16_t vendor, uint16_t product,
                                      const QString& productName, const QString& nodeTarget) {
  const QString usb = QStringLiteral("/devices/pci0000:00/usb1/1-%1").arg(unit);
  QDir().mkpath(Sys() + usb);
  WriteText(Sys() + usb + QStringLiteral("/idVendor"), QString::number(vendor, 16).rightJustified(4, u'0'));
  WriteText(Sys() + usb + QStringLiteral("/idProduct"), QString::number(product, 16).rightJustified(4, u'0'));
  if (!productName.isEmpty()) WriteText(Sys() + usb + QStringLiteral("/product"), productName);
  const QString interface = usb + QStringLiteral("/1-%1:1.0").arg(unit);
  const QString devPath = interface + QStringLiteral("/tty/") + node;
  QDir().mkpath(Sys() + devPath);
  QFile::link(Sys() + interface, Sys() + devPath + QStringLiteral("/device"));
  QFile::link(Sys() + devPath, Sys() + QStringLiteral("/class/tty/") + node);
  AddNode(node, nodeTarget);
  return devPath;
}

QString TFakeDeviceTree::AddBoardSerial(const QString& node) {
  const QString port = QStringLiteral("/devices/platform/serial8250");
  const QString devPath = port + QStringLiteral("/tty/") + node;
  QDir().mkpath(Sys() + devPath);
  QFile::link(Sys() + port, Sys() + devPath + QStringLiteral("/device"));
  QFile::link(Sys() + devPath, Sys() + QStringLiteral("/class/tty/") + node);
  AddNode(node, QString());
  return devPath;
}

QString TFakeDeviceTree::AddVirtualTerminal(const QString& node) {
  const QString devPath = QStringLiteral("/devices/virtual/tty/") + node;
  QDir().mkpath(Sys() + devPath);
  QFile::link(Sys() + devPath, Sys() + QStringLiteral("/class/tty/") + node);
  AddNode(node, QString());
  return devPath;
}

void TFakeDeviceTree::Remove(const QString& devPath) {
  const QString node = QFileInfo(devPath).fileName();
  QFile::remove(Sys() + QStringLiteral("/class/tty/") + node);
  QDir(Sys() + devPath).removeRecursively();
  QFile::remove(dir_.path() + QStringLiteral("/dev/") + node);
}

QByteArray TFakeDeviceTree::Uevent(const char* action, const QString& devPath) {
  QByteArray m = QByteArray(action) + '@' + devPath.toUtf8() + '\0';
  m += QByteArray("ACTION=") + action + '\0';
  m += "DEVPATH=" + devPath.toUtf8() + '\0';
  m += QByteArray("SUBSYSTEM=tty") + '\0';
  m += "DEVNAME=" + QFileInfo(devPath).fileName().toUtf8() + '\0';
  m += QByteArray("SEQNUM=1") + '\0';
  return m;
}
