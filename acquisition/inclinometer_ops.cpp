#include "acquisition/inclinometer_ops.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/sys_utils.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace inclinometer {

double FeedExtreme(double& extreme, std::span<int32_t> window, int32_t reading, bool maximum) {
  if (window.empty()) return extreme;
  std::shift_left(window.begin(), window.end(), 1);
  window.back() = reading;
  const double mean = static_cast<double>(std::accumulate(window.begin(), window.end(), int64_t{0})) /
                      static_cast<double>(window.size());
  if (maximum ? mean > extreme : mean < extreme) extreme = mean;
  return mean;
}

double NormalisedAxis(double reading, double maximum, double minimum) {
  if (maximum == minimum) return 1.0;
  const double v = (reading - (maximum + minimum) / 2) * 2 / (maximum - minimum);
  if (v > 1) return 1.0;
  if (v < -1) return -1.0;
  return v;
}

double TiltSine(double x, bool multiChannelDevice, uint16_t serialNumber, int radarType) {
  if (multiChannelDevice) return -x;
  if (serialNumber >= 62) {
    switch (radarType) {
      case 9: case 15: case 17: case 19: case 28: case 29: case 30: return x;
      default: return -x;
    }
  }
  switch (radarType) {
    case 9: case 15: case 17: case 19: case 24: case 28: case 29: return -x;
    default: return x;
  }
}

double TiltDegrees(double sine) { return std::asin(std::clamp(sine, -1.0, 1.0)) * DegreesPerRadian; }

bool RangesTooSmall(const TExtremes& e) {
  const auto small = [](double maximum, double minimum) {
    return maximum == 0 || (maximum - minimum) / maximum < 0.1;
  };
  return small(e.GXmax, e.GXmin) && small(e.GYmax, e.GYmin) && small(e.GZmax, e.GZmin);
}

QString ExtremeText(double value) { return FloatToStrF(value, ffFixed, 5, 1); }
QString TiltText(double degrees) { return Format(LoadResString(SInclinometerTilt), {FloatToStrF(degrees, ffFixed, 5, 1)}); }
QString QualityText(double quality) { return FloatToStrF(quality, ffFixed, 5, 3); }

QString SectionOf(uint16_t serialNumber) { return QStringLiteral("Inclinometer") + QString::number(serialNumber); }

void WriteCalibration(TCustomIniFile& ini, uint16_t serialNumber, const TStoredCalibration& c) {
  const QString section = SectionOf(serialNumber);
  const TExtremes& e = c.Extremes;
  ini.WriteFloat(section, QStringLiteral("MaxX"), e.GXmax);
  ini.WriteFloat(section, QStringLiteral("MinX"), e.GXmin);
  ini.WriteFloat(section, QStringLiteral("MaxY"), e.GYmax);
  ini.WriteFloat(section, QStringLiteral("MinY"), e.GYmin);
  ini.WriteFloat(section, QStringLiteral("MaxZ"), e.GZmax);
  ini.WriteFloat(section, QStringLiteral("MinZ"), e.GZmin);
  ini.WriteFloat(section, QStringLiteral("CalibrationQuality"), c.CalibrationQuality);
  ini.WriteFloat(section, QStringLiteral("ZeroAngle"), c.ZeroAngle);
  ini.UpdateFile();
}

}  // namespace inclinometer
