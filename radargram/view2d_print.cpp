// The radargram window's outputs of its pictures: printing each channel alone
// on a landscape page with a footer of its settings, and writing each channel
// with its axes as a bitmap file.

#include "radargram/view2d_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/chart.h"
#include "platform/ui/cursors.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/printers.h"
#include "platform/ui/scroll_bar.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/profile_names.h"
#include "raster/bitmap32.h"

#include <exception>

RESOURCESTRING(SPrintFile, "File: ");
RESOURCESTRING(SPrintGprModel, "GPR Model=%s");
RESOURCESTRING(SPrintWindowDepth, "Window Depth=%s m");
RESOURCESTRING(SPrintWindowWidth, "Window Width=%5.2f ns");
RESOURCESTRING(SPrintSamples, "Samples= %d");
RESOURCESTRING(SPrintStacking, "Stacking=%d");
RESOURCESTRING(SPrintWaveSpeed, "Wave Speed=%d m/\u00B5s");
RESOURCESTRING(SPrintComments, "Comments: %s");
RESOURCESTRING(SBitmapNotWritten, "The bitmap file %s could not be written.\n%s");

namespace {

constexpr TColor kActiveChartColor = static_cast<TColor>(0xD1D1FF);
constexpr uint8_t kClearIndex = 127;
constexpr int kFooterTop = 50;

// The page rectangle of a chart of clientWidth x clientHeight on a page of
// pw x ph printer pixels: the largest of its proportions inside the margins
// (left and right pw / 15, top ph / 8, bottom ph / 10).
TRect PrintRect(int pw, int ph, int clientWidth, int clientHeight) {
  const int aw = pw - 2 * (pw / 15);
  const int ah = ph - ph / 8 - ph / 10;
  const long double r = clientHeight > 0 ? static_cast<long double>(clientWidth) / clientHeight : 1.0L;
  int w = aw, h = ah;
  if (ah > 0 && r <= static_cast<long double>(aw) / ah)
    w = static_cast<int>(Round(r * ah));
  else
    h = r > 0 ? static_cast<int>(Round(aw / r)) : ah;
  return Bounds(pw / 15, ph / 8, w, h);
}

// What the chart occupies around its plotting area.
int ChartFrameWidth(TChart& chart) { return chart.Width() - chart.ChartRect().Width(); }
int ChartFrameHeight(TChart& chart) { return chart.Height() - chart.ChartRect().Height(); }

}  // namespace

