// The topo devices' pictures: one distinct picture per device, given to every
// item of the settings window's topo menu and drawn by it, and shown beside the
// device's name when the operator chooses one (the program started in this
// process, offscreen, with its own program folder; no radar).

#include "acquisition/main_form.h"
#include "acquisition/program_startup.h"
#include "acquisition/settings_form.h"
#include "acquisition/topo_pictures.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/adv_popup_menu.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/std_controls.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "tests/acquisition/settings_window_fixture.h"
#include "tests/support/qstring_print.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <vector>

namespace settings_topo_pictures_test {

void Key(TSettingsForm& form, WORD key) { form.OnKeyDown(&form, key, TShiftState{}); }

// A 32 x 32 block of colours, row by row.
using TPixels = std::vector<TColor>;

TPixels Block(const std::function<TColor(int, int)>& at, int left = 0, int top = 0) {
  TPixels pixels;
  for (int y = 0; y < TopoPictureSize; ++y)
    for (int x = 0; x < TopoPictureSize; ++x) pixels.push_back(at(left + x, top + y));
  return pixels;
}

TPixels Pixels(TBitmap& bitmap, int left = 0, int top = 0) {
  return Block([&](int x, int y) { return bitmap.Canvas()->Pixels(x, y); }, left, top);
}

TPixels Picture(TTopoType type) {
  TBitmap bitmap;
  DrawTopoPicture(type, bitmap);
  EXPECT_EQ(bitmap.Width(), TopoPictureSize);
  EXPECT_EQ(bitmap.Height(), TopoPictureSize);
  return Pixels(bitmap);
}

// What the control shows at its top-left.
TPixels Shown(TControl& control) {
  return Block([&](int x, int y) { return ShownColor(control, x, y); });
}

int DifferingPixels(const TPixels& a, const TPixels& b) {
  int differing = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) ++differing;
  return differing;
}

TEST(TopoPictures, EveryDeviceHasItsOwnPictureAndTheListHoldsThemByValue) {
  const TPixels blank = Picture(ttNil);
  for (int a = 1; a < TopoTypeCount; ++a) {
    const TPixels first = Picture(static_cast<TTopoType>(a));
    // A real drawing, not the blank tile with a speck on it.
    EXPECT_GT(DifferingPixels(first, blank), 60) << a;
    for (int b = a + 1; b < TopoTypeCount; ++b)
      EXPECT_GT(DifferingPixels(first, Picture(static_cast<TTopoType>(b))), 10) << a << " vs " << b;
  }
  TImageList list(nullptr);
  FillTopoPictures(list);
  ASSERT_EQ(list.Count(), TopoTypeCount);
  EXPECT_EQ(list.Width(), TopoPictureSize);
  EXPECT_EQ(list.Height(), TopoPictureSize);
  for (int value = 0; value < TopoTypeCount; ++value) {
    TBitmap held;
    ASSERT_TRUE(list.GetBitmap(value, held));
    EXPECT_EQ(DifferingPixels(Pixels(held), Picture(static_cast<TTopoType>(value))), 0) << value;
  }
}

class SettingsTopoPictures : public settings_window_fixture::TSettingsWindowTest {
protected:
  void SetUp() override {
    TSettingsWindowTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_NO_FATAL_FAILURE(Start());
  }
};

TEST_F(SettingsTopoPictures, EveryTopoItemDrawsItsDevicePicture) {
  TAdvPopupMenu& menu = *form->TopoTypePopupMenu;
  // "General Preferences", a separator, then the devices, GPS first and the
  // user-calibrated wheel before the built-in odometers.
  for (size_t i = 0; i < std::size(SettingsTopoMenuOrder); ++i)
    EXPECT_EQ(menu.Items()->Items(static_cast<int>(i) + 2), form->TopoItems[SettingsTopoMenuOrder[i]]) << i;
  EXPECT_EQ(menu.Items()->Items(2), form->TopoItems[ttGPS]);
  EXPECT_EQ(menu.Items()->Items(11), form->TopoItems[ttCustom]);
  EXPECT_EQ(menu.Items()->Items(13), form->TopoItems[ttUnitWheelB]);
  for (int value = 1; value < TopoTypeCount; ++value) {
    TMenuItem* item = form->TopoItems[static_cast<size_t>(value)];
    ASSERT_NE(item, nullptr) << value;
    EXPECT_EQ(menu.PictureSize(item), (TPoint{TopoPictureSize, TopoPictureSize})) << value;
    // The row as the shown menu draws it: the picture at the text indent.
    TBitmap row;
    row.SetPixelFormat(pf24bit);
    int width = 0, height = 0;
    menu.MeasureItem(item, *row.Canvas(), width, height);
    ASSERT_GE(height, TopoPictureSize) << value;
    row.SetSize(width, height);
    row.Canvas()->FillRect(Rect(0, 0, width, height));
    menu.AdvancedDrawItem(item, *row.Canvas(), Rect(0, 0, width, height), TOwnerDrawState{});
    EXPECT_EQ(DifferingPixels(Pixels(row, TAdvPopupMenu::TextIndent, 0), Picture(static_cast<TTopoType>(value))), 0)
        << value;
  }
}

TEST_F(SettingsTopoPictures, ChoosingADeviceShowsItsPictureAndNameAndNoDeviceKeepsThem) {
  ShowSettings([&](TSettingsForm& f) {
    Key(f, VK_F1 + 8);  // External: the topo device group shows
    ASSERT_TRUE(f.GroupBoxOdometer->Visible());
    TPixels before = Shown(*f.TopoTypeImage);
    for (TTopoType type : {ttTrolleyA, ttGPS, ttWheel, ttUnitWheelB, ttCustom}) {
      TMenuItem* item = f.TopoItems[type];
      item->Click();
      ASSERT_EQ(f.st->GetTopoType(), type);
      const TPixels now = Shown(*f.TopoTypeImage);
      EXPECT_EQ(DifferingPixels(now, Picture(type)), 0) << int(type);
      EXPECT_GT(DifferingPixels(now, before), 10) << int(type);
      EXPECT_EQ(f.TopoTitleLabel->Caption(), item->Caption());
      EXPECT_TRUE(item->Checked());
      before = now;
    }
    // Trigger mode Internal, and no device remembered: the window keeps the
    // picture and the name of the last device.
    Key(f, VK_F1 + 7);
    const QString name = f.TopoTitleLabel->Caption();
    f.SetLastTopoType(ttNil);
    f.RefreshForm();
    ASSERT_EQ(f.st->GetTopoType(), ttNil);
    EXPECT_EQ(DifferingPixels(Shown(*f.TopoTypeImage), Picture(ttCustom)), 0);
    EXPECT_EQ(f.TopoTitleLabel->Caption(), name);
    f.SetLastTopoType(ttCustom);
  });
}

}  // namespace settings_topo_pictures_test
