// The main window's status bar and info panel: the panels and their widths,
// the voltage, GPS and link panels drawn from the master radar as they show
// in the real bar, and the info boxes' texts and placing.

#include "acquisition/main_form.h"

#include "acquisition/main_info_panel.h"
#include "acquisition/main_status_bar.h"
#include "acquisition/topo_pictures.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image.h"
#include "platform/ui/menus.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/status_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radar/control_radar.h"
#include "radar/radar_usb.h"
#include "radar/radar_w.h"
#include "radargram/view2d_form.h"
#include "tests/support/qstring_print.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

namespace main_window_status_test {

class MainWindowStatus : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    SetProgramFolder(dir.path() + u'/');
    CreateMainWindow();
    ASSERT_NE(MainWindow, nullptr);
    MainWindow->SetBounds(0, 0, 900, 600);
    MainWindow->Show();
    Application->ProcessMessages();
    bar = MainWindow->StatusBar;
    ASSERT_NE(bar, nullptr);
  }
  void TearDown() override {
    if (MainWindow) {
      MainWindow->SetCurrentRadar(nullptr);
      if (radar) MainWindow->ControlRadar()->RemoveRadar(radar.get());
    }
    radar.reset();
    if (MainWindow) MainWindow->Free();
    SetProgramFolder(QString());
  }
  // A radar that talks to nothing (no port, no peer), made the master radar
  // and put into slot 0 of the window's set.
  template <class T>
  void UseRadar(std::unique_ptr<T> made, bool inSlot = true) {
    radar = std::move(made);
    if (inSlot) MainWindow->ControlRadar()->AddRadarToChanal(0, radar.get());
    MainWindow->SetCurrentRadar(radar.get());
  }
  // A serial radar whose port does not exist: it says so once and stays idle.
  static std::unique_ptr<TRadarUsb> UsbRadar() {
    TUnexpectedDialogRecorder noPort;
    auto made = std::make_unique<TRadarUsb>(nullptr, QStringLiteral("/nonexistent/ttyACM9"));
    EXPECT_EQ(noPort.Descriptions().size(), 1u);
    return made;
  }
  // Whether panel `index` of the bar shows exactly the bitmap at its top-left corner.
  bool PanelShows(int index, TBitmap& expected) {
    bar->Repaint();
    Application->ProcessMessages();
    const TRect rect = bar->PanelRect(index);
    for (int y = 0; y < expected.Height(); ++y)
      for (int x = 0; x < expected.Width(); ++x)
        if (bar->Canvas()->Pixels(rect.Left + x, rect.Top + y) != expected.Canvas()->Pixels(x, y)) {
          ADD_FAILURE() << "panel " << index << " differs at " << x << ", " << y;
          return false;
        }
    return true;
  }
  bool PanelShows(int index, TStatusPicture picture) {
    TBitmap expected;
    DrawStatusPicture(expected, picture);
    return PanelShows(index, expected);
  }
  // Nothing drawn in the panel: the bar's own colour throughout.
  bool PanelBlank(int index) {
    bar->Repaint();
    Application->ProcessMessages();
    const TRect rect = bar->PanelRect(index);
    const TColor back = bar->Canvas()->Pixels(rect.Left, rect.Top);
    for (int y = rect.Top; y < rect.Bottom; ++y)
      for (int x = rect.Left; x < rect.Right; ++x)
        if (bar->Canvas()->Pixels(x, y) != back) return false;
    return true;
  }

  QTemporaryDir dir;
  TStatusBar* bar = nullptr;
  std::unique_ptr<TRadar> radar;
};

TEST_F(MainWindowStatus, TheBarHasItsFourPanelsAtTheBottom) {
  ASSERT_EQ(bar->PanelCount(), 4);
  const int widths[] = {300, 45, 45, 50};
  const TStatusPanelStyle styles[] = {psOwnerDraw, psOwnerDraw, psOwnerDraw, psText};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(bar->Panel(i).Width, widths[i]) << i;
    EXPECT_EQ(bar->Panel(i).Style, styles[i]) << i;
  }
  EXPECT_EQ(bar->Top() + bar->Height(), MainWindow->ClientHeight());
  // The status text reaches panel 3.
  MainWindow->ShowStatusGPR();
  MainWindow->DelDeviceAndNil();
  EXPECT_EQ(bar->Panel(3).Text, MainWindow->StatusGprText());
  EXPECT_FALSE(bar->Panel(3).Text.isEmpty());
}

