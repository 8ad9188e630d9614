#include "acquisition/wheel_calibration.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/sys_utils.h"
#include "profiledata/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace wheel_calibration {

namespace {

const QString kCount = QStringLiteral("CountMeasur");
QString NameKey(int i) { return QStringLiteral("NameMeasure_") + QString::number(i); }
QString StepKey(int i) { return QStringLiteral("Measure_") + QString::number(i); }

}  // namespace

QString SectionOf(TTopoType type) { return QStringLiteral("Odometer_") + QString::number(static_cast<int>(type)); }

QString StepText(double step) { return FloatToStrF(step, ffGeneral, 5, 2); }

std::vector<TStoredCalibration> ReadStoredCalibrations(const TCustomIniFile* ini, TTopoType type) {
  std::vector<TStoredCalibration> entries;
  if (ini && type != ttGPS) {
    const QString section = SectionOf(type);
    const int count = std::max(0, ini->ReadInteger(section, kCount, 0));
    for (int i = 0; i < count; ++i)
      entries.push_back({ini->ReadString(section, NameKey(i), QString()), ReadIniFloat(*ini, section, StepKey(i), 1)});
  }
  if (entries.empty()) entries.push_back({LoadResString(SWheelDefaultCalibration), TopoWheelStep(type), false});
  return entries;
}

std::vector<TCalibrationRow> ReadCalibrations(const TCustomIniFile& ini, TTopoType type) {
  std::vector<TCalibrationRow> rows;
  for (const TStoredCalibration& entry : ReadStoredCalibrations(&ini, type))
    rows.push_back({StepText(entry.Step), entry.Name});
  return rows;
}

void WriteCalibrations(TCustomIniFile& ini, TTopoType type, const std::vector<TCalibrationRow>& rows) {
  if (type != ttGPS) {
    const QString section = SectionOf(type);
    ini.EraseSection(section);
    ini.WriteInteger(section, kCount, static_cast<int>(rows.size()));
    for (size_t b = 0; b < rows.size(); ++b) {
      const int i = static_cast<int>(b);
      ini.WriteString(section, NameKey(i), rows[b].Name);
      ini.WriteFloat(section, StepKey(i), static_cast<double>(StrToFloatAnySep(rows[b].Step)));
    }
  }
  ini.UpdateFile();
}

int CountAfterPulse(int count, uintptr_t directionByte, TDirection counting) {
  int change = directionByte == 0 ? 1 : -1;
  if (counting == back) change = -change;
  return count + change;
}

double StepFromPulses(long double distanceM, int count) {
  if (count == 0) count = 1;
  const long double step = std::fabs(distanceM * 1000 / count);
  return static_cast<double>(std::trunc(step * 100) / 100);
}

QString CompletedQuestion(double step, double defaultStep) {
  return Format(LoadResString(SWheelCalibrationCompleted), {StepText(step), StepText(defaultStep)});
}

}  // namespace wheel_calibration
