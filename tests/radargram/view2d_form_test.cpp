// The radargram window: its slots for fewer channels than five, the channel
// stores it owns, the copies of channel 0's controls, the bookkeeping, one
// channel alone, two columns with the depth slice, the maximised size and the
// collapsible page control.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/image.h"
#include "platform/ui/page_control.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/panels.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

namespace {

class View2DForm : public ::testing::Test {
protected:
  TRadargramEnv env;

  static void ShowAlone(TView2DForm& window, int channel) {
    window.Bmp_[static_cast<size_t>(channel)]->SetSize(10, 10);
    window.ChartViewDblClick(window.Chart_[static_cast<size_t>(channel)]);
  }
};

TEST_F(View2DForm, AContainerOfThreeChannelsHasNoControlsInSlotsThreeAndFour) {
  env.shell.newCreate = false;
  TView2DForm* window = env.Create(3);
  EXPECT_FALSE(env.shell.errorNewCreate);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(window->GetPanelByIndx(i), nullptr) << i;
    EXPECT_NE(window->GetChartByIndx(i), nullptr) << i;
    EXPECT_NE(window->GetSizeSeriesByIndx(i), nullptr) << i;
    EXPECT_NE(window->GetObjectsTreeViewByIndx(i), nullptr) << i;
  }
  for (int i : {3, 4}) {
    EXPECT_EQ(window->GetPanelByIndx(i), nullptr) << i;
    EXPECT_EQ(window->GetChartByIndx(i), nullptr) << i;
    EXPECT_EQ(window->GetSeriesNullByIndx(i), nullptr) << i;
    EXPECT_EQ(window->GetSizeSeriesByIndx(i), nullptr) << i;
    EXPECT_EQ(window->HyperbolaSeries_[static_cast<size_t>(i)], nullptr) << i;
    EXPECT_EQ(window->GetSliceSeriesByIndx(i), nullptr) << i;
    EXPECT_EQ(window->GetPositionSeriesByIndx(i), nullptr) << i;
    EXPECT_EQ(window->GetSeriesDepthByIndx(i), nullptr) << i;
    EXPECT_EQ(window->GetProgressPanelByIndx(i), nullptr) << i;
    EXPECT_EQ(window->GetProgressImageByIndx(i), nullptr) << i;
    EXPECT_EQ(window->GetObjectsTreeViewByIndx(i), nullptr) << i;
    // The stores exist all the same, registered in their slots.
    ASSERT_NE(window->GetView2DByIndx(i), nullptr) << i;
    EXPECT_EQ(window->ChannelIndex(window->GetView2DByIndx(i)), i);
  }
  EXPECT_EQ(window->CountChannalView, 3);
  EXPECT_EQ(window->CountChannalVisible, 3);
  // The per-channel loops pass the empty slots by.
  window->AllProgressPanelOff();
  window->AssignSizeSeries();
  window->AssignSeriesNull();
  window->AssignHyperbolaSeries();
  window->AssignSliceSeries();
  window->ResizePanelsChart();
  window->ReCreateViewInterface();
  window->FormResize(window);
  ShowAlone(*window, 2);
  EXPECT_EQ(window->NumChartSizeToWindow, 2);
  // The stores' files are named from the main window's prefix and counter.
  EXPECT_EQ(window->GetView2DByIndx(4)->Settings()->GetFileName(), env.dir.path() + "/Prof7.dezo");
}

