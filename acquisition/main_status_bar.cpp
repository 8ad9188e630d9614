#include "acquisition/main_status_bar.h"

#include "acquisition/main_form.h"
#include "acquisition/main_info_panel.h"
#include "platform/rtl/rounding.h"
#include "platform/ui/status_bar.h"
#include "radar/control_radar.h"
#include "radar/radar.h"
#include "radar/radar_set.h"
#include "radar/radar_usb.h"
#include "radar/radar_w.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/graphics.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace {

constexpr long double kEmptyVolts = 10.8L;
constexpr long double kRangeVolts = 2.3L;
constexpr long double kFullVolts = 13.1L;

}  // namespace

TVoltageShown VoltageShown(int typeGprOrdinal, long double power, const QString& powerStr) {
  if (typeGprOrdinal == 41 || typeGprOrdinal == 45)
    return {kFullVolts, QStringLiteral("5.0") + LoadResString(SVoltUnit)};
  return {power, powerStr + LoadResString(SVoltUnit)};
}

int VoltageBarEnd(int width, long double power) {
  const int64_t x = Round(static_cast<long double>(width) * (power - kEmptyVolts) / kRangeVolts);
  // A voltage outside the range gives an empty or a full bar.
  return static_cast<int>(std::clamp<int64_t>(x, 0, std::max(width, 0)));
}

void DrawVoltagePanel(TBitmap& bitmap, int width, int height, const TVoltageShown& shown) {
  bitmap.SetSize(width, height);
  TCanvas& canvas = *bitmap.Canvas();
  const int end = VoltageBarEnd(width, shown.Power);
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Pen()->SetColor(static_cast<TColor>(VoltageFullColor));
  canvas.Brush()->SetColor(static_cast<TColor>(VoltageFullColor));
  if (end > 0) canvas.FillRect({0, 0, end, height});
  canvas.Pen()->SetColor(static_cast<TColor>(VoltageEmptyColor));
  canvas.Brush()->SetColor(static_cast<TColor>(VoltageEmptyColor));
  if (end < width) canvas.FillRect({end, 0, width, height});
  canvas.Font()->SetName(QStringLiteral("Arial"));
  canvas.Font()->SetSize(14);
  canvas.Font()->SetStyle(TFontStyles{fsBold});
  canvas.Brush()->SetStyle(bsClear);
  const int left = RoundToInt32((width - canvas.TextWidth(shown.Text)) / 2.0);
  const int top = RoundToInt32((height - canvas.TextHeight(shown.Text)) / 2.0);
  canvas.TextOut(left, top, shown.Text);
}

TStatusPicture GpsPanelPicture(const TGpsPanelState& state) {
  if (state.CheckRunning || !state.HasMaster || !state.HasControl) return TStatusPicture::None;
  if (!state.MasterInSlot) return TStatusPicture::NotConnected;
  switch (state.Gps) {
    case gpsOn:
      return TStatusPicture::GpsLost;
    case gpsPos:
      return TStatusPicture::GpsConnect;
    case gpsNone:
    default:
      return TStatusPicture::NotConnected;
  }
}

TStatusPicture LinkPanelPicture(TRadarLinkKind kind, bool connected) {
  switch (kind) {
    case TRadarLinkKind::Serial:
      return TStatusPicture::Usb;
    case TRadarLinkKind::WiFi:
      return connected ? TStatusPicture::WifiGreen : TStatusPicture::WifiRed;
    case TRadarLinkKind::None:
    default:
      return TStatusPicture::NotConnected;
  }
}

namespace {

constexpr TColor kPictureBack = 0x00F0F0F0;
constexpr TColor kDarkGrey = 0x00505050;
constexpr TColor kRed = 0x002020D0;
constexpr TColor kGreen = 0x0030A030;
constexpr TColor kAmber = 0x0000A0F0;
constexpr TColor kBlue = 0x00C06020;

void Solid(TCanvas& canvas, TColor color) {
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(color);
  canvas.Pen()->SetColor(color);
}

// A thick line made of filled squares along the segment.
void ThickLine(TCanvas& canvas, int x1, int y1, int x2, int y2, TColor color) {
  Solid(canvas, color);
  const int steps = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
  for (int i = 0; i <= steps; ++i) {
    const int x = x1 + (steps ? (x2 - x1) * i / steps : 0);
    const int y = y1 + (steps ? (y2 - y1) * i / steps : 0);
    canvas.FillRect({x - 1, y - 1, x + 1, y + 1});
  }
}

// A satellite: a body with two solar wings, in the state's colour.
void Satellite(TCanvas& canvas, TColor color) {
  Solid(canvas, color);
  canvas.FillRect({7, 7, 13, 13});
  canvas.FillRect({1, 8, 6, 12});
  canvas.FillRect({14, 8, 19, 12});
  Solid(canvas, kDarkGrey);
  canvas.FillRect({9, 13, 11, 17});
}

// Three arcs over a dot, drawn as rings cut by the background.
void WiFiFan(TCanvas& canvas, TColor color) {
  for (int r = 9; r >= 3; r -= 3) {
    Solid(canvas, color);
    canvas.Ellipse(10 - r, 17 - r, 10 + r, 17 + r);
    Solid(canvas, kPictureBack);
    canvas.Ellipse(12 - r, 19 - r, 8 + r, 15 + r);
  }
  Solid(canvas, kPictureBack);
  canvas.FillRect({0, 16, StatusPictureSize, StatusPictureSize});
  Solid(canvas, color);
  canvas.FillRect({8, 15, 12, 19});
}

}  // namespace

