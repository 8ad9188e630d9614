#include "acquisition/general_pref_ops.h"

#include "profiledata/nmea.h"
#include "radar/command_blocks.h"

#include <QStringList>

namespace general_pref {

QString FixQualityText(const QString& field) {
  if (field == QStringLiteral("0")) return LoadResString(SGpsNotFix);
  if (field == QStringLiteral("1")) return LoadResString(SGpsFix);
  if (field == QStringLiteral("2")) return LoadResString(SGpsDgpsFix);
  return {};
}

TGpsRow GpsRowOf(const QString& sentence) {
  const QStringList f = sentence.split(u',');
  const auto field = [&f](int i) { return i < f.size() ? f[i] : QString(); };
  const auto orZero = [](const QString& value) { return value.isEmpty() ? QStringLiteral("0") : value; };
  TGpsRow row;
  const QString time = field(1);
  row[0] = time.mid(0, 2) + u':' + time.mid(2, 2) + u':' + time.mid(4, 2) + time.mid(6, 4);
  row[1] = QString::fromLatin1(NmeaToDegrees(orZero(field(2)), field(3))) + u' ' + field(3);
  row[2] = QString::fromLatin1(NmeaToDegrees(orZero(field(4)), field(5))) + u' ' + field(5);
  row[3] = FixQualityText(field(6));
  row[4] = field(7);
  row[5] = field(8);
  return row;
}

void AddGpsSentence(std::vector<TGpsRow>& rows, const QString& sentence) {
  if (rows.size() < 2) rows.resize(2);
  const int count = static_cast<int>(rows.size());
  if (count > GpsMaxDataRows)
    for (int i = 1; i <= count - 2; ++i) rows[static_cast<size_t>(i)] = rows[static_cast<size_t>(i + 1)];
  if (!rows.back()[0].isEmpty() && static_cast<int>(rows.size()) <= GpsMaxDataRows) rows.emplace_back();
  rows.back() = GpsRowOf(sentence);
}

bool ValidNmeaType(const QString& text) {
  if (text.size() != 6 || text[0] != u'$') return false;
  for (qsizetype i = 1; i < text.size(); ++i) {
    const QChar c = text[i];
    if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))) return false;
  }
  return true;
}

std::optional<std::array<uint8_t, 7>> NmeaConfigFor(int speedIndex, const QString& type) {
  if (speedIndex < 1 || speedIndex > 7 || !ValidNmeaType(type)) return std::nullopt;
  return NmeaConfigParams(static_cast<uint8_t>(speedIndex), type.toLatin1());
}

}  // namespace general_pref