TEST_F(View2DForm, ANewRecordingWindowHasEveryChannelsControlsAsIndependentCopies) {
  TView2DForm* window = env.Create(2);
  for (int i = 1; i < kChannelSlots; ++i) {
    ASSERT_NE(window->GetChartByIndx(i), nullptr) << i;
    EXPECT_EQ(window->GetChartByIndx(i)->Name(), QStringLiteral("ChartView_%1").arg(i));
    EXPECT_EQ(window->GetSeriesNullByIndx(i)->Name(), QStringLiteral("SeriesNull_%1").arg(i));
    EXPECT_EQ(window->GetPanelByIndx(i)->Name(), QStringLiteral("Panel_%1").arg(i));
    EXPECT_EQ(window->GetProgressPanelByIndx(i)->Name(), QStringLiteral("ProgressPanel_%1").arg(i));
    EXPECT_EQ(window->GetChartByIndx(i)->Parent(), window->GetPanelByIndx(i));
    EXPECT_EQ(window->GetSeriesNullByIndx(i)->ParentChart(), window->GetChartByIndx(i));
  }
  EXPECT_EQ(window->FindComponent("ChartView_3"), window->GetChartByIndx(3));
  EXPECT_EQ(window->FindComponent("SeriesNull_3"), window->GetSeriesNullByIndx(3));
  // Channel 0's chart keeps its own six series.
  EXPECT_EQ(window->ChartView->SeriesCount(), 6);
  EXPECT_EQ(window->GetChartByIndx(3)->SeriesCount(), 6);
  // Charts 1..4 have channel 0's properties, top axis hidden, each its own
  // left-axis caption; the zero line its two blue points.
  EXPECT_EQ(window->GetChartByIndx(3)->LeftAxis()->Title(), "#3 [0] Time, ns");
  EXPECT_TRUE(window->GetChartByIndx(3)->LeftAxis()->Inverted());
  EXPECT_EQ(window->GetSeriesNullByIndx(3)->Count(), 2);
  EXPECT_EQ(window->GetSeriesNullByIndx(3)->ValueColor(1), clBlue);

  // Changing one copy changes no other.
  TLineSeries* zero3 = window->GetSeriesNullByIndx(3);
  zero3->Clear();
  zero3->SetSeriesColor(clRed);
  window->GetChartByIndx(3)->LeftAxis()->SetTitle("#3 Time, ns");
  window->GetChartByIndx(3)->BackImage()->SetSize(3, 3);
  window->GetProgressPanelByIndx(3)->Show();
  for (int i : {0, 1, 2, 4}) {
    EXPECT_EQ(window->GetSeriesNullByIndx(i)->Count(), 2) << i;
    EXPECT_EQ(window->GetSeriesNullByIndx(i)->SeriesColor(), clBlue) << i;
    EXPECT_EQ(window->GetChartByIndx(i)->LeftAxis()->Title(), QStringLiteral("#%1 [0] Time, ns").arg(i)) << i;
    EXPECT_NE(window->GetChartByIndx(i)->BackImage()->Width(), 3) << i;
    EXPECT_FALSE(window->GetProgressPanelByIndx(i)->Visible()) << i;
  }
  // Channel 0's copies of its handlers reach every channel.
  int drawn = 0;
  window->SizeSeries->OnBeforeDrawValues = [&](TObject* sender) { drawn += window->GetIndxBySizeSeries(dynamic_cast<TChartSeries*>(sender)); };
  window->AssignSizeSeries();
  window->GetChartByIndx(4)->PaintTo(*window->GetChartByIndx(4)->Canvas(), Rect(0, 0, 50, 50));
  EXPECT_EQ(drawn, 4);
  // The depth slice is a copy too, with its own controls.
  ASSERT_NE(window->Chart_SectOfDeep, nullptr);
  EXPECT_EQ(window->Chart_SectOfDeep->Name(), "ChartView_99");
  EXPECT_EQ(window->Chart_SectOfDeep->LeftAxis()->Title(), "Channal");
  EXPECT_FALSE(window->Chart_SectOfDeep->RightAxis()->Labels());
  EXPECT_FALSE(window->Chart_SectOfDeep->OnBeforeDrawAxes);
  EXPECT_TRUE(window->AutoDepthOnlineCheck->Checked());
  EXPECT_EQ(window->AutoDepthOnlineCheck->Parent(), window->Chart_SectOfDeep);
}

TEST_F(View2DForm, ZeroChannelsShowOne) {
  TView2DForm* window = env.Create(0);
  EXPECT_EQ(NewViewChannalCount(), 1);
  EXPECT_EQ(window->CountChannalView, 1);
  EXPECT_EQ(window->CountChannalVisible, 1);
  EXPECT_TRUE(window->arChannalVisible[0]);
  EXPECT_EQ(window->GetCountChannalVisible(), 1);
  EXPECT_GT(window->Panel->Height(), 0);
  EXPECT_TRUE(window->ChartView->TopAxis()->Visible());
  for (int i = 1; i < kChannelSlots; ++i) EXPECT_EQ(window->GetPanelByIndx(i)->Height(), 0) << i;
}