void TView2DForm::PrintView2D(TPrinter& printer) {
  for (int i = 0; i < kChannelSlots; ++i) {
    const auto s = static_cast<size_t>(i);
    T2Dview* store = View2D_[s];
    TChart* chart = Chart_[s];
    TBitmap* bmp = Bmp_[s].get();
    if (!bmp || bmp->Width() <= 0 || !store || !chart) continue;
    const TSettingData& settings = *store->Settings();

    NumChartSizeToWindow = i;
    ChartResizeAndVisible();
    Screen->SetCursor(crHourGlass);
    const int horPosition = HorScrollBar->Position();
    const int vertPosition = VertScrollBar->Position();
    // The layout comes back however the job ends.
    struct TRestore {
      TView2DForm& form;
      TChart& chart;
      int hor, vert;
      ~TRestore() {
        Screen->SetCursor(crDefault);
        chart.SetAlign(alClient);
        form.SetScrollBars();
        form.HorScrollBar->SetPosition(hor);
        form.VertScrollBar->SetPosition(vert);
        form.RunAfterChangeScrollBars();
        form.NumChartSizeToWindow = -1;
        form.ChartResizeAndVisible();
      }
    } restore{*this, *chart, horPosition, vertPosition};

    printer.SetOrientation(poLandscape);
    const QString title = settings.GetFileName() + u' ' + QString::number(i);
    printer.SetTitle(title);

    HorScrollBar->SetPosition(0);
    VertScrollBar->SetPosition(0);
    const int zoomFactor = ZoomFactor;
    ZoomFactor = 1000;
    SetScrollBars();
    chart->SetAlign(alNone);
    chart->SetColor(clBtnFace);
    ChartResizeAndVisible();
    SetScrollBars();

    SetProportionalCoefic(store);
    const int clientHeight =
        static_cast<int>(Round(bmp->Height() * ZoomToMasterDistance_[s])) + ChartFrameHeight(*chart);
    const int clientWidth = static_cast<int>(Round(bmp->Width() * ProportionalCoefic)) + ChartFrameWidth(*chart);
    chart->SetClientHeight(clientHeight);
    chart->SetClientWidth(clientWidth);

    TBitmap& back = *chart->BackImage();
    const int backWidth = back.Width(), backHeight = back.Height();
    if (const TBitmap32* zoom = BmpAfterZoom_[s].get()) back.SetSize(zoom->Width(), zoom->Height());
    FillBitmapRect8(back, Rect(0, 0, back.Width(), back.Height()), kClearIndex);
    MakeZoomBmp(i);
    ChartResizeAndVisible();
    SetScrollBars();
    ResizeAxis();
    // The radargram into the back image before the chart is drawn over it.
    PaintToScreen(i);
    // The chart as it stands now, before the window's layout comes back.
    TBitmap picture;
    picture.SetPixelFormat(pf32bit);
    picture.SetSize(chart->ClientWidth(), chart->ClientHeight());
    chart->PaintTo(*picture.Canvas(), Rect(0, 0, picture.Width(), picture.Height()));

    // The window's zoom and back image come back once the chart is on the page,
    // or when printing fails before that.
    bool zoomRestored = false;
    const auto restoreZoom = [&] {
      if (zoomRestored) return;
      zoomRestored = true;
      ZoomFactor = zoomFactor;
      back.SetSize(backWidth, backHeight);
      chart->SetAlign(alClient);
      SetScrollBars();
      back.Canvas()->Brush()->SetColor(chart->Color());
      FillBitmapRect8(back, Rect(0, 0, back.Width(), back.Height()), kClearIndex);
      MakeZoomBmp(i);
      ResizeAxis();
    };
    try {
      printer.BeginDoc();
      TCanvas& page = *printer.Canvas();
      const int pw = printer.PageWidth(), ph = printer.PageHeight();
      const TRect target = PrintRect(pw, ph, clientWidth, clientHeight);
      if (picture.Width() > target.Width() || picture.Height() > target.Height()) {
        // A long profile goes to the page at the page's resolution, not its own:
        // the job stays the size of a page.
        TBitmap fitted;
        fitted.SetPixelFormat(pf32bit);
        fitted.SetSize(target.Width(), target.Height());
        fitted.Canvas()->StretchDraw(Rect(0, 0, target.Width(), target.Height()), picture);
        page.Draw(target.Left, target.Top, fitted);
      } else {
        page.StretchDraw(target, picture);
      }
      restoreZoom();

      page.Brush()->SetColor(clWhite);
      page.Brush()->SetStyle(bsSolid);
      page.Font()->SetName(QStringLiteral("Arial Cyr"));
      page.Font()->SetSize(16);
      page.Font()->SetStyle(TFontStyles{fsBold, fsUnderline});
      const int g = static_cast<int>(Round(page.TextHeight(QStringLiteral("S")) / 5.0L));
      page.Font()->SetName(QStringLiteral("Arial"));
      page.Font()->SetSize(10);
      page.Font()->SetStyle(TFontStyles{});
      page.Font()->SetColor(clBlack);
      const int lineStep = page.TextHeight(QStringLiteral("S")) + g;
      const int x = pw / 15;
      int y = kFooterTop;
      page.TextOut(x, y, LoadResString(SPrintFile) + title);
      y += lineStep;
      const QString separator = QStringLiteral(",   ");
      const QStringList parts{
          Format(LoadResString(SPrintGprModel), {settings.GetRadarTypeStr()}),
          Format(LoadResString(SPrintWindowDepth), {settings.GetSpanDepth()}),
          Format(LoadResString(SPrintWindowWidth), {settings.GetSpanWidth()}),
          Format(LoadResString(SPrintSamples), {settings.GetLongTrace()}),
          Format(LoadResString(SPrintStacking), {static_cast<int>(settings.GetStacking())}),
          Format(LoadResString(SPrintWaveSpeed), {settings.GetSpeedLight()}),
      };
      page.TextOut(x, y, parts.join(separator));
      y += lineStep;
      page.TextOut(x, y, Format(LoadResString(SPrintComments), {settings.GetComments()}));
      printer.EndDoc();
    } catch (...) {
      printer.Abort();
      restoreZoom();
      throw;
    }
  }
}

