// The grid-view tool on a real radargram window offscreen: its grid image takes
// the window's palette, and the window's channel keeps its data.

#include "platform/ui/bitmap.h"
#include "profiledata/channel_store.h"
#include "profiledata/pal_maker.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/tools/tool_test_support.h"
#include "tools/imaging/grid_view_tool.h"
#include "tools/window_tool_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace grid_view_window_test {

class GridViewWindow : public ::testing::Test {
protected:
  void SetUp() override { ToolsLibraryStartup(); }
  void TearDown() override {
    Application->ProcessMessages();
    SetToolHostResolver({});
  }
  TRadargramEnv env;
  PoolThreadsScope threads{2};
};

TEST_F(GridViewWindow, GridImageTakesTheWindowsPaletteAndTheChannelKeepsItsData) {
  TView2DForm* window = env.Create(1);
  T2Dview& store = *window->GetView2DByIndx(0);
  store.Settings()->RestoreLongTrace(64);
  store.Settings()->SetAdvanceStacking(false);
  store.Settings()->SetStacking(1);
  store.SetMinNumTraces(0);
  store.SetMaxNumTraces(40);
  store.RawData.Allocate(40 * 64 * 4);
  store.dezoData.Allocate(40 * 64 * 4);
  store.SetSizeDat(40 * 64 * 4);
  for (int i = 0; i < 40 * 64; ++i) store.RawData.Data()[i] = ((i * 7919) % 23) * 100 - 1100;
  window->Paint2D(0);
  // The window's palette from its channel tables, unlike the grey ramp.
  TPalMaker& palette = *window->PaletteControl();
  palette.MakeLogPal(false);
  std::vector<int32_t> before(40 * 64);
  std::memcpy(before.data(), store.dezoData.Data(), before.size() * 4);

  TGridViewTool tool;
  tool.SetView_(0, &store);
  tool.iXStep = 0.1L;
  tool.SizeHyperbola = 2;
  tool.SaveParamPlugin(0);
  tool.execute(false, 0);
  std::vector<int32_t> after(40 * 64);
  std::memcpy(after.data(), store.dezoData.Data(), after.size() * 4);
  EXPECT_EQ(after, before);
  ASSERT_TRUE(tool.BmpGrid);
  EXPECT_EQ(tool.BmpGrid->Width(), 20);
  EXPECT_GT(tool.BmpGrid->Height(), 0);
  ASSERT_NE(tool.BmpGrid->Palette(), nullptr);
  const HPALETTE own = window->PaletteControl()->GetPal();
  EXPECT_EQ(tool.BmpGrid->Palette()->Entries, own->Entries);
  std::vector<TPaletteEntry> grey(256);
  for (int i = 0; i < 256; ++i) grey[static_cast<size_t>(i)] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
  EXPECT_NE(tool.BmpGrid->Palette()->Entries, grey);
  // Taken once: a later change of the window's palette leaves the image's.
  palette.MakeLogPal(true);
  ASSERT_NE(palette.GetPal()->Entries, own->Entries);
  tool.execute(false, 0);
  EXPECT_EQ(tool.BmpGrid->Palette()->Entries, own->Entries);
}

}  // namespace grid_view_window_test
