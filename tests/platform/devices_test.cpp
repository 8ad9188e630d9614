// Serial devices from a fake device tree: their names, ports and name texts by
// their USB units; the kernel's arrival and removal messages as notifications
// (a removed device keeps the name it had); power events by the sleep signal.

#include "platform/devices/device_events.h"
#include "platform/devices/power_events.h"
#include "platform/devices/serial_devices.h"
#include "tests/support/fake_device_tree.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <vector>

namespace devices_test {

const QString kRadarId = QStringLiteral("VID_c251&PID_9705");

// The port as the acquisition program takes it from a friendly name.
QString PortOf(const QString& friendlyName) {
  static const QRegularExpression lastParentheses(QStringLiteral(".*\\((.*)\\)"));
  return QString(friendlyName).replace(lastParentheses, QStringLiteral("\\1"));
}

TEST(SerialDevices, UsbIdTextsInAnyCase) {
  EXPECT_EQ(ParseUsbIdText(kRadarId), (TUsbId{0xc251, 0x9705}));
  EXPECT_EQ(ParseUsbIdText(QStringLiteral("usb\\vid_C251&pid_9705\\x")), (TUsbId{0xc251, 0x9705}));
  EXPECT_FALSE(ParseUsbIdText(QStringLiteral("VID_c251")));
  EXPECT_FALSE(ParseUsbIdText(QStringLiteral("VID_c2&PID_9705")));
  EXPECT_EQ(DeviceInterfaceName(TUsbId{0xc251, 0x9705}, QStringLiteral("ttyACM0")),
            QStringLiteral("USB\\VID_C251&PID_9705\\ttyACM0"));
  EXPECT_EQ(DeviceInterfaceName(std::nullopt, QStringLiteral("ttyS0")), QStringLiteral("TTY\\ttyS0"));
}

TEST(SerialDevices, NamesByTheUsbUnitAndPortsFromTheNames) {
  TFakeDeviceTree tree;
  tree.AddUsbSerial(1, QStringLiteral("ttyACM0"), 0xc251, 0x9705, QStringLiteral("Radar CDC"));
  tree.AddUsbSerial(2, QStringLiteral("ttyUSB0"), 0x0403, 0x6001, QStringLiteral("FT232R USB UART"));
  tree.AddUsbSerial(3, QStringLiteral("ttyUSB1"), 0x0403, 0x6015, QString());
  tree.AddBoardSerial(QStringLiteral("ttyS0"));
  tree.AddVirtualTerminal(QStringLiteral("tty0"));
  const QString dev = tree.Roots().Dev;

  const std::vector<TSerialDevice> devices = EnumerateSerialDevices(tree.Roots(), ParseUsbIdText(kRadarId));
  ASSERT_EQ(devices.size(), 4u) << "the virtual terminal is no serial device";
  struct TExpected {
    const char* node;
    QString friendlyName;
    const char* interfaceName;
  };
  const TExpected expected[] = {
      {"ttyACM0", QStringLiteral("Ground Penetrating Radar (%1/ttyACM0)").arg(dev), "USB\\VID_C251&PID_9705\\ttyACM0"},
      {"ttyS0", QStringLiteral("Communications Port (%1/ttyS0)").arg(dev), "TTY\\ttyS0"},
      {"ttyUSB0", QStringLiteral("FT232R USB UART (%1/ttyUSB0)").arg(dev), "USB\\VID_0403&PID_6001\\ttyUSB0"},
      {"ttyUSB1", QStringLiteral("Communications Port (%1/ttyUSB1)").arg(dev), "USB\\VID_0403&PID_6015\\ttyUSB1"},
  };
  for (size_t i = 0; i < devices.size(); ++i) {
    SCOPED_TRACE(expected[i].node);
    EXPECT_EQ(devices[i].Node, QString::fromLatin1(expected[i].node));
    EXPECT_EQ(devices[i].FriendlyName, expected[i].friendlyName);
    EXPECT_EQ(devices[i].InterfaceName, QString::fromLatin1(expected[i].interfaceName));
    EXPECT_EQ(PortOf(devices[i].FriendlyName), devices[i].Port);
    EXPECT_EQ(devices[i].Port, dev + u'/' + devices[i].Node);
  }
  EXPECT_TRUE(devices[0].DevPath.endsWith(QStringLiteral("/tty/ttyACM0")));

  // Another id text names another unit the radar; none that does not parse.
  EXPECT_EQ(EnumerateSerialDevices(tree.Roots(), TUsbId{0x0403, 0x6001})[2].FriendlyName,
            QStringLiteral("Ground Penetrating Radar (%1/ttyUSB0)").arg(dev));
  for (const TSerialDevice& d : EnumerateSerialDevices(tree.Roots(), std::nullopt))
    EXPECT_FALSE(d.FriendlyName.startsWith(RadarDeviceName)) << d.FriendlyName.toStdString();
  EXPECT_TRUE(EnumerateSerialDevices({QStringLiteral("/nonexistent/sys"), dev}, std::nullopt).empty());
}

TEST(DeviceEvents, KernelMessagesBecomeArrivalsAndRemovalsWithTheDevicesNameText) {
  TFakeDeviceTree tree;
  const QString atStart = tree.AddUsbSerial(1, QStringLiteral("ttyACM0"), 0xc251, 0x9705, QStringLiteral("Radar"));
  std::vector<TDeviceEvent> events;
  TDeviceEventSource source(tree.Roots(), kRadarId, [&](const TDeviceEvent& e) { events.push_back(e); });

  const QString later = tree.AddUsbSerial(2, QStringLiteral("ttyACM1"), 0xc251, 0x9705, QStringLiteral("Radar"));
  source.InjectUevent(TFakeDeviceTree::Uevent("add", later));
  const QString terminal = tree.AddVirtualTerminal(QStringLiteral("tty7"));
  source.InjectUevent(TFakeDeviceTree::Uevent("add", terminal));
  QByteArray usbMessage = TFakeDeviceTree::Uevent("add", later);
  usbMessage.replace("SUBSYSTEM=tty", "SUBSYSTEM=usb");
  source.InjectUevent(usbMessage);
  source.InjectUevent(TFakeDeviceTree::Uevent("change", later));
  ASSERT_EQ(events.size(), 1u) << "only the serial device's arrival";
  EXPECT_EQ(events[0].Kind, dekArrival);
  EXPECT_EQ(events[0].Name, QStringLiteral("USB\\VID_C251&PID_9705\\ttyACM1"));

  // Gone from the tree when the kernel tells: the names seen before are used.
  tree.Remove(later);
  source.InjectUevent(TFakeDeviceTree::Uevent("remove", later));
  tree.Remove(atStart);
  source.InjectUevent(TFakeDeviceTree::Uevent("remove", atStart));
  source.InjectUevent(TFakeDeviceTree::Uevent("remove", atStart));
  source.InjectUevent(TFakeDeviceTree::Uevent("remove", terminal));
  ASSERT_EQ(events.size(), 3u) << "a device is removed once; a terminal never arrived";
  EXPECT_EQ(events[1].Kind, dekRemoval);
  EXPECT_EQ(events[1].Name, QStringLiteral("USB\\VID_C251&PID_9705\\ttyACM1"));
  EXPECT_EQ(events[2].Kind, dekRemoval);
  EXPECT_EQ(events[2].Name, QStringLiteral("USB\\VID_C251&PID_9705\\ttyACM0"));

  source.Inject({dekArrival, QStringLiteral("injected")});
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[3].Name, QStringLiteral("injected"));
}

TEST(PowerEvents, TheSleepSignalGivesSuspendAndResume) {
  std::vector<TPowerEvent> events;
  TPowerEventSource source([&](TPowerEvent e) { events.push_back(e); });
  source.PrepareForSleep(true);
  source.PrepareForSleep(false);
  source.Inject(PBT_APMSUSPEND);
  EXPECT_EQ(events, (std::vector<TPowerEvent>{PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC, PBT_APMSUSPEND}));
}

}  // namespace devices_test