bool TView2DForm::SaveToBmp(const QString& FileName) {
  const int alone = NumChartSizeToWindow;
  if (alone >= 0) ChartViewDblClick(Chart_[static_cast<size_t>(alone)]);
  const int horPosition = HorScrollBar->Position();
  const int vertPosition = VertScrollBar->Position();
  HorScrollBar->SetPosition(0);
  VertScrollBar->SetPosition(0);
  SetScrollBars();

  const std::vector<QString> names = ExportFileNames(FileName, CountChannalView, alone);
  QString failedName, failure;
  size_t next = 0;
  for (int i = 0; i < CountChannalView && i < kChannelSlots && next < names.size(); ++i) {
    if (alone >= 0 && i != alone) continue;
    const QString& name = names[next++];
    const auto s = static_cast<size_t>(i);
    TChart* chart = Chart_[s];
    if (!chart) continue;
    chart->SetAlign(alNone);
    chart->SetBackImageMode(pbmCustom);
    chart->SetColor(clBtnFace);
    ChartViewDblClick(chart);

    const T2Dview* store = View2D_[s];
    const TBitmap* bmp = Bmp_[s].get();
    if (store && bmp) {
      SetProportionalCoefic(store);
      const long double zoom = ZoomToMasterDistance_[s] * 1000.0L / std::max(ZoomFactor, 1);
      chart->SetClientHeight(static_cast<int>(Round(bmp->Height() * zoom)) + ChartFrameHeight(*chart));
      chart->SetClientWidth(static_cast<int>(Round(bmp->Width() * ProportionalCoefic * zoom + ChartFrameWidth(*chart))));
    }
    TBitmap& back = *chart->BackImage();
    back.Canvas()->Brush()->SetColor(clBtnFace);
    const int backWidth = back.Width(), backHeight = back.Height();
    if (const TBitmap32* zoomBmp = BmpAfterZoom_[s].get()) back.SetSize(zoomBmp->Width(), zoomBmp->Height());
    FillBitmapRect8(back, Rect(0, 0, back.Width(), back.Height()), kClearIndex);
    MakeZoomBmp(i);
    ResizeAxis();
    PaintToScreen(i);
    try {
      chart->SaveToBitmapFile(name);
    } catch (const std::exception& e) {
      failedName = name;
      failure = QString::fromLocal8Bit(e.what());
    }
    if (NumChartSizeToWindow >= 0) ChartViewDblClick(chart);
    back.SetSize(backWidth, backHeight);
    // A file that cannot be written stops the export; the window is put back all the same.
    if (!failedName.isEmpty()) break;
  }

  if (alone >= 0) ChartViewDblClick(Chart_[static_cast<size_t>(alone)]);
  if (TChart* active = GetChartByIndx(NumActiveView)) active->SetColor(kActiveChartColor);
  for (int i = 0; i < kChannelSlots; ++i) {
    TChart* chart = Chart_[static_cast<size_t>(i)];
    if (!chart) continue;
    chart->SetAlign(alClient);
    ClearBackImage(i);
    MakeZoomBmp(i);
    ResizeAxis();
    SetScrollBars();
    HorScrollBar->SetPosition(horPosition);
    VertScrollBar->SetPosition(vertPosition);
    RunAfterChangeScrollBars();
  }
  if (TChart* active = GetChartByIndx(NumActiveView)) SetActiveView(active);
  if (failedName.isEmpty()) return true;
  ShowMessage(Format(LoadResString(SBitmapNotWritten), {failedName, failure}));
  return false;
}
