// The radargram window's GPS page: the list of the last fix, the receive
// animation, and the track chart with the live track, the current position and
// the active channel's markers; a stored profile's track from its NMEA lines.
// The arithmetic is gps_track.h.

#include "radargram/view2d_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/image.h"
#include "platform/ui/page_control.h"
#include "profiledata/channel_store.h"
#include "profiledata/gauss_kruger.h"
#include "profiledata/markers.h"
#include "profiledata/markers_data.h"
#include "profiledata/nmea.h"
#include "profiledata/number_text.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar.h"
#include "radar/radar_messages.h"
#include "radargram/gps_track.h"
#include "radargram/property_rows.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cmath>
#include <mutex>
#include <thread>

RESOURCESTRING(STrekAxisTitle, "Trek, m");
RESOURCESTRING(SGpsNotFix, "Not fix");
RESOURCESTRING(SGpsFix, "GPS fix");
RESOURCESTRING(SGpsDgpsFix, "DGPS fix");

namespace {

// A sentence this short holds no position worth showing.
constexpr int kShortestShownSentence = 36;
constexpr int kSentenceFields = 8;
constexpr int kMarkSize = 5;
constexpr TColor kLiveColor = clBlue;
constexpr TColor kStoredColor = clRed;
constexpr TColor kSurfaceMarkerColor = clYellow;
constexpr double kTrekHalfRange = 5;
// Larger coordinates are no track (a box that took no point).
constexpr double kLargestTrackCoordinate = 1000000;

// Frames of a dish sending waves, for the receive animation.
std::vector<std::unique_ptr<TBitmap>> ReceiveFrames(int size) {
  std::vector<std::unique_ptr<TBitmap>> frames;
  constexpr int kFrames = 4;
  for (int f = 0; f < kFrames; ++f) {
    auto frame = std::make_unique<TBitmap>();
    frame->SetPixelFormat(pf32bit);
    frame->SetSize(size, size);
    TCanvas& canvas = *frame->Canvas();
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(Rect(0, 0, size, size));
    canvas.Brush()->SetColor(clNavy);
    canvas.Ellipse(2, size - 10, 10, size - 2);
    canvas.Brush()->SetStyle(bsClear);
    canvas.Pen()->SetColor(clNavy);
    for (int w = 1; w <= f; ++w) canvas.Ellipse(6 - 6 * w, size - 6 - 6 * w, 6 + 6 * w, size - 6 + 6 * w);
    frames.push_back(std::move(frame));
  }
  return frames;
}

template <typename T>
T* NewMarkSeries(TComponent* owner, TChart* chart, const char* name, TSeriesPointerStyle style) {
  auto* series = new T(owner);
  series->SetName(QString::fromLatin1(name));
  series->SetXValuesOrder(loAscending);
  TSeriesPointer pointer;
  pointer.Visible = true;
  pointer.Style = style;
  pointer.HorizSize = kMarkSize;
  pointer.VertSize = kMarkSize;
  series->SetPointer(pointer);
  series->SetParentChart(chart);
  return series;
}

gps_track::TTrekRange RangeOf(TChart& chart) {
  return {chart.TopAxis()->Minimum(), chart.TopAxis()->Maximum(), chart.LeftAxis()->Minimum(),
          chart.LeftAxis()->Maximum()};
}

// Left and right carry the north range, top and bottom the east range.
void SetRange(TChart& chart, const gps_track::TTrekRange& r) {
  for (TChartAxis* axis : {chart.LeftAxis(), chart.RightAxis()})
    axis->SetMinMax(static_cast<double>(r.Y1), static_cast<double>(r.Y2));
  for (TChartAxis* axis : {chart.TopAxis(), chart.BottomAxis()})
    axis->SetMinMax(static_cast<double>(r.X1), static_cast<double>(r.X2));
}

QString QualityText(const QString& quality) {
  if (quality == QLatin1String("0")) return LoadResString(SGpsNotFix);
  if (quality == QLatin1String("1")) return LoadResString(SGpsFix);
  if (quality == QLatin1String("2")) return LoadResString(SGpsDgpsFix);
  return QString();
}

const QString& FieldOrZero(const QString& field) {
  static const QString zero = QStringLiteral("0");
  return field.isEmpty() ? zero : field;
}

}  // namespace