void DrawStatusPicture(TBitmap& bitmap, TStatusPicture picture) {
  if (picture == TStatusPicture::None) {
    bitmap.SetSize(0, 0);
    return;
  }
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(StatusPictureSize, StatusPictureSize);
  TCanvas& canvas = *bitmap.Canvas();
  Solid(canvas, kPictureBack);
  canvas.FillRect({0, 0, StatusPictureSize, StatusPictureSize});
  switch (picture) {
    case TStatusPicture::NotConnected:
      // A plug with a red cross over it.
      Solid(canvas, kDarkGrey);
      canvas.FillRect({6, 4, 14, 12});
      canvas.FillRect({7, 1, 9, 4});
      canvas.FillRect({11, 1, 13, 4});
      canvas.FillRect({9, 12, 11, 19});
      ThickLine(canvas, 3, 3, 16, 16, kRed);
      ThickLine(canvas, 16, 3, 3, 16, kRed);
      break;
    case TStatusPicture::GpsLost:
      Satellite(canvas, kAmber);
      ThickLine(canvas, 3, 16, 16, 3, kRed);
      break;
    case TStatusPicture::GpsConnect:
      Satellite(canvas, kGreen);
      break;
    case TStatusPicture::Usb:
      // The trident of a USB plug.
      ThickLine(canvas, 10, 2, 10, 17, kBlue);
      ThickLine(canvas, 10, 12, 5, 7, kBlue);
      ThickLine(canvas, 10, 9, 15, 6, kBlue);
      Solid(canvas, kBlue);
      canvas.Ellipse(7, 15, 13, 20);
      canvas.FillRect({3, 4, 7, 8});
      canvas.Ellipse(13, 3, 18, 8);
      break;
    case TStatusPicture::WifiGreen:
      WiFiFan(canvas, kGreen);
      break;
    case TStatusPicture::WifiRed:
      WiFiFan(canvas, kRed);
      break;
    case TStatusPicture::None:
      break;
  }
  canvas.Flush();
}

// ---- The main window's status bar ------------------------------------------------------

void DUvova3DuruZuza::CreateStatusBarAndInfoPanel() {
  StatusBar = TComponent::Create<TStatusBar>(this);
  StatusBar->SetParent(this);
  StatusBar->Font()->SetName(QStringLiteral("Arial"));
  StatusBar->Font()->SetHeight(-19);
  StatusBar->AddPanel(300, psOwnerDraw);
  StatusBar->AddPanel(45, psOwnerDraw);
  StatusBar->AddPanel(45, psOwnerDraw);
  StatusBar->AddPanel(50, psText);
  StatusBar->OnDrawPanel = [this](TStatusBar& bar, int index, const TRect& rect) {
    StatusBarDrawPanel(bar, index, rect);
  };
  InfoPanel = std::make_unique<TInfoPanel>(this);
  OnResize = [this](TObject*) { FormResize(); };
}

void DUvova3DuruZuza::RefreshStatusBar() {
  if (!StatusBar) return;
  StatusBar->SetPanelText(3, StatusGprText_);
  StatusBar->Invalidate();
}

void DUvova3DuruZuza::StatusBarDrawPanel(TStatusBar& bar, int index, const TRect& rect) {
  TCanvas& canvas = *bar.Canvas();
  TRadar* master = radar_;
  TBitmap picture;
  switch (index) {
    case 0: {
      if (!master) return;
      long double power = 0;
      QString powerStr;
      {
        std::lock_guard paint(master->SectPaint);
        power = master->Power();
        powerStr = master->PowerStr();
      }
      if (!(power > 0)) return;
      // The types whose supply is not measured show a full bar; the radar's
      // own power stays as the radar reported it.
      const TVoltageShown shown = VoltageShown(static_cast<int>(master->RadarType()), power, powerStr);
      DrawVoltagePanel(picture, rect.Right - rect.Left, rect.Bottom - rect.Top, shown);
      break;
    }
    case 1: {
      TGpsPanelState state;
      state.CheckRunning = isCheckDeviceRunned_;
      state.HasMaster = master != nullptr;
      state.HasControl = radarSet_ != nullptr;
      if (state.HasMaster && state.HasControl) {
        state.MasterInSlot = radarSet_->ControlRadar.isPresentRadar(master);
        std::lock_guard paint(master->SectPaint);
        state.Gps = master->GPSstate();
      }
      DrawStatusPicture(picture, GpsPanelPicture(state));
      break;
    }
    case 2: {
      TRadarLinkKind kind = TRadarLinkKind::None;
      bool connected = false;
      if (dynamic_cast<TRadarUsb*>(master)) {
        kind = TRadarLinkKind::Serial;
      } else if (dynamic_cast<TRadarW*>(master)) {
        kind = TRadarLinkKind::WiFi;
        connected = master->isConnected;
      }
      DrawStatusPicture(picture, LinkPanelPicture(kind, connected));
      break;
    }
    default:
      return;
  }
  if (picture.Width() > 0 && picture.Height() > 0) canvas.Draw(rect.Left, rect.Top, picture);
}