TEST_F(MainWindowStatus, TheVoltagePanelShowsTheMasterRadarsSupply) {
  UseRadar(UsbRadar());
  const TRect rect = bar->PanelRect(0);
  const int width = rect.Right - rect.Left;
  const int height = rect.Bottom - rect.Top;
  ASSERT_EQ(width, 300);

  radar->SetPower(12.0);
  TBitmap expected;
  DrawVoltagePanel(expected, width, height, VoltageShown(0, 12.0L, radar->PowerStr()));
  EXPECT_TRUE(PanelShows(0, expected));
  // The bar ends at round(300 x 1.2 / 2.3) = 157.
  EXPECT_EQ(expected.Canvas()->Pixels(156, 0), static_cast<TColor>(VoltageFullColor));
  EXPECT_EQ(expected.Canvas()->Pixels(157, 0), static_cast<TColor>(VoltageEmptyColor));

  // A type whose supply is not measured: a full bar, and the radar's own
  // power is left as it reported it.
  radar->SetRadarType(static_cast<TTypeGPR>(41));
  DrawVoltagePanel(expected, width, height, VoltageShown(41, 12.0L, radar->PowerStr()));
  EXPECT_TRUE(PanelShows(0, expected));
  EXPECT_EQ(bar->Canvas()->Pixels(rect.Left + 299, rect.Top), static_cast<TColor>(VoltageFullColor));
  EXPECT_DOUBLE_EQ(radar->Power(), 12.0);

  // No power reported: the panel is not drawn.
  radar->SetPower(0);
  EXPECT_TRUE(PanelBlank(0));
}

TEST_F(MainWindowStatus, TheGpsPanelSwitchesWithTheRadarsGpsState) {
  // No radar: nothing in the GPS panel, "not connected" for the link.
  EXPECT_TRUE(PanelBlank(1));
  EXPECT_TRUE(PanelShows(2, TStatusPicture::NotConnected));

  UseRadar(UsbRadar());
  const std::pair<TtypeGPSstate, TStatusPicture> states[] = {
      {gpsNone, TStatusPicture::NotConnected}, {gpsOn, TStatusPicture::GpsLost}, {gpsPos, TStatusPicture::GpsConnect}};
  for (const auto& [gps, picture] : states) {
    radar->SetGPSstate(gps);
    EXPECT_TRUE(PanelShows(1, picture)) << static_cast<int>(gps);
  }
  EXPECT_TRUE(PanelShows(2, TStatusPicture::Usb));
  // The master radar outside the set's slots.
  MainWindow->ControlRadar()->RemoveRadar(radar.get());
  EXPECT_TRUE(PanelShows(1, TStatusPicture::NotConnected));
}

TEST_F(MainWindowStatus, TheLinkPanelShowsAWiFiRadarsConnection) {
  // Port 0 on loopback: the radar's link never comes up by itself.
  UseRadar(std::make_unique<TRadarW>(nullptr, QStringLiteral("127.0.0.1"), 0));
  radar->isConnected = false;
  EXPECT_TRUE(PanelShows(2, TStatusPicture::WifiRed));
  radar->isConnected = true;
  EXPECT_TRUE(PanelShows(2, TStatusPicture::WifiGreen));
  radar->isConnected = false;
}

TEST_F(MainWindowStatus, TheInfoBoxesSitAtTheRightEdgeAndTakeTheTexts) {
  TInfoPanel& info = *MainWindow->InfoPanel;
  // No window: the large box is hidden and cut at its cursor column.
  MainWindow->UpdateInfoPanel();
  EXPECT_FALSE(info.InfoGroupBoxLarge->Visible());
  EXPECT_FALSE(info.InfoGroupBoxSmall->Visible());
  EXPECT_EQ(info.InfoGroupBoxLarge->Width(), info.LabelcmCursor_mLarge->Left());
  EXPECT_EQ(info.InfoGroupBoxLarge->Left(), MainWindow->ClientWidth() - info.InfoGroupBoxLarge->Width());
  EXPECT_EQ(info.InfoGroupBoxLarge->Top(), -2);

  // With a window: full widths, the unit, and the placing follows a resize.
  TInfoPanelSource source;
  source.HasWindow = true;
  source.DistanceInMetres = true;
  info.InfoGroupBoxLarge->SetVisible(true);
  info.Check(source);
  EXPECT_EQ(info.InfoGroupBoxLarge->Width(), 304);
  EXPECT_EQ(info.InfoGroupBoxSmall->Width(), 371);
  EXPECT_EQ(info.Label_m_tr->Text(), QStringLiteral(", m"));
  source.DistanceInMetres = false;
  info.Check(source);
  EXPECT_EQ(info.LabelSmall_m_tr->Text(), QStringLiteral(" trace"));
  MainWindow->SetBounds(0, 0, 1000, 600);
  Application->ProcessMessages();
  EXPECT_EQ(info.InfoGroupBoxLarge->Left(), MainWindow->ClientWidth() - 304);
  EXPECT_EQ(info.InfoGroupBoxSmall->Left(), MainWindow->ClientWidth() - 371);
  EXPECT_EQ(info.InfoGroupBoxSmall->Top(), -2);

  // The texts go to the visible large box only.
  MainWindow->DispInfo(QStringLiteral("12.5 ns"), QStringLiteral("0.63 m"), QStringLiteral("140"),
                       QStringLiteral("7.00 m"));
  EXPECT_EQ(info.LabelY_nsLarge->Text(), QStringLiteral("12.5 ns"));
  EXPECT_EQ(info.LabelY_mLarge->Text(), QStringLiteral("0.63 m"));
  EXPECT_EQ(info.LabelX_trLarge->Text(), QStringLiteral("140"));
  EXPECT_EQ(info.LabelX_mLarge->Text(), QStringLiteral("7.00 m"));
  EXPECT_TRUE(info.LabelY_nsSmall->Text().isEmpty());
  MainWindow->DispCmCursor(QStringLiteral("3.20"));
  EXPECT_EQ(info.LabelcmCursor_mLarge->Text(), QStringLiteral("3.20"));
  // An empty distance leaves the large box's text.
  MainWindow->DispCmCursor(QString());
  EXPECT_EQ(info.LabelcmCursor_mLarge->Text(), QStringLiteral("3.20"));

  // Only the small box visible: the texts go there.
  info.InfoGroupBoxLarge->SetVisible(false);
  info.InfoGroupBoxSmall->SetVisible(true);
  MainWindow->DispInfo(QStringLiteral("1 ns"), QStringLiteral("2 m"), QStringLiteral("3"), QStringLiteral("4 m"));
  MainWindow->DispCmCursor(QStringLiteral("5"));
  EXPECT_EQ(info.LabelY_nsSmall->Text(), QStringLiteral("1 ns"));
  EXPECT_EQ(info.LabelX_mSmall->Text(), QStringLiteral("4 m"));
  EXPECT_EQ(info.LabelcmCursor_mSmall->Text(), QStringLiteral("5"));
  EXPECT_EQ(info.LabelY_nsLarge->Text(), QStringLiteral("12.5 ns"));
}


