#include "tools/window_tool_host.h"

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/menus.h"
#include "platform/ui/panels.h"
#include "profiledata/channel_store.h"
#include "radargram/chain_runner.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "tools/post_proc.h"

namespace {
const QString kHostName = QStringLiteral("ToolHost");
// The series of a channel chart that shows the leveler's surface line.
constexpr int SurfaceLineSeries = 5;
}  // namespace

TWindowToolHost::TWindowToolHost(TView2DForm& window) : TComponent(&window), window_(window) { SetName(kHostName); }

TWindowToolHost& TWindowToolHost::Of(TView2DForm& window) {
  if (auto* host = dynamic_cast<TWindowToolHost*>(window.FindComponent(kHostName))) return *host;
  return *new TWindowToolHost(window);
}

HWND TWindowToolHost::Handle() const { return window_.Handle(); }

bool TWindowToolHost::Br() const { return window_.Br; }

void TWindowToolHost::ClearCurTool() { window_.CurTool = nullptr; }

int32_t TWindowToolHost::ZoomFactor() const { return window_.ZoomFactor; }

int TWindowToolHost::ChannelIndexOf(const T2Dview* view) const { return window_.GetIndxByView2D(view); }

int TWindowToolHost::ProgressFullWidth() const { return window_.ProgressPanelWidth(); }

void TWindowToolHost::SetProgressWidth(int channel, int width) { window_.SetProgressImageWidth(channel, width); }

TRect TWindowToolHost::ChartScreenRect(int channel) const {
  TChart* chart = window_.GetChartByIndx(channel);
  if (!chart) return {};
  const TRect area = chart->ChartRect();
  const TPoint origin = chart->ClientToScreen(TPoint{area.Left, area.Top});
  return TRect{origin.X, origin.Y, origin.X + area.Width(), origin.Y + area.Height()};
}

TPoint TWindowToolHost::ChartClientOrigin(int channel) const {
  TChart* chart = window_.GetChartByIndx(channel);
  return chart ? chart->ClientToScreen(TPoint{0, 0}) : TPoint{};
}

TPoint TWindowToolHost::PanelClientOrigin(int channel) const {
  TPanel* panel = window_.GetPanelByIndx(channel);
  return panel ? panel->ClientToScreen(TPoint{0, 0}) : TPoint{};
}

int TWindowToolHost::PanelHeight(int channel) const {
  TPanel* panel = window_.GetPanelByIndx(channel);
  return panel ? panel->ClientHeight() : 0;
}

TRect TWindowToolHost::ChartPlotArea(int channel) const {
  TChart* chart = window_.GetChartByIndx(channel);
  return chart ? chart->ChartRect() : TRect{};
}

int32_t TWindowToolHost::GetMaxDezoData(const T2Dview* view) const { return window_.GetMaxDezoData(view); }

bool TWindowToolHost::ChannelPicture(int channel, TToolChannelPicture& picture) {
  if (window_.ZoomComboBox) {
    window_.ZoomComboBox->SetItemIndex(5);  // "100"
    window_.ZoomComboBoxChange();
  }
  if (window_.TracesMenu) {
    window_.TracesMenu->SetChecked(true);
    window_.DistanceMenuClick(window_.TracesMenu);
  }
  window_.PropButtonClick(PropInSamples11);
  const TPanel* panel = window_.GetPanelByIndx(channel);
  if (!panel) panel = window_.GetPanelByIndx(0);
  picture.PanelWidth = panel ? panel->Width() : 0;
  if (TChart* chart = window_.GetChartByIndx(channel)) {
    picture.TopMinimum = chart->TopAxis()->Minimum();
    picture.TopMaximum = chart->TopAxis()->Maximum();
  }
  if (picture.Bitmap && channel >= 0 && channel < kChannelSlots) {
    if (const auto& zoomed = window_.BmpAfterZoom_[static_cast<size_t>(channel)]) {
      picture.Bitmap->SetSize(zoomed->Width(), zoomed->Height());
      zoomed->DrawTo(picture.Bitmap->Canvas(), 0, 0);
    }
  }
  return true;
}

void TWindowToolHost::PrepareBmp(int channel) {
  if (channel >= 0 && channel < kChannelSlots) window_.PrepareBmp(channel);
}

void TWindowToolHost::WhenRepainted(std::function<void()> done) {
  TChainRunner& runner = TChainRunner::Instance();
  if (window_.wait2D && !runner.Running()) {
    done();
    return;
  }
  runner.Defer(this, -1, 0, [done = std::move(done)](int) { done(); });
}

int TWindowToolHost::ShownChannelCount() const { return window_.CountChannalView; }

T2Dview* TWindowToolHost::ChannelView(int channel) const { return window_.GetView2DByIndx(channel); }

bool TWindowToolHost::HasChart(int channel) const { return window_.GetChartByIndx(channel) != nullptr; }

TBitmap32* TWindowToolHost::LayerBitmap(int channel, int layer) const {
  return window_.GetBmpPostProcByIndx(channel, layer);
}

void TWindowToolHost::ShowProgressPanel(int channel, bool visible) {
  if (TPanel* panel = window_.GetProgressPanelByIndx(channel)) panel->SetVisible(visible);
}

void TWindowToolHost::Yield() { Application->ProcessMessages(); }

void TWindowToolHost::ShowSurfaceLine(const std::vector<double>& timesNs) {
  TChart* chart = window_.GetChartByIndx(0);
  if (!chart || chart->SeriesCount() <= SurfaceLineSeries) return;
  TChartSeries* series = chart->Series(SurfaceLineSeries);
  series->SetActive(true);
  series->Clear();
  // Drawn in the points' own red (a point without a colour keeps the series').
  series->SetColorEachPoint(true);
  for (size_t i = 0; i < timesNs.size(); ++i) series->AddXY(static_cast<double>(i), timesNs[i], QString(), clRed);
}

void ToolsLibraryStartup() {
  SetToolHostResolver([](T2Dview* view) -> IToolHost* {
    auto* window = view ? dynamic_cast<TView2DForm*>(view->Window()) : nullptr;
    return window ? &TWindowToolHost::Of(*window) : nullptr;
  });
  RegisterPostProcFactory();
}
