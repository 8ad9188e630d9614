// The radargram window's display pipeline on real channel stores: recomputation
// through the chain (order, restart flags, deferred requests, failing tools),
// WM_TOOLSRUN, the palette bitmap, the zoom bitmap and the marks on the back image.

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/chart.h"
#include "platform/ui/check_list_box.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/scroll_bar.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers.h"
#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "radargram/chain_runner.h"
#include "radargram/tool_messages.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "tests/radargram/radargram_env.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <stdexcept>

namespace view2d_paint_test {

// Fills a channel with traces x longTrace raw sums value(t, s), stacking 1.
void FillChannel(T2Dview& store, int traces, int longTrace, const std::function<int32_t(int, int)>& value) {
  store.Settings()->SetAdvanceStacking(false);
  store.Settings()->SetStacking(1);
  FillRawSums(store, traces, longTrace, value);
}

// A chain tool that multiplies its input by a factor, keeping the input per
// channel as the tools do, and records its runs.
class FakeTool : public IChainTool {
public:
  FakeTool(TView2DForm& window, int factor, QString caption) : window_(window), factor_(factor), caption_(std::move(caption)) {}

  struct Run {
    bool first;
    int channel;
    bool operator==(const Run&) const = default;
  };
  std::vector<Run> runs;
  // Called inside execute (after the input is taken).
  std::function<void(FakeTool&, bool, int)> during;
  std::array<std::vector<int32_t>, 5> saved;

  QString GetCaption() const override { return caption_; }
  void SetCaption(const QString& value) override { caption_ = value; }
  QString GetToolName() const override { return QStringLiteral("Fake"); }
  bool GetExecuting() const override { return true; }
  void SetExecuting(bool) override {}
  int32_t GetCurrentNumberView() const override { return 0; }
  void SetCurrentNumberView(int32_t) override {}
  void execute(bool first, int32_t channel) override {
    runs.push_back({first, channel});
    T2Dview* store = window_.GetView2DByIndx(channel);
    const int64_t n = store->SizeDat() / 4;
    auto& input = saved[static_cast<size_t>(channel)];
    if (!first) input.assign(store->dezoData.Data(), store->dezoData.Data() + n);
    if (static_cast<int64_t>(input.size()) != n) return;
    if (during) during(*this, first, channel);
    for (int64_t i = 0; i < n; ++i) store->dezoData.Data()[i] = input[static_cast<size_t>(i)] * factor_;
  }
  bool HasSavedInput(int32_t channel) const override {
    const T2Dview* store = window_.GetView2DByIndx(channel);
    return static_cast<int64_t>(saved[static_cast<size_t>(channel)].size()) * 4 == store->SizeDat() && store->SizeDat() > 0;
  }
  HWND GetHandle() const override { return handle; }
  TBitmap* GetBmpIcon1() const override { return nullptr; }
  TBitmap* GetBmpIcon2() const override { return nullptr; }

