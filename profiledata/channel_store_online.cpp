// T2Dview: the online stages' parameters in the main window's settings file, one
// section per stage and device serial number (ser in decimal):
//   "Comparator_" + ser                 Threshold (30000), Applay (0)
//   "WindowedBackgroundRemoval_" + ser  WidthWindow (300), Applay (0)
//   "Wavelet_" + ser                    Timescale (1, float), Applay (1)
//   "TVGC_" + ser                       Applay (1), ListDotsHeight (694), DotCount (0),
//                                       DotX<i>, DotY<i> (default i) for i < DotCount
// Values the stages cannot hold are brought inside their tables: at most 34 gain
// points, a curve height of 1 .. 10000 rows, a background window of 0 .. 300
// traces (the stage holds at most 303 trace copies), a positive time scale.

#include "profiledata/channel_store.h"

#include "platform/rtl/ini_files.h"
#include "profiledata/list_of_dots.h"
#include "profiledata/setting_data.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

constexpr int32_t kMaxWidthWindow = 300;

struct TSections {
  QString comparator, background, wavelet, gain;
  explicit TSections(uint16_t serNum) {
    const QString ser = QString::number(serNum);
    comparator = QStringLiteral("Comparator_") + ser;
    background = QStringLiteral("WindowedBackgroundRemoval_") + ser;
    wavelet = QStringLiteral("Wavelet_") + ser;
    gain = QStringLiteral("TVGC_") + ser;
  }
};

const QString kApplay = QStringLiteral("Applay");

QString DotKey(const char* axis, int i) { return QLatin1String(axis) + QString::number(i); }

}  // namespace

bool T2Dview::ReadOnlinePlaginsParameters() {
  IAcquisitionShell* shell = AcquisitionShell();
  TCustomIniFile* ini = shell ? shell->MainIni() : nullptr;
  IOnlineStages* stages = OnlineStages();
  const uint16_t serNum = FSettings->GetSerNum();
  if (!ini || !stages || serNum == 0) return false;
  const TSections sec(serNum);

  stages->SetComparatorThreshold(ini->ReadInteger(sec.comparator, QStringLiteral("Threshold"), 30000));
  stages->SetComparatorApplay(ini->ReadBool(sec.comparator, kApplay, false));

  const int width = ini->ReadInteger(sec.background, QStringLiteral("WidthWindow"), 300);
  stages->SetWidthWindow(std::clamp(width, 0, kMaxWidthWindow));
  stages->SetWindowedBackgroundRemovalApplay(ini->ReadBool(sec.background, kApplay, false));

  const double timescale = ini->ReadFloat(sec.wavelet, QStringLiteral("Timescale"), 1);
  stages->SetWaveletTimescale(std::isfinite(timescale) && timescale > 0 ? timescale : 1.0);
  stages->SetWaveletApplay(ini->ReadBool(sec.wavelet, kApplay, true));
  stages->InitWavelet();

  stages->SetTVGCApplay(ini->ReadBool(sec.gain, kApplay, true));
  const int height = std::clamp(ini->ReadInteger(sec.gain, QStringLiteral("ListDotsHeight"), 694), 1,
                                TListOfDots::MaxRows);
  const int count = std::clamp(ini->ReadInteger(sec.gain, QStringLiteral("DotCount"), 0), 0, TListOfDots::MaxDots);
  TListOfDots& dots = stages->ListofBaseDots();
  if (count > 0) {
    dots.Clear();
    for (int i = 0; i < count; ++i)
      dots.SetPoint(i, ini->ReadInteger(sec.gain, DotKey("DotX", i), i), ini->ReadInteger(sec.gain, DotKey("DotY", i), i));
  }
  dots.SetHeight(height);
  return true;
}

bool T2Dview::WriteOnlinePlaginsParameters() {
  IAcquisitionShell* shell = AcquisitionShell();
  TCustomIniFile* ini = shell ? shell->MainIni() : nullptr;
  IOnlineStages* stages = OnlineStages();
  const uint16_t serNum = FSettings->GetSerNum();
  if (!ini || !stages || serNum == 0) return false;
  const TSections sec(serNum);
  try {
    // Points of a longer curve written before must not survive behind DotCount.
    ini->EraseSection(sec.gain);

    ini->WriteInteger(sec.comparator, QStringLiteral("Threshold"), stages->ComparatorThreshold());
    ini->WriteBool(sec.comparator, kApplay, stages->ComparatorApplay());
    ini->WriteInteger(sec.background, QStringLiteral("WidthWindow"), stages->WidthWindow());
    ini->WriteBool(sec.background, kApplay, stages->WindowedBackgroundRemovalApplay());
    ini->WriteFloat(sec.wavelet, QStringLiteral("Timescale"), static_cast<double>(stages->WaveletTimescale()));
    ini->WriteBool(sec.wavelet, kApplay, stages->WaveletApplay());

    TListOfDots& dots = stages->ListofBaseDots();
    ini->WriteBool(sec.gain, kApplay, stages->TVGCApplay());
    ini->WriteInteger(sec.gain, QStringLiteral("ListDotsHeight"), dots.GetHeight());
    ini->WriteInteger(sec.gain, QStringLiteral("DotCount"), dots.GetCount());
    for (int i = 0; i < dots.GetCount(); ++i) {
      const TPoint p = dots.GetVal(i);
      ini->WriteInteger(sec.gain, DotKey("DotX", i), p.X);
      ini->WriteInteger(sec.gain, DotKey("DotY", i), p.Y);
    }
    ini->UpdateFile();
  } catch (const std::exception&) {
    // The file could not be written; the values stay in the INI object.
    return false;
  }
  return true;
}

float ReadKoefArrMax(const TCustomIniFile& ini) {
  constexpr double kDefault = 0.75;
  const double value = ReadIniFloat(ini, QStringLiteral("General"), QStringLiteral("KoefArrMax"), kDefault);
  if (!(value > 0)) return static_cast<float>(kDefault);  // also NaN
  return static_cast<float>(std::min(value, 1.0));
}