void TView2DForm::BuildGpsControls() {
  GPSValueListEditor->SetColWidths(0, 130);
  GPSValueListEditor->SetColWidths(1, 91);

  GPSReciveImage = new TImage(this);
  GPSReciveImage->SetName(QStringLiteral("GPSReciveImage"));
  GPSReciveImage->SetParent(GPSTabSheet);
  GPSReciveImage->SetBounds(216, 4, 32, 32);
  GPSReciveImage->SetFrames(ReceiveFrames(32));

  GPSTrekChart = new TChart(this);
  GPSTrekChart->SetName(QStringLiteral("GPSTrekChart"));
  GPSTrekChart->SetParent(GPSTabSheet);
  GPSTrekChart->SetBounds(4, 150, 450, 420);
  GPSTrekChart->SetColor(clWhite);
  GPSTrekChart->SetBackColor(clWhite);
  for (TChartAxis* axis : {GPSTrekChart->LeftAxis(), GPSTrekChart->TopAxis(), GPSTrekChart->RightAxis(),
                           GPSTrekChart->BottomAxis()}) {
    axis->SetAutomatic(false);
    axis->SetMinMax(-kTrekHalfRange, kTrekHalfRange);
    axis->SetIncrement(1);
    axis->SetLabels(true);
  }
  GPSTrekChart->TopAxis()->SetTitle(LoadResString(STrekAxisTitle));

  FastLineSeries = new TFastLineSeries(this);
  FastLineSeries->SetName(QStringLiteral("FastLineSeries"));
  FastLineSeries->SetSeriesColor(kStoredColor);
  FastLineSeries->LinePen()->SetWidth(2);
  FastLineSeries->SetXValuesOrder(loNone);
  FastLineSeries->SetParentChart(GPSTrekChart);
  PointSeries = NewMarkSeries<TPointSeries>(this, GPSTrekChart, "PointSeries", psCircle);
  ObjMarkSeries = NewMarkSeries<TPointSeries>(this, GPSTrekChart, "ObjMarkSeries", psDiamond);
  SurfMarkSeries = NewMarkSeries<TPointSeries>(this, GPSTrekChart, "SurfMarkSeries", psDownTriangle);
  for (TPointSeries* marks : {ObjMarkSeries, SurfMarkSeries}) {
    marks->SetColorEachPoint(true);
    marks->SetMarksVisible(true);
  }

  GetLocationDataButton->SetGroupIndex(1);
  GetLocationDataButton->OnClick = [this](TObject* sender) { GetLocationDataButtonClick(sender); };
  SetMessageHandler(WM_GPSDATA, [this](TMessage&) { WMGPSData(); });
}

void TView2DForm::WMGPSData() {
  TControlRadar* set = shell_.Radars->ControlRadar();
  TRadar* master = set ? set->GetMasterRadar() : nullptr;
  if (!master) return;
  const QString sentence = master->LastNMEA();
  if (sentence.size() > kShortestShownSentence) {
    // The reader thread waits with its next samples while the page shows this one.
    std::lock_guard guard(master->SectPaint);
    ShowGPSData(sentence);
  } else {
    GPSReciveImage->SetAnimate(master->GPSstate() == gpsPos);
  }
}

