// A radargram window as its tools' host: the resolver the tools library registers
// finds the window of a channel-0 view, tools reach its break flag, zoom and
// progress through it, and the window's chain driver recomputes a channel from the
// top when a restarted tool has lost its saved input.

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/chart.h"
#include "platform/ui/image.h"
#include "platform/ui/panels.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/tool_messages.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/tools/tool_test_support.h"
#include "tools/abs_tool.h"
#include "tools/window_tool_host.h"

#include <gtest/gtest.h>

namespace window_tool_host_test {

class WindowToolHost : public ::testing::Test {
protected:
  void SetUp() override { ToolsLibraryStartup(); }
  void TearDown() override { SetToolHostResolver({}); }

  // A window of `channels` channels of 3 traces x 4 samples (stacking 1).
  TView2DForm* Window(int channels) {
    TView2DForm* window = env.Create(channels);
    for (int c = 0; c < channels; ++c) {
      T2Dview& store = *window->GetView2DByIndx(c);
      store.Settings()->SetAdvanceStacking(false);
      store.Settings()->SetStacking(1);
      static constexpr int32_t raw[12] = {3, -5, 0, 7, -1, 2, -3, 4, 9, -9, 8, -8};
      FillRawSums(store, 3, 4, [](int t, int s) { return raw[t * 4 + s]; });
    }
    return window;
  }
  // A rectifier in the window's chain, bound to its five channels.
  TAbsTool* AddRectifier(TView2DForm& window, TRectifierMode mode) {
    auto tool = std::make_unique<TAbsTool>();
    for (int c = 0; c < kChannelSlots; ++c) tool->SetView_(c, window.GetView2DByIndx(c));
    TAbsParam p{true, mode};
    for (int c = 0; c < kChannelSlots; ++c) tool->SetParam(c, &p);
    TAbsTool* raw = tool.get();
    window.AppendToolNode(std::move(tool));
    return raw;
  }
  static std::vector<int32_t> Dezo(TView2DForm& window, int channel) {
    const T2Dview& store = *window.GetView2DByIndx(channel);
    return {store.dezoData.Data(), store.dezoData.Data() + store.SizeDat() / 4};
  }

  TRadargramEnv env;
  PoolThreadsScope threads{1};
};

TEST_F(WindowToolHost, AToolReachesItsWindowThroughTheHost) {
  TView2DForm* w = Window(3);
  TAbsTool* tool = AddRectifier(*w, TRectifierMode::FullWave);
  IToolHost& host = tool->Host();
  EXPECT_EQ(&host, &ToolHostOf(w->GetView2DByIndx(1))) << "one host per window";
  EXPECT_EQ(host.Handle(), w->Handle());
  EXPECT_FALSE(host.Br());
  w->Br = true;
  EXPECT_TRUE(host.Br());
  w->ZoomFactor = 640;
  EXPECT_EQ(host.ZoomFactor(), 640);
  EXPECT_EQ(host.ChannelIndexOf(w->GetView2DByIndx(2)), 2);
  EXPECT_EQ(host.ProgressFullWidth(), w->ProgressPanel->Width());
  host.SetProgressWidth(0, 77);
  EXPECT_EQ(w->ProgressImage->Width(), 77);
  w->CurTool = tool;
  host.ClearCurTool();
  EXPECT_EQ(w->CurTool, nullptr);
  const TRect chart = host.ChartScreenRect(0);
  EXPECT_EQ(chart.Width(), w->ChartView->ChartRect().Width());
  EXPECT_EQ(host.ChartScreenRect(7).Width(), 0) << "no such channel";
  // The plot area lies inside the chart's client area, whose origin dialogs
  // are placed by.
  const TPoint origin = host.ChartClientOrigin(0);
  EXPECT_EQ(origin, w->ChartView->ClientToScreen(TPoint{0, 0}));
  EXPECT_EQ(chart.Left - origin.X, w->ChartView->ChartRect().Left);
  EXPECT_EQ(chart.Top - origin.Y, w->ChartView->ChartRect().Top);
  EXPECT_EQ(host.ChartClientOrigin(7), TPoint{}) << "no such channel";
  // The gain dialog lines its curve up with the rows through these.
  EXPECT_EQ(host.PanelClientOrigin(1), w->GetPanelByIndx(1)->ClientToScreen(TPoint{0, 0}));
  EXPECT_EQ(host.PanelHeight(1), w->GetPanelByIndx(1)->ClientHeight());
  EXPECT_EQ(host.ChartPlotArea(0), w->ChartView->ChartRect());
  EXPECT_EQ(host.PanelClientOrigin(7), TPoint{});
  EXPECT_EQ(host.PanelHeight(7), 0);
  EXPECT_EQ(host.ChartPlotArea(7), TRect{});
}

TEST_F(WindowToolHost, TheSurfaceLineGoesToSeriesFiveOfChannelZerosChart) {
  TView2DForm* w = Window(2);
  IToolHost& host = ToolHostOf(w->GetView2DByIndx(0));
  TChartSeries* series = w->ChartView->Series(5);
  EXPECT_EQ(series, w->SeriesDepth);
  series->SetActive(false);
  series->AddXY(0, 0);
  host.ShowSurfaceLine({1.5, 2.5, 4});
  EXPECT_TRUE(series->Active());
  ASSERT_EQ(series->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(series->XValue(i), i);
    EXPECT_EQ(series->ValueColor(i), clRed);
  }
  EXPECT_EQ(series->YValue(1), 2.5);
}

TEST_F(WindowToolHost, PrepareBmpRedrawsAChannelFromItsDisplayBuffer) {
  TView2DForm* w = Window(2);
  IToolHost& host = ToolHostOf(w->GetView2DByIndx(0));
  const auto picture = [&](int channel) {
    TBitmap bitmap;
    TToolChannelPicture p;
    p.Bitmap = &bitmap;
    EXPECT_TRUE(host.ChannelPicture(channel, p));
    std::vector<TColor> pixels;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Canvas()->Pixels(x, y));
    return pixels;
  };
  host.PrepareBmp(1);
  const std::vector<TColor> before = picture(1);
  ASSERT_FALSE(before.empty());
  T2Dview& store = *w->GetView2DByIndx(1);
  for (int64_t i = 0; i < store.SizeDat() / 4; ++i) store.dezoData.Data()[i] = i % 2 ? 30000 : -30000;
  EXPECT_EQ(picture(1), before) << "the picture is the window's until it is rebuilt";
  host.PrepareBmp(1);
  EXPECT_NE(picture(1), before);
  host.PrepareBmp(7);  // no such channel: nothing
}

