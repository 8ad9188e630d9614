// The radargram window's GPS page: live fixes on the list and the chart, the
// "Show GPS Data" button, WM_GPSDATA, and a stored profile's track with its
// markers.

#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/image.h"
#include "platform/ui/value_list_editor.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers.h"
#include "profiledata/markers_data.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar_messages.h"
#include "radargram/view2d_form.h"
#include "tests/radar/radar_test_support.h"
#include "tests/radargram/radargram_env.h"

#include <gtest/gtest.h>

namespace view2d_gps_test {

// A GGA sentence at 50 deg 30.5 min N, 39 deg 30 min E, moved by minutes of arc.
QString Gga(double northMinutes, double eastMinutes = 0, const QString& quality = QStringLiteral("1")) {
  return QStringLiteral("$GPGGA,120526.00,%1,N,%2,E,%3,08,1.2,120.0,M,0.0,M,,*48")
      .arg(5030.5 + northMinutes, 0, 'f', 5)
      .arg(3930.0 + eastMinutes, 10, 'f', 5, QLatin1Char('0'))
      .arg(quality);
}
// A click by the user: the latch first, then the handler.
void UserClick(TSpeedButton& button) {
  button.SetDown(!button.Down());
  button.Click();
}

// About 7 m of latitude in minutes of arc.
constexpr double kSevenMetresNorth = 7.0 / 1852;

struct TRange {
  double left0, left1, top0, top1;
  bool operator==(const TRange&) const = default;
};
TRange RangeOf(TChart& chart) {
  EXPECT_EQ(chart.LeftAxis()->Minimum(), chart.RightAxis()->Minimum());
  EXPECT_EQ(chart.LeftAxis()->Maximum(), chart.RightAxis()->Maximum());
  EXPECT_EQ(chart.TopAxis()->Minimum(), chart.BottomAxis()->Minimum());
  EXPECT_EQ(chart.TopAxis()->Maximum(), chart.BottomAxis()->Maximum());
  return {chart.LeftAxis()->Minimum(), chart.LeftAxis()->Maximum(), chart.TopAxis()->Minimum(),
          chart.TopAxis()->Maximum()};
}

class View2DGps : public ::testing::Test {
protected:
  void SetUp() override {
    set.AddRadarToChanal(0, &master);
    env.shell.controlRadar = &set;
    window = env.Create(1);
    env.shell.curChild = window;
    env.shell.activeChild = 1;
  }
  void TearDown() override {
    env.shell.controlRadar = nullptr;
    set.RadarNil();
  }
  QString Row(const char* key) const { return window->GPSValueListEditor->Values(QString::fromLatin1(key)); }

