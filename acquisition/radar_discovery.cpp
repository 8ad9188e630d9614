#include "acquisition/radar_discovery.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <limits>

QString PortOfFriendlyName(const QString& friendlyName) {
  static const QRegularExpression lastParentheses(QStringLiteral(".*\\((.*)\\)"),
                                                  QRegularExpression::DotMatchesEverythingOption);
  return QString(friendlyName).replace(lastParentheses, QStringLiteral("\\1"));
}

TUsbEnumeration EnumerateUsbRadars(const TDeviceRoots& roots, const QString& strUID) {
  TUsbEnumeration result;
  const std::vector<TSerialDevice> devices = EnumerateSerialDevices(roots, ParseUsbIdText(strUID));
  for (const TSerialDevice& device : devices)
    if (device.FriendlyName.contains(RadarDeviceName)) result.RadarPorts << PortOfFriendlyName(device.FriendlyName);
  result.Count = static_cast<int>(devices.size()) + 1;
  return result;
}

bool DeviceNameMatches(const QString& name, const QString& strUID) {
  return !strUID.isEmpty() && name.contains(strUID, Qt::CaseInsensitive);
}

int32_t FreeFileNumber(const QString& fileName, const QString& prefix) {
  const QFileInfo info(fileName);
  bool ok = false;
  const qlonglong written = info.completeBaseName().mid(prefix.size()).toLongLong(&ok);
  constexpr qlonglong kLast = std::numeric_limits<int32_t>::max();
  qlonglong n = ok && written >= 0 ? std::min(written, kLast - 1) + 1 : 1;
  const QString folder = info.path() + u'/';
  while (n < kLast && QFileInfo::exists(folder + prefix + QString::number(n) + QStringLiteral(".dezo"))) ++n;
  return static_cast<int32_t>(n);
}

bool WritesSingleFiles(const TWriteKindInput& input) {
  if (input.OpenedFromFile) return !input.Name.endsWith(QStringLiteral(".frn"));
  return input.OneChannel && !input.MultiChannelDevice && input.TypeProfiles == tpLinear;
}