  HWND handle = nullptr;

private:
  TView2DForm& window_;
  int factor_;
  QString caption_;
};

TColor32 Color32OfChart(TView2DForm& window) {
  const TColor rgb = ColorToRGB(window.ChartView->Color());
  return 0xFF000000u | ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

class View2DPaint : public ::testing::Test {
protected:
  TView2DForm* Window(int channels) {
    TView2DForm* window = env.Create(channels);
    for (int c = 0; c < channels; ++c)
      FillChannel(*window->GetView2DByIndx(c), 4, 3, [c](int t, int s) { return (c + 1) * (t * 10 + s + 1); });
    return window;
  }
  FakeTool* AddTool(TView2DForm& window, int factor, const QString& caption = QStringLiteral("Fake")) {
    auto tool = std::make_unique<FakeTool>(window, factor, caption);
    FakeTool* raw = tool.get();
    window.AppendToolNode(std::move(tool));
    return raw;
  }
  static int32_t Dezo(TView2DForm& window, int channel, int i) { return window.GetView2DByIndx(channel)->dezoData.Data()[i]; }

  TRadargramEnv env;
};

using ToolRun = FakeTool::Run;

// ---- The chain ------------------------------------------------------------------------------

TEST_F(View2DPaint, FromTheTopEveryToolTakesTheCurrentDataAsItsInput) {
  TView2DForm* w = Window(1);
  FakeTool* a = AddTool(*w, 2);
  FakeTool* b = AddTool(*w, 3);
  w->Paint2D_Radar(0, 0);
  EXPECT_EQ(a->runs, (std::vector<ToolRun>{{false, 0}}));
  EXPECT_EQ(b->runs, (std::vector<ToolRun>{{false, 0}}));
  EXPECT_EQ(Dezo(*w, 0, 0), 6);   // 1 x 2 x 3
  EXPECT_EQ(Dezo(*w, 0, 4), 72);  // trace 1, sample 1: 12 x 6
  EXPECT_FALSE(TChainRunner::Instance().Running());
  EXPECT_TRUE(w->ToolUnabled);
}

TEST_F(View2DPaint, ARestartAtAToolGivesItFirstAndTheRestFalse) {
  TView2DForm* w = Window(1);
  FakeTool* tools[4] = {AddTool(*w, 1), AddTool(*w, 1), AddTool(*w, 2), AddTool(*w, 5)};
  w->Paint2D_Radar(0, 0);
  for (FakeTool* t : tools) t->runs.clear();
  w->Paint2D_Radar(2, 0);
  EXPECT_TRUE(tools[0]->runs.empty());
  EXPECT_TRUE(tools[1]->runs.empty());
  EXPECT_EQ(tools[2]->runs, (std::vector<ToolRun>{{true, 0}}));
  EXPECT_EQ(tools[3]->runs, (std::vector<ToolRun>{{false, 0}}));
  EXPECT_EQ(Dezo(*w, 0, 0), 10) << "not applied twice";
}

TEST_F(View2DPaint, ARestartWithoutTheSavedInputRecomputesFromTheTop) {
  TView2DForm* w = Window(1);
  FakeTool* a = AddTool(*w, 2);
  FakeTool* b = AddTool(*w, 3);
  w->Paint2D_Radar(0, 0);
  b->saved[0].clear();  // the memory budget dropped it
  a->runs.clear();
  b->runs.clear();
  w->Paint2D_Radar(1, 0);
  EXPECT_EQ(a->runs, (std::vector<ToolRun>{{false, 0}}));
  EXPECT_EQ(b->runs, (std::vector<ToolRun>{{false, 0}}));
  EXPECT_EQ(Dezo(*w, 0, 0), 6);
}

TEST_F(View2DPaint, TenRequestsDuringOneRunGiveOneRepetition) {
  TView2DForm* w = Window(1);
  FakeTool* tool = AddTool(*w, 2);
  tool->during = [w](FakeTool& self, bool, int) {
    if (self.runs.size() != 1) return;
    for (int i = 0; i < 10; ++i) PostMessage(w->Handle(), WM_TOOLSRUN, ToolsRunAllChannels, 0);
    Application->ProcessMessages();
    EXPECT_TRUE(TChainRunner::Instance().RerunRequested());
  };
  w->Paint2D(0);
  EXPECT_EQ(tool->runs.size(), 2u);
  EXPECT_FALSE(TChainRunner::Instance().RerunRequested());
  EXPECT_FALSE(TChainRunner::Instance().Running());
}

TEST_F(View2DPaint, ARequestOfAnotherWindowDuringARunRecomputesThatWindowOnceAfterwards) {
  TView2DForm* first = Window(1);
  first->SetName(QStringLiteral("View2DForm_1"));
  TView2DForm* second = Window(1);
  FakeTool* one = AddTool(*first, 2);
  FakeTool* other = AddTool(*second, 3);
  one->during = [second](FakeTool& self, bool, int) {
    if (self.runs.size() != 1) return;
    second->Paint2D_Radar(0, 0);
    PostMessage(second->Handle(), WM_TOOLSRUN, 0, 0);
    Application->ProcessMessages();
  };
  first->Paint2D_Radar(0, 0);
  EXPECT_EQ(one->runs.size(), 1u) << "the running window does not repeat";
  EXPECT_EQ(other->runs, (std::vector<ToolRun>{{false, 0}}));
  EXPECT_EQ(Dezo(*second, 0, 0), 3);
}

TEST_F(View2DPaint, AThrowingToolIsReportedAndEndsTheChannel) {
  TView2DForm* w = Window(1);
  FakeTool* thrower = AddTool(*w, 1, QStringLiteral("Broken1"));
  FakeTool* after = AddTool(*w, 2);
  thrower->during = [](FakeTool&, bool, int) { throw std::runtime_error("no memory for the window"); };
  TDialogScript::QueueAnswer(mrOk);
  w->Paint2D(0);
  ASSERT_FALSE(TDialogScript::Shown().empty());
  EXPECT_TRUE(TDialogScript::Shown().back().Text.contains(QStringLiteral("Broken1")));
  EXPECT_TRUE(TDialogScript::Shown().back().Text.contains(QStringLiteral("no memory for the window")));
  EXPECT_TRUE(after->runs.empty());
  EXPECT_FALSE(TChainRunner::Instance().Running());
  EXPECT_TRUE(w->wait2D);
  EXPECT_EQ(w->ToolsTreeView->Items()->Top(0)->StateIndex(), -1);
}

TEST_F(View2DPaint, ToolsRunMessagesByTheirParameter) {
  TView2DForm* w = Window(4);
  FakeTool* tool = AddTool(*w, 2);
  w->CurrentItem = w->ToolsTreeView->Items()->Top(0);
  SendMessage(w->Handle(), WM_TOOLSRUN, 7, 0);
  EXPECT_TRUE(tool->runs.empty());
  SendMessage(w->Handle(), WM_TOOLSRUN, 3, 0);
  EXPECT_EQ(tool->runs, (std::vector<ToolRun>{{false, 3}}));
  tool->runs.clear();
  SendMessage(w->Handle(), WM_TOOLSRUN, ToolsRunAllChannels, 0);
  EXPECT_EQ(tool->runs, (std::vector<ToolRun>{{false, 0}, {false, 1}, {false, 2}, {false, 3}}));
  tool->runs.clear();
  w->CurrentItem->SetText(QStringLiteral("old"));
  SendMessage(w->Handle(), WM_TOOLSRUN, ToolsRunRepaintNode, 0);
  EXPECT_TRUE(tool->runs.empty());
  EXPECT_EQ(w->CurrentItem->Text(), QStringLiteral("Fake"));
}

TEST_F(View2DPaint, ActivatingAChannelTellsTheOpenToolDialog) {
  TView2DForm* w = Window(3);
  FakeTool* tool = AddTool(*w, 1);
  std::vector<std::pair<WPARAM, LPARAM>> received;
  tool->handle = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_TOOLVIEWCHANGED) received.emplace_back(m.WParam, m.LParam);
  });
  w->CurTool = tool;
  w->SetActiveView(w->Chart_[1]);
  EXPECT_TRUE(received.empty()) << "no dialog shown";
  w->VisibleToolWnd = true;
  w->SetActiveView(w->Chart_[2]);
  EXPECT_EQ(received, (std::vector<std::pair<WPARAM, LPARAM>>{{2, 1}}));
  DeallocateHWnd(tool->handle);
}