void TView2DForm::ShowGPSData(const QString& sentence) {
  IRadargramRecordingShell& recording = *shell_.Recording;
  if (!recording.CurChild()) return;
  TControlRadar* set = shell_.Radars->ControlRadar();
  const TRadar* radar = set ? set->GetMasterRadar() : nullptr;
  const T2Dview* store = GetView2DByIndx(set ? set->GetMasterChannal() : MasterChannal);

  QStringList f;
  SplitDelimitedText(QLatin1Char(','), sentence, f);
  if (f.size() <= kSentenceFields) return;

  QString quality, satellites, precision;
  if (radar) {
    if (radar->GPSstate() != gpsNone) {
      quality = f[6];
      satellites = f[7];
      precision = f[8];
    } else {
      quality = QStringLiteral("0");
    }
    GPSReciveImage->SetAnimate(radar->GPSstate() == gpsPos);
  }

  const long double lat = StrToFloatAnySep(QString::fromLatin1(NmeaToDegrees(FieldOrZero(f[2]), f[3])));
  const long double lon = StrToFloatAnySep(QString::fromLatin1(NmeaToDegrees(FieldOrZero(f[4]), f[5])));
  if (lat == 0 || lon == 0) return;
  long double northing = 0, easting = 0;
  GaussKrugerFromGeo(lat, lon, northing, easting);

  const bool live = GetLocationDataButton->Down();
  if (((!store || store->NumTraces() < 2) && !live) || isStartGetLocationData) {
    StartGPSLatitude = static_cast<double>(easting);
    StartGPSLongitude = static_cast<double>(northing);
    FastLineSeries->Clear();
    isStartGetLocationData = false;
  }
  const double x = static_cast<double>(easting - StartGPSLatitude);
  const double y = static_cast<double>(northing - StartGPSLongitude);

  GPSValueListEditor->SetValues(LoadResString(SGpsLatitude), QString::fromLatin1(NmeaToDegrees(f[2], f[3])) + u' ' + f[3]);
  GPSValueListEditor->SetValues(LoadResString(SGpsLongitude), QString::fromLatin1(NmeaToDegrees(f[4], f[5])) + u' ' + f[5]);
  GPSValueListEditor->SetValues(LoadResString(SGpsQualityIndicator), QualityText(quality));
  GPSValueListEditor->SetValues(LoadResString(SGpsSatellites), satellites);
  GPSValueListEditor->SetValues(LoadResString(SGpsPrecision), precision);

  if (!recording.RadarStarted() && !live) return;
  gps_track::TTrekRange range = RangeOf(*GPSTrekChart);
  if (gps_track::WidenForPoint(range, x, y)) SetRange(*GPSTrekChart, range);
  if (!(shell_.Gps && shell_.Gps->RadarPausedWithGPS())) FastLineSeries->AddXY(x, y);
  PointSeries->Clear();
  PointSeries->AddXY(x, y, QString(), live ? kLiveColor : kStoredColor);
  PointSeries->SetSeriesColor(live ? kLiveColor : kStoredColor);
}

void TView2DForm::GetLocationDataButtonClick(TObject* /*Sender*/) {
  if (!shell_.ActiveChild->HasActiveMDIChild()) return;
  if (shell_.Gps && shell_.Gps->RadarPausedWithGPS()) {
    GetLocationDataButton->SetEnabled(true);
    GetLocationDataButton->SetAllowAllUp(true);
    GetLocationDataButton->SetDown(true);
  } else if (const T2Dview* first = View2D_[0]; !first || first->NumTraces() < 2) {
    GetLocationDataButton->SetAllowAllUp(true);
    const gps_track::TTrekRange range{-kTrekHalfRange, kTrekHalfRange, -kTrekHalfRange, kTrekHalfRange};
    if (shell_.Gps) shell_.Gps->SetGPSTrekRange(range.X1, range.X2, range.Y1, range.Y2);
    SetRange(*GPSTrekChart, range);
    StartGPSLatitude = 0;
    StartGPSLongitude = 0;
    isStartGetLocationData = true;
    FastLineSeries->SetSeriesColor(GetLocationDataButton->Down() ? kLiveColor : kStoredColor);
  }
  // The next sentence starts it again.
  GPSReciveImage->SetAnimate(false);
}