  TRadargramEnv env;
  TControlRadar set;
  TFakeRadar master;
  TView2DForm* window = nullptr;
};

TEST_F(View2DGps, ShowGpsDataStartsTheTrackAtTheFirstFixAndWidensTheChartAroundLaterOnes) {
  master.SetGPSstate(gpsPos);
  UserClick(*window->GetLocationDataButton);
  ASSERT_TRUE(window->GetLocationDataButton->Down());
  EXPECT_TRUE(window->isStartGetLocationData);
  EXPECT_EQ(env.shell.trekRangeWrites, 1);
  EXPECT_EQ(env.shell.trekRange, (std::array<long double, 4>{-5, 5, -5, 5}));
  EXPECT_EQ(window->FastLineSeries->SeriesColor(), clBlue);

  window->ShowGPSData(Gga(0));
  EXPECT_FALSE(window->isStartGetLocationData);
  EXPECT_EQ(Row("Latitude"), QStringLiteral("50.50833333 N"));
  EXPECT_EQ(Row("Longitude"), QStringLiteral("39.50000000 E"));
  EXPECT_EQ(Row("Quality Indicator"), QStringLiteral("GPS fix"));
  EXPECT_EQ(Row("Satellites"), QStringLiteral("08"));
  EXPECT_EQ(Row("Precision"), QStringLiteral("1.2"));
  EXPECT_TRUE(window->GPSReciveImage->Animate());
  ASSERT_EQ(window->PointSeries->Count(), 1);
  EXPECT_NEAR(window->PointSeries->XValue(0), 0, 1e-6);
  EXPECT_NEAR(window->PointSeries->YValue(0), 0, 1e-6);
  EXPECT_EQ(window->PointSeries->SeriesColor(), clBlue);

  // About 7 m north: 2 m over the range's 5, so both maxima grow by 5.
  window->ShowGPSData(Gga(kSevenMetresNorth, 0, QStringLiteral("2")));
  EXPECT_EQ(Row("Quality Indicator"), QStringLiteral("DGPS fix"));
  EXPECT_NEAR(window->PointSeries->YValue(0), 7, 0.1);
  EXPECT_EQ(RangeOf(*window->GPSTrekChart), (TRange{-5, 10, -5, 10}));
  EXPECT_EQ(window->FastLineSeries->Count(), 2);

  // Paused with a position: the point moves, the track stays.
  env.shell.pausedWithGPS = true;
  window->ShowGPSData(Gga(2 * kSevenMetresNorth));
  EXPECT_EQ(window->FastLineSeries->Count(), 2);
  EXPECT_NEAR(window->PointSeries->YValue(0), 14, 0.1);
  EXPECT_EQ(RangeOf(*window->GPSTrekChart), (TRange{-5, 15, -5, 15}));

  // With the button up the chart follows only a recording; the point turns red.
  env.shell.pausedWithGPS = false;
  UserClick(*window->GetLocationDataButton);
  ASSERT_FALSE(window->GetLocationDataButton->Down());
  env.shell.radarStarted = true;
  window->ShowGPSData(Gga(kSevenMetresNorth));
  EXPECT_EQ(window->PointSeries->SeriesColor(), clRed);
}

TEST_F(View2DGps, ASentenceWithoutFieldsOrPositionChangesNothingButTheAnimation) {
  UserClick(*window->GetLocationDataButton);
  window->ShowGPSData(Gga(0));
  const QStringList rows = window->GPSValueListEditor->Strings();
  const int points = window->FastLineSeries->Count();
  master.SetGPSstate(gpsOn);
  window->GPSReciveImage->SetAnimate(true);
  for (const QString& sentence : {QStringLiteral("$GPGGA,120526.00,5030.50000,N,03930.00000,E,1,08"),
                                  QStringLiteral("$GPGGA,120526.00,,N,03930.00000,E,1,08,1.2,120.0,M,0.0,M,,*48"),
                                  QStringLiteral("$GPGGA,120526.00,5030.50000,N,,E,1,08,1.2,120.0,M,0.0,M,,*48")}) {
    window->ShowGPSData(sentence);
    EXPECT_EQ(window->GPSValueListEditor->Strings(), rows) << sentence.toStdString();
    EXPECT_EQ(window->FastLineSeries->Count(), points) << sentence.toStdString();
  }
  EXPECT_FALSE(window->GPSReciveImage->Animate()) << "a receiver without a position";

  // Without a current radargram window nothing is shown at all.
  env.shell.curChild = nullptr;
  window->ShowGPSData(Gga(kSevenMetresNorth));
  EXPECT_EQ(window->FastLineSeries->Count(), points);
}

TEST_F(View2DGps, WmGpsDataShowsTheMasterRadarsLastSentence) {
  master.SetGPSstate(gpsNone);
  master.SetLastNMEA(Gga(0));
  PostMessage(window->Handle(), WM_GPSDATA, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(Row("Latitude"), QStringLiteral("50.50833333 N"));
  EXPECT_EQ(Row("Quality Indicator"), QStringLiteral("Not fix")) << "a receiver without a state";
  EXPECT_EQ(Row("Satellites"), QString());

  // A short text only drives the animation.
  master.SetGPSstate(gpsPos);
  master.SetLastNMEA(QStringLiteral("$GPGGA,,,,,,0,,,*66"));
  PostMessage(window->Handle(), WM_GPSDATA, 0, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(window->GPSReciveImage->Animate());
  EXPECT_EQ(Row("Quality Indicator"), QStringLiteral("Not fix"));
}

TEST_F(View2DGps, TheButtonActsOnlyForAnActiveWindowAndStaysDownAfterAPauseWithPosition) {
  env.shell.activeChild = 0;
  UserClick(*window->GetLocationDataButton);
  EXPECT_EQ(env.shell.trekRangeWrites, 0);
  EXPECT_FALSE(window->isStartGetLocationData);

  env.shell.activeChild = 1;
  env.shell.pausedWithGPS = true;
  window->GetLocationDataButton->SetDown(false);
  window->GetLocationDataButton->SetEnabled(false);
  window->GetLocationDataButtonClick(window->GetLocationDataButton);
  EXPECT_TRUE(window->GetLocationDataButton->Down());
  EXPECT_TRUE(window->GetLocationDataButton->Enabled());
  EXPECT_EQ(env.shell.trekRangeWrites, 0);

  // Starting a recording releases it and resets the live range.
  env.shell.pausedWithGPS = false;
  window->StopLocationDataGPS();
  EXPECT_FALSE(window->GetLocationDataButton->Down());
  EXPECT_EQ(env.shell.trekRangeWrites, 1);
  EXPECT_EQ(window->FastLineSeries->SeriesColor(), clRed);
}

TEST_F(View2DGps, AStoredTrackFillsTheChartAndCarriesTheActiveChannelsMarkers) {
  T2Dview& store = *window->GetView2DByIndx(0);
  store.SetMinNumTraces(0);
  store.SetMaxNumTraces(15);
  TSettingData& s = *store.Settings();
  s.NMEIStrings = QStringList{QStringLiteral("1=") + Gga(0), QStringLiteral("11=") + Gga(0.01, 0.02)};
  s.SurfaceMarkersArray->Add(0, 20, QStringLiteral("far"));
  s.ObjectMarkersArray->Add(0, clGreen, QStringLiteral("gone"), 10, 20);
  s.ObjectMarkersArray->Add(0, clPurple, QStringLiteral("pipe"), 10, 3);

  window->GPSarrayToMetres();
  EXPECT_TRUE(window->isGPS);
  ASSERT_EQ(window->xGPS.size(), 15u);
  ASSERT_EQ(window->FastLineSeries->Count(), 15);
  EXPECT_EQ(window->FastLineSeries->XValue(14), window->xGPS[14]);
  // The chart is fitted to the squared box around the track.
  const TRange r = RangeOf(*window->GPSTrekChart);
  EXPECT_NEAR(r.top1 - r.top0, r.left1 - r.left0, 1e-6);
  EXPECT_NEAR(r.top0, -1, 1e-9);
  EXPECT_GT(r.top1, window->xGPS[14]);

  ASSERT_EQ(window->SurfMarkSeries->Count(), 1);
  EXPECT_EQ(window->SurfMarkSeries->XValue(0), window->xGPS[14]) << "past the end: on the last point";
  EXPECT_EQ(window->SurfMarkSeries->Label(0), QStringLiteral("far"));
  EXPECT_EQ(window->SurfMarkSeries->ValueColor(0), clYellow);
  ASSERT_EQ(window->ObjMarkSeries->Count(), 1) << "an object marker past the end is left out";
  EXPECT_EQ(window->ObjMarkSeries->XValue(0), window->xGPS[3]);
  EXPECT_EQ(window->ObjMarkSeries->Label(0), QStringLiteral("pipe"));
  EXPECT_EQ(window->ObjMarkSeries->ValueColor(0), clPurple);

  // A visibility switch and the refresh the marker frames call.
  window->ShowSurfaceMarkers = false;
  window->AddMarkersAtGPSTrek();
  EXPECT_EQ(window->SurfMarkSeries->Count(), 0);
  EXPECT_EQ(window->ObjMarkSeries->Count(), 1);

  // Later traces extend the arrays; the chart keeps its range and track.
  store.SetMaxNumTraces(18);
  window->GPSarrayToMetres();
  EXPECT_EQ(window->xGPS.size(), 18u);
  EXPECT_EQ(window->FastLineSeries->Count(), 15);
  EXPECT_EQ(RangeOf(*window->GPSTrekChart), r);

  // One line is no track: the arrays stay as they were.
  s.NMEIStrings = QStringList{QStringLiteral("1=") + Gga(0)};
  store.SetMaxNumTraces(25);
  window->GPSarrayToMetres();
  EXPECT_FALSE(window->isGPS);
  EXPECT_EQ(window->xGPS.size(), 18u);
}

TEST_F(View2DGps, TheActiveChannelsMarkersFollowAChangeOfChannel) {
  env.shell.controlRadar = nullptr;
  TView2DForm* w = env.Create(2);
  for (int c = 0; c < 2; ++c) {
    T2Dview& store = *w->GetView2DByIndx(c);
    store.SetMinNumTraces(0);
    store.SetMaxNumTraces(12);
  }
  TSettingData& master = *w->GetView2DByIndx(0)->Settings();
  master.NMEIStrings = QStringList{QStringLiteral("1=") + Gga(0), QStringLiteral("12=") + Gga(0.01)};
  master.ObjectMarkersArray->Add(0, clGreen, QStringLiteral("master"), 5, 2);
  w->GetView2DByIndx(1)->Settings()->ObjectMarkersArray->Add(0, clPurple, QStringLiteral("second"), 5, 6);
  w->GPSarrayToMetres();
  ASSERT_EQ(w->ObjMarkSeries->Count(), 1);
  EXPECT_EQ(w->ObjMarkSeries->Label(0), QStringLiteral("master"));

  w->SetActiveView(w->Chart_[1]);
  ASSERT_EQ(w->ObjMarkSeries->Count(), 1);
  EXPECT_EQ(w->ObjMarkSeries->Label(0), QStringLiteral("second"));
  EXPECT_EQ(w->ObjMarkSeries->XValue(0), w->xGPS[6]) << "on the master channel's track";
  w->Free();
}

TEST_F(View2DGps, OpeningAProfileWithATrackDrawsItOnTheChart) {
  env.shell.controlRadar = nullptr;
  const QString file = env.dir.filePath(QStringLiteral("track.dezo"));
  {
    TView2DForm* writer = env.Create(1);
    T2Dview& store = *writer->GetView2DByIndx(0);
    TSettingData& s = *store.Settings();
    s.RestoreLongTrace(8);
    const int64_t bytes = int64_t{20} * 8 * 4;
    store.RawData.Allocate(bytes);
    store.dezoData.Allocate(bytes);
    for (int64_t i = 0; i < bytes / 4; ++i) store.RawData.Data()[i] = static_cast<int32_t>(i % 13);
    store.SetMinNumTraces(0);
    store.SetMaxNumTraces(20);
    store.SetSizeDat(bytes);
    s.NMEIStrings = QStringList{QStringLiteral("1=") + Gga(0), QStringLiteral("20=") + Gga(0.02, 0.01)};
    ASSERT_TRUE(store.WriteToFile(file));
    writer->Free();
  }
  env.shell.newCreate = false;
  TView2DForm* w = env.Create(5);
  w->ReadFromFile(file);
  EXPECT_TRUE(w->isGPS);
  EXPECT_EQ(w->xGPS.size(), 20u);
  EXPECT_EQ(w->FastLineSeries->Count(), 20);
  EXPECT_GT(w->GPSTrekChart->LeftAxis()->Maximum(), w->yGPS[19]);
  w->Free();
}

}  // namespace view2d_gps_test