TEST_F(View2DPaint, ARerunWaitsForACallAnotherThreadIsSending) {
  TView2DForm* w = Window(1);
  FakeTool* tool = AddTool(*w, 2);
  w->CurrentItem = w->ToolsTreeView->Items()->Top(0);
  std::vector<std::string> order;
  HWND probe = AllocateHWnd([&](TMessage&) { order.push_back("sent"); });
  tool->during = [&](FakeTool&, bool, int) { order.push_back("chain"); };
  std::thread sender([probe] { SendMessage(probe, WM_NULL, 0, 0); });
  while (!CrossThreadSendPending()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  w->WMToolsRun(ToolsRunAllChannels);
  EXPECT_TRUE(tool->runs.empty()) << "not while the other thread waits";
  Application->ProcessMessages();
  sender.join();
  EXPECT_FALSE(CrossThreadSendPending());
  EXPECT_EQ(order, (std::vector<std::string>{"sent", "chain"}));
  DeallocateHWnd(probe);
}

// ---- Normalisation and the display bitmap ------------------------------------------------------

TEST_F(View2DPaint, TheDisplayMaximumIsTheQuantileOfTheTraceMaxima) {
  TView2DForm* w = env.Create(1);
  const int maxima[4] = {10, 20, 30, 40};
  FillChannel(*w->GetView2DByIndx(0), 4, 2, [&](int t, int s) { return s == 1 ? -maxima[t] : 0; });
  env.shell.koefArrMax = 0.75f;
  w->Paint2D(0);
  EXPECT_EQ(w->GetMaxDezoData(w->GetView2DByIndx(0)), 30);
  EXPECT_DOUBLE_EQ(static_cast<double>(w->GetView2DByIndx(0)->Settings()->NrmCoef), 127.0 / 30);
  TBitmap& bmp = *w->Bmp_[0];
  ASSERT_EQ(bmp.Width(), 4);
  ASSERT_EQ(bmp.Height(), 2);
  EXPECT_EQ(bmp.PixelFormat(), pf8bit);
  EXPECT_EQ(bmp.ScanLine(0)[0], 127);
  EXPECT_EQ(bmp.ScanLine(1)[2], 0);  // -30 x 127 / 30 + 127
  EXPECT_EQ(bmp.ScanLine(1)[3], 0);  // limited
  EXPECT_EQ(bmp.ScanLine(1)[0], 85);  // round(127 - 42.33)
}

TEST_F(View2DPaint, ASilentProfileIsUniformlyIndex127) {
  TView2DForm* w = env.Create(1);
  FillChannel(*w->GetView2DByIndx(0), 5, 3, [](int, int) { return 0; });
  w->Paint2D(0);
  TBitmap& bmp = *w->Bmp_[0];
  for (int s = 0; s < 3; ++s)
    for (int t = 0; t < 5; ++t) EXPECT_EQ(bmp.ScanLine(s)[t], 127);
  EXPECT_DOUBLE_EQ(static_cast<double>(w->GetView2DByIndx(0)->Settings()->NrmCoef), 127.0);
}

TEST_F(View2DPaint, StackingIsDividedOutOfTheRawSums) {
  TView2DForm* w = env.Create(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  const int32_t sums[4] = {5, 15, -5, 25};
  FillChannel(store, 4, 1, [&](int t, int) { return sums[t]; });
  store.Settings()->SetStacking(10);
  w->Paint2D(0);
  EXPECT_EQ(std::vector<int32_t>(store.dezoData.Data(), store.dezoData.Data() + 4), (std::vector<int32_t>{0, 2, 0, 2}));
  EXPECT_EQ(store.RawData.Data()[1], 15) << "the raw sums stay";
}

// ---- Zoom --------------------------------------------------------------------------------------

TEST_F(View2DPaint, TheZoomBitmapTakesTheZoomedSize) {
  TView2DForm* w = env.Create(1);
  FillChannel(*w->GetView2DByIndx(0), 400, 512, [](int t, int s) { return (t + s) % 7 - 3; });
  w->ZoomFactor = 800;
  w->Paint2D(0);
  EXPECT_EQ(w->BmpAfterZoom_[0]->Width(), 500);
  EXPECT_EQ(w->BmpAfterZoom_[0]->Height(), 640);
}

TEST_F(View2DPaint, AZoomBeyondTheBoundKeepsThePreviousBitmap) {
  TView2DForm* w = env.Create(1);
  FillChannel(*w->GetView2DByIndx(0), 400, 512, [](int, int) { return 1; });
  w->Paint2D(0);
  const TBitmap32* before = w->BmpAfterZoom_[0].get();
  w->ZoomFactor = 1;  // x 1000 in both directions
  EXPECT_FALSE(w->MakeZoomBmp(0));
  EXPECT_EQ(w->BmpAfterZoom_[0].get(), before);
  EXPECT_EQ(before->Width(), 400);
}

TEST_F(View2DPaint, ChannelsLineUpByTheirStartShift) {
  TView2DForm* w = Window(2);
  for (int c = 0; c < 2; ++c) {
    TSettingData& s = *w->GetView2DByIndx(c)->Settings();
    s.SetWheelStep(50);
    s.SetWheelMult(1);
    FillChannel(*w->GetView2DByIndx(c), 30, 4, [](int, int) { return 5; });
  }
  w->GetView2DByIndx(1)->Settings()->SetStartXShift(100000);  // 1.0 m later
  w->Paint2D(0);
  EXPECT_DOUBLE_EQ(static_cast<double>(w->GetStartXShiftSpan(1)), 1.0);
  EXPECT_DOUBLE_EQ(static_cast<double>(w->MarkShiftTraces(1)), 20.0);
  const TBitmap32& first = *w->BmpAfterZoom_[0];
  const TBitmap32& later = *w->BmpAfterZoom_[1];
  ASSERT_EQ(first.Width(), 50);
  ASSERT_EQ(later.Width(), 50);
  const TColor32 margin = later.Pixel(0, 0);
  EXPECT_EQ(later.Pixel(19, 1), margin);
  EXPECT_NE(later.Pixel(20, 1), margin) << "the image starts 20 columns right";
  EXPECT_NE(first.Pixel(0, 1), margin);
  EXPECT_EQ(first.Pixel(30, 1), margin) << "the earlier channel's margin is on its right";
}

TEST_F(View2DPaint, AFlippedChannelIsMirroredAndItsMarginsMove) {
  TView2DForm* w = Window(2);
  for (int c = 0; c < 2; ++c) {
    TSettingData& s = *w->GetView2DByIndx(c)->Settings();
    s.SetWheelStep(50);
    s.SetWheelMult(1);
    // Trace 0 bright, the others dark.
    FillChannel(*w->GetView2DByIndx(c), 10, 2, [](int t, int) { return t == 0 ? 100 : -100; });
  }
  w->GetView2DByIndx(1)->Settings()->SetStartXShift(20000);  // 0.2 m: 4 traces
  w->GetView2DByIndx(0)->Settings()->SetWasFlip(true);
  w->Paint2D(0);
  const TBitmap32& flipped = *w->BmpAfterZoom_[0];
  ASSERT_EQ(flipped.Width(), 14);
  // x = 0, v = 4: margins 0..3 and none on the right; the image mirrored at 4.
  const TColor32 margin = Color32OfChart(*w);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(flipped.Pixel(c, 0), margin) << c;
  const auto grey = [&](int c) { return static_cast<int>(flipped.Pixel(c, 0) & 0xFF); };
  EXPECT_GT(grey(13), grey(5)) << "trace 0 is now the rightmost column";
}

// ---- Painting ------------------------------------------------------------------------------------

TEST_F(View2DPaint, MarksArePaintedAtTheirScreenPositions) {
  TView2DForm* w = env.Create(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  FillChannel(store, 200, 100, [](int, int) { return 0; });
  TSettingData& s = *store.Settings();
  w->ShowComentsSurfaceMarkers = false;
  w->ShowComentsObjectMarkers = false;
  s.SurfaceMarkersArray->Add(1, 40, QString());
  s.ObjectMarkersArray->Add(1, clRed, QString(), 50, 100);
  w->ZoomFactor = 500;  // two screen pixels per trace and sample
  w->Paint2D(0);
  TBitmap& back = *w->ChartView->BackImage();
  const auto pixel = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(back.ScanLine(y))[x] & 0xFFFFFFu; };
  // Surface marker at X = 80: a yellow triangle from the top edge.
  EXPECT_EQ(pixel(80, 6), 0xFFFF00u);
  EXPECT_NE(pixel(80 + 7, 13), 0xFFFF00u) << "only the selected marker is wider";
  // Object marker at (200, 100): a red cross with arms of 6.
  EXPECT_EQ(pixel(200 + 5, 100), 0xFF0000u);
  EXPECT_EQ(pixel(200, 100 - 5), 0xFF0000u);
  EXPECT_NE(pixel(200 + 8, 100), 0xFF0000u);
  // Scrolled by 10 pixels: everything moves left.
  w->HorScrollBar->SetMax(100000);
  w->HorScrollBar->SetPosition(1000);
  w->WasPaint = false;
  w->PaintAllScreen();
  EXPECT_EQ(pixel(70, 6), 0xFFFF00u);
  EXPECT_EQ(pixel(190 + 5, 100), 0xFF0000u);
}


TEST_F(View2DPaint, SelectedMarksAndPolylinesAreDrawnLarger) {
  TView2DForm* w = env.Create(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  FillChannel(store, 200, 100, [](int, int) { return 0; });
  TSettingData& s = *store.Settings();
  w->ShowComentsSurfaceMarkers = false;
  w->ShowComentsObjectMarkers = false;
  w->ShowPolyLineComments = false;
  s.SurfaceMarkersArray->Add(1, 40, QString());
  s.ObjectMarkersArray->Add(1, clRed, QString(), 50, 100);
  TPolyLineMarkersData* line = s.PolyLineMarkersArray->AddPolyLine(clBlue, QString());
  line->AddMark(-1, 10, 20);
  line->AddMark(0, 60, 20);
  w->ZoomFactor = 500;
  // The marker tree: surface, object and polyline groups.
  TTreeView& tree = *w->GetObjectsTreeViewByIndx(0);
  tree.Items()->Clear();
  TTreeNode* groups[3];
  for (int g = 0; g < 3; ++g) groups[g] = tree.Items()->AddChild(nullptr, QStringLiteral("group"));
  TTreeNode* surface = tree.Items()->AddChild(groups[0], QStringLiteral("s"));
  TTreeNode* object = tree.Items()->AddChild(groups[1], QStringLiteral("o"));
  TTreeNode* polyline = tree.Items()->AddChildObject(groups[2], QStringLiteral("p"), line);
  TBitmap& back = *w->ChartView->BackImage();
  const auto pixel = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(back.ScanLine(y))[x] & 0xFFFFFFu; };

  w->Paint2D(0);
  // The plain polyline: a solid blue line from (20, 40) to (120, 40).
  for (int x = 24; x < 116; x += 7) EXPECT_EQ(pixel(x, 40), 0x0000FFu) << x;
  EXPECT_NE(pixel(18, 38), 0x0000FFu);

  tree.SetSelected(surface);
  w->PaintToScreen(0);
  EXPECT_EQ(pixel(80 + 5, 14), 0xFFFF00u) << "the selected triangle reaches 7 wide and 16 down";
  tree.SetSelected(object);
  w->PaintToScreen(0);
  EXPECT_NE(pixel(80 + 5, 14), 0xFFFF00u);
  EXPECT_EQ(pixel(200 + 8, 100), 0xFF0000u) << "arms of 9";
  EXPECT_EQ(pixel(200 + 6, 100 - 1), 0xFF0000u) << "the circle";
  tree.SetSelected(polyline);
  w->PaintToScreen(0);
  EXPECT_EQ(pixel(18, 38), 0x0000FFu) << "the node's square";
  int gaps = 0;
  for (int x = 24; x < 116; ++x) gaps += pixel(x, 40) != 0x0000FFu;
  EXPECT_GT(gaps, 10) << "dashed";
}

TEST_F(View2DPaint, CommentsSitOnLightGreyRoundedBoxes) {
  TView2DForm* w = env.Create(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  FillChannel(store, 200, 100, [](int, int) { return 0; });
  store.Settings()->SurfaceMarkersArray->Add(1, 40, QStringLiteral("mmmmmmmm"));
  w->ShowObjectMarkers = false;
  w->ShowPolyLineMarkers = false;
  w->ZoomFactor = 500;
  w->Paint2D(0);
  TBitmap& back = *w->ChartView->BackImage();
  const auto pixel = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(back.ScanLine(y))[x] & 0xFFFFFFu; };
  // The box runs from X + 6 to X + text width + 12 (X = 80); its corners are round.
  EXPECT_EQ(pixel(80 + 7, 1), 0xC0C0C0u);
  EXPECT_NE(pixel(80 + 6, 0), 0xC0C0C0u) << "rounded corner";
  EXPECT_NE(pixel(80 + 4, 1), 0xC0C0C0u);
  w->ShowComentsSurfaceMarkers = false;
  w->PaintToScreen(0);
  EXPECT_NE(pixel(80 + 7, 1), 0xC0C0C0u);
}

}  // namespace view2d_paint_test