void TView2DForm::StopLocationDataGPS() {
  if (!GetLocationDataButton->Down()) return;
  GetLocationDataButton->SetDown(false);
  GetLocationDataButtonClick(GetLocationDataButton);
  Application->ProcessMessages();
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
}

void TView2DForm::GPSarrayToMetres() {
  const T2Dview* master = GetView2DByIndx(MasterChannal);
  isGPS = false;
  if (!master) return;
  const bool first = xGPS.empty();
  const gps_track::TTrackConversion c =
      gps_track::ConvertNmeaToMetres(master->Settings()->NMEIStrings,
                                     static_cast<int>(std::min<int64_t>(master->NumTraces(), INT32_MAX)), xGPS, yGPS);
  isGPS = c.isGPS;
  if (!isGPS) return;
  if (first) {
    FastLineSeries->Clear();
    const gps_track::TTrackBox& b = c.Box;
    TChart& chart = *GPSTrekChart;
    const bool outside = b.MinY < chart.LeftAxis()->Minimum() || b.MaxY > chart.LeftAxis()->Maximum() ||
                         b.MinX < chart.TopAxis()->Minimum() || b.MaxX > chart.TopAxis()->Maximum();
    const auto fits = [](double lo, double hi) {
      return lo < hi && std::fabs(lo) < kLargestTrackCoordinate && std::fabs(hi) < kLargestTrackCoordinate;
    };
    if (outside) {
      if (fits(b.MinY, b.MaxY))
        for (TChartAxis* axis : {chart.LeftAxis(), chart.RightAxis()}) axis->SetMinMax(b.MinY, b.MaxY);
      if (fits(b.MinX, b.MaxX))
        for (TChartAxis* axis : {chart.TopAxis(), chart.BottomAxis()}) axis->SetMinMax(b.MinX, b.MaxX);
    }
    for (size_t t = 0; t < xGPS.size(); ++t) FastLineSeries->AddXY(xGPS[t], yGPS[t]);
  }
  AddMarkersAtGPSTrek();
}

void TView2DForm::AddMarkersAtGPSTrek() {
  ObjMarkSeries->Clear();
  SurfMarkSeries->Clear();
  const T2Dview* store = GetView2DByIndx(NumActiveView);
  if (xGPS.empty() || !store) return;
  const TSettingData& settings = *store->Settings();
  const auto length = static_cast<int64_t>(std::min(xGPS.size(), yGPS.size()));
  if (ShowObjectMarkers && settings.ObjectMarkersArray) {
    const TObjectMarkersData& marks = *settings.ObjectMarkersArray;
    for (int i = 0; i < marks.Count(); ++i) {
      const TObjectMarker* mark = marks.GetObjectMarker(i);
      const int64_t t = gps_track::MarkerTrackIndex(mark->GetNumTrace(), store->MinNumTraces(), length, false);
      if (t < 0) continue;
      ObjMarkSeries->AddXY(xGPS[static_cast<size_t>(t)], yGPS[static_cast<size_t>(t)], mark->GetComment(),
                           mark->GetColor());
    }
  }
  if (ShowSurfaceMarkers && settings.SurfaceMarkersArray) {
    const TSurfeMarkersData& marks = *settings.SurfaceMarkersArray;
    for (int i = 0; i < marks.Count(); ++i) {
      const TSurfaceMarker* mark = marks.GetSurfaceMarker(i);
      const int64_t t = gps_track::MarkerTrackIndex(mark->GetNumTrace(), store->MinNumTraces(), length, true);
      if (t < 0) continue;
      SurfMarkSeries->AddXY(xGPS[static_cast<size_t>(t)], yGPS[static_cast<size_t>(t)], mark->GetComment(),
                            kSurfaceMarkerColor);
    }
  }
}
