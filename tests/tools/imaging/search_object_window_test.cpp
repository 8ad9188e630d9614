// The object search dialog against a real radargram window offscreen: opening
// it switches the window to zoom "100", trace numbers and 1:1 in samples and
// copies the channel's picture; the window's host runs a deferred copy only once
// no recomputation runs.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/menus.h"
#include "platform/ui/panels.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/chain_runner.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/tools/tool_test_support.h"
#include "tools/imaging/search_object_form.h"
#include "tools/imaging/search_object_tool.h"
#include "tools/window_tool_host.h"

#include <gtest/gtest.h>

#include <memory>

namespace search_object_window_test {

class SearchObjectWindow : public ::testing::Test {
protected:
  void SetUp() override { ToolsLibraryStartup(); }
  void TearDown() override {
    Application->ProcessMessages();
    SetToolHostResolver({});
  }

  // A window of one channel of 40 traces x 64 samples.
  TView2DForm* Window() {
    TView2DForm* window = env.Create(1);
    T2Dview& store = *window->GetView2DByIndx(0);
    store.Settings()->RestoreLongTrace(64);
    store.Settings()->SetAdvanceStacking(false);
    store.Settings()->SetStacking(1);
    store.Settings()->SetNullShift(6);
    store.SetMinNumTraces(0);
    store.SetMaxNumTraces(40);
    store.RawData.Allocate(40 * 64 * 4);
    store.dezoData.Allocate(40 * 64 * 4);
    store.SetSizeDat(40 * 64 * 4);
    for (int i = 0; i < 40 * 64; ++i) store.RawData.Data()[i] = (i % 7) * 100 - 300;
    window->Paint2D(0);
    return window;
  }

  TRadargramEnv env;
  PoolThreadsScope threads{1};
};

TEST_F(SearchObjectWindow, OpeningTheDialogSetsZoomTracesAndOneToOneAndCopiesThePicture) {
  TView2DForm* w = Window();
  w->ZoomComboBox->SetItemIndex(2);
  w->ZoomComboBoxChange();
  auto tool = std::make_unique<TSearchObjectTool>();
  tool->SetView_(0, w->GetView2DByIndx(0));
  ASSERT_EQ(tool->SetPropertyes(false), 1);
  auto* form = dynamic_cast<TSearchObjectForm*>(tool->Form());
  ASSERT_NE(form, nullptr);
  Application->ProcessMessages();
  EXPECT_EQ(w->ZoomComboBox->ItemIndex(), 5);
  EXPECT_TRUE(w->TracesMenu->Checked());
  EXPECT_TRUE(w->PropN11SpeedButton->Down());
  EXPECT_EQ(form->PanelChartMigration->Height(), 64 + 38);
  EXPECT_EQ(form->PanelChartMigration->Width(), w->GetPanelByIndx(0)->Width());
  EXPECT_EQ(form->ChartMigration->LeftAxis()->Maximum(), 64);
  EXPECT_EQ(form->SeriesNull->YValue(0), 6);
  EXPECT_GT(form->ChartMigration->BackImage()->Width(), 0) << "the window's zoomed picture";
  form->CloseDialog();
  Application->ProcessMessages();
}

TEST_F(SearchObjectWindow, ACopyWaitsForTheRunningRecomputation) {
  TView2DForm* w = Window();
  IToolHost& host = ToolHostOf(w->GetView2DByIndx(0));
  int copies = 0;
  host.WhenRepainted([&] { ++copies; });
  EXPECT_EQ(copies, 1) << "an idle window copies at once";
  {
    TChainRunner::TBatchScope batch;
    TChainRunner::TRunScope running;
    host.WhenRepainted([&] { ++copies; });
    EXPECT_EQ(copies, 1) << "not inside the recomputation";
  }
  EXPECT_EQ(copies, 2) << "when it ends";
}

}  // namespace search_object_window_test