TEST_F(WindowToolHost, AViewOfNoWindowGetsTheNullHost) {
  auto loose = MakeChannel(2, 4);
  IToolHost& host = ToolHostOf(loose.get());
  EXPECT_EQ(host.Handle(), nullptr);
  EXPECT_EQ(host.ZoomFactor(), 1000);
  EXPECT_EQ(host.ProgressFullWidth(), 0);
}

TEST_F(WindowToolHost, APreviewPostsARecomputationOfItsChannelToTheWindow) {
  TView2DForm* w = Window(2);
  TAbsTool* tool = AddRectifier(*w, TRectifierMode::Positive);
  w->CurrentItem = w->ToolsTreeView->Items()->Top(0);
  tool->SetCurrentNumberView(1);
  tool->PaintPreview(false, true);
  Application->ProcessMessages();
  EXPECT_EQ(Dezo(*w, 1), (std::vector<int32_t>{3, 0, 0, 7, 0, 2, 0, 4, 9, 0, 8, 0}));
  EXPECT_EQ(Dezo(*w, 0), std::vector<int32_t>(12, 0)) << "channel 0 was not asked for";
}

TEST_F(WindowToolHost, ARestartWithoutTheSavedInputRecomputesFromTheTop) {
  TView2DForm* w = Window(1);
  TAbsTool* first = AddRectifier(*w, TRectifierMode::Negative);
  TAbsTool* second = AddRectifier(*w, TRectifierMode::FullWave);
  w->Paint2D(0);
  EXPECT_EQ(Dezo(*w, 0), (std::vector<int32_t>{0, 5, 0, 0, 1, 0, 3, 0, 0, 9, 0, 8}));
  // The first tool changes, and the second has lost its copy (the budget).
  TAbsParam positive{true, TRectifierMode::Positive};
  first->SetParam(0, &positive);
  second->SetLocDataByIndx(0, 0);
  ASSERT_FALSE(second->HasSavedInput(0));
  w->Paint2D_Radar(1, 0);
  EXPECT_EQ(Dezo(*w, 0), (std::vector<int32_t>{3, 0, 0, 7, 0, 2, 0, 4, 9, 0, 8, 0}))
      << "the first tool ran again on the raw data";
  // With its copy the restart begins at the second tool and keeps the first's result.
  TAbsParam negative{true, TRectifierMode::Negative};
  first->SetParam(0, &negative);
  ASSERT_TRUE(second->HasSavedInput(0));
  w->Paint2D_Radar(1, 0);
  EXPECT_EQ(Dezo(*w, 0), (std::vector<int32_t>{3, 0, 0, 7, 0, 2, 0, 4, 9, 0, 8, 0}));
}

}  // namespace window_tool_host_test