TEST_F(MainWindowStatus, TheInfoPanelFollowsTheActiveWindow) {
  MainWindow->CreateActionExecute();
  TView2DForm* window = dynamic_cast<TView2DForm*>(MainWindow->ActiveMDIChild());
  ASSERT_NE(window, nullptr);
  TSettingData& settings = *window->GetView2DByIndx(window->MasterChannal)->Settings();
  TInfoPanel& info = *MainWindow->InfoPanel;
  struct TCase {
    TRunMode mode;
    TTopoType topo;
    bool metres;
    TTopoType pictured;
    const char* unit;
  };
  const TCase cases[] = {{rmWheel, ttGPS, true, ttGPS, ", m"},
                         {rmWheel, ttOdometerB, false, ttOdometerB, " trace"},
                         {rmCont, ttOdometerB, true, ttNil, ", m"}};
  for (const TCase& c : cases) {
    settings.SetRunMode(c.mode);
    settings.SetTopoType(c.topo);
    window->DistanceMenu->SetChecked(c.metres);
    MainWindow->UpdateInfoPanel();
    EXPECT_TRUE(info.InfoGroupBoxLarge->Visible());
    EXPECT_FALSE(info.InfoGroupBoxSmall->Visible());
    EXPECT_EQ(info.InfoGroupBoxLarge->Width(), 304);
    EXPECT_EQ(info.InfoGroupBoxLarge->Left(), MainWindow->ClientWidth() - 304);
    EXPECT_EQ(info.Label_m_tr->Text(), QString::fromLatin1(c.unit));
    TBitmap expected;
    DrawTopoPicture(c.pictured, expected);
    TBitmap& shown = *info.TopoDeviceImage->Picture();
    ASSERT_EQ(shown.Width(), expected.Width());
    bool same = true;
    for (int y = 0; y < expected.Height() && same; ++y)
      for (int x = 0; x < expected.Width() && same; ++x)
        same = shown.Canvas()->Pixels(x, y) == expected.Canvas()->Pixels(x, y);
    EXPECT_TRUE(same) << static_cast<int>(c.topo);
  }
}

// The menu update, run on every change of the active window, shows the large
// box while a window is open and hides it when the last one goes.
TEST_F(MainWindowStatus, TheLargeInfoBoxShowsWhileAWindowIsOpen) {
  TInfoPanel& info = *MainWindow->InfoPanel;
  MainWindow->Updatemenu();
  EXPECT_FALSE(info.InfoGroupBoxLarge->Visible());
  MainWindow->CreateActionExecute();
  auto* window = dynamic_cast<TView2DForm*>(MainWindow->ActiveMDIChild());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(info.InfoGroupBoxLarge->Visible());
  EXPECT_FALSE(info.InfoGroupBoxSmall->Visible());
  EXPECT_EQ(info.InfoGroupBoxLarge->Width(), 304);
  window->Free();
  EXPECT_FALSE(info.InfoGroupBoxLarge->Visible());
}

}  // namespace main_window_status_test