TEST_F(View2DForm, DoubleClickShowsAChannelAloneAndASecondRestores) {
  TView2DForm* window = env.Create(3);
  std::array<int, 3> before{};
  for (int i = 0; i < 3; ++i) before[static_cast<size_t>(i)] = window->Panel_[static_cast<size_t>(i)]->Height();
  EXPECT_GT(before[1], 0);
  const int column = window->Panel5->Height();

  // An empty display bitmap is not shown alone.
  window->ChartViewDblClick(window->Chart_[1]);
  EXPECT_EQ(window->NumChartSizeToWindow, -1);

  ShowAlone(*window, 0);
  EXPECT_EQ(window->NumChartSizeToWindow, 0);
  EXPECT_EQ(window->Panel_[0]->Height(), column - 44 + 32);
  EXPECT_TRUE(window->Chart_[0]->TopAxis()->Visible());
  EXPECT_EQ(window->GetAxisHeightByIndx(0), 34);
  EXPECT_EQ(window->Panel_[1]->Height(), 1);
  EXPECT_EQ(window->Panel_[2]->Height(), 1);
  EXPECT_EQ(window->Panel_[1]->Tag(), before[1]);

  window->ChartViewDblClick(window->Chart_[0]);
  EXPECT_EQ(window->NumChartSizeToWindow, -1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(window->Panel_[static_cast<size_t>(i)]->Height(), before[static_cast<size_t>(i)]) << i;
  EXPECT_FALSE(window->Chart_[1]->TopAxis()->Visible());

  // Another channel alone keeps its top axis though it is not first.
  ShowAlone(*window, 2);
  EXPECT_TRUE(window->Chart_[2]->TopAxis()->Visible());
  EXPECT_EQ(window->Panel_[0]->Height(), 1);
  // A chart of another window is not one of these channels.
  window->ChartViewDblClick(nullptr);
  EXPECT_EQ(window->NumChartSizeToWindow, 2);
}

TEST_F(View2DForm, TwoColumnsWithThreeChannelsAndTheDepthSlice) {
  TView2DForm* window = env.Create(3);
  window->ViewSectOfDeep = true;
  window->View2ColSpeedButton->SetDown(true);
  window->View2ColSpeedButton->Click();
  EXPECT_TRUE(window->ViewTo2Col);
  EXPECT_EQ(window->View2ColSpeedButton->Caption(), "One column");

  TPanel* first = window->Panel5;
  TPanel* second = window->Panel5_1;
  EXPECT_EQ(window->Panel_[0]->Parent(), first);
  EXPECT_EQ(window->Panel_[1]->Parent(), first);
  EXPECT_EQ(window->Panel_[2]->Parent(), second);
  EXPECT_EQ(window->Panel_SectOfDeep->Parent(), second);
  // Stacked in order, the first of each column at the top.
  EXPECT_EQ(window->Panel_[0]->Top(), 0);
  EXPECT_EQ(window->Panel_[1]->Top(), window->Panel_[0]->Height());
  EXPECT_EQ(window->Panel_[2]->Top(), 0);
  EXPECT_EQ(window->Panel_SectOfDeep->Top(), window->Panel_[2]->Height());

  const int c = static_cast<int>(std::nearbyint((window->Panel5->Height() - 44) / 2.0));
  EXPECT_EQ(window->Panel_[0]->Height(), c + 32);
  EXPECT_EQ(window->Panel_[1]->Height(), c - 2);
  EXPECT_EQ(window->Panel_[2]->Height(), c + 32);
  EXPECT_EQ(window->Panel_SectOfDeep->Height(), c - 2);
  EXPECT_TRUE(window->Chart_[0]->TopAxis()->Visible());
  EXPECT_FALSE(window->Chart_[1]->TopAxis()->Visible());
  EXPECT_TRUE(window->Chart_[2]->TopAxis()->Visible());
  EXPECT_FALSE(window->Chart_SectOfDeep->TopAxis()->Visible());
  // The columns share the width beside the vertical scroll strip.
  EXPECT_EQ(window->Panel5_1->Width(), (window->Panel6->ClientWidth() - window->Panel2->Width()) / 2);
  EXPECT_EQ(window->Panel2->Left() + window->Panel2->Width(), window->Panel6->ClientWidth());
  // The depth lines show with the slice.
  EXPECT_TRUE(window->GetSeriesDepthByIndx(1)->Active());

  // Channel 2 alone: its column takes the whole width.
  ShowAlone(*window, 2);
  EXPECT_EQ(window->Panel5_1->Width(), window->Panel6->ClientWidth() - window->Panel2->Width() - 1);

  // Back to one column: all in the first, in index order.
  window->ChartViewDblClick(window->Chart_[2]);
  window->View2ColSpeedButton->SetDown(false);
  window->View2ColSpeedButton->Click();
  EXPECT_EQ(window->Panel5_1->Width(), 1);
  EXPECT_EQ(window->Panel_[2]->Parent(), first);
  EXPECT_EQ(window->Panel_SectOfDeep->Parent(), first);
  EXPECT_LT(window->Panel_[1]->Top(), window->Panel_[2]->Top());
  EXPECT_LT(window->Panel_[2]->Top(), window->Panel_SectOfDeep->Top());
}

TEST_F(View2DForm, AMaximisedWindowFillsTheMainClientAreaLessTwo) {
  TView2DForm* window = env.Create(1);
  ASSERT_EQ(window->WindowState(), wsMaximized);
  env.shell.childAreaWidth = 800;
  env.shell.childAreaHeight = 600;
  window->FormResize(window);
  EXPECT_EQ(window->Width(), 800);
  EXPECT_EQ(window->Height(), 598);
  EXPECT_FALSE(env.shell.startResize);
  // Nothing while the main window holds resizing back.
  env.shell.startResize = true;
  env.shell.childAreaWidth = 700;
  window->FormResize(window);
  EXPECT_EQ(window->Width(), 800);
}

TEST_F(View2DForm, LayoutWaitsWhileAChildIsClosing) {
  TView2DForm* window = env.Create(2);
  const int height = window->Panel_[1]->Height();
  env.shell.closeChild = true;
  window->arChannalVisible[1] = false;
  window->ResizePanelsChart();
  EXPECT_EQ(window->Panel_[1]->Height(), height);
  env.shell.closeChild = false;
  window->ResizePanelsChart();
  EXPECT_EQ(window->Panel_[1]->Height(), 0);
}

TEST_F(View2DForm, ButtonPanelOpensAndClosesThePages) {
  TView2DForm* window = env.Create(1);
  EXPECT_EQ(window->LeftPageControl->Width(), 0);
  EXPECT_EQ(window->ButtonPanel->Caption(), ">");
  window->ButtonPanelClick(window->ButtonPanel);
  EXPECT_EQ(window->LeftPageControl->Width(), 270);
  EXPECT_EQ(window->ButtonPanel->Caption(), "<");
  window->ButtonPanelClick(window->ButtonPanel);
  EXPECT_EQ(window->LeftPageControl->Width(), 0);
  window->LeftPageControl->SetActivePage(window->GPSTabSheet);
  window->ButtonPanelClick(window->ButtonPanel);
  EXPECT_EQ(window->LeftPageControl->Width(), 463);
  // Simple mode always opens, to its own width.
  env.shell.simpleMode = true;
  window->ButtonPanelClick(window->ButtonPanel);
  EXPECT_EQ(window->LeftPageControl->Width(), 236);
  window->ButtonPanelClick(window->ButtonPanel);
  EXPECT_EQ(window->LeftPageControl->Width(), 236);
  // The pages take the main window's colour; the post-processing tab is hidden.
  EXPECT_EQ(window->PalTabSheet->Color(), env.shell.pageColor);
  EXPECT_FALSE(window->PostProcessTabSheet->TabVisible());
  EXPECT_EQ(window->LeftPageControl->PageCount(), 8);
}

TEST_F(View2DForm, BookkeepingFindsEachChannelsParts) {
  TView2DForm* window = env.Create(3);
  for (int i = 0; i < kChannelSlots; ++i) {
    EXPECT_EQ(window->GetIndxByChart(window->GetChartByIndx(i)), i);
    EXPECT_EQ(window->GetIndxBySizeSeries(window->GetSizeSeriesByIndx(i)), i);
    EXPECT_EQ(window->GetIndxByObjectsTreeView(window->GetObjectsTreeViewByIndx(i)), i);
    EXPECT_EQ(window->GetIndxByView2D(window->GetView2DByIndx(i)), i);
    EXPECT_EQ(window->GetBmpByView2D(window->GetView2DByIndx(i)), window->DisplayBitmap(i));
  }
  EXPECT_EQ(window->GetIndxByChart(nullptr), -1);
  EXPECT_EQ(window->GetIndxBySizeSeries(window->Chart_SectOfDeep->Series(0)), -1);
  EXPECT_EQ(window->GetIndxByObjectsTreeView(nullptr), 0);
  EXPECT_EQ(window->GetView2DByIndx(5), nullptr);
  EXPECT_EQ(window->GetView2DByIndx(-1), nullptr);
  EXPECT_EQ(window->DisplayBitmap(5), nullptr);

  // Slots: a store already there keeps its slot; a new one takes the first free.
  T2Dview* second = window->GetView2DByIndx(1);
  EXPECT_EQ(window->GetNextFreeIndxByView2D(second), 1);
  EXPECT_EQ(window->GetNextFreeIndxByView2D(nullptr), 0);
  window->UnregisterChannel(second);
  EXPECT_EQ(window->GetView2DByIndx(1), nullptr);
  EXPECT_EQ(window->GetIndxByView2D(second), 0);
  EXPECT_EQ(window->RegisterChannel(second), 1);
  EXPECT_EQ(window->RegisterChannel(nullptr), -1);

  // Shown positions and visibility.
  window->arChannalVisible = {true, false, true, false, false};
  EXPECT_EQ(window->GetNumAtWin(2), 1);
  EXPECT_EQ(window->GetNumAtWin(1), 0);
  EXPECT_EQ(window->GetCountChannalVisible(), 2);
  window->arChannalVisible = {};
  EXPECT_EQ(window->GetCountChannalVisible(), 1);
  EXPECT_TRUE(window->arChannalVisible[0]);
  window->arChannalVisible = {true, true, false, false, true};
  window->CopyChannalVisibleToGlobal();
  window->arChannalVisible = {};
  window->CopyGlobalChannalVisibleToLocal();
  EXPECT_TRUE(window->arChannalVisible[4]);

  // Overlay bitmaps: five per channel.
  auto overlay = std::make_unique<TBitmap32>();
  TBitmap32* raw = overlay.get();
  window->SetBmpPostProcByIndx(2, 3, std::move(overlay));
  EXPECT_EQ(window->GetBmpPostProcByIndx(2, 3), raw);
  EXPECT_EQ(window->BmpPostProc_[13].get(), raw);
  EXPECT_EQ(window->GetBmpPostProcByIndx(2, 5), nullptr);

  // The zero-level line through the channel-store interface.
  window->ClearZeroLevel(1);
  window->AddZeroLevelPoint(1, {3, 4}, clLime);
  EXPECT_EQ(window->ZeroLevelPoints(1), (std::vector<TZeroLevelPoint>{{3, 4}}));
  EXPECT_EQ(window->GetSeriesNullByIndx(1)->ValueColor(0), clLime);
  EXPECT_TRUE(window->IsActiveChannel(window->GetView2DByIndx(0)));
  EXPECT_FALSE(window->IsActiveChannel(window->GetView2DByIndx(1)));
  window->SetPosXforWeegleAll(12.5);
  EXPECT_EQ(window->PosXforWeegle_[0], 0);
  EXPECT_EQ(window->PosXforWeegle_[4], 12.5);
}

// A window whose designed names clash with the copies cannot make its channels.
class TClashingView2DForm : public TView2DForm {
public:
  TClashingView2DForm(TComponent* owner, const TRadargramShell& shell) : TView2DForm(owner, shell) {
    auto* squatter = new TPanel(this);
    squatter->SetName("ChartView_2");
  }
};

TEST_F(View2DForm, FailedChannelControlsLeaveNoChannelZeroAndReportTheFailure) {
  SetNewViewChannalCount(3);
  auto* window = TComponent::Create<TClashingView2DForm>(env.frame, env.shell.Parts());
  EXPECT_TRUE(env.shell.errorNewCreate);
  EXPECT_EQ(window->GetView2DByIndx(0), nullptr);
  EXPECT_EQ(window->GetChartByIndx(0), nullptr);
  EXPECT_EQ(window->GetPanelByIndx(0), nullptr);
  // The window still lays out and resizes without channel 0.
  window->ResizePanelsChart();
  window->FormResize(window);
}

TEST(View2DFormRoutines, FillBitmapRect8ClipsAndTheDeviceTypeTest) {
  TBitmap bitmap;
  FillBitmapRect8(bitmap, Rect(0, 0, 5, 5), 9);  // empty: nothing
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(4, 3);
  FillBitmapRect8(bitmap, Rect(2, -5, 10, 2), 127);
  EXPECT_EQ(bitmap.ScanLine(0)[1], 0);
  EXPECT_EQ(bitmap.ScanLine(0)[2], 127);
  EXPECT_EQ(bitmap.ScanLine(1)[3], 127);
  EXPECT_EQ(bitmap.ScanLine(2)[3], 0);
  TBitmap colour;
  colour.SetPixelFormat(pf32bit);
  colour.SetSize(4, 4);
  colour.Canvas()->Brush()->SetColor(clRed);
  FillBitmapRect8(colour, Rect(1, 1, 9, 9), 127);
  EXPECT_EQ(colour.Canvas()->Pixels(3, 3), clRed);
  EXPECT_EQ(colour.Canvas()->Pixels(0, 0), clBlack);
  EXPECT_TRUE(isType1GPRDevice(static_cast<TTypeGPRDevice>(1)));
  EXPECT_FALSE(isType1GPRDevice(tdUnknown));
  EXPECT_FALSE(isType1GPRDevice(static_cast<TTypeGPRDevice>(7)));
}

}  // namespace
